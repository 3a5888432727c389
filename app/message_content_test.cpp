// A stored message as the view window reads and edits it, and its neighbours in the folder.
#include "app/message_content.h"

#include <gtest/gtest.h>

#include "app/open_document_test_support.h"
#include "store/store_test_support.h"

namespace brevalo {
namespace {

using testing::Find;

class MessageContentTest : public testing::StoreTest {
 protected:
  // Inbox { a, b, c }
  void SetUp() override {
    CreateDocument();
    TreeNode& inbox = AddFolder(tree.Root(), u"Inbox");
    AddMessage(inbox, u"a", u"\"Ann\"<5550101>", u"first\r\nline two");
    AddMessage(inbox, u"b", u"5550102", u"短信 second");
    AddMessage(inbox, u"c", u"", u"third", kImageRead);
    ASSERT_TRUE(store.Save(tree));
    store.Close();
    ASSERT_EQ(doc.Open(kPath), OpenOutcome::kOpened);
  }
  TreeNode& Node(std::u16string_view label) { return *Find(doc.Tree(), label); }
  // What a second reader finds in the file after Close.
  std::optional<StoredMessage> Reopened(std::u16string_view label, std::u16string* title = nullptr) {
    EXPECT_TRUE(doc.Close());
    OpenDocument again(files, offsets, codePage);
    EXPECT_EQ(again.Open(kPath), OpenOutcome::kOpened);
    TreeNode* node = Find(again.Tree(), label);
    if (!node) return std::nullopt;
    if (title) *title = node->Label();
    return ReadStoredMessage(again, *node);
  }

  OpenDocument doc{files, offsets, codePage};
};

TEST_F(MessageContentTest, ReadsNumberTextAndPassword) {
  std::optional<StoredMessage> a = ReadStoredMessage(doc, Node(u"a"));
  ASSERT_TRUE(a);
  EXPECT_EQ(a->number, u"\"Ann\"<5550101>");
  EXPECT_EQ(a->text, u"first\r\nline two");
  EXPECT_EQ(a->password, u"");
  EXPECT_EQ(ReadStoredMessage(doc, Node(u"b"))->text, u"短信 second");
  EXPECT_EQ(ReadStoredMessage(doc, Node(u"c"))->number, u"");
}

TEST_F(MessageContentTest, AChangedTextReplacesTheContentAndAChangedTitleRenames) {
  TreeNode& b = Node(u"b");
  const uint32_t before = b.Data().offset;
  ASSERT_TRUE(SaveMessageEdits(doc, b, {u"renamed", u"new text 新"}));
  EXPECT_NE(b.Data().offset, before) << "the new content is a new record";
  EXPECT_TRUE(doc.Store().TreeChanged());
  std::u16string title;
  std::optional<StoredMessage> saved = Reopened(u"renamed", &title);
  ASSERT_TRUE(saved);
  EXPECT_EQ(saved->text, u"new text 新");
  EXPECT_EQ(saved->number, u"5550102") << "the sender stays";
}

TEST_F(MessageContentTest, AnEmptyTextRemovesTheContentAndAnUnchangedFieldStays) {
  ASSERT_TRUE(SaveMessageEdits(doc, Node(u"a"), {std::nullopt, u""}));
  EXPECT_EQ(Node(u"a").Label(), u"a");
  std::optional<StoredMessage> saved = Reopened(u"a");
  ASSERT_TRUE(saved);
  EXPECT_EQ(saved->text, u"");
  EXPECT_EQ(saved->number, u"\"Ann\"<5550101>");
}

TEST_F(MessageContentTest, NothingChangedWritesNothingAndALongTitleIsCut) {
  doc.Store().SetTreeChanged(false);
  ASSERT_TRUE(SaveMessageEdits(doc, Node(u"c"), {}));
  EXPECT_FALSE(doc.Store().TreeChanged());
  ASSERT_TRUE(SaveMessageEdits(doc, Node(u"c"), {std::u16string(400, u't'), std::nullopt}));
  EXPECT_EQ(Node(std::u16string(259, u't')).Label().size(), 259u);
}

TEST_F(MessageContentTest, SiblingsStopAtTheEndsOfTheFolder) {
  EXPECT_EQ(PreviousSibling(Node(u"a")), nullptr);
  EXPECT_EQ(NextSibling(Node(u"a")), &Node(u"b"));
  EXPECT_EQ(PreviousSibling(Node(u"c")), &Node(u"b"));
  EXPECT_EQ(NextSibling(Node(u"c")), nullptr);
  EXPECT_EQ(NextSibling(Node(u"Inbox")), nullptr) << "a top-level node alone";
}

}  // namespace
}  // namespace brevalo
