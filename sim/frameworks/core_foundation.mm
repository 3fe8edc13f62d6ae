// CoreFoundation's version, Darwin notification centre and preferences, and
// notify_post, within one process.
#import <Foundation/Foundation.h>

#include <CoreFoundation/CoreFoundation.h>
#include <notify.h>

#include <set>

#include "host/releases.h"
#include "sim/frameworks/platform.h"
#include "sim/offers.h"

extern "C" {
double kCFCoreFoundationVersionNumber = host::coreFoundationOf(sim::kDefaultRelease);
const CFStringRef kCFPreferencesCurrentUser = (CFStringRef) @"kCFPreferencesCurrentUser";
const CFStringRef kCFPreferencesAnyHost = (CFStringRef) @"kCFPreferencesAnyHost";
}

struct __CFNotificationCenter {};

namespace {

struct Observer {
  const void* observer;
  CFNotificationCallback callback;
  std::string name;
};

__CFNotificationCenter gDarwinCenter;
std::vector<Observer> gObservers;
std::vector<std::string> gPosted;
std::vector<std::string> gUndelivered;

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

void CFRelease(CFTypeRef object) { [(id)object release]; }

// Two type identifiers are enough here: booleans (Foundation's two shared
// boolean numbers, as CoreFoundation's) and everything else.
CFTypeID CFBooleanGetTypeID(void) { return 21; }
CFTypeID CFGetTypeID(CFTypeRef object) {
  id o = (id)object;
  return o == [NSNumber numberWithBool:YES] || o == [NSNumber numberWithBool:NO] ? CFBooleanGetTypeID() : 1;
}
Boolean CFNumberIsFloatType(CFNumberRef number) {
  const char type = *[(NSNumber*)number objCType];
  return type == 'f' || type == 'd';
}

CFNotificationCenterRef CFNotificationCenterGetDarwinNotifyCenter(void) { return &gDarwinCenter; }

void CFNotificationCenterAddObserver(CFNotificationCenterRef center, const void* observer,
                                     CFNotificationCallback callBack, CFStringRef name, const void*,
                                     CFNotificationSuspensionBehavior) {
  if (center == &gDarwinCenter && callBack && name)
    gObservers.push_back(Observer{observer, callBack, [(NSString*)name UTF8String]});
}

uint32_t notify_post(const char* name) {
  gPosted.push_back(name);
  gUndelivered.push_back(name);
  return 0;
}

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

void setCoreFoundationVersion(double version) { kCFCoreFoundationVersionNumber = version; }

const std::vector<std::string>& postedNotifications() { return gPosted; }

int runLoopOnce() {
  NSAutoreleasePool* pool = [[NSAutoreleasePool alloc] init];
  std::set<std::string> arrived(gUndelivered.begin(), gUndelivered.end());
  gUndelivered.clear();
  int callbacks = 0;
  const std::vector<Observer> observers = gObservers;
  for (const std::string& name : arrived)
    for (const Observer& o : observers)
      if (o.name == name) {
        o.callback(&gDarwinCenter, const_cast<void*>(o.observer),
                   (CFStringRef)[NSString stringWithUTF8String:name.c_str()], nullptr, nullptr);
        ++callbacks;
      }
  [pool drain];
  return callbacks;
}

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
