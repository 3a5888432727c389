#include "filter/filter_icons.h"

#include <QBitmap>
#include <QPainter>
#include <QPainterPath>

#include <array>

#include "filter/filter_list_editor.h"

namespace brevalo {
namespace {

const QColor kMask(255, 0, 255);
const QColor kInk(0x30, 0x30, 0x30);

void Box(QPainter& p, bool ticked) {
  p.setPen(QPen(kInk, 1));
  p.setBrush(Qt::white);
  p.drawRect(2, 2, 11, 11);
  if (!ticked) return;
  p.setPen(QPen(QColor(0, 0x80, 0), 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawPolyline(QPolygon({QPoint(4, 8), QPoint(7, 11), QPoint(12, 4)}));
}

void Speaker(QPainter& p) {
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0x20, 0x50, 0xB0));
  p.drawPolygon(QPolygon({QPoint(1, 6), QPoint(4, 6), QPoint(8, 2), QPoint(8, 14), QPoint(4, 10), QPoint(1, 10)}));
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(QColor(0x20, 0x50, 0xB0), 1.5));
  p.drawArc(QRect(7, 5, 5, 6), -60 * 16, 120 * 16);
  p.drawArc(QRect(8, 2, 7, 12), -60 * 16, 120 * 16);
}

void Envelope(QPainter& p, const QColor& colour) {
  p.setPen(QPen(kInk, 1));
  p.setBrush(colour);
  p.drawRect(1, 4, 13, 9);
  p.drawPolyline(QPolygon({QPoint(1, 4), QPoint(8, 9), QPoint(14, 4)}));
}

void HiddenMessage(QPainter& p) {
  Envelope(p, QColor(0xFF, 0xF4, 0xC0));
  p.setPen(QPen(QColor(0xD0, 0, 0), 2, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(3, 3, 13, 14);
}

void Vibration(QPainter& p) {
  p.setPen(QPen(kInk, 1));
  p.setBrush(QColor(0x90, 0x90, 0x90));
  p.drawRoundedRect(QRectF(5.5, 1.5, 5, 13), 1.5, 1.5);
  p.setPen(QPen(QColor(0xD0, 0x40, 0), 1.2));
  p.drawPolyline(QPolygon({QPoint(3, 4), QPoint(1, 6), QPoint(3, 8), QPoint(1, 10), QPoint(3, 12)}));
  p.drawPolyline(QPolygon({QPoint(13, 4), QPoint(15, 6), QPoint(13, 8), QPoint(15, 10), QPoint(13, 12)}));
}

void Arrow(QPainter& p, bool back) {
  p.setPen(QPen(QColor(0, 0x70, 0x30), 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(Qt::NoBrush);
  QPainterPath path;
  if (back) {
    path.moveTo(14, 13);
    path.cubicTo(14, 6, 9, 5, 4, 5);
    p.drawPath(path);
    p.drawPolyline(QPolygon({QPoint(7, 2), QPoint(3, 5), QPoint(7, 8)}));
  } else {
    p.drawLine(2, 8, 13, 8);
    p.drawPolyline(QPolygon({QPoint(9, 4), QPoint(13, 8), QPoint(9, 12)}));
  }
}

void Photo(QPainter& p) {
  p.setPen(QPen(kInk, 1));
  p.setBrush(QColor(0xA8, 0xD8, 0xF0));
  p.drawRect(1, 2, 13, 11);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0x30, 0x90, 0x30));
  p.drawPolygon(QPolygon({QPoint(2, 12), QPoint(6, 6), QPoint(9, 10), QPoint(11, 8), QPoint(14, 12)}));
  p.setBrush(QColor(0xF0, 0xC0, 0x20));
  p.drawEllipse(QPoint(11, 5), 2, 2);
}

void Bell(QPainter& p) {
  p.setPen(QPen(kInk, 1));
  p.setBrush(QColor(0xF0, 0xC0, 0x20));
  QPainterPath bell;
  bell.moveTo(3, 12);
  bell.cubicTo(4, 10, 4, 3, 8, 3);
  bell.cubicTo(12, 3, 12, 10, 13, 12);
  bell.closeSubpath();
  p.drawPath(bell);
  p.drawEllipse(QPoint(8, 13), 1, 1);
}

QImage DrawStrip() {
  QImage strip(kFilterIconSize * kFilterListImageCount, kFilterIconSize, QImage::Format_RGB32);
  strip.fill(kMask);
  QPainter p(&strip);
  auto cell = [&](int image, auto draw) {
    p.save();
    p.translate(image * kFilterIconSize, 0);
    p.setClipRect(0, 0, kFilterIconSize, kFilterIconSize);
    draw();
    p.restore();
  };
  // Drawn without smoothing, so that no edge pixel is a blend of magenta and the ink.
  cell(kImageDisabled, [&] { Box(p, false); });
  cell(kImageEnabled, [&] { Box(p, true); });
  cell(kImageSound, [&] { Speaker(p); });
  cell(kImageHideInInbox, [&] { HiddenMessage(p); });
  cell(kImageVibrate, [&] { Vibration(p); });
  cell(kImageAutoReply, [&] { Arrow(p, true); });
  cell(kImagePhoto, [&] { Photo(p); });
  cell(kImageAutoForward, [&] { Arrow(p, false); });
  cell(kImageUnreadAlert, [&] { Bell(p); });
  return strip;
}

}  // namespace

const QImage& FilterIconStrip() {
  static const QImage strip = DrawStrip();
  return strip;
}

const QPixmap& FilterIcon(int image) {
  static const std::array<QPixmap, kFilterListImageCount> icons = [] {
    std::array<QPixmap, kFilterListImageCount> cells;
    for (int i = 0; i < kFilterListImageCount; ++i) {
      QImage cell = FilterIconStrip().copy(i * kFilterIconSize, 0, kFilterIconSize, kFilterIconSize);
      QPixmap pixmap = QPixmap::fromImage(cell);
      pixmap.setMask(QBitmap::fromImage(cell.createMaskFromColor(kMask.rgb(), Qt::MaskInColor)));
      cells[static_cast<size_t>(i)] = pixmap;
    }
    return cells;
  }();
  static const QPixmap none;
  if (image < 0 || image >= kFilterListImageCount) return none;
  return icons[static_cast<size_t>(image)];
}

}  // namespace brevalo
