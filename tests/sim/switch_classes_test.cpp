// Data-source classes made known by name: the table the toggle framework
// instantiates a bundle's principal class from.
#include <gtest/gtest.h>

#include "host/host.h"
#include "sim/journal.h"
#include "sim/switch_classes.h"

namespace {

class Fixed : public host::SwitchDataSource {
 public:
  explicit Fixed(int state) : state_(state) {}
  int stateForSwitchIdentifier(std::string_view) override { return state_; }
  void applyStateForSwitchIdentifier(int, std::string_view) override {}
  void applyAlternateActionForSwitchIdentifier(std::string_view) override {}

 private:
  int state_;
};

host::SwitchDataSource* makeFirst() { return new Fixed(1); }
host::SwitchDataSource* makeSecond() { return new Fixed(0); }

class SwitchClasses : public ::testing::Test {
 protected:
  void SetUp() override { sim::forgetSwitchClasses(); }
  void TearDown() override { sim::forgetSwitchClasses(); }
};

TEST_F(SwitchClasses, NameRegisteredTwiceKeepsTheFirstFactory) {
  host::registerSwitchDataSourceClass("Switch", &makeFirst);
  host::registerSwitchDataSourceClass("Switch", &makeSecond);
  ASSERT_EQ(sim::switchClassFactory("Switch"), &makeFirst);
  EXPECT_EQ(sim::switchClassFactory("Other"), nullptr);
}

TEST_F(SwitchClasses, NullNameOrFactoryRegistersNothing) {
  host::registerSwitchDataSourceClass("Switch", nullptr);
  EXPECT_EQ(sim::switchClassFactory("Switch"), nullptr);
  host::registerSwitchDataSourceClass(nullptr, &makeFirst);
  host::registerSwitchDataSourceClass("Switch", &makeSecond);
  EXPECT_EQ(sim::switchClassFactory("Switch"), &makeSecond) << "a null factory must not hold the name";
}

TEST_F(SwitchClasses, ForgettingFreesTheNameForTheNextLoad) {
  host::registerSwitchDataSourceClass("Switch", &makeFirst);
  sim::forgetSwitchClasses();
  host::registerSwitchDataSourceClass("Switch", &makeSecond);
  EXPECT_EQ(sim::switchClassFactory("Switch"), &makeSecond);
}

}  // namespace
