// The contact picker, the group editors and My Text on a phone screen, driven by keys and read
// through the screen dump, as the remote control reads them.
#include <gtest/gtest.h>

#include "send/contact_picker_dialog.h"
#include "send/contact_picker_menus.h"
#include "send/memory_list_file.h"
#include "send/my_text_dialog.h"
#include "ui/phone_screen.h"
#include "ui/phone_window.h"
#include "ui/screen_dump.h"
#include "ui/ui_test_support.h"

namespace brevalo {
namespace {

using testing::ListFileBytes;
using testing::MemoryListFile;
using testing::WhenReady;

ContactDirectory::Loader SampleContacts() {
  return [](ContactDirectory& directory) {
    directory.AddContact(u"Ann Lee", u"Friends", {u"+8613800138000", u"", u""});
    directory.AddContact(u"Bob Stone", u"Work, Friends", {u"13911112222", u"", u"+86105550100"});
    directory.AddContact(u"Chen Wei", u"Family", {u"", u"0105550123", u""});
    directory.AddContact(u"No Number", u"", {u"", u"", u""});
  };
}

class ContactDialogsTest : public ::testing::Test {
 protected:
  ContactDialogsTest()
      : groupFile_(ListFileBytes({u"[Team]", u"Tom|100", u"Tess|101"})), directory_(SampleContacts()) {
    directory_.Groups().Load(groupFile_);
  }
  PhoneScreen& screen() { return fixture_.screen(); }
  nlohmann::json Shown() { return DumpScreen(screen()); }
  bool Shows(const std::string& title) {
    nlohmann::json shown = Shown();
    return shown["title"] == title && shown["enabled"] == true && shown["messageBox"].is_null() &&
           shown["menu"].is_null();
  }
  void Press(PhoneKey key, int times = 1) {
    for (int i = 0; i < times; ++i) screen().PressKey(key);
  }
  void Keys(std::initializer_list<PhoneKey> keys) {
    for (PhoneKey key : keys) screen().PressKey(key);
  }
  nlohmann::json Control(int id) {
    const nlohmann::json shown = Shown();
    for (const nlohmann::json& control : shown["controls"]) {
      if (control["id"] == id) return control;
    }
    return {};
  }
  std::vector<std::string> Rows(int id) {
    std::vector<std::string> rows;
    const nlohmann::json list = Control(id);
    for (const nlohmann::json& row : list["rows"]) {
      std::string text = row["text"];
      if (row.contains("columns") && row["columns"][1] != "") text += " " + row["columns"][1].get<std::string>();
      if (row.value("checked", false)) text += " [x]";
      rows.push_back(text);
    }
    return rows;
  }

