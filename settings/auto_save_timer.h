// Timer 1 of the main window, the automatic save, as the settings steer it. Applying the settings
// restarts the timer when AutoSave is on and leaves it alone when it is off, so switching
// AutoSave off lets a running timer run on until the program ends. The main window owns the
// real timer and follows this record.
#pragma once

#include <cstdint>

#include "settings/settings.h"

namespace brevalo {

struct AutoSaveTimer {
  bool running = false;
  uint32_t periodMs = 0;
};

// Called after Load at start-up and after the Preference page is left with OK. True when the
// window is to stop timer 1 and start it again with timer.periodMs; false when it keeps timer 1
// as it is, running or not.
bool ApplyAutoSave(const SettingValues& settings, AutoSaveTimer& timer);

}  // namespace brevalo
