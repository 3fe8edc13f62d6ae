// CoreFoundation's preferences functions, with the preferences daemon the
// release has. The daemon's values for a domain are its file,
// /var/mobile/Library/Preferences/<domain>.plist, read and edited with the
// platform's own preferences code (sim/preferences.h); each process keeps a
// cache of the domains it uses, taken at the first use and at each
// synchronize.
//
// When the real daemon reads and writes its files is not documented; this
// one is inferred to lose nothing: a synchronize hands over only the keys
// this process changed, applied one by one to the file as it is then (under
// the writers' lock), so that another writer's changes to other keys stay,
// and then takes in everything the file holds.
#import <Foundation/Foundation.h>

#include <CoreFoundation/CoreFoundation.h>

#include <map>
#include <string>

#include "sim/frameworks/foundation_files.h"
#include "sim/frameworks/platform.h"
#include "sim/device_files.h"
#include "sim/journal.h"
#include "sim/preferences.h"

extern "C" {
const CFStringRef kCFPreferencesCurrentUser = (CFStringRef) @"kCFPreferencesCurrentUser";
const CFStringRef kCFPreferencesAnyHost = (CFStringRef) @"kCFPreferencesAnyHost";
}

namespace {

// This process's cache of each domain, and the changes it set and has not
// yet handed over (NSNull marks a removal). Made on first use, once the
// Foundation classes are certainly loaded.
NSMutableDictionary* cacheStore() {
  static NSMutableDictionary* domains = [[NSMutableDictionary alloc] init];
  return domains;
}
NSMutableDictionary* pendingStore() {
  static NSMutableDictionary* domains = [[NSMutableDictionary alloc] init];
  return domains;
}
// The domains this process set (even no key) since its last synchronize:
// the daemon writes each out at the synchronize, as it stands then
// (inferred: a writer asking for its file to be rewritten gets it
// rewritten).
NSMutableSet* touchedStore() {
  static NSMutableSet* domains = [[NSMutableSet alloc] init];
  return domains;
}

std::string nameOf(CFStringRef domain) {
  const char* name = domain ? [(NSString*)domain UTF8String] : nullptr;
  return name ? name : "";
}

// The device path of a domain's file; empty for a name that is no file of
// the preferences folder.
std::string fileOf(const std::string& domain) {
  if (domain.empty() || domain.find('/') != std::string::npos || domain == "." || domain == "..") return {};
  return "/var/mobile/Library/Preferences/" + domain + ".plist";
}

// The domain's values in its file: none when the file is absent or cannot
// be read, as the daemon takes such a file for an empty domain.
NSMutableDictionary* fileValues(const std::string& domain, sim::FileStamp* stamp = nullptr) {
  const std::string file = fileOf(domain);
  if (file.empty()) return [NSMutableDictionary dictionary];
  sim::PreferencesFile read = sim::readPreferencesFile(file, stamp);
  if (read.status != host::PreferencesStatus::kRead) return [NSMutableDictionary dictionary];
  return standin::objectOf(read.document.root(), true);
}

// The state of each domain's file when this process's cache of it was
// taken: a synchronize reads the file again only when it has changed.
std::map<std::string, sim::FileStamp>& cacheStamps() {
  static auto* stamps = new std::map<std::string, sim::FileStamp>;
  return *stamps;
}

// Takes the domain's values from its file into the cache.
NSMutableDictionary* takeIntoCache(const std::string& domain) {
  sim::FileStamp& stamp = cacheStamps()[domain];
  stamp = sim::FileStamp();
  NSMutableDictionary* values = fileValues(domain, &stamp);
  [cacheStore() setObject:values forKey:[NSString stringWithUTF8String:domain.c_str()]];
  return values;
}

NSMutableDictionary* cached(const std::string& domain) {
  NSMutableDictionary* values = [cacheStore() objectForKey:[NSString stringWithUTF8String:domain.c_str()]];
  return values ? values : takeIntoCache(domain);
}

NSMutableDictionary* pending(const std::string& domain) {
  NSString* key = [NSString stringWithUTF8String:domain.c_str()];
  NSMutableDictionary* changes = [pendingStore() objectForKey:key];
  if (!changes) {
    changes = [NSMutableDictionary dictionary];
    [pendingStore() setObject:changes forKey:key];
  }
  return changes;
}

// Applies `changes` key by key to the domain's file as it is now; false
// when the edit is refused or fails (the file is then as it was).
bool handOver(const std::string& domain, NSDictionary* changes) {
  const std::string file = fileOf(domain);
  if (file.empty()) return false;
  return static_cast<bool>(sim::editPreferencesFile(file, [changes](plist::Document& document) {
    for (NSString* key in changes) {
      const char* name = [key UTF8String];
      if (!name) return false;
      id value = [changes objectForKey:key];
      if ([value isKindOfClass:[NSNull class]]) {
        document.remove(name);
        continue;
      }
      auto stored = standin::valueOf(value);
      if (!stored) return false;
      document.setValue(name, *stored);
    }
    return true;
  }));
}

}  // namespace

