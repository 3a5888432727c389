// The Firewall dialogs driven with the keys through phonesim, as a person would: a filter made
// with Fast Create... from a contact, three filters put in another order, a number put on the
// black list, and what each does to the next message from the network.
#include <fstream>

#include "app/intake_device_fixture.h"
#include "device/event_log.h"
#include "filter/black_list_dialog.h"
#include "filter/filter_edit_dialog.h"
#include "filter/filter_list_commands.h"
#include "filter/rule_editor_dialog.h"

namespace brevalo::testing {
namespace {

constexpr char kAnnNumber[] = "+8613800138000";
constexpr char16_t kAnnSender[] = u"\"Ann Lee\" <+8613800138000>";

class FilterDialogsE2eTest : public IntakeDeviceTest {
 protected:
  void SetUp() override {
    IntakeDeviceTest::SetUp();
    // Only the contacts the tests name.
    std::filesystem::remove(device().Dir() / "phone" / "contacts.vcf");
    ASSERT_TRUE(Phonesim(std::string("contacts add --name 'Ann Lee' --mobile '") + kAnnNumber + "'"));
    ASSERT_TRUE(Phonesim("contacts add --name 'Bob Stone' --mobile 13911112222"));
  }

  std::filesystem::path RulesFile() { return *device().HostPath(ProgramFolder() + std::u16string(RulesFileName)); }
  // The rules as the next start of the program reads them.
  std::unique_ptr<FilterEngine> SavedRules() {
    auto rules = std::make_unique<FilterEngine>(RulesFile());
    EXPECT_TRUE(rules->LoadRules());
    return rules;
  }

