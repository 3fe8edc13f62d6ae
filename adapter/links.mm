// host.h's link operations.
#import <UIKit/UIKit.h>

#include "adapter/objc_bridge.h"
#include "host/host.h"

namespace host {

Id urlWithString(const char* string) {
  return string ? adapter::hostId([NSURL URLWithString:adapter::string(string)]) : nullptr;
}

void applicationOpenURL(Id application, Id url) {
  if (url) [adapter::as<UIApplication>(application) openURL:adapter::as<NSURL>(url)];
}

}  // namespace host
