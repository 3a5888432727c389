// The timer of the compose window (dialog 156 "Timer"): "Set Timer" and the send time, written
// "yyyy-MM-dd HH:mm" and typed with the number keys.
#pragma once

#include "device/system_time.h"

namespace brevalo {

class PhoneScreen;

enum TimerControl : int { IDC_TIMER_SET = 1101, IDC_TIMER_TIME = 1112 };

// Modal. With the timer set, the box starts checked and the time shows `sendTime`; otherwise
// the box is unchecked, the time field disabled and showing `now`. OK with the box checked and
// a time that exists stores it in `sendTime` and answers 1; OK unchecked and Cancel answer 2.
// A time that cannot be read keeps the dialog open with an Error box.
int RunTimerDialog(PhoneScreen& screen, bool timerSet, SYSTEMTIME& sendTime, const SYSTEMTIME& now);

}  // namespace brevalo
