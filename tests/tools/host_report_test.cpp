// `host` at each release from iOS 7 to 14 lists exactly what the table of
// host generations shows for that release.
#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>

#include "tests/support/temp_root.h"
#include "tools/session.h"

namespace tools {
namespace {

// One row per operation, one column per release 7 to 14: 'x' offered.
struct Row {
  const char* operation;
  const char* releases;
};
constexpr Row kTable[] = {
    {"-[SBWorkspace init]", "xx......"},
    {"-[SBWorkspace dealloc]", "xx......"},
    {"-[SBWorkspace bksWorkspace]", "x......."},
    {"-[BKSWorkspace topApplication]", "x......."},
    {"-[SBMainWorkspace init]", "..xxxxxx"},
    {"-[SBMainWorkspace dealloc]", "..xxxxxx"},
    {"-[SpringBoard _accessibilityFrontMostApplication]", "xxxxxxxx"},
    {"-[SBApplication displayIdentifier]", "x......."},
    {"-[SBApplication bundleIdentifier]", "xxxxxxxx"},
    {"-[SpringBoard frontDisplayDidChange:]", "xxxxxxxx"},
    {"+[SBLockScreenManager sharedInstance]", "xxxxxxxx"},
    {"-[SBLockScreenManager isUILocked]", "xxxxxxxx"},
    {"-[SpringBoard isLocked]", "xxxxxxxx"},
    {"GSEventSetBacklightLevel()", "xxxxx..."},
    {"BKSDisplayBrightnessSet()", "xxxxxxxx"},
    {"BKSDisplayBrightnessGetCurrent()", "xxxxxxxx"},
    {"+[UIScreen mainScreen]", "xxxxxxxx"},
    {"-[UIScreen brightness]", "xxxxxxxx"},
    {"+[UIKeyboard isOnScreen]", "xxxxxxxx"},
    {"-[UIAlertView initWithTitle:message:delegate:cancelButtonTitle:otherButtonTitles:]", "xxxxxxx."},
    {"-[UIAlertView show]", "xxxxxxx."},
    {"+[UIAlertController alertControllerWithTitle:message:preferredStyle:]", ".xxxxxxx"},
    {"-[UIAlertController addAction:]", ".xxxxxxx"},
    {"+[UIAlertAction actionWithTitle:style:handler:]", ".xxxxxxx"},
    {"+[UIApplication sharedApplication]", "xxxxxxxx"},
    {"-[UIApplication openURL:]", "xxxxxxxx"},
    {"-[UIApplication openURL:options:completionHandler:]", "...xxxxx"},
    {"-[SpringBoard applicationOpenURL:]", "xxxxxxxx"},
    {"+[NSURL URLWithString:]", "xxxxxxxx"},
};
constexpr struct {
  const char* header;
  double version;
} kReleases[] = {
    {"host: iOS 7.0 (CoreFoundation 847.2)", 847.20},     {"host: iOS 8.0 (CoreFoundation 1140.1)", 1140.10},
    {"host: iOS 9.0 (CoreFoundation 1240.1)", 1240.10},   {"host: iOS 10.0 (CoreFoundation 1348)", 1348.00},
    {"host: iOS 11.0 (CoreFoundation 1443)", 1443.00},    {"host: iOS 12.0 (CoreFoundation 1556)", 1556.00},
    {"host: iOS 13.0 (CoreFoundation 1665.15)", 1665.15}, {"host: iOS 14.0 (CoreFoundation 1751.108)", 1751.108},
};

TEST(HostReport, EachReleaseListsExactlyWhatItOffers) {
  testing_support::TempRoot root;
  for (std::size_t column = 0; column < std::size(kReleases); ++column) {
    std::ostringstream out;
    Session session(out);
    session.boot({root.path(), "SpringBoard", kReleases[column].version});
    session.showHost();
    std::istringstream lines(out.str());
    std::string header, line;
    std::getline(lines, header);
    EXPECT_EQ(header, std::string("  ") + kReleases[column].header);
    std::set<std::string> listed, expected;
    while (std::getline(lines, line)) listed.insert(line.substr(2));
    for (const Row& row : kTable)
      if (row.releases[column] == 'x') expected.insert(row.operation);
    EXPECT_EQ(listed, expected) << kReleases[column].header;
  }
}

}  // namespace
}  // namespace tools
