// The main window with a document: the tree as a person drives it with the phone's keys, the
// document commands, and the Preview window.
#include <QListWidget>
#include <QLabel>
#include <QLineEdit>
#include <QTreeView>

#include <fstream>

#include <gtest/gtest.h>

#include "app/folder_tree_model.h"
#include "app/main_commands.h"
#include "app/main_window.h"
#include "app/main_window_test_support.h"
#include "app/preview_window.h"
#include "app/scrolling_row_delegate.h"
#include "channel/unread_counter.h"
#include "device/registry.h"
#include "store/document_filing.h"
#include "store/index_offset_memory.h"
#include "store/message_store.h"
#include "store/store_file.h"
#include "ui/title_scroll.h"
#include "ui/ui_test_support.h"

namespace brevalo {
namespace {

constexpr std::u16string_view kDocument = u"\\My Documents\\sms.kvt";

class MainWindowTreeTest : public testing::MainWindowFixture {
 protected:
  // Inbox { Work { w1 unread, w2 read }, i1 unread }, Notes, Recycle Bin; the last open file.
  void WriteDocument() {
    WriteLastDocument(kDocument, [](OpenDocument& doc) {
      // Each new folder goes first: Notes, then the Inbox above it.
      doc.FindOrCreateFolder(u"\\Notes");
      TreeNode* work = doc.FindOrCreateFolder(u"\\Inbox\\Work");
      doc.ToggleRecycleBin();
      CodePage page;
      auto add = [&](TreeNode& parent, std::u16string label, std::u16string_view text, int image) {
        NodeData data;
        data.offset = AppendMessageRecord(doc.Store(), page, u"5550100", CurrentOleDate(), text);
        doc.Tree().InsertLastChild(parent, std::move(label), image, data);
      };
      add(*work, u"w1", u"first at work", kImageUnread);
      add(*work, u"w2", u"second at work", kImageRead);
      add(*work->Parent(), u"i1", u"hello there", kImageUnread);
      doc.Store().SetTreeChanged();
    });
  }
  MainWindow& StartWithDocument() {
    WriteDocument();
    SetSetting(u"DeleteAlert", 0);
    return Start();
  }
  std::string Selected() {
    TreeNode* node = window_->Selection();
    return node ? ToUtf8(node->Label()) : "";
  }
  // Answers the message box that the next step opens with `key`, and records its text.
  void AnswerBox(PhoneKey key, QString* text = nullptr) {
    testing::WhenReady([this] { return screen().OpenMessageBox() != nullptr; }, [this, key, text] {
      if (text) *text = screen().OpenMessageBox()->text;
      screen().PressKey(key);
      screen().ReleaseKey(key);
    });
  }
  std::vector<std::string> TopLevel() {
    std::vector<std::string> labels;
    const TreeNode& root = window_->Document().Tree().Root();
    for (size_t i = 0; i < root.ChildCount(); ++i) labels.push_back(ToUtf8(root.Child(i)->Label()));
    return labels;
  }
};

TEST_F(MainWindowTreeTest, TheLastFileOpensAtStartWithItsCountsPublished) {
  MainWindow& window = StartWithDocument();
  ASSERT_TRUE(window.Document().IsOpen());
  EXPECT_FALSE(window.TreeView()->isHidden());
  EXPECT_TRUE(window.Control(IDC_NO_DOCUMENT)->isHidden());
  EXPECT_EQ(window.StatusText(), "File: \\My Documents\\sms.kvt");
  EXPECT_EQ(TopLevel(), (std::vector<std::string>{"Inbox", "Notes", "Recycle Bin"}));
  EXPECT_EQ(UnreadCounter::Peek(device()), 2u);
  EXPECT_EQ(Selected(), "Inbox");
  EXPECT_EQ(window.FocusedControlId(), IDC_TREE);
  QModelIndex inbox = window.TreeModel()->index(0, 0);
  EXPECT_TRUE(inbox.data(Qt::FontRole).value<QFont>().bold());
}

TEST_F(MainWindowTreeTest, KeysMoveExpandAndBackClimbsThenHidesOnTheTopLevel) {
  MainWindow& window = StartWithDocument();
  Press(PhoneKey::Right);  // expand Inbox
  Press(PhoneKey::Down);
  EXPECT_EQ(Selected(), "Work");
  Press(PhoneKey::Right);
  Press(PhoneKey::Down);
  EXPECT_EQ(Selected(), "w1");
  Press(PhoneKey::Back);
  EXPECT_EQ(Selected(), "Work");
  Press(PhoneKey::Back);
  EXPECT_EQ(Selected(), "Inbox");
  EXPECT_EQ(window.HideCount(), 1u);
  Press(PhoneKey::Back);
  EXPECT_TRUE(screen().HomeShowing()) << "Back on a top-level node hides the program";
  EXPECT_EQ(window.HideCount(), 2u);
  EXPECT_EQ(Selected(), "Inbox");
}

TEST_F(MainWindowTreeTest, EnterOnAnUnreadMessageReadsItAndTheAncestorsLoseIt) {
  MainWindow& window = StartWithDocument();
  for (PhoneKey key : {PhoneKey::Right, PhoneKey::Down, PhoneKey::Right, PhoneKey::Down}) Press(key);
  ASSERT_EQ(Selected(), "w1");
  // Action opens the message view, and reading it there marks it read.
  QString viewed;
  testing::WhenReady([this] { return screen().TopWindow() && screen().TopWindow()->Title() == "Content"; }, [&] {
    viewed = qobject_cast<QLineEdit*>(screen().TopWindow()->Control(40010))->text();
    Press(PhoneKey::Back);
  });
  Press(PhoneKey::Action);
  EXPECT_EQ(viewed, "w1");
  TreeNode& w1 = *window.Selection();
  EXPECT_EQ(w1.Image(), kImageRead);
  EXPECT_FALSE(w1.Parent()->Bold()) << "Work has nothing unread left";
  EXPECT_EQ(w1.Parent()->Parent()->Data().unread, 1);
  EXPECT_EQ(UnreadCounter::Peek(device()), 1u);
  Press(PhoneKey::Up);
  Press(PhoneKey::Action);  // a folder with children opens nothing
  EXPECT_EQ(Selected(), "Work");
}

TEST_F(MainWindowTreeTest, DeleteMovesIntoTheRecycleBinAndEverySystemItemGraysAfterClose) {
  WriteDocument();
  MainWindow& window = Start();  // DeleteAlert is on by default
  AnswerBox(PhoneKey::Soft2);
  window.Command(ID_DELETE);  // refused at the question: nothing happens
  EXPECT_EQ(TopLevel().size(), 3u);
  QString question;
  AnswerBox(PhoneKey::Soft1, &question);
  window.Command(ID_DELETE);
  EXPECT_EQ(question, "Do you want to delete the node?");
  EXPECT_EQ(TopLevel(), (std::vector<std::string>{"Notes", "Recycle Bin"}));
  EXPECT_EQ(window.Document().RecycleBin()->Image(), kImageBinFull);
  EXPECT_EQ(UnreadCounter::Peek(device()), 2u) << "the bin counts what it holds";

  window.Command(ID_CLOSE);
  EXPECT_FALSE(window.Document().IsOpen());
  EXPECT_TRUE(window.TreeView()->isHidden());
  // Without a document the window says how to go on.
  auto* hint = qobject_cast<QLabel*>(window.Control(IDC_NO_DOCUMENT));
  ASSERT_NE(hint, nullptr);
  EXPECT_FALSE(hint->isHidden());
  EXPECT_TRUE(hint->text().contains("New... or Open... in the System menu")) << hint->text().toStdString();
  EXPECT_EQ(window.StatusText(), "");
  Press(PhoneKey::Soft1);
  std::shared_ptr<PopupMenu> system = window.SystemMenu();
  for (int id : {ID_SAVE, ID_CLOSE, ID_FILE_PROPERTY, ID_COMPRESS}) {
    EXPECT_FALSE(system->Find(id)->enabled) << id;
  }
  EXPECT_TRUE(system->Find(ID_OPEN)->enabled);
  EXPECT_TRUE(system->Find(ID_NEW_FILE)->enabled);
  Registry after(device().RegistryFile());
  ASSERT_TRUE(after.Load());
  EXPECT_EQ(after.QueryString(RegRoot::CurrentUser, kSettingsKey, u"LastOpenFile"), u"");

  ASSERT_TRUE(window.OpenPath(kDocument));
  EXPECT_EQ(TopLevel(), (std::vector<std::string>{"Notes", "Recycle Bin"})) << "Close saved it";
}

TEST_F(MainWindowTreeTest, TheAutoSaveTimerSavesAndCompressKeepsTheTreeAndItsCounts) {
  MainWindow& window = StartWithDocument();
  for (PhoneKey key : {PhoneKey::Right, PhoneKey::Down, PhoneKey::Down}) Press(key);
  ASSERT_EQ(Selected(), "i1");
  CloseViewWhenItOpens();
  Press(PhoneKey::Action);
  ASSERT_TRUE(window.Document().Store().TreeChanged());
  window.SendMessage(WM_TIMER, kAutoSaveTimer, 0);
  EXPECT_FALSE(window.Document().Store().TreeChanged());
  EXPECT_EQ(window.StatusText(), "File: \\My Documents\\sms.kvt");

  window.Command(ID_COMPRESS);
  ASSERT_TRUE(window.Document().IsOpen());
  EXPECT_EQ(TopLevel(), (std::vector<std::string>{"Inbox", "Notes", "Recycle Bin"}));
  EXPECT_EQ(window.Document().UnreadTotal(), 1u) << "i1 was saved read; w1 is still unread";
  EXPECT_TRUE(window.Document().Tree().Root().Child(0)->Bold());
  EXPECT_EQ(UnreadCounter::Peek(device()), 1u);
  EXPECT_TRUE(std::filesystem::exists(device().FsRoot() / "My Documents" / "sms.kvt.bak"));
}

TEST_F(MainWindowTreeTest, DraftAndRootFolderComeFromTheContentWindowAsFirstChildren) {
  MainWindow& window = StartWithDocument();
  Press(PhoneKey::Down);
  ASSERT_EQ(Selected(), "Notes");
  auto type = [this](const char* title, const char* text) {
    testing::WhenReady([this] { return screen().TopWindow() && screen().TopWindow()->Title() == "Content"; },
                       [this, title, text] {
                         screen().TypeText(title);
                         screen().PressKey(PhoneKey::Action);  // on to the text
                         screen().TypeText(text);
                         screen().PressKey(PhoneKey::Soft1);  // Save
                       });
  };
  type("Shopping", "milk, eggs");
  window.Command(ID_NEW_DRAFT);
  EXPECT_EQ(Selected(), "Shopping");
  TreeNode& draft = *window.Selection();
  EXPECT_EQ(draft.Image(), kImageRead);
  EXPECT_EQ(draft.Parent()->Label(), u"Notes");
  ASSERT_TRUE(window.Document().Store().ReadRecord(draft.Data().offset));
  EXPECT_EQ(window.Document().Store().ReadBodyText(), u"milk, eggs");

  // A folder's form is its title alone: Action saves it.
  testing::WhenReady([this] { return screen().TopWindow() && screen().TopWindow()->Title() == "Content"; },
                     [this] {
                       screen().TypeText("Archive");
                       screen().PressKey(PhoneKey::Action);
                     });
  window.Command(ID_ROOT_FOLDER);
  EXPECT_EQ(TopLevel().front(), "Archive");
  EXPECT_EQ(window.Selection()->Image(), kImageFolder);
  window.Command(ID_CLOSE);
  ASSERT_TRUE(window.OpenPath(kDocument));
  EXPECT_EQ(TopLevel(), (std::vector<std::string>{"Archive", "Inbox", "Notes", "Recycle Bin"}));
}

// Opening a file that turns out to be no document keeps the document that was open.
TEST_F(MainWindowTreeTest, AFailedOpenLeavesTheOpenDocumentOpen) {
  MainWindow& window = StartWithDocument();
  std::filesystem::path host = device().FsRoot() / "notes.kvt";
  { std::ofstream(host, std::ios::binary) << std::string(500, 'x'); }
  QString text;
  AnswerBox(PhoneKey::Soft1, &text);
  EXPECT_FALSE(window.OpenPath(u"\\notes.kvt"));
  EXPECT_EQ(text, "\\notes.kvt is not a Brevalo document. It was not opened.");
  ASSERT_TRUE(window.Document().IsOpen());
  EXPECT_EQ(window.Document().Path(), kDocument);
  EXPECT_EQ(TopLevel(), (std::vector<std::string>{"Inbox", "Notes", "Recycle Bin"}));
  EXPECT_FALSE(window.TreeView()->isHidden());
  // A document that opens takes the place of the open one.
  ASSERT_TRUE(window.OpenPath(kDocument));
  EXPECT_EQ(window.Document().Path(), kDocument);
}

// A document another program writes is refused with a word of why; the open one stays.
TEST_F(MainWindowTreeTest, ADocumentAnotherProgramWritesIsNotOpened) {
  MainWindow& window = StartWithDocument();
  PosixStoreFileSystem files(PosixStoreFileSystem::DevicePaths(device()));
  InMemoryIndexOffsetMemory offsets;
  CodePage page;
  MessageStore elsewhere(files, offsets, page);
  ASSERT_TRUE(elsewhere.Create(u"\\My Documents\\other.kvt", StoreHeader{}));
  QString text;
  AnswerBox(PhoneKey::Soft1, &text);
  EXPECT_FALSE(window.OpenPath(u"\\My Documents\\other.kvt"));
  EXPECT_EQ(text, "\\My Documents\\other.kvt is open for writing in another program. Close it there "
                  "and open it again.");
  EXPECT_EQ(window.Document().Path(), kDocument);
}

// A start that cannot open the last document says why, once the window runs, and runs on.
TEST_F(MainWindowTreeTest, AStartThatCannotOpenTheLastDocumentSaysWhy) {
  WriteLastDocument(kDocument, [](OpenDocument&) {});
  { std::ofstream(*device().HostPath(kDocument), std::ios::binary) << std::string(500, 'x'); }
  QString text;
  AnswerBox(PhoneKey::Soft1, &text);
  MainWindow& window = Start();
  testing::RunUntil([&] { return !text.isEmpty(); }, 3000);
  EXPECT_EQ(text, "The last document could not be opened. \\My Documents\\sms.kvt is not a Brevalo "
                  "document. It was not opened.");
  EXPECT_FALSE(window.Document().IsOpen());
  EXPECT_TRUE(window.IntakeRunning()) << "the program runs on";
}

TEST_F(MainWindowTreeTest, AStartWithADamagedRegistrySaysSoAndRunsOn) {
  std::filesystem::create_directories(device().RegistryFile().parent_path());
  { std::ofstream(device().RegistryFile(), std::ios::binary) << "[HKEY_NOWHERE\\x]\n\"a\"=dword:zz\n"; }
  QString text;
  AnswerBox(PhoneKey::Soft1, &text);
  MainWindow& window = Start();
  testing::RunUntil([&] { return !text.isEmpty(); }, 3000);
  EXPECT_TRUE(text.startsWith("The phone's registry could not be read (")) << text.toStdString();
  EXPECT_TRUE(text.endsWith("The program runs with its first-run settings.")) << text.toStdString();
  EXPECT_TRUE(window.IntakeRunning());
}

TEST_F(MainWindowTreeTest, AFileThatIsNoDocumentIsNamedInAMessageAndLeftUntouched) {
  MainWindow& window = Start();
  std::filesystem::create_directories(device().FsRoot());
  std::filesystem::path host = device().FsRoot() / "notes.kvt";
  std::string bytes(500, 'x');
  { std::ofstream(host, std::ios::binary) << bytes; }
  QString text;
  AnswerBox(PhoneKey::Soft1, &text);
  EXPECT_FALSE(window.OpenPath(u"\\notes.kvt"));
  EXPECT_EQ(text, "\\notes.kvt is not a Brevalo document. It was not opened.");
  EXPECT_FALSE(window.Document().IsOpen());
  EXPECT_TRUE(window.TreeView()->isHidden());
  // Without a document the window says how to go on.
  auto* hint = qobject_cast<QLabel*>(window.Control(IDC_NO_DOCUMENT));
  ASSERT_NE(hint, nullptr);
  EXPECT_FALSE(hint->isHidden());
  EXPECT_TRUE(hint->text().contains("New... or Open... in the System menu")) << hint->text().toStdString();
  window.Command(ID_SAVE);
  window.Command(ID_CLOSE);
  ASSERT_TRUE(std::filesystem::exists(host));
  std::ifstream in(host, std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), bytes);
}

TEST_F(MainWindowTreeTest, RecycleBinItemSaysWhatItDoesAndDeletingTheBinDiscardsItsContent) {
  MainWindow& window = StartWithDocument();
  window.Command(ID_DELETE);  // Inbox into the bin
  Press(PhoneKey::Soft2);
  std::shared_ptr<PopupMenu> menu = window.MainMenu();
  EXPECT_EQ(menu->Find(ID_RECYCLE_BIN)->text, u"Delete Recycle Bin");
  screen().CloseMenu();
  // A bin that holds messages goes only after the question of emptying it.
  QString question;
  AnswerBox(PhoneKey::Soft2, &question);
  window.Command(ID_RECYCLE_BIN);
  EXPECT_EQ(question, "Do you want to empty the Recycle Bin?");
  EXPECT_EQ(TopLevel(), (std::vector<std::string>{"Notes", "Recycle Bin"})) << "Cancel kept it";
  AnswerBox(PhoneKey::Soft1);
  window.Command(ID_RECYCLE_BIN);
  EXPECT_EQ(TopLevel(), (std::vector<std::string>{"Notes"}));
  EXPECT_EQ(UnreadCounter::Peek(device()), 0u);
  Press(PhoneKey::Soft2);
  EXPECT_EQ(menu->Find(ID_RECYCLE_BIN)->text, u"Add Recycle Bin");
  screen().CloseMenu();
  // An empty bin goes without a question.
  window.Command(ID_RECYCLE_BIN);
  window.Command(ID_RECYCLE_BIN);
  EXPECT_EQ(screen().OpenMessageBox(), nullptr);
  EXPECT_EQ(TopLevel(), (std::vector<std::string>{"Notes"}));
}

TEST_F(MainWindowTreeTest, HoldingActionOpensTheNodeMenuWithTheRulesOfTheSelection) {
  MainWindow& window = StartWithDocument();
  Press(PhoneKey::Down);
  Press(PhoneKey::Down);
  ASSERT_EQ(Selected(), "Recycle Bin");
  screen().HoldKey(PhoneKey::Action);
  testing::Drain();
  const MenuNavigator* menu = screen().OpenMenu();
  ASSERT_NE(menu, nullptr);
  PopupMenu& shown = *menu->Levels().front().menu;
  EXPECT_EQ(shown.Title(), u"TreeNode");
  EXPECT_FALSE(shown.Find(ID_DELETE)->enabled) << "the recycle bin is not deleted this way";
  EXPECT_TRUE(shown.Find(ID_EMPTY_FOLDER)->enabled);
  (void)window;
}

TEST_F(MainWindowTreeTest, PreviewShowsTheLevelGoesIntoFoldersAndDeletesARow) {
  MainWindow& window = StartWithDocument();
  std::vector<std::vector<std::string>> seen;
  auto record = [&] {
    auto* preview = dynamic_cast<PreviewWindow*>(screen().TopWindow());
    std::vector<std::string> rows;
    for (const PreviewWindow::Row& row : preview->Rows()) {
      rows.push_back(row.title.toStdString() + "|" + row.detail.toStdString() + "|" +
                     std::to_string(row.image));
    }
    seen.push_back(rows);
  };
  auto press = [&](PhoneKey key) {
    screen().PressKey(key);
    screen().ReleaseKey(key);
  };
  testing::WhenReady([&] { return dynamic_cast<PreviewWindow*>(screen().TopWindow()) != nullptr; }, [&] {
    record();
    press(PhoneKey::Action);  // into the Inbox
    record();
    press(PhoneKey::Down);
    press(PhoneKey::Down);
    CloseViewWhenItOpens();
    press(PhoneKey::Action);  // i1 is read, in the message view
    record();
    screen().TopWindow()->Command(ID_DELETE);  // the row menu's Delete
    record();
    press(PhoneKey::Back);  // up to the top, on the Inbox
    record();
    press(PhoneKey::Soft1);
  });
  window.Command(ID_PREVIEW);
  ASSERT_EQ(seen.size(), 5u);
  EXPECT_EQ(seen[0], (std::vector<std::string>{"Inbox|Unread:2|1", "Notes|Unread:0|1", "Recycle Bin|Unread:0|4"}));
  EXPECT_EQ(seen[1], (std::vector<std::string>{"..||6", "Work|Unread:1|1", "i1|hello there|3"}));
  EXPECT_EQ(seen[2].back(), "i1|hello there|2");
  EXPECT_EQ(UnreadCounter::Peek(device()), 1u);
  EXPECT_EQ(seen[3], (std::vector<std::string>{"..||6", "Work|Unread:1|1"}));
  EXPECT_EQ(seen[4].front(), "Inbox|Unread:1|1");
  EXPECT_EQ(window.Document().RecycleBin()->ChildCount(), 1u);
}

}  // namespace
// A title wider than the 240-pixel screen scrolls sideways while its row is selected, in the tree
// and in Preview, so its end (the time of a "Contact Time" title) can be read; a title that fits
// stays put.
TEST_F(MainWindowTreeTest, ASelectedTitleWiderThanItsRowScrollsSideways) {
  const std::u16string longTitle = u"Annabelle Featherstonehaugh 12/9/2026 10:31:05 PM";
  WriteLastDocument(kDocument, [&](OpenDocument& doc) {
    CodePage page;
    for (const std::u16string& label : {std::u16string(u"short"), longTitle}) {
      NodeData data;
      data.offset = AppendMessageRecord(doc.Store(), page, u"5550100", CurrentOleDate(), u"text");
      doc.Tree().InsertLastChild(doc.Tree().Root(), label, kImageRead, data);
    }
    doc.Store().SetTreeChanged();
  });
  MainWindow& window = Start();
  ASSERT_EQ(Selected(), "short");
  testing::RunUntil([] { return false; }, 2 * TitleScroll::kHoldMs);
  EXPECT_EQ(window.RowDelegate()->CurrentOffset(), 0) << "a title that fits";
  Press(PhoneKey::Down);
  ASSERT_EQ(Selected(), ToUtf8(longTitle));
  EXPECT_EQ(window.RowDelegate()->CurrentOffset(), 0) << "a new row starts at its beginning";
  EXPECT_TRUE(testing::RunUntil([&] { return window.RowDelegate()->CurrentOffset() > 20; }, 4000));

  int previewOffset = -1;
  testing::WhenReady([&] { return dynamic_cast<PreviewWindow*>(screen().TopWindow()) != nullptr; }, [&] {
    auto* preview = dynamic_cast<PreviewWindow*>(screen().TopWindow());
    testing::RunUntil([&] { return preview->SelectedTitleOffset() > 20; }, 4000);
    previewOffset = preview->SelectedTitleOffset();
    screen().PressKey(PhoneKey::Soft1);
    screen().ReleaseKey(PhoneKey::Soft1);
  });
  window.Command(ID_PREVIEW);
  EXPECT_GT(previewOffset, 20);
}

