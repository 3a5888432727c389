#include "app/node_protection.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/open_document_test_support.h"
#include "store/store_test_support.h"

namespace brevalo {
namespace {

using testing::Find;

class NodeProtectionTest : public testing::StoreTest {
 protected:
  // Inbox { Work (password "boss") { w1 }, i1 (password "mine") }, Recycle Bin.
  void SetUp() override {
    CreateDocument();
    TreeNode& inbox = AddFolder(tree.Root(), u"Inbox");
    TreeNode& work = AddFolder(inbox, u"Work");
    AddMessage(work, u"w1", u"5550101", u"at work");
    AddMessage(inbox, u"i1", u"5550103", u"mine only");
    AddBin();
    SetPassword(work, u"boss");
    SetPassword(*Find(tree, u"i1"), u"mine");
    ASSERT_TRUE(store.Save(tree));
    store.Close();
    ASSERT_EQ(doc.Open(kPath), OpenOutcome::kOpened);
  }
  void SetPassword(TreeNode& node, std::u16string_view password) {
    ASSERT_TRUE(store.ReadRecord(node.Data().offset));
    store.SetRecordPassword(password);
    ASSERT_NE(store.RewriteRecord(node.Data().offset), 0u);
  }
  TreeNode& Node(std::u16string_view label) { return *Find(doc.Tree(), label); }

  // The fake dialog: answers with `give` and records what it was asked for.
  PasswordAsk Ask(bool give) {
    return [this, give](std::u16string_view password) {
      asked.emplace_back(password);
      return give;
    };
  }
  bool Open(std::u16string_view label, int32_t level, bool give = true) {
    return protection.MayOpen(Node(label), level, Ask(give));
  }

