// The platform seam. Every service the two deliverables take from the device
// goes through the declarations below, and nothing else in the deliverables
// includes a platform header. Exactly one library implements this header in a
// build: the iOS adapter on a device, the simulated device on Linux.
//
// Shared rules:
// - A host object reference (Id) is an opaque pointer and null means absent.
//   Every query on null yields null, false or zero and never fails, as
//   messaging nil does on the device.
// - Every call arrives on, and every callback is made on, the host process's
//   main thread.
// - Device paths are written in full ("/var/mobile/..."); the host maps them
//   onto its own file system.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace host {

// The platform's floating-point type for screen quantities: double on 64-bit
// hosts, float on 32-bit ones.
using CGFloat = std::conditional_t<(sizeof(void*) >= 8), double, float>;

struct Object;
using Id = Object*;
struct Class;
struct Selector;
using Sel = const Selector*;
// A method implementation. Call it only after casting it back to the method's
// own shape, R (*)(Id self, Sel cmd, arguments...).
using Imp = void (*)();

// ---------------------------------------------------------------- runtime

// objc_getClass: the class of that name, or null when the host has none.
Class* getClass(const char* name);
// sel_registerName: the unique selector for a method name. Never null.
Sel selectorNamed(const char* name);
// class_getInstanceMethod: true when instances of `cls` (or of a superclass)
// have a method for `sel`. False for a null class.
bool classHasInstanceMethod(Class* cls, Sel sel);
// Takes one counted reference to the object and returns it. Null is ignored.
Id retain(Id object);
// Gives back one counted reference; the last one destroys the object through
// its class's `dealloc`. Null is ignored.
void release(Id object);

// ---------------------------------------------------------------- loader

// MSHookMessageEx: from now on every call of `sel` on `cls` runs
// `replacement`; `*saved` receives the implementation it replaced, which runs
// the original when called. A null class installs nothing and leaves `*saved`
// as it was.
void hookMessage(Class* cls, Sel sel, Imp replacement, Imp* saved);

// ---------------------------------------------------------------- Foundation

// kCFCoreFoundationVersionNumber of the running host.
double coreFoundationVersion();

struct AutoreleasePool;
// NSAutoreleasePool alloc/init: opens a scope for temporary objects.
AutoreleasePool* autoreleasePoolPush();
// drain: frees the temporary objects handed out since the matching push.
void autoreleasePoolDrain(AutoreleasePool* pool);

// ---------------------------------------------------------------- preferences
//
// Settings cross the seam as the platform hands them over: values of a
// preferences domain, named by the device path of its property-list file
// ("/var/mobile/Library/Preferences/<domain>.plist"). Reading and writing the
// file format is the platform's (Foundation and the preferences daemon on the
// device, the simulated platform on Linux); no bytes cross here.

// A value of a preferences domain. Scalars keep their type; every other
// property-list type (date, data, array, dictionary, keyed-archive
// reference) is kOther: present, with no value the deliverables read.
struct PreferenceValue {
  enum class Type : std::uint8_t { kBoolean, kInteger, kReal, kString, kOther };
  Type type = Type::kOther;
  // A boolean as 0 or 1; an integer's or a real's value (an integer beyond
  // 2^53 rounded to the nearest double).
  double number = 0;
  // A string's text, UTF-8.
  std::string text;
};

// What a read of a preferences domain found.
enum class PreferencesStatus : std::uint8_t {
  kRead,        // the file read as a dictionary
  kAbsent,      // there is no file
  kUnreadable,  // the file is there but does not read as a dictionary, or
                // is larger than kMaxPreferencesFileBytes
  kFailed,      // the file could not be read: an I/O error, no permission
};

struct PreferencesRead {
  PreferencesStatus status = PreferencesStatus::kAbsent;
  // For kUnreadable and kFailed, why, in words where the platform says (e.g.
  // "binary offset 0x1f4 out of range"); may be empty.
  std::string why;
  // One per key asked for, in the order asked; none where the key is absent.
  std::vector<std::optional<PreferenceValue>> values;
};

// Bytes of a preferences file the platform reads: a larger file reads as
// kUnreadable, whatever it holds.
inline constexpr std::size_t kMaxPreferencesFileBytes = std::size_t{16} << 20;

// CFPreferencesCopyMultiple (on hosts without the preferences daemon,
// NSPropertyListSerialization on the file's bytes): the values of `keys` in
// the preferences file at a device path, read afresh, so that what another
// process has just set is seen. A file that is absent, unreadable or not a
// dictionary gives no values. Takes no lock and never waits, whatever is put
// at the path (a FIFO, a file swapped in while it is read).
PreferencesRead readPreferences(const char* devicePath, std::span<const std::string_view> keys);

