#include "ui/dialog_base.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QListWidget>

#include "ui/message_box.h"
#include "ui/screen_dump.h"
#include "ui/ui_test_support.h"

namespace brevalo {
namespace {

using testing::RecordingWindow;
using testing::WhenReady;

// Records which slot ran, in order; a command may open a nested dialog.
class RecordingDialog : public DialogBase {
 public:
  RecordingDialog(PhoneScreen& screen, const QString& title) : DialogBase(screen, title) {}
  std::vector<std::string> calls;
  bool initOk = true;
  std::function<void(int)> onCommand;
  std::vector<int> drawnRows;

 protected:
  void Destroy() override { calls.push_back("destroy"); }
  void OnInitMenuPopup(PopupMenu& menu, int position) override {
    calls.push_back("initmenu " + std::to_string(position));
    menu.Enable(41, false);
  }
  bool OnInitDialog() override {
    calls.push_back("init");
    auto* list = new QListWidget;
    list->addItems({"a", "b", "c"});
    list->setCurrentRow(0);
    AddControl(1001, ControlKind::List, list);
    return initOk;
  }
  void OnCommand(int id, uint16_t code) override {
    calls.push_back("command " + std::to_string(id));
    if (onCommand) onCommand(id);
    DialogBase::OnCommand(id, code);
  }
  void OnNotify(const Notification& n) override {
    calls.push_back("notify " + std::to_string(n.controlId) + " " + std::to_string(n.code));
  }
  void OnDrawItem(const DrawItem& item) override { drawnRows.push_back(item.row); }
};

class DialogBaseTest : public ::testing::Test {
 protected:
  DialogBaseTest() : owner_(screen(), "Owner") { screen().ShowWindow(&owner_, true); }
  PhoneScreen& screen() { return fixture_.screen(); }
  bool TopIs(const QString& title) { return screen().TopWindow() && screen().TopWindow()->Title() == title; }

