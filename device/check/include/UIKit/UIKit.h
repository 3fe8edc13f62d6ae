// Stand-in for the iOS SDK's UIKit on Linux: the declarations the adapter
// and the switch class use, as the SDK spells them. GNUstep has no UIKit.
#pragma once

#import <Foundation/Foundation.h>

@interface UIResponder : NSObject
@end

@interface UIView : UIResponder
@end

@interface UIScreen : NSObject
+ (UIScreen*)mainScreen;
- (CGFloat)brightness;
@end

@interface UIApplication : UIResponder
+ (UIApplication*)sharedApplication;
- (BOOL)openURL:(NSURL*)url;
@end

@class UIAlertView;

@protocol UIAlertViewDelegate <NSObject>
@optional
- (void)alertView:(UIAlertView*)alertView clickedButtonAtIndex:(NSInteger)buttonIndex;
@end

@interface UIAlertView : UIView
- (id)initWithTitle:(NSString*)title
              message:(NSString*)message
             delegate:(id)delegate
    cancelButtonTitle:(NSString*)cancelButtonTitle
    otherButtonTitles:(NSString*)otherButtonTitles, ...;
- (NSInteger)addButtonWithTitle:(NSString*)title;
- (void)show;
@end
