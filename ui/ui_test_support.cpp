#include "ui/ui_test_support.h"

#include <QApplication>
#include <QElapsedTimer>

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

ScreenFixture::ScreenFixture() {
  EnsureApplication();
  screen_ = std::make_unique<PhoneScreen>(temp_.device());
  screen_->show();
}

ScreenFixture::~ScreenFixture() { screen_.reset(); }

}  // namespace brevalo::testing
