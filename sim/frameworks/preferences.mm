// CoreFoundation's preferences functions, with the preferences daemon the
// release has.
#import <Foundation/Foundation.h>

#include <CoreFoundation/CoreFoundation.h>

#include "sim/frameworks/platform.h"

extern "C" {
const CFStringRef kCFPreferencesCurrentUser = (CFStringRef) @"kCFPreferencesCurrentUser";
const CFStringRef kCFPreferencesAnyHost = (CFStringRef) @"kCFPreferencesAnyHost";
}

namespace {

// Domains as the daemon holds them, and this process's cache of each, taken
// from the daemon at the first use and at each synchronize.
// Made on first use, once the Foundation classes are certainly loaded.
NSMutableDictionary* daemonStore() {
  static NSMutableDictionary* domains = [[NSMutableDictionary alloc] init];
  return domains;
}
NSMutableDictionary* cacheStore() {
  static NSMutableDictionary* domains = [[NSMutableDictionary alloc] init];
  return domains;
}
// Changes set in this process and not yet handed to the daemon; NSNull marks
// a removal.
NSMutableDictionary* pendingStore() {
  static NSMutableDictionary* domains = [[NSMutableDictionary alloc] init];
  return domains;
}

NSMutableDictionary* domainIn(NSMutableDictionary* store, CFStringRef domain) {
  NSString* key = (NSString*)domain;
  NSMutableDictionary* values = [store objectForKey:key];
  if (!values) {
    values = [NSMutableDictionary dictionary];
    [store setObject:values forKey:key];
  }
  return values;
}

NSMutableDictionary* cached(CFStringRef domain) {
  if (![cacheStore() objectForKey:(NSString*)domain])
    [cacheStore() setObject:[[domainIn(daemonStore(), domain) mutableCopy] autorelease] forKey:(NSString*)domain];
  return domainIn(cacheStore(), domain);
}

}  // namespace

extern "C" {

Boolean CFPreferencesAppSynchronize(CFStringRef domain) {
  NSMutableDictionary* pending = domainIn(pendingStore(), domain);
  NSMutableDictionary* daemon = domainIn(daemonStore(), domain);
  NSEnumerator* keys = [pending keyEnumerator];
  for (id key = [keys nextObject]; key; key = [keys nextObject]) {
    id value = [pending objectForKey:key];
    if ([value isKindOfClass:[NSNull class]])
      [daemon removeObjectForKey:key];
    else
      [daemon setObject:value forKey:key];
  }
  [pending removeAllObjects];
  [cacheStore() setObject:[[daemon mutableCopy] autorelease] forKey:(NSString*)domain];
  return true;
}

CFArrayRef CFPreferencesCopyKeyList(CFStringRef domain, CFStringRef, CFStringRef) {
  NSArray* keys = [cached(domain) allKeys];
  return [keys count] ? (CFArrayRef)[keys retain] : NULL;
}

CFDictionaryRef CFPreferencesCopyMultiple(CFArrayRef keysToFetch, CFStringRef domain, CFStringRef, CFStringRef) {
  NSMutableDictionary* values = [[NSMutableDictionary alloc] init];
  NSArray* keys = (NSArray*)keysToFetch;
  for (NSUInteger i = 0; i < [keys count]; ++i) {
    id value = [cached(domain) objectForKey:[keys objectAtIndex:i]];
    if (value) [values setObject:value forKey:[keys objectAtIndex:i]];
  }
  return (CFDictionaryRef)values;
}

void CFPreferencesSetMultiple(CFDictionaryRef keysToSet, CFArrayRef keysToRemove, CFStringRef domain, CFStringRef,
                              CFStringRef) {
  NSDictionary* set = (NSDictionary*)keysToSet;
  NSArray* removed = (NSArray*)keysToRemove;
  NSEnumerator* keys = [set keyEnumerator];
  for (id key = [keys nextObject]; key; key = [keys nextObject]) {
    [cached(domain) setObject:[set objectForKey:key] forKey:key];
    [domainIn(pendingStore(), domain) setObject:[set objectForKey:key] forKey:key];
  }
  for (NSUInteger i = 0; i < [removed count]; ++i) {
    [cached(domain) removeObjectForKey:[removed objectAtIndex:i]];
    [domainIn(pendingStore(), domain) setObject:[NSNull null] forKey:[removed objectAtIndex:i]];
  }
}

}  // extern "C"

namespace standin {

void daemonSetValue(const char* domain, const char* key, id value) {
  [domainIn(daemonStore(), (CFStringRef)[NSString stringWithUTF8String:domain]) setObject:value
                                                                            forKey:[NSString stringWithUTF8String:key]];
}

void forgetPreferences() {
  [daemonStore() removeAllObjects];
  [cacheStore() removeAllObjects];
  [pendingStore() removeAllObjects];
}

NSDictionary* daemonValues(const char* domain) {
  return [[domainIn(daemonStore(), (CFStringRef)[NSString stringWithUTF8String:domain]) copy] autorelease];
}

}  // namespace standin
