#include "send/content_window.h"

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
