#include "app/folder_tree_model.h"

#include <QAbstractItemModelTester>
#include <QFont>
#include <QPixmap>

#include <gtest/gtest.h>

#include "app/tree_images.h"
#include "store/store_format.h"
#include "ui/ui_test_support.h"

namespace brevalo {
namespace {

class FolderTreeModelTest : public ::testing::Test {
 protected:
  void SetUp() override { testing::EnsureApplication(); }

  // Every row the model offers, depth first: indentation, text, image, unread and "B" for bold.
  std::vector<std::string> Rows(const QModelIndex& parent = {}, int depth = 0) {
    std::vector<std::string> rows;
    for (int row = 0; row < model.rowCount(parent); ++row) {
      QModelIndex index = model.index(row, 0, parent);
      QVariant font = index.data(Qt::FontRole);
      rows.push_back(std::string(static_cast<size_t>(depth) * 2, ' ') +
                     index.data().toString().toStdString() + " " +
                     std::to_string(index.data(FolderTreeModel::kImageRole).toInt()) + " " +
                     std::to_string(index.data(FolderTreeModel::kUnreadRole).toInt()) +
                     (font.isValid() && font.value<QFont>().bold() ? " B" : ""));
      std::vector<std::string> below = Rows(index, depth + 1);
      rows.insert(rows.end(), below.begin(), below.end());
    }
    return rows;
  }

  FolderTree tree;
  FolderTreeModel model{tree};
  QAbstractItemModelTester tester{&model, QAbstractItemModelTester::FailureReportingMode::Fatal};
};

TEST_F(FolderTreeModelTest, FollowsEveryChangeOfTheTree) {
  TreeNode& inbox = tree.InsertLastChild(tree.Root(), u"Inbox", kImageFolder, NodeData{200, 0, 0});
  TreeNode& message = tree.InsertFirstChild(inbox, u"Hello", kImageUnread, NodeData{300, 1, 0});
  tree.SetBold(message, true);
  TreeNode& bin = tree.InsertLastChild(tree.Root(), u"Recycle Bin", kImageBinEmpty, NodeData{});
  EXPECT_EQ(Rows(), (std::vector<std::string>{"Inbox 1 0", "  Hello 3 1 B", "Recycle Bin 4 0"}));

  tree.CopySubtree(inbox, bin);
  tree.SetImage(bin, kImageBinFull);
  EXPECT_EQ(Rows(), (std::vector<std::string>{"Inbox 1 0", "  Hello 3 1 B", "Recycle Bin 5 0",
                                              "  Inbox 1 0", "    Hello 3 1 B"}));
  tree.Remove(inbox);
  EXPECT_EQ(Rows().front(), "Recycle Bin 5 0");
  FolderTree other;
  other.InsertLastChild(other.Root(), u"Drafts", kImageFolder, NodeData{400, 0, 0});
  tree.ReplaceWith(other);
  EXPECT_EQ(Rows(), (std::vector<std::string>{"Drafts 1 0"}));
  tree.Clear();
  EXPECT_EQ(model.rowCount(), 0);
}

TEST_F(FolderTreeModelTest, IndexesAndNodesMapBothWays) {
  TreeNode& a = tree.InsertLastChild(tree.Root(), u"A", kImageFolder, NodeData{200, 0, 0});
  TreeNode& b = tree.InsertLastChild(a, u"B", kImageFolder, NodeData{210, 0, 0});
  TreeNode& c = tree.InsertLastChild(a, u"C", kImageRead, NodeData{220, 0, 0});
  QModelIndex ofC = model.IndexOf(&c);
  EXPECT_EQ(ofC.row(), 1);
  EXPECT_EQ(model.NodeAt(ofC), &c);
  EXPECT_EQ(model.NodeAt(ofC.parent()), &a);
  EXPECT_EQ(model.NodeAt(model.index(0, 0, model.IndexOf(&a))), &b);
  EXPECT_FALSE(model.IndexOf(&tree.Root()).isValid());
  EXPECT_EQ(model.NodeAt(QModelIndex()), nullptr);
  EXPECT_EQ(ofC.data(FolderTreeModel::kOffsetRole).toUInt(), 220u);
  EXPECT_FALSE(model.index(5, 0).isValid());
  EXPECT_FALSE(model.index(0, 1).isValid());
}

TEST(TreeImagesTest, SevenImagesOnMagentaWithTheMaskTransparent) {
  testing::EnsureApplication();
  QImage strip = TreeImageStrip();
  EXPECT_EQ(strip.size(), QSize(112, 16));
  EXPECT_EQ(strip.pixel(0, 0), kTreeImageMask) << "the corner of every image is background";
  for (int index = 0; index < kTreeImageCount; ++index) {
    QImage one = strip.copy(index * 16, 0, 16, 16);
    int drawn = 0;
    for (int y = 0; y < 16; ++y) {
      for (int x = 0; x < 16; ++x) drawn += one.pixel(x, y) != kTreeImageMask;
    }
    EXPECT_GT(drawn, 4) << "image " << index << " shows something";
    QImage shown = TreeImage(index).toImage().convertToFormat(QImage::Format_ARGB32);
    EXPECT_EQ(qAlpha(shown.pixel(0, 0)), 0) << "image " << index << ": magenta is transparent";
  }
  EXPECT_NE(TreeImageStrip().copy(64, 0, 16, 16), TreeImageStrip().copy(80, 0, 16, 16))
      << "the empty and the full recycle bin differ";
  EXPECT_TRUE(TreeImage(7).isNull());
  EXPECT_TRUE(TreeImage(-1).isNull());
}

}  // namespace
}  // namespace brevalo
