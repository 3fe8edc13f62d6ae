// host.h's alert operations. The alert's delegate on the platform is the
// object that stands for the host delegate: the LumivoSwitch wrapping it.
#import <UIKit/UIKit.h>

#include "adapter/objc_bridge.h"
#include "adapter/switch_classes.h"
#include "host/host.h"

namespace host {

Id alertCreate(const char* title, const char* message, AlertDelegate* delegate, const char* cancelButtonTitle,
               std::initializer_list<const char*> otherButtonTitles) {
  UIAlertView* alert = [[UIAlertView alloc] initWithTitle:adapter::string(title)
                                                  message:adapter::string(message)
                                                 delegate:adapter::alertDelegateObject(delegate)
                                        cancelButtonTitle:adapter::string(cancelButtonTitle)
                                        otherButtonTitles:nil];
  // Added one by one, the buttons keep the order and indices they are given.
  for (const char* button : otherButtonTitles) [alert addButtonWithTitle:adapter::string(button ? button : "")];
  return adapter::hostId(alert);
}

void alertShow(Id alertView) { [adapter::as<UIAlertView>(alertView) show]; }

}  // namespace host
