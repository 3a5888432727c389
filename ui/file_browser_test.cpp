#include "ui/file_browser.h"

#include <gtest/gtest.h>

#include <QTreeWidget>

#include <fstream>

#include "ui/phone_window.h"
#include "ui/screen_dump.h"
#include "ui/ui_test_support.h"

namespace brevalo {
namespace {
namespace fs = std::filesystem;

using testing::WhenReady;

class FileBrowserTest : public ::testing::Test {
 protected:
  FileBrowserTest() {
    fs::path root = fixture_.device().FsRoot();
    fs::create_directories(root / "My Documents/Work");
    fs::create_directories(root / "Storage");
    std::ofstream(root / "My Documents/sms.kvt") << std::string(2048, 'x');
    std::ofstream(root / "My Documents/notes.txt") << "notes";
    std::ofstream(root / "My Documents/Work/old.KVT") << "old";
  }
  PhoneScreen& screen() { return fixture_.screen(); }
  const Device& device() { return fixture_.device(); }
  bool BrowserShows() { return screen().TopWindow() && screen().TopWindow()->Title() == "Browse"; }
  bool BoxShows() { return screen().OpenMessageBox() != nullptr; }
  // Runs `action` once a message box has gone and the browser takes keys again.
  void WhenBrowserWaits(std::function<void()> action) {
    WhenReady([this] { return !BoxShows() && BrowserShows() && screen().TopWindow()->IsWindowEnabled(); },
              std::move(action));
  }

  // The rows of the list as "name|size", as the remote control sees them.
  std::vector<QString> Rows() {
    std::vector<QString> rows;
    nlohmann::json shown = DumpScreen(screen());
    for (const auto& control : shown["controls"]) {
      if (control["id"] != 1001) continue;
      for (const auto& row : control["rows"]) {
        rows.push_back(QString::fromStdString(row["columns"][0].get<std::string>() + "|" +
                                              row["columns"][1].get<std::string>()));
      }
    }
    return rows;
  }
  QString Selected() {
    auto* list = qobject_cast<QTreeWidget*>(screen().TopWindow()->Control(1001));
    return list && list->currentItem() ? list->currentItem()->text(0) : QString();
  }
  void Press(PhoneKey key, int times = 1) {
    for (int i = 0; i < times; ++i) screen().PressKey(key);
  }

  std::optional<std::u16string> Run(FileBrowserMode mode, std::u16string& lastDir) {
    FileBrowserRequest request{mode, u"Browse", u"Documents (*.kvt)|*.kvt|", u"kvt"};
    return RunFileBrowser(screen(), device(), request, lastDir);
  }

