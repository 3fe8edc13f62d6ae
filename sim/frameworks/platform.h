// The simulated frameworks' own view of themselves, below the control API
// (sim/device.h and its siblings): what one framework asks of another, and
// what the adapter's own tests observe directly. The deliverables reach the
// frameworks only through the SDK's declarations.
#pragma once

#import <Foundation/Foundation.h>

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "sim/frameworks/brightness.h"

namespace standin {

// ---- host generations

// Makes this process SpringBoard's host at `version` (a release's is
// host::coreFoundationOf("9.0")): its CoreFoundation version, and the
// SpringBoard and UIKit classes and methods and the private C functions the
// offer table (sim/offers.h) gives it. Once per process: classes, once made,
// cannot be taken back.
void bootHost(double version);
// True when the release does not offer `selector` to `holder` (a class, for
// its instances' methods, or a metaclass, for class methods) though the
// stand-ins implement it: the public classes answer no to it.
bool withheld(Class holder, SEL selector);
// The same for any process: SpringBoard's classes only in SpringBoard, and
// none of the classes named in `missing`.
void makeGeneration(double version, bool springBoard, const std::set<std::string>& missing);

// ---- CoreFoundation

// The version alone, for checks that need no host classes.
void setCoreFoundationVersion(double version);
// Every name passed to notify_post, in order.
const std::vector<std::string>& postedNotifications();

// Another process hands one key of `domain` to the preferences daemon,
// which writes the domain's file at once.
void daemonSetValue(const char* domain, const char* key, id value);
// This process's caches and pending changes are dropped.
void forgetPreferences();

// Device paths map to paths below `root`.
void setFileSystemRoot(const std::string& root);

// ---- loader and toggle framework

// Every MSHookMessageEx call as "Class selector" ("nil selector" for a nil
// class), in order.
const std::vector<std::string>& hookCalls();
// The toggle framework's panel (FSSwitchPanel and its shared instance),
// which loading the switches offers with the method: makes the class where
// the process lacks it, and adds stateDidChangeForSwitchIdentifier: where
// asked and missing. Nothing is taken away again: classes and methods, once
// made, cannot be.
void offerSwitchPanel(bool withStateChange);
// Every identifier passed to the panel's stateDidChangeForSwitchIdentifier:,
// in order.
const std::vector<std::string>& switchStateChanges();

// ---- UIKit and GraphicsServices

// Whether UIScreen mainScreen yields a screen.
void setMainScreenPresent(bool present);
// Every level passed to GSEventSetBacklightLevel, and to
// BKSDisplayBrightnessSet (with 1 as its second argument), as passed.
const std::vector<float>& backlightLevels();
const std::vector<float>& displayBrightnessLevels();

// An alert view, or an alert controller (from iOS 8) presented in a window.
struct Alert {
  id alert;
  bool controller = false;
  std::string title;
  std::optional<std::string> message;
  // An alert view's delegate; nil for a controller.
  id delegate;
  // An alert view's buttons, index 0 being the cancel button; a controller's
  // actions in the order added.
  std::vector<std::string> buttons;
};
// The alerts shown and not yet dismissed, oldest first.
std::vector<Alert> alertsOnScreen();
// The user taps button `index` of the alert shown `position`-th on screen;
// the delegate (or the action's handler) is told and the alert leaves the
// screen.
void tapAlertButton(std::size_t position, std::intptr_t index);
// How many windows are visible (made key and visible, not hidden since).
int windowsVisible();
// Every link passed to openURL:, in order.
const std::vector<std::string>& openedLinks();
// A link reaches the system (any of the ways to open one).
void openLink(NSURL* url);
// An application other than SpringBoard starts: the shared application.
void startApplication();
// Every alert leaves the screen, untapped.
void takeAlertsDown();

// ---- SpringBoard

// Starts SpringBoard, which becomes the shared application. Needs a booted
// host generation, as every SpringBoard call below does.
void startSpringBoard();
// The host creates its objects that name the front application:
// `displayStacks` display stacks where the release has them (the second
// holds the front application), a workspace otherwise (when `workspace`).
void createFrontApplicationObjects(int displayStacks = 4, bool workspace = true);
// Destroys the objects createFrontApplicationObjects made.
void destroyFrontApplicationObjects();
// `identifier` comes to the front, or the home screen when none; either is a
// front display change, sent in the form the host version uses.
void showApplication(const std::optional<std::string>& identifier);
void setLocked(bool locked);

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
// Whether the event framework is installed (LAActivator's shared instance).
void setActivatorPresent(bool present);
// The listeners go with the process's modules.
void forgetListeners();

}  // namespace standin
