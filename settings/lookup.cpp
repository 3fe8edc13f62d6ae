#include "settings/lookup.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>

#include "host/host.h"
#include "settings/plist_reader.h"
#include "settings/readings.h"

namespace settings {
namespace {

using Entry = Lookup::Entry;

// Records the root dictionary's keys and the readings of their values, and
// ignores everything nested deeper.
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
    pending_ = Entry{static_cast<std::uint32_t>(arena_.size()), static_cast<std::uint32_t>(key.size()),
                     Entry::Source::Arena, -1, false, 0};
    // A key read as it stands in the file is referred to there; a decoded
    // one is copied.
    const auto at = reinterpret_cast<std::uintptr_t>(key.data());
    for (auto source : {Entry::Source::File, Entry::Source::Converted}) {
      const std::string& text = *sources_[static_cast<int>(source)];
      const auto begin = reinterpret_cast<std::uintptr_t>(text.data());
      if (at >= begin && at + key.size() <= begin + text.size()) {
        pending_.keyOffset = static_cast<std::uint32_t>(at - begin);
        pending_.keySource = source;
        break;
      }
    }
    if (pending_.keySource == Entry::Source::Arena) arena_.append(key);
    if (uid_.undecided()) uid_.key(key);
  }

  void string(std::string_view text) {
    if (depth_ == 1) add(stringReadings(text));
  }
  void boolean(bool value) {
    if (depth_ == 1) add(booleanReadings(value));
  }
  void integer(plist::Integer value) {
    if (depth_ != 1) return;
    add(integerReadings(value), &value);
  }
  void real(double value) {
    if (depth_ == 1) add(realReadings(value));
  }
  void date(double) { absent(); }
  void data(std::string_view) { absent(); }
  void uid(std::uint64_t) { absent(); }

 private:
  void begin(bool dict) {
    if (depth_ == 0) rootIsDict_ = dict;
    else absent();
    ++depth_;
  }

  void end() {
    if (--depth_ == 0 && rootIsDict_) {
      // {"CF$UID": n} is a keyed-archive reference, whatever its encoding.
      uidRoot_ = uid_.isReference();
    }
  }

  void absent() {
    if (depth_ == 1) add(Readings{});
  }

  // Records the value of the pending key; `integer` is null unless the
  // value is an integer.
  void add(const Readings& readings, const plist::Integer* integer = nullptr) {
    Entry entry = pending_;
    entry.boolean = readings.boolean ? static_cast<std::int8_t>(*readings.boolean) : std::int8_t{-1};
    entry.hasSingle = readings.single.has_value();
    entry.single = readings.single.value_or(0.0f);
    entries_.push_back(entry);
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

Lookup Lookup::readFile(const char* devicePath) {
  Lookup lookup;
  if (host::readFile(devicePath, lookup.bytes_)) lookup.load();
  return lookup;
}

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
  if (!plist::readPropertyList(bytes_, converted_, sink) || !sink.rootIsDictionary()) {
    entries_.clear();
    arena_.clear();
  }
}

std::string_view Lookup::keyOf(const Entry& entry) const {
  const std::string& source = entry.keySource == Entry::Source::File        ? bytes_
                              : entry.keySource == Entry::Source::Converted ? converted_
                                                                            : arena_;
  return std::string_view(source.data() + entry.keyOffset, entry.keyLength);
}

const Lookup::Entry* Lookup::find(std::string_view key) const {
  // The last of duplicate keys wins, as in the node tree.
  for (auto it = entries_.rbegin(); it != entries_.rend(); ++it) {
    if (it->keyLength == key.size() && std::memcmp(keyOf(*it).data(), key.data(), key.size()) == 0) return &*it;
  }
  return nullptr;
}

std::optional<bool> Lookup::boolean(std::string_view key) const {
  const Entry* entry = find(key);
  if (!entry || entry->boolean < 0) return std::nullopt;
  return entry->boolean != 0;
}

std::optional<float> Lookup::single(std::string_view key) const {
  const Entry* entry = find(key);
  if (!entry || !entry->hasSingle) return std::nullopt;
  return entry->single;
}

std::size_t Lookup::size() const {
  std::vector<std::string_view> keys;
  keys.reserve(entries_.size());
  for (const Entry& entry : entries_) keys.push_back(keyOf(entry));
  std::sort(keys.begin(), keys.end());
  return static_cast<std::size_t>(std::unique(keys.begin(), keys.end()) - keys.begin());
}

}  // namespace settings
