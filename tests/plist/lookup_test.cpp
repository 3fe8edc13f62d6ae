// The extension's look-up reads exactly what the whole-dictionary reader
// reads, from every encoding.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/support/readings.h"
#include "fuzz/property_checks.h"
#include "sim/plist/document.h"
#include "settings/keys.h"
#include "sim/plist/lookup.h"
#include "sim/device.h"
#include "tests/plist/bplist_builder.h"
#include "tests/support/plistlib.h"
#include "tests/support/temp_root.h"

namespace {

using plist::Lookup;

std::string fileBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

TEST(Lookup, AgreesWithTheDocumentOnEverySeedFile) {
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(LUMIVO_SOURCE_DIR "/fuzz/seeds")) {
    std::string bytes = fileBytes(entry.path());
    EXPECT_EQ(fuzz_checks::lookupAgreesWithDocument(bytes), "") << entry.path();
    EXPECT_GT(Lookup::parse(bytes).size(), 0u) << entry.path() << " is a valid settings file";
    ++files;
  }
  EXPECT_GE(files, 10);
}

TEST(Lookup, ReadingsOfEveryTypeAsTheDocumentReadsThem) {
  const std::string xml =
      "<plist><dict><key>b</key><true/><key>i</key><integer>0</integer><key>r</key><real>2.5</real>"
      "<key>s</key><string> -00yes</string><key>n</key><string>12abc</string><key>d</key><date>"
      "2020-01-01T00:00:00Z</date><key>x</key><data>AA==</data><key>a</key><array><true/></array>"
      "<key>u</key><dict><key>CF$UID</key><integer>3</integer></dict><key>dup</key><true/>"
      "<key>dup</key><false/><key>k&amp;</key><integer>7</integer></dict></plist>";
  Lookup lookup = Lookup::parse(xml);
  EXPECT_EQ(lookup.size(), 11u);
  EXPECT_EQ(testing_support::booleanIn(lookup, "b"), true);
  EXPECT_EQ(testing_support::singleIn(lookup, "b"), 1.0f);
  EXPECT_EQ(testing_support::booleanIn(lookup, "i"), false);
  EXPECT_EQ(testing_support::singleIn(lookup, "r"), 2.5f);
  EXPECT_EQ(testing_support::booleanIn(lookup, "s"), true);
  EXPECT_EQ(testing_support::singleIn(lookup, "n"), 12.0f);
  for (const char* absent : {"d", "x", "a", "u", "missing"}) {
    EXPECT_EQ(testing_support::booleanIn(lookup, absent), std::nullopt) << absent;
    EXPECT_EQ(testing_support::singleIn(lookup, absent), std::nullopt) << absent;
  }
  EXPECT_EQ(testing_support::booleanIn(lookup, "dup"), false) << "the last of duplicate keys wins";
  EXPECT_EQ(testing_support::singleIn(lookup, "k&"), 7.0f) << "a decoded key";
  EXPECT_EQ(fuzz_checks::lookupAgreesWithDocument(xml), "");
}

TEST(Lookup, KeysFromUtf16AndBinaryUtf16Strings) {
  const std::string key = "LVDisable-caf\xC3\xA9";
  // {"LVDisable-café": true} with the key as a UTF-16 string object.
  std::string utf16 = "\x6E";
  for (char16_t c : u"LVDisable-caf\u00e9") {
    if (!c) break;
    utf16 += static_cast<char>(c >> 8), utf16 += static_cast<char>(c & 0xFF);
  }
  std::string binary = bplist_builder::build({"\xD1\x01\x02", utf16, "\x09"});
  EXPECT_EQ(testing_support::booleanIn(Lookup::parse(binary), key), true);
  EXPECT_EQ(fuzz_checks::lookupAgreesWithDocument(binary), "");
}

TEST(Lookup, NonDictionaryRootsLookUpNothing) {
  for (const std::string& bytes :
       {std::string("<plist><array><true/></array></plist>"), std::string("<plist><string>x</string></plist>"),
        std::string("<plist><dict><key>CF$UID</key><integer>1</integer></dict></plist>"), std::string("( a )"),
        bplist_builder::build({"\x09"})}) {
    Lookup lookup = Lookup::parse(bytes);
    EXPECT_EQ(lookup.size(), 0u) << bytes;
    EXPECT_EQ(plist::Document::parse(bytes).size(), 0u) << bytes;
  }
  EXPECT_EQ(Lookup::parse("<plist><dict><key>CF$UID</key><string>1</string></dict></plist>").size(), 1u)
      << "only an integer makes a reference";
}

}  // namespace
