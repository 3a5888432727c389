// The main window receiving: the rule client's side of the channel hands messages over from a
// thread of its own, as the messaging service does, and the window files, shows, publishes and
// saves them.
#include <QTreeView>

#include <atomic>
#include <future>
#include <thread>

#include <gtest/gtest.h>

#include "app/folder_tree_model.h"
#include "app/main_commands.h"
#include "app/main_window.h"
#include "app/main_window_test_support.h"
#include "app/preview_window.h"
#include "channel/channel_writer.h"
#include "channel/unread_counter.h"
#include "filter/filter_engine.h"
#include "settings/program_folder.h"
#include "store/store_file.h"
#include "ui/ui_test_support.h"

namespace brevalo {
namespace {

constexpr std::u16string_view kDocument = u"\\My Documents\\sms.kvt";

class MainWindowIntakeTest : public testing::MainWindowFixture {
 protected:
  // An empty document (no folder at all) as the last open file, and rules that file strangers
  // into "\Inbox" and take them out of the phone's inbox.
  void Prepare() {
    WriteLastDocument(kDocument, [](OpenDocument&) {});
    std::filesystem::create_directories(*device().HostPath(ProgramFolder()));
    FilterEngine rules(*device().HostPath(ProgramFolder() + std::u16string(RulesFileName)));
    rules.LoadRules();
    rules.StrangerDefault().SetAction(ACTION_HIDE_IN_INBOX);
    ASSERT_TRUE(rules.SaveRules());
  }
  // The library's hand-over from its own thread; the window's thread runs meanwhile.
  ChannelWriter::HandOverResult HandOver(std::u16string_view body) {
    auto library = ChannelWriter::Open(device());
    EXPECT_NE(library, nullptr);
    std::atomic<bool> done{false};
    ChannelWriter::HandOverResult result;
    std::thread service([&] {
      result = library->HandOver(body, u"5550100", GetSystemTimeAsFileTime());
      done = true;
    });
    testing::RunUntil([&] { return done.load(); }, 5000);
    service.join();
    return result;
  }
  // The labels under "\Inbox" in the saved file, read as a second reader would.
  std::vector<std::u16string> SavedInbox() {
    PosixStoreFileSystem files(PosixStoreFileSystem::DevicePaths(device()));
    InMemoryIndexOffsetMemory offsets;
    CodePage page;
    MessageStore store(files, offsets, page);
    FolderTree tree;
    std::vector<std::u16string> labels;
    if (!store.Open(kDocument, StoreAccess::kRead) || !store.LoadIndex(tree) || tree.Root().ChildCount() == 0) {
      return labels;
    }
    const TreeNode& inbox = *tree.Root().Child(0);
    for (size_t row = 0; row < inbox.ChildCount(); ++row) labels.push_back(inbox.Child(row)->Label());
    return labels;
  }
};

TEST_F(MainWindowIntakeTest, AMessageOnlyTheDocumentHoldsIsShownCountedAndOnDiskBeforeTheAnswer) {
  Prepare();
  SetSetting(u"ReceiveTitle", 0);
  MainWindow& window = Start();
  ASSERT_TRUE(window.IntakeRunning());

  ChannelWriter::HandOverResult result = HandOver(u"hello");
  EXPECT_TRUE(result.stored);
  EXPECT_TRUE(result.programRunning);
  EXPECT_TRUE(result.deleteAnswered) << "Don't Show in Inbox answers within the library's second";
  EXPECT_TRUE(window.NewMessageIndication()) << "the stranger default's Unread Alert";
  EXPECT_EQ(UnreadCounter::Peek(device()), 1u);
  QModelIndex inbox = window.TreeModel()->index(0, 0);
  EXPECT_EQ(window.TreeModel()->data(inbox).toString(), "Inbox");
  EXPECT_EQ(window.TreeModel()->rowCount(inbox), 1);

  // The library's answer came only once the message was on disk: a second reader finds it now,
  // from the journal, and the document did not write its whole index for it.
  const auto documentSize = [&] { return std::filesystem::file_size(*device().HostPath(kDocument)); };
  EXPECT_EQ(SavedInbox(), std::vector<std::u16string>({u"hello"}));
  const auto before = documentSize();
  HandOver(u"again");
  EXPECT_EQ(SavedInbox(), std::vector<std::u16string>({u"again", u"hello"}));
  EXPECT_LT(documentSize() - before, 1024u) << "one record and its body, no index";
}

TEST_F(MainWindowIntakeTest, AMessageArrivingWhileTheProgramClosesStaysWithThePhone) {
  Prepare();
  MainWindow& window = Start();
  ASSERT_TRUE(window.IntakeRunning());
  window.SendMessage(WM_CLOSE, 0, 0);  // the document is closed and saved

  auto library = ChannelWriter::Open(device());
  ChannelWriter::HandOverResult result = HandOver(u"late");
  EXPECT_TRUE(result.programRunning) << "the intake ends only with the teardown";
  EXPECT_FALSE(result.deleteAnswered) << "with no document to file it in, the phone keeps it";
  EXPECT_EQ(library->Buffer()->count, 1u) << "and the channel too, for the next start";
  window.Teardown();
  EXPECT_FALSE(window.IntakeRunning());
  EXPECT_FALSE(library->ProgramRunning());
}

TEST_F(MainWindowIntakeTest, AMessageDuringADocumentOperationWaitsForItsEndInTheChannel) {
  Prepare();
  SetSetting(u"ReceiveTitle", 0);
  MainWindow& window = Start();
  auto library = ChannelWriter::Open(device());
  // The window thread is inside an operation on the document, as Compress is while it asks.
  window.Document().Lock().Lock();
  ChannelWriter::HandOverResult result = HandOver(u"meanwhile");
  EXPECT_FALSE(result.deleteAnswered) << "the library's second passed; the phone keeps its copy";
  EXPECT_EQ(library->Buffer()->count, 1u);
  EXPECT_EQ(window.TreeModel()->rowCount(), 0);
  testing::RunUntil([] { return false; }, 400);
  EXPECT_EQ(library->Buffer()->count, 1u) << "still locked: handed over again, still not taken";

  window.Document().Lock().Unlock();
  EXPECT_TRUE(testing::RunUntil([&] { return library->Buffer()->count == 0; }, 2000));
  ASSERT_EQ(window.TreeModel()->rowCount(), 1);
  EXPECT_EQ(window.TreeModel()->rowCount(window.TreeModel()->index(0, 0)), 1) << "filed once the operation ended";
}

TEST_F(MainWindowIntakeTest, AMessageArrivingWhileTheDeleteQuestionIsOpenIsFiledAfterTheAnswer) {
  Prepare();
  WriteLastDocument(kDocument, [](OpenDocument& doc) { doc.FindOrCreateFolder(u"\\Inbox"); });
  SetSetting(u"ReceiveTitle", 0);
  SetSetting(u"DeleteAlert", 1);
  MainWindow& window = Start();
  auto library = ChannelWriter::Open(device());
  ASSERT_EQ(window.Selection()->Label(), u"Inbox");
  TreeNode* questioned = window.Selection();

  bool filedDuringTheQuestion = true;
  testing::WhenReady([this] { return screen().OpenMessageBox() != nullptr; }, [&] {
    // The library hands the message over while the user reads the question.
    std::atomic<bool> done{false};
    std::thread service([&] {
      library->HandOver(u"meanwhile", u"5550100", GetSystemTimeAsFileTime());
      done = true;
    });
    testing::RunUntil([&] { return done.load(); }, 5000);
    service.join();
    testing::RunUntil([] { return false; }, 400);
    filedDuringTheQuestion = questioned->ChildCount() != 0;
    screen().PressKey(PhoneKey::Soft1);
    screen().ReleaseKey(PhoneKey::Soft1);
  });
  window.Command(ID_DELETE);
  EXPECT_FALSE(filedDuringTheQuestion) << "filed into the folder the answer then deleted";
  ASSERT_TRUE(testing::RunUntil([&] { return library->Buffer()->count == 0; }, 2000));
  ASSERT_EQ(window.TreeModel()->rowCount(), 1) << "filing made the Inbox again";
  QModelIndex inbox = window.TreeModel()->index(0, 0);
  EXPECT_EQ(window.TreeModel()->data(inbox).toString(), "Inbox");
  ASSERT_EQ(window.TreeModel()->rowCount(inbox), 1);
  EXPECT_EQ(window.TreeModel()->data(window.TreeModel()->index(0, 0, inbox)).toString(), "meanwhile");
}

TEST_F(MainWindowIntakeTest, AnOpenPreviewListsAMessageFiledIntoTheFolderItShows) {
  WriteLastDocument(kDocument, [](OpenDocument& doc) { doc.FindOrCreateFolder(u"\\Inbox"); });
  SetSetting(u"ReceiveTitle", 0);
  MainWindow& window = Start();
  std::vector<std::string> before;
  std::vector<std::string> after;
  auto rows = [&] {
    std::vector<std::string> shown;
    auto* preview = dynamic_cast<PreviewWindow*>(screen().TopWindow());
    for (const PreviewWindow::Row& row : preview->Rows()) shown.push_back(row.title.toStdString() + "|" + row.detail.toStdString());
    return shown;
  };
  testing::WhenReady([&] { return dynamic_cast<PreviewWindow*>(screen().TopWindow()) != nullptr; }, [&] {
    screen().PressKey(PhoneKey::Action);  // into the Inbox
    screen().ReleaseKey(PhoneKey::Action);
    before = rows();
    HandOver(u"fresh news");
    after = rows();
    screen().PressKey(PhoneKey::Back);  // up to the top
    screen().ReleaseKey(PhoneKey::Back);
    before.push_back(rows().front());
    screen().PressKey(PhoneKey::Soft1);
    screen().ReleaseKey(PhoneKey::Soft1);
  });
  window.Command(ID_PREVIEW);
  EXPECT_EQ(before, (std::vector<std::string>{"..|", "Inbox|Unread:1"}));
  EXPECT_EQ(after, (std::vector<std::string>{"..|", "fresh news|fresh news"}));
}

}  // namespace
}  // namespace brevalo
