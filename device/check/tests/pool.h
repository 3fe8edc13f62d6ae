// A test fixture whose test body runs inside an autorelease pool, as every
// call from the host's main run loop does.
#pragma once

#import <Foundation/Foundation.h>

#include <gtest/gtest.h>

class PooledTest : public ::testing::Test {
 protected:
  void SetUp() override { pool_ = [[NSAutoreleasePool alloc] init]; }
  void TearDown() override { [pool_ drain]; }

 private:
  NSAutoreleasePool* pool_ = nil;
};
