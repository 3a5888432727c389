#include "app/sent_message_recorder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "store/node_title.h"
#include "store/store_test_support.h"

namespace brevalo {
namespace {

constexpr char16_t kTime[] = u"12/9/26 10:15";

class SentMessageRecorderTest : public testing::StoreTest {
 protected:
  void SetUp() override { ASSERT_TRUE(doc.New(kPath, StoreHeader{}, false)); }

  TreeNode* Record(SendRecord& record, int result, bool saveToSentBox = false, int32_t mode = 2) {
    return recorder.Record(record, result, {saveToSentBox, mode, 10}, kTime);
  }
  static SendRecord Message(std::u16string recipients, std::u16string text, TreeNode* node = nullptr) {
    SendRecord record;
    record.recipients = std::move(recipients);
    record.text = std::move(text);
    record.node = node;
    record.nodeOffset = node != nullptr ? node->Data().offset : 0;
    return record;
  }
  TreeNode& Folder(std::u16string_view label) {
    for (size_t row = 0; row < doc.Tree().Root().ChildCount(); ++row) {
      if (doc.Tree().Root().Child(row)->Label() == label) return *doc.Tree().Root().Child(row);
    }
    ADD_FAILURE() << "no folder";
    return doc.Tree().Root();
  }
  std::u16string Body(const TreeNode& node) {
    EXPECT_TRUE(doc.Store().ReadRecord(node.Data().offset));
    return doc.Store().ReadBodyText().value_or(u"<unreadable>");
  }
  bool InTree(const TreeNode* node) {
    bool found = false;
    doc.Tree().Walk([&](const TreeNode& each, int) { found = found || &each == node; });
    return found;
  }

