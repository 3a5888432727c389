#include "app/password_dialog.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "ui/phone_screen.h"
#include "ui/phone_window.h"
#include "ui/ui_test_support.h"

namespace brevalo {
namespace {

enum : int { kOld = 1040, kNew = 1041, kConfirm = 1042, kOldLabel = 1043, kNewLabel = 1044, kConfirmLabel = 1045 };

class PasswordDialogTest : public ::testing::Test {
 protected:
  PhoneScreen& screen() { return fixture_.screen(); }
  using Step = std::pair<std::function<bool()>, std::function<void()>>;
  // Runs the steps one after the other, each once its condition holds. The next step waits
  // from before its predecessor acts, since that may open a box and wait in it; so two steps in
  // a row must not wait for the same thing.
  static void Steps(std::vector<Step> steps) {
    if (steps.empty()) return;
    Step first = steps.front();
    steps.erase(steps.begin());
    testing::WhenReady(first.first, [first, steps] {
      Steps(steps);
      first.second();
    });
  }
  std::function<bool()> DialogUp() {
    return [this] {
      PhoneWindow* top = screen().TopWindow();
      return top && top->Title() == "Password" && top->IsWindowEnabled() && !screen().OpenMessageBox();
    };
  }
  std::function<bool()> BoxUp() {
    return [this] { return screen().OpenMessageBox() != nullptr; };
  }
  // Notes the box's text and caption and closes it.
  std::function<void()> NoteBox() {
    return [this] {
      boxes.push_back(screen().OpenMessageBox()->caption + ": " + screen().OpenMessageBox()->text);
      Press(PhoneKey::Action);
    };
  }
  QWidget* Control(int id) { return screen().TopWindow()->Control(id); }
  QLineEdit* Edit(int id) { return qobject_cast<QLineEdit*>(Control(id)); }
  QString Text(int id) {
    if (auto* label = qobject_cast<QLabel*>(Control(id))) return label->text();
    return Edit(id)->text();
  }
  void Press(PhoneKey key) { screen().PressKey(key); }
  // Types into the focused box, then moves on to the next one.
  void Type(const QString& text, bool next = true) {
    screen().TypeText(text);
    if (next) Press(PhoneKey::Down);
  }
  // The boxes as they stand: "" for an empty one, "-" for a hidden one.
  std::vector<QString> Boxes() {
    std::vector<QString> shown;
    for (int id : {kOld, kNew, kConfirm}) shown.push_back(Edit(id)->isHidden() ? "-" : Edit(id)->text());
    return shown;
  }

