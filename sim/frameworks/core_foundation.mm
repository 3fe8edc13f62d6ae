// CoreFoundation's version, its type functions, the Darwin notification
// centre and notify_post: notifications reach every process of the device
// root through the device's notification pipe (sim/notify.h).
#import <Foundation/Foundation.h>

#include <CoreFoundation/CoreFoundation.h>
#include <notify.h>

#include "host/releases.h"
#include "sim/device.h"
#include "sim/frameworks/platform.h"
#include "sim/journal.h"
#include "sim/notify.h"
#include "sim/offers.h"

extern "C" {
double kCFCoreFoundationVersionNumber = host::coreFoundationOf(sim::kDefaultRelease);
}

struct __CFNotificationCenter {};

namespace {

// An observer's registration, kept for the life of the process as the
// centre keeps it.
struct Observer {
  const void* observer;
  CFNotificationCallback callback;
};

__CFNotificationCenter gDarwinCenter;
std::vector<std::string> gPosted;

void deliver(const void* record, const std::string& name) {
  const Observer* o = static_cast<const Observer*>(record);
  o->callback(&gDarwinCenter, const_cast<void*>(o->observer), (CFStringRef)[NSString stringWithUTF8String:name.c_str()],
              nullptr, nullptr);
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

CFNotificationCenterRef CFNotificationCenterGetDarwinNotifyCenter(void) {
  sim::journal("CFNotificationCenterGetDarwinNotifyCenter()");
  return &gDarwinCenter;
}

void CFNotificationCenterAddObserver(CFNotificationCenterRef center, const void* observer,
                                     CFNotificationCallback callBack, CFStringRef name, const void*,
                                     CFNotificationSuspensionBehavior suspension) {
  const char* text = [(NSString*)name UTF8String];
  sim::journal("CFNotificationCenterAddObserver()",
               std::string(text ? text : "(null)") + " suspension=" + std::to_string(suspension));
  if (center != &gDarwinCenter || !callBack || !text) return;
  sim::notifyAddObserver(new Observer{observer, callBack}, &deliver, text);
}

uint32_t notify_post(const char* name) {
  sim::journal("notify_post()", name ? name : "(null)");
  if (!name) return 1;
  gPosted.push_back(name);
  sim::notifyPostName(name);
  return 0;
}

}  // extern "C"

namespace standin {

void setCoreFoundationVersion(double version) { kCFCoreFoundationVersionNumber = version; }

const std::vector<std::string>& postedNotifications() { return gPosted; }


}  // namespace standin
