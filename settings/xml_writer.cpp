#include "settings/xml_writer.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "settings/base64.h"
#include "settings/limits.h"
#include "settings/plist_nodes.h"
#include "settings/scalar_text.h"
#include "settings/unicode.h"
#include "settings/value_events.h"

namespace settings::plist {
namespace {

// Walks the tree without recursion, so that its depth costs no stack.
class XmlWriter {
 public:
  explicit XmlWriter(std::string& out) : out_(out) {}
  ~XmlWriter() {
    for (const Frame& frame : stack_) std::free(frame.iter);
  }
  XmlWriter(const XmlWriter&) = delete;
  XmlWriter& operator=(const XmlWriter&) = delete;

  bool write(plist_t root) {
    out_ =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
        "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
        "<plist version=\"1.0\">\n";
    if (!value(root, 0)) return false;
    while (!stack_.empty()) {
      Frame& frame = stack_.back();
      const int level = static_cast<int>(stack_.size());
      plist_t next = nullptr;
      if (frame.dict) {
        char* key = nullptr;
        plist_dict_next_item(frame.node, frame.iter, &key, &next);
        const bool ok = !next || (++objects_ <= kMaxObjects && element("key", key ? key : "", level));
        std::free(key);
        if (!ok) return false;
      } else if (frame.index < frame.count) {
        next = plist_array_get_item(frame.node, frame.index++);
      }
      if (next) {
        if (!value(next, level)) return false;
        continue;
      }
      indent(level - 1);
      out_ += frame.dict ? "</dict>\n" : "</array>\n";
      std::free(frame.iter);
      stack_.pop_back();
    }
    out_ += "</plist>\n";
    return true;
  }

 private:
  struct Frame {
    plist_t node;
    bool dict;
    plist_dict_iter iter;  // a dictionary's position
    std::uint32_t index;   // an array's position
    std::uint32_t count;
  };

  void indent(int level) { out_.append(static_cast<std::size_t>(level), '\t'); }

  // Character data with markup escaped. A carriage return is written as a
  // reference, which every reader keeps as it is.
  bool escaped(std::string_view text) {
    if (!unicode::isValidUtf8(text)) return false;
    for (char c : text) {
      switch (c) {
        case '<': out_ += "&lt;"; break;
        case '>': out_ += "&gt;"; break;
        case '&': out_ += "&amp;"; break;
        case '\r': out_ += "&#13;"; break;
        default: out_ += c;
      }
    }
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
  bool value(plist_t node, int level) {
    if (++objects_ > kMaxObjects) return false;
    text_.clear();
    switch (plist_get_node_type(node)) {
      case PLIST_BOOLEAN: {
        std::uint8_t value = 0;
        plist_get_bool_val(node, &value);
        indent(level);
        out_ += value ? "<true/>\n" : "<false/>\n";
        return true;
      }
      case PLIST_UINT:
        appendInteger(text_, integerOf(node));
        scalar("integer", level);
        return true;
      case PLIST_REAL: {
        double value = 0;
        plist_get_real_val(node, &value);
        appendReal(text_, value);
        scalar("real", level);
        return true;
      }
      case PLIST_DATE: {
        auto seconds = dateOf(node);
        if (!seconds) return false;
        appendDate(text_, *seconds);
        scalar("date", level);
        return true;
      }
      case PLIST_STRING: {
        std::uint64_t length = 0;
        const char* value = plist_get_string_ptr(node, &length);
        return element("string", std::string_view(value ? value : "", value ? length : 0), level);
      }
      case PLIST_DATA: {
        std::uint64_t length = 0;
        const char* bytes = plist_get_data_ptr(node, &length);
        indent(level);
        out_ += "<data>\n";
        const std::string prefix(static_cast<std::size_t>(level), '\t');
        out_ += prefix;
        appendBase64(out_, std::string_view(bytes ? bytes : "", bytes ? length : 0), prefix);
        out_ += '\n';
        out_ += prefix;
        out_ += "</data>\n";
        return true;
      }
      case PLIST_UID: {
        std::uint64_t value = 0;
        plist_get_uid_val(node, &value);
        // Read back as a dictionary of one key and one integer.
        objects_ += 2;
        if (!isUidValue(Integer{value, false}) || level >= kMaxDepth || objects_ > kMaxObjects) return false;
        indent(level);
        out_ += "<dict>\n";
        element("key", kUidKey, level + 1);
        appendInteger(text_, Integer{value, false});
        scalar("integer", level + 1);
        indent(level);
        out_ += "</dict>\n";
        return true;
      }
      case PLIST_ARRAY:
      case PLIST_DICT: {
        const bool dict = plist_get_node_type(node) == PLIST_DICT;
        if (level >= kMaxDepth) return false;
        const std::uint32_t count = dict ? plist_dict_get_size(node) : plist_array_get_size(node);
        indent(level);
        if (count == 0) {
          out_ += dict ? "<dict/>\n" : "<array/>\n";
          return true;
        }
        out_ += dict ? "<dict>\n" : "<array>\n";
        Frame frame{node, dict, nullptr, 0, count};
        if (dict) plist_dict_new_iter(node, &frame.iter);
        stack_.push_back(frame);
        return true;
      }
      default:
        return false;
    }
  }

  std::string& out_;
  std::string text_;  // a scalar's text
  std::vector<Frame> stack_;
  std::size_t objects_ = 0;
};

}  // namespace

bool writeXml(plist_t root, std::string& out) { return root && XmlWriter(out).write(root); }

}  // namespace settings::plist