  testing::ScreenFixture fixture_;
  MemoryListFile groupFile_;
  ContactDirectory directory_;
};

TEST_F(ContactDialogsTest, OneChoiceListsContactsByFirstNumberAndFiveCyclesWithAHint) {
  std::vector<std::string> rows;
  std::string hint, letterAfterFive, letterAfterTen, homeOnly;
  WhenReady([&] { return Shows("Contacts"); }, [&] {
    rows = Rows(1001);
    Press(PhoneKey::Down);  // from the keyword to the list
    Press(PhoneKey::Down);  // Bob Stone
    Press(PhoneKey::Digit5);
    letterAfterFive = Rows(1001)[1];
    hint = Shown()["hint"].get<std::string>();
    Press(PhoneKey::Digit5);
    letterAfterTen = Rows(1001)[1];
    Press(PhoneKey::Down);
    Press(PhoneKey::Digit5);
    homeOnly = Rows(1001)[2];
    Press(PhoneKey::Up);
    Press(PhoneKey::Digit5);  // Bob's work number again
    Press(PhoneKey::Soft1);
  });
  std::u16string number, name;
  EXPECT_EQ(RunContactPicker(screen(), directory_, PickerMode::kSingle, number, &name), ID_PICKER_ADD);
  EXPECT_EQ(rows, (std::vector<std::string>{"Ann Lee M", "Bob Stone M", "Chen Wei H"}));
  EXPECT_EQ(letterAfterFive, "Bob Stone W");
  EXPECT_EQ(hint, "+86105550100");
  EXPECT_EQ(letterAfterTen, "Bob Stone M");
  EXPECT_EQ(homeOnly, "Chen Wei H");
  EXPECT_EQ(number, u"+86105550100");
  EXPECT_EQ(name, u"Bob Stone");
}

TEST_F(ContactDialogsTest, ALowerCaseKeywordSelectsTheContactAndCancelReturnsNothing) {
  std::string selection;
  WhenReady([&] { return Shows("Contacts"); }, [&] {
    screen().TypeText("che");
    selection = Control(1001)["selection"];
    Press(PhoneKey::Soft2);
    Press(PhoneKey::Digit3);  // Cancel
  });
  std::u16string number = u"untouched";
  EXPECT_EQ(RunContactPicker(screen(), directory_, PickerMode::kSingle, number), ID_PICKER_CANCEL);
  EXPECT_EQ(selection, "Chen Wei");
  EXPECT_EQ(number, u"untouched");
}

TEST_F(ContactDialogsTest, TheKeywordKeepsTheInputModeItHadWhenTheLastPickerClosed) {
  std::string first, changed, second;
  WhenReady([&] { return Shows("Contacts"); }, [&] {
    first = Control(1035)["inputMode"];
    Press(PhoneKey::Hash);
    changed = Control(1035)["inputMode"];
    Press(PhoneKey::Soft2);
    Press(PhoneKey::Digit3);  // Cancel
  });
  std::u16string result;
  RunContactPicker(screen(), directory_, PickerMode::kSingle, result);
  WhenReady([&] { return Shows("Contacts"); }, [&] {
    second = Control(1035)["inputMode"];
    Press(PhoneKey::Back);
  });
  RunContactPicker(screen(), directory_, PickerMode::kWithGroups, result);
  EXPECT_NE(first, changed);
  EXPECT_EQ(second, changed);
}

TEST(ContactPickerPaging, RightAndLeftTurnWholePagesAndStopAtTheEnds) {
  testing::ScreenFixture fixture;
  ContactDirectory directory([](ContactDirectory& into) {
    for (int i = 0; i < 60; ++i) {
      into.AddContact(u"C" + std::u16string(1, static_cast<char16_t>(u'A' + i / 10)) +
                          std::u16string(1, static_cast<char16_t>(u'0' + i % 10)),
                      u"", {u"1", u"", u""});
    }
  });
  auto selection = [&] {
    nlohmann::json shown = DumpScreen(fixture.screen());
    for (const nlohmann::json& control : shown["controls"]) {
      if (control["id"] == 1001) return control["selection"].get<std::string>();
    }
    return std::string();
  };
  std::vector<std::string> seen;
  WhenReady([&] { return DumpScreen(fixture.screen())["title"] == "Contacts"; }, [&] {
    fixture.screen().PressKey(PhoneKey::Down);  // to the list
    for (PhoneKey key : {PhoneKey::Right, PhoneKey::Right, PhoneKey::Left, PhoneKey::Left,
                         PhoneKey::Left}) {
      fixture.screen().PressKey(key);
      seen.push_back(selection());
    }
    for (int i = 0; i < 20; ++i) fixture.screen().PressKey(PhoneKey::Right);
    seen.push_back(selection());
    fixture.screen().PressKey(PhoneKey::Back);
  });
  std::u16string result;
  RunContactPicker(fixture.screen(), directory, PickerMode::kSingle, result);
  ASSERT_EQ(seen.size(), 6u);
  auto row = [](const std::string& name) { return (name[1] - 'A') * 10 + (name[2] - '0'); };
  const int page = row(seen[0]);
  EXPECT_GT(page, 3);
  EXPECT_EQ(row(seen[1]), 2 * page);  // the page below, its first row at the top
  EXPECT_EQ(row(seen[2]), page);      // selection at the top already: one page up
  EXPECT_EQ(seen[3], "CA0");
  EXPECT_EQ(seen[4], "CA0");          // never above the first row
  EXPECT_EQ(seen[5], "CF9");          // nor below the last
}

TEST_F(ContactDialogsTest, ACheckedGroupAndAContactGiveThreeEntriesTheGroupsFirst) {
  std::vector<std::string> rows;
  WhenReady([&] { return Shows("Contacts"); }, [&] {
    Keys({PhoneKey::Down, PhoneKey::Action});  // Team
    Keys({PhoneKey::Down, PhoneKey::Down, PhoneKey::Action});  // Bob Stone
    rows = Rows(1001);
    Press(PhoneKey::Soft1);
  });
  std::u16string result = u"5550100";
  EXPECT_EQ(RunContactPicker(screen(), directory_, PickerMode::kWithGroups, result), ID_PICKER_ADD);
  EXPECT_EQ(rows, (std::vector<std::string>{"Team [x]", "Ann Lee M", "Bob Stone M [x]", "Chen Wei H"}));
  EXPECT_EQ(result, u"5550100;\"Tom\"<100>;\"Tess\"<101>;\"Bob Stone\"<13911112222>");
}

TEST_F(ContactDialogsTest, AResultThatWouldPassTheBoundIsRefusedAndThePickerStaysOpen) {
  std::string caption;
  bool stillOpen = false;
  WhenReady([&] { return Shows("Contacts"); }, [&] {
    Press(PhoneKey::Soft2);
    Press(PhoneKey::Digit3);  // Check All
    WhenReady([&] { return !Shown()["messageBox"].is_null(); }, [&] {
      caption = Shown()["messageBox"]["caption"];
      Press(PhoneKey::Action);
    });
    Press(PhoneKey::Soft1);  // returns once the box is gone
    stillOpen = Shows("Contacts");
    Press(PhoneKey::Soft2);
    Press(PhoneKey::Digit4);  // Uncheck All
    Press(PhoneKey::Soft1);
  });
  std::u16string result(kRecipientTextChars - 20, u'9');
  const std::u16string before = result;
  EXPECT_EQ(RunContactPicker(screen(), directory_, PickerMode::kWithGroups, result), ID_PICKER_ADD);
  EXPECT_EQ(caption, "Error");
  EXPECT_TRUE(stillOpen);
  EXPECT_EQ(result, before);
}

TEST_F(ContactDialogsTest, ACategoryNarrowsTheContactsAndRefreshBringsAllBack) {
  std::vector<std::string> work, category, refreshed;
  WhenReady([&] { return Shows("Contacts"); }, [&] {
    Press(PhoneKey::Soft2);
    Press(PhoneKey::Digit2);  // Category
    const nlohmann::json submenu = Shown()["menu"];
    for (const auto& item : submenu["items"]) category.push_back(item["text"]);
    Press(PhoneKey::Digit3);  // Work
    work = Rows(1001);
    Press(PhoneKey::Soft2);
    Press(PhoneKey::Digit1);  // Refresh
    refreshed = Rows(1001);
    Press(PhoneKey::Back);
    Press(PhoneKey::Back);
  });
  std::u16string result;
  RunContactPicker(screen(), directory_, PickerMode::kMultiple, result);
  EXPECT_EQ(category, (std::vector<std::string>{"All", "Friends", "Work", "Family"}));
  EXPECT_EQ(work, (std::vector<std::string>{"Bob Stone M"}));
  EXPECT_EQ(refreshed.size(), 3u);
}

TEST_F(ContactDialogsTest, AddToGroupMakesANewGroupAtTheTopAndSavesItsMembers) {
  std::vector<std::string> chooserRows, pickerRows;
  nlohmann::json hintInPicker, hintInChooser;
  WhenReady([&] { return Shows("Contacts"); }, [&] {
    Keys({PhoneKey::Down, PhoneKey::Down, PhoneKey::Action});  // Ann Lee
    hintInPicker = Shown()["hint"];
    Press(PhoneKey::Soft2);
    WhenReady([&] { return Shows("Member Setting"); }, [&] {
      hintInChooser = Shown()["hint"];  // the picker's hint does not stand above the chooser
      Press(PhoneKey::Back);  // from the list to the name
      screen().TypeText("Golf");
      Keys({PhoneKey::Down, PhoneKey::Action});  // Add
      chooserRows = Rows(1001);
      Press(PhoneKey::Soft1);  // Done, with the new group selected
      WhenReady([&] { return Shows("Contacts"); }, [&] {
        pickerRows = Rows(1001);
        Press(PhoneKey::Soft2);
        Press(PhoneKey::Digit8);  // Cancel
      });
    });
    Press(PhoneKey::Digit5);  // Add to Group...
  });
  std::u16string result;
  EXPECT_EQ(RunContactPicker(screen(), directory_, PickerMode::kWithGroups, result), ID_PICKER_CANCEL);
  EXPECT_EQ(hintInPicker, "+8613800138000");
  EXPECT_TRUE(hintInChooser.is_null());
  EXPECT_EQ(chooserRows, (std::vector<std::string>{"Golf", "Team"}));
  EXPECT_EQ(pickerRows, (std::vector<std::string>{"Golf", "Team", "Ann Lee M [x]", "Bob Stone M", "Chen Wei H"}));
  EXPECT_EQ(*groupFile_.Bytes(), ListFileBytes({u"[Golf]", u"Ann Lee|+8613800138000", u"[Team]",
                                                u"Tom|100", u"Tess|101"}));
}

TEST_F(ContactDialogsTest, DeleteGroupIsOnlyOfferedOnAGroupRowAndSavesAtOnce) {
  bool enabledOnContact = true, enabledOnGroup = false;
  std::vector<std::string> rows;
  WhenReady([&] { return Shows("Contacts"); }, [&] {
    Keys({PhoneKey::Down, PhoneKey::Down});  // Ann Lee
    Press(PhoneKey::Soft2);
    enabledOnContact = Shown()["menu"]["items"][7]["enabled"];
    Press(PhoneKey::Back);
    Press(PhoneKey::Up);  // Team
    Press(PhoneKey::Soft2);
    enabledOnGroup = Shown()["menu"]["items"][7]["enabled"];
    Press(PhoneKey::Digit7);  // Delete Group
    rows = Rows(1001);
    Press(PhoneKey::Back);
  });
  std::u16string result;
  RunContactPicker(screen(), directory_, PickerMode::kWithGroups, result);
  EXPECT_FALSE(enabledOnContact);
  EXPECT_TRUE(enabledOnGroup);
  EXPECT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0], "Ann Lee M");
  EXPECT_EQ(*groupFile_.Bytes(), std::string("\xFF\xFE"));
}

