#include "tests/support/temp_root.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "sim/device.h"

namespace fs = std::filesystem;

namespace testing_support {

TempRoot::TempRoot(bool populate) {
  std::string pattern = (fs::temp_directory_path() / "lumivo-test-XXXXXX").string();
  if (!mkdtemp(pattern.data())) ADD_FAILURE() << "mkdtemp failed";
  path_ = pattern;
  if (populate) {
    std::string error;
    if (!sim::populateRoot(path_, LUMIVO_DEVICE_TEMPLATE, &error)) ADD_FAILURE() << error;
  }
}

TempRoot::~TempRoot() {
  std::error_code ignored;
  fs::remove_all(path_, ignored);
}

std::string TempRoot::host(const std::string& devicePath) const { return path_ + devicePath; }

void TempRoot::put(const std::string& devicePath, const std::string& bytes) const {
  fs::path file = host(devicePath);
  fs::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary) << bytes;
}

std::string TempRoot::get(const std::string& devicePath) const {
  std::ifstream in(host(devicePath), std::ios::binary);
  if (!in) return "<absent>";
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

sim::BootOptions bareBoot(const TempRoot& root) {
  sim::BootOptions options = fullBoot(root);
  options.loadModules = false;
  return options;
}

sim::BootOptions fullBoot(const TempRoot& root) {
  sim::BootOptions options;
  options.root = root.path();
  return options;
}

}  // namespace testing_support
