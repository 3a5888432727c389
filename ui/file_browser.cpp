#include "ui/file_browser.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTreeWidget>

#include "device/device_folder.h"
#include "ui/dialog_base.h"
#include "ui/edit_input.h"
#include "ui/file_browser_listing.h"
#include "ui/message_box.h"
#include "ui/phone_screen.h"

namespace brevalo {
namespace {

enum FileBrowserControl {
  IDC_BROWSER_LIST = 1001,
  IDC_BROWSER_FOLDER = 1101,
  IDC_BROWSER_TYPE = 1102,
  IDC_BROWSER_NAME = 1103,
};

// Longer device paths are refused by the phone's file functions.
constexpr size_t kMaxPathChars = 259;

QString Q(std::u16string_view text) { return QString::fromStdU16String(std::u16string(text)); }

class FileBrowserDialog : public DialogBase {
 public:
  FileBrowserDialog(PhoneScreen& screen, const Device& device, const FileBrowserRequest& request,
                    std::u16string startFolder)
      : DialogBase(screen, Q(request.title)),
        device_(device),
        request_(request),
        choices_(ParseFileFilter(request.filter)),
        folder_(std::move(startFolder)) {
    static const char16_t* const kLeftLabels[] = {u"Open", u"Save", u"Select"};
    MenuBar().left = {kLeftLabels[static_cast<int>(request.mode)], IDOK, nullptr, true};
  }

  const std::u16string& Folder() const { return folder_; }
  const std::u16string& Chosen() const { return chosen_; }

 protected:
  bool OnInitDialog() override {
    folderLabel_ = static_cast<QLabel*>(AddControl(IDC_BROWSER_FOLDER, ControlKind::Static, new QLabel));
    folderLabel_->setWordWrap(true);
    int used = 24;
    if (choices_.size() > 1 && request_.mode != FileBrowserMode::kChooseFolder) {
      auto* type = new QComboBox;
      for (const FileFilterChoice& choice : choices_) type->addItem(Q(choice.description));
      AddControl(IDC_BROWSER_TYPE, ControlKind::SpinList, type);
      used += 30;
    }
    list_ = new QTreeWidget;
    list_->setColumnCount(2);
    list_->setHeaderLabels({"Filename", "Size"});
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->header()->setStretchLastSection(false);
    list_->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    list_->header()->setSectionResizeMode(1, QHeaderView::Fixed);
    list_->header()->resizeSection(1, 64);
    if (request_.mode == FileBrowserMode::kSave) used += 52;
    list_->setFixedHeight(std::max(80, Screen().WindowArea().height() - used - 12));
    AddControl(IDC_BROWSER_LIST, ControlKind::Tree, list_);
    if (request_.mode == FileBrowserMode::kSave) {
      AddLabel(0, "File name:");
      auto* name = new QLineEdit;
      name->setMaxLength(static_cast<int>(kMaxPathChars));
      AddControl(IDC_BROWSER_NAME, ControlKind::Edit, name);
    }
    ShowFolder(folder_, {});
    // Saving starts at the name, the usual thing to do; Up reaches the folders.
    SetFocusControl(request_.mode == FileBrowserMode::kSave ? IDC_BROWSER_NAME : IDC_BROWSER_LIST);
    return true;
  }

  void OnCommand(int id, uint16_t code) override {
    if (id == IDC_BROWSER_TYPE && code == CBN_SELCHANGE) {
      ShowFolder(folder_, {});
    } else if (id == IDOK && code == BN_CLICKED) {
      Accept();
    } else if (id == IDCANCEL && code == BN_CLICKED) {
      EndDialog(IDCANCEL);
    }
  }

  void OnNotify(const Notification& notification) override {
    if (notification.controlId == IDC_BROWSER_LIST && notification.code == NM_RETURN) {
      ActOnRow(CurrentRow());
    }
  }

  // Back walks up the folders, and cancels once there is nothing above.
  void BackPressed() override {
    if (IsRootFolder(folder_)) {
      Command(IDCANCEL);
    } else {
      GoUp();
    }
  }

 private:
  const BrowserRow* CurrentRow() const {
    int row = list_->indexOfTopLevelItem(list_->currentItem());
    return row >= 0 && row < static_cast<int>(rows_.size()) ? &rows_[row] : nullptr;
  }

  std::vector<std::u16string> Patterns() const {
    if (choices_.empty()) return {};
    int at = 0;
    if (auto* type = qobject_cast<QComboBox*>(Control(IDC_BROWSER_TYPE))) at = std::max(0, type->currentIndex());
    return choices_[static_cast<size_t>(at)].patterns;
  }

