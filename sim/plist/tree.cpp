#include "sim/plist/tree.h"

#include <cstring>
#include <utility>

#include "sim/plist/plist_reader.h"

namespace plist {
namespace {

// A word-at-a-time hash of a key; keys differ mostly in their last bytes.
std::uint64_t hashKey(std::string_view key) {
  std::uint64_t h = 0x9E3779B97F4A7C15ull ^ key.size();
  const char* p = key.data();
  std::size_t n = key.size();
  for (; n >= 8; p += 8, n -= 8) {
    std::uint64_t word;
    std::memcpy(&word, p, sizeof word);
    h = (h ^ word) * 0xFF51AFD7ED558CCDull;
    h ^= h >> 29;
  }
  std::uint64_t tail = 0;
  std::memcpy(&tail, p, n);
  h = (h ^ tail) * 0xC4CEB9FE1A85EC53ull;
  return h ^ h >> 32;
}

// A power of two that keeps the table at most two-thirds full.
std::uint32_t tableSize(std::uint32_t entries) {
  std::uint32_t size = 16;
  while (size < entries + entries / 2 + 1) size *= 2;
  return size;
}

bool sameKey(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size()) == 0;
}

}  // namespace

// Builds the cells straight from the parser's events. A container's cell
// comes before everything inside it; its entries gather on a stack until it
// ends, then move into the tree's slots in one piece.
class TreeBuilder {
 public:
  explicit TreeBuilder(Tree& tree) : tree_(tree) { frames_.reserve(8); }

  bool complete() const { return frames_.empty() && hasRoot_; }

  void beginDict() { open(Type::Dictionary); }
  void beginArray() { open(Type::Array); }
  void endDict() { shut(); }
  void endArray() { shut(); }
  void key(std::string_view key) {
    keyAt_ = tree_.place(key);
    keyLength_ = static_cast<std::uint32_t>(key.size());
  }
  void string(std::string_view text) { add(Tree::Cell{Type::String, false, length(text), tree_.place(text)}); }
  void boolean(bool value) { add(Tree::Cell{Type::Boolean, value, 0, 0}); }
  void integer(plist::Integer value) {
    add(Tree::Cell{Type::Integer, value.isUnsigned && value.bits >> 63 != 0, 0, value.bits});
  }
  void real(double value) { add(Tree::Cell{Type::Real, false, 0, bitsOf(value)}); }
  void date(double seconds) { add(Tree::Cell{Type::Date, false, 0, bitsOf(seconds)}); }
  void data(std::string_view bytes) { add(Tree::Cell{Type::Data, false, length(bytes), tree_.place(bytes)}); }
  void uid(std::uint64_t value) { add(Tree::Cell{Type::Uid, false, 0, value}); }

 private:
  struct Frame {
    std::uint32_t cell;
    std::uint32_t firstEntry;  // in entries_
  };

  static std::uint32_t length(std::string_view text) { return static_cast<std::uint32_t>(text.size()); }
  static std::uint64_t bitsOf(double value) {
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
  }

  std::uint32_t add(const Tree::Cell& cell) {
    const auto at = static_cast<std::uint32_t>(tree_.cells_.size());
    tree_.cells_.push_back(cell);
    if (frames_.empty()) {
      tree_.root_ = at;
      hasRoot_ = true;
    } else {
      entries_.push_back(Tree::Slot{keyAt_, keyLength_, at});
    }
    return at;
  }

  void open(Type type) {
    const std::uint32_t cell = add(Tree::Cell{type, false, 0, 0});
    frames_.push_back(Frame{cell, static_cast<std::uint32_t>(entries_.size())});
  }

  void shut() {
    const Frame frame = frames_.back();
    frames_.pop_back();
    tree_.close(frame.cell, entries_.data() + frame.firstEntry, entries_.size() - frame.firstEntry);
    entries_.resize(frame.firstEntry);
  }

