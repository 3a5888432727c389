#include "ui/screen_views.h"

#include <QDateTime>
#include <QPainter>
#include <QPolygon>
#include <QTextDocument>
#include <QTextOption>

#include <algorithm>

#include "ui/artwork.h"
#include "ui/menu_colors.h"
#include "ui/phone_window.h"

namespace brevalo {
namespace {

const QColor kBarTop(58, 64, 78);
const QColor kBarBottom(30, 33, 40);
const QColor kHighlight = kMenuHighlight;
constexpr int kSubmenuOverlap = 12;

void FillBar(QPainter& p, const QRect& r) {
  QLinearGradient shade(r.topLeft(), r.bottomLeft());
  shade.setColorAt(0, kBarTop);
  shade.setColorAt(1, kBarBottom);
  p.fillRect(r, shade);
}

int MenuWidth(const PopupMenu& menu, const QFontMetrics& metrics) {
  int width = 90;
  for (const MenuItem& item : menu.Items()) {
    width = std::max(width, metrics.horizontalAdvance(QString::fromStdU16String(item.text)) + 44);
  }
  return width;
}

int ItemHeight(const MenuItem& item) {
  return item.separator ? MenuView::kSeparatorHeight : MenuView::kRowHeight;
}

int MenuHeight(const PopupMenu& menu) {
  int height = 4;
  for (const MenuItem& item : menu.Items()) height += ItemHeight(item);
  return height;
}

// The top of row `row` measured from the first row.
int RowOffset(const PopupMenu& menu, int row) {
  int y = 0;
  for (int j = 0; j < row; ++j) y += ItemHeight(menu.Items()[j]);
  return y;
}

// Menus are measured and drawn in the same font, so that the longest text fits its row.
QFont MenuFont() {
  QFont font;
  font.setPixelSize(13);
  return font;
}

void DrawScrollMark(QPainter& p, const QRect& r, bool top) {
  QPoint c(r.center().x(), top ? r.top() + 4 : r.bottom() - 4);
  int dy = top ? -2 : 2;
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(70, 70, 80));
  p.drawPolygon(QPolygon({c + QPoint(-5, -dy), c + QPoint(5, -dy), c + QPoint(0, dy)}));
}

}  // namespace

void StatusStripView::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  FillBar(p, rect());
  QFont font = p.font();
  font.setPixelSize(12);
  font.setBold(true);
  p.setFont(font);
  p.setPen(Qt::white);
  QString clock = QTime::currentTime().toString("HH:mm");
  int right = width() - 4;
  int clockWidth = p.fontMetrics().horizontalAdvance(clock);
  p.drawText(QRect(right - clockWidth, 0, clockWidth, height()), Qt::AlignVCenter, clock);
  right -= clockWidth + 6;
  if (std::optional<InputMode> mode = screen_.ShownInputMode()) {
    QString label = QString::fromStdU16String(std::u16string(InputModeLabel(*mode)));
    int w = p.fontMetrics().horizontalAdvance(label) + 6;
    QRect box(right - w, 3, w, height() - 6);
    p.setPen(QColor(200, 220, 255));
    p.drawRoundedRect(box, 2, 2);
    p.drawText(box, Qt::AlignCenter, label);
    right -= w + 4;
  }
  for (auto it = screen_.TrayIcons().rbegin(); it != screen_.TrayIcons().rend(); ++it) {
    right -= 16;
    p.drawPixmap(right, (height() - 14) / 2, TrayIconPixmap(it->icon, 14));
    right -= 2;
  }
  PhoneWindow* top = screen_.HomeShowing() ? nullptr : screen_.TopWindow();
  QString title = top ? top->Title() : QString();
  p.setPen(Qt::white);
  QRect titleRect(4, 0, std::max(0, right - 8), height());
  p.drawText(titleRect, Qt::AlignVCenter | Qt::AlignLeft,
             p.fontMetrics().elidedText(title, Qt::ElideRight, titleRect.width()));
}

void SoftKeyBarView::paintEvent(QPaintEvent*) {
  QPainter p(this);
  FillBar(p, rect());
  QFont font = p.font();
  font.setPixelSize(13);
  font.setBold(true);
  p.setFont(font);
  p.setPen(QColor(90, 96, 110));
  p.drawLine(width() / 2, 4, width() / 2, height() - 4);
  for (bool left : {true, false}) {
    SoftKey key = screen_.ShownSoftKey(left);
    QRect half = left ? QRect(0, 0, width() / 2, height()) : QRect(width() / 2, 0, width() / 2, height());
    bool open = screen_.OpenMenu() && screen_.menuLeft_ == left;
    if (open) p.fillRect(half.adjusted(2, 2, -2, -2), kHighlight);
    p.setPen(key.enabled ? Qt::white : QColor(120, 120, 120));
    p.drawText(half, Qt::AlignCenter, QString::fromStdU16String(key.label));
  }
}