// The document is moved away behind the program's back, so no save can reach it, until it is
// put back.
class SaveFailureTest : public MainWindowTreeTest {
 protected:
  std::filesystem::path DocumentFile() { return device().FsRoot() / "My Documents" / "sms.kvt"; }
  std::filesystem::path Away() { return device().FsRoot() / "away.kvt"; }
  void MoveTheDocumentAway() { std::filesystem::rename(DocumentFile(), Away()); }
  void PutTheDocumentBack() { std::filesystem::rename(Away(), DocumentFile()); }
  // Marks i1 read: a change only the open tree holds.
  void ReadI1() {
    for (PhoneKey key : {PhoneKey::Right, PhoneKey::Down, PhoneKey::Down}) Press(key);
    ASSERT_EQ(Selected(), "i1");
    CloseViewWhenItOpens();
    Press(PhoneKey::Action);
  }
  // i1's picture in the file, as the next reader finds it.
  int SavedImageOfI1() {
    PosixStoreFileSystem files(PosixStoreFileSystem::DevicePaths(device()));
    InMemoryIndexOffsetMemory offsets;
    CodePage page;
    MessageStore store(files, offsets, page);
    FolderTree tree;
    if (!store.Open(kDocument, StoreAccess::kRead) || !store.LoadIndex(tree)) return -1;
    int image = -1;
    tree.Walk([&](const TreeNode& node, int) {
      if (node.Label() == u"i1") image = node.Image();
    });
    return image;
  }
};

