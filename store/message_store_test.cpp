#include "store/message_store.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <thread>

#include "device/registry.h"
#include "device/system_time.h"
#include "store/store_index.h"
#include "store/store_test_support.h"

namespace brevalo {
namespace {

using testing::Bytes;
using testing::NodeView;
using testing::ParseRawHeader;
using testing::ParseRawIndex;
using testing::ParseRawRecord;
using testing::RawU32;

class MessageStoreTest : public testing::StoreTest {};

TEST_F(MessageStoreTest, NewFileIsHeaderAndEmptyIndexHead) {
  double before = CurrentOleDate();
  CreateDocument(u"Ann", u"pw");
  Bytes bytes = FileBytes();
  ASSERT_EQ(bytes.size(), 140u);
  testing::RawHeader header = ParseRawHeader(bytes);
  EXPECT_EQ(header.signature, "Lorqa");
  EXPECT_EQ(header.version, 3u);
  EXPECT_EQ(header.indexOffset, 120u);
  EXPECT_EQ(header.author, "Ann");
  EXPECT_EQ(header.password, "pw");
  EXPECT_GE(header.buildDate, before - 1e-6);
  EXPECT_GE(header.modifyDate, header.buildDate);
  for (size_t at = 120; at < 140; ++at) EXPECT_EQ(bytes[at], 0) << at;

  store.Close();
  FolderTree shown;
  ASSERT_TRUE(store.Open(kPath));
  EXPECT_TRUE(store.LoadIndex(shown));
  EXPECT_TRUE(shown.Empty());
  EXPECT_EQ(store.Author(), u"Ann");
  EXPECT_EQ(store.Password(), u"pw");
}

TEST_F(MessageStoreTest, OpenAndCreateRefuseWhileOpenAndShortFiles) {
  CreateDocument();
  EXPECT_FALSE(store.Open(kPath));
  EXPECT_FALSE(store.Create(u"other.kvt", StoreHeader{}));
  EXPECT_FALSE(files.Exists(u"other.kvt"));
  store.Close();
  files.Put(u"short.kvt", Bytes(119, 0));
  EXPECT_FALSE(store.Open(u"short.kvt"));
  EXPECT_FALSE(store.IsOpen());
  // A failed open leaves nothing behind that would block the next one.
  EXPECT_TRUE(store.Open(kPath));
  EXPECT_FALSE(store.Open(u"missing.kvt"));
}

TEST_F(MessageStoreTest, SavedTreeReadsBackWithRecordsAndTexts) {
  CreateDocument();
  TreeNode& inbox = AddFolder(tree.Root(), u"Inbox");
  AddMessage(inbox, u"Hi there", u"+4912345", u"Hi there, how are you?", kImageUnread);
  TreeNode& work = AddFolder(inbox, u"Arbeit für Jürgen");
  AddMessage(work, u"会议", u"10086", u"明天开会 at 9", kImageRead);
  AddFolder(tree.Root(), u"Sent Box");
  AddBin(true);
  ASSERT_TRUE(store.Save(tree));

  std::vector<NodeView> expected = {
      {0, u"Inbox", 1, u""},
      {1, u"Hi there", 3, u"Hi there, how are you?"},
      {1, u"Arbeit für Jürgen", 1, u""},
      {2, u"会议", 2, u"明天开会 at 9"},
      {0, u"Sent Box", 1, u""},
      {0, u"Recycle Bin", 5, u""},
  };
  EXPECT_EQ(View(store, tree), expected);
  store.Close();
  EXPECT_EQ(Reopen(), expected);

  MessageStore reader(files, offsets, codePage);
  FolderTree shown;
  ASSERT_TRUE(reader.Open(kPath));
  reader.LoadIndex(shown);
  ASSERT_NE(reader.RecycleBin(), nullptr);
  EXPECT_EQ(reader.RecycleBin()->Image(), kImageBinFull);
  EXPECT_EQ(reader.RecycleBin()->Data().offset, 0u);
  ASSERT_TRUE(reader.ReadRecord(shown.Root().Child(0)->Child(0)->Data().offset));
  EXPECT_EQ(reader.RecordNumber(), u"+4912345");
  EXPECT_EQ(reader.Record().format, kBodyCompressed);
  EXPECT_EQ(reader.Record().hasBody, 1u);
}

TEST_F(MessageStoreTest, IndexMatchesTheByteLayout) {
  CreateDocument();
  TreeNode& inbox = AddFolder(tree.Root(), u"Inbox");
  TreeNode& message = AddMessage(inbox, u"Hello", u"555", u"Body");
  AddBin();
  ASSERT_TRUE(store.Save(tree));
  Bytes bytes = FileBytes();
  testing::RawHeader header = ParseRawHeader(bytes);
  testing::RawIndex index = ParseRawIndex(bytes, header.indexOffset);
  // "Inbox\r\n\tHello\r\nRecycle Bin\r\n" and the zero byte: 29 bytes, one plain tail byte.
  EXPECT_EQ(index.textSize, 29u);
  EXPECT_EQ(index.plainText, std::string("Inbox\r\n\tHello\r\nRecycle Bin\r\n\0", 29));
  EXPECT_EQ(bytes[header.indexOffset + 20 + 28], 0) << "the tail byte is not scrambled";
  ASSERT_EQ(index.nodeCount, 3u);
  EXPECT_EQ(index.entries[0].offset, inbox.Data().offset);
  EXPECT_EQ(index.entries[0].kind, 1u);
  EXPECT_EQ(index.entries[1].depth, 1);
  EXPECT_EQ(index.entries[1].offset, message.Data().offset);
  EXPECT_EQ(index.entries[1].kind, 3u);
  EXPECT_EQ(index.entries[2].offset, 0u);
  EXPECT_EQ(index.entries[2].kind, 70u);
  EXPECT_EQ(index.end, bytes.size());
  testing::RawRecord record = ParseRawRecord(bytes, message.Data().offset);
  EXPECT_EQ(record.number, "555");
  EXPECT_EQ(record.text, "Body");
  EXPECT_EQ(record.format, 3u);
}

TEST_F(MessageStoreTest, TailBytesStayPlainForEveryRemainder) {
  CreateDocument();
  TreeNode& node = AddFolder(tree.Root(), u"");
  for (std::u16string label : {u"a", u"ab", u"abc", u"abcd"}) {
    tree.SetLabel(node, label);
    store.SetTreeChanged();
    ASSERT_TRUE(store.Save(tree));
    Bytes bytes = FileBytes();
    uint32_t at = ParseRawHeader(bytes).indexOffset;
    uint32_t size = RawU32(bytes, at + 12);
    ASSERT_EQ(size, label.size() + 3);
    std::string plain = ToUtf8(label) + std::string("\r\n\0", 3);
    for (size_t i = size / 4 * 4; i < size; ++i) {
      EXPECT_EQ(bytes[at + 20 + i], static_cast<uint8_t>(plain[i])) << "size " << size;
    }
    store.Close();
    EXPECT_EQ(Reopen(), (std::vector<NodeView>{{0, label, 1, u""}}));
    ASSERT_TRUE(store.Open(kPath));
    FolderTree reread;
    store.LoadIndex(reread);
  }
}

TEST_F(MessageStoreTest, EachChangedSaveAppendsOneIndexAndTheHeaderNamesIt) {
  CreateDocument();
  TreeNode& inbox = AddFolder(tree.Root(), u"Inbox");
  ASSERT_TRUE(store.Save(tree));
  for (int i = 0; i < 3; ++i) {
    AddMessage(inbox, u"m" + std::u16string(1, static_cast<char16_t>(u'0' + i)), u"1", u"text");
    uint64_t before = *store.FileSize();
    ASSERT_TRUE(store.Save(tree));
    Bytes bytes = FileBytes();
    testing::RawHeader header = ParseRawHeader(bytes);
    EXPECT_EQ(header.indexOffset, before);
    testing::RawIndex index = ParseRawIndex(bytes, header.indexOffset);
    EXPECT_EQ(index.nodeCount, static_cast<uint32_t>(2 + i));
    EXPECT_EQ(bytes.size(), before + 20 + index.textSize + 8 * index.nodeCount);
  }
  uint64_t size = *store.FileSize();
  ASSERT_TRUE(store.Save(tree));  // nothing changed
  EXPECT_EQ(*store.FileSize(), size);
}

TEST_F(MessageStoreTest, TreeOfOnlyAnEmptyBin) {
  CreateDocument();
  AddBin();
  ASSERT_TRUE(store.Save(tree));
  Bytes bytes = FileBytes();
  testing::RawIndex index = ParseRawIndex(bytes, ParseRawHeader(bytes).indexOffset);
  EXPECT_EQ(index.plainText, std::string("Recycle Bin\r\n\0", 14));
  ASSERT_EQ(index.nodeCount, 1u);
  EXPECT_EQ(index.entries[0].offset, 0u);
  EXPECT_EQ(index.entries[0].kind, 70u);
}

TEST_F(MessageStoreTest, SharedRecordsKeepOneOffset) {
  CreateDocument();
  TreeNode& inbox = AddFolder(tree.Root(), u"Inbox");
  TreeNode& keep = AddFolder(tree.Root(), u"Keep");
  TreeNode& message = AddMessage(inbox, u"twice", u"1", u"shared text");
  tree.CopySubtree(message, keep);
  store.SetTreeChanged();
  ASSERT_TRUE(store.Save(tree));
  Bytes bytes = FileBytes();
  testing::RawIndex index = ParseRawIndex(bytes, ParseRawHeader(bytes).indexOffset);
  ASSERT_EQ(index.nodeCount, 4u);
  EXPECT_EQ(index.entries[1].offset, message.Data().offset);
  EXPECT_EQ(index.entries[3].offset, message.Data().offset);
}

TEST_F(MessageStoreTest, LargeTreeIsWrittenInPortionsAsOneRun) {
  CreateDocument();
  // About 5 bytes per unit in UTF-8 would not fit a single portion in any form.
  std::u16string label = u"Ünïcödé 名前 folder name that is long enough";
  TreeNode& top = AddFolder(tree.Root(), u"Top");
  StoreRecord folder;
  store.MutableRecord() = folder;
  uint32_t shared = store.AppendRecord();
  for (int i = 0; i < 6000; ++i) {
    TreeNode& parent = i % 2 ? top : tree.Root();
    tree.InsertLastChild(parent, label + std::u16string(1, u'a' + i % 26) + u"😀", 1,
                         NodeData{shared, 0, 0});
  }
  store.SetTreeChanged();
  ASSERT_TRUE(store.Save(tree));
  Bytes bytes = FileBytes();
  testing::RawIndex index = ParseRawIndex(bytes, ParseRawHeader(bytes).indexOffset);
  ASSERT_GT(index.textSize, 2 * kIndexPortionUnits);
  ASSERT_EQ(index.entries.size(), tree.Count());
  size_t i = 0;
  tree.Walk([&](const TreeNode& node, int depth) {
    EXPECT_EQ(index.entries[i].label, ToUtf8(node.Label())) << i;
    EXPECT_EQ(index.entries[i].depth, depth) << i;
    ++i;
  });
  store.Close();
  MessageStore reader(files, offsets, codePage);
  FolderTree shown;
  ASSERT_TRUE(reader.Open(kPath));
  reader.LoadIndex(shown);
  EXPECT_EQ(View(reader, shown), View(reader, tree));
}

TEST_F(MessageStoreTest, LabelsThatWouldBreakTheirLineAreWrittenAsOneLine) {
  CreateDocument();
  AddFolder(tree.Root(), u"two\r\nlines");
  AddFolder(tree.Root(), u"\t\tindented");
  AddFolder(tree.Root(), std::u16string(u"nul\0inside", 10));
  ASSERT_TRUE(store.Save(tree));
  store.Close();
  EXPECT_EQ(Reopen(), (std::vector<NodeView>{{0, u"two  lines", 1, u""},
                                             {0, u"  indented", 1, u""},
                                             {0, u"nul inside", 1, u""}}));
}

// An index written by hand, for trees our writer never produces.
Bytes HandWrittenIndex(const std::string& text,
                       const std::vector<std::pair<uint32_t, uint32_t>>& table) {
  Bytes bytes(kHeaderSize, 0);
  EncodeFixed32(bytes.data() + 8, kHeaderSize);
  Bytes head(20, 0);
  EncodeFixed32(head.data() + 8, static_cast<uint32_t>(table.size()));
  EncodeFixed32(head.data() + 12, static_cast<uint32_t>(text.size()));
  EncodeFixed32(head.data() + 4, 0xFFFFFFFF);  // NOT K = 0: the text stays as it is
  bytes.insert(bytes.end(), head.begin(), head.end());
  bytes.insert(bytes.end(), text.begin(), text.end());
  for (auto [offset, kind] : table) {
    Bytes entry(8);
    EncodeFixed32(entry.data(), offset);
    EncodeFixed32(entry.data() + 4, kind);
    bytes.insert(bytes.end(), entry.begin(), entry.end());
  }
  return bytes;
}

TEST_F(MessageStoreTest, ReadsIrregularIndexText) {
  std::string text = "a\r\n\t\t\tdeep\r\r\n\tb\r\n\r\nno end";
  text.push_back('\0');
  files.Put(u"odd.kvt", HandWrittenIndex(text, {{0, 1}, {0, 2}, {0, 71}, {0, 1}, {0, 1}, {0, 4}}));
  InMemoryIndexOffsetMemory none;
  // The deep line hangs one below its predecessor; a CR right after a CR ends an empty line;
  // bins are named by their kind; the last line has no line end.
  EXPECT_EQ(Reopen(u"odd.kvt", none), (std::vector<NodeView>{{0, u"a", 1, u""},
                                                             {1, u"deep", 2, u""},
                                                             {0, u"Recycle Bin", 5, u""},
                                                             {1, u"b", 1, u""},
                                                             {0, u"", 1, u""},
                                                             {0, u"Recycle Bin", 4, u""}}));
}

TEST_F(MessageStoreTest, MoreLinesThanEntriesDropsTheRest) {
  files.Put(u"odd.kvt", HandWrittenIndex(std::string("x\r\ny\r\nz\r\n\0", 10), {{0, 1}}));
  InMemoryIndexOffsetMemory none;
  EXPECT_EQ(Reopen(u"odd.kvt", none), (std::vector<NodeView>{{0, u"x", 1, u""}}));
}

TEST_F(MessageStoreTest, BadIndexFallsBackToTheRememberedOne) {
  CreateDocument();
  AddFolder(tree.Root(), u"first");
  ASSERT_TRUE(store.Save(tree));
  AddFolder(tree.Root(), u"second");
  ASSERT_TRUE(store.Save(tree));
  store.Close();
  // Saving remembers the index that the header named before.
  uint32_t firstIndex = *offsets.Recall(kPath);
  Bytes bytes = FileBytes();
  EncodeFixed32(bytes.data() + 8, static_cast<uint32_t>(bytes.size() + 1000));
  files.Put(kPath, bytes);
  EXPECT_EQ(Reopen(), (std::vector<NodeView>{{0, u"first", 1, u""}}));
  EXPECT_EQ(*offsets.Recall(kPath), firstIndex);

  // A save after the fall-back must remember that readable index, not the damaged offset.
  MessageStore again(files, offsets, codePage);
  FolderTree shown;
  ASSERT_TRUE(again.Open(kPath));
  again.LoadIndex(shown);
  again.SetTreeChanged();
  ASSERT_TRUE(again.Save(shown));
  EXPECT_EQ(*offsets.Recall(kPath), firstIndex);

  offsets.Forget(kPath);
  files.Put(kPath, bytes);
  MessageStore lost(files, offsets, codePage);
  ASSERT_TRUE(lost.Open(kPath));
  EXPECT_FALSE(lost.LoadIndex(shown));
  EXPECT_TRUE(shown.Empty());
}

TEST(RegistryIndexOffsetMemoryTest, KeepsOneDwordPerPathUnderTheIndexKey) {
  auto dir = std::filesystem::temp_directory_path() / "store_registry_test";
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  Registry registry(dir / "registry.reg");
  ASSERT_TRUE(registry.Load());
  RegistryIndexOffsetMemory memory(registry);
  EXPECT_FALSE(memory.Recall(u"\\My Documents\\a.kvt"));
  memory.Remember(u"\\My Documents\\a.kvt", 1234);
  memory.Remember(u"\\My Documents\\b.kvt", 99);
  EXPECT_EQ(memory.Recall(u"\\My Documents\\a.kvt"), 1234u);
  EXPECT_EQ(registry.QueryDword(RegRoot::CurrentUser, u"Software\\Velmora\\Index",
                                u"\\My Documents\\b.kvt"),
            99u);
  std::filesystem::remove_all(dir);
}

TEST_F(MessageStoreTest, FailedRecordAndBodyWritesAreReported) {
  CreateDocument();
  files.FailWrite(1);
  EXPECT_EQ(store.AppendRecord(), 0u);
  files.FailWrite(1, false, kRecordSize);
  EXPECT_EQ(store.AppendRecordWithBody(std::string("text\0", 5)), 0u)
      << "the record landed, its body did not";
  uint32_t offset = store.AppendRecord();
  ASSERT_NE(offset, 0u);
  files.FailWrite(1);
  EXPECT_EQ(store.RewriteRecord(offset), 0u);
  std::u16string text = u"new text";
  files.FailWrite(1, false, 50);
  EXPECT_EQ(store.UpdateMessage(&text, offset), 0u);
  EXPECT_EQ(store.RewriteRecord(offset), offset);
  EXPECT_EQ(store.RewriteRecord(3), 0u) << "no record lives inside the header";
  EXPECT_EQ(store.RewriteRecord(static_cast<uint32_t>(*store.FileSize())), 0u);
  // What failed halfway stays behind as dead bytes; the next record goes after it.
  uint32_t next = store.AppendRecordWithBody(std::string("after\0", 6));
  ASSERT_NE(next, 0u);
  ASSERT_TRUE(store.ReadRecord(next));
  EXPECT_EQ(store.ReadBodyText(), u"after");
}

TEST_F(MessageStoreTest, FailedSaveKeepsThePreviousIndex) {
  CreateDocument();
  AddFolder(tree.Root(), u"saved");
  ASSERT_TRUE(store.Save(tree));
  AddMessage(*tree.Root().Child(0), u"unsaved", u"1", u"text");
  for (int failing = 1;; ++failing) {
    files.FailWrite(failing);
    bool saved = store.Save(tree);
    if (saved) {
      EXPECT_GT(failing, 4) << "head, text, table, head and the header all write";
      break;
    }
    EXPECT_TRUE(store.TreeChanged() || store.HeaderChanged()) << failing;
    MessageStore reader(files, offsets, codePage);
    FolderTree shown;
    ASSERT_TRUE(reader.Open(kPath, StoreAccess::kRead));
    reader.LoadIndex(shown);
    EXPECT_EQ(View(reader, shown).size(), 1u) << failing;
  }
  EXPECT_FALSE(store.TreeChanged());
  EXPECT_FALSE(store.HeaderChanged());
  store.Close();
  EXPECT_EQ(Reopen().size(), 2u);
}

TEST_F(MessageStoreTest, UpdateMessageMovesTextOrDropsIt) {
  CreateDocument();
  TreeNode& draft = AddMessage(tree.Root(), u"draft", u"", u"first words");
  ASSERT_TRUE(store.ReadRecord(draft.Data().offset));
  std::u16string text = u"second words";
  uint32_t moved = store.UpdateMessage(&text, draft.Data().offset);
  ASSERT_NE(moved, 0u);
  EXPECT_GT(moved, draft.Data().offset);
  ASSERT_TRUE(store.ReadRecord(moved));
  EXPECT_EQ(store.ReadBodyText(), u"second words");
  EXPECT_EQ(store.UpdateMessage(nullptr, moved), moved);
  ASSERT_TRUE(store.ReadRecord(moved));
  EXPECT_EQ(store.Record().hasBody, 0u);
  EXPECT_EQ(store.ReadBodyText(), u"");
}

TEST_F(MessageStoreTest, RecordFieldsAreCutAtTheirBounds) {
  CreateDocument();
  store.MutableRecord() = StoreRecord{};
  store.SetRecordNumber(std::u16string(80, u'9'));
  store.SetRecordAuthor(u"a very long author name");
  store.SetRecordPassword(u"ünïcödé-pässwörd");
  uint32_t offset = store.AppendRecord();
  ASSERT_TRUE(store.ReadRecord(offset));
  EXPECT_EQ(store.RecordNumber(), std::u16string(51, u'9'));
  EXPECT_EQ(store.RecordAuthor(), u"a very long aut");
  EXPECT_LE(ToUtf8(store.RecordPassword()).size(), 11u);
  EXPECT_EQ(store.RecordPassword(), u"ünïcödé") << "cut at a character boundary";
}

TEST_F(MessageStoreTest, ReadsOfDamageFailWithoutTouchingTheRecord) {
  CreateDocument();
  TreeNode& message = AddMessage(tree.Root(), u"m", u"42", u"text");
  ASSERT_TRUE(store.ReadRecord(message.Data().offset));
  EXPECT_FALSE(store.ReadRecord(static_cast<uint32_t>(*store.FileSize()) - 10));
  EXPECT_EQ(store.RecordNumber(), u"42");
  EXPECT_FALSE(store.ReadBody()) << "no record was read last";
  EXPECT_FALSE(store.ReadRecord(0));
}

TEST_F(MessageStoreTest, LockNestsAndReleasesOnlyWhatIsHeld) {
  store.Lock();
  store.Lock();
  EXPECT_EQ(store.LockDepth(), 2);
  std::atomic<bool> otherGotIt = false;
  std::thread other([&] {
    store.Lock();
    otherGotIt = true;
    store.Unlock();
  });
  store.Unlock();
  EXPECT_EQ(store.LockDepth(), 1);
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_FALSE(otherGotIt) << "the lock is still held once";
  store.Unlock();
  other.join();
  EXPECT_TRUE(otherGotIt);
  EXPECT_EQ(store.LockDepth(), 0);
  store.Unlock();  // nothing held: ignored
  EXPECT_EQ(store.LockDepth(), 0);
}

// One writer per document: a second one is refused at once, a reader needs no lock and writes
// nothing, and a new document is never made over one that another writer has open.
TEST_F(MessageStoreTest, OneWriterAtATimeAndReadersWriteNothing) {
  CreateDocument();
  AddMessage(tree.Root(), u"one", u"1", u"text");
  ASSERT_TRUE(store.Save(tree));
  const Bytes before = FileBytes();

  MessageStore second(files, offsets, codePage);
  EXPECT_FALSE(second.Open(kPath));
  EXPECT_EQ(second.LastOpenError(), StoreOpenError::kLocked);
  EXPECT_FALSE(second.Create(kPath, StoreHeader{}));
  EXPECT_EQ(second.LastOpenError(), StoreOpenError::kLocked);
  EXPECT_EQ(FileBytes(), before) << "the refused Create emptied nothing";

  MessageStore reader(files, offsets, codePage);
  FolderTree shown;
  ASSERT_TRUE(reader.Open(kPath, StoreAccess::kRead));
  ASSERT_TRUE(reader.LoadIndex(shown));
  EXPECT_EQ(View(reader, shown).size(), 1u);
  shown.Clear();
  reader.SetTreeChanged();
  EXPECT_FALSE(reader.Save(shown));
  EXPECT_EQ(reader.AppendRecord(StoreRecord{}), 0u);
  EXPECT_EQ(FileBytes(), before) << "a reader wrote";

  store.Close();
  EXPECT_TRUE(second.Open(kPath)) << "free once the writer has closed it";
  EXPECT_FALSE(store.Open(kPath));
  EXPECT_EQ(store.LastOpenError(), StoreOpenError::kLocked);
}

}  // namespace
}  // namespace brevalo
