#include "device/src/adapter/preferences_store.h"

#import <Foundation/Foundation.h>

#include <CoreFoundation/CoreFoundation.h>

#include "device/src/adapter/objc_bridge.h"
#include "settings/limits.h"

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

// True when `value` is made only of property-list types (dictionaries with
// string keys, arrays, strings, numbers, dates, data), within the readers'
// nesting bound. Checked here because a serialiser may skip what it cannot
// write instead of failing.
bool isPropertyList(id value, int depth) {
  if ([value isKindOfClass:[NSString class]] || [value isKindOfClass:[NSNumber class]] ||
      [value isKindOfClass:[NSDate class]] || [value isKindOfClass:[NSData class]])
    return true;
  // The root is the first of at most kMaxDepth nested containers.
  if (depth >= settings::kMaxDepth) return false;
  if ([value isKindOfClass:[NSArray class]]) {
    for (NSUInteger i = 0; i < [value count]; ++i)
      if (!isPropertyList([value objectAtIndex:i], depth + 1)) return false;
    return true;
  }
  if (![value isKindOfClass:[NSDictionary class]]) return false;
  NSEnumerator* keys = [value keyEnumerator];
  for (id key = [keys nextObject]; key; key = [keys nextObject])
    if (![key isKindOfClass:[NSString class]] || !isPropertyList([value objectForKey:key], depth + 1)) return false;
  return true;
}

}  // namespace

host::FileRead readPreferences(const std::string& domain, std::string& bytes) {
  bytes.clear();
  host::FileRead result = host::FileRead::kAbsent;
  NSAutoreleasePool* pool = [[NSAutoreleasePool alloc] init];
  CFStringRef name = (CFStringRef)string(domain.c_str());
  // Takes in what other processes have handed the daemon since our last read.
  CFPreferencesAppSynchronize(name);
  NSDictionary* values = copyValues(name);
  if ([values count] > 0) {
    // A value no property list can hold is refused outright rather than
    // left out, so that a writer never drops it.
    NSData* data = nil;
    if (isPropertyList(values, 0))
      data = [NSPropertyListSerialization dataWithPropertyList:values
                                                        format:NSPropertyListBinaryFormat_v1_0
                                                       options:0
                                                         error:NULL];
    if (data) bytes.assign(static_cast<const char*>([data bytes]), [data length]);
    result = data ? host::FileRead::kRead : host::FileRead::kFailed;
  }
  [values release];
  [pool drain];
  return result;
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
