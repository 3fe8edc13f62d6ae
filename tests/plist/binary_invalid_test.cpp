// Malformed binary files: the equivalents of the invalid cases in python3's
// plistlib test suite (trailer, offset, size and reference overflows,
// undefined markers), each read on its own as the root so that a rejection
// is not merely "the root is not a dictionary".
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "sim/plist/document.h"
#include "sim/plist/tree.h"
#include "tests/plist/bplist_builder.h"

namespace {

namespace bp = bplist_builder;

std::string unhex(const std::string& hex) {
  std::string out;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2) out += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
  return out;
}

// Reads `bytes` as a tree of any root type; true when it was accepted.
bool accepted(const std::string& bytes) {
  return plist::Tree().read(bytes);
}

struct Case {
  const char* name;
  const char* hex;  // after "bplist00"
};

const Case kInvalid[] = {
    {"too short data", ""},
    {"too large offset_table_offset and offset_size = 1", "0008000000000000010100000000000000010000000000000000000000000000002a"},
    {"too large offset_table_offset and nonstandard offset_size", "00000008000000000000030100000000000000010000000000000000000000000000002c"},
    {"integer overflow in offset_table_offset", "0008000000000000010100000000000000010000000000000000ffffffffffffffff"},
    {"too large top_object", "00080000000000000101000000000000000100000000000000010000000000000009"},
    {"integer overflow in top_object", "000800000000000001010000000000000001ffffffffffffffff0000000000000009"},
    {"too large num_objects and offset_size = 1", "0008000000000000010100000000000000ff00000000000000000000000000000009"},
    {"too large num_objects and nonstandard offset_size", "00000008000000000000030100000000000000ff00000000000000000000000000000009"},
    {"extremally large num_objects (32 bit)", "00080000000000000101000000007fffffff00000000000000000000000000000009"},
    {"extremally large num_objects (64 bit)", "00080000000000000101000000ffffffffff00000000000000000000000000000009"},
    {"integer overflow in num_objects", "00080000000000000101ffffffffffffffff00000000000000000000000000000009"},
    {"offset_size = 0", "00080000000000000001000000000000000100000000000000000000000000000009"},
    {"ref_size = 0", "a10100080a000000000000010000000000000000020000000000000000000000000000000b"},
    {"too large offset", "002a0000000000000101000000000000000100000000000000000000000000000009"},
    {"integer overflow in offset", "00ffffffffffffffff0000000000000801000000000000000100000000000000000000000000000009"},
    {"too large array size", "af0001ff00080c000000000000010100000000000000020000000000000000000000000000000d"},
    {"extremally large array size (32-bit)", "af027fffffff0100080f0000000000000101000000000000000200000000000000000000000000000010"},
    {"extremally large array size (64-bit)", "af03000000ffffffffff010008130000000000000101000000000000000200000000000000000000000000000014"},
    {"integer overflow in array size", "af03ffffffffffffffff010008130000000000000101000000000000000200000000000000000000000000000014"},
    {"too large reference index", "a10200080a000000000000010100000000000000020000000000000000000000000000000b"},
    {"integer overflow in reference index", "a1ffffffffffffffff0008110000000000000108000000000000000200000000000000000000000000000012"},
    {"too large bytes size", "4f00234108000000000000010100000000000000010000000000000000000000000000000c"},
    {"extremally large bytes size (32-bit)", "4f027fffffff4108000000000000010100000000000000010000000000000000000000000000000f"},
    {"extremally large bytes size (64-bit)", "4f03000000ffffffffff41080000000000000101000000000000000100000000000000000000000000000013"},
    {"integer overflow in bytes size", "4f03ffffffffffffffff41080000000000000101000000000000000100000000000000000000000000000013"},
    {"too large ASCII size", "5f00234108000000000000010100000000000000010000000000000000000000000000000c"},
    {"extremally large ASCII size (32-bit)", "5f027fffffff4108000000000000010100000000000000010000000000000000000000000000000f"},
    {"extremally large ASCII size (64-bit)", "5f03000000ffffffffff41080000000000000101000000000000000100000000000000000000000000000013"},
    {"integer overflow in ASCII size", "5f03ffffffffffffffff41080000000000000101000000000000000100000000000000000000000000000013"},
    {"invalid ASCII", "51ff08000000000000010100000000000000010000000000000000000000000000000a"},
    {"too large UTF-16 size", "6f001320ac0008000000000000010100000000000000010000000000000000000000000000000e"},
    {"extremally large UTF-16 size (32-bit)", "6f024fffffff20ac00080000000000000101000000000000000100000000000000000000000000000011"},
    {"extremally large UTF-16 size (64-bit)", "6f03000000ffffffffff20ac00080000000000000101000000000000000100000000000000000000000000000015"},
    {"integer overflow in UTF-16 size", "6f03ffffffffffffffff20ac00080000000000000101000000000000000100000000000000000000000000000015"},
    {"invalid UTF-16", "61d80008000000000000010100000000000000010000000000000000000000000000000b"},
    {"non-hashable key", "d10101a0080b000000000000010100000000000000020000000000000000000000000000000c"},
    {"invalid datetime (Infinity)", "337ff0000000000000080000000000000101000000000000000100000000000000000000000000000011"},
    {"invalid datetime (NaN)", "337ff8000000000000080000000000000101000000000000000100000000000000000000000000000011"},
};

