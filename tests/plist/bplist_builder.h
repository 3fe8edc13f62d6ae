// Builds binary property lists object by object, so that tests can write
// the malformed and hostile files no writer produces.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace bplist_builder {

// `value` as `bytes` big-endian bytes.
inline std::string bigEndian(std::uint64_t value, int bytes) {
  std::string out;
  for (int i = bytes - 1; i >= 0; --i) out.push_back(static_cast<char>(value >> (8 * i) & 0xFF));
  return out;
}

// A file of `objects` in order, the first one the top object, with its
// offset table and trailer.
inline std::string build(const std::vector<std::string>& objects, int offsetSize = 1, int refSize = 1) {
  std::string file = "bplist00", table;
  for (const auto& object : objects) {
    table += bigEndian(file.size(), offsetSize);
    file += object;
  }
  const std::uint64_t tableOffset = file.size();
  file += table;
  file += std::string(6, '\0');
  file += static_cast<char>(offsetSize);
  file += static_cast<char>(refSize);
  file += bigEndian(objects.size(), 8) + bigEndian(0, 8) + bigEndian(tableOffset, 8);
  return file;
}

// An array object referring to `refs`.
inline std::string array(const std::vector<std::uint64_t>& refs, int refSize = 1) {
  std::string out(1, static_cast<char>(0xA0 | (refs.size() < 15 ? refs.size() : 15)));
  if (refs.size() >= 15) out += "\x13" + bigEndian(refs.size(), 8);
  for (auto ref : refs) out += bigEndian(ref, refSize);
  return out;
}

// An ASCII string object.
inline std::string ascii(const std::string& text) {
  return static_cast<char>(0x50 | text.size()) + text;  // up to 14 characters
}

// {"k": a0}, a0 = [a1, a1], a1 = [a2, a2], ... : each level refers to the
// next twice, so `depth` levels in a few bytes expand to 2^depth arrays.
inline std::string sharedChain(int depth) {
  std::vector<std::string> objects = {"\xD1\x01\x02", ascii("k")};
  for (int i = 0; i < depth; ++i) {
    std::uint64_t next = 2 + static_cast<std::uint64_t>(i) + 1;
    objects.push_back(i + 1 < depth ? array({next, next}, 1) : array({}, 1));
  }
  return build(objects);
}

// `depth` arrays, each holding the next; the innermost holds a string.
inline std::string nestedArrays(int depth) {
  std::vector<std::string> objects;
  objects.reserve(static_cast<std::size_t>(depth) + 1);
  for (int i = 0; i < depth; ++i) objects.push_back(array({static_cast<std::uint64_t>(i) + 1}, 4));
  objects.push_back(ascii("seed"));
  return build(objects, 4, 4);
}

}  // namespace bplist_builder
