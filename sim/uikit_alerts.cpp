// The simulated UIAlertView: alerts with a title, an optional message, a
// delegate and buttons, kept alive by the alert machinery while on screen.
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
  AlertView(Class* cls, std::string title, std::optional<std::string> message, host::AlertDelegate* delegate,
            std::vector<std::string> buttons)
      : Object(cls),
        title(std::move(title)),
        message(std::move(message)),
        delegate(delegate),
        buttons(std::move(buttons)) {}

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
  // Without a cancel button the other buttons are numbered from 0; as in the
  // device's nil-terminated list, a null title ends the other buttons.
  std::vector<std::string> buttons;
  if (cancelButtonTitle) buttons.emplace_back(cancelButtonTitle);
  for (const char* other : otherButtonTitles) {
    if (!other) break;
    buttons.emplace_back(other);
  }
  std::optional<std::string> text;
  if (message) text = message;
  sim::journal("alertCreate", "\"" + std::string(title ? title : "") + "\" message=" +
                                  (message ? "\"" + *text + "\"" : std::string("(null)")) + " buttons=" +
                                  sim::describeButtons(buttons));
  return sim::allocInit<sim::AlertView>(sim::defineClass("UIAlertView"), title ? title : "", std::move(text),
                                        delegate, std::move(buttons));
}

void alertShow(Id alertView) {
  sim::AlertView* alert = sim::objectAs<sim::AlertView>(alertView);
  sim::journal("alertShow", alert ? "\"" + alert->title + "\"" : std::string("(not an alert)"));
  if (!alert) return;
  auto& alerts = sim::onScreen();
  if (std::find(alerts.begin(), alerts.end(), alert) != alerts.end()) return;
  retain(alert);
  alerts.push_back(alert);
}

}  // namespace host