TEST_F(ContactDialogsTest, ADoubleActionOnAGroupOpensItsMemberEditorWhichRefusesUnstorableText) {
  std::vector<std::string> members;
  std::string refused;
  bool groupChecked = true;
  WhenReady([&] { return Shows("Contacts"); }, [&] {
    WhenReady([&] { return Shows("Black List"); }, [&] {
      members = Rows(1001);
      screen().TypeText("A|B");
      Press(PhoneKey::Down);
      screen().TypeText("123");
      WhenReady([&] { return !Shown()["messageBox"].is_null(); }, [&] {
        refused = Shown()["messageBox"]["caption"];
        Press(PhoneKey::Action);
      });
      Keys({PhoneKey::Down, PhoneKey::Action});  // Add, refused
      Keys({PhoneKey::Up, PhoneKey::Up});
      for (int i = 0; i < 3; ++i) Press(PhoneKey::Back);
      screen().TypeText("Ted");
      Keys({PhoneKey::Down, PhoneKey::Down, PhoneKey::Action});  // Add with the number kept
      Press(PhoneKey::Soft1);  // Done
      WhenReady([&] { return Shows("Contacts"); }, [&] {
        groupChecked = Rows(1001)[0].find("[x]") != std::string::npos;
        Press(PhoneKey::Back);
        Press(PhoneKey::Back);
      });
    });
    Keys({PhoneKey::Down, PhoneKey::Action, PhoneKey::Action});
  });
  std::u16string result;
  RunContactPicker(screen(), directory_, PickerMode::kWithGroups, result);
  EXPECT_EQ(members, (std::vector<std::string>{"Tom 100", "Tess 101"}));
  EXPECT_EQ(refused, "Error");
  EXPECT_FALSE(groupChecked);
  EXPECT_EQ(*groupFile_.Bytes(), ListFileBytes({u"[Team]", u"Tom|100", u"Tess|101", u"Ted|123"}));
}