MenuView::MenuView(PhoneScreen& screen, QWidget* parent) : QWidget(parent), screen_(screen) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
  hide();
}

QRect MenuView::LevelRect(size_t level) const {
  const MenuNavigator* menu = screen_.OpenMenu();
  const auto& levels = menu->Levels();
  QFontMetrics metrics(MenuFont());
  QRect area = rect();
  int bottom = area.bottom();
  int x = left_ ? area.left() : area.right();
  QRect r;
  for (size_t i = 0; i <= level; ++i) {
    int w = std::min(MenuWidth(*levels[i].menu, metrics), area.width() - 8);
    int h = std::min(MenuHeight(*levels[i].menu), area.height());
    if (i == 0) {
      r = left_ ? QRect(x, bottom - h + 1, w, h) : QRect(x - w + 1, bottom - h + 1, w, h);
    } else {
      // A submenu opens beside the row that holds it, towards the middle of the screen,
      // overlapping its parent only a little so that the chosen row stays readable.
      int scrolled = i - 1 < scroll_.size() ? scroll_[i - 1] : 0;
      int rowTop = r.top() + 2 + RowOffset(*levels[i - 1].menu, levels[i - 1].selected) - scrolled;
      int nx = left_ ? std::min(r.right() - kSubmenuOverlap, area.right() - w + 1)
                     : std::max(r.left() + kSubmenuOverlap - w, area.left());
      int ny = std::clamp(rowTop, area.top(), bottom - h + 1);
      r = QRect(nx, ny, w, h);
    }
  }
  return r;
}

void MenuView::Place(bool left) {
  left_ = left;
  if (!screen_.OpenMenu()) {
    scroll_.clear();
    hide();
    return;
  }
  show();
  raise();
  update();
}

int MenuView::ScrollFor(size_t level, const QRect& r) {
  const auto& open = screen_.OpenMenu()->Levels()[level];
  if (scroll_.size() <= level) scroll_.resize(level + 1, 0);
  int visible = r.height() - 4;
  int content = MenuHeight(*open.menu) - 4;
  int& scroll = scroll_[level];
  if (content <= visible) return scroll = 0;
  if (open.selected >= 0) {
    int top = RowOffset(*open.menu, open.selected);
    int bottom = top + ItemHeight(open.menu->Items()[open.selected]);
    if (top < scroll) scroll = top;
    if (bottom > scroll + visible) scroll = bottom - visible;
  }
  return scroll = std::clamp(scroll, 0, content - visible);
}

void MenuView::paintEvent(QPaintEvent*) {
  const MenuNavigator* menu = screen_.OpenMenu();
  if (!menu) return;
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  p.setFont(MenuFont());
  scroll_.resize(menu->Levels().size(), 0);
  for (size_t i = 0; i < menu->Levels().size(); ++i) PaintLevel(p, i, LevelRect(i));
}

void MenuView::PaintLevel(QPainter& p, size_t level, const QRect& r) {
  const auto& open = screen_.OpenMenu()->Levels()[level];
  int scroll = ScrollFor(level, r);
  p.setPen(QColor(70, 70, 80));
  p.setBrush(kMenuBackground);
  p.drawRect(r.adjusted(0, 0, -1, -1));
  p.save();
  p.setClipRect(r.adjusted(1, 2, -1, -2));
  int y = r.top() + 2 - scroll;
  const auto& items = open.menu->Items();
  for (size_t j = 0; j < items.size(); ++j) {
    const MenuItem& item = items[j];
    if (item.separator) {
      p.setPen(QColor(190, 190, 196));
      p.drawLine(r.left() + 6, y + kSeparatorHeight / 2, r.right() - 6, y + kSeparatorHeight / 2);
      y += kSeparatorHeight;
      continue;
    }
    QRect row(r.left() + 2, y, r.width() - 4, kRowHeight);
    bool selected = static_cast<int>(j) == open.selected;
    const MenuRowColors colors = MenuRowColorsFor(item.enabled, selected);
    if (selected) p.fillRect(row, colors.background);
    QColor text = colors.text;
    p.setPen(text);
    p.setBrush(text);
    if (item.checked && item.radio) {
      p.drawEllipse(QPoint(row.left() + 9, row.center().y() + 1), 3, 3);
    } else if (item.checked) {
      p.setBrush(Qt::NoBrush);
      p.setPen(QPen(text, 2));
      p.drawPolyline(QPolygon({QPoint(row.left() + 5, row.center().y()),
                               QPoint(row.left() + 8, row.center().y() + 4),
                               QPoint(row.left() + 14, row.center().y() - 4)}));
      p.setPen(text);
    }
    p.drawText(row.adjusted(20, 0, -14, 0), Qt::AlignVCenter | Qt::AlignLeft,
               QString::fromStdU16String(item.text));
    if (item.submenu) {
      QPoint c(row.right() - 7, row.center().y());
      p.drawPolygon(QPolygon({c + QPoint(-3, -4), c + QPoint(2, 0), c + QPoint(-3, 4)}));
    }
    y += kRowHeight;
  }
  p.restore();
  if (scroll > 0) DrawScrollMark(p, r, true);
  if (y - 1 > r.bottom() - 2) DrawScrollMark(p, r, false);  // rows beyond the last visible line
}

