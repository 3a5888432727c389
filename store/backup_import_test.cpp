// A document taken out as backup entries and filed into another one, and searched: what a
// person moving phones or looking for an old message relies on.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <time.h>

#include <algorithm>

#include "store/backup_import.h"
#include "store/document_backup.h"
#include "store/message_search.h"
#include "store/sent_content.h"
#include "store/store_test_support.h"

namespace brevalo {
namespace {

class BackupImportTest : public testing::StoreTest {
 protected:
  void SetUp() override {
    CreateDocument();
    bin_ = &AddBin();
    store.SetRecycleBin(bin_);
  }

  TreeNode& Message(TreeNode& parent, std::u16string number, std::u16string text, DATE date,
                    int image = kImageUnread) {
    TreeNode& node = AddMessage(parent, u"title of " + text, number, text, image);
    store.ReadRecord(node.Data().offset);
    store.MutableRecord().date = date;
    NodeData data = node.Data();
    data.offset = store.RewriteRecord(node.Data().offset);
    tree.SetData(node, data);
    return node;
  }

  // Every message of `source` as backup entries, the recycle bin's left out.
  static std::vector<BackupMessage> Entries(MessageStore& source, const FolderTree& shown) {
    std::vector<BackupMessage> entries;
    shown.Walk([&](const TreeNode& node, int) {
      if (!IsMessageImage(node.Image()) || InRecycleBin(source, node)) return;
      std::optional<BackupMessage> entry = BackupMessageOf(source, node, BackupNaming{});
      EXPECT_TRUE(entry.has_value());
      if (entry) entries.push_back(*entry);
    });
    return entries;
  }

  // A fresh document at `path` with `entries` filed into it and saved.
  BackupImportReport ImportInto(std::u16string_view path, MessageStore& target, FolderTree& shown,
                                const std::vector<BackupMessage>& entries,
                                std::u16string_view under = u"") {
    BackupImport import(target, shown, codePage, [](DATE) { return std::u16string(u"then"); });
    std::string error;
    EXPECT_TRUE(import.LearnDocument(&error)) << error;
    BackupImportReport report = import.File(entries, under);
    EXPECT_TRUE(target.Save(shown)) << ToUtf8(path);
    return report;
  }

