#include "filter/rule_editor_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include "filter/rule_editor_form.h"
#include "send/contact_picker_dialog.h"
#include "send/contact_picker_menus.h"
#include "filter/filter_dialog_controls.h"
#include "ui/dialog_base.h"
#include "ui/edit_input.h"
#include "ui/message_box.h"
#include "ui/phone_screen.h"

namespace brevalo {
namespace {

// The phone's single-line edits hold at most this many characters.
constexpr int kContentChars = 259;

struct RuleControls {
  int object, judge, content, contact;
};
constexpr RuleControls kRule1{IDC_RULE1_OBJECT, IDC_RULE1_JUDGE, IDC_RULE1_CONTENT, IDC_RULE1_CONTACT};
constexpr RuleControls kRule2{IDC_RULE2_OBJECT, IDC_RULE2_JUDGE, IDC_RULE2_CONTENT, IDC_RULE2_CONTACT};

class RuleEditorDialog : public DialogBase {
 public:
  RuleEditorDialog(PhoneScreen& screen, Filter& filter, FilterEditMode mode, ContactDirectory& contacts)
      : DialogBase(screen, "Rule Editor"), filter_(filter), mode_(mode), contacts_(contacts) {}

 protected:
  bool OnInitDialog() override {
    const RuleEditorForm form = RuleFormOfFilter(filter_);
    AddLabel(0, "Rule 1");
    AddRule(kRule1, form.rule1);
    auto* second = new QCheckBox("Rule 2");
    second->setChecked(form.rule2On);
    Add(IDC_RULE2_ON, ControlKind::CheckBox, second);
    AddRule(kRule2, form.rule2);
    EnableRule2();
    SetFocusControl(IDC_RULE1_OBJECT);
    if (mode_ == EDIT_FAST_CREATE) PostMessage(WM_COMMAND, MakeLong(IDC_RULE1_CONTACT, BN_CLICKED), 0);
    return true;
  }

  void OnCommand(int id, uint16_t code) override {
    if (code != BN_CLICKED) return;
    switch (id) {
      case IDOK: Store(); break;
      case IDCANCEL: EndDialog(IDCANCEL); break;
      case IDC_RULE2_ON: EnableRule2(); break;
      case IDC_RULE1_CONTACT: FromContact(kRule1); break;
      case IDC_RULE2_CONTACT: FromContact(kRule2); break;
      default: break;
    }
  }

 private:
  template <typename Widget>
  Widget* Add(int id, ControlKind kind, Widget* widget) {
    return AddTappable(*this, id, kind, widget);
  }

  void AddSpinner(int id, const char* label, const auto& names, int32_t value) {
    AddLabel(0, label);
    auto* spinner = new QComboBox;
    for (const char16_t* name : names) spinner->addItem(QString::fromStdU16String(name));
    spinner->setCurrentIndex(value);
    Add(id, ControlKind::SpinList, spinner);
  }

  void AddRule(const RuleControls& ids, const RuleFields& fields) {
    AddSpinner(ids.object, "Object:", kObjectNames, fields.object);
    AddSpinner(ids.judge, "Judge:", kJudgeNames, fields.judge);
    AddLabel(0, "Content:");
    auto* content = new QLineEdit(QString::fromStdU16String(fields.content));
    content->setMaxLength(kContentChars);
    Add(ids.content, ControlKind::Edit, content);
    Add(ids.contact, ControlKind::Button, new QPushButton("From Contact..."));
  }

  bool Rule2On() const { return static_cast<QCheckBox*>(Control(IDC_RULE2_ON))->isChecked(); }

  void EnableRule2() {
    for (int id : {kRule2.object, kRule2.judge, kRule2.content, kRule2.contact}) Control(id)->setEnabled(Rule2On());
    Screen().Refresh();
  }

  RuleFields Read(const RuleControls& ids) const {
    QWidget* content = Control(ids.content);
    CommitEditLetter(content);
    return {static_cast<QComboBox*>(Control(ids.object))->currentIndex(),
            static_cast<QComboBox*>(Control(ids.judge))->currentIndex(), EditText(content).toStdU16String()};
  }

  void FromContact(const RuleControls& ids) {
    const bool starting = mode_ == EDIT_FAST_CREATE && !contactAsked_;
    contactAsked_ = true;
    std::u16string number;
    if (RunContactPicker(Screen(), contacts_, PickerMode::kSingle, number) != ID_PICKER_ADD) {
      if (starting) EndDialog(IDCANCEL);
      return;
    }
    static_cast<QLineEdit*>(Control(ids.content))->setText(QString::fromStdU16String(number));
  }

  void Store() {
    RuleEditorForm form{Read(kRule1), Rule2On(), Read(kRule2)};
    if (std::optional<std::u16string> failed = StoreRuleForm(form, filter_)) {
      ErrorBox(*this, QString::fromStdU16String(*failed));
      return;
    }
    EndDialog(IDOK);
  }

  Filter& filter_;
  FilterEditMode mode_;
  ContactDirectory& contacts_;
  bool contactAsked_ = false;
};

}  // namespace

int RunRuleEditor(PhoneScreen& screen, Filter& filter, FilterEditMode mode, ContactDirectory& contacts) {
  RuleEditorDialog dialog(screen, filter, mode, contacts);
  return dialog.DoModal();
}

}  // namespace brevalo
