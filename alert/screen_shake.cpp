#include "alert/screen_shake.h"

#include <chrono>
#include <thread>

#include "ui/phone_screen.h"

namespace brevalo {
namespace {

constexpr int kShakeMs = 240;
constexpr int kShakeStepMs = 40;
constexpr int kShakePixels = 3;

void Offset(PhoneScreen& screen, int dx) {
  for (QWidget* child : screen.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    child->move(child->pos() + QPoint(dx, 0));
  }
  screen.repaint();
}

}  // namespace

VibrationHold ScreenShakeHold(PhoneScreen& screen) {
  return [&screen](int ms) {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    int shift = 0;
    for (int elapsed = 0; elapsed + kShakeStepMs <= std::min(ms, kShakeMs); elapsed += kShakeStepMs) {
      int next = shift > 0 ? -kShakePixels : kShakePixels;
      Offset(screen, next - shift);
      shift = next;
      std::this_thread::sleep_for(std::chrono::milliseconds(kShakeStepMs));
    }
    Offset(screen, -shift);
    std::this_thread::sleep_until(end);
  };
}

}  // namespace brevalo
