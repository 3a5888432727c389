// What the window-system tests share: one QApplication for the test program, a throw-away
// device with its screen, a window that records its messages, and loops that run posted
// events until a condition holds.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include <nlohmann/json.hpp>

#include "device/kernel_test_support.h"
#include "ui/phone_screen.h"
#include "ui/phone_window.h"

namespace brevalo::testing {

// Creates the application on first use (offscreen platform).
void EnsureApplication();

// Runs the event loop until `done` or `timeoutMs` has passed; returns done().
bool RunUntil(const std::function<bool()>& done, int timeoutMs = 3000);
// Runs every event that is waiting now, and those they post.
void Drain();
// Runs `action` from the event loop once `ready` holds, checking every few milliseconds: the
// keys for a modal window that the test is about to open and wait in.
void WhenReady(std::function<bool()> ready, std::function<void()> action);
// The screen dump's entry for the top window's control `id`; null when there is none.
nlohmann::json ShownControl(const PhoneScreen& screen, int id);

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

struct RecordedMessage {
  uint32_t message;
  uintptr_t wParam;
  intptr_t lParam;
  Notification notification;  // a copy of what WM_NOTIFY pointed to
};

// A window that records every message its procedure gets; `onMessage` may answer them.
class RecordingWindow : public PhoneWindow {
 public:
  explicit RecordingWindow(PhoneScreen& screen, const QString& title = "Test")
      : PhoneWindow(screen, title) {}
  intptr_t WindowProc(uint32_t message, uintptr_t wParam, intptr_t lParam) override;

  std::vector<int> Commands() const;  // the identifiers of WM_COMMAND, in order
  std::vector<RecordedMessage> Of(uint32_t message) const;
  void Clear() { messages.clear(); }

  std::vector<RecordedMessage> messages;
  std::function<intptr_t(uint32_t, uintptr_t, intptr_t)> onMessage;
};

}  // namespace brevalo::testing
