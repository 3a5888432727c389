#include "alert/text_scroll.h"

namespace brevalo {

bool TextScroll::Start(const SkinRect& textRect, int32_t textHeight) {
  top_ = textRect.top;
  bottom_ = textRect.bottom;
  scrolling_ = textHeight >= textRect.Height();
  offset_ = scrolling_ ? StartOffset() : 0;
  extent_ = textHeight + 15;
  return scrolling_;
}

void TextScroll::Tick() {
  offset_ += kScrollStep;
  if (offset_ > extent_ - 12) offset_ = StartOffset();
}

}  // namespace brevalo
