#include "app/preview_window.h"

#include <QLabel>
#include <QListWidget>
#include <QPainter>

#include "app/main_commands.h"
#include "app/main_menus.h"
#include "app/main_window.h"
#include "app/tree_images.h"
#include "store/node_title.h"
#include "ui/phone_screen.h"

namespace brevalo {
namespace {

enum PreviewControl { IDC_PREVIEW_HEADER = 1002, IDC_PREVIEW_LIST = 1001 };
constexpr int kDetailLength = 30;

}  // namespace

PreviewWindow::PreviewWindow(PhoneScreen& screen, MainWindow& main)
    : DialogBase(screen, "Preview"), main_(main) {
  MenuBar().left = {u"Done", IDOK, nullptr, true};
  MenuBar().right = {u"Menu", 0, BuildPreviewMenu(), true};
}

bool PreviewWindow::OnInitDialog() {
  header_ = new QLabel;
  QFont bold = header_->font();
  bold.setBold(true);
  header_->setFont(bold);
  AddControl(IDC_PREVIEW_HEADER, ControlKind::Static, header_);
  list_ = new QListWidget;
  list_->setSelectionBehavior(QAbstractItemView::SelectRows);
  list_->setUniformItemSizes(true);
  list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  list_->setMinimumHeight(Screen().WindowArea().height() - 40);
  AddControl(IDC_PREVIEW_LIST, ControlKind::List, list_);
  SetOwnerDraw(IDC_PREVIEW_LIST);
  SetFocusControl(IDC_PREVIEW_LIST);
  // A selected title wider than its row scrolls sideways, as in the tree.
  QObject::connect(list_, &QListWidget::currentRowChanged, this, [this] { titleScroll_.Restart(); });
  QObject::connect(&titleTimer_, &QTimer::timeout, this, [this] { TickTitleScroll(); });
  titleTimer_.start(TitleScroll::kTickMs);
  TreeNode* selected = main_.Selection();
  TreeNode* parent = selected ? selected->Parent() : nullptr;
  // A protected folder whose password is not given leaves the window closed.
  return ShowFolder(parent && parent->Parent() ? parent : nullptr, selected);
}

int PreviewWindow::SelectedRow() const { return list_ ? list_->currentRow() : -1; }

// The text place of a row as OnDrawItem lays it out: right of the image, inside the margins.
int PreviewWindow::TitleOverflow(const QString& title) const {
  const int place = list_->viewport()->width() - (kTreeImageSize + 6) - 2;
  return QFontMetrics(list_->font()).horizontalAdvance(title) - place;
}

int PreviewWindow::SelectedTitleOffset() const {
  const int row = SelectedRow();
  if (row < 0 || row >= static_cast<int>(rows_.size())) return 0;
  return titleScroll_.Offset(TitleOverflow(rows_[static_cast<size_t>(row)].title));
}

void PreviewWindow::TickTitleScroll() {
  titleScroll_.Advance(TitleScroll::kTickMs);
  if (SelectedTitleOffset() > 0) list_->viewport()->update();
}

PreviewWindow::Row PreviewWindow::RowOf(TreeNode& node) {
  Row row{&node, node.Image(), QString::fromStdU16String(node.Label()), QString()};
  if (!IsMessageImage(node.Image())) {
    row.detail = QString("Unread:%1").arg(node.Data().unread);
    return row;
  }
  MessageStore& store = main_.Document().Store();
  if (!store.ReadRecord(node.Data().offset)) return row;
  // A protected message shows no part of its text here.
  if (!store.RecordPassword().empty()) {
    row.detail = row.title + "<Need Password>";
    return row;
  }
  row.detail = QString::fromStdU16String(BodySummary(store.ReadBodyText().value_or(u""), kDetailLength));
  return row;
}

bool PreviewWindow::ShowFolder(TreeNode* folder, const TreeNode* previous) {
  if (folder && !main_.MayOpenNode(*folder)) return false;
  folder_ = folder;
  showUpRow_ = folder != nullptr;
  header_->setText(folder ? QString::fromStdU16String(folder->Label()) : QString());
  header_->setVisible(folder != nullptr);
  Refill(previous);
  return true;
}

void PreviewWindow::Refill(const TreeNode* select) {
  rows_.clear();
  if (showUpRow_) rows_.push_back({nullptr, kImageGoUp, "..", QString()});
  const TreeNode& level = folder_ ? *folder_ : main_.Document().Tree().Root();
  for (size_t i = 0; i < level.ChildCount(); ++i) rows_.push_back(RowOf(*level.Child(i)));
  // Two lines of text and a little room: the height of "1\n1" and 4 pixels.
  int height = QFontMetrics(list_->font()).boundingRect(QRect(0, 0, 1000, 1000), 0, "1\n1").height() + 4;
  list_->blockSignals(true);
  list_->clear();
  int selected = 0;
  for (size_t i = 0; i < rows_.size(); ++i) {
    auto* item = new QListWidgetItem(rows_[i].title);
    item->setSizeHint(QSize(0, height));
    list_->addItem(item);
    if (select && rows_[i].node == select) selected = static_cast<int>(i);
  }
  list_->blockSignals(false);
  if (!rows_.empty()) {
    list_->setCurrentRow(selected);
    list_->scrollToItem(list_->item(selected));
  }
}

void PreviewWindow::TreeChanged() {
  if (!list_) return;  // not yet initialised: the first fill comes anyway
  int selected = SelectedRow();
  Refill(selected >= 0 && static_cast<size_t>(selected) < rows_.size() ? rows_[static_cast<size_t>(selected)].node : nullptr);
}

void PreviewWindow::GoUp() {
  if (!folder_) return;
  TreeNode* parent = folder_->Parent();
  ShowFolder(parent && parent->Parent() ? parent : nullptr, folder_);
}

void PreviewWindow::Activate(int row) {
  if (row < 0 || row >= static_cast<int>(rows_.size())) return;
  Row& chosen = rows_[static_cast<size_t>(row)];
  if (!chosen.node) {
    GoUp();
    return;
  }
  if (IsMessageImage(chosen.image)) {
    main_.Select(chosen.node);
    main_.OpenNode(*chosen.node);
    chosen.image = chosen.node->Image();
    list_->update();
    return;
  }
  ShowFolder(chosen.node, nullptr);
}

void PreviewWindow::DeleteRow(int row) {
  if (row < 0 || row >= static_cast<int>(rows_.size())) return;
  const Row& chosen = rows_[static_cast<size_t>(row)];
  if (!chosen.node || IsRecycleBinImage(chosen.image)) return;
  if (!main_.DeleteNode(*chosen.node)) return;
  // The row above is selected next, or the first one.
  const TreeNode* above = row > 0 ? rows_[static_cast<size_t>(row - 1)].node : nullptr;
  Refill(above);
  if (!above) list_->setCurrentRow(row > 0 ? row - 1 : 0);
}

void PreviewWindow::SelectInTree() {
  int row = SelectedRow();
  if (row < 0 || row >= static_cast<int>(rows_.size())) return;
  if (TreeNode* node = rows_[static_cast<size_t>(row)].node) main_.Select(node);
}

void PreviewWindow::OnInitMenuPopup(PopupMenu& menu, int) {
  SelectInTree();
  MenuState state = main_.CurrentMenuState();
  if (SelectedRow() >= 0 && !rows_[static_cast<size_t>(SelectedRow())].node) {
    state.selection = MenuState::Selection::kNone;  // the go-up row stands for no node
  }
  ApplyMenuRules(menu, state);
}

void PreviewWindow::OnCommand(int id, uint16_t notifyCode) {
  if (id == IDOK || id == IDCANCEL) {
    EndDialog(id);
    return;
  }
  if (notifyCode != 0) return;  // notices of the controls
  int row = SelectedRow();
  bool upRow = row >= 0 && row < static_cast<int>(rows_.size()) && !rows_[static_cast<size_t>(row)].node;
  if (id == ID_DELETE) {
    DeleteRow(row);
    return;
  }
  if (upRow) return;
  SelectInTree();
  main_.Command(id);
  // The command may have changed the level shown (a property, a node read).
  const TreeNode* keep = row >= 0 && row < static_cast<int>(rows_.size()) ? rows_[static_cast<size_t>(row)].node : nullptr;
  Refill(keep);
}

void PreviewWindow::OnNotify(const Notification& notification) {
  if (notification.controlId == IDC_PREVIEW_LIST && notification.code == NM_RETURN) {
    Activate(notification.row);
  }
}

void PreviewWindow::BackPressed() {
  if (folder_) GoUp();
  else EndDialog(IDCANCEL);
}

void PreviewWindow::OnDrawItem(const DrawItem& item) {
  if (item.row < 0 || item.row >= static_cast<int>(rows_.size())) return;
  const Row& row = rows_[static_cast<size_t>(item.row)];
  QPainter& p = *item.painter;
  const QPalette& palette = list_->palette();
  p.fillRect(item.rect, item.selected ? palette.highlight() : palette.base());
  const QPixmap& image = TreeImage(row.image);
  int top = item.rect.top() + (item.rect.height() - kTreeImageSize) / 2;
  // The image shows through the highlight of a selected row, as a blended one does.
  p.setOpacity(item.selected ? 0.6 : 1.0);
  if (!image.isNull()) p.drawPixmap(item.rect.left() + 2, top, image);
  p.setOpacity(1.0);
  p.setPen(item.selected ? palette.highlightedText().color() : palette.text().color());
  QRect text = item.rect.adjusted(kTreeImageSize + 6, 2, -2, -2);
  QRect upper(text.left(), text.top(), text.width(), text.height() / 2);
  QRect lower(text.left(), upper.bottom() + 1, text.width(), text.height() - upper.height());
  QFontMetrics metrics(p.font());
  const int offset = item.selected ? titleScroll_.Offset(TitleOverflow(row.title)) : 0;
  if (item.selected && TitleOverflow(row.title) > 0) {
    p.save();
    p.setClipRect(upper);
    p.drawText(upper.adjusted(-offset, 0, offset + 1000, 0), Qt::AlignLeft | Qt::AlignVCenter, row.title);
    p.restore();
  } else {
    p.drawText(upper, Qt::AlignLeft | Qt::AlignVCenter, metrics.elidedText(row.title, Qt::ElideRight, upper.width()));
  }
  p.drawText(lower, Qt::AlignLeft | Qt::AlignVCenter, metrics.elidedText(row.detail, Qt::ElideRight, lower.width()));
}

}  // namespace brevalo