  Tree& tree_;
  std::vector<Frame> frames_;
  std::vector<Tree::Slot> entries_;
  std::uint32_t keyAt_ = 0, keyLength_ = 0;
  bool hasRoot_ = false;
};

Tree::Tree() { cells_.push_back(Cell{Type::Dictionary, false, 0, std::uint64_t{kNoIndex} << 32}); }

bool Tree::read(std::string bytes, ReadResult* why) {
  source_ = std::move(bytes);
  pool_.clear();
  cells_.clear();
  slots_.clear();
  index_.clear();
  root_ = 0;
  cells_.reserve(source_.size() / 32 + 4);
  TreeBuilder builder(*this);
  std::string converted;
  if (plist::readPropertyList(source_, converted, builder, why) && builder.complete()) return true;
  *this = Tree();
  return false;
}

std::string_view Tree::textAt(std::uint32_t at, std::uint32_t length) const {
  if (at < source_.size()) return std::string_view(source_.data() + at, length);
  return std::string_view(pool_.data() + (at - source_.size()), length);
}

std::uint32_t Tree::place(std::string_view text) {
  const auto at = reinterpret_cast<std::uintptr_t>(text.data());
  const auto begin = reinterpret_cast<std::uintptr_t>(source_.data());
  if (at >= begin && at - begin <= source_.size() && text.size() <= source_.size() - (at - begin))
    return static_cast<std::uint32_t>(at - begin);
  const auto placed = static_cast<std::uint32_t>(source_.size() + pool_.size());
  pool_.append(text);
  return placed;
}

void Tree::close(std::uint32_t cell, const Slot* entries, std::size_t count) {
  const auto first = static_cast<std::uint32_t>(slots_.size());
  std::uint32_t index = kNoIndex;
  if (cells_[cell].type == Type::Array) {
    slots_.insert(slots_.end(), entries, entries + count);
  } else {
    plist::UidReferenceCheck check;
    for (std::size_t i = 0; i < count && check.undecided(); ++i) {
      check.key(keyOf(entries[i]));
      const Cell& value = cells_[entries[i].value];
      const plist::Integer number{value.payload, value.flag};
      check.value(value.type == Type::Integer ? &number : nullptr);
    }
    if (check.isReference()) {
      const std::uint64_t reference = cells_[entries[count - 1].value].payload;
      cells_.resize(cell + 1);
      cells_[cell] = Cell{Type::Uid, false, 0, reference};
      return;
    }
    if (count <= kLinearEntries) {
      for (std::size_t i = 0; i < count; ++i) {
        const std::string_view key = keyOf(entries[i]);
        std::uint32_t j = first;
        while (j < slots_.size() && !sameKey(keyOf(slots_[j]), key)) ++j;
        if (j < slots_.size()) slots_[j].value = entries[i].value;
        else slots_.push_back(entries[i]);
      }
    } else {
      index = static_cast<std::uint32_t>(index_.size());
      const std::uint32_t size = tableSize(static_cast<std::uint32_t>(count));
      index_.resize(index_.size() + 1 + size, 0);
      index_[index] = size;
      std::uint32_t* table = index_.data() + index + 1;
      for (std::size_t i = 0; i < count; ++i) {
        const std::string_view key = keyOf(entries[i]);
        std::uint32_t h = static_cast<std::uint32_t>(hashKey(key)) & (size - 1);
        for (;; h = (h + 1) & (size - 1)) {
          const std::uint32_t at = table[h];
          if (at == 0) {
            slots_.push_back(entries[i]);
            table[h] = static_cast<std::uint32_t>(slots_.size()) - first;
            break;
          }
          Slot& existing = slots_[first + at - 1];
          if (sameKey(keyOf(existing), key)) {
            existing.value = entries[i].value;
            break;
          }
        }
      }
    }
  }
  Cell& container = cells_[cell];
  container.length = static_cast<std::uint32_t>(slots_.size()) - first;
  setSlots(container, first, index);
}

