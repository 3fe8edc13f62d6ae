#include "settings/xml_writer.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "settings/base64.h"
#include "settings/limits.h"
#include "settings/plist_nodes.h"
#include "settings/scalar_text.h"
#include "settings/unicode.h"
#include "settings/value_events.h"

namespace settings::plist {
namespace {

class XmlWriter {
 public:
  explicit XmlWriter(std::string& out) : out_(out) {}

  bool write(plist_t root) {
    out_ =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
        "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
        "<plist version=\"1.0\">\n";
    if (!node(root, 0)) return false;
    out_ += "</plist>\n";
    return true;
  }

 private:
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

  void scalar(std::string_view name, std::string_view text, int level) {
    indent(level);
    out_ += '<';
    out_ += name;
    out_ += '>';
    out_ += text;
    out_ += "</";
    out_ += name;
    out_ += ">\n";
  }

  bool node(plist_t node, int level) {
    if (++objects_ > kMaxObjects) return false;
    std::string text;
    switch (plist_get_node_type(node)) {
      case PLIST_BOOLEAN: {
        std::uint8_t value = 0;
        plist_get_bool_val(node, &value);
        indent(level);
        out_ += value ? "<true/>\n" : "<false/>\n";
        return true;
      }
      case PLIST_UINT:
        appendInteger(text, integerOf(node));
        scalar("integer", text, level);
        return true;
      case PLIST_REAL: {
        double value = 0;
        plist_get_real_val(node, &value);
        appendReal(text, value);
        scalar("real", text, level);
        return true;
      }
      case PLIST_DATE: {
        auto seconds = dateOf(node);
        if (!seconds) return false;
        appendDate(text, *seconds);
        scalar("date", text, level);
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
        std::string prefix(static_cast<std::size_t>(level), '\t');
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
        appendInteger(text, Integer{value, false});
        scalar("integer", text, level + 1);
        indent(level);
        out_ += "</dict>\n";
        return true;
      }
      case PLIST_ARRAY:
        return array(node, level);
      case PLIST_DICT:
        return dict(node, level);
      default:
        return false;
    }
  }

  bool array(plist_t node, int level) {
    if (level >= kMaxDepth) return false;
    indent(level);
    if (plist_array_get_size(node) == 0) {
      out_ += "<array/>\n";
      return true;
    }
    out_ += "<array>\n";
    for (std::uint32_t i = 0, n = plist_array_get_size(node); i < n; ++i)
      if (!this->node(plist_array_get_item(node, i), level + 1)) return false;
    indent(level);
    out_ += "</array>\n";
    return true;
  }

  bool dict(plist_t node, int level) {
    if (level >= kMaxDepth) return false;
    indent(level);
    if (plist_dict_get_size(node) == 0) {
      out_ += "<dict/>\n";
      return true;
    }
    out_ += "<dict>\n";
    plist_dict_iter iter = nullptr;
    plist_dict_new_iter(node, &iter);
    bool ok = true;
    for (;;) {
      char* key = nullptr;
      plist_t value = nullptr;
      plist_dict_next_item(node, iter, &key, &value);
      if (!value) {
        std::free(key);
        break;
      }
      ok = ++objects_ <= kMaxObjects && element("key", key ? key : "", level + 1) && this->node(value, level + 1);
      std::free(key);
      if (!ok) break;
    }
    std::free(iter);
    if (!ok) return false;
    indent(level);
    out_ += "</dict>\n";
    return true;
  }

  std::string& out_;
  std::size_t objects_ = 0;
};

}  // namespace

bool writeXml(plist_t root, std::string& out) { return root && XmlWriter(out).write(root); }

}  // namespace settings::plist