  // Lists `folder` and selects the row named `select` (the folder just left), else the first.
  void ShowFolder(const std::u16string& folder, const std::u16string& select) {
    std::optional<std::vector<DeviceFolderEntry>> entries = ListDeviceFolder(device_, folder);
    if (!entries) {
      // Gone or unreadable meanwhile: the root is always there.
      if (IsRootFolder(folder)) entries.emplace();
      else return ShowFolder(u"\\", {});
    }
    folder_ = NormalFolder(folder);
    rows_ = BrowserRows(*entries, Patterns(), IsRootFolder(folder_),
                        request_.mode != FileBrowserMode::kChooseFolder);
    list_->clear();
    QTreeWidgetItem* selected = nullptr;
    for (const BrowserRow& row : rows_) {
      auto* item = new QTreeWidgetItem(list_, QStringList{Q(row.name), Q(row.sizeText)});
      item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
      if (!selected && row.kind == BrowserRow::Kind::kFolder && row.name == select) selected = item;
    }
    if (!selected) selected = list_->topLevelItem(0);
    list_->setCurrentItem(selected);
    folderLabel_->setText(Q(folder_));
    Screen().Refresh();
  }

  void GoUp() { ShowFolder(ParentFolder(folder_), FolderName(folder_)); }

  void ActOnRow(const BrowserRow* row) {
    if (!row) return;
    switch (row->kind) {
      case BrowserRow::Kind::kUp:
        GoUp();
        return;
      case BrowserRow::Kind::kFolder:
        ShowFolder(ChildPath(folder_, row->name), {});
        return;
      case BrowserRow::Kind::kFile:
        if (request_.mode == FileBrowserMode::kSave) {
          auto* name = qobject_cast<QLineEdit*>(Control(IDC_BROWSER_NAME));
          name->setText(Q(row->name));
          SetFocusControl(IDC_BROWSER_NAME);
        } else {
          Finish(ChildPath(folder_, row->name));
        }
        return;
    }
  }

  void Accept() {
    switch (request_.mode) {
      case FileBrowserMode::kOpen:
        // The left key does what Action does on the row: a file is chosen, a folder entered.
        ActOnRow(CurrentRow());
        return;
      case FileBrowserMode::kChooseFolder:
        Finish(folder_);
        return;
      case FileBrowserMode::kSave:
        TakeHighlightedFileName();
        AcceptTypedName();
        return;
    }
  }

  // Save with a file highlighted in the list means that file, as Action on it would.
  void TakeHighlightedFileName() {
    const BrowserRow* row = CurrentRow();
    if (FocusedControlId() != IDC_BROWSER_LIST || !row || row->kind != BrowserRow::Kind::kFile) return;
    qobject_cast<QLineEdit*>(Control(IDC_BROWSER_NAME))->setText(Q(row->name));
  }

  void AcceptTypedName() {
    auto* edit = qobject_cast<QLineEdit*>(Control(IDC_BROWSER_NAME));
    CommitEditLetter(edit);
    std::u16string typed = TrimBlanks(EditText(edit).toStdU16String());
    switch (CheckFileName(typed)) {
      case FileNameProblem::kNone:
        break;
      case FileNameProblem::kEmpty:
        ErrorBox(*this, "File name can't be empty!");
        return;
      case FileNameProblem::kBadCharacter:
        ErrorBox(*this, "A file name can't contain any of these characters: \\ / : * ? \" < > |");
        return;
      case FileNameProblem::kReservedName:
        ErrorBox(*this, QString("\"%1\" can't be used as a file name.").arg(Q(typed)));
        return;
    }
    std::u16string path = ChildPath(folder_, WithDefaultExtension(typed, request_.defaultExtension));
    if (path.size() > kMaxPathChars) {
      ErrorBox(*this, "The file name is too long.");
      return;
    }
    if (DeviceFolderExists(device_, path)) {
      ErrorBox(*this, QString("%1 is a folder.").arg(Q(path)));
      return;
    }
    if (DeviceFileExists(device_, path) &&
        AlertBox(*this, QString("%1 already exists.\nDo you want to replace it?").arg(Q(path)),
                 MB_OKCANCEL | MB_ICONQUESTION) != IDOK) {
      return;
    }
    Finish(path);
  }

  void Finish(std::u16string path) {
    chosen_ = std::move(path);
    EndDialog(IDOK);
  }

  const Device& device_;
  const FileBrowserRequest& request_;
  std::vector<FileFilterChoice> choices_;
  std::u16string folder_;
  std::u16string chosen_;
  std::vector<BrowserRow> rows_;
  QLabel* folderLabel_ = nullptr;
  QTreeWidget* list_ = nullptr;
};

// The last folder while it is still there (spelled as the file system spells it), else the root.
std::u16string StartFolder(const Device& device, const std::u16string& lastDir) {
  std::optional<std::u16string> existing;
  if (!lastDir.empty() && lastDir.front() == u'\\') existing = ExistingFolderPath(device, lastDir);
  return NormalFolder(existing ? std::u16string_view(*existing) : std::u16string_view());
}

}  // namespace

std::optional<std::u16string> RunFileBrowser(PhoneScreen& screen, const Device& device,
                                             const FileBrowserRequest& request,
                                             std::u16string& lastDir) {
  FileBrowserDialog dialog(screen, device, request, StartFolder(device, lastDir));
  int result = dialog.DoModal();
  lastDir = dialog.Folder();
  if (result != IDOK || dialog.Chosen().empty()) return std::nullopt;
  return dialog.Chosen();
}

}  // namespace brevalo
