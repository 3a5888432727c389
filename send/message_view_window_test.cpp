#include "send/message_view_window.h"

#include "store/folder_tree.h"

#include <gtest/gtest.h>

#include "ui/phone_screen.h"
#include "ui/phone_window.h"
#include "ui/screen_dump.h"
#include "ui/ui_test_support.h"

namespace brevalo {
namespace {

using testing::WhenReady;

class ContentWindowTest : public ::testing::Test {
 protected:
  PhoneScreen& screen() { return fixture_.screen(); }
  bool WindowShows() {
    return screen().TopWindow() && screen().TopWindow()->Title() == "Content" && !screen().OpenMessageBox() &&
           screen().TopWindow()->IsWindowEnabled();
  }
  void Press(PhoneKey key, int times = 1) {
    for (int i = 0; i < times; ++i) screen().PressKey(key);
  }
  bool SelectedMenuItemIs(const std::string& text) {
    nlohmann::json shown = DumpScreen(screen());
    for (const auto& item : shown["menu"]["items"]) {
      if (item.value("selected", false)) return item.value("text", "") == text;
    }
    return false;
  }
  testing::ScreenFixture fixture_;
};

TEST_F(ContentWindowTest, SavesTheTypedTitleAndText) {
  nlohmann::json shown;
  WhenReady([&] { return WindowShows(); }, [&] {
    screen().TypeText("Shopping");
    Press(PhoneKey::Action);  // on to the text
    screen().TypeText("milk");
    shown = DumpScreen(screen());
    Press(PhoneKey::Soft1);
  });
  std::optional<NewContent> content = RunNewContentWindow(screen());
  ASSERT_TRUE(content);
  EXPECT_EQ(content->title, u"Shopping");
  EXPECT_EQ(content->text, u"milk");
  EXPECT_TRUE(content->textChanged);
  EXPECT_EQ(shown["softKeys"]["left"]["label"], "Save");
  EXPECT_EQ(shown["softKeys"]["right"]["label"], "Options");
  // A new draft has no sender and no time.
  for (const auto& control : shown["controls"]) {
    int id = control["id"];
    bool visible = control["visible"];
    if (id == 1046 || id == 1033 || id == 40360 || id == 40361) {
      EXPECT_FALSE(visible) << id;
    } else if (id == 40010 || id == 1022) {
      EXPECT_TRUE(visible) << id;
    }
  }
}

// A folder has no body: its form shows no text box to type a text that would be dropped.
TEST_F(ContentWindowTest, AFolderIsOnlyATitleAndActionSavesIt) {
  nlohmann::json shown;
  WhenReady([&] { return WindowShows(); }, [&] {
    screen().TypeText("Archive");
    shown = DumpScreen(screen());
    Press(PhoneKey::Action);
  });
  std::optional<NewContent> content = RunNewContentWindow(screen(), NewContentKind::kFolder);
  ASSERT_TRUE(content);
  EXPECT_EQ(content->title, u"Archive");
  EXPECT_EQ(content->text, u"");
  for (const auto& control : shown["controls"]) {
    int id = control["id"];
    if (id == 1022) {
      EXPECT_FALSE(control["visible"].get<bool>());
    } else if (id == 40010) {
      EXPECT_TRUE(control["visible"].get<bool>());
    }
  }
}

TEST_F(ContentWindowTest, AnEmptyTitleIsRefusedAndTheWindowStays) {
  QString text, caption;
  bool textKept = false;
  WhenReady([&] { return WindowShows(); }, [&] {
    Press(PhoneKey::Down);  // into the text, the title stays empty
    screen().TypeText("no title yet");
    WhenReady([&] { return screen().OpenMessageBox() != nullptr; }, [&] {
      text = screen().OpenMessageBox()->text;
      caption = screen().OpenMessageBox()->caption;
      Press(PhoneKey::Action);
      WhenReady([&] { return WindowShows(); }, [&] {
        textKept = true;
        screen().TypeText("Note");  // the focus went back to the title
        Press(PhoneKey::Soft1);
      });
    });
    Press(PhoneKey::Soft1);
  });
  std::optional<NewContent> content = RunNewContentWindow(screen());
  EXPECT_EQ(text, "Title can't be empty!");
  EXPECT_EQ(caption, "Alert");
  EXPECT_TRUE(textKept);
  ASSERT_TRUE(content);
  EXPECT_EQ(content->title, u"Note");
  EXPECT_EQ(content->text, u"no title yet");
}

TEST_F(ContentWindowTest, ATitleAloneLeavesTheTextUnchanged) {
  WhenReady([&] { return WindowShows(); }, [&] {
    screen().TypeText("Folder");
    Press(PhoneKey::Back);  // erases one letter, closes nothing
    Press(PhoneKey::Soft1);
  });
  std::optional<NewContent> content = RunNewContentWindow(screen());
  ASSERT_TRUE(content);
  EXPECT_EQ(content->title, u"Folde");
  EXPECT_FALSE(content->textChanged);
}

TEST_F(ContentWindowTest, OptionsOfferOnlyCancelForNowAndCancelGivesNothing) {
  nlohmann::json menu;
  WhenReady([&] { return WindowShows(); }, [&] {
    screen().TypeText("Dropped");
    Press(PhoneKey::Soft2);
    menu = DumpScreen(screen())["menu"];
    for (int i = 0; i < 5 && !SelectedMenuItemIs("Cancel"); ++i) Press(PhoneKey::Down);
    Press(PhoneKey::Action);
  });
  EXPECT_EQ(RunNewContentWindow(screen()), std::nullopt);
  ASSERT_TRUE(menu.is_object()) << menu.dump();
  std::vector<std::pair<std::string, bool>> items;
  for (const auto& item : menu["items"]) items.emplace_back(item.value("text", ""), item.value("enabled", true));
  EXPECT_EQ(items, (std::vector<std::pair<std::string, bool>>{
                       {"Property...", false}, {"Password...", false}, {"Other", true}, {"Cancel", true}}));
}

}  // namespace
}  // namespace brevalo

