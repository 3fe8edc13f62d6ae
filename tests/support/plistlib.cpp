#include "tests/support/plistlib.h"

#include <gtest/gtest.h>
#include <stdio.h>

#include <array>
#include <filesystem>
#include <fstream>

namespace testing_support {
namespace {

const char kPrelude[] = R"PY(
import plistlib, datetime, sys
def canon(v):
    if isinstance(v, bool): return 'bool:%s' % v
    if isinstance(v, int): return 'int:%d' % v
    if isinstance(v, float): return 'real:%r' % v
    if isinstance(v, str): return 'string:%r' % v
    if isinstance(v, bytes): return 'data:%s' % v.hex()
    if isinstance(v, datetime.datetime): return 'date:%s' % v.isoformat()
    if isinstance(v, plistlib.UID): return 'uid:%d' % v.data
    if isinstance(v, list): return 'array:[' + ','.join(canon(x) for x in v) + ']'
    if isinstance(v, dict): return 'dict:{' + ','.join('%r=%s' % (k, canon(v[k])) for k in sorted(v)) + '}'
    return 'other:%r' % (v,)
def load(path):
    try:
        with open(path, 'rb') as f: return plistlib.load(f)
    except Exception:
        return None
)PY";

}  // namespace

std::string python(const std::string& code) {
  auto script = std::filesystem::temp_directory_path() / ("lumivo-py-" + std::to_string(::getpid()) + ".py");
  std::ofstream(script) << kPrelude << code << "\n";
  // The system interpreter: faster to start than a user-installed one.
  std::string command = "/usr/bin/python3 " + script.string();
  FILE* pipe = popen(command.c_str(), "r");
  std::string out;
  if (pipe) {
    std::array<char, 4096> buffer;
    size_t n;
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) out.append(buffer.data(), n);
    int status = pclose(pipe);
    EXPECT_EQ(status, 0) << "python3 failed:\n" << code;
  } else {
    ADD_FAILURE() << "cannot run python3";
  }
  std::filesystem::remove(script);
  return out;
}

std::string plistlibDump(const std::string& hostFile) {
  return python("v = load(" + std::string("'") + hostFile + "')\nprint('<unreadable>' if v is None else canon(v), end='')");
}

std::string plistlibValue(const std::string& hostFile, const std::string& key) {
  return python("v = load('" + hostFile + "')\nprint('<unreadable>' if v is None else canon(v.get('" + key +
                "')) if '" + key + "' in v else '<absent>', end='')");
}

}  // namespace testing_support
