#include "ui/artwork.h"

#include <QPainter>
#include <QPainterPath>

#include "ui/window_messages.h"

namespace brevalo {
namespace {

QPixmap Blank(int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  return pixmap;
}

// An envelope: the program's mark.
void DrawEnvelope(QPainter& p, QRectF r, QColor body, QColor flap) {
  p.setPen(QPen(flap.darker(140), 1));
  p.setBrush(body);
  p.drawRoundedRect(r, 1.5, 1.5);
  QPainterPath fold;
  fold.moveTo(r.topLeft());
  fold.lineTo(r.center().x(), r.top() + r.height() * 0.6);
  fold.lineTo(r.topRight());
  p.setBrush(flap);
  p.drawPath(fold);
}

void DrawGlyph(QPainter& p, const QRectF& r, const QString& glyph, QColor color) {
  QFont font = p.font();
  font.setBold(true);
  font.setPixelSize(static_cast<int>(r.height() * 0.7));
  p.setFont(font);
  p.setPen(color);
  p.drawText(r, Qt::AlignCenter, glyph);
}

}  // namespace

QPixmap TrayIconPixmap(int resourceId, int size) {
  QPixmap pixmap = Blank(size);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  QRectF r(1, size * 0.2, size - 2, size * 0.6);
  if (resourceId == kTrayIconProgram) {
    DrawEnvelope(p, r, QColor(250, 250, 240), QColor(46, 111, 219));
  } else if (resourceId == kTrayIconUnread) {
    DrawEnvelope(p, r, QColor(255, 236, 170), QColor(214, 120, 20));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(220, 40, 40));
    p.drawEllipse(QRectF(size * 0.55, 0, size * 0.45, size * 0.45));
  } else {
    p.setPen(QPen(QColor(90, 90, 90), 1));
    p.setBrush(QColor(200, 200, 200));
    p.drawRoundedRect(QRectF(1, 1, size - 2, size - 2), 3, 3);
    DrawGlyph(p, QRectF(0, 0, size, size), QString::number(resourceId % 100), QColor(40, 40, 40));
  }
  return pixmap;
}

QPixmap MessageBoxIconPixmap(uint32_t flags, int size) {
  uint32_t icon = flags & 0xF0;
  if (icon == 0) return {};
  QPixmap pixmap = Blank(size);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  QRectF r(1, 1, size - 2, size - 2);
  if (icon == MB_ICONWARNING) {
    QPainterPath triangle;
    triangle.moveTo(r.center().x(), r.top());
    triangle.lineTo(r.bottomRight());
    triangle.lineTo(r.bottomLeft());
    triangle.closeSubpath();
    p.setPen(QPen(QColor(120, 90, 0), 1));
    p.setBrush(QColor(250, 200, 40));
    p.drawPath(triangle);
    DrawGlyph(p, r.adjusted(0, r.height() * 0.2, 0, 0), "!", Qt::black);
    return pixmap;
  }
  QColor fill = icon == MB_ICONERROR ? QColor(200, 30, 30)
                : icon == MB_ICONQUESTION ? QColor(40, 110, 210) : QColor(40, 150, 90);
  QString glyph = icon == MB_ICONERROR ? "x" : icon == MB_ICONQUESTION ? "?" : "i";
  p.setPen(QPen(fill.darker(150), 1));
  p.setBrush(fill);
  p.drawEllipse(r);
  DrawGlyph(p, r, glyph, Qt::white);
  return pixmap;
}

}  // namespace brevalo
