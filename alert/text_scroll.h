// How far the pop-up's text is moved up while it scrolls. Text taller than its rectangle starts
// two thirds of the rectangle's height below its top, climbs 15 pixels a tick and starts over
// once it has passed out of sight; shorter text stands still.
#pragma once

#include <cstdint>

#include "alert/skin_values.h"

namespace brevalo {

inline constexpr int kScrollTimer = 10;
inline constexpr int kScrollPeriodMs = 1500;
inline constexpr int32_t kScrollStep = 15;

class TextScroll {
 public:
  // `textHeight` is the height of the text wrapped to the rectangle's width. True when the
  // text scrolls, so that the scroll timer must run.
  bool Start(const SkinRect& textRect, int32_t textHeight);
  // One tick of the scroll timer.
  void Tick();

  int32_t Offset() const { return offset_; }  // positive moves the text up
  int32_t Extent() const { return extent_; }  // the text's height plus 15
  bool Scrolling() const { return scrolling_; }

 private:
  int32_t StartOffset() const { return (top_ - bottom_) * 2 / 3; }

  int32_t top_ = 0;
  int32_t bottom_ = 0;
  int32_t offset_ = 0;
  int32_t extent_ = 0;
  bool scrolling_ = false;
};

}  // namespace brevalo
