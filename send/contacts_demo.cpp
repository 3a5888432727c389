// The contact picker, the group editors and My Text on the phone screen, each opened from a
// menu of one window, with the program folder's groups and sentences and the device's
// contacts: what their end-to-end tests drive with phonesim, and a way to look at them by hand.
//   contacts_demo [--device DIR]
// The result of each dialog shows in the window's text (control 1011).
#include <QApplication>
#include <QLabel>

#include "send/contact_picker_dialog.h"
#include "send/my_text_dialog.h"
#include "send/phone_contacts_loader.h"
#include "settings/program_folder.h"
#include "ui/demo_program.h"
#include "ui/dialog_base.h"
#include "ui/phone_screen.h"

namespace brevalo {
namespace {

enum DemoCommand {
  ID_PICK_NUMBER = 41001,
  ID_PICK_NAME = 41002,
  ID_PICK_SEVERAL = 41003,
  ID_PICK_GROUPS = 41004,
  ID_MY_TEXT = 41005,
  ID_EXIT = 41006,
};
constexpr int IDC_RESULT = 1011;

QString Q(const std::u16string& text) { return QString::fromStdU16String(text); }

class ContactsDemoWindow : public PhoneWindow {
 public:
  explicit ContactsDemoWindow(PhoneScreen& screen)
      : PhoneWindow(screen, "Contacts demo"),
        groupFile_(screen.DeviceFolder(), ProgramFolder() + std::u16string(kGroupFileName)),
        sentenceFile_(screen.DeviceFolder(), ProgramFolder() + std::u16string(kSentenceFileName)),
        directory_(PhoneContactsLoader(screen.DeviceFolder())),
        sentences_(sentenceFile_) {
    directory_.Groups().Load(groupFile_);
    auto menu = std::make_shared<PopupMenu>(u"Menu");
    menu->AddItem(ID_PICK_NUMBER, u"Pick a number")
        .AddItem(ID_PICK_NAME, u"Pick a name and number")
        .AddItem(ID_PICK_SEVERAL, u"Pick several")
        .AddItem(ID_PICK_GROUPS, u"Pick with groups")
        .AddItem(ID_MY_TEXT, u"My Text")
        .AddSeparator()
        .AddItem(ID_EXIT, u"Exit");
    MenuBar().left = {u"Groups", ID_PICK_GROUPS, nullptr, true};
    MenuBar().right = {u"Menu", 0, menu, true};
    result_ = static_cast<QLabel*>(AddControl(IDC_RESULT, ControlKind::Static, new QLabel("ready")));
    result_->setWordWrap(true);
  }

  intptr_t WindowProc(uint32_t message, uintptr_t wParam, intptr_t lParam) override {
    if (message == WM_COMMAND) Run(LowWord(wParam));
    return PhoneWindow::WindowProc(message, wParam, lParam);
  }

 private:
  void Run(int id) {
    std::u16string text;
    std::u16string name;
    int result = 0;
    switch (id) {
      case ID_PICK_NUMBER:
        result = RunContactPicker(Screen(), directory_, PickerMode::kSingle, text);
        break;
      case ID_PICK_NAME:
        result = RunContactPicker(Screen(), directory_, PickerMode::kSingle, text, &name);
        break;
      case ID_PICK_SEVERAL:
        text = u"5550100";  // what the caller's field held before
        result = RunContactPicker(Screen(), directory_, PickerMode::kMultiple, text);
        break;
      case ID_PICK_GROUPS:
        result = RunContactPicker(Screen(), directory_, PickerMode::kWithGroups, text);
        break;
      case ID_MY_TEXT:
        result = RunMyText(Screen(), sentences_, text);
        break;
      case ID_EXIT:
        QApplication::quit();
        return;
      default:
        return;
    }
    QString shown = QString("%1 %2").arg(result).arg(Q(text));
    if (!name.empty()) shown += " name=" + Q(name);
    result_->setText(shown);
    Screen().Refresh();
  }

  DeviceListFile groupFile_;
  DeviceListFile sentenceFile_;
  ContactDirectory directory_;
  SentenceList sentences_;
  QLabel* result_ = nullptr;
};

}  // namespace
}  // namespace brevalo

int main(int argc, char** argv) {
  return brevalo::RunDemoProgram(argc, argv, "contacts_demo", u"ContactsDemo", [](brevalo::PhoneScreen& screen) {
    return std::make_unique<brevalo::ContactsDemoWindow>(screen);
  });
}
