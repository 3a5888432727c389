// The journal beside a document: what a crash leaves of it is read up to the last whole entry,
// and a document opened after a crash shows every message whose entry reached the disk, once.
#include <gtest/gtest.h>

#include "store/document_filing.h"
#include "store/journal_reader.h"
#include "store/message_store.h"
#include "store/store_test_support.h"

namespace brevalo {
namespace {

using testing::Bytes;
using testing::NodeView;

JournalEntry SampleEntry(uint32_t offset, std::u16string label) {
  JournalEntry entry;
  entry.firstChild = offset % 2 == 0;
  entry.target = JournalTarget::kFolderPath;
  entry.folderPath = u"\\Inbox\\Ann";
  entry.label = std::move(label);
  entry.image = kImageUnread;
  entry.offset = offset;
  entry.ticket = 0x1122334455667700u + offset;
  entry.stored.assign(kRecordSize + 7, static_cast<uint8_t>(offset));
  return entry;
}

Bytes JournalOf(const std::vector<JournalEntry>& entries) {
  Bytes bytes(kJournalHeaderSize);
  EncodeJournalHeader(JournalBase{140, 42}, bytes.data());
  for (const JournalEntry& entry : entries) {
    Bytes encoded = EncodeJournalEntry(entry);
    bytes.insert(bytes.end(), encoded.begin(), encoded.end());
  }
  return bytes;
}

TEST(JournalReaderTest, ReadsWhatWasWritten) {
  std::vector<JournalEntry> written = {SampleEntry(140, u"one"), SampleEntry(301, u"zwei 💬"),
                                       SampleEntry(777, u"")};
  Bytes bytes = JournalOf(written);
  JournalContents read = ReadJournal(bytes.data(), bytes.size());
  ASSERT_TRUE(read.base);
  EXPECT_EQ(*read.base, (JournalBase{140, 42}));
  EXPECT_EQ(read.entries, written);
  EXPECT_EQ(read.end, bytes.size());
  EXPECT_FALSE(read.damage);
  JournalContents none = ReadJournal(bytes.data(), 0);
  EXPECT_FALSE(none.base);
  EXPECT_FALSE(none.damage);
}

// A crash may stop the file anywhere: every whole entry before the cut is read, the rest is
// reported, and nothing is read from beyond the bytes.
TEST(JournalReaderTest, CutAtEveryByteKeepsTheWholeEntriesBeforeIt) {
  std::vector<JournalEntry> written = {SampleEntry(140, u"one"), SampleEntry(301, u"two"),
                                       SampleEntry(777, u"three")};
  Bytes bytes = JournalOf(written);
  std::vector<size_t> ends = {kJournalHeaderSize};
  for (const JournalEntry& entry : written) ends.push_back(ends.back() + EncodeJournalEntry(entry).size());
  for (size_t cut = 1; cut < bytes.size(); ++cut) {
    Bytes torn(bytes.begin(), bytes.begin() + static_cast<long>(cut));
    JournalContents read = ReadJournal(torn.data(), torn.size());
    size_t whole = 0;
    while (whole + 1 < ends.size() && ends[whole + 1] <= cut) ++whole;
    ASSERT_EQ(read.entries.size(), whole) << "cut at " << cut;
    EXPECT_TRUE(std::equal(read.entries.begin(), read.entries.end(), written.begin()));
    bool atBoundary = cut == ends[whole];
    ASSERT_EQ(read.damage.has_value(), !atBoundary) << "cut at " << cut;
    if (!atBoundary) {
      EXPECT_EQ(read.damage->offset + read.damage->dropped, cut);
      EXPECT_EQ(read.end, read.damage->offset);
    }
  }
}

TEST(JournalReaderTest, DamageStopsAtTheLastGoodEntryWithItsReason) {
  std::vector<JournalEntry> written = {SampleEntry(140, u"one"), SampleEntry(301, u"two")};
  Bytes bytes = JournalOf(written);
  const size_t second = kJournalHeaderSize + EncodeJournalEntry(written[0]).size();
  struct Case {
    const char* name;
    size_t at;
    uint8_t value;
    const char* reason;
  } cases[] = {
      {"garbled payload", bytes.size() - 3, 0x5A, "checksum"},
      {"size beyond any message", second + 3, 0x7F, "beyond"},
      {"size cut in the middle", second + 1, 0x00, "cut short"},
  };
  for (const Case& c : cases) {
    Bytes damaged = bytes;
    damaged[c.at] ^= c.value == 0 ? 0xFF : c.value;
    JournalContents read = ReadJournal(damaged.data(), damaged.size());
    ASSERT_EQ(read.entries.size(), 1u) << c.name;
    EXPECT_EQ(read.entries[0], written[0]) << c.name;
    ASSERT_TRUE(read.damage) << c.name;
    EXPECT_EQ(read.damage->offset, second) << c.name;
    EXPECT_NE(read.damage->reason.find(c.reason), std::string::npos) << c.name << ": " << read.damage->reason;
  }
  Bytes notAJournal = bytes;
  notAJournal[0] = 'X';
  JournalContents foreign = ReadJournal(notAJournal.data(), notAJournal.size());
  EXPECT_FALSE(foreign.base);
  EXPECT_TRUE(foreign.entries.empty());
  ASSERT_TRUE(foreign.damage);
  EXPECT_EQ(foreign.damage->dropped, bytes.size());
}

TEST(JournalReaderTest, PayloadFieldsThatDoNotAddUpAreDamage) {
  JournalEntry entry = SampleEntry(140, u"one");
  Bytes encoded = EncodeJournalEntry(entry);
  // A label length one unit too long, with a checksum that matches the changed payload.
  uint8_t* payload = encoded.data() + kJournalEntryHeadSize;
  const size_t size = encoded.size() - kJournalEntryHeadSize;
  EncodeFixed32(payload + 16, DecodeFixed32(payload + 16) + 1);
  EncodeFixed32(encoded.data() + 4, JournalChecksum(payload, size));
  EXPECT_FALSE(DecodeJournalPayload(payload, size));
  Bytes bytes = JournalOf({});
  bytes.insert(bytes.end(), encoded.begin(), encoded.end());
  JournalContents read = ReadJournal(bytes.data(), bytes.size());
  EXPECT_TRUE(read.entries.empty());
  ASSERT_TRUE(read.damage);
  EXPECT_NE(read.damage->reason.find("do not add up"), std::string::npos);
}

class DocumentJournalTest : public testing::StoreTest {
 protected:
  static constexpr std::u16string_view kJournal = u"\\My Documents\\sms.kvt.jnl";

