// Stand-in for the iOS SDK's notify.h on Linux.
#pragma once

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

uint32_t notify_post(const char* name);

#ifdef __cplusplus
}
#endif