  TreeNode* bin_ = nullptr;
};

TEST_F(BackupImportTest, ARoundTripKeepsFoldersTextsDatesNumbersAndReadStates) {
  TreeNode& inbox = AddFolder(tree.Root(), u"Inbox");
  TreeNode& work = AddFolder(tree.Root(), u"Work");
  TreeNode& boss = AddFolder(work, u"Boss");
  TreeNode& sentBox = AddFolder(tree.Root(), u"Sent Box");
  TreeNode& drafts = AddFolder(tree.Root(), u"Drafts");
  TreeNode& outbox = AddFolder(tree.Root(), u"Outbox");
  Message(inbox, u"\"Ann Lee\"<5550100>", u"Dinner at eight?\r\nBring wine", 46082.5);
  Message(boss, u"+8613900001111", u"报告周五到期", 46083.25, kImageRead);
  Message(tree.Root(), u"5550199", u"at the top", 46084.0, kImageRead);
  Message(sentBox, u"", SentContent(codePage, u"\"Ann\"<5550100>;5550101", u"on my way"), 46085.0,
          kImageRead);
  Message(drafts, u"", SentContent(codePage, u"5550102", u"not yet"), 46086.0, kImageRead);
  Message(outbox, u"", SentContent(codePage, u"5550103", u"failed once"), 46087.0, kImageRead);
  Message(*bin_, u"5550104", u"deleted", 46088.0);
  ASSERT_TRUE(store.Save(tree));

  const std::vector<BackupMessage> exported = Entries(store, tree);
  ASSERT_EQ(exported.size(), 6u);
  EXPECT_EQ(exported[0].address, u"5550100");
  EXPECT_EQ(exported[0].contactName, u"Ann Lee");
  EXPECT_FALSE(exported[0].read);
  EXPECT_EQ(exported[1].folder, u"\\Work\\Boss");
  EXPECT_EQ(exported[2].type, kBackupSent);
  EXPECT_EQ(exported[2].address, u"5550100;5550101");
  EXPECT_EQ(exported[2].body, u"on my way");
  EXPECT_EQ(exported[3].type, kBackupDraft);
  EXPECT_EQ(exported[4].type, kBackupOutbox);
  EXPECT_EQ(exported[5].folder, u"\\");

  MessageStore copy(files, offsets, codePage);
  FolderTree copied;
  ASSERT_TRUE(copy.Create(u"\\copy.kvt", StoreHeader{}));
  BackupImportReport report = ImportInto(u"\\copy.kvt", copy, copied, exported);
  EXPECT_TRUE(report.ok) << report.error;
  EXPECT_EQ(report.added, 6);
  EXPECT_TRUE(report.inexact.empty());

  MessageStore reader(files, offsets, codePage);
  FolderTree shown;
  ASSERT_TRUE(reader.Open(u"\\copy.kvt", StoreAccess::kRead));
  ASSERT_TRUE(reader.LoadIndex(shown));
  const std::vector<BackupMessage> again = Entries(reader, shown);
  ASSERT_EQ(again.size(), exported.size());
  for (size_t i = 0; i < again.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(again[i].folder, exported[i].folder);
    EXPECT_EQ(again[i].body, exported[i].body);
    EXPECT_EQ(again[i].date / 1000, exported[i].date / 1000);
    EXPECT_EQ(again[i].address, exported[i].address);
    EXPECT_EQ(again[i].contactName, exported[i].contactName);
    EXPECT_EQ(again[i].recipients, exported[i].recipients);
    EXPECT_EQ(again[i].type, exported[i].type);
    EXPECT_EQ(again[i].read, exported[i].read);
  }
  // Sent ones are kept as the program keeps what it sends.
  const TreeNode& sentCopy = *shown.Root().Child(2)->Child(0);
  ASSERT_EQ(shown.Root().Child(2)->Label(), u"Sent Box");
  ASSERT_TRUE(reader.ReadRecord(sentCopy.Data().offset));
  EXPECT_EQ(reader.ReadBodyText(),
            u"Send To:\"Ann\"<5550100>;5550101\r\n--------------------\r\non my way");
}

TEST_F(BackupImportTest, TheSameMessageIsFiledOnceHoweverOftenItComes) {
  BackupMessage message;
  message.address = u"5550100";
  message.date = 1772359200400;
  message.body = u"hello";
  BackupMessage sameSecond = message;
  sameSecond.date = 1772359200999;
  BackupMessage otherText = message;
  otherText.body = u"hello!";
  BackupMessage otherNumber = message;
  otherNumber.address = u"5550101";

  MessageStore target(files, offsets, codePage);
  FolderTree shown;
  ASSERT_TRUE(target.Create(u"\\twice.kvt", StoreHeader{}));
  BackupImportReport first =
      ImportInto(u"\\twice.kvt", target, shown, {message, sameSecond, otherText, otherNumber});
  EXPECT_EQ(first.added, 3);
  EXPECT_EQ(first.alreadyThere, 1);
  target.Close();

  // A second run on the saved document learns it from the file.
  MessageStore reopened(files, offsets, codePage);
  FolderTree read;
  ASSERT_TRUE(reopened.Open(u"\\twice.kvt"));
  ASSERT_TRUE(reopened.LoadIndex(read));
  BackupImportReport second = ImportInto(u"\\twice.kvt", reopened, read, {message, otherText});
  EXPECT_EQ(second.added, 0);
  EXPECT_EQ(second.alreadyThere, 2);
  EXPECT_EQ(read.Count(), 4u);  // Inbox and its three
}

TEST_F(BackupImportTest, MessagesWithoutAFolderGoWhereTheirKindBelongsBelowTheChosenFolder) {
  std::vector<BackupMessage> entries(4);
  for (int i = 0; i < 4; ++i) {
    entries[i].address = u"555010" + std::u16string(1, static_cast<char16_t>(u'0' + i));
    entries[i].date = 1772359200000 + i * 1000;
    entries[i].type = kBackupReceived + i;
    entries[i].body = u"text";
  }
  entries[1].contactName = u"Ann";
  MessageStore target(files, offsets, codePage);
  FolderTree shown;
  ASSERT_TRUE(target.Create(u"\\kinds.kvt", StoreHeader{}));
  EXPECT_EQ(ImportInto(u"\\kinds.kvt", target, shown, entries, u"\\Old phone\\").added, 4);
  ASSERT_EQ(shown.Root().ChildCount(), 1u);
  const TreeNode& old = *shown.Root().Child(0);
  EXPECT_EQ(old.Label(), u"Old phone");
  std::vector<std::u16string> folders;
  for (size_t row = 0; row < old.ChildCount(); ++row) folders.push_back(old.Child(row)->Label());
  EXPECT_EQ(folders, (std::vector<std::u16string>{u"Inbox", u"Sent Box", u"Drafts", u"Outbox"}));
  ASSERT_TRUE(target.ReadRecord(old.Child(1)->Child(0)->Data().offset));
  EXPECT_EQ(target.ReadBodyText(), u"Send To:\"Ann\"<5550101>\r\n--------------------\r\ntext");
  EXPECT_EQ(old.Child(0)->Child(0)->Image(), kImageRead);
}

TEST_F(BackupImportTest, ADateThePhoneCannotHoldStopsTheImportWithWhereItIs) {
  BackupMessage good;
  good.address = u"1";
  good.date = 1000;
  good.body = u"ok";
  BackupMessage bad = good;
  bad.date = INT64_MAX;
  bad.where = "line 7";
  MessageStore target(files, offsets, codePage);
  FolderTree shown;
  ASSERT_TRUE(target.Create(u"\\range.kvt", StoreHeader{}));
  BackupImport import(target, shown, codePage, nullptr);
  BackupImportReport report = import.File({good, bad}, u"");
  EXPECT_FALSE(report.ok);
  EXPECT_EQ(report.added, 1);
  EXPECT_NE(report.error.find("line 7: the date"), std::string::npos) << report.error;
}

class MessageSearchTest : public BackupImportTest {
 protected:
  void SetUp() override {
    BackupImportTest::SetUp();
    TreeNode& inbox = AddFolder(tree.Root(), u"Inbox");
    TreeNode& work = AddFolder(tree.Root(), u"Work");
    TreeNode& sentBox = AddFolder(tree.Root(), u"Sent Box");
    Message(work, u"+8613900001111", u"The REPORT is due\r\non Friday", 46083.0);
    Message(inbox, u"5550100", u"Καλημέρα, ΚΑΛΗ ΜΈΡΑ\nsecond line", 46084.0);
    Message(inbox, u"5550101", u"nothing here", 46085.0);
    TreeNode& sent =
        Message(sentBox, u"", SentContent(codePage, u"\"Bob\"<5550177>", u"report sent"), 46086.0);
    tree.SetLabel(sent, u"Bob 12:00");
    Message(*bin_, u"5550100", u"report deleted", 46087.0);
  }