TEST_F(SaveFailureTest, CloseThatCannotSaveSaysSoAndKeepsTheDocumentOpen) {
  MainWindow& window = StartWithDocument();
  ReadI1();
  MoveTheDocumentAway();
  QString said;
  AnswerBox(PhoneKey::Soft1, &said);
  window.Command(ID_CLOSE);
  EXPECT_TRUE(said.startsWith("The document could not be saved, so it stays open.")) << said.toStdString();
  ASSERT_TRUE(window.Document().IsOpen());
  EXPECT_FALSE(window.TreeView()->isHidden());
  EXPECT_EQ(window.StatusText(), "Saving failed");

  PutTheDocumentBack();
  window.Command(ID_CLOSE);
  EXPECT_FALSE(window.Document().IsOpen());
  EXPECT_EQ(screen().OpenMessageBox(), nullptr);
  EXPECT_EQ(SavedImageOfI1(), kImageRead) << "the change kept open reached the file";
}

TEST_F(SaveFailureTest, OpeningAnotherDocumentWaitsForTheOpenOneToBeSaved) {
  MainWindow& window = StartWithDocument();
  ReadI1();
  MoveTheDocumentAway();
  std::filesystem::copy_file(Away(), device().FsRoot() / "My Documents" / "other.kvt");
  AnswerBox(PhoneKey::Soft1);
  EXPECT_FALSE(window.OpenPath(u"\\My Documents\\other.kvt"));
  EXPECT_EQ(window.Document().Path(), kDocument);
  EXPECT_EQ(window.Selection()->Image(), kImageRead);
}

