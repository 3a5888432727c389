#include "app/phone_import.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/open_document_test_support.h"
#include "device/kernel_test_support.h"
#include "device/mapi_session.h"
#include "device/phone_database.h"
#include "device/phone_database_test_support.h"
#include "settings/phone_sms_store.h"
#include "store/node_title.h"
#include "store/store_test_support.h"

namespace brevalo {
namespace {

using testing::NodeView;

// A document with one folder, and the phone's store beside it.
class PhoneImportTest : public testing::StoreTest {
 protected:
  void SetUp() override {
    phone_ = PhoneDatabase::OpenDevice(device_.device());
    ASSERT_NE(phone_, nullptr);
    ASSERT_TRUE(phone_->EnsureStore(kSmsStoreName));
    MapiUseDevice(device_.dir());
    CreateDocument();
    AddFolder(tree.Root(), u"Keep");
    ASSERT_TRUE(store.Save(tree));
    store.Close();
    ASSERT_EQ(doc.Open(kPath), OpenOutcome::kOpened);
    target_ = testing::Find(doc.Tree(), u"Keep");
    ASSERT_NE(target_, nullptr);
  }

  int64_t Put(PhoneFolder folder, std::u16string sender, std::u16string text) {
    PhoneMessage message;
    message.folder = folder;
    message.sender = std::move(sender);
    message.text = std::move(text);
    message.deliveryTime = 134000000000000000ull;  // in 2025
    return phone_->AddMessage(message).value_or(0);
  }

  std::vector<ImportEntry> Listed(int folder) {
    std::vector<ImportEntry> rows;
    EXPECT_GE(ListPhoneFolder(folder, clock_, &rows), 0);
    return rows;
  }

  PhoneImportReport Import(const std::vector<ImportEntry>& rows, bool deleteAfter,
                           int32_t titleMode = kTitleContactSummary) {
    PhoneImportOptions options{titleMode, 20, deleteAfter};
    return ImportTickedRows(doc, *target_, rows, options, [](DATE) { return u"TIME"; });
  }

  std::vector<std::u16string> PhoneTexts(PhoneFolder folder) {
    return testing::PhoneFolderTexts(*phone_, folder);
  }

