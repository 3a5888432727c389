// The parts of the phone screen that only draw what the screen holds: the status strip, the
// soft-key bar, open popup menus and message boxes.
#pragma once

#include <QWidget>

#include <vector>

#include "ui/phone_screen.h"

namespace brevalo {

class StatusStripView : public QWidget {
 public:
  StatusStripView(PhoneScreen& screen, QWidget* parent) : QWidget(parent), screen_(screen) {}
 protected:
  void paintEvent(QPaintEvent* event) override;
 private:
  PhoneScreen& screen_;
};

class SoftKeyBarView : public QWidget {
 public:
  SoftKeyBarView(PhoneScreen& screen, QWidget* parent) : QWidget(parent), screen_(screen) {}
 protected:
  void paintEvent(QPaintEvent* event) override;
 private:
  PhoneScreen& screen_;
};

// Every open level of a popup, cascading up and inwards from the soft key that opened it.
class MenuView : public QWidget {
 public:
  MenuView(PhoneScreen& screen, QWidget* parent);
  // Sizes and places itself over the stack area for the open levels.
  void Place(bool left);
  static constexpr int kRowHeight = 22;
  static constexpr int kSeparatorHeight = 7;
 protected:
  void paintEvent(QPaintEvent* event) override;
 private:
  QRect LevelRect(size_t level) const;
  // How far the rows of a level taller than the screen are scrolled, moved just enough to keep
  // the selected row in sight; kept per level so that going up does not jump the list.
  int ScrollFor(size_t level, const QRect& r);
  void PaintLevel(QPainter& p, size_t level, const QRect& r);
  PhoneScreen& screen_;
  bool left_ = true;
  std::vector<int> scroll_;
};

// A message box over the window stack. A text longer than the screen allows is moved by whole
// lines with Up and Down; arrows at the text's edge show that more lies above or below.
class MessageBoxView : public QWidget {
 public:
  MessageBoxView(const MessageBoxState& state, QWidget* parent);
  // Moves the text by `lines` (negative: back up), kept within the text; false when it could
  // not move.
  bool ScrollLines(int lines);
 protected:
  void paintEvent(QPaintEvent* event) override;
 private:
  struct Layout {
    QRect box;
    QRect caption;
    QRect text;        // where the text shows
    int textHeight;    // all of it, wrapped
    int lineHeight;
  };
  Layout Measure() const;
  const MessageBoxState& state_;
  int scrolledLines_ = 0;
};

}  // namespace brevalo
