#include <gtest/gtest.h>

#include "store/message_store.h"
#include "store/store_test_support.h"

namespace brevalo {
namespace {

using testing::NodeView;

constexpr std::u16string_view kCut = u"cut.kvt";

class CrashTest : public testing::StoreTest {
 protected:
  void SetUp() override {
    files.Put(kPath, {});
    files.File(kPath)->keepHistory = true;
    CreateDocument();
  }

  // What a document of these bytes shows, opened with nothing remembered about it.
  std::vector<NodeView> Recover(std::vector<uint8_t> bytes) {
    files.Put(kCut, std::move(bytes));
    InMemoryIndexOffsetMemory nothing;
    return Reopen(kCut, nothing);
  }

  void SaveAndNote() {
    ASSERT_TRUE(store.Save(tree));
    saved.push_back(View(store, tree));
    savedAt.push_back(files.File(kPath)->HistoryBytes());
  }

  // A crash now, losing every write that was not synced, shows the last saved tree.
  void CrashLosingUnsynced() { EXPECT_EQ(Recover(files.File(kPath)->synced), saved.back()); }

  // Six saves of a tree that grows, is renamed, loses nodes and gains a copy.
  void EditAndSave() {
    TreeNode& inbox = AddFolder(tree.Root(), u"Inbox");
    AddMessage(inbox, u"one", u"1", u"first message");
    SaveAndNote();
    TreeNode& two = AddMessage(inbox, u"two", u"2", u"second message, a little longer");
    CrashLosingUnsynced();
    TreeNode& bin = AddBin();
    SaveAndNote();
    tree.SetLabel(inbox, u"Posteingang");
    TreeNode& folder = AddFolder(inbox, u"Ältere");
    AddMessage(folder, u"three", u"3", u"drittes 💬");
    store.SetTreeChanged();
    SaveAndNote();
    tree.Remove(two);
    tree.SetImage(bin, kImageBinFull);
    store.SetTreeChanged();
    CrashLosingUnsynced();
    SaveAndNote();
    tree.CopySubtree(folder, tree.Root());
    store.SetTreeChanged();
    SaveAndNote();
    CrashLosingUnsynced();
    for (int i = 0; i < 3; ++i) AddMessage(folder, u"more", u"4", u"filed after the last save");
    CrashLosingUnsynced();
    SaveAndNote();
  }

  std::vector<std::vector<NodeView>> saved;
  std::vector<uint64_t> savedAt;  // bytes written when each save was complete
};

TEST_F(CrashTest, EveryCutOpensWithTheNewestTreeWhoseHeaderLanded) {
  EditAndSave();
  ASSERT_EQ(saved.size(), 6u);

  auto history = files.File(kPath);
  uint64_t total = history->HistoryBytes();
  EXPECT_EQ(history->CutAfter(total), history->bytes);
  size_t newest = 0;
  size_t cuts = 0;
  for (uint64_t cut = savedAt[0]; cut <= total; ++cut) {
    while (newest + 1 < savedAt.size() && savedAt[newest + 1] <= cut) ++newest;
    ASSERT_EQ(Recover(history->CutAfter(cut)), saved[newest]) << "cut after " << cut << " bytes";
    ++cuts;
  }
  EXPECT_EQ(newest, saved.size() - 1);
  EXPECT_GT(cuts, 1000u);
}

TEST_F(CrashTest, CutBeforeTheFirstSaveOpensEmpty) {
  AddFolder(tree.Root(), u"never saved");
  auto history = files.File(kPath);
  for (uint64_t cut = 140; cut <= history->HistoryBytes(); ++cut) {
    EXPECT_TRUE(Recover(history->CutAfter(cut)).empty()) << cut;
  }
}

}  // namespace
}  // namespace brevalo
