// host.h's Darwin notifications.
#import <Foundation/Foundation.h>

#include <CoreFoundation/CoreFoundation.h>
#include <notify.h>

#include "adapter/objc_bridge.h"
#include "host/host.h"

namespace {

// The centre calls back with CoreFoundation's argument types; this record
// carries the host callback and its observer through the centre's observer
// argument.
struct Observer {
  host::NotificationCallback callback;
  const void* observer;
};

void deliver(CFNotificationCenterRef center, void* record, CFStringRef name, const void*, CFDictionaryRef) {
  const Observer* o = static_cast<const Observer*>(record);
  o->callback(reinterpret_cast<host::NotifyCenter*>(center), const_cast<void*>(o->observer),
              [(NSString*)name UTF8String], nullptr, nullptr);
}

}  // namespace

namespace host {

NotifyCenter* darwinNotifyCenter() {
  return reinterpret_cast<NotifyCenter*>(CFNotificationCenterGetDarwinNotifyCenter());
}

void notifyCenterAddObserver(NotifyCenter* center, const void* observer, NotificationCallback callback,
                             const char* name, const void* object, int suspensionBehavior) {
  if (!center || !callback || !name) return;
  // Registrations last as long as the process, and so does their record.
  Observer* record = new Observer{callback, observer};
  CFNotificationCenterAddObserver(reinterpret_cast<CFNotificationCenterRef>(center), record, &deliver,
                                  (CFStringRef)adapter::string(name), object,
                                  static_cast<CFNotificationSuspensionBehavior>(suspensionBehavior));
}

void notifyPost(const char* name) {
  if (name) notify_post(name);
}

}  // namespace host
