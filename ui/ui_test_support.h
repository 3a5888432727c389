// What the window-system tests share: one QApplication for the test program, a throw-away
// device with its screen, and a loop that runs posted events until a condition holds.
#pragma once

#include <functional>
#include <memory>

#include "device/kernel_test_support.h"
#include "ui/phone_screen.h"

namespace brevalo::testing {

// Creates the application on first use (offscreen platform).
void EnsureApplication();

// Runs the event loop until `done` or `timeoutMs` has passed; returns done().
bool RunUntil(const std::function<bool()>& done, int timeoutMs = 3000);
// Runs every event that is waiting now, and those they post.
void Drain();

class ScreenFixture {
 public:
  ScreenFixture();
  ~ScreenFixture();
  PhoneScreen& screen() { return *screen_; }
  const Device& device() const { return temp_.device(); }

 private:
  TempDevice temp_;
  std::unique_ptr<PhoneScreen> screen_;
};

}  // namespace brevalo::testing
