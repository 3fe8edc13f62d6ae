// CoreFoundation's version and Darwin notification centre, and
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

}  // namespace standin