TEST_F(SaveFailureTest, ExitThatCannotSaveStaysUntilTheUserChoosesExitAgain) {
  MainWindow& window = StartWithDocument();
  ReadI1();
  MoveTheDocumentAway();
  QString said;
  AnswerBox(PhoneKey::Soft1, &said);
  window.Command(ID_EXIT);
  testing::RunUntil([&] { return !said.isEmpty(); }, 3000);
  EXPECT_TRUE(said.contains("Choose Exit again to leave without saving")) << said.toStdString();
  EXPECT_FALSE(window.Destroyed());
  ASSERT_TRUE(window.Document().IsOpen());

  window.Command(ID_EXIT);
  EXPECT_TRUE(testing::RunUntil([&] { return window.Destroyed(); }, 3000));
  EXPECT_FALSE(window.Document().IsOpen());
  PutTheDocumentBack();
  EXPECT_NE(SavedImageOfI1(), -1) << "the document still opens";
}

TEST_F(SaveFailureTest, TheSystemEndingTheProgramDoesNotWaitForTheUser) {
  MainWindow& window = StartWithDocument();
  ReadI1();
  MoveTheDocumentAway();
  window.SendMessage(WM_CLOSE, kCloseFromSystem, 0);
  EXPECT_TRUE(window.Destroyed());
  EXPECT_EQ(screen().OpenMessageBox(), nullptr);
}