  std::vector<std::u16string> Lines(const SearchQuery& query) {
    SearchResult result = SearchMessages(store, tree, query, nullptr);
    EXPECT_TRUE(result.ok) << result.error;
    std::vector<std::u16string> lines;
    for (const SearchHit& hit : result.hits) lines.push_back(hit.folder + u": " + hit.line);
    return lines;
  }
};

TEST_F(MessageSearchTest, TextIsFoundWhateverItsCaseInBodyNumberAndTitle) {
  SearchQuery query;
  query.text = u"rEpOrT";
  EXPECT_EQ(Lines(query), (std::vector<std::u16string>{u"\\Work: The REPORT is due",
                                                       u"\\Sent Box: report sent"}));
  query.text = u"friday";  // on the second line: that line is shown
  EXPECT_EQ(Lines(query), (std::vector<std::u16string>{u"\\Work: on Friday"}));
  query.text = u"καλη";
  EXPECT_EQ(Lines(query), (std::vector<std::u16string>{u"\\Inbox: Καλημέρα, ΚΑΛΗ ΜΈΡΑ"}));
  query.text = u"0177";  // a recipient's number; the first line is shown
  EXPECT_EQ(Lines(query), (std::vector<std::u16string>{u"\\Sent Box: report sent"}));
  query.text = u"TITLE OF nothing";
  EXPECT_EQ(Lines(query), (std::vector<std::u16string>{u"\\Inbox: nothing here"}));
  query.text = u"send to";  // the recipients' heading is no part of the text
  EXPECT_TRUE(Lines(query).empty());
}

TEST_F(MessageSearchTest, FolderNumberAndDateNarrowAndProtectedMessagesAreCounted) {
  SearchQuery query;
  query.folder = u"\\Inbox";
  EXPECT_EQ(Lines(query).size(), 2u);
  query.folder.clear();
  query.from = u"5550100";
  EXPECT_EQ(Lines(query), (std::vector<std::u16string>{u"\\Inbox: Καλημέρα, ΚΑΛΗ ΜΈΡΑ"}));
  query.from.clear();
  query.since = 46085.0;
  EXPECT_EQ(Lines(query).size(), 2u);

  query = SearchQuery{};
  query.folder = u"\\Nowhere";
  EXPECT_FALSE(SearchMessages(store, tree, query, nullptr).ok);

  query = SearchQuery{};
  SearchResult result = SearchMessages(store, tree, query, [](const TreeNode& node) {
    return node.Parent()->Label() != u"Inbox";
  });
  EXPECT_EQ(result.hits.size(), 2u);
  EXPECT_EQ(result.leftOut, 2);
}

TEST(BackupDates, MillisecondsSince1970AreTheDevicesLocalTimeInUtc) {
  const char* before = getenv("TZ");
  const std::string saved = before ? before : "";
  setenv("TZ", "Asia/Shanghai", 1);
  tzset();
  DATE local = 0;
  ASSERT_TRUE(UnixMillisecondsToOleDate(1772330400000, &local));  // 2026-03-01 02:00 UTC
  std::tm parts;
  ASSERT_TRUE(OleDateToTm(local, &parts));
  EXPECT_EQ(parts.tm_hour, 10);
  int64_t back = 0;
  ASSERT_TRUE(OleDateToUnixMilliseconds(local, &back));
  EXPECT_EQ(back / 1000, 1772330400);
  EXPECT_FALSE(UnixMillisecondsToOleDate(INT64_MAX, &local));
  EXPECT_FALSE(UnixMillisecondsToOleDate(INT64_MIN, &local));
  if (before) setenv("TZ", saved.c_str(), 1); else unsetenv("TZ");
  tzset();
}

}  // namespace
}  // namespace brevalo