  testing::ScreenFixture fixture_;
  RecordingWindow owner_;
};

TEST_F(DialogBaseTest, ADialogRunsModallyAboveItsDisabledOwnerAndEndsWithItsCommand) {
  RecordingDialog dialog(screen(), "Dialog");
  bool ownerEnabledMeanwhile = true;
  WhenReady([&] { return TopIs("Dialog"); }, [&] {
    ownerEnabledMeanwhile = owner_.IsWindowEnabled();
    screen().PressKey(PhoneKey::Down);
    screen().PressKey(PhoneKey::Soft1);
  });
  EXPECT_EQ(dialog.DoModal(), IDOK);
  EXPECT_FALSE(ownerEnabledMeanwhile);
  EXPECT_TRUE(owner_.IsWindowEnabled());
  EXPECT_EQ(screen().TopWindow(), &owner_);
  EXPECT_EQ(dialog.calls, (std::vector<std::string>{"init", "notify 1001 -101", "command 1", "destroy"}));
  std::vector<testing::RecordedMessage> activations = owner_.Of(WM_ACTIVATE);
  ASSERT_EQ(activations.size(), 2u);
  EXPECT_EQ(activations[0].wParam, WA_INACTIVE);
  EXPECT_EQ(activations[1].wParam, WA_ACTIVE);
}

TEST_F(DialogBaseTest, AFailedInitialisationEndsWithCancelWithoutShowing) {
  RecordingDialog dialog(screen(), "Dialog");
  dialog.initOk = false;
  EXPECT_EQ(dialog.DoModal(), IDCANCEL);
  EXPECT_EQ(dialog.calls, (std::vector<std::string>{"init", "destroy"}));
  EXPECT_EQ(screen().TopWindow(), &owner_);
  EXPECT_TRUE(owner_.IsWindowEnabled());
}

TEST_F(DialogBaseTest, AModalDialogInsideAModalDialog) {
  RecordingDialog outer(screen(), "Outer");
  RecordingDialog inner(screen(), "Inner");
  outer.MenuBar().left = {u"Open", 40, nullptr, true};
  inner.MenuBar().left = {u"Five", 5, nullptr, true};
  int innerResult = 0;
  bool outerEnabledMeanwhile = true;
  inner.onCommand = [&](int id) {
    if (id == 5) inner.EndDialog(5);
  };
  outer.onCommand = [&](int id) {
    if (id == 40) innerResult = inner.DoModal();
  };
  WhenReady([&] { return TopIs("Outer"); }, [&] {
    WhenReady([&] { return TopIs("Inner"); }, [&] {
      outerEnabledMeanwhile = outer.IsWindowEnabled();
      screen().PressKey(PhoneKey::Soft1);
      WhenReady([&] { return innerResult != 0 && TopIs("Outer"); },
                [&] { screen().PressKey(PhoneKey::Soft2); });
    });
    screen().PressKey(PhoneKey::Soft1);
  });
  EXPECT_EQ(outer.DoModal(), IDCANCEL);
  EXPECT_EQ(innerResult, 5);
  EXPECT_FALSE(outerEnabledMeanwhile);
  EXPECT_EQ(screen().TopWindow(), &owner_);
  EXPECT_TRUE(owner_.IsWindowEnabled());
  EXPECT_EQ(outer.calls.back(), "destroy");
}

TEST_F(DialogBaseTest, ItsPopupIsPreparedByTheDialogAndItsChoiceEndsIt) {
  RecordingDialog dialog(screen(), "Dialog");
  auto menu = std::make_shared<PopupMenu>(u"Menu");
  menu->AddItem(41, u"Gray").AddItem(40016, u"Cancel");
  dialog.MenuBar().right = {u"Menu", 0, menu, true};
  dialog.onCommand = [&](int id) {
    if (id == 40016) dialog.EndDialog(40016);
  };
  WhenReady([&] { return TopIs("Dialog"); }, [&] {
    screen().PressKey(PhoneKey::Soft2);
    screen().PressKey(PhoneKey::Action);  // gray: nothing
    screen().PressKey(PhoneKey::Down);
    screen().PressKey(PhoneKey::Action);
  });
  EXPECT_EQ(dialog.DoModal(), 40016);
  EXPECT_EQ(dialog.calls, (std::vector<std::string>{"init", "initmenu 0", "command 40016", "destroy"}));
}

TEST_F(DialogBaseTest, OwnerDrawnRowsArePaintedByTheDialog) {
  RecordingDialog dialog(screen(), "Dialog");
  WhenReady([&] { return TopIs("Dialog"); }, [&] {
    dialog.SetOwnerDraw(1001);
    screen().Screenshot();
    dialog.EndDialog(IDOK);
  });
  EXPECT_EQ(dialog.DoModal(), IDOK);
  std::sort(dialog.drawnRows.begin(), dialog.drawnRows.end());
  dialog.drawnRows.erase(std::unique(dialog.drawnRows.begin(), dialog.drawnRows.end()), dialog.drawnRows.end());
  EXPECT_EQ(dialog.drawnRows, (std::vector<int>{0, 1, 2}));
}

TEST_F(DialogBaseTest, MessageBoxesCarryTheirCaptionsAndAnswerByKey) {
  nlohmann::json shown;
  WhenReady([&] { return screen().OpenMessageBox() != nullptr; }, [&] {
    shown = DumpScreen(screen());
    screen().PressKey(PhoneKey::Soft2);
  });
  EXPECT_EQ(AlertBox(owner_, "Do you want to delete the node?", MB_OKCANCEL | MB_ICONQUESTION), IDCANCEL);
  EXPECT_EQ(shown["messageBox"]["caption"], "Alert");
  EXPECT_EQ(shown["messageBox"]["text"], "Do you want to delete the node?");
  EXPECT_EQ(shown["messageBox"]["buttons"], (nlohmann::json{"OK", "Cancel"}));
  EXPECT_EQ(shown["softKeys"]["right"]["label"], "Cancel");
  EXPECT_EQ(shown["enabled"], false);  // the owner waits
  EXPECT_TRUE(owner_.IsWindowEnabled());

  WhenReady([&] { return screen().OpenMessageBox() != nullptr; }, [&] {
    shown = DumpScreen(screen());
    screen().PressKey(PhoneKey::Digit5);  // ignored, the box stays
    screen().PressKey(PhoneKey::Back);
  });
  EXPECT_EQ(ErrorBox(owner_, "Phone Number can't be empty!"), IDOK);  // OK alone answers OK to all
  EXPECT_EQ(shown["messageBox"]["caption"], "Error");
  EXPECT_EQ(shown["messageBox"]["buttons"], nlohmann::json{"OK"});
  EXPECT_TRUE(owner_.Commands().empty());  // no key went past the box

  WhenReady([&] { return screen().OpenMessageBox() != nullptr; },
            [&] { screen().PressKey(PhoneKey::Action); });
  EXPECT_EQ(AlertBox(owner_, "Backup file error! Do you want to continue?", MB_OKCANCEL), IDOK);
}

TEST_F(DialogBaseTest, AMessageBoxAboveAModalDialog) {
  RecordingDialog dialog(screen(), "Dialog");
  int boxResult = 0;
  dialog.onCommand = [&](int id) {
    if (id == 1) boxResult = AlertBox(dialog, "Sure?", MB_OKCANCEL);
  };
  WhenReady([&] { return TopIs("Dialog"); }, [&] {
    WhenReady([&] { return screen().OpenMessageBox() != nullptr; },
              [&] { screen().PressKey(PhoneKey::Soft1); });
    screen().PressKey(PhoneKey::Soft1);
  });
  EXPECT_EQ(dialog.DoModal(), IDOK);
  EXPECT_EQ(boxResult, IDOK);
}

}  // namespace
}  // namespace brevalo
