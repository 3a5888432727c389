#include "app/import_dialog.h"

#include <QHeaderView>
#include <QPainter>
#include <QPainterPath>
#include <QTreeView>

#include <ctime>

#include "settings/phone_sms_store.h"
#include "ui/phone_screen.h"

namespace brevalo {
namespace {

constexpr int kTickSize = 16;

// The tick strip: image 0 an empty box, image 1 the box ticked.
const QPixmap& TickImage(bool ticked) {
  static const QPixmap strip[2] = {
      [] {
        QPixmap image(kTickSize, kTickSize);
        image.fill(Qt::transparent);
        QPainter p(&image);
        p.setPen(QPen(QColor(0x40, 0x40, 0x40), 1));
        p.setBrush(Qt::white);
        p.drawRect(1, 1, kTickSize - 3, kTickSize - 3);
        return image;
      }(),
      [] {
        QPixmap image(kTickSize, kTickSize);
        image.fill(Qt::transparent);
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(QColor(0x40, 0x40, 0x40), 1));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(1.5, 1.5, kTickSize - 3, kTickSize - 3));
        QPainterPath mark;
        mark.moveTo(4, 8);
        mark.lineTo(7, 11);
        mark.lineTo(12, 4);
        p.setPen(QPen(QColor(0x00, 0x80, 0x00), 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPath(mark);
        return image;
      }(),
  };
  return strip[ticked ? 1 : 0];
}

std::shared_ptr<PopupMenu> BuildImportMenu() {
  auto menu = std::make_shared<PopupMenu>(u"Menu");
  menu->AddItem(ID_IMPORT_DELETE_AFTER, u"Delete After Import");
  menu->AddSeparator();
  menu->AddItem(ID_IMPORT_FROM_SENT, u"From Sent Items");
  menu->AddItem(ID_IMPORT_FROM_INBOX, u"From Inbox");
  menu->AddSeparator();
  menu->AddItem(ID_IMPORT_CHECK_ALL, u"Check All");
  menu->AddItem(ID_IMPORT_UNCHECK_ALL, u"Uncheck All");
  menu->AddSeparator();
  menu->AddItem(IDCANCEL, u"Cancel");
  return menu;
}

std::u16string TitleTimeText(DATE date, const DatePictures& pictures) {
  std::tm moment{};
  return OleDateToTm(date, &moment) ? DateTimeText(moment, pictures) : std::u16string();
}

}  // namespace

ImportDialog::ImportDialog(PhoneScreen& screen, OpenDocument& document, TreeNode& target,
                           SettingValues& settings, ImportClock clock)
    : DialogBase(screen, "Import SMS"),
      document_(document),
      target_(target),
      settings_(settings),
      clock_(std::move(clock)) {
  MenuBar().left = {u"Import", ID_IMPORT_RUN, nullptr, true};
  MenuBar().right = {u"Menu", 0, BuildImportMenu(), true};
}

bool ImportDialog::OnInitDialog() {
  model_ = new ImportListModel(rows_, this);
  list_ = new QTreeView;
  list_->setModel(model_);
  list_->setHeaderHidden(true);
  list_->setRootIsDecorated(false);
  list_->setItemsExpandable(false);
  // Every row is as high as the first: the view lays out only what is in sight, so that a
  // list of tens of thousands of messages scrolls as quickly as a short one.
  list_->setUniformRowHeights(true);
  list_->setSelectionBehavior(QAbstractItemView::SelectRows);
  list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  list_->setFixedHeight(Screen().WindowArea().height() - 8);
  const QFontMetrics metrics(list_->font());
  model_->SetRowHeight(metrics.boundingRect(QRect(0, 0, 1000, 1000), 0, "1\n1").height() + 4);
  AddControl(IDC_IMPORT_LIST, ControlKind::List, list_);
  SetOwnerDraw(IDC_IMPORT_LIST);
  SetFocusControl(IDC_IMPORT_LIST);
  QObject::connect(list_, &QAbstractItemView::clicked, this,
                   [this](const QModelIndex& index) { model_->Toggle(index.row()); });
  Fill();
  return true;
}

int ImportDialog::SelectedRow() const {
  if (!list_) return -1;
  QModelIndex current = list_->currentIndex();
  return current.isValid() ? current.row() : -1;
}

void ImportDialog::Fill() {
  std::vector<ImportEntry> rows;
  ListPhoneFolder(PhoneFolderOfImportSource(settings_.ImportSource), clock_, &rows);
  ++listings_;
  model_->Refill(std::move(rows));
  if (!rows_.empty()) list_->setCurrentIndex(model_->index(0));
}

void ImportDialog::ChooseSource(int32_t source) {
  if (settings_.ImportSource == source) return;
  settings_.ImportSource = source;
  Fill();
}

void ImportDialog::OnInitMenuPopup(PopupMenu& menu, int) {
  menu.Check(ID_IMPORT_DELETE_AFTER, settings_.SmsDelete == 1);
  menu.CheckRadio(ID_IMPORT_FROM_SENT, ID_IMPORT_FROM_INBOX,
                  settings_.ImportSource == 1 ? ID_IMPORT_FROM_SENT : ID_IMPORT_FROM_INBOX);
}

void ImportDialog::OnCommand(int id, uint16_t notifyCode) {
  if (notifyCode != 0) return;  // notices of the list
  switch (id) {
    case ID_IMPORT_RUN: Import(); break;
    case ID_IMPORT_DELETE_AFTER: settings_.SmsDelete = settings_.SmsDelete == 1 ? 0 : 1; break;
    case ID_IMPORT_FROM_SENT: ChooseSource(1); break;
    case ID_IMPORT_FROM_INBOX: ChooseSource(0); break;
    case ID_IMPORT_CHECK_ALL: model_->TickAll(true); break;
    case ID_IMPORT_UNCHECK_ALL: model_->TickAll(false); break;
    // The dialog's OK command cancels: only Import copies anything.
    case IDOK: case IDCANCEL: Close(kImportCancelled); break;
    default: break;
  }
}

void ImportDialog::OnNotify(const Notification& notification) {
  if (notification.controlId == IDC_IMPORT_LIST && notification.code == NM_RETURN) {
    model_->Toggle(notification.row);
  }
}

void ImportDialog::Import() {
  PhoneImportOptions options{settings_.ImportTitle, SummaryLength(), settings_.SmsDelete == 1};
  report_ = ImportTickedRows(document_, target_, rows_, options,
                             [this](DATE date) { return TitleTimeText(date, clock_.pictures); });
  Close(kImportDone);
}

void ImportDialog::Close(int result) {
  model_->Refill({});
  EndDialog(result);
}

void ImportDialog::OnDrawItem(const DrawItem& item) {
  if (item.row < 0 || item.row >= static_cast<int>(rows_.size())) return;
  const ImportEntry& entry = rows_[static_cast<size_t>(item.row)];
  QPainter& p = *item.painter;
  const QPalette& palette = list_->palette();
  p.fillRect(item.rect, item.selected ? palette.highlight() : palette.base());
  p.drawPixmap(item.rect.left() + 2, item.rect.top() + (item.rect.height() - kTickSize) / 2, TickImage(entry.ticked));
  p.setPen(item.selected ? palette.highlightedText().color() : palette.text().color());
  QRect text = item.rect.adjusted(kTickSize + 6, 2, -2, -2);
  QRect upper(text.left(), text.top(), text.width(), text.height() / 2);
  QRect lower(text.left(), upper.bottom() + 1, text.width(), text.height() - upper.height());
  QFontMetrics metrics(p.font());
  auto line = [&](const QRect& place, const std::u16string& value) {
    p.drawText(place, Qt::AlignLeft | Qt::AlignVCenter,
               metrics.elidedText(QString::fromStdU16String(value), Qt::ElideRight, place.width()));
  };
  line(upper, entry.lineOne);
  line(lower, entry.lineTwo);
}

}  // namespace brevalo