void Tree::buildIndex(std::uint32_t cell) {
  Cell& dict = cells_[cell];
  const std::uint32_t first = firstSlot(dict);
  std::uint32_t index = indexOf(dict);
  if (dict.length <= kLinearEntries) {
    setSlots(dict, first, kNoIndex);
    return;
  }
  const std::uint32_t size = tableSize(dict.length);
  if (index == kNoIndex || index_[index] < size) {
    index = static_cast<std::uint32_t>(index_.size());
    index_.resize(index_.size() + 1 + size);
    index_[index] = size;
  }
  const std::uint32_t tableLength = index_[index];
  std::uint32_t* table = index_.data() + index + 1;
  std::memset(table, 0, tableLength * sizeof *table);
  for (std::uint32_t i = 0; i < dict.length; ++i) {
    std::uint32_t h = static_cast<std::uint32_t>(hashKey(keyOf(slots_[first + i]))) & (tableLength - 1);
    while (table[h] != 0) h = (h + 1) & (tableLength - 1);
    table[h] = i + 1;
  }
  setSlots(dict, first, index);
}

std::uint32_t Tree::search(const Cell& dict, std::string_view key) const {
  const std::uint32_t first = firstSlot(dict);
  const std::uint32_t index = indexOf(dict);
  if (index == kNoIndex) {
    for (std::uint32_t i = 0; i < dict.length; ++i)
      if (sameKey(keyOf(slots_[first + i]), key)) return i;
    return dict.length;
  }
  const std::uint32_t size = index_[index];
  const std::uint32_t* table = index_.data() + index + 1;
  for (std::uint32_t h = static_cast<std::uint32_t>(hashKey(key)) & (size - 1);; h = (h + 1) & (size - 1)) {
    const std::uint32_t at = table[h];
    if (at == 0) return dict.length;
    if (sameKey(keyOf(slots_[first + at - 1]), key)) return at - 1;
  }
}

std::uint32_t Tree::append(const Value& value) {
  const auto cell = static_cast<std::uint32_t>(cells_.size());
  switch (value.type()) {
    case Type::Boolean:
      cells_.push_back(Cell{Type::Boolean, value.flag(), 0, 0});
      return cell;
    case Type::Integer:
      cells_.push_back(Cell{Type::Integer, value.flag(), 0, value.bits()});
      return cell;
    case Type::Uid:
      cells_.push_back(Cell{Type::Uid, false, 0, value.bits()});
      return cell;
    case Type::Real:
    case Type::Date: {
      std::uint64_t bits;
      const double number = value.number();
      std::memcpy(&bits, &number, sizeof bits);
      cells_.push_back(Cell{value.type(), false, 0, bits});
      return cell;
    }
    case Type::String:
    case Type::Data: {
      const std::uint32_t at = place(value.text());
      cells_.push_back(Cell{value.type(), false, static_cast<std::uint32_t>(value.text().size()), at});
      return cell;
    }
    case Type::Array:
    case Type::Dictionary:
      break;
  }
  cells_.push_back(Cell{value.type(), false, 0, 0});
  std::vector<Slot> entries;
  entries.reserve(value.items().size());
  const bool dict = value.type() == Type::Dictionary;
  for (std::size_t i = 0; i < value.items().size(); ++i) {
    Slot slot{0, 0, 0};
    if (dict) {
      slot.keyAt = place(value.keys()[i]);
      slot.keyLength = static_cast<std::uint32_t>(value.keys()[i].size());
    }
    slot.value = append(value.items()[i]);
    entries.push_back(slot);
  }
  close(cell, entries.data(), entries.size());
  return cell;
}

