#include "filter/filter_list_dialog.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QTreeView>

#include "filter/filter_edit_dialog.h"
#include "filter/filter_dialog_controls.h"
#include "filter/filter_icons.h"
#include "filter/filter_list_model.h"
#include "ui/phone_screen.h"

namespace brevalo {
namespace {

constexpr int kListTop = 50;
// The check icon and the gap after it: a tap there switches the filter.
constexpr int kCheckWidth = 21;
constexpr int kIconStep = 17;
constexpr char16_t kDeleteCaption[] = u"Warning";

const QColor kSelectedBack(56, 120, 219);
const QColor kOddBack(185, 232, 245);

// The name cut so that it stays narrower than `width`, with ".." where it was cut.
QString CutName(const QString& name, const QFontMetrics& metrics, int width) {
  if (metrics.horizontalAdvance(name) < width) return name;
  QString cut = name;
  while (!cut.isEmpty() && metrics.horizontalAdvance(cut + "..") >= width) cut.chop(1);
  return cut + "..";
}

QWidget* NewHeader() {
  auto* header = new QWidget;
  auto* layout = new QHBoxLayout(header);
  layout->setContentsMargins(2, 4, 2, 4);
  auto* icon = new QLabel;
  icon->setPixmap(FilterIcon(kImageEnabled).scaled(24, 24));
  auto* caption = new QLabel("Filters");
  QFont font = caption->font();
  font.setBold(true);
  caption->setFont(font);
  layout->addWidget(icon);
  layout->addWidget(caption, 1);
  header->setFixedHeight(kListTop - 8);
  return header;
}

// Taps on the list: within the check icon they switch the filter.
class CheckTapFilter : public QObject {
 public:
  CheckTapFilter(QTreeView* list, std::function<void(int)> toggle)
      : QObject(list), list_(list), toggle_(std::move(toggle)) {}
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() != QEvent::MouseButtonPress) return false;
    QPoint at = static_cast<QMouseEvent*>(event)->position().toPoint();
    QModelIndex index = list_->indexAt(at);
    if (!index.isValid() || at.x() >= kCheckWidth) return false;
    list_->setCurrentIndex(index);
    toggle_(index.row());
    return true;
  }

 private:
  QTreeView* list_;
  std::function<void(int)> toggle_;
};

}  // namespace

std::shared_ptr<PopupMenu> BuildFilterOperateMenu(std::u16string_view title) {
  auto menu = std::make_shared<PopupMenu>(std::u16string(title));
  menu->AddItem(ID_FILTER_NEW, u"New...")
      .AddItem(ID_FILTER_FAST_CREATE, u"Fast Create...")
      .AddItem(ID_FILTER_EDIT, u"Edit...")
      .AddItem(ID_FILTER_DELETE, u"Delete")
      .AddItem(ID_FILTER_UP, u"Up")
      .AddItem(ID_FILTER_DOWN, u"Down");
  return menu;
}

FilterListDialog::FilterListDialog(PhoneScreen& screen, FilterEngine& engine, const FilterDialogContext& context)
    : DialogBase(screen, "Filter List"), context_(context), editor_(engine) {
  MenuBar().left = {u"Done", IDOK, nullptr, true};
  MenuBar().right = {u"Operate", 0, BuildFilterOperateMenu(u"Operate"), true};
}

bool FilterListDialog::OnInitDialog() {
  AddControl(IDC_FILTER_HEADER, ControlKind::Static, NewHeader());
  model_ = new FilterListModel(editor_, this);
  list_ = NewRowList(model_);
  list_->setHeaderHidden(true);
  list_->setFixedHeight(Screen().WindowArea().height() - kListTop - 4);
  list_->setContextMenuPolicy(Qt::CustomContextMenu);
  AddControl(IDC_FILTER_LIST, ControlKind::List, list_);
  SetOwnerDraw(IDC_FILTER_LIST);
  list_->viewport()->installEventFilter(new CheckTapFilter(list_, [this](int row) { model_->Toggle(row); }));
  QObject::connect(list_, &QAbstractItemView::doubleClicked, this, [this] { Edit(); });
  QObject::connect(list_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
    QModelIndex index = list_->indexAt(at);
    if (index.isValid()) list_->setCurrentIndex(index);
    Screen().OpenPopup(this, BuildFilterOperateMenu(u"Filter"), false);
  });
  Select(0);
  SetFocusControl(IDC_FILTER_LIST);
  return true;
}

int FilterListDialog::SelectedRow() const {
  if (!list_) return -1;
  QModelIndex current = list_->currentIndex();
  return current.isValid() ? current.row() : -1;
}

