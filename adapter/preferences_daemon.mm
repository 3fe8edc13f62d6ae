#include "adapter/preferences_daemon.h"

#import <Foundation/Foundation.h>

#include <CoreFoundation/CoreFoundation.h>

#include "adapter/preference_values.h"
#include "adapter/preferences_file.h"

namespace adapter {

host::PreferencesRead readDaemonPreferences(const std::string& domain, const std::string& path,
                                            std::span<const std::string_view> keys) {
  // The daemon reads the file itself, without our bound: a file beyond it
  // reads as on every other path, and the daemon is not asked to read it.
  if (FileProbe big = probeFileSize(path); big.tooLarge)
    return {big.status, big.why, std::vector<std::optional<host::PreferenceValue>>(keys.size())};
  CFStringRef name = (CFStringRef)[NSString stringWithUTF8String:domain.c_str()];
  // Takes in what other processes have handed the daemon since our last read.
  CFPreferencesAppSynchronize(name);
  NSMutableArray* names = [NSMutableArray array];
  for (std::string_view key : keys)
    if (NSString* k = stringOfBytes(key)) [names addObject:k];
  NSDictionary* values = [(NSDictionary*)CFPreferencesCopyMultiple((CFArrayRef)names, name, kCFPreferencesCurrentUser,
                                                                   kCFPreferencesAnyHost) autorelease];
  host::PreferencesRead read;
  read.values = valuesOf(values, keys);
  if ([values count] > 0) {
    read.status = host::PreferencesStatus::kRead;
  } else {
    // The daemon reads an unreadable file as an empty domain; only the file
    // tells the two apart.
    FileProbe found = probePreferencesFile(path);
    read.status = found.status;
    read.why = found.why;
  }
  return read;
}

host::PreferencesWrite changeDaemonPreferences(const std::string& domain, const std::string& path,
                                               std::span<const host::PreferenceChange> changes) {
  using host::PreferencesWrite;
  KeyChanges keyed;
  if (!keyChanges(changes, keyed)) return PreferencesWrite::kNotWritable;
  // The daemon writes its file from its own values, so a file it could not
  // read is replaced by the first change; keep it first. One that cannot be
  // read at all may be just as unreadable to the daemon, and is left alone.
  FileProbe found = probePreferencesFile(path);
  if (found.status == host::PreferencesStatus::kFailed) return PreferencesWrite::kReadFailed;
  const bool unreadable = found.status == host::PreferencesStatus::kUnreadable;
  if (unreadable && !keepUnreadableAside(path, found)) return PreferencesWrite::kNotKept;
  CFStringRef name = (CFStringRef)[NSString stringWithUTF8String:domain.c_str()];
  if (found.tooLarge) {
    // The daemon may hold what it read from the file and would write it all
    // back: the domain starts again from these changes, as after a file it
    // could not read. The bytes are kept aside.
    NSArray* held = [(NSArray*)CFPreferencesCopyKeyList(name, kCFPreferencesCurrentUser, kCFPreferencesAnyHost)
        autorelease];
    for (NSString* key in held)
      if (![keyed.toSet objectForKey:key]) [keyed.toRemove addObject:key];
  }
  // The daemon applies each key on its own, so writers of different keys
  // keep each other's changes without a lock.
  CFPreferencesSetMultiple((CFDictionaryRef)keyed.toSet, (CFArrayRef)keyed.toRemove, name, kCFPreferencesCurrentUser,
                           kCFPreferencesAnyHost);
  if (CFPreferencesAppSynchronize(name)) return PreferencesWrite::kWritten;
  if (unreadable) putBackKeptAside(path);
  return PreferencesWrite::kWriteFailed;
}

}  // namespace adapter
