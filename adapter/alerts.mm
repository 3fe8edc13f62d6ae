// host.h's alert operations. The alert's delegate on the platform is the
// object that stands for the host delegate: the LumivoSwitch wrapping it.
#import <UIKit/UIKit.h>

#include <vector>

#include "adapter/objc_bridge.h"
#include "adapter/switch_classes.h"
#include "host/host.h"

namespace {

// The alert views on screen that report to a delegate, each retained.
std::vector<UIAlertView*>& alertViewsShown() {
  static auto* shown = new std::vector<UIAlertView*>;
  return *shown;
}

}  // namespace

namespace adapter {

void alertViewFinished(id alertView) {
  auto& shown = alertViewsShown();
  for (auto it = shown.begin(); it != shown.end(); ++it) {
    if (*it != alertView) continue;
    shown.erase(it);
    [alertView release];
    return;
  }
}

void forgetAlertViewsOf(id delegate) {
  auto& shown = alertViewsShown();
  for (auto it = shown.begin(); it != shown.end();) {
    if ([*it delegate] != delegate) {
      ++it;
      continue;
    }
    [*it setDelegate:nil];
    [*it release];
    it = shown.erase(it);
  }
}

}  // namespace adapter

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

void alertShow(Id alertView) {
  UIAlertView* alert = adapter::as<UIAlertView>(alertView);
  if ([alert delegate]) alertViewsShown().push_back([alert retain]);
  [alert show];
}

}  // namespace host