void Tree::set(std::string_view key, const Value& value) {
  if (cells_[root_].type != Type::Dictionary) return;
  const std::uint32_t stored = append(value);
  Cell& root = cells_[root_];
  const std::uint32_t at = search(root, key);
  std::uint32_t first = firstSlot(root);
  if (at < root.length) {
    slots_[first + at].value = stored;
    return;
  }
  // New keys go at the end of the slots, where the root's entries are once
  // read; they move there once after a container is stored.
  if (first + root.length != slots_.size()) {
    const auto moved = static_cast<std::uint32_t>(slots_.size());
    for (std::uint32_t i = 0; i < root.length; ++i) slots_.push_back(slots_[first + i]);
    first = moved;
  }
  const std::uint32_t keyAt = place(key);
  slots_.push_back(Slot{keyAt, static_cast<std::uint32_t>(key.size()), stored});
  ++root.length;
  std::uint32_t index = indexOf(root);
  setSlots(root, first, index);
  if (root.length <= kLinearEntries) return;
  if (index == kNoIndex || index_[index] < tableSize(root.length)) {
    buildIndex(root_);
    return;
  }
  const std::uint32_t size = index_[index];
  std::uint32_t* table = index_.data() + index + 1;
  std::uint32_t h = static_cast<std::uint32_t>(hashKey(key)) & (size - 1);
  while (table[h] != 0) h = (h + 1) & (size - 1);
  table[h] = root.length;
}

bool Tree::remove(std::string_view key) {
  if (cells_[root_].type != Type::Dictionary) return false;
  Cell& root = cells_[root_];
  const std::uint32_t at = search(root, key);
  if (at == root.length) return false;
  const std::uint32_t first = firstSlot(root);
  // Only the root's own entries may shift.
  if (first + root.length != slots_.size()) {
    const auto moved = static_cast<std::uint32_t>(slots_.size());
    for (std::uint32_t i = 0; i < root.length; ++i)
      if (i != at) slots_.push_back(slots_[first + i]);
    setSlots(root, moved, indexOf(root));
  } else {
    slots_.erase(slots_.begin() + first + at);
  }
  --root.length;
  buildIndex(root_);
  return true;
}

Type Node::type() const { return tree_ ? tree_->cells_[cell_].type : Type::Dictionary; }

bool Node::boolean() const { return tree_ && type() == Type::Boolean && tree_->cells_[cell_].flag; }

plist::Integer Node::integer() const {
  if (!tree_ || type() != Type::Integer) return {};
  const Tree::Cell& cell = tree_->cells_[cell_];
  return plist::Integer{cell.payload, cell.flag};
}

double Node::real() const {
  if (!tree_ || type() != Type::Real) return 0;
  double value;
  std::memcpy(&value, &tree_->cells_[cell_].payload, sizeof value);
  return value;
}

double Node::date() const {
  if (!tree_ || type() != Type::Date) return 0;
  double value;
  std::memcpy(&value, &tree_->cells_[cell_].payload, sizeof value);
  return value;
}

std::uint64_t Node::uid() const { return tree_ && type() == Type::Uid ? tree_->cells_[cell_].payload : 0; }

std::string_view Node::text() const {
  if (!tree_ || (type() != Type::String && type() != Type::Data)) return {};
  const Tree::Cell& cell = tree_->cells_[cell_];
  return tree_->textAt(static_cast<std::uint32_t>(cell.payload), cell.length);
}

std::size_t Node::size() const {
  if (!tree_ || (type() != Type::Array && type() != Type::Dictionary)) return 0;
  return tree_->cells_[cell_].length;
}

Node Node::at(std::size_t i) const {
  if (i >= size()) return {};
  return Node(tree_, tree_->slots_[Tree::firstSlot(tree_->cells_[cell_]) + i].value);
}

std::string_view Node::keyAt(std::size_t i) const {
  if (type() != Type::Dictionary || i >= size()) return {};
  return tree_->keyOf(tree_->slots_[Tree::firstSlot(tree_->cells_[cell_]) + i]);
}

Node Node::find(std::string_view key) const {
  if (!tree_ || type() != Type::Dictionary) return {};
  const Tree::Cell& dict = tree_->cells_[cell_];
  const std::uint32_t at = tree_->search(dict, key);
  if (at == dict.length) return {};
  return Node(tree_, tree_->slots_[Tree::firstSlot(dict) + at].value);
}

}  // namespace plist