namespace brevalo {
namespace {

// A folder of messages as the main window would serve them; records what the view asks.
class FakeViewHost : public MessageViewHost {
 public:
  struct Item {
    std::unique_ptr<TreeNode> node;
    ViewedMessage message;
    bool unread = false;
    std::u16string password;  // refused when set
  };
  void Add(std::u16string title, std::u16string number, std::u16string text, bool unread = false) {
    auto node = std::make_unique<TreeNode>(title, unread ? 3 : 2, NodeData{});
    items.push_back({std::move(node), {title, number, 0, text}, unread, {}});
  }
  TreeNode& Node(size_t i) { return *items[i].node; }
  int IndexOf(const TreeNode& node) const {
    for (size_t i = 0; i < items.size(); ++i) {
      if (items[i].node.get() == &node) return static_cast<int>(i);
    }
    return -1;
  }

  std::optional<ViewedMessage> Show(TreeNode& node) override {
    Item& item = items[static_cast<size_t>(IndexOf(node))];
    if (!item.password.empty()) return std::nullopt;
    item.unread = false;
    shown.push_back(IndexOf(node));
    return item.message;
  }
  bool Holds(const TreeNode& node) override { return IndexOf(node) >= 0; }
  TreeNode* Sibling(const TreeNode& node, int direction) override {
    int at = IndexOf(node) + direction;
    return at >= 0 && at < static_cast<int>(items.size()) ? items[static_cast<size_t>(at)].node.get() : nullptr;
  }
  bool SaveEdits(TreeNode& node, const std::optional<std::u16string>& title,
                 const std::optional<std::u16string>& text) override {
    Item& item = items[static_cast<size_t>(IndexOf(node))];
    if (title) item.message.title = *title;
    if (text) item.message.text = *text;
    ++saves;
    return true;
  }
  bool Delete(TreeNode& node) override {
    items.erase(items.begin() + IndexOf(node));
    return true;
  }
  bool EditProperty(TreeNode&) override { return true; }
  bool EditPassword(TreeNode&) override { return true; }
  void AddToBlackList(std::u16string_view name, std::u16string_view number) override {
    blackList.emplace_back(name, number);
  }
  void Compose(ComposeMode mode, std::u16string_view body, std::u16string_view recipients) override {
    composed.push_back({mode, std::u16string(body), std::u16string(recipients)});
  }
  void Dial(std::u16string_view number) override { dialled.emplace_back(number); }
  bool PhoneCommandsEnabled() override { return phone; }
  std::u16string DateText(DATE) override { return u"12/9/2026 7:05:00 PM"; }
  void Refresh() override { ++refreshes; }

