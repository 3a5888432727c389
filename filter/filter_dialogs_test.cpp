// The filter list, the filter edit dialog, the Rule Editor and the Black List on a phone
// screen, driven by the keys and read through the screen dump as the remote control reads them.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <QScrollBar>
#include <QTest>
#include <QTreeView>

#include "alert/file_source.h"
#include "filter/black_list_dialog.h"
#include "filter/filter_edit_dialog.h"
#include "filter/filter_icons.h"
#include "filter/filter_list_dialog.h"
#include "filter/rule_editor_dialog.h"
#include "send/memory_list_file.h"
#include "settings/host_device_files.h"
#include "settings/program_folder.h"
#include "ui/screen_dump.h"
#include "ui/ui_test_support.h"

namespace brevalo {
namespace {

using testing::WhenReady;

struct Step {
  std::function<bool()> ready;
  std::function<void()> action;
};

// Runs the steps one after the other, each once its screen shows. The next step is waiting
// before an action runs, because the action may open a modal window and wait in it.
void RunSteps(std::vector<Step> steps) {
  if (steps.empty()) return;
  Step first = steps.front();
  steps.erase(steps.begin());
  WhenReady(first.ready, [first, steps] {
    RunSteps(steps);
    first.action();
  });
}

class FilterDialogsTest : public ::testing::Test {
 protected:
  FilterDialogsTest()
      : contacts_([](ContactDirectory& into) {
          into.AddContact(u"Ann Lee", u"Family", {u"+8613800138000", u"", u""});
          into.AddContact(u"Bob Stone", u"Work", {u"139-1111-2222", u"", u""});
        }),
        sentenceFile_(testing::ListFileBytes({u"On my way."})),
        sentences_(sentenceFile_),
        files_(fixture_.device()),
        pictures_(fixture_.device()),
        context_{fixture_.device(), contacts_, sentences_, files_, pictures_, ProgramFolder(), lastDir_, u"",
                 [this](std::u16string_view path) { played_.emplace_back(path); }} {
    std::filesystem::path skins = fixture_.device().FsRoot() / "Program Files" / "Velmora" / "skins";
    std::filesystem::create_directories(skins);
    std::ofstream(skins / "Blue.cfg") << "[skin]\n";
  }

  PhoneScreen& screen() { return fixture_.screen(); }
  nlohmann::json Shown() { return DumpScreen(screen()); }
  std::function<bool()> Showing(const std::string& title) {
    return [this, title] {
      nlohmann::json shown = Shown();
      return shown["title"] == title && shown["enabled"] == true && shown["messageBox"].is_null() &&
             shown["menu"].is_null();
    };
  }
  std::function<bool()> Asking() {
    return [this] { return !Shown()["messageBox"].is_null(); };
  }
  void Press(PhoneKey key, int times = 1) {
    for (int i = 0; i < times; ++i) {
      screen().PressKey(key);
      screen().ReleaseKey(key);
    }
  }
  void Focus(int id) { ASSERT_TRUE(screen().TopWindow()->SetFocusControl(id)); }
  // The page of the window on top shows its last pixels.
  bool ScrolledToTheEnd() {
    QScrollBar* bar = screen().TopWindow()->Page()->verticalScrollBar();
    return bar->maximum() > 0 && bar->value() == bar->maximum();
  }
  void Menu(int item) {
    Press(PhoneKey::Soft2);
    Press(static_cast<PhoneKey>(static_cast<int>(PhoneKey::Digit0) + item));
  }
  nlohmann::json Control(int id) {
    const nlohmann::json shown = Shown();
    for (const nlohmann::json& control : shown["controls"]) {
      if (control["id"] == id) return control;
    }
    return {};
  }
  // The list's rows as "[x] name" or "[ ] name".
  std::vector<std::string> ListRows() {
    std::vector<std::string> rows;
    const nlohmann::json list = Control(IDC_FILTER_LIST);
    for (const nlohmann::json& row : list["rows"]) {
      rows.push_back(std::string(row["checked"].get<bool>() ? "[x] " : "[ ] ") + row["text"].get<std::string>());
    }
    return rows;
  }
  void AddFilter(std::u16string name) {
    auto filter = std::make_unique<Filter>();
    filter->name = std::move(name);
    filter->conditions[0] = FilterCondition{OBJECT_BODY, JUDGE_INCLUDE, u"x"};
    engine_.AddFilter(std::move(filter));
  }
  std::vector<std::u16string> Names() {
    std::vector<std::u16string> names;
    for (size_t i = 0; i < engine_.FilterCount(); ++i) names.push_back(engine_.FilterAt(i)->name);
    return names;
  }
  int RunList() {
    FilterListDialog list(screen(), engine_, context_);
    return list.DoModal();
  }

