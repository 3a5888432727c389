// The phone's home screen, shown while no program window is: the clock and date, the tray
// icons (Left/Right pick one, Action taps it), and the unread count that the home-screen
// plug-in shows from "KVT_SmsCount".
#pragma once

#include <QTimer>
#include <QWidget>

namespace brevalo {

class PhoneScreen;

class HomeScreen : public QWidget {
  Q_OBJECT

 public:
  explicit HomeScreen(PhoneScreen& screen, QWidget* parent);
  QString ClockText() const;
  QString UnreadText() const;  // empty while no program publishes the count

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  PhoneScreen& screen_;
  QTimer tick_;
};

}  // namespace brevalo