  struct Composed {
    ComposeMode mode;
    std::u16string body;
    std::u16string recipients;
  };
  std::vector<Item> items;
  std::vector<int> shown;
  std::vector<Composed> composed;
  std::vector<std::u16string> dialled;
  std::vector<std::pair<std::u16string, std::u16string>> blackList;
  bool phone = true;
  int saves = 0;
  int refreshes = 0;
};

class MessageViewTest : public ::testing::Test {
 protected:
  MessageViewTest() {
    host_.Add(u"first", u"\"Ann Lee\"<555-0101>", u"Lunch at noon?");
    host_.Add(u"second", u"5550102", std::u16string(300, u'x'), true);
    host_.Add(u"third 第三", u"", u"短信 note");
  }
  PhoneScreen& screen() { return fixture_.screen(); }
  bool Shows() {
    return screen().TopWindow() && screen().TopWindow()->Title() == "Content" && !screen().OpenMessageBox() &&
           screen().TopWindow()->IsWindowEnabled() && DumpScreen(screen())["menu"].is_null();
  }
  nlohmann::json Control(int id) { return testing::ShownControl(screen(), id); }
  std::string Text(int id) { return Control(id)["text"]; }
  void Press(PhoneKey key, int times = 1) {
    for (int i = 0; i < times; ++i) screen().PressKey(key);
  }
  void Command(int id) { screen().TopWindow()->Command(id); }