  testing::ScreenFixture fixture_;
  FilterEngine engine_{std::filesystem::path()};
  ContactDirectory contacts_;
  testing::MemoryListFile sentenceFile_;
  SentenceList sentences_;
  HostDeviceFiles files_;
  DeviceFileSource pictures_;
  std::u16string lastDir_ = u"\\";
  std::vector<std::u16string> played_;
  FilterDialogContext context_;
};

TEST_F(FilterDialogsTest, TheListTogglesReordersAndDeletesAfterAskingAndEndsWithDone) {
  AddFilter(u"A");
  AddFilter(u"B");
  AddFilter(u"C");
  std::vector<std::string> opened, toggled, atEnds, reordered, afterDelete;
  nlohmann::json box;
  RunSteps({
      {Showing("Filter List"), [&] {
         opened = ListRows();
         Press(PhoneKey::Right);  // A off
         Press(PhoneKey::Down);
         Press(PhoneKey::Left);   // B off
         Press(PhoneKey::Left);   // and on again
         toggled = ListRows();
         Press(PhoneKey::Up);
         Menu(5);                 // Up on the first row
         Press(PhoneKey::Down, 5);
         Menu(6);                 // Down on the last row
         atEnds = ListRows();
         Menu(5);                 // C up
         Menu(5);                 // and up again: C A B
         reordered = ListRows();
         Menu(4);                 // Delete C
       }},
      {Asking(), [&] {
         box = Shown()["messageBox"];
         Press(PhoneKey::Soft1);  // OK
       }},
      {Showing("Filter List"), [&] {
         afterDelete = ListRows();
         Press(PhoneKey::Soft1);  // Done
       }},
  });
  EXPECT_EQ(RunList(), kFilterListDone);
  EXPECT_EQ(opened, (std::vector<std::string>{"[x] A", "[x] B", "[x] C"}));
  EXPECT_EQ(toggled, (std::vector<std::string>{"[ ] A", "[x] B", "[x] C"}));
  EXPECT_EQ(atEnds, toggled);
  EXPECT_EQ(reordered, (std::vector<std::string>{"[x] C", "[ ] A", "[x] B"}));
  EXPECT_EQ(box["caption"], "Warning");
  EXPECT_EQ(box["text"], "Are you sure to delete Filter: C");
  EXPECT_EQ(afterDelete, (std::vector<std::string>{"[ ] A", "[x] B"}));
  EXPECT_EQ(Names(), (std::vector<std::u16string>{u"A", u"B"}));
  EXPECT_EQ(engine_.FilterAt(0)->enabled, 0);
}

TEST_F(FilterDialogsTest, ACancelledNewFilterLeavesTheListAndTheNextOneHasTheSameName) {
  AddFilter(u"A");
  std::string firstName, secondName, thirdName;
  std::vector<std::string> rows;
  RunSteps({
      {Showing("Filter List"), [&] { Menu(1); }},
      {Showing("Filter Edit"), [&] {
         firstName = Control(IDC_EDIT_NAME)["text"];
         Press(PhoneKey::Soft2);  // Cancel
       }},
      {Showing("Filter List"), [&] { Menu(1); }},
      {Showing("Filter Edit"), [&] {
         secondName = Control(IDC_EDIT_NAME)["text"];
         // Apply to All lets a filter without a rule pass.
         Focus(IDC_EDIT_APPLY_ALL);
         Press(PhoneKey::Action);
         Press(PhoneKey::Soft1);
       }},
      {Showing("Filter List"), [&] {
         rows = ListRows();
         Menu(1);
       }},
      {Showing("Filter Edit"), [&] {
         thirdName = Control(IDC_EDIT_NAME)["text"];
         Press(PhoneKey::Back);  // Back in a filled edit erases first
         Press(PhoneKey::Soft2);
       }},
      {Showing("Filter List"), [&] { Press(PhoneKey::Soft1); }},
  });
  RunList();
  EXPECT_EQ(firstName, "Filter 1");
  EXPECT_EQ(secondName, "Filter 1");
  EXPECT_EQ(rows, (std::vector<std::string>{"[x] A", "[x] Filter 1"}));
  EXPECT_EQ(thirdName, "Filter 2");
  ASSERT_EQ(engine_.FilterCount(), 2u);
  const Filter& added = *engine_.FilterAt(1);
  EXPECT_EQ(added.applyToAll, 1);
  EXPECT_EQ(added.actions[ACTION_SAVE_TO_FOLDER]->text, u"\\Inbox");
  EXPECT_TRUE(added.HasAction(ACTION_UNREAD_ALERT));
}

TEST_F(FilterDialogsTest, FastCreateWithThePickerCancelledAddsNothing) {
  RunSteps({
      {Showing("Filter List"), [&] { Menu(2); }},
      {Showing("Contacts"), [&] { Press(PhoneKey::Back); }},
      {Showing("Filter List"), [&] { Press(PhoneKey::Soft1); }},
  });
  RunList();
  EXPECT_EQ(engine_.FilterCount(), 0u);
}

TEST_F(FilterDialogsTest, ADefaultShowsItsFixedNameWithoutRuleControlsAndFollowsTheBoxRules) {
  Filter& stranger = engine_.StrangerDefault();
  stranger.applyToAll = 1;
  stranger.SetDefaultContent();
  nlohmann::json name, applyAll, rule, match, soundPath, afterRandom, playAfterRandom, folder, reply, box;
  bool scrolledToEnd = false;
  RunSteps({
      {Showing("Filter Edit"), [&] {
         name = Control(IDC_EDIT_NAME);
         applyAll = Control(IDC_EDIT_APPLY_ALL);
         rule = Control(IDC_EDIT_RULE_SETTING);
         match = Control(IDC_EDIT_MATCH);
         folder = Control(IDC_EDIT_FOLDER);
         reply = Control(IDC_EDIT_REPLY_TEXT);
         Focus(IDC_EDIT_PLAY_SOUND);
         Press(PhoneKey::Action);  // Play Sound on
         soundPath = Control(IDC_EDIT_SOUND_PATH);
         Focus(IDC_EDIT_RANDOM_RING);
         Press(PhoneKey::Action);  // Random Ring on clears Play Sound
         afterRandom = Control(IDC_EDIT_SOUND_PATH);
         playAfterRandom = Control(IDC_EDIT_PLAY_SOUND);
         Focus(IDC_EDIT_SAVE_FOLDER);
         Press(PhoneKey::Action);  // Save to Folder off
         Focus(IDC_EDIT_REPLY);    // the last control that takes the focus
         Press(PhoneKey::Down, 8);  // the page goes on to its end, and no further
         scrolledToEnd = ScrolledToTheEnd();
         Press(PhoneKey::Soft1);   // OK
       }},
  });
  ASSERT_EQ(RunFilterEdit(screen(), stranger, EDIT_STRANGER_DEFAULT, context_), IDOK);
  EXPECT_EQ(name["text"], "Stranger Default");
  EXPECT_FALSE(name["enabled"].get<bool>());
  EXPECT_FALSE(applyAll["visible"].get<bool>());
  EXPECT_FALSE(rule["visible"].get<bool>());
  EXPECT_EQ(match["text"], "Match: Stranger who are not in the blacklist/user-defined filter");
  EXPECT_TRUE(match["visible"].get<bool>());
  EXPECT_EQ(folder["text"], "\\Inbox");
  EXPECT_TRUE(folder["enabled"].get<bool>());
  EXPECT_EQ(reply["text"], "Sorry! I'm busy now...");
  EXPECT_FALSE(reply["enabled"].get<bool>());
  EXPECT_TRUE(soundPath["enabled"].get<bool>());
  EXPECT_FALSE(afterRandom["enabled"].get<bool>());
  EXPECT_FALSE(playAfterRandom["checked"].get<bool>());
  EXPECT_TRUE(scrolledToEnd);
  EXPECT_EQ(stranger.actions[ACTION_SOUND]->text, u"|");
  EXPECT_FALSE(stranger.HasAction(ACTION_SAVE_TO_FOLDER));
  EXPECT_TRUE(stranger.name.empty());
  EXPECT_EQ(stranger.applyToAll, 1);
}

TEST_F(FilterDialogsTest, OkSaysTheFirstFailingCheckAndKeepsWhatPassedBeforeIt) {
  Filter filter;
  filter.name = u"Old";
  filter.conditions[0] = FilterCondition{OBJECT_BODY, JUDGE_INCLUDE, u"x"};
  filter.SetDefaultContent();
  std::vector<std::string> messages;
  RunSteps({
      {Showing("Filter Edit"), [&] {
         Focus(IDC_EDIT_NAME);
         Press(PhoneKey::Back, 3);  // the name erased
         Press(PhoneKey::Soft1);
       }},
      {Asking(), [&] {
         messages.push_back(Shown()["messageBox"]["text"]);
         Press(PhoneKey::Soft1);
       }},
      {Showing("Filter Edit"), [&] {
         screen().TypeText("New");
         Focus(IDC_EDIT_VIBRATE);
         Press(PhoneKey::Action);
         Focus(IDC_EDIT_FOLDER);
         Press(PhoneKey::Back, 6);  // "\Inbox" erased
         Press(PhoneKey::Soft1);
       }},
      {Asking(), [&] {
         messages.push_back(Shown()["messageBox"]["caption"]);
         messages.push_back(Shown()["messageBox"]["text"]);
         Press(PhoneKey::Soft1);
       }},
      {Showing("Filter Edit"), [&] {
         screen().TypeText("Work");
         Press(PhoneKey::Soft1);
       }},
  });
  ASSERT_EQ(RunFilterEdit(screen(), filter, EDIT_FILTER, context_), IDOK);
  EXPECT_EQ(messages, (std::vector<std::string>{"Filter name can not be empty!", "Error", "Please specify a folder"}));
  EXPECT_EQ(filter.name, u"New");
  EXPECT_TRUE(filter.HasAction(ACTION_VIBRATE));
  EXPECT_EQ(filter.actions[ACTION_SAVE_TO_FOLDER]->text, u"\\Work");
}

TEST_F(FilterDialogsTest, TheRuleEditorRefusesAnEmptyRuleAndTakesAContactsNumber) {
  Filter filter;
  std::string message, rule2Enabled, contentAfterPick;
  RunSteps({
      {Showing("Rule Editor"), [&] {
         rule2Enabled = Control(IDC_RULE2_CONTENT)["enabled"].get<bool>() ? "on" : "off";
         Press(PhoneKey::Soft1);
       }},
      {Asking(), [&] {
         message = Shown()["messageBox"]["text"];
         Press(PhoneKey::Soft1);
       }},
      {Showing("Rule Editor"), [&] {
         Focus(IDC_RULE1_JUDGE);
         Press(PhoneKey::Right, 2);  // Equal
         Focus(IDC_RULE1_CONTACT);
         Press(PhoneKey::Action);
       }},
      {Showing("Contacts"), [&] {
         Press(PhoneKey::Down, 2);  // from the keyword to Bob Stone
         Press(PhoneKey::Action);
       }},
      {Showing("Rule Editor"), [&] {
         contentAfterPick = Control(IDC_RULE1_CONTENT)["text"];
         Press(PhoneKey::Soft1);
       }},
  });
  ASSERT_EQ(RunRuleEditor(screen(), filter, EDIT_FILTER, contacts_), IDOK);
  EXPECT_EQ(rule2Enabled, "off");
  EXPECT_EQ(message, "Please set the rule!");
  EXPECT_EQ(contentAfterPick, "139-1111-2222");
  EXPECT_EQ(filter.conditions[0], (FilterCondition{OBJECT_PHONE_NUMBER, JUDGE_EQUAL, u"139-1111-2222"}));
  EXPECT_FALSE(filter.conditions[1]);
}

TEST_F(FilterDialogsTest, TheBlackListAddsOnlyWholeEntriesAndDeletesWithoutAsking) {
  engine_.AddBlackListEntry(u"Spam", u"1234");
  std::vector<std::string> rowsAfterAdd;
  std::string nameAfterAdd, focusAfterContact;
  nlohmann::json afterDelete;
  RunSteps({
      {Showing("Black List"), [&] {
         screen().TypeText("Bob");
         Focus(IDC_BLACK_ADD);
         Press(PhoneKey::Action);  // no number: nothing happens
         Focus(IDC_BLACK_CONTACT);
         Press(PhoneKey::Action);
       }},
      {Showing("Contacts"), [&] {
         Press(PhoneKey::Down, 2);
         Press(PhoneKey::Action);
       }},
      {Showing("Black List"), [&] {
         focusAfterContact = std::to_string(Shown()["focus"].get<int>());
         Press(PhoneKey::Action);  // Add
         nameAfterAdd = Control(IDC_BLACK_NAME)["text"];
         const nlohmann::json list = Control(IDC_BLACK_LIST);
         for (const nlohmann::json& row : list["rows"]) {
           rowsAfterAdd.push_back(row["columns"][0].get<std::string>() + "|" + row["columns"][1].get<std::string>());
         }
         Focus(IDC_BLACK_LIST);
         Press(PhoneKey::Up);      // Spam
         Press(PhoneKey::Soft2);   // Delete, without a question
         afterDelete = Shown();
         Press(PhoneKey::Soft1);   // Done
       }},
  });
  EXPECT_EQ(RunBlackList(screen(), engine_, contacts_), IDOK);
  EXPECT_EQ(focusAfterContact, std::to_string(IDC_BLACK_ADD));
  EXPECT_EQ(nameAfterAdd, "");
  // The hyphens of the contact's number could never match a sender: they are dropped.
  EXPECT_EQ(rowsAfterAdd, (std::vector<std::string>{"Spam|1234", "Bob Stone|13911112222"}));
  EXPECT_TRUE(afterDelete["messageBox"].is_null());
  ASSERT_EQ(engine_.BlackList().size(), 1u);
  EXPECT_EQ(engine_.BlackList()[0], (BlackListEntry{u"Bob Stone", u"13911112222"}));
}

TEST_F(FilterDialogsTest, PlayContactAndMyTextFillTheirFields) {
  Filter filter;
  filter.name = u"Buttons";
  filter.applyToAll = 1;
  nlohmann::json forward, reply, focusAfterUp;
  RunSteps({
      {Showing("Filter Edit"), [&] {
         Focus(IDC_EDIT_PLAY_SOUND);
         Press(PhoneKey::Action);
         Focus(IDC_EDIT_SOUND_PATH);
         screen().TypeText("\\ring.wav");
         Focus(IDC_EDIT_PLAY);
         Press(PhoneKey::Action);
         Focus(IDC_EDIT_FORWARD);
         Press(PhoneKey::Action);
         Focus(IDC_EDIT_CONTACT);
         Press(PhoneKey::Action);
       }},
      {Showing("Contacts"), [&] {
         Press(PhoneKey::Down);    // Ann Lee
         Press(PhoneKey::Action);  // checked
         Press(PhoneKey::Soft1);   // Add
       }},
      {Showing("Filter Edit"), [&] {
         forward = Control(IDC_EDIT_FORWARD_TO);
         Focus(IDC_EDIT_REPLY);
         Press(PhoneKey::Action);
         Focus(IDC_EDIT_MY_TEXT);
         Press(PhoneKey::Action);
       }},
      {Showing("My Text"), [&] { Press(PhoneKey::Soft1); }},
      {Showing("Filter Edit"), [&] {
         reply = Control(IDC_EDIT_REPLY_TEXT);
         Focus(IDC_EDIT_REPLY_TEXT);
         Press(PhoneKey::Up);  // on its first line: to the control above
         focusAfterUp = Shown()["focus"];
         Press(PhoneKey::Soft1);
       }},
  });
  ASSERT_EQ(RunFilterEdit(screen(), filter, EDIT_FILTER, context_), IDOK);
  EXPECT_EQ(played_, std::vector<std::u16string>{u"\\ring.wav"});
  // The field was empty: no ";" before the first entry.
  EXPECT_EQ(forward["text"], "\"Ann Lee\"<+8613800138000>");
  EXPECT_NE(reply["text"].get<std::string>().find("On my way."), std::string::npos);
  EXPECT_EQ(focusAfterUp, IDC_EDIT_MY_TEXT);
  EXPECT_EQ(filter.actions[ACTION_AUTO_FORWARD]->text, u"\"Ann Lee\"<+8613800138000>");
  EXPECT_EQ(filter.actions[ACTION_SOUND]->text, u"\\ring.wav");
  ASSERT_TRUE(filter.actions[ACTION_AUTO_REPLY]->text);
  EXPECT_NE(filter.actions[ACTION_AUTO_REPLY]->text->find(u"On my way."), std::u16string::npos);
}

TEST_F(FilterDialogsTest, BrowseFillsThePhotoAndTestPreviewsWithIt) {
  std::filesystem::create_directories(fixture_.device().FsRoot() / "Pictures");
  std::ofstream(fixture_.device().FsRoot() / "Pictures" / "boss.jpg") << "not really a picture";
  std::ofstream(fixture_.device().FsRoot() / "Pictures" / "notes.txt") << "not offered";
  lastDir_ = u"\\Pictures";
  Filter filter;
  filter.name = u"Boss";
  filter.applyToAll = 1;
  std::vector<std::string> offered;
  nlohmann::json path, popup;
  RunSteps({
      {Showing("Filter Edit"), [&] {
         Focus(IDC_EDIT_POPUP);
         Press(PhoneKey::Action);
         Focus(IDC_EDIT_PHOTO);
         Press(PhoneKey::Action);
         Focus(IDC_EDIT_PHOTO_BROWSE);
         Press(PhoneKey::Action);
       }},
      {Showing("Open"), [&] {
         const nlohmann::json shown = Shown();
         for (const nlohmann::json& control : shown["controls"]) {
           for (const nlohmann::json& row : control.value("rows", nlohmann::json::array())) offered.push_back(row["text"]);
         }
         Press(PhoneKey::Down);    // past ".."
         Press(PhoneKey::Action);  // boss.jpg
       }},
      {Showing("Filter Edit"), [&] {
         path = Control(IDC_EDIT_PHOTO_PATH);
         Focus(IDC_EDIT_TEST);
         Press(PhoneKey::Action);
       }},
      {[&] { return !Shown()["popup"].is_null(); }, [&] {
         popup = Shown()["popup"];
         Press(PhoneKey::Digit1);  // any key closes the preview
       }},
      {Showing("Filter Edit"), [&] { Press(PhoneKey::Soft1); }},
  });
  ASSERT_EQ(RunFilterEdit(screen(), filter, EDIT_FILTER, context_), IDOK);
  EXPECT_EQ(offered, (std::vector<std::string>{"..", "boss.jpg"}));
  EXPECT_EQ(path["text"], "\\Pictures\\boss.jpg");
  ASSERT_FALSE(popup.is_null());
  EXPECT_EQ(popup["text"], "This is only for test");
  EXPECT_EQ(popup["sender"], "1234567890");
  EXPECT_EQ(filter.actions[ACTION_PHOTO]->text, u"\\Pictures\\boss.jpg");
  EXPECT_TRUE(filter.HasAction(ACTION_POPUP));
}

TEST_F(FilterDialogsTest, TheSoundBrowserOffersOnlySoundsAndPlayPlaysTheChosenOne) {
  std::filesystem::create_directories(fixture_.device().FsRoot() / "Sounds");
  std::ofstream(fixture_.device().FsRoot() / "Sounds" / "ring.wav") << "RIFF";
  std::ofstream(fixture_.device().FsRoot() / "Sounds" / "photo.jpg") << "not offered";
  lastDir_ = u"\\Sounds";
  Filter filter;
  filter.name = u"Ring";
  filter.applyToAll = 1;
  std::vector<std::string> offered;
  RunSteps({
      {Showing("Filter Edit"), [&] {
         Focus(IDC_EDIT_PLAY_SOUND);
         Press(PhoneKey::Action);
         Focus(IDC_EDIT_SOUND_BROWSE);
         Press(PhoneKey::Action);
       }},
      {Showing("Open"), [&] {
         const nlohmann::json shown = Shown();
         for (const nlohmann::json& control : shown["controls"]) {
           for (const nlohmann::json& row : control.value("rows", nlohmann::json::array())) offered.push_back(row["text"]);
         }
         Press(PhoneKey::Down);
         Press(PhoneKey::Action);
       }},
      {Showing("Filter Edit"), [&] {
         Focus(IDC_EDIT_PLAY);
         Press(PhoneKey::Action);
         Press(PhoneKey::Soft1);
       }},
  });
  ASSERT_EQ(RunFilterEdit(screen(), filter, EDIT_FILTER, context_), IDOK);
  EXPECT_EQ(offered, (std::vector<std::string>{"..", "ring.wav"}));
  EXPECT_EQ(played_, std::vector<std::u16string>{u"\\Sounds\\ring.wav"});
  EXPECT_EQ(filter.actions[ACTION_SOUND]->text, u"\\Sounds\\ring.wav");
}

TEST_F(FilterDialogsTest, ATwoLineReplyComesBackAsItWasStored) {
  Filter filter;
  filter.name = u"Reply";
  filter.applyToAll = 1;
  filter.SetAction(ACTION_AUTO_REPLY, u"Busy now\r\nCall later");
  std::string shown;
  RunSteps({{Showing("Filter Edit"), [&] {
               shown = Control(IDC_EDIT_REPLY_TEXT)["text"];
               Press(PhoneKey::Soft1);
             }}});
  ASSERT_EQ(RunFilterEdit(screen(), filter, EDIT_FILTER, context_), IDOK);
  EXPECT_EQ(shown, "Busy now\nCall later");
  EXPECT_EQ(filter.actions[ACTION_AUTO_REPLY]->text, u"Busy now\r\nCall later");
}

TEST_F(FilterDialogsTest, AHeldActionOpensTheFilterMenuAndAShortOneTheEditor) {
  AddFilter(u"A");
  nlohmann::json menu;
  RunSteps({
      {Showing("Filter List"), [&] {
         screen().HoldKey(PhoneKey::Action);
         menu = Shown()["menu"];
         Press(PhoneKey::Back);    // the menu closes
         Press(PhoneKey::Action);  // a short press edits
       }},
      {Showing("Filter Edit"), [&] { Press(PhoneKey::Soft2); }},
      {Showing("Filter List"), [&] { Press(PhoneKey::Back); }},  // Back leaves as Done does
  });
  EXPECT_EQ(RunList(), kFilterListDone);
  ASSERT_FALSE(menu.is_null());
  EXPECT_EQ(menu["title"], "Filter");
  std::vector<std::string> items;
  for (const nlohmann::json& item : menu["items"]) items.push_back(item["text"]);
  EXPECT_EQ(items, (std::vector<std::string>{"New...", "Fast Create...", "Edit...", "Delete", "Up", "Down"}));
}

TEST_F(FilterDialogsTest, ATapOnTheCheckSwitchesAFilterAndATapOnTheNameDoesNot) {
  AddFilter(u"A");
  AddFilter(u"B");
  std::vector<std::string> afterCheckTap, afterNameTap;
  RunSteps({
      {Showing("Filter List"), [&] {
         auto* list = static_cast<QTreeView*>(screen().TopWindow()->Control(IDC_FILTER_LIST));
         const QRect second = list->visualRect(list->model()->index(1, 0));
         QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, QPoint(8, second.center().y()));
         afterCheckTap = ListRows();
         QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, QPoint(40, second.center().y()));
         afterNameTap = ListRows();
         Press(PhoneKey::Soft1);
       }},
  });
  RunList();
  EXPECT_EQ(afterCheckTap, (std::vector<std::string>{"[x] A", "[ ] B"}));
  EXPECT_EQ(afterNameTap, afterCheckTap);
}

