#include "device/src/adapter/preferences_store.h"

#import <Foundation/Foundation.h>

#include <CoreFoundation/CoreFoundation.h>

#include "device/src/adapter/objc_bridge.h"

namespace adapter {
namespace {

// The mobile user's own preferences, the ones kept in
// /var/mobile/Library/Preferences.
NSDictionary* copyValues(CFStringRef domain) {
  CFArrayRef keys = CFPreferencesCopyKeyList(domain, kCFPreferencesCurrentUser, kCFPreferencesAnyHost);
  if (!keys) return nil;
  CFDictionaryRef values = CFPreferencesCopyMultiple(keys, domain, kCFPreferencesCurrentUser, kCFPreferencesAnyHost);
  CFRelease(keys);
  return (NSDictionary*)values;
}

}  // namespace

bool readPreferences(const std::string& domain, std::string& bytes) {
  bytes.clear();
  NSAutoreleasePool* pool = [[NSAutoreleasePool alloc] init];
  CFStringRef name = (CFStringRef)string(domain.c_str());
  // Takes in what other processes have handed the daemon since our last read.
  CFPreferencesAppSynchronize(name);
  NSDictionary* values = copyValues(name);
  if ([values count] > 0) {
    NSData* data = [NSPropertyListSerialization dataWithPropertyList:values
                                                              format:NSPropertyListBinaryFormat_v1_0
                                                             options:0
                                                               error:NULL];
    if (data) bytes.assign(static_cast<const char*>([data bytes]), [data length]);
  }
  [values release];
  [pool drain];
  return !bytes.empty();
}

bool replacePreferences(const std::string& domain, std::string_view bytes) {
  NSAutoreleasePool* pool = [[NSAutoreleasePool alloc] init];
  NSData* data = [NSData dataWithBytes:bytes.data() length:bytes.size()];
  id document = [NSPropertyListSerialization propertyListWithData:data
                                                          options:NSPropertyListImmutable
                                                           format:NULL
                                                            error:NULL];
  bool replaced = false;
  if ([document isKindOfClass:[NSDictionary class]]) {
    CFStringRef name = (CFStringRef)string(domain.c_str());
    // Removes what the domain holds now, other processes' additions included.
    CFPreferencesAppSynchronize(name);
    NSDictionary* old = copyValues(name);
    NSMutableArray* removed = [NSMutableArray array];
    NSEnumerator* keys = [old keyEnumerator];
    for (id key = [keys nextObject]; key; key = [keys nextObject])
      if (![document objectForKey:key]) [removed addObject:key];
    [old release];
    CFPreferencesSetMultiple((CFDictionaryRef)document, (CFArrayRef)removed, name, kCFPreferencesCurrentUser,
                             kCFPreferencesAnyHost);
    replaced = CFPreferencesAppSynchronize(name);
  }
  [pool drain];
  return replaced;
}

}  // namespace adapter
