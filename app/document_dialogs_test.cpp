#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>

#include <cstring>
#include <fstream>

#include "app/document_properties.h"
#include "app/file_property_dialog.h"
#include "app/new_file_dialog.h"
#include "app/node_property_dialog.h"
#include "device/system_time.h"
#include "ui/phone_screen.h"
#include "ui/phone_window.h"
#include "ui/ui_test_support.h"

namespace brevalo {
namespace {
namespace fs = std::filesystem;

using testing::WhenReady;

constexpr uint32_t kUtf8 = 65001;

class DocumentDialogsTest : public ::testing::Test {
 protected:
  PhoneScreen& screen() { return fixture_.screen(); }
  const Device& device() { return fixture_.device(); }
  bool Shows(const QString& title) {
    PhoneWindow* top = screen().TopWindow();
    return top && top->Title() == title && top->IsWindowEnabled() && !screen().OpenMessageBox();
  }
  QString TextOf(int id) {
    QWidget* control = screen().TopWindow()->Control(id);
    if (auto* label = qobject_cast<QLabel*>(control)) return label->text();
    if (auto* edit = qobject_cast<QLineEdit*>(control)) return edit->text();
    return {};
  }
  bool Enabled(int id) { return screen().TopWindow()->Control(id)->isEnabled(); }
  void Press(PhoneKey key, int times = 1) {
    for (int i = 0; i < times; ++i) screen().PressKey(key);
  }
  std::u16string DateText(double date) {
    Registry registry(device().RegistryFile());
    return DocumentDateText(registry, date);
  }