  void Keys(const std::string& keys) { ASSERT_TRUE(Phonesim("key " + keys)) << keys; }
  void Type(const std::string& text) { ASSERT_TRUE(Phonesim("type '" + text + "'")) << text; }
  nlohmann::json Shows(const std::string& title) {
    return ScreenWhen([title](const nlohmann::json& screen) {
      return screen["title"] == title && screen["messageBox"].is_null() && screen["menu"].is_null() &&
             screen["enabled"] == true;
    });
  }
  // Down until the control has the focus, as a person scrolls to it.
  void FocusOn(int id) {
    for (int i = 0; i < 60; ++i) {
      std::optional<nlohmann::json> screen = Screen();
      if (screen && (*screen)["focus"] == id) return;
      Keys("Down");
    }
    FAIL() << "control " << id << " never got the focus";
  }
  nlohmann::json ControlOf(const nlohmann::json& screen, int id) {
    for (const nlohmann::json& control : screen["controls"]) {
      if (control["id"] == id) return control;
    }
    return {};
  }
  std::vector<std::string> FilterRows(const nlohmann::json& screen) {
    std::vector<std::string> rows;
    const nlohmann::json list = ControlOf(screen, IDC_FILTER_LIST);
    for (const nlohmann::json& row : list["rows"]) rows.push_back(row["text"]);
    return rows;
  }
  void Screenshot(const std::string& name) {
    const char* folder = std::getenv("BREVALO_SCREENSHOTS");
    if (!folder) return;
    EXPECT_TRUE(Phonesim("screenshot '" + std::string(folder) + "/" + name + "'"));
  }
  size_t Vibrations() {
    size_t count = 0;
    for (const nlohmann::json& event : EventLog(device()).Read()) count += event["kind"] == "vibrate";
    return count;
  }
  // Filters that file every message with "x" in it into a folder of their own name.
  void WriteFiltersFilingInto(std::initializer_list<std::u16string_view> names, std::u16string_view password = {}) {
    std::filesystem::remove(RulesFile());
    FilterEngine rules(RulesFile());
    rules.LoadRules();
    for (std::u16string_view name : names) {
      auto filter = std::make_unique<Filter>();
      filter->name = std::u16string(name);
      filter->conditions[0] = FilterCondition{OBJECT_BODY, JUDGE_INCLUDE, u"x"};
      filter->SetAction(ACTION_SAVE_TO_FOLDER, u"\\" + std::u16string(name));
      rules.AddFilter(std::move(filter));
    }
    // Switched off, with every action that has an icon, so that the list shows them all.
    auto shown = std::make_unique<Filter>();
    shown->name = u"Everything, but switched off";
    shown->enabled = 0;
    shown->applyToAll = 1;
    for (size_t slot : {ACTION_SOUND, ACTION_VIBRATE, ACTION_HIDE_IN_INBOX, ACTION_PHOTO, ACTION_AUTO_REPLY,
                        ACTION_AUTO_FORWARD, ACTION_UNREAD_ALERT}) {
      shown->SetAction(slot, u"x");
    }
    rules.AddFilter(std::move(shown));
    rules.SetRulePassword(password);
    ASSERT_TRUE(rules.SaveRules());
  }
};

TEST_F(FilterDialogsE2eTest, AFastCreatedFilterFilesAContactsMessageIntoFamilyVibratesAndHidesIt) {
  MakeDocument();
  StartProgram();
  Keys("Soft1 6 1");  // System > Filter > Filter...
  Shows("Filter List");
  Keys("Soft2 2");    // Operate > Fast Create...
  Shows("Contacts");
  Keys("Down Action");  // the first contact, Ann Lee
  nlohmann::json editor = Shows("Rule Editor");
  EXPECT_EQ(ControlOf(editor, IDC_RULE1_CONTENT)["text"], kAnnNumber);
  Keys("Soft1");
  nlohmann::json edit = Shows("Filter Edit");
  EXPECT_EQ(ControlOf(edit, IDC_EDIT_NAME)["text"], "Filter 0");
  FocusOn(IDC_EDIT_VIBRATE);
  Keys("Action");
  FocusOn(IDC_EDIT_FOLDER);
  Keys("Back Back Back Back Back Back");  // "\Inbox"
  Type("Family");
  FocusOn(IDC_EDIT_HIDE_IN_INBOX);
  Keys("Action");
  FocusOn(IDC_EDIT_REPLY);  // the last control that takes the focus; Down scrolls on
  Keys("Down Down Down");
  Screenshot("filter-edit-end.png");
  Keys("Soft1");  // OK
  nlohmann::json list = Shows("Filter List");
  EXPECT_EQ(FilterRows(list), std::vector<std::string>{"Filter 0"});
  Screenshot("filter-list-fast-created.png");
  Keys("Soft1");  // Done writes the rules
  Shows("Brevalo");

  std::unique_ptr<FilterEngine> saved = SavedRules();
  ASSERT_EQ(saved->FilterCount(), 1u);
  const Filter& filter = *saved->FilterAt(0);
  EXPECT_EQ(filter.conditions[0], (FilterCondition{OBJECT_PHONE_NUMBER, JUDGE_INCLUDE, u"+8613800138000"}));
  EXPECT_EQ(filter.actions[ACTION_SAVE_TO_FOLDER]->text, u"\\Family");
  EXPECT_TRUE(filter.HasAction(ACTION_VIBRATE) && filter.HasAction(ACTION_HIDE_IN_INBOX));

  const size_t vibrationsBefore = Vibrations();
  Delivery delivery = Deliver(kAnnSender, u"Dinner at seven");
  EXPECT_TRUE(delivery.Deleted()) << delivery.error;
  EXPECT_EQ(PhoneInbox().count(u"Dinner at seven"), 0u);
  // The vibration follows the answer to the phone.
  for (int i = 0; i < 100 && Vibrations() == vibrationsBefore; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  EXPECT_EQ(Vibrations(), vibrationsBefore + 1);
  // A stranger still goes by the Stranger Default.
  EXPECT_TRUE(Deliver(u"5550100", u"Hello there").Kept());
  EndProgram();
  std::vector<std::string> tree = KvtTreeLines(kIntakeDocumentArgument, false);
  auto family = std::find(tree.begin(), tree.end(), "Family");
  ASSERT_NE(family, tree.end()) << ::testing::PrintToString(tree);
  ASSERT_NE(family + 1, tree.end());
  EXPECT_EQ((family + 1)->rfind("  Dinner at", 0), 0u) << *(family + 1);  // titled by its start
}

TEST_F(FilterDialogsE2eTest, AfterTheRulePasswordUpAndDownDecideWhichFilterTakesAMessage) {
  WriteFiltersFilingInto({u"First", u"Second", u"Third"}, u"rules");
  MakeDocument();
  StartProgram();
  Keys("Soft1 6 1");
  Shows("Password");
  Type("wrong");
  Keys("Soft1");
  nlohmann::json refused = ScreenWhen([](const nlohmann::json& screen) { return !screen["messageBox"].is_null(); });
  EXPECT_EQ(refused["messageBox"]["text"], "Password Error!");
  Keys("Soft1");
  Shows("Password");
  Type("rules");
  Keys("Soft1");
  Shows("Filter List");
  Keys("Down Down Soft2 5 Soft2 5");  // Third up twice
  Keys("Down Soft2 6");               // First (now second) down once
  nlohmann::json list = Shows("Filter List");
  EXPECT_EQ(FilterRows(list), (std::vector<std::string>{"Third", "Second", "First", "Everything, but switched off"}));
  Keys("Up Up Right");                 // Third switched off
  Screenshot("filter-list-reordered.png");
  Keys("Soft1");
  Shows("Brevalo");

  EXPECT_TRUE(Deliver(u"5550100", u"x marks the spot").Kept());
  EndProgram();
  std::vector<std::string> tree = KvtTreeLines(kIntakeDocumentArgument, false);
  auto second = std::find(tree.begin(), tree.end(), "Second");
  ASSERT_NE(second, tree.end()) << ::testing::PrintToString(tree);
  EXPECT_EQ((second + 1)->rfind("  x marks", 0), 0u) << *(second + 1);
  EXPECT_EQ(std::find(tree.begin(), tree.end(), "Third"), tree.end());
  EXPECT_EQ(std::find(tree.begin(), tree.end(), "First"), tree.end());
}

TEST_F(FilterDialogsE2eTest, ANumberPutOnTheBlackListLosesItsNextMessage) {
  MakeDocument();
  StartProgram();
  Keys("Soft1 6 2");  // System > Filter > Black List...
  Shows("Black List");
  Type("Pest");
  Keys("Down");
  Type("+44 20-7946 0000");
  FocusOn(IDC_BLACK_ADD);
  Keys("Action");
  nlohmann::json black = Shows("Black List");
  Screenshot("black-list.png");
  ASSERT_EQ(ControlOf(black, IDC_BLACK_LIST)["rows"].size(), 1u);
  EXPECT_EQ(ControlOf(black, IDC_BLACK_LIST)["rows"][0]["columns"][1], "+442079460000");
  Keys("Soft1");  // Done: the rules are written whatever the way out
  Shows("Brevalo");
  ASSERT_EQ(SavedRules()->BlackList().size(), 1u);

  Delivery dropped = Deliver(u"+442079460000", u"Buy now");
  EXPECT_TRUE(dropped.Deleted()) << dropped.error;
  EXPECT_TRUE(Deliver(u"+442079460001", u"Not a pest").Kept());
  EXPECT_EQ(PhoneInbox().count(u"Buy now"), 0u);
  EndProgram();
  std::optional<TextCounts> texts = DocumentTexts();
  ASSERT_TRUE(texts);
  EXPECT_EQ(texts->count(u"Buy now"), 0u);
  EXPECT_EQ(texts->count(u"Not a pest"), 1u);
}

TEST_F(FilterDialogsE2eTest, AStrangerDefaultCancelledIsNotWrittenAndOneConfirmedIs) {
  MakeDocument();
  StartProgram();
  Keys("Soft1 6 4");  // Stranger Default...
  nlohmann::json edit = Shows("Filter Edit");
  EXPECT_EQ(ControlOf(edit, IDC_EDIT_NAME)["text"], "Stranger Default");
  EXPECT_FALSE(ControlOf(edit, IDC_EDIT_APPLY_ALL)["visible"].get<bool>());
  FocusOn(IDC_EDIT_VIBRATE);
  Keys("Action Soft2");  // ticked, then Cancel
  Shows("Brevalo");
  EXPECT_FALSE(SavedRules()->StrangerDefault().HasAction(ACTION_VIBRATE));
  Keys("Soft1 6 4");
  Shows("Filter Edit");
  FocusOn(IDC_EDIT_VIBRATE);
  Keys("Action Soft1");
  Shows("Brevalo");
  EXPECT_TRUE(SavedRules()->StrangerDefault().HasAction(ACTION_VIBRATE));
}

TEST_F(FilterDialogsE2eTest, RulesThatCannotBeWrittenAreSaidToTheUser) {
  MakeDocument();
  // Something that is not a file stands where the rules file goes.
  std::filesystem::remove(RulesFile());
  std::filesystem::create_directories(RulesFile());
  StartProgram();
  Keys("Soft1 6 2");
  Shows("Black List");
  Keys("Soft1");
  nlohmann::json said = ScreenWhen([](const nlohmann::json& screen) { return !screen["messageBox"].is_null(); });
  EXPECT_EQ(said["messageBox"]["caption"], "Error");
  EXPECT_NE(said["messageBox"]["text"].get<std::string>().find("could not be written"), std::string::npos);
  Keys("Soft1");
  Shows("Brevalo");
}

}  // namespace
}  // namespace brevalo::testing
