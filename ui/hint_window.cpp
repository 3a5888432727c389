#include "ui/hint_window.h"

#include <algorithm>

#include "ui/phone_screen.h"

namespace brevalo {

HintWindow::HintWindow(PhoneScreen& screen) {
  setObjectName("phoneListHint");
  setAlignment(Qt::AlignCenter);
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setStyleSheet("QLabel#phoneListHint { background: rgb(255, 255, 231); color: black;"
                " border: none; padding: 1px 4px; }");
  screen.AddOverlay(this);
  hide();
  timer_.setSingleShot(true);
  connect(&timer_, &QTimer::timeout, this, [this] {
    hide();
    setProperty("phoneHintText", QVariant());
  });
}

void HintWindow::ShowAbove(const QString& text, const QRect& row) {
  setText(text);
  adjustSize();
  const int room = parentWidget() ? parentWidget()->width() : sizeHint().width();
  const int shownWidth = std::min(sizeHint().width(), room);
  resize(shownWidth, sizeHint().height());
  const int x = std::clamp(row.center().x() - shownWidth / 2, 0, std::max(room - shownWidth, 0));
  int y = row.top() - height();
  if (y < 0) y = row.bottom() + 1;
  move(x, y);
  setProperty("phoneHintText", text);
  show();
  raise();
  timer_.start(kShowMs);
}

}  // namespace brevalo
