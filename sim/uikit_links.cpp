// The simulated link service: the process's UIApplication (SpringBoard's
// own object in SpringBoard), NSURL objects, and every link handed to
// openURL:.
#include <string>
#include <utility>
#include <vector>

#include "host/host.h"
#include "sim/journal.h"
#include "sim/object_cast.h"
#include "sim/runtime.h"
#include "sim/springboard_model.h"
#include "sim/uikit.h"
#include "sim/uikit_internal.h"

namespace sim {
namespace {

struct Url : host::Object {
  Url(Class* cls, std::string string) : Object(cls), string(std::move(string)) {}
  std::string string;
};

struct Links {
  Id application = nullptr;
  std::vector<std::string> opened;
};

Links& links() {
  static auto* state = new Links;
  return *state;
}

}  // namespace

void linksReset() {
  // The application object, if any, went with the runtime's objects.
  links() = Links();
}

const std::vector<std::string>& openedLinks() { return links().opened; }

}  // namespace sim

namespace host {

Id applicationShared() {
  sim::journal("applicationShared");
  if (Id springBoard = sim::springBoardModel().springBoard; springBoard && sim::isAlive(springBoard))
    return springBoard;
  auto& l = sim::links();
  // Made on first use and kept for the life of the process.
  if (!sim::objectAs<sim::UIApplicationObject>(l.application))
    l.application = sim::allocInit<sim::UIApplicationObject>(sim::defineClass("UIApplication"));
  return l.application;
}

Id urlWithString(const char* string) {
  sim::journal("urlWithString", string ? string : "(null)");
  if (!string) return nullptr;
  return sim::autorelease(sim::allocInit<sim::Url>(sim::defineClass("NSURL"), string));
}

void applicationOpenURL(Id application, Id url) {
  sim::Url* link = sim::objectAs<sim::Url>(url);
  sim::journal("applicationOpenURL", link ? link->string : std::string("(null)"));
  if (!sim::objectAs<sim::UIApplicationObject>(application) || !link) return;
  sim::links().opened.push_back(link->string);
}

}  // namespace host
