#include "ui/home_screen.h"

#include <QDateTime>
#include <QLinearGradient>
#include <QPainter>

#include "ui/artwork.h"
#include "ui/phone_screen.h"

namespace brevalo {

HomeScreen::HomeScreen(PhoneScreen& screen, QWidget* parent)
    : QWidget(parent), screen_(screen), plugin_(screen.DeviceFolder()) {
  // The count may change in another process at any time; a second is what the plug-in polls.
  connect(&tick_, &QTimer::timeout, this, [this] { update(); });
  tick_.start(1000);
}

QString HomeScreen::ClockText() const { return QTime::currentTime().toString("HH:mm"); }

QString HomeScreen::UnreadText() const {
  std::optional<std::u16string> line = plugin_.Line();
  return line ? QString::fromStdU16String(*line) : QString();
}

bool HomeScreen::PluginAction() { return !UnreadText().isEmpty() && plugin_.Action(); }

void HomeScreen::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient sky(0, 0, 0, height());
  sky.setColorAt(0, QColor(28, 64, 120));
  sky.setColorAt(1, QColor(12, 24, 48));
  p.fillRect(rect(), sky);

  QFont clockFont = font();
  clockFont.setPixelSize(48);
  clockFont.setBold(true);
  p.setFont(clockFont);
  p.setPen(Qt::white);
  p.drawText(QRect(0, 20, width(), 60), Qt::AlignCenter, ClockText());
  QFont small = font();
  small.setPixelSize(13);
  p.setFont(small);
  p.drawText(QRect(0, 80, width(), 20), Qt::AlignCenter, QDate::currentDate().toString("dddd, d MMMM"));

  QString unread = UnreadText();
  if (!unread.isEmpty()) {
    QRect band(10, 120, width() - 20, 28);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 40));
    p.drawRoundedRect(band, 5, 5);
    if (pluginSelected_) {
      p.setPen(QPen(QColor(255, 210, 80), 2));
      p.setBrush(Qt::NoBrush);
      p.drawRoundedRect(band.adjusted(-1, -1, 1, 1), 5, 5);
    }
    p.drawPixmap(band.left() + 6, band.top() + 6, TrayIconPixmap(kTrayIconUnread, 16));
    p.setPen(Qt::white);
    p.drawText(band.adjusted(30, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft, unread);
  }

  const auto& icons = screen_.TrayIcons();
  int x = 12;
  int y = height() - 44;
  for (size_t i = 0; i < icons.size(); ++i) {
    QRect cell(x, y, 32, 32);
    if (static_cast<int>(i) == screen_.HomeTraySelection()) {
      p.setPen(QPen(QColor(255, 210, 80), 2));
      p.setBrush(Qt::NoBrush);
      p.drawRoundedRect(cell.adjusted(-2, -2, 2, 2), 4, 4);
    }
    p.drawPixmap(cell.adjusted(4, 4, -4, -4), TrayIconPixmap(icons[i].icon, 24));
    x += 40;
  }
  if (screen_.HomeTraySelection() >= 0 &&
      screen_.HomeTraySelection() < static_cast<int>(icons.size())) {
    p.setPen(QColor(220, 220, 220));
    p.drawText(QRect(0, y - 22, width(), 18), Qt::AlignCenter,
               QString::fromStdU16String(icons[screen_.HomeTraySelection()].tip));
  }
}

}  // namespace brevalo
