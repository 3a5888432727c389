// The hint window of the program's lists: a borderless pale-yellow box with one centred text,
// shown just above a row and gone 3000 ms after it was last shown. It never takes the keys.
// The screen dump reports its text as the screen's hint.
#pragma once

#include <QLabel>
#include <QTimer>

namespace brevalo {

class PhoneScreen;

class HintWindow : public QLabel {
 public:
  static constexpr int kShowMs = 3000;

  explicit HintWindow(PhoneScreen& screen);

  // `row` is the row's rectangle in the window area; the hint sits on top of it, or below it
  // when there is no room above.
  void ShowAbove(const QString& text, const QRect& row);
  QString ShownText() const { return isVisible() ? text() : QString(); }

 private:
  QTimer timer_;
};

}  // namespace brevalo