TEST(InvalidBinary, EveryMalformedFileIsRejected) {
  for (const Case& c : kInvalid) EXPECT_FALSE(accepted("bplist00" + unhex(c.hex))) << c.name;
}

TEST(InvalidBinary, UndefinedMarkersAreRejected) {
  std::vector<int> undefined = {1, 2, 3, 4, 5, 6, 7, 10, 11, 12, 13, 14, 0x20, 0x21};
  for (int i = 0x24; i < 0x33; ++i) undefined.push_back(i);
  for (int i = 0x34; i < 0x40; ++i) undefined.push_back(i);
  for (int high : {0x70, 0x90, 0xB0, 0xC0, 0xE0, 0xF0})
    for (int low = 0; low < 16; ++low) undefined.push_back(high + low);
  for (int marker : undefined)
    EXPECT_FALSE(accepted(bp::build({std::string(1, static_cast<char>(marker)) + std::string(16, '\0')})))
        << std::hex << marker;
}

TEST(InvalidBinary, SizesBeyondTheFileAreRejectedAtEveryWidth) {
  for (int width = 20; width < 64; ++width) {
    std::string size = bp::bigEndian(std::uint64_t{1} << width, 8);
    for (char marker : {'\x4F', '\x5F', '\x6F', '\xAF', '\xDF'})
      EXPECT_FALSE(accepted(bp::build({std::string(1, marker) + "\x13" + size}))) << width << " " << +marker;
    std::string objects = "bplist00" + std::string(6, '\0') + "\x01\x01" + size + bp::bigEndian(0, 8) +
                          bp::bigEndian(8, 8);
    EXPECT_FALSE(accepted(objects)) << width;
  }
}

TEST(ValidBinary, TheBuilderMakesFilesTheReaderAccepts) {
  // Guards the cases above: they fail for what they break, not for the
  // builder's frame around them.
  EXPECT_TRUE(accepted(bp::build({"\x08"})));
  EXPECT_TRUE(accepted(bp::build({"\x09"})));
  EXPECT_TRUE(accepted(bp::build({"\x13\xfe\xdc\xba\x98\x76\x54\x32\x10"})));
  EXPECT_TRUE(accepted(bp::build({"\x4f\x10\x03" "abc"})));
  EXPECT_TRUE(accepted(bp::build({"\xA1\x01", "\x51" "a"})));
  // References and offsets three bytes wide.
  const std::string wide = unhex(
      "62706c6973743030d10000010000025161516200000800000f00001100000000000003030000000000000003"
      "00000000000000000000000000000013");
  EXPECT_EQ(plist::Document::parse(wide).size(), 1u);
}

TEST(ValidBinary, NullAndFillMarkersAreRejected) {
  // The node tree has no null; the device's writer never produces either.
  EXPECT_FALSE(accepted(bp::build({"\x00"})));
  EXPECT_FALSE(accepted(bp::build({"\x0f"})));
}

TEST(ValidBinary, IntegersOfEveryWidthReadWithTheirSign) {
  auto integer = [](const std::string& object) {
    plist::Document doc = plist::Document::parse(bp::build({"\xD1\x01\x02", bp::ascii("k"), object}));
    const plist::Node k = doc.value("k");
    return k ? std::optional<float>(static_cast<float>(k.integer().toDouble())) : std::nullopt;
  };
  EXPECT_EQ(integer("\x10\xfe"), 254.0f);
  EXPECT_EQ(integer("\x11\xfe\xdc"), 65244.0f);
  EXPECT_EQ(integer("\x12\xfe\xdc\xba\x98"), 4275878552.0f);
  EXPECT_EQ(integer("\x13\xff\xff\xff\xff\xff\xff\xff\xfe"), -2.0f);
  EXPECT_EQ(integer("\x14" + std::string(8, '\0') + std::string(8, '\xff')), 18446744073709551615.0f);
  EXPECT_EQ(integer("\x14" + std::string(8, '\xff') + std::string(8, '\xff')), -1.0f);
  // 2^64 does not fit in 64 bits.
  EXPECT_EQ(integer("\x14" + std::string(7, '\0') + "\x01" + std::string(8, '\0')), std::nullopt);
}

TEST(ValidBinary, FarDatesReadAndOnlyThoseNoFormCarriesAreDropped) {
  auto date = [](double seconds) {
    std::uint64_t bits;
    std::memcpy(&bits, &seconds, sizeof bits);
    return "\x33" + bp::bigEndian(bits, 8);
  };
  // {off: false, past: distant past, far: year 10556, nan: NaN, list: [1e30 s]}
  const plist::Document doc = plist::Document::parse(
      bp::build({"\xD5\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0a", bp::ascii("off"), bp::ascii("past"), bp::ascii("far"),
                 bp::ascii("nan"), bp::ascii("list"), "\x08", date(-63114076800.0), date(2.7e11), date(std::nan("")),
                 bp::array({11}), date(1e30)}));
  EXPECT_EQ(doc.size(), 4u);
  EXPECT_FALSE(doc.value("off").boolean());
  EXPECT_EQ(doc.value("far").date(), 2.7e11);
  EXPECT_EQ(doc.value("list").size(), 0u);
  EXPECT_NE(doc.toXml().find("<date>0000-12-30T00:00:00Z</date>"), std::string::npos);
}

}  // namespace
