// The vibration's hold as the emulated phone shows it: the window thread is held for the
// vibration's length, and meanwhile the phone screen shakes briefly, painted at once since no
// event is handled while the thread is held.
#pragma once

#include "alert/alert_sounds.h"

namespace brevalo {

class PhoneScreen;

// The screen must outlive the hold.
VibrationHold ScreenShakeHold(PhoneScreen& screen);

}  // namespace brevalo
