#include "tools/command.h"

namespace tools {

bool isExpectation(Verb verb) {
  switch (verb) {
    case Verb::ExpectLevel:
    case Verb::ExpectUnhandled:
    case Verb::ExpectBrightness:
    case Verb::ExpectSwitch:
    case Verb::ExpectPref:
    case Verb::ExpectPosts:
    case Verb::ExpectOpened:
    case Verb::ExpectAlerts:
      return true;
    default:
      return false;
  }
}

}  // namespace tools
