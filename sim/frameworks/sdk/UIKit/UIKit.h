// Stand-in for the iOS SDK's UIKit on Linux: the declarations the adapter
// and the switch class use, as the SDK spells them. GNUstep has no UIKit.
#pragma once

#import <Foundation/Foundation.h>

typedef struct CGPoint {
  CGFloat x;
  CGFloat y;
} CGPoint;
typedef struct CGSize {
  CGFloat width;
  CGFloat height;
} CGSize;
typedef struct CGRect {
  CGPoint origin;
  CGSize size;
} CGRect;

@interface UIResponder : NSObject
@end

@interface UIView : UIResponder
@end

@interface UIScreen : NSObject
+ (UIScreen*)mainScreen;
- (CGFloat)brightness;
- (CGRect)bounds;
@end

@interface UIViewController : UIResponder
- (void)presentViewController:(UIViewController*)viewControllerToPresent
                     animated:(BOOL)flag
                   completion:(void (^)(void))completion;
@end

typedef CGFloat UIWindowLevel;
extern const UIWindowLevel UIWindowLevelAlert;

@interface UIWindow : UIView
- (id)initWithFrame:(CGRect)frame;
- (void)setWindowLevel:(UIWindowLevel)windowLevel;
- (void)setRootViewController:(UIViewController*)rootViewController;
- (UIViewController*)rootViewController;
- (void)makeKeyAndVisible;
- (void)setHidden:(BOOL)hidden;
@end

// iOS 8 and later.
typedef enum { UIAlertControllerStyleActionSheet = 0, UIAlertControllerStyleAlert = 1 } UIAlertControllerStyle;
typedef enum { UIAlertActionStyleDefault = 0, UIAlertActionStyleCancel = 1, UIAlertActionStyleDestructive = 2 } UIAlertActionStyle;

@interface UIAlertAction : NSObject
+ (instancetype)actionWithTitle:(NSString*)title
                          style:(UIAlertActionStyle)style
                        handler:(void (^)(UIAlertAction* action))handler;
@end

@interface UIAlertController : UIViewController
+ (instancetype)alertControllerWithTitle:(NSString*)title
                                 message:(NSString*)message
                          preferredStyle:(UIAlertControllerStyle)preferredStyle;
- (void)addAction:(UIAlertAction*)action;
- (NSArray*)actions;
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
// Not retained.
@property(nonatomic, assign) id delegate;
@end
