// GraphicsServices' backlight control.
#pragma once

#ifdef __cplusplus
extern "C" {
#endif

// Sets the screen backlight to `level` (0 to 1 is the panel's range).
void GSEventSetBacklightLevel(float level);

#ifdef __cplusplus
}
#endif
