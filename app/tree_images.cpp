#include "app/tree_images.h"

#include <QBitmap>
#include <QPainter>
#include <QPolygon>

#include <array>

namespace brevalo {
namespace {

// Without antialiasing: a blended edge would mix with the magenta and show as a pink fringe.
void Page(QPainter& p) {
  p.setPen(QColor(90, 90, 90));
  p.setBrush(Qt::white);
  p.drawPolygon(QPolygon({{3, 1}, {10, 1}, {13, 4}, {13, 14}, {3, 14}}));
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(230, 170, 0));
  p.drawPolygon(QPolygon({{9, 3}, {5, 9}, {8, 9}, {6, 13}, {11, 7}, {8, 7}, {10, 3}}));
}

void Folder(QPainter& p) {
  p.setPen(QColor(150, 110, 0));
  p.setBrush(QColor(240, 200, 60));
  p.drawPolygon(QPolygon({{1, 3}, {6, 3}, {7, 5}, {14, 5}, {14, 13}, {1, 13}}));
  p.setBrush(QColor(255, 222, 100));
  p.drawRect(1, 6, 13, 7);
}

void ClosedEnvelope(QPainter& p) {
  p.setPen(QColor(60, 70, 110));
  p.setBrush(QColor(250, 250, 235));
  p.drawRect(1, 4, 13, 9);
  p.drawPolyline(QPolygon({{1, 4}, {8, 10}, {14, 4}}));
}

void OpenEnvelope(QPainter& p) {
  p.setPen(QColor(110, 110, 110));
  p.setBrush(QColor(235, 235, 225));
  p.drawPolygon(QPolygon({{1, 7}, {8, 2}, {14, 7}, {14, 14}, {1, 14}}));
  p.setBrush(Qt::white);
  p.drawRect(4, 5, 7, 5);
  p.drawPolyline(QPolygon({{1, 7}, {8, 12}, {14, 7}}));
}

void RecycleBin(QPainter& p, bool full) {
  p.setPen(QColor(60, 80, 90));
  p.setBrush(QColor(170, 200, 215));
  p.drawPolygon(QPolygon({{3, 4}, {12, 4}, {11, 14}, {4, 14}}));
  p.drawRect(2, 2, 11, 2);
  for (int x : {6, 9}) p.drawLine(x, 6, x, 12);
  if (!full) return;
  p.setPen(QColor(40, 120, 40));
  p.setBrush(QColor(90, 190, 90));
  p.drawPolygon(QPolygon({{4, 3}, {7, 0}, {11, 1}, {12, 3}}));
  p.setBrush(Qt::white);
  p.setPen(QColor(120, 120, 120));
  p.drawRect(6, 0, 3, 3);
}

void GoUp(QPainter& p) {
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(40, 40, 40));
  p.drawRect(3, 10, 3, 3);
  p.drawRect(9, 10, 3, 3);
}

}  // namespace

QImage TreeImageStrip() {
  QImage strip(kTreeImageSize * kTreeImageCount, kTreeImageSize, QImage::Format_RGB32);
  strip.fill(kTreeImageMask);
  QPainter p(&strip);
  p.setRenderHint(QPainter::Antialiasing, false);
  for (int index = 0; index < kTreeImageCount; ++index) {
    p.save();
    p.translate(index * kTreeImageSize, 0);
    switch (index) {
      case 0: Page(p); break;
      case 1: Folder(p); break;
      case 2: OpenEnvelope(p); break;
      case 3: ClosedEnvelope(p); break;
      case 4: RecycleBin(p, false); break;
      case 5: RecycleBin(p, true); break;
      default: GoUp(p); break;
    }
    p.restore();
  }
  return strip;
}

const QPixmap& TreeImage(int index) {
  static const std::array<QPixmap, kTreeImageCount> images = [] {
    std::array<QPixmap, kTreeImageCount> cut;
    QImage strip = TreeImageStrip();
    for (int i = 0; i < kTreeImageCount; ++i) {
      QImage one = strip.copy(i * kTreeImageSize, 0, kTreeImageSize, kTreeImageSize);
      QPixmap pixmap = QPixmap::fromImage(one);
      pixmap.setMask(QBitmap::fromImage(one.createMaskFromColor(kTreeImageMask, Qt::MaskInColor)));
      cut[static_cast<size_t>(i)] = pixmap;
    }
    return cut;
  }();
  static const QPixmap none;
  if (index < 0 || index >= kTreeImageCount) return none;
  return images[static_cast<size_t>(index)];
}

}  // namespace brevalo
