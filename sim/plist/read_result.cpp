#include "sim/plist/read_result.h"

#include <cstdio>

namespace plist {

std::string ReadResult::describe() const {
  if (!reason) return "dictionary";
  std::string text;
  char number[32];
  switch (place) {
    case Place::None:
      break;
    case Place::Binary:
      std::snprintf(number, sizeof number, "0x%llx", static_cast<unsigned long long>(position));
      text = std::string("binary offset ") + number + " ";
      break;
    case Place::Xml:
    case Place::Text:
      text = std::string(place == Place::Xml ? "XML" : "text") + " line " + std::to_string(position) + ": ";
      break;
  }
  text += reason;
  if (!encoding.empty()) text += " \"" + encoding + "\"";
  return text;
}

}  // namespace plist
