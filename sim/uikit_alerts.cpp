// The simulated UIAlertView and UIAlertController: alerts with a title, an
// optional message, a delegate and buttons, kept alive by the alert
// machinery while on screen. A controller is presented from a window of its
// own, which goes when one of its actions is tapped.
#include <algorithm>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "host/host.h"
#include "sim/boot_steps.h"
#include "sim/journal.h"
#include "sim/object_cast.h"
#include "sim/runtime.h"
#include "sim/uikit.h"
#include "sim/uikit_internal.h"

namespace sim {
namespace {

struct AlertView : host::Object {
  AlertView(Class* cls, bool controller, std::string title, std::optional<std::string> message,
            host::AlertDelegate* delegate, std::vector<std::string> buttons)
      : Object(cls),
        controller(controller),
        title(std::move(title)),
        message(std::move(message)),
        delegate(delegate),
        buttons(std::move(buttons)) {}

  bool controller;  // a UIAlertController, not a UIAlertView
  std::string title;
  std::optional<std::string> message;
  host::AlertDelegate* delegate;
  std::vector<std::string> buttons;  // in index order
};

// Alerts on screen, oldest first; each holds one counted reference.
std::vector<AlertView*>& onScreen() {
  static auto* alerts = new std::vector<AlertView*>;
  return *alerts;
}

std::string describeButtons(const std::vector<std::string>& buttons) {
  std::string text = "[";
  for (const auto& button : buttons) text += (text.size() > 1 ? ", \"" : "\"") + button + "\"";
  return text + "]";
}

// The alert as created and journaled under `call`: without a cancel button
// the other buttons are numbered from 0; as in the device's nil-terminated
// list, a null title ends the other buttons.
host::Id createAlert(const char* call, bool controller, const char* title, const char* message,
                     host::AlertDelegate* delegate, const char* cancelButtonTitle,
                     std::initializer_list<const char*> otherButtonTitles) {
  std::vector<std::string> buttons;
  if (cancelButtonTitle) buttons.emplace_back(cancelButtonTitle);
  for (const char* other : otherButtonTitles) {
    if (!other) break;
    buttons.emplace_back(other);
  }
  std::optional<std::string> text;
  if (message) text = message;
  journal(call, "\"" + std::string(title ? title : "") + "\" message=" +
                    (message ? "\"" + *text + "\"" : std::string("(null)")) + " buttons=" + describeButtons(buttons));
  return allocInit<AlertView>(defineClass(controller ? "UIAlertController" : "UIAlertView"), controller,
                              title ? title : "", std::move(text), delegate, std::move(buttons));
}

// The alert goes on screen, the machinery keeping it alive.
void putOnScreen(AlertView* alert) {
  auto& alerts = onScreen();
  if (std::find(alerts.begin(), alerts.end(), alert) != alerts.end()) return;
  host::retain(alert);
  alerts.push_back(alert);
}

}  // namespace

void alertsReset(const BootOptions&) {
  // The alerts themselves went with the runtime's objects.
  onScreen().clear();
  linksReset();
}

void alertsTakeDown() {
  std::vector<AlertView*> alerts;
  alerts.swap(onScreen());
  for (AlertView* alert : alerts) host::release(alert);
}

std::vector<AlertInfo> alertsOnScreen() {
  std::vector<AlertInfo> infos;
  for (AlertView* alert : onScreen()) infos.push_back({alert, alert->title, alert->message, alert->buttons});
  return infos;
}

bool tapAlertButton(host::Id alert, std::intptr_t index) {
  auto& alerts = onScreen();
  auto it = std::find(alerts.begin(), alerts.end(), alert);
  if (it == alerts.end()) return false;
  AlertView* view = *it;
  journal("alertButtonTapped", "\"" + view->title + "\" " + std::to_string(index));
  // The delegate hears of the tap first; the alert stays alive (still on
  // screen) until it has answered.
  if (view->delegate) view->delegate->alertViewClickedButtonAtIndex(view, index);
  alerts.erase(std::find(alerts.begin(), alerts.end(), view));
  host::release(view);
  drainRunLoopPool();
  return true;
}

}  // namespace sim

namespace host {

Id alertCreate(const char* title, const char* message, AlertDelegate* delegate, const char* cancelButtonTitle,
               std::initializer_list<const char*> otherButtonTitles) {
  return sim::createAlert("alertCreate", false, title, message, delegate, cancelButtonTitle, otherButtonTitles);
}

void alertShow(Id alertView) {
  sim::AlertView* alert = sim::objectAs<sim::AlertView>(alertView);
  if (alert && alert->controller) alert = nullptr;
  // Where the host offers no working UIAlertView, nothing shows.
  const bool works = classHasInstanceMethod(sim::findClass("UIAlertView"), selectorNamed("show"));
  sim::journal("alertShow", !alert  ? std::string("(not an alert)")
                            : works ? "\"" + alert->title + "\""
                                    : "\"" + alert->title + "\" (nothing shows)");
  if (alert && works) sim::putOnScreen(alert);
}

Id alertControllerCreate(const char* title, const char* message, AlertDelegate* delegate,
                         const char* cancelButtonTitle, std::initializer_list<const char*> otherButtonTitles) {
  if (!sim::hasClassMethod(sim::findClass("UIAlertController"), "alertControllerWithTitle:message:preferredStyle:")) {
    sim::journal("alertControllerCreate", "(null)");
    return nullptr;
  }
  return sim::createAlert("alertControllerCreate", true, title, message, delegate, cancelButtonTitle,
                          otherButtonTitles);
}

void alertControllerPresent(Id alertController) {
  sim::AlertView* alert = sim::objectAs<sim::AlertView>(alertController);
  if (alert && !alert->controller) alert = nullptr;
  sim::journal("alertControllerPresent", alert ? "\"" + alert->title + "\"" : std::string("(not an alert)"));
  if (alert) sim::putOnScreen(alert);
}

}  // namespace host
