// The bundle's principal class, which the toggle framework instantiates: the
// switch's data source and the delegate of its menu alert. Each instance owns
// one C++ data source, made by the factory registered under this class's
// name when the bundle was loaded, and hands every call to it.
#pragma once

#import <UIKit/UIKit.h>

#include "adapter/frameworks/toggles.h"
#include "host/host.h"

__attribute__((visibility("default")))
@interface LumivoSwitch : NSObject <FSSwitchDataSource, UIAlertViewDelegate> {
  host::SwitchDataSource* _source;
  host::AlertDelegate* _alertDelegate;
}
@end
