// A document whose newest index was damaged: the tree falls back to the older index, and the
// messages filed after that one are found in the file and brought back.
#include <gtest/gtest.h>

#include "store/lost_messages.h"
#include "store/message_recovery.h"
#include "store/store_test_support.h"

namespace brevalo {
namespace {

using testing::Bytes;
using testing::ParseRawHeader;

class LostMessagesTest : public testing::StoreTest {
 protected:
  // Inbox { old } saved; then a folder Work { new 1 } and Inbox { new 2 } saved again, and the
  // newest index is damaged on disk.
  void BuildDocumentWithADamagedNewestIndex() {
    CreateDocument();
    TreeNode& inbox = AddFolder(tree.Root(), u"Inbox");
    AddMessage(inbox, u"old", u"5550100", u"filed before the older index");
    ASSERT_TRUE(store.Save(tree));
    olderIndex_ = ParseRawHeader(FileBytes()).indexOffset;
    TreeNode& work = AddFolder(tree.Root(), u"Work");
    AddMessage(work, u"new 1", u"5550101", u"the first one filed after it");
    AddMessage(inbox, u"new 2", u"5550102", u"and the second");
    ASSERT_TRUE(store.Save(tree));
    store.Close();
    damagedIndex_ = ParseRawHeader(FileBytes()).indexOffset;
    Damage(damagedIndex_ + 12);  // its text size now runs past the end of the file
  }
  void Damage(uint32_t at) {
    Bytes bytes = FileBytes();
    bytes[at + 3] = 0x7f;
    files.Put(kPath, bytes);
  }
  void OpenAgain() {
    ASSERT_TRUE(store.Open(kPath));
    ASSERT_TRUE(store.LoadIndex(tree));
  }
  std::vector<std::u16string> Texts(const std::vector<uint32_t>& offsets) {
    std::vector<std::u16string> texts;
    for (uint32_t offset : offsets) {
      EXPECT_TRUE(store.ReadRecord(offset));
      texts.push_back(store.ReadBodyText().value_or(u"<unreadable>"));
    }
    return texts;
  }
  static std::u16string When(DATE) { return u"today"; }

  uint32_t olderIndex_ = 0;
  uint32_t damagedIndex_ = 0;
};

TEST_F(LostMessagesTest, AFallBackIsReportedWithBothIndexesAndTheMessagesBetweenThem) {
  BuildDocumentWithADamagedNewestIndex();
  OpenAgain();
  ASSERT_TRUE(store.FellBack());
  EXPECT_EQ(store.FellBack()->damaged, damagedIndex_);
  EXPECT_EQ(store.FellBack()->used, olderIndex_);
  EXPECT_EQ(tree.Count(), 2u) << "the older tree: Inbox and old";

  LostMessageScan scan = FindLostMessages(store);
  EXPECT_EQ(scan.stoppedAt, 0u);
  EXPECT_EQ(scan.to, damagedIndex_);
  EXPECT_EQ(Texts(scan.messages), (std::vector<std::u16string>{
                                      u"the first one filed after it", u"and the second"}))
      << "the Work folder's record is no message";
}

TEST_F(LostMessagesTest, RecoveryFilesThemUnreadIntoAFolderOnceAndSurvivesASave) {
  BuildDocumentWithADamagedNewestIndex();
  OpenAgain();
  LostMessageScan scan = FindLostMessages(store);
  RecoveryResult first = RecoverLostMessages(store, scan, store, tree, u"\\Recovered", codePage, When);
  EXPECT_TRUE(first.written);
  EXPECT_EQ(first.copied, 2u);
  RecoveryResult again = RecoverLostMessages(store, scan, store, tree, u"\\Recovered", codePage, When);
  EXPECT_EQ(again.copied, 0u);
  EXPECT_EQ(again.alreadyThere, 2u);
  ASSERT_TRUE(store.Save(tree));
  store.Close();

  std::vector<testing::NodeView> shown = Reopen();
  ASSERT_EQ(shown.size(), 5u);
  EXPECT_EQ(shown[0].label, u"Recovered") << "first, where the user sees it";
  EXPECT_EQ(shown[1].text, u"the first one filed after it");
  EXPECT_EQ(shown[1].image, kImageUnread);
  EXPECT_EQ(shown[1].label, u"5550101 the first one filed ");
  EXPECT_EQ(shown[2].text, u"and the second");
}

TEST_F(LostMessagesTest, RecoveryIntoAnotherDocumentLeavesTheDamagedOneAsItIs) {
  BuildDocumentWithADamagedNewestIndex();
  const Bytes damaged = FileBytes();
  OpenAgain();
  MessageStore target(files, offsets, codePage);
  FolderTree targetTree;
  ASSERT_TRUE(target.Create(u"\\other.kvt", StoreHeader{}));
  RecoveryResult result =
      RecoverLostMessages(store, FindLostMessages(store), target, targetTree, u"\\Recovered", codePage, When);
  EXPECT_EQ(result.copied, 2u);
  ASSERT_TRUE(target.Save(targetTree));
  target.Close();
  store.Close();
  EXPECT_EQ(FileBytes(), damaged);
  std::vector<testing::NodeView> shown = Reopen(u"\\other.kvt");
  ASSERT_EQ(shown.size(), 3u);
  EXPECT_EQ(shown[2].text, u"and the second");
}

TEST_F(LostMessagesTest, TheWalkStopsAtBytesThatAreNeitherRecordNorIndex) {
  BuildDocumentWithADamagedNewestIndex();
  OpenAgain();
  LostMessageScan whole = FindLostMessages(store);
  ASSERT_EQ(whole.messages.size(), 2u);
  store.Close();
  // The second message's record is damaged: the walk cannot know where anything behind it starts.
  Damage(whole.messages[1]);
  OpenAgain();
  LostMessageScan cut = FindLostMessages(store);
  EXPECT_EQ(cut.messages, std::vector<uint32_t>{whole.messages[0]});
  EXPECT_EQ(cut.stoppedAt, whole.messages[1]);
}

TEST_F(LostMessagesTest, NothingIsLostWithoutAFallBack) {
  BuildDocumentWithADamagedNewestIndex();
  offsets.Forget(kPath);
  ASSERT_TRUE(store.Open(kPath));
  EXPECT_FALSE(store.LoadIndex(tree)) << "no older index remembered";
  EXPECT_FALSE(store.FellBack());
  EXPECT_TRUE(FindLostMessages(store).messages.empty());
}

}  // namespace
}  // namespace brevalo