  void SetUp() override {
    CreateDocument();
    inbox = &AddFolder(tree.Root(), u"Inbox");
    bin = &AddBin();
    store.SetRecycleBin(bin);
    ASSERT_TRUE(store.Save(tree));
    saved = View(store, tree);
  }

  // Files a message the way the program does: record and body, node first in its folder,
  // journal entry. Returns whether the entry made it durable.
  bool File(std::u16string_view path, std::u16string label, std::u16string_view text,
            JournalTarget target = JournalTarget::kFolderPath, uint64_t ticket = 0) {
    TreeNode* folder = target == JournalTarget::kRecycleBin ? store.RecycleBin() : nullptr;
    if (target == JournalTarget::kFolderPath) {
      EXPECT_TRUE(FindOrCreateFolder(store, tree, path, FolderPlacement::kFirstChild, &folder));
    }
    NodeData data;
    data.offset = AppendMessageRecord(store, codePage, u"5550102", 46000.5, text);
    JournalEntry entry;
    entry.target = target;
    entry.folderPath = std::u16string(path);
    entry.label = label;
    entry.image = kImageUnread;
    entry.offset = data.offset;
    entry.ticket = ticket;
    tree.InsertFirstChild(folder ? *folder : tree.Root(), std::move(label), kImageUnread, data);
    if (target == JournalTarget::kRecycleBin) tree.SetImage(*bin, kImageBinFull);
    store.SetTreeChanged();
    return data.offset != 0 && store.JournalAppended(std::move(entry));
  }

