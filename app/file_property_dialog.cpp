#include "app/file_property_dialog.h"

#include <QLineEdit>

#include <cstring>

#include "app/document_properties.h"
#include "app/property_controls.h"
#include "device/registry.h"
#include "ui/dialog_base.h"
#include "ui/phone_screen.h"

namespace brevalo {
namespace {

enum FilePropertyControl {
  IDC_FILE_AUTHOR = 1023,
  IDC_FILE_PASSWORD = 1026,
  IDC_FILE_BUILD_DATE = 1027,
  IDC_FILE_MODIFY_DATE = 1028,
};

class FilePropertyDialog : public DialogBase {
 public:
  FilePropertyDialog(PhoneScreen& screen, const StoreHeader& header, const CodePage& page)
      : DialogBase(screen, "File Property"), header_(header), page_(page) {
    std::memcpy(password_, header.password, sizeof password_);
  }

  std::u16string Author() const { return author_; }
  // The password field as the dialog leaves it: changed only through its button.
  const char* PasswordField() const { return password_; }

 protected:
  bool OnInitDialog() override {
    authorEdit_ = AddAuthorEdit(*this, IDC_FILE_AUTHOR,
                                page_.FromFixedField(header_.author, kHeaderAuthorSize));
    Registry registry(Screen().DeviceFolder().RegistryFile());
    AddDateRow(*this, IDC_FILE_BUILD_DATE, "Build Date:", DocumentDateText(registry, header_.buildDate));
    AddDateRow(*this, IDC_FILE_MODIFY_DATE, "Modify Date:", DocumentDateText(registry, header_.modifyDate));
    AddPasswordButton(*this, IDC_FILE_PASSWORD);
    SetFocusControl(IDC_FILE_AUTHOR);
    return true;
  }

  void OnCommand(int id, uint16_t code) override {
    if (id == IDOK && code == BN_CLICKED) author_ = TakeEditText(authorEdit_);
    if (id == IDC_FILE_PASSWORD && code == BN_CLICKED) {
      ChangeFieldPassword(*this, password_, sizeof password_, page_);
    }
    DialogBase::OnCommand(id, code);
  }

 private:
  const StoreHeader& header_;
  const CodePage& page_;
  QLineEdit* authorEdit_ = nullptr;
  std::u16string author_;
  char password_[kHeaderPasswordSize];
};

}  // namespace

bool RunFilePropertyDialog(PhoneScreen& screen, StoreHeader& header, uint32_t codePage) {
  CodePage page = DocumentCodePage(codePage);
  FilePropertyDialog dialog(screen, header, page);
  if (dialog.DoModal() != IDOK) return false;
  // The field keeps a terminator: 15 bytes of text at most, cut at a character.
  page.ToFixedField(dialog.Author(), header.author, kHeaderAuthorSize);
  std::memcpy(header.password, dialog.PasswordField(), kHeaderPasswordSize);
  return true;
}

}  // namespace brevalo
