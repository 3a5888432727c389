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

class MessageBoxView : public QWidget {
 public:
  MessageBoxView(const MessageBoxState& state, QWidget* parent);
 protected:
  void paintEvent(QPaintEvent* event) override;
 private:
  const MessageBoxState& state_;
};

}  // namespace brevalo
