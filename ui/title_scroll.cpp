#include "ui/title_scroll.h"

namespace brevalo {

int TitleScroll::Offset(int overflow) const {
  if (overflow <= 0) return 0;
  const long travelMs = static_cast<long>(overflow) * 1000 / kPixelsPerSecond;
  const long cycleMs = kHoldMs + travelMs + kHoldMs;
  const long t = elapsedMs_ % cycleMs;
  if (t < kHoldMs) return 0;
  if (t >= kHoldMs + travelMs) return overflow;
  return static_cast<int>((t - kHoldMs) * kPixelsPerSecond / 1000);
}

}  // namespace brevalo