TEST_F(FilterDialogsTest, AHeldActionOnTheBlackListOffersDelete) {
  engine_.AddBlackListEntry(u"Spam", u"1234");
  nlohmann::json menu;
  RunSteps({
      {Showing("Black List"), [&] {
         Focus(IDC_BLACK_LIST);
         screen().HoldKey(PhoneKey::Action);
         menu = Shown()["menu"];
         Press(PhoneKey::Digit1);  // Delete
         Press(PhoneKey::Back);    // Done
       }},
  });
  RunBlackList(screen(), engine_, contacts_);
  ASSERT_FALSE(menu.is_null());
  EXPECT_EQ(menu["title"], "Black List");
  EXPECT_TRUE(engine_.BlackList().empty());
}

TEST(FilterIconsTest, EachCellIsOpaqueExactlyWhereTheStripIsNotMagenta) {
  testing::EnsureApplication();
  const QImage& strip = FilterIconStrip();
  ASSERT_EQ(strip.size(), QSize(16 * kFilterListImageCount, 16));
  for (int image = 0; image < kFilterListImageCount; ++image) {
    QImage cell = FilterIcon(image).toImage().convertToFormat(QImage::Format_ARGB32);
    int drawn = 0;
    for (int y = 0; y < 16; ++y) {
      for (int x = 0; x < 16; ++x) {
        const bool ink = strip.pixel(image * 16 + x, y) != qRgb(255, 0, 255);
        drawn += ink;
        ASSERT_EQ(qAlpha(cell.pixel(x, y)) != 0, ink) << "image " << image << " at " << x << "," << y;
      }
    }
    // Images 2 and 7 are not used; the others draw something.
    if (image != 2 && image != 7) {
      EXPECT_GT(drawn, 10) << image;
    }
  }
  EXPECT_TRUE(FilterIcon(kFilterListImageCount).isNull());
}

}  // namespace
}  // namespace brevalo
