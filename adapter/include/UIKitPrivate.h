// UIKit's keyboard class, which the public headers do not declare.
#pragma once

#import <UIKit/UIKit.h>

@interface UIKeyboard : UIView
+ (BOOL)isOnScreen;
@end
