// The step up and step down actions the user binds in the event framework.
#pragma once

#include <cstdint>

#include "host/host.h"

// The names the two listeners are registered under.
inline constexpr char kUpListenerName[] = "com.vantorel.brightnesslistener.up";
inline constexpr char kDownListenerName[] = "com.vantorel.brightnesslistener.down";

class BrightnessListener : public host::Listener {
 public:
  // initWithStatus:. Status 0 steps the backlight up, any other status down.
  explicit BrightnessListener(int32_t status);
  BrightnessListener(const BrightnessListener&) = delete;
  BrightnessListener& operator=(const BrightnessListener&) = delete;

  // activator:receiveEvent:. Unless a setting stops it, moves the backlight
  // one step from the screen's brightness and marks the event handled; a
  // stopped event is left unhandled.
  void activatorReceiveEvent(host::Id activator, host::Id event) override;

  int32_t status() const { return status_; }

 private:
  const int32_t status_;
};
