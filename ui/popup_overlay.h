// The pop-up slot above the windows (the alert pop-up uses it): a picture cut to a shape with
// a QRegion mask, shown over whatever is on screen, the home screen included, without ever
// taking the focus, so that the keys keep going where they went before it showed.
#pragma once

#include <QPixmap>
#include <QRegion>
#include <QWidget>

namespace brevalo {

class PhoneScreen;

class PopupOverlay : public QWidget {
  Q_OBJECT

 public:
  explicit PopupOverlay(PhoneScreen& screen);

  // `shape` is in the picture's coordinates; an empty shape shows the whole picture. `text` is
  // what the screen dump reports as the pop-up's content; the property "phonePopupFields" (a
  // map of texts) adds further fields to it.
  void SetContent(const QPixmap& picture, const QRegion& shape, const QString& text);
  // Shows the pop-up with its top left corner at `topLeft` of the window area.
  void ShowAt(const QPoint& topLeft);
  void Dismiss() { hide(); }
  QString Text() const;

 Q_SIGNALS:
  void Tapped();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  QPixmap picture_;
};

}  // namespace brevalo