  testing::ScreenFixture fixture_;
  std::vector<QString> boxes;
};

TEST_F(PasswordDialogTest, AskModeTakesOnlyTheCurrentPasswordAndAWrongOneStartsOver) {
  std::u16string password = u"secret";
  QString label;
  bool newLabelGray = false, busy = false, focusOnFirst = false, firstMasked = true;
  std::vector<QString> afterWrong;
  Steps({{DialogUp(),
          [&] {
            label = Text(kOldLabel);
            newLabelGray = !Control(kNewLabel)->isEnabled() && !Control(kConfirmLabel)->isEnabled();
            focusOnFirst = screen().TopWindow()->FocusedControlId() == kOld;
            firstMasked = Edit(kOld)->echoMode() != QLineEdit::Normal;
            busy = PasswordDialogOpen();
            Type("Secret", false);
            Press(PhoneKey::Soft1);
          }},
         {BoxUp(), NoteBox()},
         {DialogUp(),
          [&] {
            afterWrong = Boxes();
            Type("secret", false);
            Press(PhoneKey::Action);  // the Action key is OK
          }}});
  EXPECT_EQ(RunPasswordDialog(screen(), PasswordMode::kAsk, password), IDOK);
  EXPECT_EQ(label, "Input Password:");
  EXPECT_TRUE(newLabelGray);
  EXPECT_TRUE(focusOnFirst);
  EXPECT_FALSE(firstMasked);
  EXPECT_TRUE(busy);
  EXPECT_FALSE(PasswordDialogOpen()) << "the busy flag goes with the dialog";
  EXPECT_EQ(boxes, std::vector<QString>{"Error: Password Error!"});
  EXPECT_EQ(afterWrong, (std::vector<QString>{"", "-", "-"}));
  EXPECT_EQ(password, u"secret");
}

TEST_F(PasswordDialogTest, ANewPasswordIsTypedTwiceMaskedAndKeepsTenOfElevenCharacters) {
  std::u16string password;
  std::vector<QString> opened, afterMismatch;
  bool masked = false, oldLabelGray = false;
  int typed = 0;
  Steps({{DialogUp(),
          [&] {
            opened = Boxes();
            oldLabelGray = !Control(kOldLabel)->isEnabled();
            masked = Edit(kNew)->echoMode() == QLineEdit::Password && Edit(kConfirm)->echoMode() == QLineEdit::Password;
            Type("abcdefghijk");
            Type("abcdefghiXk", false);  // the tenth differs
            Press(PhoneKey::Soft1);
          }},
         {BoxUp(), NoteBox()},
         {DialogUp(),
          [&] {
            afterMismatch = Boxes();
            Type("abcdefghijkXYZ");  // the box stops at 11
            typed = static_cast<int>(Edit(kNew)->text().size());
            Type("abcdefghijX", false);  // only the eleventh differs: the same password
            Press(PhoneKey::Soft1);
          }}});
  EXPECT_EQ(RunPasswordDialog(screen(), PasswordMode::kChange, password), IDOK);
  EXPECT_EQ(opened, (std::vector<QString>{"-", "", ""}));
  EXPECT_TRUE(oldLabelGray);
  EXPECT_TRUE(masked);
  EXPECT_EQ(boxes, std::vector<QString>{"Error: Password is not the same!"});
  EXPECT_EQ(afterMismatch, (std::vector<QString>{"-", "", ""}));
  EXPECT_EQ(typed, 11);
  EXPECT_EQ(password, u"abcdefghij");
}

TEST_F(PasswordDialogTest, AChangeAsksTheOldPasswordAndTwoDifferentNewOnesStartOver) {
  std::u16string password = u"old";
  std::vector<QString> afterMismatch;
  Steps({{DialogUp(),
          [&] {
            Type("old");
            Type("one");
            Type("two", false);
            Press(PhoneKey::Soft1);
          }},
         {BoxUp(), NoteBox()},
         {DialogUp(),
          [&] {
            afterMismatch = Boxes();
            Type("wrong");
            Press(PhoneKey::Soft1);
          }},
         {BoxUp(), NoteBox()},
         {DialogUp(),
          [&] {
            Type("old", false);  // both new boxes left empty: no password any more
            Press(PhoneKey::Soft1);
          }}});
  EXPECT_EQ(RunPasswordDialog(screen(), PasswordMode::kChange, password), IDOK);
  EXPECT_EQ(boxes, (std::vector<QString>{"Error: Password is not the same!", "Error: Password Error!"}));
  EXPECT_EQ(afterMismatch, (std::vector<QString>{"", "", ""}));
  EXPECT_EQ(password, u"");
}

TEST_F(PasswordDialogTest, APasswordTheDocumentCannotKeepIsRefusedAndCancelKeepsTheOldOne) {
  std::u16string password;
  std::vector<std::u16string> offered;
  auto fits = [&](std::u16string_view typed) {
    offered.emplace_back(typed);
    return false;
  };
  Steps({{DialogUp(),
          [&] {
            Type("toolong");
            Type("toolong", false);
            Press(PhoneKey::Soft1);
          }},
         {BoxUp(), NoteBox()},
         {DialogUp(), [&] { Press(PhoneKey::Soft2); }}});
  EXPECT_EQ(RunPasswordDialog(screen(), PasswordMode::kChange, password, fits), IDCANCEL);
  EXPECT_EQ(offered, std::vector<std::u16string>{u"toolong"});
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_TRUE(boxes[0].startsWith("Error: This password cannot be kept")) << boxes[0].toStdString();
  EXPECT_EQ(password, u"");
}

}  // namespace
}  // namespace brevalo
