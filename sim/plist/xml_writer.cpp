#include "sim/plist/xml_writer.h"

#include <cmath>
#include <cstdint>
#include <string_view>
#include <vector>

#include "sim/plist/base64.h"
#include "sim/plist/limits.h"
#include "sim/plist/scalar_text.h"
#include "sim/plist/unicode.h"
#include "sim/plist/value_events.h"

namespace plist {
namespace {

// Walks the tree without recursion, so that its depth costs no stack.
class XmlWriter {
 public:
  explicit XmlWriter(std::string& out) : out_(out) {}

  bool write(Node root) {
    out_ =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
        "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
        "<plist version=\"1.0\">\n";
    if (!value(root, 0)) return false;
    while (!stack_.empty()) {
      if (out_.size() > kMaxFileBytes) return refuse(XmlRefusal::kSize);
      Frame& frame = stack_.back();
      const int level = static_cast<int>(stack_.size());
      if (frame.index < frame.node.size()) {
        const std::size_t i = frame.index++;
        const Node node = frame.node;
        if (node.type() == Type::Dictionary) {
          if (++objects_ > kMaxObjects) return refuse(XmlRefusal::kObjects);
          if (!element("key", node.keyAt(i), level)) return false;
        }
        if (!value(node.at(i), level)) return false;
        continue;
      }
      indent(level - 1);
      out_ += frame.node.type() == Type::Dictionary ? "</dict>\n" : "</array>\n";
      stack_.pop_back();
    }
    out_ += "</plist>\n";
    return out_.size() <= kMaxFileBytes || refuse(XmlRefusal::kSize);
  }

  XmlRefusal refusal() const { return refusal_; }

 private:
  bool refuse(XmlRefusal why) {
    refusal_ = why;
    return false;
  }

  struct Frame {
    Node node;
    std::size_t index;  // the next entry
  };

  void indent(int level) { out_.append(static_cast<std::size_t>(level), '\t'); }

  // Character data with markup escaped; false for text XML cannot carry. A
  // carriage return is written as a reference, which every reader keeps as
  // it is.
  bool escaped(std::string_view text) {
    if (!unicode::isXmlText(text)) return refuse(XmlRefusal::kText);
    std::size_t plain = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
      const char* replacement;
      switch (text[i]) {
        case '<': replacement = "&lt;"; break;
        case '>': replacement = "&gt;"; break;
        case '&': replacement = "&amp;"; break;
        case '\r': replacement = "&#13;"; break;
        default: continue;
      }
      out_.append(text.data() + plain, i - plain);
      out_ += replacement;
      plain = i + 1;
    }
    out_.append(text.data() + plain, text.size() - plain);
    return true;
  }

  bool element(std::string_view name, std::string_view text, int level) {
    indent(level);
    out_ += '<';
    out_ += name;
    out_ += '>';
    if (!escaped(text)) return false;
    out_ += "</";
    out_ += name;
    out_ += ">\n";
    return true;
  }

  void scalar(std::string_view name, int level) {
    indent(level);
    out_ += '<';
    out_ += name;
    out_ += '>';
    out_ += text_;
    out_ += "</";
    out_ += name;
    out_ += ">\n";
  }

  // Writes a scalar whole, or opens a container and pushes it.
  bool value(Node node, int level) {
    if (++objects_ > kMaxObjects) return refuse(XmlRefusal::kObjects);
    text_.clear();
    switch (node.type()) {
      case Type::Boolean:
        indent(level);
        out_ += node.boolean() ? "<true/>\n" : "<false/>\n";
        return true;
      case Type::Integer:
        appendInteger(text_, node.integer());
        scalar("integer", level);
        return true;
      case Type::Real:
        appendReal(text_, node.real());
        scalar("real", level);
        return true;
      case Type::Date: {
        const double seconds = node.date();
        if (!isDateInRange(seconds)) return refuse(XmlRefusal::kDateRange);
        if (seconds != std::floor(seconds)) return refuse(XmlRefusal::kDateFraction);
        appendDate(text_, seconds);
        scalar("date", level);
        return true;
      }
      case Type::String:
        return element("string", node.text(), level);
      case Type::Data: {
        indent(level);
        out_ += "<data>\n";
        const std::string prefix(static_cast<std::size_t>(level), '\t');
        out_ += prefix;
        appendBase64(out_, node.text(), prefix);
        out_ += '\n';
        out_ += prefix;
        out_ += "</data>\n";
        return true;
      }
      case Type::Uid: {
        // Read back as a dictionary of one key and one integer.
        objects_ += kUidObjects - 1;
        const Integer reference{node.uid(), false};
        if (!isUidValue(reference)) return refuse(XmlRefusal::kUid);
        if (level + kUidLevels > kMaxDepth) return refuse(XmlRefusal::kDepth);
        if (objects_ > kMaxObjects) return refuse(XmlRefusal::kObjects);
        indent(level);
        out_ += "<dict>\n";
        element("key", kUidKey, level + 1);
        appendInteger(text_, reference);
        scalar("integer", level + 1);
        indent(level);
        out_ += "</dict>\n";
        return true;
      }
      case Type::Array:
      case Type::Dictionary: {
        const bool dict = node.type() == Type::Dictionary;
        if (level >= kMaxDepth) return refuse(XmlRefusal::kDepth);
        indent(level);
        if (node.size() == 0) {
          out_ += dict ? "<dict/>\n" : "<array/>\n";
          return true;
        }
        out_ += dict ? "<dict>\n" : "<array>\n";
        stack_.push_back(Frame{node, 0});
        return true;
      }
    }
    return false;
  }

  std::string& out_;
  std::string text_;  // a scalar's text
  std::vector<Frame> stack_;
  std::size_t objects_ = 0;
  XmlRefusal refusal_ = XmlRefusal::kNone;
};

}  // namespace

std::string describeXmlRefusal(XmlRefusal refusal) {
  switch (refusal) {
    case XmlRefusal::kNone: return "nothing";
    case XmlRefusal::kObjects: return "more than " + std::to_string(kMaxObjects) + " keys and values";
    case XmlRefusal::kDepth: return "containers nested deeper than " + std::to_string(kMaxDepth) + " levels";
    case XmlRefusal::kSize: return "more than " + std::to_string(kMaxFileBytes >> 20) + " MiB in the XML form";
    case XmlRefusal::kText: return "a key or string the XML form cannot carry";
    case XmlRefusal::kDateFraction:
      return "a date with a fraction of a second, which the XML form, in whole seconds, cannot carry";
    case XmlRefusal::kDateRange: return "a date beyond the years the XML form carries";
    case XmlRefusal::kUid: return "a keyed-archive reference of 2^32 or more";
  }
  return "a value the XML form cannot carry";
}

bool writeXml(Node root, std::string& out, XmlRefusal* why) {
  if (why) *why = XmlRefusal::kNone;
  if (!root) return false;
  XmlWriter writer(out);
  if (writer.write(root)) return true;
  if (why) *why = writer.refusal();
  return false;
}

}  // namespace plist