MessageBoxView::MessageBoxView(const MessageBoxState& state, QWidget* parent)
    : QWidget(parent), state_(state) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
}

namespace {

QFont MessageBoxFont(const QFont& base) {
  QFont font = base;
  font.setPixelSize(13);
  return font;
}

// Words break at blanks; a word wider than the box (a long path) breaks anywhere rather than
// running out of sight.
QTextOption MessageBoxTextOption() {
  QTextOption option(Qt::AlignLeft | Qt::AlignTop);
  option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  return option;
}

}  // namespace

MessageBoxView::Layout MessageBoxView::Measure() const {
  Layout layout;
  QFontMetrics metrics(MessageBoxFont(font()));
  layout.lineHeight = metrics.lineSpacing();
  QRect box = rect().adjusted(10, 0, -10, 0);
  const bool hasIcon = !MessageBoxIconPixmap(state_.flags, 32).isNull();
  const int textWidth = box.width() - 20 - (hasIcon ? 40 : 0);
  QTextDocument measured;
  measured.setDefaultFont(MessageBoxFont(font()));
  measured.setDefaultTextOption(MessageBoxTextOption());
  measured.setDocumentMargin(0);
  measured.setPlainText(state_.text);
  measured.setTextWidth(textWidth);
  layout.textHeight = static_cast<int>(measured.size().height());
  const int h = std::min(height() - 20, 34 + std::max(layout.textHeight, 36) + 16);
  box.setTop((height() - h) / 2);
  box.setHeight(h);
  layout.box = box;
  layout.caption = QRect(box.left(), box.top(), box.width(), 26);
  const int left = box.left() + 10 + (hasIcon ? 40 : 0);
  const int visible = box.bottom() - layout.caption.bottom() - 12;
  // Whole lines only, so that a scrolled text never shows half a line at its edges.
  layout.text = QRect(left, layout.caption.bottom() + 8, textWidth,
                      std::max(layout.lineHeight, visible / layout.lineHeight * layout.lineHeight));
  return layout;
}

bool MessageBoxView::ScrollLines(int lines) {
  const Layout layout = Measure();
  const int hidden = std::max(0, layout.textHeight - layout.text.height());
  const int maxLines = (hidden + layout.lineHeight - 1) / layout.lineHeight;
  const int wanted = std::clamp(scrolledLines_ + lines, 0, maxLines);
  if (wanted == scrolledLines_) return false;
  scrolledLines_ = wanted;
  update();
  return true;
}

void MessageBoxView::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  p.fillRect(rect(), QColor(0, 0, 0, 90));
  const Layout layout = Measure();
  const QFont font = MessageBoxFont(p.font());
  p.setFont(font);
  p.setPen(QColor(60, 60, 70));
  p.setBrush(QColor(252, 252, 252));
  p.drawRoundedRect(layout.box, 4, 4);
  p.setBrush(kHighlight);
  p.drawRoundedRect(layout.caption, 4, 4);
  p.fillRect(layout.caption.adjusted(1, layout.caption.height() / 2, -1, 0), kHighlight);
  QFont bold = font;
  bold.setBold(true);
  p.setFont(bold);
  p.setPen(Qt::white);
  p.drawText(layout.caption.adjusted(8, 0, -8, 0), Qt::AlignVCenter | Qt::AlignLeft, state_.caption);
  p.setFont(font);
  QPixmap icon = MessageBoxIconPixmap(state_.flags, 32);
  if (!icon.isNull()) p.drawPixmap(layout.box.left() + 10, layout.caption.bottom() + 10, icon);

  p.save();
  p.setClipRect(layout.text);
  p.setPen(Qt::black);
  const int shift = scrolledLines_ * layout.lineHeight;
  p.drawText(QRectF(layout.text.left(), layout.text.top() - shift, layout.text.width(),
                    layout.textHeight + layout.lineHeight),
             state_.text, MessageBoxTextOption());
  p.restore();
  // Small arrows in the right margin tell that Up or Down shows more.
  p.setPen(Qt::NoPen);
  p.setBrush(kHighlight);
  const int x = layout.box.right() - 9;
  if (shift > 0) {
    const int y = layout.text.top();
    p.drawPolygon(QPolygon({QPoint(x - 4, y + 5), QPoint(x + 4, y + 5), QPoint(x, y)}));
  }
  if (layout.textHeight - shift > layout.text.height()) {
    const int y = layout.text.bottom();
    p.drawPolygon(QPolygon({QPoint(x - 4, y - 5), QPoint(x + 4, y - 5), QPoint(x, y)}));
  }
}

}  // namespace brevalo
