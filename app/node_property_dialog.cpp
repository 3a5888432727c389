#include "app/node_property_dialog.h"

#include <QLineEdit>

#include <cstring>

#include "app/document_properties.h"
#include "app/property_controls.h"
#include "device/registry.h"
#include "ui/dialog_base.h"
#include "ui/phone_screen.h"

namespace brevalo {
namespace {

enum NodePropertyControl {
  IDC_NODE_AUTHOR = 1023,
  IDC_NODE_CREATE_DATE = 1027,
  IDC_NODE_PASSWORD = 1019,
};

class NodePropertyDialog : public DialogBase {
 public:
  NodePropertyDialog(PhoneScreen& screen, StoreRecord& record, const CodePage& page)
      : DialogBase(screen, "Property"), record_(record), page_(page) {}

  bool Changed() const { return changed_; }

 protected:
  bool OnInitDialog() override {
    author_ = AddAuthorEdit(*this, IDC_NODE_AUTHOR,
                            page_.FromFixedField(record_.author, kRecordAuthorSize));
    Registry registry(Screen().DeviceFolder().RegistryFile());
    AddDateRow(*this, IDC_NODE_CREATE_DATE, "Create Date:", DocumentDateText(registry, record_.date));
    AddPasswordButton(*this, IDC_NODE_PASSWORD);
    SetFocusControl(IDC_NODE_AUTHOR);
    return true;
  }

  void OnCommand(int id, uint16_t code) override {
    if (id == IDOK && code == BN_CLICKED) TakeAuthor();
    // The node's unlock stays as it is; the password reaches the document with the record.
    if (id == IDC_NODE_PASSWORD && code == BN_CLICKED &&
        ChangeFieldPassword(*this, record_.password, kRecordPasswordSize, page_)) {
      changed_ = true;
    }
    DialogBase::OnCommand(id, code);
  }

 private:
  // Only a real change counts, so that OK on an untouched node writes nothing to the document.
  void TakeAuthor() {
    char field[kRecordAuthorSize] = {};
    page_.ToFixedField(KeptRecordAuthor(TakeEditText(author_)), field, sizeof field);
    if (std::memcmp(field, record_.author, sizeof field) == 0) return;
    std::memcpy(record_.author, field, sizeof field);
    changed_ = true;
  }

  StoreRecord& record_;
  const CodePage& page_;
  QLineEdit* author_ = nullptr;
  bool changed_ = false;
};

}  // namespace

bool RunNodePropertyDialog(PhoneScreen& screen, StoreRecord& record, uint32_t codePage) {
  CodePage page = DocumentCodePage(codePage);
  NodePropertyDialog dialog(screen, record, page);
  return dialog.DoModal() == IDOK && dialog.Changed();
}

}  // namespace brevalo
