#include "store/folder_tree.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "device/code_page.h"

namespace brevalo {
namespace {

// "depth:label" for every node in pre-order.
std::vector<std::string> Shape(const FolderTree& tree) {
  std::vector<std::string> shape;
  tree.Walk([&](const TreeNode& node, int depth) {
    shape.push_back(std::to_string(depth) + ":" + ToUtf8(node.Label()));
  });
  return shape;
}

class RecordingObserver : public TreeObserver {
 public:
  void AboutToInsert(TreeNode& parent, size_t row) override {
    events.push_back("+?" + ToUtf8(parent.Label()) + "@" + std::to_string(row));
  }
  void Inserted(TreeNode& node) override { events.push_back("+" + ToUtf8(node.Label())); }
  void AboutToRemove(TreeNode& node) override { events.push_back("-?" + ToUtf8(node.Label())); }
  void Removed(TreeNode& parent, size_t row) override {
    events.push_back("-" + ToUtf8(parent.Label()) + "@" + std::to_string(row));
  }
  void Changed(TreeNode& node) override { events.push_back("~" + ToUtf8(node.Label())); }
  void AboutToReset() override { events.push_back("reset?"); }
  void Reset() override { events.push_back("reset"); }
  std::vector<std::string> events;
};

class FolderTreeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    inbox = &tree.InsertLastChild(tree.Root(), u"Inbox", 1, {});
    tree.InsertLastChild(*inbox, u"b", 3, {200, 0, 0});
    tree.InsertFirstChild(*inbox, u"a", 2, {100, 0, 0});
    work = &tree.InsertLastChild(*inbox, u"Work", 1, {});
    tree.InsertLastChild(*work, u"c", 2, {300, 0, 0});
    tree.InsertLastChild(tree.Root(), u"Sent", 1, {});
  }
  FolderTree tree;
  TreeNode* inbox = nullptr;
  TreeNode* work = nullptr;
};

TEST_F(FolderTreeTest, InsertsInPlaceAndWalksInPreOrder) {
  EXPECT_EQ(Shape(tree),
            (std::vector<std::string>{"0:Inbox", "1:a", "1:b", "1:Work", "2:c", "0:Sent"}));
  EXPECT_EQ(tree.Count(), 6u);
  EXPECT_EQ(work->Row(), 2u);
  EXPECT_EQ(work->Depth(), 1);
  EXPECT_EQ(work->Parent(), inbox);
  EXPECT_EQ(inbox->Parent(), &tree.Root());
}

TEST_F(FolderTreeTest, RemoveReportsChildrenBeforeParentAndKeepsTheCount) {
  RecordingObserver observer;
  tree.SetObserver(&observer);
  std::vector<std::string> deleted;
  tree.Remove(*work, [&](TreeNode& node) { deleted.push_back(ToUtf8(node.Label())); });
  EXPECT_EQ(deleted, (std::vector<std::string>{"c", "Work"}));
  EXPECT_EQ(observer.events, (std::vector<std::string>{"-?Work", "-Inbox@2"}));
  EXPECT_EQ(tree.Count(), 4u);
  EXPECT_EQ(Shape(tree), (std::vector<std::string>{"0:Inbox", "1:a", "1:b", "0:Sent"}));
  tree.Remove(tree.Root());  // the invisible root stays
  EXPECT_EQ(tree.Count(), 4u);
  tree.SetObserver(nullptr);
}

TEST_F(FolderTreeTest, CopySubtreeSharesRecordsAndMayLandInsideItself) {
  RecordingObserver observer;
  tree.SetObserver(&observer);
  TreeNode& copy = tree.CopySubtree(*inbox, *work);
  EXPECT_EQ(observer.events, (std::vector<std::string>{"+?Work@1", "+Inbox"}));
  EXPECT_EQ(tree.Count(), 11u);
  EXPECT_EQ(Shape(tree),
            (std::vector<std::string>{"0:Inbox", "1:a", "1:b", "1:Work", "2:c", "2:Inbox", "3:a",
                                      "3:b", "3:Work", "4:c", "0:Sent"}));
  EXPECT_EQ(copy.Child(0)->Data().offset, 100u);
  EXPECT_EQ(copy.Child(2)->Child(0)->Data().offset, 300u);
  EXPECT_EQ(copy.Child(2)->Child(0)->Parent(), copy.Child(2));
  tree.SetObserver(nullptr);
}

TEST_F(FolderTreeTest, ChangesAndResetsAreObserved) {
  RecordingObserver observer;
  tree.SetObserver(&observer);
  tree.SetLabel(*work, u"Office");
  tree.SetImage(*work, 3);
  tree.SetBold(*work, true);
  tree.SetData(*work, {7, 2, 1});
  EXPECT_EQ(work->Label(), u"Office");
  EXPECT_EQ(work->Image(), 3);
  EXPECT_TRUE(work->Bold());
  EXPECT_EQ(work->Data(), (NodeData{7, 2, 1}));
  tree.Clear();
  EXPECT_TRUE(tree.Empty());
  EXPECT_EQ(tree.Count(), 0u);
  EXPECT_EQ(observer.events, (std::vector<std::string>{"~Office", "~Office", "~Office", "~Office",
                                                       "reset?", "reset"}));
  tree.SetObserver(nullptr);
}

TEST(FolderTreeDepthTest, DeepChainsWalkCopyAndDieWithoutRecursion) {
  FolderTree tree;
  TreeNode* node = &tree.Root();
  constexpr int kDepth = 100000;
  for (int i = 0; i < kDepth; ++i) node = &tree.InsertLastChild(*node, u"x", 1, {});
  int deepest = 0;
  tree.Walk([&](const TreeNode&, int depth) { deepest = std::max(deepest, depth); });
  EXPECT_EQ(deepest, kDepth - 1);
  tree.CopySubtree(*tree.Root().Child(0), tree.Root());
  EXPECT_EQ(tree.Count(), 2u * kDepth);
  tree.Remove(*tree.Root().Child(1));
  EXPECT_EQ(tree.Count(), static_cast<size_t>(kDepth));
}

}  // namespace
}  // namespace brevalo
