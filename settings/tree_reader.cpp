#include "settings/tree_reader.h"

#include <string>
#include <vector>

#include "settings/plist_nodes.h"
#include "settings/plist_reader.h"

namespace settings::plist {
namespace {

// Builds nodes from the parser's events. A container is attached to its
// parent when it is complete, so that a failed parse frees every node.
class TreeSink {
 public:
  TreeSink() { stack_.reserve(8); }
  ~TreeSink() {
    for (auto& frame : stack_) plist_free(frame.node);
    plist_free(root_);
  }
  TreeSink(const TreeSink&) = delete;
  TreeSink& operator=(const TreeSink&) = delete;

  // The finished root, now owned by the caller; null after a failure.
  plist_t take() {
    if (failed_ || !stack_.empty()) return nullptr;
    plist_t root = root_;
    root_ = nullptr;
    return root;
  }

  void beginDict() { stack_.push_back(Frame{plist_new_dict(), key_}); }
  void beginArray() { stack_.push_back(Frame{plist_new_array(), key_}); }
  void endDict() { close(true); }
  void endArray() { close(false); }
  void key(std::string_view key) { key_.assign(key); }
  void string(std::string_view text) {
    text_.assign(text);
    attach(plist_new_string(text_.c_str()));
  }
  void boolean(bool value) { attach(plist_new_bool(value)); }
  void integer(Integer value) { attach(newInteger(value)); }
  void real(double value) { attach(plist_new_real(value)); }
  void date(double seconds) { attach(newDate(seconds)); }
  void data(std::string_view bytes) { attach(plist_new_data(bytes.data(), bytes.size())); }
  void uid(std::uint64_t value) { attach(plist_new_uid(value)); }

 private:
  struct Frame {
    plist_t node;
    std::string key;  // under which it goes into a dictionary parent
  };

  void close(bool dict) {
    Frame frame = std::move(stack_.back());
    stack_.pop_back();
    key_ = std::move(frame.key);
    attach(dict ? asUid(frame.node) : frame.node);
  }

  // A one-key {"CF$UID": n} dictionary as the UID it stands for.
  static plist_t asUid(plist_t dict) {
    if (plist_dict_get_size(dict) != 1) return dict;
    plist_t value = plist_dict_get_item(dict, std::string(kUidKey).c_str());
    if (!value || plist_get_node_type(value) != PLIST_UINT) return dict;
    Integer number = integerOf(value);
    if (!isUidValue(number)) return dict;
    plist_free(dict);
    return plist_new_uid(number.bits);
  }

  void attach(plist_t node) {
    if (!node) {
      failed_ = true;
      return;
    }
    if (stack_.empty()) {
      plist_free(root_);
      root_ = node;
    } else if (plist_get_node_type(stack_.back().node) == PLIST_DICT) {
      plist_dict_set_item(stack_.back().node, key_.c_str(), node);
    } else {
      plist_array_append_item(stack_.back().node, node);
    }
  }

  std::vector<Frame> stack_;
  std::string key_;
  std::string text_;
  plist_t root_ = nullptr;
  bool failed_ = false;
};

}  // namespace

plist_t readTree(std::string_view bytes, ReadResult* why) {
  TreeSink sink;
  std::string converted;
  if (!readPropertyList(bytes, converted, sink, why)) return nullptr;
  return sink.take();
}

}  // namespace settings::plist