TEST_F(SaveFailureTest, TheAutomaticSaveSaysOnceThatItFailsAndAgainAfterASuccess) {
  MainWindow& window = StartWithDocument();
  ReadI1();
  MoveTheDocumentAway();
  QString said;
  AnswerBox(PhoneKey::Soft1, &said);
  window.SendMessage(WM_TIMER, kAutoSaveTimer, 0);
  ASSERT_TRUE(testing::RunUntil([&] { return !said.isEmpty(); }, 3000));
  EXPECT_TRUE(said.startsWith("The document could not be saved automatically")) << said.toStdString();
  EXPECT_EQ(window.StatusText(), "Saving failed");

  window.SendMessage(WM_TIMER, kAutoSaveTimer, 0);
  testing::RunUntil([] { return false; }, 200);
  EXPECT_EQ(screen().OpenMessageBox(), nullptr) << "the same failure is said once";

  PutTheDocumentBack();
  window.SendMessage(WM_TIMER, kAutoSaveTimer, 0);
  EXPECT_EQ(window.StatusText(), "File: \\My Documents\\sms.kvt");
  EXPECT_EQ(SavedImageOfI1(), kImageRead) << "the next automatic save wrote what the failed one could not";
  window.Document().Store().SetTreeChanged();
  MoveTheDocumentAway();
  said.clear();
  AnswerBox(PhoneKey::Soft1, &said);
  window.SendMessage(WM_TIMER, kAutoSaveTimer, 0);
  EXPECT_TRUE(testing::RunUntil([&] { return !said.isEmpty(); }, 3000)) << "a new failure is said again";
}

}  // namespace brevalo
