#include "sim/plist/lookup.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>

#include "sim/plist/plist_reader.h"

namespace plist {
namespace {

using Entry = Lookup::Entry;

// Records the root dictionary's keys and their scalar values, and ignores
// everything nested deeper.
class LookupSink {
 public:
  LookupSink(const std::string& bytes, const std::string& converted, std::string& arena, std::vector<Entry>& entries)
      : sources_{&bytes, &converted}, arena_(arena), entries_(entries) {}

  // Whether the root was a dictionary (and not a keyed-archive reference).
  bool rootIsDictionary() const { return rootIsDict_ && !uidRoot_; }

  void beginDict() { begin(true); }
  void beginArray() { begin(false); }
  void endDict() { end(); }
  void endArray() { end(); }

  void key(std::string_view key) {
    if (depth_ != 1) return;
    pending_ = Entry{place(key), {}, Type::kOther, 0};
    if (uid_.undecided()) uid_.key(key);
  }

  void string(std::string_view text) {
    if (depth_ != 1) return;
    pending_.text = place(text);
    add(Type::kString, 0);
  }
  void boolean(bool value) {
    if (depth_ == 1) add(Type::kBoolean, value ? 1 : 0);
  }
  void integer(plist::Integer value) {
    if (depth_ == 1) add(Type::kInteger, value.toDouble(), &value);
  }
  void real(double value) {
    if (depth_ == 1) add(Type::kReal, value);
  }
  void date(double) { other(); }
  void data(std::string_view) { other(); }
  void uid(std::uint64_t) { other(); }

 private:
  using Type = host::PreferenceValue::Type;

  // A text read as it stands in the file is referred to there; a decoded
  // one is copied.
  Lookup::Text place(std::string_view text) {
    const auto at = reinterpret_cast<std::uintptr_t>(text.data());
    for (auto source : {Lookup::Text::Source::File, Lookup::Text::Source::Converted}) {
      const std::string& in = *sources_[static_cast<int>(source)];
      const auto begin = reinterpret_cast<std::uintptr_t>(in.data());
      if (at >= begin && at + text.size() <= begin + in.size())
        return {static_cast<std::uint32_t>(at - begin), static_cast<std::uint32_t>(text.size()), source};
    }
    Lookup::Text copied{static_cast<std::uint32_t>(arena_.size()), static_cast<std::uint32_t>(text.size()),
                        Lookup::Text::Source::Arena};
    arena_.append(text);
    return copied;
  }

  void begin(bool dict) {
    if (depth_ == 0) rootIsDict_ = dict;
    else other();
    ++depth_;
  }

  void end() {
    if (--depth_ == 0 && rootIsDict_) {
      // {"CF$UID": n} is a keyed-archive reference, whatever its encoding.
      uidRoot_ = uid_.isReference();
    }
  }

  void other() {
    if (depth_ == 1) add(Type::kOther, 0);
  }

  // Records the value of the pending key; `integer` is null unless the
  // value is an integer.
  void add(Type type, double number, const plist::Integer* integer = nullptr) {
    pending_.type = type;
    pending_.number = number;
    entries_.push_back(pending_);
    uid_.value(integer);
  }

  const std::string* sources_[2];  // indexed by Entry::Source
  std::string& arena_;
  std::vector<Entry>& entries_;
  Entry pending_{};
  int depth_ = 0;
  bool rootIsDict_ = false;
  plist::UidReferenceCheck uid_;
  bool uidRoot_ = false;
};

}  // namespace

Lookup Lookup::parse(std::string_view bytes) {
  Lookup lookup;
  lookup.bytes_.assign(bytes);
  lookup.load();
  return lookup;
}

void Lookup::load() {
  // Offsets are 32-bit; the size limit keeps them well inside.
  static_assert(kMaxFileBytes * 2 < std::numeric_limits<std::uint32_t>::max());
  entries_.reserve(16);
  LookupSink sink(bytes_, converted_, arena_, entries_);
  dictionary_ = plist::readPropertyList(bytes_, converted_, sink) && sink.rootIsDictionary();
  if (!dictionary_) {
    entries_.clear();
    arena_.clear();
  }
}

std::string_view Lookup::textOf(const Text& text) const {
  const std::string& source = text.source == Text::Source::File        ? bytes_
                              : text.source == Text::Source::Converted ? converted_
                                                                       : arena_;
  return std::string_view(source.data() + text.offset, text.length);
}

const Lookup::Entry* Lookup::find(std::string_view key) const {
  // The last of duplicate keys wins, as in the node tree.
  for (auto it = entries_.rbegin(); it != entries_.rend(); ++it) {
    if (it->key.length == key.size() && std::memcmp(textOf(it->key).data(), key.data(), key.size()) == 0)
      return &*it;
  }
  return nullptr;
}

std::optional<host::PreferenceValue> Lookup::value(std::string_view key) const {
  const Entry* entry = find(key);
  if (!entry) return std::nullopt;
  host::PreferenceValue value{entry->type, entry->number, {}};
  if (entry->type == host::PreferenceValue::Type::kString) value.text.assign(textOf(entry->text));
  return value;
}

std::size_t Lookup::size() const {
  std::vector<std::string_view> keys;
  keys.reserve(entries_.size());
  for (const Entry& entry : entries_) keys.push_back(textOf(entry.key));
  std::sort(keys.begin(), keys.end());
  return static_cast<std::size_t>(std::unique(keys.begin(), keys.end()) - keys.begin());
}

}  // namespace plist
