#include "ui/popup_overlay.h"

#include <QPainter>

#include "ui/phone_screen.h"

namespace brevalo {

PopupOverlay::PopupOverlay(PhoneScreen& screen) {
  screen.AddOverlay(this);
  hide();
}

void PopupOverlay::SetContent(const QPixmap& picture, const QRegion& shape, const QString& text) {
  picture_ = picture;
  resize(picture.size());
  if (shape.isEmpty()) clearMask();
  else setMask(shape);
  setProperty("phonePopupText", text);
  update();
}

void PopupOverlay::ShowAt(const QPoint& topLeft) {
  move(topLeft);
  show();
  raise();
}

QString PopupOverlay::Text() const { return property("phonePopupText").toString(); }

void PopupOverlay::mousePressEvent(QMouseEvent*) { Q_EMIT Tapped(); }

void PopupOverlay::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.drawPixmap(0, 0, picture_);
}

}  // namespace brevalo