extern "C" {

Boolean CFPreferencesAppSynchronize(CFStringRef domain) {
  const std::string name = nameOf(domain);
  sim::journal("CFPreferencesAppSynchronize()", name);
  NSMutableDictionary* changes = pending(name);
  NSString* key = [NSString stringWithUTF8String:name.c_str()];
  // A failed hand-over drops the changes, which the file never got, so that
  // the cache and the file agree again.
  const bool touched = [touchedStore() containsObject:key];
  const bool handed = !touched || handOver(name, changes);
  [changes removeAllObjects];
  [touchedStore() removeObject:key];
  const std::string file = fileOf(name);
  const auto stamp = cacheStamps().find(name);
  // The cache and its stamp are taken and dropped together.
  if (touched || stamp == cacheStamps().end() || (!file.empty() && sim::stampDeviceFile(file) != stamp->second))
    takeIntoCache(name);
  return handed;
}

CFArrayRef CFPreferencesCopyKeyList(CFStringRef domain, CFStringRef, CFStringRef) {
  const std::string name = nameOf(domain);
  sim::journal("CFPreferencesCopyKeyList()", name);
  NSArray* keys = [cached(name) allKeys];
  return [keys count] ? (CFArrayRef)[keys retain] : NULL;
}

CFDictionaryRef CFPreferencesCopyMultiple(CFArrayRef keysToFetch, CFStringRef domain, CFStringRef, CFStringRef) {
  const std::string name = nameOf(domain);
  sim::journal("CFPreferencesCopyMultiple()", name);
  NSMutableDictionary* values = [[NSMutableDictionary alloc] init];
  NSDictionary* held = cached(name);
  for (id key in (NSArray*)keysToFetch)
    if (id value = [held objectForKey:key]) [values setObject:value forKey:key];
  return (CFDictionaryRef)values;
}

void CFPreferencesSetMultiple(CFDictionaryRef keysToSet, CFArrayRef keysToRemove, CFStringRef domain, CFStringRef,
                              CFStringRef) {
  const std::string name = nameOf(domain);
  sim::journal("CFPreferencesSetMultiple()", name);
  NSMutableDictionary* held = cached(name);
  NSMutableDictionary* changes = pending(name);
  [touchedStore() addObject:[NSString stringWithUTF8String:name.c_str()]];
  NSDictionary* set = (NSDictionary*)keysToSet;
  for (id key in set) {
    [held setObject:[set objectForKey:key] forKey:key];
    [changes setObject:[set objectForKey:key] forKey:key];
  }
  for (id key in (NSArray*)keysToRemove) {
    [held removeObjectForKey:key];
    [changes setObject:[NSNull null] forKey:key];
  }
}

}  // extern "C"

namespace standin {

void daemonSetValue(const char* domain, const char* key, id value) {
  handOver(domain, [NSDictionary dictionaryWithObject:value forKey:[NSString stringWithUTF8String:key]]);
}

void forgetPreferences() {
  [cacheStore() removeAllObjects];
  cacheStamps().clear();
  [pendingStore() removeAllObjects];
  [touchedStore() removeAllObjects];
}


}  // namespace standin
