// Each fault measured in libplist 2.2, reproduced on a small input, next to
// what our reader makes of the same input. The libplist faults that crash
// run in a death-test child; none of them can take this binary down.
#include <gtest/gtest.h>
#include <pthread.h>
#include <plist/plist.h>
#include <stdlib.h>
#include <unistd.h>

#include <clocale>
#include <filesystem>
#include <functional>
#include <string>

#include "tests/support/readings.h"
#include "sim/plist/document.h"
#include "sim/plist/lookup.h"
#include "sim/plist/tree.h"
#include "sim/plist/xml_writer.h"
#include "tests/plist/bplist_builder.h"

namespace {

namespace bp = bplist_builder;

// Runs `work` on a thread with a 256 KiB stack, as small as a secondary
// thread's on the device.
void onSmallStack(const std::function<void()>& work) {
  pthread_attr_t attr;
  pthread_attr_init(&attr);
  pthread_attr_setstacksize(&attr, 256 * 1024);
  pthread_t thread;
  auto run = [](void* arg) -> void* {
    (*static_cast<const std::function<void()>*>(arg))();
    return nullptr;
  };
  ASSERT_EQ(pthread_create(&thread, &attr, run, const_cast<std::function<void()>*>(&work)), 0);
  pthread_join(thread, nullptr);
  pthread_attr_destroy(&attr);
}

plist_t libplistRead(const std::string& bytes) {
  plist_t node = nullptr;
  plist_from_memory(bytes.data(), static_cast<uint32_t>(bytes.size()), &node);
  return node;
}

std::size_t countNodes(plist_t node) {
  std::size_t n = 1;
  if (plist_get_node_type(node) == PLIST_ARRAY)
    for (uint32_t i = 0; i < plist_array_get_size(node); ++i) n += countNodes(plist_array_get_item(node, i));
  if (plist_get_node_type(node) == PLIST_DICT) {
    plist_dict_iter it = nullptr;
    plist_dict_new_iter(node, &it);
    for (;;) {
      char* key = nullptr;
      plist_t value = nullptr;
      plist_dict_next_item(node, it, &key, &value);
      free(key);
      if (!value) break;
      n += countNodes(value);
    }
    free(it);
  }
  return n;
}

std::string xmlNestedArrays(int depth) {
  std::string xml = "<plist version=\"1.0\"><dict><key>k</key>";
  for (int i = 0; i < depth; ++i) xml += "<array>";
  for (int i = 0; i < depth; ++i) xml += "</array>";
  return xml + "</dict></plist>";
}

const char kSmallXml[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n<dict>\n"
    "\t<key>enabled</key>\n\t<false/>\n\t<key>Increment</key>\n\t<real>0.5</real>\n</dict>\n</plist>\n";

TEST(SharedReferences, LibplistExpandsEveryReferenceWeStopAtTheBudget) {
  // 14 levels: libplist builds 2^14 nodes out of a file of some 100 bytes.
  std::string small = bp::sharedChain(14);
  ASSERT_LT(small.size(), 128u);
  plist_t expanded = libplistRead(small);
  ASSERT_NE(expanded, nullptr);
  EXPECT_EQ(countNodes(expanded), 1u << 14);  // the dictionary and 2^14 - 1 arrays
  plist_free(expanded);
  // Within the budget our reader expands it too, with its true contents.
  EXPECT_EQ(plist::Document::parse(small).size(), 1u);

  // 20 levels is about 2 million nodes and 32 levels exhausts memory in
  // libplist; both read as empty here, also on a small stack.
  for (int depth : {20, 32, 200}) {
    std::string hostile = bp::sharedChain(depth);
    onSmallStack([&] {
      EXPECT_FALSE(plist::Tree().read(hostile)) << depth;
      EXPECT_EQ(plist::Document::parse(hostile).size(), 0u);
      EXPECT_FALSE(testing_support::booleanIn(plist::Lookup::parse(hostile), "k").has_value());
    });
  }
}

TEST(DeepNestingDeathTest, LibplistOverflowsTheStackOnBinaryNesting) {
  std::string deep = bp::nestedArrays(100000);
  EXPECT_DEATH(onSmallStack([&] { plist_free(libplistRead(deep)); }), "");
}

// Builds 40,000 nested arrays (without recursion) and writes them with
// libplist's XML writer.
void writeDeepTreeWithLibplist() {
  plist_t root = plist_new_array(), inner = root;
  for (int i = 0; i < 40000; ++i) {
    plist_t next = plist_new_array();
    plist_array_append_item(inner, next);
    inner = next;
  }
  char* xml = nullptr;
  uint32_t length = 0;
  plist_to_xml(root, &xml, &length);
}

TEST(DeepNestingDeathTest, LibplistXmlWriterOverflowsTheStack) {
  EXPECT_DEATH(writeDeepTreeWithLibplist(), "");
}

TEST(DeepNesting, OurReaderStopsAtTheDepthLimitOnASmallStack) {
  onSmallStack([] {
    EXPECT_FALSE(plist::Tree().read(bp::nestedArrays(100000)));
    EXPECT_FALSE(plist::Tree().read(xmlNestedArrays(100000)));
    std::string text(100000, '(');
    EXPECT_FALSE(plist::Tree().read(text));
    EXPECT_EQ(plist::Lookup::parse(xmlNestedArrays(100000)).size(), 0u);
  });
}

TEST(DeepNesting, OurWriterRefusesATreeDeeperThanTheReaderReads) {
  plist::Value inner = plist::Value::array({});
  for (int i = 0; i < 200; ++i) {
    std::vector<plist::Value> items;
    items.push_back(std::move(inner));
    inner = plist::Value::array(std::move(items));
  }
  plist::Document doc;
  doc.setValue("k", inner);
  std::string xml = "unchanged";
  onSmallStack([&] { EXPECT_FALSE(plist::writeXml(doc.root(), xml)); });
}

TEST(Encodings, LibplistRejectsByteOrderMarksAndUtf16WeReadThem) {
  const std::string bom = "\xEF\xBB\xBF" + std::string(kSmallXml);
  std::u16string wide(kSmallXml, kSmallXml + sizeof kSmallXml - 1);
  std::string le = "\xFF\xFE", be = "\xFE\xFF";
  for (char16_t c : wide) {
    le += static_cast<char>(c & 0xFF), le += static_cast<char>(c >> 8);
    be += static_cast<char>(c >> 8), be += static_cast<char>(c & 0xFF);
  }
  for (const std::string& bytes : {bom, le, be}) {
    plist_t node = libplistRead(bytes);
    EXPECT_EQ(node, nullptr);
    plist_free(node);
    plist::Document doc = plist::Document::parse(bytes);
    EXPECT_EQ(testing_support::booleanIn(doc, "enabled"), false);
    EXPECT_EQ(testing_support::singleIn(doc, "Increment"), 0.5f);
    EXPECT_EQ(testing_support::singleIn(plist::Lookup::parse(bytes), "Increment"), 0.5f);
  }
}

TEST(Encodings, LibplistCannotReadTheOldStyleEncodingWeCan) {
  const std::string text = "{ enabled = 0; Increment = 0.5; }";
  plist_t node = libplistRead(text);
  EXPECT_EQ(node, nullptr);
  plist_free(node);
  EXPECT_EQ(testing_support::booleanIn(plist::Document::parse(text), "enabled"), false);
  EXPECT_EQ(testing_support::singleIn(plist::Lookup::parse(text), "Increment"), 0.5f);
}

// Compiles a locale with a decimal comma into a temporary folder.
class DecimalCommaLocale : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = std::filesystem::temp_directory_path() / ("lumivo-locale-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder_);
    std::string command = "localedef -i de_DE -f UTF-8 " + (folder_ / "de_DE.UTF-8").string() + " >/dev/null 2>&1";
    if (std::system(command.c_str()) != 0) GTEST_SKIP() << "localedef cannot build de_DE (package locales)";
    setenv("LOCPATH", folder_.c_str(), 1);
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8")) GTEST_SKIP() << "the built locale does not load";
  }
  void TearDown() override {
    std::setlocale(LC_ALL, "C");
    unsetenv("LOCPATH");
    std::filesystem::remove_all(folder_);
  }
  std::filesystem::path folder_;
};

TEST_F(DecimalCommaLocale, LibplistMisreadsRealsWeDoNot) {
  plist_t node = libplistRead(kSmallXml);
  ASSERT_NE(node, nullptr);
  double value = -1;
  plist_get_real_val(plist_dict_get_item(node, "Increment"), &value);
  EXPECT_EQ(value, 0.0) << "libplist reads up to the decimal point the locale does not know";
  plist_free(node);
  EXPECT_EQ(testing_support::singleIn(plist::Document::parse(kSmallXml), "Increment"), 0.5f);
  EXPECT_EQ(testing_support::singleIn(plist::Lookup::parse(kSmallXml), "Increment"), 0.5f);
  plist::Document doc;
  doc.setValue("r", plist::Value::real(0.25));
  EXPECT_NE(doc.toXml().find("<real>0.25</real>"), std::string::npos);
}

TEST(Cycles, LibplistAndOurReaderRejectThem) {
  // {"k": a}, a = [a]
  std::string cycle = bp::build({"\xD1\x01\x02", bp::ascii("k"), bp::array({2})});
  plist_t node = libplistRead(cycle);
  EXPECT_EQ(node, nullptr);
  plist_free(node);
  EXPECT_FALSE(plist::Tree().read(cycle));
  EXPECT_EQ(plist::Lookup::parse(cycle).size(), 0u);
}

TEST(Trailer, LibplistLeavesItsOutputUntouchedOnTrailerErrors) {
  const std::string trailer = bp::bigEndian(1, 8) + bp::bigEndian(5, 8) + bp::bigEndian(9, 8);
  const std::string topOutOfRange = "bplist00\x08\x08" + std::string(6, '\0') + "\x01\x01" + trailer;
  plist_t sentinel = plist_new_string("sentinel");
  plist_t out = sentinel;
  plist_from_bin(topOutOfRange.data(), static_cast<uint32_t>(topOutOfRange.size()), &out);
  EXPECT_EQ(out, sentinel) << "a caller that does not start from null keeps a stale node";
  plist_free(sentinel);
  EXPECT_FALSE(plist::Tree().read(topOutOfRange));
}

}  // namespace