class MyTextTest : public ::testing::Test {
 protected:
  PhoneScreen& screen() { return fixture_.screen(); }
  nlohmann::json Shown() { return DumpScreen(screen()); }
  bool Shows() {
    nlohmann::json shown = Shown();
    return shown["title"] == "My Text" && shown["menu"].is_null() && shown["messageBox"].is_null();
  }
  std::string EditText() {
    const nlohmann::json shown = Shown();
    for (const nlohmann::json& control : shown["controls"]) {
      if (control["id"] == 1035) return control["text"];
    }
    return "";
  }
  std::vector<std::string> Rows() {
    std::vector<std::string> rows;
    const nlohmann::json shown = Shown();
    for (const nlohmann::json& control : shown["controls"]) {
      if (control["id"] != 1001) continue;
      for (const nlohmann::json& row : control["rows"]) rows.push_back(row["text"]);
    }
    return rows;
  }
  void Press(PhoneKey key, int times = 1) {
    for (int i = 0; i < times; ++i) screen().PressKey(key);
  }
  testing::ScreenFixture fixture_;
  MemoryListFile file_;
  SentenceList list_{file_};
};

TEST_F(MyTextTest, FirstStartListsTheDefaultsAndTheEditFollowsTheSelection) {
  std::vector<std::string> rows;
  std::string first, third;
  WhenReady([&] { return Shows(); }, [&] {
    rows = Rows();
    first = EditText();
    Press(PhoneKey::Down, 2);
    third = EditText();
    Press(PhoneKey::Soft1);
  });
  std::u16string chosen;
  EXPECT_EQ(RunMyText(screen(), list_, chosen), IDOK);
  ASSERT_EQ(rows.size(), 8u);
  EXPECT_EQ(rows.front(), "Yes.");
  EXPECT_EQ(first, "Yes.");
  EXPECT_EQ(third, "Thanks!");
  EXPECT_EQ(chosen, u"Thanks!");
  EXPECT_EQ(file_.Writes(), 1);  // the defaults, written once; choosing changes nothing
}

