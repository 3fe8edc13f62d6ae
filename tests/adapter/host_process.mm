#include "tests/adapter/host_process.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "sim/frameworks/platform.h"

namespace hostprocess {
namespace {

std::string gRoot;

}  // namespace

bool bootSpringBoard(double version) {
  if (!gRoot.empty()) {
    ADD_FAILURE() << "one host per process: run the tests through ctest, or one at a time";
    return false;
  }
  char folder[] = "/tmp/lumivo-device-XXXXXX";
  if (!mkdtemp(folder)) return false;
  gRoot = folder;
  std::filesystem::create_directories(gRoot + "/var/mobile/Library/Preferences");
  std::atexit([] { std::filesystem::remove_all(gRoot); });
  standin::setFileSystemRoot(gRoot);
  standin::bootHost(version);
  standin::startSpringBoard();
  std::string error;
  if (!standin::loadModule(LUMIVO_DEVICE_EXTENSION, &error)) {
    ADD_FAILURE() << "cannot load the extension: " << error;
    return false;
  }
  standin::createFrontApplicationObjects();
  return true;
}

id loadSwitch() {
  std::string error;
  id source = standin::loadSwitch(LUMIVO_DEVICE_SWITCH, LUMIVO_DEVICE_SWITCH_INFO, &error);
  if (!source) ADD_FAILURE() << "cannot load the switch: " << error;
  return source;
}

const std::string& deviceRoot() { return gRoot; }

void writeDeviceFile(const char* devicePath, NSDictionary* values) {
  if (gRoot.empty()) {
    ADD_FAILURE() << "no device root before the host boots";
    return;
  }
  NSData* data = [NSPropertyListSerialization dataWithPropertyList:values
                                                            format:NSPropertyListXMLFormat_v1_0
                                                           options:0
                                                             error:NULL];
  std::ofstream(gRoot + devicePath, std::ios::binary).write(static_cast<const char*>([data bytes]),
                                                             static_cast<std::streamsize>([data length]));
}

}  // namespace hostprocess