  // The document as a killed process leaves it (every write in the file) or as a power cut
  // does (only what was synced), with the journal as it is on disk.
  std::vector<NodeView> AfterKill() { return ReopenCopy(FileBytes(), JournalBytes()); }
  std::vector<NodeView> AfterPowerCut() {
    return ReopenCopy(files.File(kPath)->synced, files.File(kJournal)->synced);
  }
  Bytes JournalBytes() { return files.Bytes(kJournal); }

  std::vector<NodeView> ReopenCopy(Bytes document, Bytes journal) {
    files.Put(u"copy.kvt", std::move(document));
    files.Put(u"copy.kvt.jnl", std::move(journal));
    MessageStore reader(files, offsets, codePage);
    FolderTree shown;
    if (!reader.Open(u"copy.kvt")) return {};
    reader.LoadIndex(shown);
    lastReport = reader.JournalReport();
    lastTicketOffset = reader.OffsetFiledFor(kTicket);
    return View(reader, shown);
  }

  // What the user filed since the last save, as it must show after any crash.
  std::vector<NodeView> Expected() { return View(store, tree); }

  static constexpr uint64_t kTicket = 77;
  TreeNode* inbox = nullptr;
  TreeNode* bin = nullptr;
  std::vector<NodeView> saved;
  JournalReplayReport lastReport;
  std::optional<uint32_t> lastTicketOffset;
};

TEST_F(DocumentJournalTest, AKilledProgramLosesNoFiledMessage) {
  ASSERT_TRUE(File(u"\\Inbox", u"first", u"Dinner at eight?", JournalTarget::kFolderPath, kTicket));
  ASSERT_TRUE(File(u"\\Work\\Boss", u"second", u"The report is due on Friday."));
  ASSERT_TRUE(File(u"", u"third", u"at the top"));
  ASSERT_TRUE(File(u"", u"binned", u"from a black-listed sender", JournalTarget::kRecycleBin));
  EXPECT_EQ(AfterKill(), Expected());
  EXPECT_EQ(lastReport.pending, 4u);
  EXPECT_EQ(lastReport.applied, 4u);
  EXPECT_EQ(lastReport.rewritten, 0u);
  EXPECT_TRUE(lastReport.problems.empty());
  // The reader knows which record holds the message of that ticket, for a hand-over again.
  EXPECT_EQ(lastTicketOffset, store.OffsetFiledFor(kTicket));
  EXPECT_TRUE(lastTicketOffset.has_value());
}

// The document's appends are not synced per message; the journal carries their bytes.
TEST_F(DocumentJournalTest, APowerCutLosesNoFiledMessageEither) {
  ASSERT_TRUE(File(u"\\Inbox", u"first", u"Dinner at eight?"));
  ASSERT_TRUE(File(u"\\Inbox", u"second", u"Bring the 💬 wine"));
  EXPECT_EQ(AfterPowerCut(), Expected());
  EXPECT_EQ(lastReport.applied, 2u);
  EXPECT_EQ(lastReport.rewritten, 2u);
}

// After a fall-back the tree comes from an older index than the header on disk names; a crash
// before the next save must still find the journal's messages.
TEST_F(DocumentJournalTest, AMessageFiledAfterAFallBackToAnOlderIndexSurvivesACrash) {
  const uint32_t older = testing::ParseRawHeader(FileBytes()).indexOffset;
  ASSERT_TRUE(File(u"\\Inbox", u"saved", u"in the newest index only"));
  ASSERT_TRUE(store.Save(tree));
  store.Close();
  Bytes bytes = FileBytes();
  bytes[testing::ParseRawHeader(bytes).indexOffset + 15] = 0x7f;  // its text runs past the end
  files.Put(kPath, bytes);
  ASSERT_TRUE(store.Open(kPath));
  ASSERT_TRUE(store.LoadIndex(tree));
  ASSERT_TRUE(store.FellBack());
  ASSERT_EQ(store.FellBack()->used, older);

  ASSERT_TRUE(File(u"\\Inbox", u"after", u"filed after the fall-back"));
  offsets.Remember(u"copy.kvt", older);
  std::vector<NodeView> shown = AfterKill();
  EXPECT_EQ(shown, Expected());
  EXPECT_EQ(lastReport.applied, 1u);
}

TEST_F(DocumentJournalTest, ASaveFoldsTheJournalAndNothingComesTwice) {
  ASSERT_TRUE(File(u"\\Inbox", u"first", u"one"));
  const Bytes pending = JournalBytes();
  ASSERT_TRUE(store.Save(tree));
  EXPECT_EQ(JournalBytes().size(), kJournalHeaderSize);
  EXPECT_EQ(AfterKill(), Expected());
  EXPECT_EQ(lastReport.applied, 0u);
  // A crash between the save and the journal's restart leaves the old entries beside an index
  // that holds them already.
  EXPECT_EQ(ReopenCopy(FileBytes(), pending), Expected());
  EXPECT_EQ(lastReport.pending, 0u);
  // Entries of the new base go on from there.
  ASSERT_TRUE(File(u"\\Inbox", u"second", u"two"));
  EXPECT_EQ(AfterKill(), Expected());
  EXPECT_EQ(lastReport.applied, 1u);
}

TEST_F(DocumentJournalTest, ATornLastEntryIsReportedAndTheRestOpens) {
  ASSERT_TRUE(File(u"\\Inbox", u"first", u"one"));
  std::vector<NodeView> first = Expected();
  ASSERT_TRUE(File(u"\\Inbox", u"second", u"two"));
  Bytes journal = JournalBytes();
  journal.resize(journal.size() - 5);
  EXPECT_EQ(ReopenCopy(FileBytes(), journal), first);
  ASSERT_EQ(lastReport.problems.size(), 1u);
  EXPECT_NE(lastReport.problems[0].find("cut short"), std::string::npos);
}

TEST_F(DocumentJournalTest, ADocumentReopenedAppliesAndFoldsOnce) {
  ASSERT_TRUE(File(u"\\Inbox", u"first", u"one"));
  std::vector<NodeView> expected = Expected();
  store.Close();
  FolderTree again;
  ASSERT_TRUE(store.Open(kPath));
  ASSERT_TRUE(store.LoadIndex(again));
  EXPECT_EQ(View(store, again), expected);
  EXPECT_TRUE(store.TreeChanged());
  ASSERT_TRUE(store.Save(again));
  store.Close();
  EXPECT_EQ(Reopen(), expected);
}

TEST_F(DocumentJournalTest, NothingIsHeldOrSavedWhenTheDocumentIsGoneOrReplaced) {
  files.Remove(kPath);
  EXPECT_FALSE(File(u"\\Inbox", u"into a deleted file", u"one"));
  EXPECT_FALSE(store.Save(tree)) << "a save into a deleted file reaches no reader";
  files.Put(kPath, FileBytes(u"copy.kvt"));
  EXPECT_FALSE(File(u"\\Inbox", u"into a file another put there", u"two"));
  EXPECT_FALSE(store.Save(tree));
  EXPECT_FALSE(store.Save(tree)) << "nor does a second one, with nothing left to write";
}

TEST_F(DocumentJournalTest, NothingIsHeldWhenTheDiskIsFull) {
  files.FailWrite(1, true, 10);
  EXPECT_FALSE(File(u"\\Inbox", u"first", u"one"));
  EXPECT_FALSE(File(u"\\Inbox", u"second", u"two"));
  // The journal's sync is what makes a message held: a failed journal write alone is enough.
  files.FailWrite(1000000);
  ASSERT_TRUE(File(u"\\Inbox", u"third", u"three"));
  files.FailWrite(2);  // the record goes out, its journal entry does not
  EXPECT_FALSE(File(u"\\Inbox", u"fourth", u"four"));
}

TEST_F(DocumentJournalTest, ANewDocumentAtTheSamePathStartsWithoutTheOldJournal) {
  ASSERT_TRUE(File(u"\\Inbox", u"first", u"one"));
  store.Close();
  tree.Clear();
  CreateDocument();
  EXPECT_EQ(JournalBytes().size(), kJournalHeaderSize);
  EXPECT_TRUE(Reopen().empty());
}

}  // namespace
}  // namespace brevalo
