#include "settings/plist_nodes.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

#include "settings/binary_parser.h"

namespace settings::plist {
namespace {

void appendBigEndian(std::string& out, std::uint64_t value, int bytes) {
  for (int i = bytes - 1; i >= 0; --i) out.push_back(static_cast<char>(value >> (8 * i) & 0xFF));
}

// A binary property list whose only object is `object`, parsed by libplist.
plist_t nodeFromObject(const std::string& object) {
  std::string file = "bplist00" + object;
  file.push_back(8);  // offset table: the object starts after the header
  file.append(6, '\0');
  file.push_back(1);  // offset size
  file.push_back(1);  // reference size
  appendBigEndian(file, 1, 8);                  // objects
  appendBigEndian(file, 0, 8);                  // top object
  appendBigEndian(file, 8 + object.size(), 8);  // offset table position
  plist_t node = nullptr;
  plist_from_bin(file.data(), static_cast<std::uint32_t>(file.size()), &node);
  return node;
}

// Keeps the one scalar a single-element array holds.
struct ScalarSink {
  std::optional<Integer> integer_;
  std::optional<double> date_;
  void beginDict() {}
  void beginArray() {}
  void endDict() {}
  void endArray() {}
  void key(std::string_view) {}
  void string(std::string_view) {}
  void boolean(bool) {}
  void integer(Integer value) { integer_ = value; }
  void real(double) {}
  void date(double seconds) { date_ = seconds; }
  void data(std::string_view) {}
  void uid(std::uint64_t) {}
};

// Writes a copy of `node` in libplist's binary encoding and reads it back.
ScalarSink throughBinary(plist_t node) {
  plist_t wrapper = plist_new_array();
  plist_array_append_item(wrapper, plist_copy(node));
  char* bytes = nullptr;
  std::uint32_t length = 0;
  plist_to_bin(wrapper, &bytes, &length);
  plist_free(wrapper);
  ScalarSink sink;
  if (bytes) BinaryParser<ScalarSink>(std::string_view(bytes, length), sink).parse();
  plist_to_bin_free(bytes);
  return sink;
}

}  // namespace

plist_t newInteger(Integer value) {
  if (!value.isUnsigned) return plist_new_uint(value.bits);
  std::string object(1, '\x14');
  appendBigEndian(object, 0, 8);
  appendBigEndian(object, value.bits, 8);
  plist_t node = nodeFromObject(object);
  return node ? node : plist_new_uint(value.bits);
}

Integer integerOf(plist_t node) {
  std::uint64_t bits = 0;
  plist_get_uint_val(node, &bits);
  if (bits >> 63 == 0) return Integer{bits, false};
  return throughBinary(node).integer_.value_or(Integer{bits, false});
}

plist_t newDate(double seconds) {
  if (seconds == std::floor(seconds) && std::fabs(seconds) <= std::numeric_limits<std::int32_t>::max())
    return plist_new_date(static_cast<std::int32_t>(seconds), 0);
  std::uint64_t bits;
  std::memcpy(&bits, &seconds, sizeof bits);
  std::string object(1, '\x33');
  appendBigEndian(object, bits, 8);
  return nodeFromObject(object);
}

std::optional<double> dateOf(plist_t node) { return throughBinary(node).date_; }

}  // namespace settings::plist
