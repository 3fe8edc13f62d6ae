// Control of the Objective-C stand-ins for the platform pieces GNUstep lacks
// (UIKit, SpringBoard, GraphicsServices, the event and toggle frameworks, the
// hooking loader, CoreFoundation's notification centre and preferences). The
// adapter reaches them only through the SDK's own declarations; the checks
// drive and observe them through this header, as a user and the system would.
#pragma once

#import <Foundation/Foundation.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace standin {

// ---- CoreFoundation

void setCoreFoundationVersion(double version);
// Every name passed to notify_post, in order.
const std::vector<std::string>& postedNotifications();
// One turn of the main run loop: each name posted since the last turn is
// delivered once to each of its observers, inside an autorelease pool.
// Returns the callbacks made.
int runLoopOnce();

// The preferences daemon's values for `domain`, as another process (the
// Settings application) sets them. The file on disk is left as it was, as
// the daemon does until it gets round to writing it.
void daemonSetValue(const char* domain, const char* key, id value);
// The daemon's values for `domain` (empty when it has none).
NSDictionary* daemonValues(const char* domain);
// Every domain empty again, in the daemon and in this process.
void forgetPreferences();

// Device paths map to paths below `root`.
void setFileSystemRoot(const std::string& root);

// ---- loader and toggle framework

// Loads a library or bundle executable as the loader does (its initialisers
// run). Null, with `error` set, when it cannot be loaded.
void* loadModule(const std::string& path, std::string* error);
// Every MSHookMessageEx call as "Class selector" ("nil selector" for a nil
// class), in order.
const std::vector<std::string>& hookCalls();
// What the toggle framework does for a switch bundle: loads the executable,
// then creates the principal class named in `infoPlist`. Nil, with `error`
// set, when either step fails. The object is owned by the caller.
id loadSwitch(const std::string& executable, const std::string& infoPlist, std::string* error);

// ---- UIKit and GraphicsServices

// Whether UIScreen mainScreen yields a screen.
void setMainScreenPresent(bool present);
void setScreenBrightness(CGFloat brightness);
void setKeyboardOnScreen(bool shown);
// Every level passed to GSEventSetBacklightLevel, as passed.
const std::vector<float>& backlightLevels();

struct Alert {
  id alert;
  std::string title;
  std::optional<std::string> message;
  id delegate;
  // Index 0 is the cancel button.
  std::vector<std::string> buttons;
};
// The alerts shown and not yet dismissed, oldest first.
std::vector<Alert> alertsOnScreen();
// The user taps button `index` of the alert shown `position`-th on screen;
// the delegate is told and the alert leaves the screen.
void tapAlertButton(std::size_t position, std::intptr_t index);
// Every link passed to openURL:, in order.
const std::vector<std::string>& openedLinks();

// ---- SpringBoard

// Starts SpringBoard, which becomes the shared application.
void startSpringBoard();
// The host creates its objects that name the front application: four display
// stacks below CoreFoundation 793.0 (the second holds the front
// application), a workspace from then on.
void createFrontApplicationObjects();
// Destroys the objects createFrontApplicationObjects made.
void destroyFrontApplicationObjects();
// `identifier` comes to the front, or the home screen when none; either is a
// front display change, sent in the form the host version uses.
void showApplication(const std::optional<std::string>& identifier);
void setLocked(bool locked);
// How often SpringBoard's own front display handler ran, and the argument
// the last run of the one-argument form received.
int frontDisplayChanges();
id lastFrontDisplay();

// ---- event framework

struct EventOutcome {
  bool delivered = false;
  bool handled = false;
};
// The user performs the gesture assigned to `name`.
EventOutcome sendEvent(const char* name);
// The listeners registered, by name, in registration order.
std::vector<std::string> listenerNames();
id listenerNamed(const char* name);

}  // namespace standin
