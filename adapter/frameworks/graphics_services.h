// GraphicsServices: the ecosystem's published header in the device build
// (LUMIVO_PUBLISHED_HEADERS, set by lumivo.mk), our own declarations in the
// Linux check, which has no Theos. The device build checks that both declare
// the same (package/headers_agree.py).
#pragma once

#ifdef LUMIVO_PUBLISHED_HEADERS
#include <GraphicsServices/GraphicsServices.h>
#else
#include "adapter/include/GraphicsServices.h"
#endif