void FilterListDialog::Select(int row) {
  if (row < 0 || row >= model_->rowCount()) return;
  list_->setCurrentIndex(model_->index(row));
  list_->scrollTo(model_->index(row));
}

bool FilterListDialog::ListFocused() const { return FocusedControlId() == IDC_FILTER_LIST; }

void FilterListDialog::KeyPressed(PhoneKey key, bool repeat) {
  if (ListFocused() && (key == PhoneKey::Left || key == PhoneKey::Right)) {
    if (!repeat) Toggle();
    return;
  }
  // Action counts when it is let go: a long press opens the menu instead of the editor.
  if (ListFocused() && key == PhoneKey::Action) {
    if (repeat && actionDown_) actionHeld_ = true;
    if (!repeat) actionDown_ = true;
    return;
  }
  DialogBase::KeyPressed(key, repeat);
}

void FilterListDialog::KeyReleased(PhoneKey key) {
  if (key != PhoneKey::Action || !actionDown_) {
    DialogBase::KeyReleased(key);
    return;
  }
  const bool held = actionHeld_;
  actionDown_ = actionHeld_ = false;
  if (held) Screen().OpenPopup(this, BuildFilterOperateMenu(u"Filter"), false);
  else Edit();
}

// The list changes in place, so leaving it by Back keeps every change as Done does.
void FilterListDialog::BackPressed() { EndDialog(kFilterListDone); }

void FilterListDialog::OnCommand(int id, uint16_t notifyCode) {
  if (notifyCode != BN_CLICKED) return;
  switch (id) {
    case IDOK: case IDCANCEL: EndDialog(kFilterListDone); break;
    case ID_FILTER_NEW: Create(EDIT_FILTER); break;
    case ID_FILTER_FAST_CREATE: Create(EDIT_FAST_CREATE); break;
    case ID_FILTER_EDIT: Edit(); break;
    case ID_FILTER_DELETE: Delete(); break;
    case ID_FILTER_UP: Select(model_->MoveUp(SelectedRow())); break;
    case ID_FILTER_DOWN: Select(model_->MoveDown(SelectedRow())); break;
    default: break;
  }
}

void FilterListDialog::Create(FilterEditMode mode) {
  std::unique_ptr<Filter> filter = editor_.MakeNewFilter();
  if (RunFilterEdit(Screen(), *filter, mode, context_) != IDOK) return;
  Select(model_->Append(std::move(filter)));
}

void FilterListDialog::Edit() {
  const int row = SelectedRow();
  Filter* filter = editor_.At(static_cast<size_t>(row < 0 ? editor_.Count() : row));
  if (!filter) return;
  RunFilterEdit(Screen(), *filter, EDIT_FILTER, context_);
  // A Cancel keeps what the Rule Editor or a failed OK stored: the row shows it either way.
  model_->Changed(row);
}

void FilterListDialog::Delete() {
  const int row = SelectedRow();
  if (row < 0) return;
  const QString question = QString::fromStdU16String(editor_.DeleteQuestion(static_cast<size_t>(row)));
  if (Screen().MessageBox(this, question, QString::fromStdU16String(kDeleteCaption),
                          MB_OKCANCEL | MB_ICONWARNING) != IDOK) {
    return;
  }
  model_->Delete(row);
  Select(std::min(row, model_->rowCount() - 1));
}

void FilterListDialog::Toggle() { model_->Toggle(SelectedRow()); }

// 40% of the list less its scroll bar: the viewport is the list without it.
int FilterListDialog::NameColumnWidth() const { return list_->viewport()->width() * 4 / 10; }

void FilterListDialog::OnDrawItem(const DrawItem& item) {
  const Filter* filter = editor_.At(static_cast<size_t>(item.row));
  if (!filter) return;
  QPainter& p = *item.painter;
  const QRect& rect = item.rect;
  const bool odd = item.row % 2 == 1;
  p.fillRect(rect, item.selected ? kSelectedBack : odd ? kOddBack : QColor(Qt::white));
  const int iconTop = rect.top() + (rect.height() - kFilterIconSize) / 2;
  p.drawPixmap(rect.left() + 2, iconTop, FilterIcon(EnabledImage(*filter)));
  const int column = NameColumnWidth();
  QRect name(rect.left() + kCheckWidth, rect.top(), column - kCheckWidth, rect.height());
  p.setPen(item.selected ? QColor(Qt::white) : QColor(Qt::black));
  p.drawText(name, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
             CutName(QString::fromStdU16String(filter->name), p.fontMetrics(), name.width()));
  int x = rect.left() + column + 2;
  for (int image : ActionImages(*filter)) {
    p.drawPixmap(x, iconTop, FilterIcon(image));
    x += kIconStep;
  }
}

}  // namespace brevalo