// One change of a key: set it to `*value`, or remove it when `value` is null.
struct PreferenceChange {
  std::string_view key;
  const PreferenceValue* value = nullptr;
};

// How changePreferences went. Every outcome but kWritten leaves the file as
// it was.
enum class PreferencesWrite : std::uint8_t {
  kWritten,      // the changes took effect and every other key was kept
  kReadFailed,   // the file is there but could not be read
  kNotKept,      // the file did not read as a dictionary and could not be
                 // kept aside
  kNotWritable,  // the result holds what the file's form cannot
  kNotLocked,    // the writers' lock could not be taken, in time or at all
  kWriteFailed,  // the file could not be replaced
};

// CFPreferencesSetMultiple and CFPreferencesAppSynchronize (on hosts without
// the preferences daemon, NSPropertyListSerialization and
// writeToFile:atomically: under the writers' lock): applies `changes` to the
// preferences file at a device path as one atomic step, keeping every other
// key, known or not, and the keys other writers change at the same moment.
// With no changes the file is written as it stands (an empty dictionary
// where there is none). A file that is there but reads as kUnreadable is
// first moved beside it to "<file>.unreadable" (one; a later one replaces
// it), and moved back when the change fails. Called on the main thread; may
// wait a bounded time for another writer.
PreferencesWrite changePreferences(const char* devicePath, std::span<const PreferenceChange> changes);

// ---------------------------------------------------------------- notifications

struct NotifyCenter;
// A CFNotificationCallback. For Darwin notifications `object` and `userInfo`
// are always null.
using NotificationCallback = void (*)(NotifyCenter* center, void* observer,
                                      const char* name, const void* object,
                                      const void* userInfo);
// CFNotificationSuspensionBehavior.
enum SuspensionBehavior : int {
  kSuspensionDrop = 1,
  kSuspensionCoalesce = 2,
  kSuspensionHold = 3,
  kSuspensionDeliverImmediately = 4,
};
// CFNotificationCenterGetDarwinNotifyCenter: the system-wide, payload-free
// notification centre. Never null.
NotifyCenter* darwinNotifyCenter();
// CFNotificationCenterAddObserver: `callback` runs on the main thread for
// every post of `name` anywhere on the device, posts that arrive together
// coalesced into one call. Null centre, callback or name registers nothing.
void notifyCenterAddObserver(NotifyCenter* center, const void* observer,
                             NotificationCallback callback, const char* name,
                             const void* object, int suspensionBehavior);
// notify_post: posts the Darwin notification `name` to every observer on the
// device, this process included. Returns at once; delivery is asynchronous.
void notifyPost(const char* name);

// ---------------------------------------------------------------- SpringBoard

// SBAwayController sharedAwayController: the lock-screen controller, or null
// when the host has no such class.
Id awayControllerShared();
// isLocked: true while the device is locked.
bool awayControllerIsLocked(Id awayController);
// SBLockScreenManager sharedInstance (iOS 7 and later): the lock screen's
// manager, or null when the host has no such class.
Id lockScreenManagerShared();
// isUILocked: true while the lock screen shows.
bool lockScreenManagerIsUILocked(Id lockScreenManager);
// -[SpringBoard _accessibilityFrontMostApplication] (iOS 7 and later): the
// application in front, or null on the home screen, for a null SpringBoard,
// or where the host lacks the method. `springBoard` is SpringBoard's
// application object (applicationShared inside SpringBoard).
Id springBoardFrontMostApplication(Id springBoard);
// SBApplication bundleIdentifier (iOS 7 and later): the application's
// identifier; none for null or where the host lacks the method.
std::optional<std::string> applicationBundleIdentifier(Id application);
// SBDisplayStack topApplication: the application object in front of that
// stack, or null.
Id displayStackTopApplication(Id displayStack);
// SBApplication displayIdentifier: the application's identifier.
std::optional<std::string> applicationDisplayIdentifier(Id application);
// SBWorkspace bksWorkspace: the workspace's backing workspace, or null.
Id workspaceBKSWorkspace(Id workspace);
// BKSWorkspace topApplication: identifier of the application in front, or
// none when no application is.
std::optional<std::string> bksWorkspaceTopApplication(Id bksWorkspace);

// ---------------------------------------------------------------- UIKit

// UIKeyboard isOnScreen: true while the on-screen keyboard shows; false when
// the host has no keyboard class.
bool keyboardIsOnScreen();
// UIScreen mainScreen: the main screen, or null.
Id screenMain();
// brightness: the screen's brightness, 0 for a null screen.
CGFloat screenBrightness(Id screen);

// Receives the index of the button the user tapped in an alert it delegates.
class AlertDelegate {
 public:
  // alertView:clickedButtonAtIndex:. The cancel button is 0, the others are
  // numbered from 1 in the order given when the alert was created.
  virtual void alertViewClickedButtonAtIndex(Id alertView, std::intptr_t buttonIndex) = 0;