  testing::TempDevice device_;
  std::unique_ptr<PhoneDatabase> phone_;
  ImportClock clock_{GetLocalTime(), {u"M/d/yyyy", u"H:mm"}};
  OpenDocument doc{files, offsets, codePage};
  TreeNode* target_ = nullptr;
};

TEST_F(PhoneImportTest, TickedRowsBecomeFirstChildrenInListOrderAndLeaveThePhoneOnceSaved) {
  for (std::u16string text : {u"one", u"two", u"three", u"four", u"five"}) {
    Put(PhoneFolder::Inbox, u"+4930" + text, text);
  }
  std::vector<ImportEntry> rows = Listed(kPhoneInboxFolder);
  ASSERT_EQ(rows.size(), 5u);
  rows[0].ticked = rows[2].ticked = rows[4].ticked = true;
  PhoneImportReport report = Import(rows, true);
  EXPECT_EQ(report.copied, 3u);
  EXPECT_TRUE(report.saved);
  EXPECT_EQ(report.deleted, 3u);
  EXPECT_FALSE(report.Failed());
  EXPECT_EQ(PhoneTexts(PhoneFolder::Inbox), (std::vector<std::u16string>{u"two", u"four"}));

  // What the next reader of the file finds, without a further save.
  EXPECT_EQ(Reopen(), (std::vector<NodeView>{{0, u"Keep", kImageFolder, u""},
                                             {1, u"+4930one one", kImageRead, u"one"},
                                             {1, u"+4930three three", kImageRead, u"three"},
                                             {1, u"+4930five five", kImageRead, u"five"}}));
}

TEST_F(PhoneImportTest, WithoutDeletingNothingIsSavedAndThePhoneKeepsEverything) {
  Put(PhoneFolder::Inbox, u"1", u"a");
  std::vector<ImportEntry> rows = Listed(kPhoneInboxFolder);
  rows[0].ticked = true;
  PhoneImportReport report = Import(rows, false, kTitleContactTime);
  EXPECT_EQ(report.copied, 1u);
  EXPECT_FALSE(report.saved);
  EXPECT_EQ(report.deleted, 0u);
  EXPECT_TRUE(doc.Store().TreeChanged());
  ASSERT_EQ(target_->ChildCount(), 1u);
  EXPECT_EQ(target_->Child(0)->Label(), u"1 TIME");
  EXPECT_EQ(PhoneTexts(PhoneFolder::Inbox).size(), 1u);
}

TEST_F(PhoneImportTest, NothingTickedOnlyMarksTheDocumentChanged) {
  Put(PhoneFolder::Inbox, u"1", u"a");
  std::vector<ImportEntry> rows = Listed(kPhoneInboxFolder);
  PhoneImportReport report = Import(rows, true);
  EXPECT_EQ(report.copied, 0u);
  EXPECT_EQ(target_->ChildCount(), 0u);
  EXPECT_TRUE(doc.Store().TreeChanged());
  EXPECT_EQ(PhoneTexts(PhoneFolder::Inbox).size(), 1u);
}

TEST_F(PhoneImportTest, AFailedSaveDeletesNoPhoneCopy) {
  Put(PhoneFolder::Inbox, u"1", u"a");
  Put(PhoneFolder::Inbox, u"2", u"b");
  std::vector<ImportEntry> rows = Listed(kPhoneInboxFolder);
  for (ImportEntry& row : rows) row.ticked = true;
  // The document vanished meanwhile: what is written reaches no reader of its path.
  ASSERT_TRUE(files.Remove(kPath));
  PhoneImportReport report = Import(rows, true);
  EXPECT_FALSE(report.saved);
  EXPECT_EQ(report.deleted, 0u);
  EXPECT_EQ(report.keptOnPhone, report.copied);
  EXPECT_TRUE(report.Failed());
  EXPECT_EQ(PhoneTexts(PhoneFolder::Inbox), (std::vector<std::u16string>{u"a", u"b"}));
}

TEST_F(PhoneImportTest, ARecordThatCannotBeWrittenIsNoItemAndStaysOnThePhone) {
  Put(PhoneFolder::Inbox, u"1", u"a");
  std::vector<ImportEntry> rows = Listed(kPhoneInboxFolder);
  rows[0].ticked = true;
  files.FailWrite(1, true);
  PhoneImportReport report = Import(rows, true);
  EXPECT_EQ(report.notWritten, 1u);
  EXPECT_EQ(report.copied, 0u);
  EXPECT_EQ(target_->ChildCount(), 0u);
  EXPECT_EQ(PhoneTexts(PhoneFolder::Inbox).size(), 1u);
}

TEST_F(PhoneImportTest, LongTextsAreImportedWholeButASenderTheRecordCannotHoldStaysOnThePhone) {
  std::u16string longText(400, u'x');
  longText += u"文\U0001F600";
  Put(PhoneFolder::Inbox, u"+4930555", longText);
  // The number alone is longer than the record's 51 bytes.
  Put(PhoneFolder::Inbox, std::u16string(60, u'9'), u"long number");
  // A long name gives way to the whole number.
  Put(PhoneFolder::Inbox, u"\"" + std::u16string(60, u'N') + u"\"<+4930555019>", u"long name");
  std::vector<ImportEntry> rows = Listed(kPhoneInboxFolder);
  for (ImportEntry& row : rows) row.ticked = true;
  PhoneImportReport report = Import(rows, true);
  EXPECT_EQ(report.copied, 3u);
  EXPECT_EQ(report.deleted, 2u);
  EXPECT_EQ(report.keptOnPhone, 1u);
  EXPECT_EQ(PhoneTexts(PhoneFolder::Inbox), (std::vector<std::u16string>{u"long number"}));
  std::vector<NodeView> saved = Reopen();
  ASSERT_EQ(saved.size(), 4u);
  EXPECT_EQ(saved[1].text, longText) << "the whole text, the last character too";
}

TEST_F(PhoneImportTest, TextsTheCodePageLacksStayOnThePhone) {
  std::optional<CodePage> western = CodePage::Open(1252);
  ASSERT_TRUE(western);
  doc.CloseWithoutSaving();
  OpenDocument narrow{files, offsets, *western};
  ASSERT_EQ(narrow.Open(kPath), OpenOutcome::kOpened);
  Put(PhoneFolder::Inbox, u"1", u"Grüße");
  Put(PhoneFolder::Inbox, u"2", u"你好");
  std::vector<ImportEntry> rows = Listed(kPhoneInboxFolder);
  for (ImportEntry& row : rows) row.ticked = true;
  PhoneImportReport report = ImportTickedRows(narrow, *testing::Find(narrow.Tree(), u"Keep"), rows,
                                              {kTitleSummary, 20, true}, [](DATE) { return u""; });
  EXPECT_EQ(report.copied, 2u);
  EXPECT_EQ(report.deleted, 1u);
  EXPECT_EQ(PhoneTexts(PhoneFolder::Inbox), (std::vector<std::u16string>{u"你好"}));
}

TEST_F(PhoneImportTest, SentItemsLeaveThePhoneThroughTheSentFolder) {
  Put(PhoneFolder::Sent, u"+4930", u"I sent this");
  Put(PhoneFolder::Inbox, u"+4930", u"I got this");
  std::vector<ImportEntry> rows = Listed(kPhoneSentFolder);
  ASSERT_EQ(rows.size(), 1u);
  rows[0].ticked = true;
  PhoneImportReport report = Import(rows, true);
  EXPECT_EQ(report.deleted, 1u);
  EXPECT_TRUE(PhoneTexts(PhoneFolder::Sent).empty());
  EXPECT_EQ(PhoneTexts(PhoneFolder::Inbox).size(), 1u);
}

TEST_F(PhoneImportTest, ImportingIntoTheRecycleBinShowsItFull) {
  doc.ToggleRecycleBin();
  ASSERT_NE(doc.RecycleBin(), nullptr);
  target_ = doc.RecycleBin();
  Put(PhoneFolder::Inbox, u"1", u"a");
  std::vector<ImportEntry> rows = Listed(kPhoneInboxFolder);
  rows[0].ticked = true;
  Import(rows, false);
  EXPECT_EQ(doc.RecycleBin()->Image(), kImageBinFull);
}

}  // namespace
}  // namespace brevalo