  testing::ScreenFixture fixture_;
  FakeViewHost host_;
};

TEST_F(MessageViewTest, LeftAndRightStepThroughTheFolderAndStopAtItsEnds) {
  std::vector<std::string> titles;
  std::string sender, time, leftKey;
  bool fromShownOnFirst = false, fromShownOnThird = true;
  WhenReady([&] { return Shows(); }, [&] {
    titles.push_back(Text(IDC_VIEW_TITLE));
    sender = Text(IDC_VIEW_SENDER);
    time = Text(IDC_VIEW_TIME);
    leftKey = DumpScreen(screen())["softKeys"]["left"]["label"];
    fromShownOnFirst = Control(IDC_VIEW_FROM_LABEL)["visible"];
    Press(PhoneKey::Left);  // the first: nothing
    titles.push_back(Text(IDC_VIEW_TITLE));
    Press(PhoneKey::Right, 2);
    titles.push_back(Text(IDC_VIEW_TITLE));
    fromShownOnThird = Control(IDC_VIEW_FROM_LABEL)["visible"];
    Press(PhoneKey::Right);  // the last: nothing
    titles.push_back(Text(IDC_VIEW_TITLE));
    Press(PhoneKey::Back);
  });
  EXPECT_EQ(RunMessageView(screen(), host_, host_.Node(0)), IDCANCEL);
  EXPECT_EQ(titles, (std::vector<std::string>{"first", "first", "third 第三", "third 第三"}));
  EXPECT_EQ(sender, "AnnLee");
  EXPECT_EQ(time, "12/9/2026 7:05:00 PM");
  EXPECT_EQ(leftKey, "Reply");
  EXPECT_TRUE(fromShownOnFirst);
  EXPECT_FALSE(fromShownOnThird) << "a note without a number hides the From row";
  EXPECT_EQ(host_.shown, (std::vector<int>{0, 1, 2}));
  EXPECT_FALSE(host_.items[1].unread) << "passing over it read it";
}

TEST_F(MessageViewTest, EditThenCancelRestoresAndEditThenSaveWritesBoth) {
  std::string afterCancel, leftInEdit, afterSave;
  WhenReady([&] { return Shows(); }, [&] {
    Command(ID_VIEW_EDIT);
    leftInEdit = DumpScreen(screen())["softKeys"]["left"]["label"];
    Press(PhoneKey::Down);  // into the text
    screen().TypeText(" 改");
    Command(ID_VIEW_CANCEL);
    afterCancel = Text(IDC_VIEW_TEXT);
    Command(ID_VIEW_EDIT);
    screen().TypeText(" 改");
    Press(PhoneKey::Soft1);  // Save, back to view mode
    afterSave = DumpScreen(screen())["softKeys"]["left"]["label"];
    Press(PhoneKey::Back);
  });
  RunMessageView(screen(), host_, host_.Node(2));
  EXPECT_EQ(leftInEdit, "Save");
  EXPECT_EQ(afterCancel, "短信 note");
  EXPECT_EQ(afterSave, "Reply");
  EXPECT_EQ(host_.saves, 1);
  EXPECT_EQ(host_.items[2].message.text.find(u" 改") != std::u16string::npos, true);
}

TEST_F(MessageViewTest, AnEmptyTitleIsRefusedOnSave) {
  std::string box;
  WhenReady([&] { return Shows(); }, [&] {
    Command(ID_VIEW_EDIT);
    for (int i = 0; i < 10; ++i) Press(PhoneKey::Back);  // erases the title, closes nothing
    WhenReady([&] { return screen().OpenMessageBox() != nullptr; }, [&] {
      box = screen().OpenMessageBox()->text.toStdString();
      Press(PhoneKey::Action);
      WhenReady([&] { return Shows(); }, [&] { Command(ID_VIEW_CANCEL); Press(PhoneKey::Back); });
    });
    Press(PhoneKey::Soft1);
  });
  RunMessageView(screen(), host_, host_.Node(0));
  EXPECT_EQ(box, "Title can't be empty!");
  EXPECT_EQ(host_.saves, 0);
  EXPECT_EQ(host_.items[0].message.title, u"first");
}

TEST_F(MessageViewTest, ReplyForwardResendDialAndBlacklistHandTheRightTexts) {
  WhenReady([&] { return Shows(); }, [&] {
    Press(PhoneKey::Right);  // the second: 300 characters
    Press(PhoneKey::Soft1);  // Reply
    Command(ID_VIEW_FORWARD);
    Command(ID_VIEW_RESEND);
    Command(ID_VIEW_DIAL);
    Command(ID_VIEW_SET_AS_BLACKLIST);
    Press(PhoneKey::Back);
  });
  RunMessageView(screen(), host_, host_.Node(0));
  ASSERT_EQ(host_.composed.size(), 3u);
  EXPECT_EQ(host_.composed[0].mode, ComposeMode::kReply);
  EXPECT_EQ(host_.composed[0].recipients, u"5550102");
  EXPECT_EQ(host_.composed[1].mode, ComposeMode::kNew);
  EXPECT_EQ(host_.composed[1].body.size(), 140u);
  EXPECT_EQ(host_.composed[2].mode, ComposeMode::kResend);
  EXPECT_EQ(host_.composed[2].body.size(), 300u);
  EXPECT_EQ(host_.dialled, (std::vector<std::u16string>{u"5550102"}));
  ASSERT_EQ(host_.blackList.size(), 1u);
  EXPECT_EQ(host_.blackList[0].second, u"5550102");
  EXPECT_GE(host_.refreshes, 5);
}

TEST_F(MessageViewTest, WithoutThePhoneLibraryThePhoneCommandsAreGray) {
  host_.phone = false;
  std::vector<std::pair<std::string, bool>> items;
  bool leftEnabled = true;
  WhenReady([&] { return Shows(); }, [&] {
    leftEnabled = DumpScreen(screen())["softKeys"]["left"]["enabled"];
    Press(PhoneKey::Soft2);
    const nlohmann::json menu = DumpScreen(screen())["menu"];
    for (const nlohmann::json& item : menu["items"]) {
      if (item.contains("text")) items.emplace_back(item["text"], item["enabled"]);
    }
    Press(PhoneKey::Back);
    Press(PhoneKey::Soft1);  // gray: no compose
    Press(PhoneKey::Back);
  });
  RunMessageView(screen(), host_, host_.Node(0));
  EXPECT_FALSE(leftEnabled);
  EXPECT_EQ(items, (std::vector<std::pair<std::string, bool>>{
                       {"Forward...", false}, {"Resend...", false}, {"Dial", false}, {"Edit", true},
                       {"Delete", true}, {"Property...", true}, {"Password...", true}, {"Other", true},
                       {"Cancel", true}}));
  EXPECT_TRUE(host_.composed.empty());
}

TEST_F(MessageViewTest, DeleteMovesToTheNextAndClosesAfterTheLast) {
  std::vector<std::string> titles;
  WhenReady([&] { return Shows(); }, [&] {
    Command(ID_VIEW_DELETE);
    titles.push_back(Text(IDC_VIEW_TITLE));
    Command(ID_VIEW_DELETE);
  });
  EXPECT_EQ(RunMessageView(screen(), host_, host_.Node(1)), IDOK);
  EXPECT_EQ(titles, (std::vector<std::string>{"third 第三"}));
  EXPECT_EQ(host_.items.size(), 1u);
}

TEST_F(MessageViewTest, ARefusedPasswordClosesTheWindowAndAnItemTakenAwayEndsIt) {
  host_.items[0].password = u"secret";
  EXPECT_EQ(RunMessageView(screen(), host_, host_.Node(0)), IDOK);
  host_.items[0].password.clear();
  WhenReady([&] { return Shows(); }, [&] {
    host_.items.erase(host_.items.begin() + 1);  // a sent draft recorded away meanwhile
    Command(ID_VIEW_EDIT);
  });
  EXPECT_EQ(RunMessageView(screen(), host_, host_.Node(1)), IDOK);
}

}  // namespace
}  // namespace brevalo