  OpenDocument doc{files, offsets, codePage};
  NodeProtection protection{doc};
  std::vector<std::u16string> asked;
};

TEST_F(NodeProtectionTest, NodesWithoutAPasswordAndTheRecycleBinNeverAsk) {
  for (int32_t level : {0, 1, 2, 7}) {
    EXPECT_TRUE(Open(u"Inbox", level, false));
    EXPECT_TRUE(protection.MayOpen(*doc.RecycleBin(), level, Ask(false)));
  }
  EXPECT_TRUE(asked.empty());
}

TEST_F(NodeProtectionTest, ACancelRefusesAndLeavesTheNodeLocked) {
  EXPECT_FALSE(Open(u"Work", kProtectOnlyOnce, false));
  EXPECT_EQ(asked, std::vector<std::u16string>{u"boss"});
  EXPECT_EQ(Node(u"Work").Data().unlock, kUnlockNever);
  EXPECT_FALSE(Open(u"Work", kProtectOnlyOnce, false)) << "asked again";
  EXPECT_EQ(asked.size(), 2u);
}

TEST_F(NodeProtectionTest, OnlyOnceHoldsUntilTheDocumentIsOpenedAgain) {
  EXPECT_TRUE(Open(u"Work", kProtectOnlyOnce));
  EXPECT_EQ(Node(u"Work").Data().unlock, 1) << "the hide count at the start";
  protection.Hide(kProtectOnlyOnce);
  protection.Hide(kProtectOnlyOnce);
  EXPECT_TRUE(Open(u"Work", kProtectOnlyOnce, false));
  EXPECT_EQ(asked.size(), 1u);

  ASSERT_TRUE(doc.Close());
  ASSERT_EQ(doc.Open(kPath), OpenOutcome::kOpened);
  EXPECT_FALSE(Open(u"Work", kProtectOnlyOnce, false)) << "stamps are not stored";
  EXPECT_EQ(asked.size(), 2u);
}

TEST_F(NodeProtectionTest, AfterMinimizeHoldsUntilTheNextHide) {
  EXPECT_TRUE(Open(u"i1", kProtectAfterMinimize));
  EXPECT_TRUE(Open(u"i1", kProtectAfterMinimize, false)) << "not hidden since";
  EXPECT_EQ(asked.size(), 1u);
  protection.Hide(kProtectAfterMinimize);
  EXPECT_FALSE(Open(u"i1", kProtectAfterMinimize, false));
  EXPECT_TRUE(Open(u"i1", kProtectAfterMinimize));
  EXPECT_EQ(Node(u"i1").Data().unlock, 2);
  EXPECT_EQ(asked.size(), 3u);
}

TEST_F(NodeProtectionTest, EveryTimeAndUnknownLevelsAskAtEveryAccess) {
  for (int32_t level : {int32_t{kProtectEveryTime}, 3, -1}) {
    asked.clear();
    EXPECT_TRUE(Open(u"Work", level));
    EXPECT_TRUE(Open(u"Work", level));
    EXPECT_EQ(asked.size(), 2u) << level;
  }
}

TEST_F(NodeProtectionTest, PasswordSetThroughTheCommandStampsTheNodeAndAnEmptyOneUnstamps) {
  TreeNode& inbox = Node(u"Inbox");
  ASSERT_TRUE(protection.SetNodePassword(inbox, u"new", true));
  EXPECT_EQ(inbox.Data().unlock, kUnlockJustSet);
  EXPECT_EQ(protection.NodePassword(inbox), u"new");
  // Under Only Once a password just set opens without a prompt; under level 1 it asks.
  EXPECT_TRUE(Open(u"Inbox", kProtectOnlyOnce, false));
  EXPECT_FALSE(Open(u"Inbox", kProtectAfterMinimize, false));

  ASSERT_TRUE(protection.SetNodePassword(inbox, u"", true));
  EXPECT_EQ(inbox.Data().unlock, kUnlockNever);
  EXPECT_EQ(protection.NodePassword(inbox), u"");

  // The Node Property way leaves the stamp as it is.
  ASSERT_TRUE(protection.SetNodePassword(inbox, u"again", false));
  EXPECT_EQ(inbox.Data().unlock, kUnlockNever);

  // The password is in the file for the next reader.
  ASSERT_TRUE(doc.Close());
  ASSERT_EQ(doc.Open(kPath), OpenOutcome::kOpened);
  EXPECT_EQ(protection.NodePassword(Node(u"Inbox")), u"again");
}

TEST_F(NodeProtectionTest, ARecordThatCannotBeWrittenKeepsTheStamp) {
  TreeNode& work = Node(u"Work");
  ASSERT_TRUE(Open(u"Work", kProtectOnlyOnce));
  files.FailWrite(1, true);
  EXPECT_FALSE(protection.SetNodePassword(work, u"", true));
  EXPECT_EQ(work.Data().unlock, 1);
}

TEST_F(NodeProtectionTest, HidingCollapsesUnlockedFoldersOnlyAboveLevelZeroAndAlwaysCounts) {
  ASSERT_TRUE(Open(u"Work", kProtectAfterMinimize));
  // Inbox has no password, but an unlocked folder below it is what hiding must close.
  EXPECT_TRUE(protection.Hide(kProtectOnlyOnce).empty());
  EXPECT_EQ(protection.HideCount(), 2u);
  ASSERT_TRUE(Open(u"Work", kProtectAfterMinimize));
  ASSERT_TRUE(Open(u"i1", kProtectAfterMinimize));  // unlocked, but it has no children
  std::vector<const TreeNode*> collapse = protection.Hide(kProtectAfterMinimize);
  EXPECT_EQ(collapse, std::vector<const TreeNode*>{&Node(u"Work")});
  EXPECT_EQ(protection.HideCount(), 3u);
}

TEST(ShowAgainTest, AsksOnlyWhenEveryConditionHolds) {
  ShowAgainFacts facts{true, false, true, true, false, true};
  EXPECT_TRUE(ShowAgainAsks(facts));
  facts.askAfterHide = false;
  EXPECT_FALSE(ShowAgainAsks(facts));
  facts.startupDeferral = true;
  EXPECT_TRUE(ShowAgainAsks(facts)) << "the start put the question off";
  for (bool ShowAgainFacts::*off : {&ShowAgainFacts::documentOpen, &ShowAgainFacts::documentHasPassword,
                                    &ShowAgainFacts::askedByUser}) {
    ShowAgainFacts without = facts;
    without.*off = false;
    EXPECT_FALSE(ShowAgainAsks(without));
  }
  facts.passwordDialogOpen = true;
  EXPECT_FALSE(ShowAgainAsks(facts)) << "no second dialog";
}

}  // namespace
}  // namespace brevalo
