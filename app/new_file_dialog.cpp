#include "app/new_file_dialog.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

#include <cstring>

#include "app/document_properties.h"
#include "app/property_controls.h"
#include "device/device_folder.h"
#include "ui/dialog_base.h"
#include "ui/file_browser.h"
#include "ui/file_browser_listing.h"
#include "ui/message_box.h"
#include "ui/phone_screen.h"

namespace brevalo {
namespace {

enum NewFileControl {
  IDC_NEW_FILE_NAME = 1020,
  IDC_NEW_FILE_BROWSE = 1021,
  IDC_NEW_FILE_AUTHOR = 1023,
  IDC_NEW_FILE_PASSWORD = 1026,
  IDC_NEW_FILE_RECYCLE_BIN = 1029,
};

constexpr char16_t kDocumentExtension[] = u"kvt";
// The longest device path the phone's file functions take.
constexpr int kMaxPathChars = 259;

QString Q(const std::u16string& text) { return QString::fromStdU16String(text); }

class NewFileDialog : public DialogBase {
 public:
  NewFileDialog(PhoneScreen& screen, const Device& device, std::u16string& lastDir, const CodePage& page)
      : DialogBase(screen, "New File"), device_(device), lastDir_(lastDir), page_(page) {}

  const char* PasswordField() const { return password_; }

  const std::u16string& Path() const { return path_; }
  const std::u16string& Author() const { return author_; }
  bool RecycleBin() const { return recycleBin_->isChecked(); }

 protected:
  bool OnInitDialog() override {
    AddLabel(0, "File name:");
    auto* name = new QLineEdit;
    name->setMaxLength(kMaxPathChars);
    name_ = static_cast<QLineEdit*>(AddControl(IDC_NEW_FILE_NAME, ControlKind::Edit, name));
    AddControl(IDC_NEW_FILE_BROWSE, ControlKind::Button, new QPushButton("Browse..."));
    authorEdit_ = AddAuthorEdit(*this, IDC_NEW_FILE_AUTHOR, {});
    AddPasswordButton(*this, IDC_NEW_FILE_PASSWORD);
    recycleBin_ = new QCheckBox("Create Recycle Bin");
    recycleBin_->setChecked(true);
    AddControl(IDC_NEW_FILE_RECYCLE_BIN, ControlKind::CheckBox, recycleBin_);
    SetFocusControl(IDC_NEW_FILE_NAME);
    return true;
  }

  void OnCommand(int id, uint16_t code) override {
    if (code != BN_CLICKED) return;
    if (id == IDC_NEW_FILE_BROWSE) {
      Browse();
    } else if (id == IDC_NEW_FILE_PASSWORD) {
      ChangeFieldPassword(*this, password_, sizeof password_, page_);
    } else if (id == IDOK) {
      if (TakeChoice()) EndDialog(IDOK);
    } else if (id == IDCANCEL) {
      EndDialog(IDCANCEL);
    }
  }

 private:
  void Browse() {
    FileBrowserRequest request{FileBrowserMode::kSave, u"Save As", u"Documents (*.kvt)|*.kvt|",
                               kDocumentExtension};
    std::optional<std::u16string> chosen = RunFileBrowser(Screen(), device_, request, lastDir_);
    if (!chosen) return;
    name_->setText(Q(*chosen));
    confirmed_ = *chosen;  // the browser has asked about replacing it
    SetFocusControl(IDC_NEW_FILE_AUTHOR);
  }

  bool TakeChoice() {
    std::u16string typed = TrimBlanks(TakeEditText(name_));
    if (typed.empty()) {
      ErrorBox(*this, "File name can't be empty!");
      return false;
    }
    // A bare name goes into the folder the browser was last in.
    std::u16string full = typed.front() == u'\\' ? typed : ChildPath(NormalFolder(lastDir_), typed);
    std::u16string name = full.substr(full.rfind(u'\\') + 1);
    std::u16string path = ChildPath(ParentFolder(full), WithDefaultExtension(name, kDocumentExtension));
    if (CheckFileName(name) != FileNameProblem::kNone || !device_.HostPath(path)) {
      ErrorBox(*this, QString("\"%1\" is not a file name that can be used.").arg(Q(typed)));
      return false;
    }
    if (!DeviceFolderExists(device_, ParentFolder(path))) {
      ErrorBox(*this, QString("The folder %1 does not exist.").arg(Q(ParentFolder(path))));
      return false;
    }
    if (DeviceFolderExists(device_, path)) {
      ErrorBox(*this, QString("%1 is a folder.").arg(Q(path)));
      return false;
    }
    if (path != confirmed_ && DeviceFileExists(device_, path) &&
        AlertBox(*this, QString("%1 already exists.\nDo you want to replace it?").arg(Q(path)),
                 MB_OKCANCEL | MB_ICONQUESTION) != IDOK) {
      return false;
    }
    path_ = path;
    author_ = TakeEditText(authorEdit_);
    return true;
  }

  const Device& device_;
  std::u16string& lastDir_;
  const CodePage& page_;
  char password_[kHeaderPasswordSize] = {};
  QLineEdit* name_ = nullptr;
  QLineEdit* authorEdit_ = nullptr;
  QCheckBox* recycleBin_ = nullptr;
  std::u16string confirmed_;
  std::u16string path_;
  std::u16string author_;
};

}  // namespace

std::optional<NewFileChoice> RunNewFileDialog(PhoneScreen& screen, const Device& device,
                                              std::u16string& lastDir, uint32_t codePage) {
  const CodePage page = DocumentCodePage(codePage);
  NewFileDialog dialog(screen, device, lastDir, page);
  if (dialog.DoModal() != IDOK) return std::nullopt;
  NewFileChoice choice{dialog.Path(), NewHeaderTemplate(dialog.Author(), page), dialog.RecycleBin()};
  std::memcpy(choice.headerTemplate.password, dialog.PasswordField(), kHeaderPasswordSize);
  return choice;
}

}  // namespace brevalo