TEST_F(MyTextTest, OkWithAnEmptyEditStaysOpenAndChangesAreSavedOnCancel) {
  file_.Write(ListFileBytes({u"A", u"B", u"C"}));
  bool stayed = false;
  std::vector<std::string> rows;
  WhenReady([&] { return Shows(); }, [&] {
    Press(PhoneKey::Back);  // to the edit
    Press(PhoneKey::Back);  // erases "C"
    Press(PhoneKey::Soft1);
    stayed = Shows();
    screen().TypeText("New");
    Press(PhoneKey::Soft2);
    Press(PhoneKey::Digit1);  // Add
    Press(PhoneKey::Down);    // on to the list, row "C"
    Press(PhoneKey::Down);
    Press(PhoneKey::Soft2);
    Press(PhoneKey::Digit3);  // Delete "C"
    rows = Rows();
    Press(PhoneKey::Soft2);
    Press(PhoneKey::Digit4);  // Cancel
  });
  std::u16string chosen;
  EXPECT_EQ(RunMyText(screen(), list_, chosen), ID_MYTEXT_CANCEL);
  EXPECT_TRUE(stayed);
  EXPECT_TRUE(chosen.empty());
  EXPECT_EQ(rows, (std::vector<std::string>{"New", "B", "A"}));
  EXPECT_EQ(*file_.Bytes(), ListFileBytes({u"New", u"B", u"A"}));
}

TEST_F(MyTextTest, ModifyReplacesTheSelectedSentenceAndALongSentenceIsHandedOnCut) {
  file_.Write(ListFileBytes({u"old"}));
  list_.Load();
  list_.AddFront(std::u16string(300, u'x'));
  WhenReady([&] { return Shows(); }, [&] {
    Press(PhoneKey::Down);  // "old"
    Press(PhoneKey::Back);
    screen().TypeText("er");
    Press(PhoneKey::Soft2);
    Press(PhoneKey::Digit2);  // Modify
    Press(PhoneKey::Down);
    Press(PhoneKey::Up);      // the long one: its first 259 characters in the edit
    Press(PhoneKey::Action);
  });
  std::u16string chosen;
  EXPECT_EQ(RunMyText(screen(), list_, chosen), IDOK);
  EXPECT_EQ(chosen, std::u16string(259, u'x'));
  EXPECT_EQ(list_.Sentences()[1], u"older");
  EXPECT_EQ(ReadSentences(*file_.Bytes())[0], u"older");
}

}  // namespace
}  // namespace brevalo