 protected:
  ~AlertDelegate() = default;
};
// UIAlertView alloc + initWithTitle:message:delegate:cancelButtonTitle:
// otherButtonTitles:. Returns one counted reference owned by the caller.
// `message` may be null. The delegate must outlive the alert.
Id alertCreate(const char* title, const char* message, AlertDelegate* delegate,
               const char* cancelButtonTitle,
               std::initializer_list<const char*> otherButtonTitles);
// show: puts the alert on screen; the alert machinery keeps it alive until a
// button is tapped.
void alertShow(Id alertView);
// UIAlertController (iOS 8 and later) alertControllerWithTitle:message:
// preferredStyle:UIAlertControllerStyleAlert with one action per button: a
// cancel action titled `cancelButtonTitle`, then a default action per other
// title, in order. Tapping one calls
// delegate->alertViewClickedButtonAtIndex(controller, index) numbered as for
// alertCreate (cancel 0, the others from 1). Returns one counted reference
// owned by the caller, or null where the host has no UIAlertController.
// `message` may be null. The delegate must outlive the alert.
Id alertControllerCreate(const char* title, const char* message, AlertDelegate* delegate,
                         const char* cancelButtonTitle,
                         std::initializer_list<const char*> otherButtonTitles);
// Presents the controller from a window of the caller's own above
// everything else; the window and the controller stay alive until an action
// is tapped, then the window goes.
void alertControllerPresent(Id alertController);
// UIApplication sharedApplication: the process's application object.
Id applicationShared();
// NSURL URLWithString: a temporary link object, freed with the innermost
// autorelease pool. Null for a null string.
Id urlWithString(const char* string);
// openURL: hands the link to the system, which opens the application that
// serves it. Nothing happens for a null application or link.
void applicationOpenURL(Id application, Id url);

// ---------------------------------------------------------------- GraphicsServices

// GSEventSetBacklightLevel: sets the backlight to `level`, passed as it is.
// False, with nothing set, where the host lacks the function.
bool setBacklightLevel(float level);

// ---------------------------------------------------------------- BackBoardServices

// BKSDisplayBrightnessSet(level, 1): sets the display brightness to `level`,
// passed as it is. False, with nothing set, where the host lacks the
// function.
bool displayBrightnessSet(float level);

// ---------------------------------------------------------------- event framework

// LAListener: receives the events the user assigned to the name it is
// registered under.
class Listener {
 public:
  // activator:receiveEvent:. An event left unhandled goes on to the host.
  virtual void activatorReceiveEvent(Id activator, Id event) = 0;

 protected:
  ~Listener() = default;
};
// LAActivator sharedInstance, or null when the framework is absent.
Id activatorShared();
// registerListener:forName:. The listener must live as long as the process.
void activatorRegisterListener(Id activator, Listener* listener, const char* name);
// LAEvent setHandled:.
void eventSetHandled(Id event, bool handled);

// ---------------------------------------------------------------- toggle framework

// FSSwitchDataSource, the part of it a switch implements. The framework
// supplies its own default for every operation not listed here.
class SwitchDataSource {
 public:
  virtual ~SwitchDataSource() = default;
  // The switch state: 0 off, 1 on, -1 indeterminate.
  virtual int stateForSwitchIdentifier(std::string_view switchIdentifier) = 0;
  // The user tapped the switch; `newState` is the state asked for.
  virtual void applyStateForSwitchIdentifier(int newState, std::string_view switchIdentifier) = 0;
  // The user triggered the switch's alternate action.
  virtual void applyAlternateActionForSwitchIdentifier(std::string_view switchIdentifier) = 0;
};
// Creates an instance of a data-source class; the framework owns it.
using SwitchDataSourceFactory = SwitchDataSource* (*)();
// Makes a data-source class of the calling module known by name, as the
// device's runtime does for every class of an image when it is loaded, so
// that the framework can instantiate a bundle's principal class. Called from
// the module's load-time initialiser. A name already registered keeps its
// first factory and the later registration is ignored, as the runtime keeps
// the class of the image loaded first when two define the same name. Null
// names or factories register nothing.
void registerSwitchDataSourceClass(const char* name, SwitchDataSourceFactory factory);
// FSSwitchPanel sharedPanel stateDidChangeForSwitchIdentifier:: tells the
// framework that the state of the switch registered under
// `switchIdentifier` (its bundle identifier) may have changed, so that every
// toggle showing it asks the switch again. Nothing where the host lacks the
// class or the method, or for a null identifier.
void switchPanelStateDidChange(const char* switchIdentifier);

}  // namespace host
