// A test fixture whose test body runs inside an autorelease pool, as every
// call from the host's main run loop does.
#pragma once

#import <Foundation/Foundation.h>

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "sim/frameworks/platform.h"

class PooledTest : public ::testing::Test {
 protected:
  void SetUp() override { pool_ = [[NSAutoreleasePool alloc] init]; }
  void TearDown() override { [pool_ drain]; }

 private:
  NSAutoreleasePool* pool_ = nil;
};

// A pooled test on a fresh device root folder holding the preferences
// folder, at the CoreFoundation version given; removed afterwards.
class DeviceRootTest : public PooledTest {
 protected:
  explicit DeviceRootTest(double coreFoundationVersion) : version_(coreFoundationVersion) {}
  void SetUp() override {
    PooledTest::SetUp();
    char folder[] = "/tmp/lumivo-device-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    root_ = folder;
    std::filesystem::create_directories(root_ + "/var/mobile/Library/Preferences");
    standin::setFileSystemRoot(root_);
    standin::setCoreFoundationVersion(version_);
  }
  void TearDown() override {
    std::filesystem::remove_all(root_);
    PooledTest::TearDown();
  }
  std::string root_;

 private:
  double version_;
};
