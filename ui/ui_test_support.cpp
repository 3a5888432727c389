#include "ui/ui_test_support.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include "ui/screen_dump.h"

namespace brevalo::testing {

void EnsureApplication() {
  static int argc = 1;
  static char name[] = "ui_test";
  static char* argv[] = {name, nullptr};
  if (!QApplication::instance()) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    new QApplication(argc, argv);
  }
}

bool RunUntil(const std::function<bool()>& done, int timeoutMs) {
  QElapsedTimer timer;
  timer.start();
  while (!done()) {
    if (timer.elapsed() > timeoutMs) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  }
  return true;
}

void Drain() {
  for (int i = 0; i < 5; ++i) QCoreApplication::processEvents(QEventLoop::AllEvents);
}

nlohmann::json ShownControl(const PhoneScreen& screen, int id) {
  const nlohmann::json shown = DumpScreen(screen);
  for (const nlohmann::json& control : shown["controls"]) {
    if (control["id"] == id) return control;
  }
  return nullptr;
}

void WhenReady(std::function<bool()> ready, std::function<void()> action) {
  auto* timer = new QTimer;
  QObject::connect(timer, &QTimer::timeout, timer, [timer, ready, action] {
    if (!ready()) return;
    timer->stop();
    timer->deleteLater();
    action();
  });
  timer->start(5);
}

ScreenFixture::ScreenFixture() {
  EnsureApplication();
  screen_ = std::make_unique<PhoneScreen>(temp_.device());
  screen_->show();
}

ScreenFixture::~ScreenFixture() { screen_.reset(); }

intptr_t RecordingWindow::WindowProc(uint32_t message, uintptr_t wParam, intptr_t lParam) {
  RecordedMessage record{message, wParam, lParam, {}};
  if (message == WM_NOTIFY) record.notification = *reinterpret_cast<const Notification*>(lParam);
  messages.push_back(record);
  return onMessage ? onMessage(message, wParam, lParam) : 0;
}

std::vector<int> RecordingWindow::Commands() const {
  std::vector<int> ids;
  for (const RecordedMessage& m : messages) {
    if (m.message == WM_COMMAND) ids.push_back(LowWord(m.wParam));
  }
  return ids;
}

std::vector<RecordedMessage> RecordingWindow::Of(uint32_t message) const {
  std::vector<RecordedMessage> out;
  for (const RecordedMessage& m : messages) {
    if (m.message == message) out.push_back(m);
  }
  return out;
}

}  // namespace brevalo::testing

// Under the leak checker: the font library keeps its caches until the process ends, which the
// checker would report as ours; everything else it finds still fails the tests.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so"; }