  OpenDocument doc{files, offsets, codePage};
  SentMessageRecorder recorder{doc, codePage};
};

TEST_F(SentMessageRecorderTest, SentAndFailedMessagesGoToTheirFoldersWhenKept) {
  SendRecord sent = Message(u"\"Ann\"<5550101>;5550102", u"hello\nthere");
  TreeNode* node = Record(sent, SEND_RESULT_OK, true);
  ASSERT_NE(node, nullptr);
  EXPECT_EQ(node->Parent(), &Folder(u"Sent Box"));
  EXPECT_EQ(node->Image(), kImageRead);
  EXPECT_EQ(node->Label(), std::u16string(u"Ann ") + kTime);
  EXPECT_EQ(Body(*node),
            u"Send To:\"Ann\"<5550101>;5550102\r\n--------------------\r\nhello\nthere");
  EXPECT_EQ(sent.node, node);
  EXPECT_TRUE(doc.Store().TreeChanged());

  SendRecord group = Message(u"5550103", u"g");
  TreeNode* grouped = Record(group, SEND_RESULT_GROUP, true);
  ASSERT_NE(grouped, nullptr);
  EXPECT_EQ(grouped->Parent(), &Folder(u"Sent Box"));

  // No number at all fails; the failure is kept in an Outbox made on first use.
  SendRecord failed = Message(u" ; ;", u"nobody");
  TreeNode* outboxed = Record(failed, SEND_RESULT_FAIL, true, kTitleSummary);
  ASSERT_NE(outboxed, nullptr);
  EXPECT_EQ(outboxed->Parent(), &Folder(u"Outbox"));
  EXPECT_EQ(outboxed->Label(), u"nobody");

  SendRecord notKept = Message(u"5550101", u"x");
  size_t before = doc.Tree().Count();
  EXPECT_EQ(Record(notKept, SEND_RESULT_OK, false), nullptr);
  EXPECT_EQ(doc.Tree().Count(), before);
}

TEST_F(SentMessageRecorderTest, AMessageFromADraftMovesEvenWhenSentMessagesAreNotKept) {
  TreeNode* drafts = doc.SpecialFolder(kDrafts);
  TreeNode* draft = doc.AddNode(drafts, u"draft", kImageRead, u"old text");
  SendRecord sent = Message(u"5550101", u"new text", draft);
  TreeNode* node = Record(sent, SEND_RESULT_OK, false, kTitleContactSummary);
  ASSERT_NE(node, nullptr);
  EXPECT_FALSE(InTree(draft));
  EXPECT_EQ(node->Parent(), &Folder(u"Sent Box"));
  EXPECT_EQ(node->Label(), u"5550101 new text");
  EXPECT_EQ(drafts->ChildCount(), 0u);

  TreeNode* second = doc.AddNode(drafts, u"draft 2", kImageRead, u"t");
  SendRecord failed = Message(u"5550101", u"t", second);
  TreeNode* outboxed = Record(failed, SEND_RESULT_FAIL);
  ASSERT_NE(outboxed, nullptr);
  EXPECT_EQ(outboxed->Parent(), &Folder(u"Outbox"));
  EXPECT_FALSE(InTree(second));
}

TEST_F(SentMessageRecorderTest, ANodeThatTookTheDraftsPlaceIsLeftAlone) {
  TreeNode* other = doc.AddNode(doc.SpecialFolder(kDrafts), u"other", kImageRead, u"keep me");
  SendRecord sent = Message(u"5550101", u"x", other);
  sent.nodeOffset = other->Data().offset + 1;  // the draft it named had another record
  EXPECT_EQ(Record(sent, SEND_RESULT_OK, false), nullptr);
  EXPECT_TRUE(InTree(other));
  EXPECT_EQ(Body(*other), u"keep me");
}

TEST_F(SentMessageRecorderTest, SavingUpdatesItsDraftOrAddsOneWhenTheDraftIsGone) {
  SendRecord saved = Message(u"5550101", u"first words");
  TreeNode* draft = Record(saved, SEND_RESULT_SAVED, false, kTitleSummary);
  ASSERT_NE(draft, nullptr);
  EXPECT_EQ(draft->Parent(), &Folder(u"Drafts"));
  EXPECT_EQ(saved.node, draft);

  SendRecord again = Message(u"5550102", u"second words", draft);
  EXPECT_EQ(Record(again, SEND_RESULT_SAVED, false, kTitleSummary), draft);
  EXPECT_EQ(draft->Label(), u"second wor");
  EXPECT_EQ(Body(*draft), u"Send To:5550102\r\n--------------------\r\nsecond words");
  EXPECT_EQ(Folder(u"Drafts").ChildCount(), 1u);
  EXPECT_EQ(again.nodeOffset, draft->Data().offset) << "the new record is named for the next save";

  // A queued record keeps the address and the record of a draft deleted meanwhile.
  SendRecord gone = Message(u"5550103", u"third", draft);
  doc.RemoveNode(*draft);
  TreeNode* added = Record(gone, SEND_RESULT_SAVED);
  ASSERT_NE(added, nullptr);
  EXPECT_EQ(added->Parent(), &Folder(u"Drafts"));
  EXPECT_EQ(gone.node, added);
}

TEST_F(SentMessageRecorderTest, NothingIsRecordedWithoutADocument) {
  ASSERT_TRUE(doc.Close());
  SendRecord sent = Message(u"5550101", u"x");
  EXPECT_EQ(Record(sent, SEND_RESULT_OK, true), nullptr);
  EXPECT_EQ(Record(sent, SEND_RESULT_SAVED, true), nullptr);
  EXPECT_EQ(sent.node, nullptr);
}

TEST_F(SentMessageRecorderTest, TheBodyIsCutAtACharacterWithinItsBytes) {
  // Three bytes a character in UTF-8: the cut may not split one.
  const std::u16string text(3000, u'\u4f60');
  const std::u16string content = SentContent(codePage, u"5", text);
  const size_t bytes = codePage.FromUtf16(content).size();
  EXPECT_LE(bytes, kSentContentCapacity - 1);
  EXPECT_GT(bytes, kSentContentCapacity - 4);
  EXPECT_EQ(content.back(), u'\u4f60');
  EXPECT_EQ(SentContent(codePage, u"5", u"short"),
            u"Send To:5\r\n--------------------\r\nshort");
}

TEST_F(SentMessageRecorderTest, TheTitleReadsTheFirstEntryUpToItsBracket) {
  EXPECT_EQ(SentTitleContact(u"\"Ann\"<555>;1"), u"\"Ann\"<");
  EXPECT_EQ(SentTitleContact(u"555;1"), u"555");
  // A bracketed number without a name leaves no number to show.
  EXPECT_EQ(ParseTitleContact(SentTitleContact(u"<555>")).Shown(), u" ");
  EXPECT_EQ(ParseTitleContact(SentTitleContact(u"\"Ann\" <555>")).Shown(), u"Ann ");
}

}  // namespace
}  // namespace brevalo
