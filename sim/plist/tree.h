// A property-list tree of any root type, in contiguous storage: one array of
// fixed-size cells for the values, one of entries for the containers, the
// bytes read (which most keys, strings and data are views into) and a pool
// for text that had to be decoded. A dictionary keeps its entries in the
// order read and, beyond a few, a hash index of its keys.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "sim/plist/read_result.h"
#include "sim/plist/value.h"
#include "sim/plist/value_events.h"

namespace plist {

class Tree;

// A value of a tree, or null. Valid while its tree exists and is not
// changed. Asking a node for what its type does not hold gives zero, empty
// or null; check a node before asking its type.
class Node {
 public:
  Node() = default;
  explicit operator bool() const { return tree_ != nullptr; }

  Type type() const;
  bool boolean() const;
  plist::Integer integer() const;
  double real() const;
  // Seconds since 2001-01-01T00:00:00Z, as read: a binary file's may have a
  // fraction.
  double date() const;
  std::uint64_t uid() const;
  // A string's UTF-8 text or data's bytes.
  std::string_view text() const;

  // Entries of an array or dictionary.
  std::size_t size() const;
  // The value of entry `i` < size().
  Node at(std::size_t i) const;
  // The key of dictionary entry `i` < size().
  std::string_view keyAt(std::size_t i) const;
  // The value under `key` in a dictionary; null when absent.
  Node find(std::string_view key) const;

 private:
  friend class Tree;
  Node(const Tree* tree, std::uint32_t cell) : tree_(tree), cell_(cell) {}
  const Tree* tree_ = nullptr;
  std::uint32_t cell_ = 0;
};

class Tree {
 public:
  // A tree whose root is an empty dictionary.
  Tree();

  // Replaces the tree with the property list in `bytes`, of any encoding
  // (sim/plist/plist_reader.h) and any root type, built as the parser reports
  // it. A one-key dictionary {"CF$UID": n} becomes a uid, as the XML
  // encoding writes those. False, leaving an empty dictionary and saying
  // why in `why` when given, for bytes that do not parse or exceed a limit
  // of sim/plist/limits.h.
  bool read(std::string bytes, ReadResult* why = nullptr);

  Node root() const { return Node(this, root_); }

  // Stores `value` under `key` in the root, which must be a dictionary: a
  // new key goes last, an existing one keeps its place.
  void set(std::string_view key, const Value& value);
  // Removes `key` from the root dictionary; false when it was not there.
  bool remove(std::string_view key);

 private:
  friend class Node;
  friend class TreeBuilder;

  // A value: its type, a flag (a boolean's value, an integer's
  // unsignedness), a length (text bytes, container entries) and a payload
  // (the scalar's bits, the text's place, a container's first entry and
  // index).
  struct Cell {
    Type type;
    bool flag;
    std::uint32_t length;
    std::uint64_t payload;
  };
  // A container's entry: the key's place (dictionaries only) and the value.
  struct Slot {
    std::uint32_t keyAt;
    std::uint32_t keyLength;
    std::uint32_t value;
  };
  static constexpr std::uint32_t kNoIndex = 0xFFFFFFFF;
  // Dictionaries of up to this many entries are searched in order.
  static constexpr std::uint32_t kLinearEntries = 8;

  std::string_view textAt(std::uint32_t at, std::uint32_t length) const;
  // The place of `text`: within the bytes read when it lies there, else a
  // copy in the pool.
  std::uint32_t place(std::string_view text);
  std::string_view keyOf(const Slot& slot) const { return textAt(slot.keyAt, slot.keyLength); }
  static std::uint32_t firstSlot(const Cell& cell) { return static_cast<std::uint32_t>(cell.payload); }
  static std::uint32_t indexOf(const Cell& cell) { return static_cast<std::uint32_t>(cell.payload >> 32); }
  static void setSlots(Cell& cell, std::uint32_t first, std::uint32_t index) {
    cell.payload = std::uint64_t{index} << 32 | first;
  }

  // Moves `entries` into a container's slots: duplicate keys collapse into
  // the first place with the last value, a large dictionary gets its index,
  // and {"CF$UID": n} becomes a uid.
  void close(std::uint32_t cell, const Slot* entries, std::size_t count);
  void buildIndex(std::uint32_t cell);
  // Index of the slot holding `key` in a dictionary, or its size.
  std::uint32_t search(const Cell& dict, std::string_view key) const;
  std::uint32_t append(const Value& value);

  std::string source_;  // the bytes read
  std::string pool_;    // decoded text, placed after source_
  std::vector<Cell> cells_;
  std::vector<Slot> slots_;
  // Per indexed dictionary: the table size, then the table of slot
  // positions plus one (0 is empty).
  std::vector<std::uint32_t> index_;
  std::uint32_t root_ = 0;
};

}  // namespace plist