  testing::ScreenFixture fixture_;
};

StoreRecord RecordBy(const char* author) {
  StoreRecord record;
  std::strncpy(record.author, author, sizeof record.author - 1);
  record.date = 46000.5;
  return record;
}

TEST_F(DocumentDialogsTest, NodePropertyTakesSixteenTypedCharactersAndKeepsFifteen) {
  StoreRecord record = RecordBy("");
  QString shownDate;
  bool passwordOffered = false;
  int typedLength = 0;
  WhenReady([&] { return Shows("Property"); }, [&] {
    shownDate = TextOf(1027);
    passwordOffered = Enabled(1019);
    screen().TypeText("0123456789abcdefXYZ");  // the edit stops at 16
    typedLength = TextOf(1023).size();
    Press(PhoneKey::Soft1);
  });
  EXPECT_TRUE(RunNodePropertyDialog(screen(), record, kUtf8));
  EXPECT_EQ(typedLength, 16);
  EXPECT_EQ(std::string(record.author), "0123456789abcde");
  EXPECT_EQ(shownDate.toStdU16String(), DateText(46000.5));
  EXPECT_FALSE(shownDate.isEmpty());
  EXPECT_TRUE(passwordOffered);
}

TEST_F(DocumentDialogsTest, NodePropertyReportsNoChangeOnCancelOrAnUntouchedAuthor) {
  StoreRecord record = RecordBy("Ann");
  QString shownAuthor;
  WhenReady([&] { return Shows("Property"); }, [&] {
    shownAuthor = TextOf(1023);
    screen().TypeText("e");
    Press(PhoneKey::Soft2);
  });
  EXPECT_FALSE(RunNodePropertyDialog(screen(), record, kUtf8));
  EXPECT_EQ(shownAuthor, "Ann");
  EXPECT_EQ(std::string(record.author), "Ann");

  WhenReady([&] { return Shows("Property"); }, [&] {
    screen().TypeText("e");
    Press(PhoneKey::Back);  // typed and erased again
    Press(PhoneKey::Soft1);
  });
  EXPECT_FALSE(RunNodePropertyDialog(screen(), record, kUtf8));
  EXPECT_EQ(std::string(record.author), "Ann");
}

TEST_F(DocumentDialogsTest, FilePropertyShowsTheDatesAndWritesTheAuthorInTheCodePage) {
  StoreHeader header;
  std::strcpy(header.author, "Bob");
  header.buildDate = 45000.25;
  header.modifyDate = 46000.75;
  QString build, modify, author;
  bool passwordOffered = false;
  WhenReady([&] { return Shows("File Property"); }, [&] {
    author = TextOf(1023);
    build = TextOf(1027);
    modify = TextOf(1028);
    passwordOffered = Enabled(1026);
    Press(PhoneKey::Back, 3);
    screen().TypeText("Zoë");
    Press(PhoneKey::Soft1);
  });
  EXPECT_TRUE(RunFilePropertyDialog(screen(), header, 1252));
  EXPECT_EQ(author, "Bob");
  EXPECT_EQ(build.toStdU16String(), DateText(45000.25));
  EXPECT_EQ(modify.toStdU16String(), DateText(46000.75));
  EXPECT_NE(build, modify);
  EXPECT_TRUE(passwordOffered);
  EXPECT_EQ(std::string(header.author), "Zo\xEB");
  EXPECT_EQ(header.buildDate, 45000.25);

  WhenReady([&] { return Shows("File Property"); }, [&] {
    screen().TypeText("!!");
    Press(PhoneKey::Soft2);
  });
  EXPECT_FALSE(RunFilePropertyDialog(screen(), header, 1252));
  EXPECT_EQ(std::string(header.author), "Zo\xEB");
}

// The Password... button of the property dialogs: the password dialog in change mode on the
// field, which the property dialog's own OK or Cancel then keeps or drops.
TEST_F(DocumentDialogsTest, ThePropertyDialogsChangeThePasswordThroughTheirButton) {
  StoreRecord record = RecordBy("Ann");
  std::strcpy(record.password, "old");
  bool oldAsked = false;
  auto changePassword = [&](const QString& owner, PhoneKey ownerKey) {
    WhenReady([&, owner, ownerKey] { return Shows(owner); }, [&, owner, ownerKey] {
      WhenReady([&] { return Shows("Password"); }, [&, owner, ownerKey] {
        oldAsked = !screen().TopWindow()->Control(1040)->isHidden();
        if (oldAsked) {
          screen().TypeText("old");
          Press(PhoneKey::Down);
        }
        screen().TypeText("new");
        Press(PhoneKey::Down);
        screen().TypeText("new");
        WhenReady([&, owner, ownerKey] { return Shows(owner); }, [&, ownerKey] { Press(ownerKey); });
        Press(PhoneKey::Soft1);
      });
      Press(PhoneKey::Down);  // from the author to the button
      Press(PhoneKey::Action);
    });
  };
  changePassword("Property", PhoneKey::Soft1);
  EXPECT_TRUE(RunNodePropertyDialog(screen(), record, kUtf8)) << "a new password alone is a change";
  EXPECT_TRUE(oldAsked);
  EXPECT_EQ(std::string(record.password), "new");
  EXPECT_EQ(std::string(record.author), "Ann");

  StoreHeader header;
  changePassword("File Property", PhoneKey::Soft2);
  EXPECT_FALSE(RunFilePropertyDialog(screen(), header, kUtf8));
  EXPECT_FALSE(oldAsked) << "no password yet";
  EXPECT_EQ(std::string(header.password), "") << "Cancel drops it";
  changePassword("File Property", PhoneKey::Soft1);
  EXPECT_TRUE(RunFilePropertyDialog(screen(), header, kUtf8));
  EXPECT_EQ(std::string(header.password), "new");
}

class NewFileDialogTest : public DocumentDialogsTest {
 protected:
  NewFileDialogTest() {
    fs::create_directories(device().FsRoot() / "My Documents");
    std::ofstream(device().FsRoot() / "My Documents/old.kvt") << "old";
  }
};

TEST_F(NewFileDialogTest, BrowsesForTheNameAndBuildsTheHeaderTemplate) {
  std::u16string lastDir = u"\\My Documents";
  QString nameAfterBrowse;
  WhenReady([&] { return Shows("New File"); }, [&] {
    WhenReady([&] { return Shows("Save As"); }, [&] {
      screen().TypeText("mine");
      Press(PhoneKey::Soft1);
      WhenReady([&] { return Shows("New File"); }, [&] {
        nameAfterBrowse = TextOf(1020);
        screen().TypeText("Ann");  // the focus is on the author now
        Press(PhoneKey::Soft1);
      });
    });
    Press(PhoneKey::Down);  // Browse...
    Press(PhoneKey::Action);
  });
  std::optional<NewFileChoice> choice = RunNewFileDialog(screen(), device(), lastDir, kUtf8);
  ASSERT_TRUE(choice);
  EXPECT_EQ(nameAfterBrowse, "\\My Documents\\mine.kvt");
  EXPECT_EQ(choice->path, u"\\My Documents\\mine.kvt");
  EXPECT_TRUE(choice->createRecycleBin);
  StoreHeader expected = NewHeaderTemplate(u"Ann", DocumentCodePage(kUtf8));
  EXPECT_EQ(0, std::memcmp(choice->headerTemplate.author, expected.author, kHeaderAuthorSize));
  EXPECT_EQ(choice->headerTemplate.buildDate, 0);
  EXPECT_EQ(choice->headerTemplate.version, 0u);
  EXPECT_EQ(lastDir, u"\\My Documents");
}

TEST_F(NewFileDialogTest, ATypedNameGoesIntoTheLastFolderAndTheRecycleBinMayBeLeftOut) {
  std::u16string lastDir = u"\\My Documents";
  std::vector<QString> boxes;
  WhenReady([&] { return Shows("New File"); }, [&] {
    WhenReady([&] { return screen().OpenMessageBox() != nullptr; }, [&] {
      boxes.push_back(screen().OpenMessageBox()->text);
      Press(PhoneKey::Action);
      WhenReady([&] { return Shows("New File"); }, [&] {
        screen().TypeText("old");
        WhenReady([&] { return screen().OpenMessageBox() != nullptr; }, [&] {
          boxes.push_back(screen().OpenMessageBox()->text);
          Press(PhoneKey::Soft1);  // replace it
        });
        Press(PhoneKey::Down, 4);  // Browse, author, Password..., the check
        Press(PhoneKey::Action);
        Press(PhoneKey::Soft1);
      });
    });
    Press(PhoneKey::Soft1);  // no name yet
  });
  std::optional<NewFileChoice> choice = RunNewFileDialog(screen(), device(), lastDir, kUtf8);
  ASSERT_TRUE(choice);
  EXPECT_EQ(boxes, (std::vector<QString>{"File name can't be empty!",
                                         "\\My Documents\\old.kvt already exists.\nDo you want to replace it?"}));
  EXPECT_EQ(choice->path, u"\\My Documents\\old.kvt");
  EXPECT_FALSE(choice->createRecycleBin);
}

}  // namespace
}  // namespace brevalo