  testing::ScreenFixture fixture_;
};

TEST_F(FileBrowserTest, OpensAMatchingFileAndKeepsItsFolder) {
  std::u16string lastDir = u"\\my documents\\";
  std::vector<QString> rows;
  WhenReady([&] { return BrowserShows(); }, [&] {
    rows = Rows();
    Press(PhoneKey::Down, 2);
    Press(PhoneKey::Action);
  });
  std::optional<std::u16string> chosen = Run(FileBrowserMode::kOpen, lastDir);
  EXPECT_EQ(rows, (std::vector<QString>{"..|Dir", "Work|Dir", "sms.kvt|2.0KB"}));
  EXPECT_EQ(chosen, u"\\My Documents\\sms.kvt");
  EXPECT_EQ(lastDir, u"\\My Documents");
}

TEST_F(FileBrowserTest, ActionEntersFoldersAndTheLeftKeyOpensLikeAction) {
  std::u16string lastDir = u"\\My Documents";
  std::vector<QString> inWork;
  WhenReady([&] { return BrowserShows(); }, [&] {
    Press(PhoneKey::Down);
    Press(PhoneKey::Soft1);  // on a folder: enters it
    inWork = Rows();
    Press(PhoneKey::Down);
    Press(PhoneKey::Soft1);
  });
  EXPECT_EQ(Run(FileBrowserMode::kOpen, lastDir), u"\\My Documents\\Work\\old.KVT");
  EXPECT_EQ(inWork, (std::vector<QString>{"..|Dir", "old.KVT|3"}));
  EXPECT_EQ(lastDir, u"\\My Documents\\Work");
}

TEST_F(FileBrowserTest, BackGoesUpToTheFolderLeftAndCancelsAtTheRoot) {
  std::u16string lastDir = u"\\My Documents\\Work";
  QString selectedAfterUp;
  std::vector<QString> rootRows;
  bool cancelledAtRoot = false;
  WhenReady([&] { return BrowserShows(); }, [&] {
    Press(PhoneKey::Back);
    selectedAfterUp = Selected();
    Press(PhoneKey::Back);
    rootRows = Rows();
    Press(PhoneKey::Back);
    cancelledAtRoot = true;
  });
  EXPECT_EQ(Run(FileBrowserMode::kOpen, lastDir), std::nullopt);
  EXPECT_TRUE(cancelledAtRoot);
  EXPECT_EQ(selectedAfterUp, "Work");
  EXPECT_EQ(rootRows, (std::vector<QString>{"My Documents|Dir", "Storage|Dir"}));  // no ".."
  EXPECT_EQ(lastDir, u"\\");
}

TEST_F(FileBrowserTest, CancelWritesBackTheFolderItEndedInAndAMissingFolderStartsAtTheRoot) {
  std::u16string lastDir = u"\\Gone\\Away";
  std::vector<QString> rows;
  WhenReady([&] { return BrowserShows(); }, [&] {
    rows = Rows();
    Press(PhoneKey::Action);  // into My Documents
    Press(PhoneKey::Soft2);
  });
  EXPECT_EQ(Run(FileBrowserMode::kOpen, lastDir), std::nullopt);
  EXPECT_EQ(rows.front(), "My Documents|Dir");
  EXPECT_EQ(lastDir, u"\\My Documents");
}

TEST_F(FileBrowserTest, SaveAddsTheDefaultExtension) {
  std::u16string lastDir = u"\\My Documents";
  WhenReady([&] { return BrowserShows(); }, [&] {
    screen().TypeText(" report ");  // the name has the focus
    Press(PhoneKey::Action);
  });
  EXPECT_EQ(Run(FileBrowserMode::kSave, lastDir), u"\\My Documents\\report.kvt");
}

TEST_F(FileBrowserTest, SaveOverAnExistingFileAsksFirst) {
  std::u16string lastDir = u"\\My Documents";
  QString question;
  bool stayedAfterNo = false;
  WhenReady([&] { return BrowserShows(); }, [&] {
    Press(PhoneKey::Up);  // from the name into the list, at its first row
    Press(PhoneKey::Down, 2);
    Press(PhoneKey::Action);  // the file's name goes into the edit
    WhenReady([&] { return BoxShows(); }, [&] {
      question = screen().OpenMessageBox()->text;
      Press(PhoneKey::Soft2);
      WhenBrowserWaits([&] {
        stayedAfterNo = true;
        WhenReady([&] { return BoxShows(); }, [&] { Press(PhoneKey::Soft1); });
        Press(PhoneKey::Soft1);
      });
    });
    Press(PhoneKey::Soft1);
  });
  EXPECT_EQ(Run(FileBrowserMode::kSave, lastDir), u"\\My Documents\\sms.kvt");
  EXPECT_EQ(question, "\\My Documents\\sms.kvt already exists.\nDo you want to replace it?");
  EXPECT_TRUE(stayedAfterNo);
}

// Save with a file highlighted takes that file's name, and asks before replacing it.
TEST_F(FileBrowserTest, SaveWithAFileHighlightedTakesItsName) {
  std::u16string lastDir = u"\\My Documents";
  QString question;
  WhenReady([&] { return BrowserShows(); }, [&] {
    Press(PhoneKey::Up);  // from the empty name into the list
    Press(PhoneKey::Down, 2);
    WhenReady([&] { return BoxShows(); }, [&] {
      question = screen().OpenMessageBox()->text;
      Press(PhoneKey::Soft1);
    });
    Press(PhoneKey::Soft1);
  });
  EXPECT_EQ(Run(FileBrowserMode::kSave, lastDir), u"\\My Documents\\sms.kvt");
  EXPECT_EQ(question, "\\My Documents\\sms.kvt already exists.\nDo you want to replace it?");
}

TEST_F(FileBrowserTest, SaveRefusesEmptyAndUnusableNamesWithAMessage) {
  std::u16string lastDir = u"\\My Documents";
  std::vector<QString> texts;
  QString caption;
  WhenReady([&] { return BrowserShows(); }, [&] {
    WhenReady([&] { return BoxShows(); }, [&] {
      texts.push_back(screen().OpenMessageBox()->text);
      caption = screen().OpenMessageBox()->caption;
      Press(PhoneKey::Action);
      WhenBrowserWaits([&] {
        screen().TypeText("a:b");
        WhenReady([&] { return BoxShows(); }, [&] {
          texts.push_back(screen().OpenMessageBox()->text);
          Press(PhoneKey::Action);
          WhenBrowserWaits([&] { Press(PhoneKey::Soft2); });
        });
        Press(PhoneKey::Soft1);
      });
    });
    Press(PhoneKey::Soft1);
  });
  EXPECT_EQ(Run(FileBrowserMode::kSave, lastDir), std::nullopt);
  EXPECT_EQ(caption, "Error");
  EXPECT_EQ(texts, (std::vector<QString>{
                       "File name can't be empty!",
                       "A file name can't contain any of these characters: \\ / : * ? \" < > |"}));
}

TEST_F(FileBrowserTest, SeveralFiltersAreChosenWithLeftAndRight) {
  std::u16string lastDir = u"\\My Documents";
  std::vector<QString> texts;
  WhenReady([&] { return BrowserShows(); }, [&] {
    Press(PhoneKey::Up);  // from the first row up to the type
    Press(PhoneKey::Right);
    texts = Rows();
    Press(PhoneKey::Down);
    Press(PhoneKey::Down, 2);
    Press(PhoneKey::Action);
  });
  FileBrowserRequest request{FileBrowserMode::kOpen, u"Browse",
                             u"Documents (*.kvt)|*.kvt|Text (*.txt)|*.txt|", u""};
  EXPECT_EQ(RunFileBrowser(screen(), device(), request, lastDir), u"\\My Documents\\notes.txt");
  EXPECT_EQ(texts, (std::vector<QString>{"..|Dir", "Work|Dir", "notes.txt|5"}));
}

TEST_F(FileBrowserTest, ChoosingAFolderListsNoFilesAndReturnsTheFolderShown) {
  std::u16string lastDir = u"\\My Documents";
  std::vector<QString> rows;
  WhenReady([&] { return BrowserShows(); }, [&] {
    rows = Rows();
    Press(PhoneKey::Down);
    Press(PhoneKey::Action);
    Press(PhoneKey::Soft1);
  });
  EXPECT_EQ(Run(FileBrowserMode::kChooseFolder, lastDir), u"\\My Documents\\Work");
  EXPECT_EQ(rows, (std::vector<QString>{"..|Dir", "Work|Dir"}));
  EXPECT_EQ(lastDir, u"\\My Documents\\Work");
}

}  // namespace
}  // namespace brevalo
