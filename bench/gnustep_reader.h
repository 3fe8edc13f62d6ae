// GNUstep Foundation's property-list reader, standing in for the device's
// own Foundation in the benchmarks. Plain C, so that C++ can call it.
#pragma once

#ifdef __cplusplus
extern "C" {
#endif

// Reads the file at `path` with NSData and NSPropertyListSerialization and
// looks up `count` keys in the dictionary; returns how many were present, or
// -1 when the file is unreadable or not a dictionary.
int gnustepLookup(const char* path, const char* const* keys, int count);

#ifdef __cplusplus
}
#endif
