#include <gtest/gtest.h>

#include <set>

#include "store/message_store.h"
#include "store/store_test_support.h"

namespace brevalo {
namespace {

using testing::Bytes;
using testing::NodeView;
using testing::ParseRawHeader;
using testing::ParseRawIndex;
using testing::ParseRawRecord;

constexpr std::u16string_view kBan = u"\\My Documents\\sms.kvt.ban";
constexpr std::u16string_view kBak = u"\\My Documents\\sms.kvt.bak";

class CompactTest : public testing::StoreTest {
 protected:
  // A document whose records were rewritten over and over, with a message filed twice.
  void BuildWornDocument() {
    CreateDocument(u"Owner", u"secret");
    TreeNode& inbox = AddFolder(tree.Root(), u"Inbox");
    TreeNode& keep = AddFolder(tree.Root(), u"Keep");
    for (int i = 0; i < 5; ++i) {
      TreeNode& message = AddMessage(inbox, u"msg" + std::u16string(1, char16_t(u'0' + i)),
                                     u"+100" + std::u16string(1, char16_t(u'0' + i)),
                                     u"first text " + std::u16string(1, char16_t(u'0' + i)));
      for (int round = 0; round < 4; ++round) {
        ASSERT_TRUE(store.ReadRecord(message.Data().offset));
        std::u16string text =
            u"text round " + std::u16string(1, char16_t(u'0' + round)) + u" of " + message.Label();
        uint32_t moved = store.UpdateMessage(&text, message.Data().offset);
        ASSERT_NE(moved, 0u);
        tree.SetData(message, NodeData{moved, 0, 0});
        ASSERT_EQ(store.RewriteRecord(moved), moved);
        store.SetTreeChanged();
        ASSERT_TRUE(store.Save(tree));
      }
    }
    tree.CopySubtree(*inbox.Child(2), keep);
    AddBin(true);
    ASSERT_TRUE(store.Save(tree));
  }
};

TEST_F(CompactTest, CopyHoldsOneRecordPerNodeAndTheSameTree) {
  BuildWornDocument();
  std::vector<NodeView> before = View(store, tree);
  Bytes source = FileBytes();
  ASSERT_TRUE(store.CompactTo(kBan, tree));
  EXPECT_EQ(FileBytes(), source) << "the source is not changed";

  Bytes copy = FileBytes(kBan);
  testing::RawHeader header = ParseRawHeader(copy);
  EXPECT_EQ(header.author, "Owner");
  EXPECT_EQ(header.password, "secret");
  EXPECT_EQ(header.signature, "Lorqa");
  // Records follow the empty first index back to back, then comes the one index.
  size_t at = 140;
  std::vector<size_t> records;
  while (at < header.indexOffset) {
    records.push_back(at);
    at = ParseRawRecord(copy, at).end;
  }
  EXPECT_EQ(at, header.indexOffset);
  testing::RawIndex index = ParseRawIndex(copy, header.indexOffset);
  EXPECT_EQ(index.end, copy.size());
  ASSERT_EQ(index.nodeCount, tree.Count());

  std::vector<size_t> named;
  for (const testing::RawEntry& entry : index.entries) {
    if (entry.kind == 71) {
      EXPECT_EQ(entry.offset, 0u);
      EXPECT_EQ(entry.label, "Recycle Bin");
    } else {
      named.push_back(entry.offset);
    }
  }
  EXPECT_EQ(named, records) << "each node has its own record, in tree order";
  // The message filed twice is copied twice.
  EXPECT_EQ(named.size(), tree.Count() - 1);
  EXPECT_EQ(std::set<size_t>(named.begin(), named.end()).size(), named.size());
  EXPECT_EQ(ParseRawRecord(copy, index.entries[3].offset).text,
            ParseRawRecord(copy, index.entries[7].offset).text);
  EXPECT_EQ(ParseRawRecord(copy, index.entries[7].offset).number, "+1002");

  EXPECT_EQ(Reopen(kBan), before);
  EXPECT_LT(copy.size(), source.size() / 3);
}

TEST_F(CompactTest, LargeDocumentCopiesThroughReadWindowsAndWritePieces) {
  CreateDocument();
  TreeNode& a = AddFolder(tree.Root(), u"A");
  TreeNode& b = AddFolder(tree.Root(), u"B");
  uint32_t seed = 1;
  auto noise = [&](size_t size) {
    std::u16string text;
    for (size_t i = 0; i < size; ++i) {
      seed = seed * 1103515245 + 12345;
      text.push_back(static_cast<char16_t>(u'!' + (seed >> 16) % 90));
    }
    return text;
  };
  // Filed alternately, so that tree order jumps back and forth through the file; one body is
  // larger than a read window.
  for (int i = 0; i < 3000; ++i) {
    AddMessage(i % 2 ? a : b, u"m", u"1", noise(i == 1500 ? 40000 : 50 + i % 700));
  }
  ASSERT_TRUE(store.Save(tree));
  std::vector<NodeView> before = View(store, tree);
  ASSERT_TRUE(store.CompactTo(kBan, tree));
  EXPECT_EQ(Reopen(kBan), before);
}

TEST_F(CompactTest, OldScrambledBodiesMoveOverReadable) {
  CreateDocument();
  store.Close();
  // A record of the old scrambled format, as earlier files hold them.
  Bytes bytes = FileBytes();
  uint32_t offset = static_cast<uint32_t>(bytes.size());
  StoreRecord record;
  record.format = kBodyScrambled1;
  record.hasBody = 1;
  std::memcpy(record.number, "777", 3);
  const uint32_t key = 0x0BADF00D;
  Bytes raw(kRecordSize);
  EncodeRecord(record, key, raw.data());
  std::string text("an old message");  // 14 bytes + zero: three plain tail bytes
  text.push_back('\0');
  Bytes body(4 + text.size());
  EncodeFixed32(body.data(), static_cast<uint32_t>(text.size()));
  std::memcpy(body.data() + 4, text.data(), text.size());
  ScrambleWords(~key, body.data() + 4, text.size() / 4);
  bytes.insert(bytes.end(), raw.begin(), raw.end());
  bytes.insert(bytes.end(), body.begin(), body.end());
  files.Put(kPath, bytes);

  ASSERT_TRUE(store.Open(kPath));
  tree.InsertLastChild(tree.Root(), u"old", kImageRead, NodeData{offset, 0, 0});
  ASSERT_EQ(View(store, tree)[0].text, u"an old message");
  ASSERT_TRUE(store.CompactTo(kBan, tree));
  EXPECT_EQ(Reopen(kBan), (std::vector<NodeView>{{0, u"old", kImageRead, u"an old message"}}));
  Bytes copy = FileBytes(kBan);
  testing::RawRecord copied = ParseRawRecord(copy, 140);
  EXPECT_EQ(copied.format, kBodyCompressed);
  EXPECT_EQ(copied.text, "an old message");
}

TEST_F(CompactTest, UnreadableRecordFailsTheCopy) {
  CreateDocument();
  AddFolder(tree.Root(), u"fine");
  tree.InsertLastChild(tree.Root(), u"gone", kImageRead, NodeData{1u << 30, 0, 0});
  EXPECT_FALSE(store.CompactTo(kBan, tree));
}

TEST_F(CompactTest, CompressReplacesTheFileAndKeepsABackup) {
  BuildWornDocument();
  std::vector<NodeView> before = View(store, tree);
  Bytes original = FileBytes();
  int asked = 0;
  auto ask = [&](const std::u16string&) { return ++asked, false; };
  EXPECT_EQ(store.Compress(tree, ask), CompressResult::kDone);
  EXPECT_EQ(asked, 0);
  EXPECT_TRUE(store.IsOpen());
  EXPECT_FALSE(files.Exists(kBan));
  EXPECT_EQ(FileBytes(kBak), original);
  EXPECT_LT(FileBytes().size(), original.size());
  EXPECT_EQ(View(store, tree), before) << "the tree is read again from the compacted file";
  ASSERT_NE(store.RecycleBin(), nullptr);
  EXPECT_EQ(store.Author(), u"Owner");
}

TEST_F(CompactTest, FallBackNamesAnIndexOfTheCompactedFile) {
  CreateDocument();
  TreeNode& folder = AddFolder(tree.Root(), u"soon gone");
  ASSERT_TRUE(store.Save(tree));
  tree.Remove(folder);
  store.SetTreeChanged();
  ASSERT_TRUE(store.Save(tree));
  // An empty tree is not remembered when read, so only Compress can put this right.
  EXPECT_EQ(store.Compress(tree, [](const std::u16string&) { return true; }),
            CompressResult::kDone);
  EXPECT_EQ(offsets.Recall(kPath), ParseRawHeader(FileBytes()).indexOffset);
  EXPECT_EQ(FileBytes().size(), 160u);
}

TEST_F(CompactTest, FailingBackupAsksAndCancelRemovesTheBanFile) {
  BuildWornDocument();
  Bytes original = FileBytes();
  files.FailCopyTo(kBak);
  std::u16string question;
  auto cancel = [&](const std::u16string& text) { return question = text, false; };
  EXPECT_EQ(store.Compress(tree, cancel), CompressResult::kCancelled);
  EXPECT_EQ(question, u"Backup file error! Do you want to continue?");
  EXPECT_FALSE(store.IsOpen());
  EXPECT_FALSE(files.Exists(kBan));
  EXPECT_FALSE(files.Exists(kBak));
  EXPECT_EQ(FileBytes(), original);
}

TEST_F(CompactTest, FailingBackupMayBeIgnored) {
  BuildWornDocument();
  std::vector<NodeView> before = View(store, tree);
  files.FailCopyTo(kBak);
  EXPECT_EQ(store.Compress(tree, [](const std::u16string&) { return true; }),
            CompressResult::kDone);
  EXPECT_EQ(View(store, tree), before);
  EXPECT_FALSE(files.Exists(kBak));
}

TEST_F(CompactTest, FailingCopyBackLeavesBothFiles) {
  BuildWornDocument();
  Bytes original = FileBytes();
  files.FailCopyTo(kPath);
  EXPECT_EQ(store.Compress(tree, [](const std::u16string&) { return true; }),
            CompressResult::kCopyBackFailed);
  EXPECT_FALSE(store.IsOpen());
  EXPECT_TRUE(files.Exists(kBan));
  EXPECT_EQ(FileBytes(kBak), original);
  EXPECT_EQ(FileBytes(), original);
}

TEST_F(CompactTest, ACompactedFileThatCannotBeReadAgainLeavesTheDocumentClosed) {
  BuildWornDocument();
  Bytes original = FileBytes();
  files.CutCopyTo(kPath, 130);
  EXPECT_EQ(store.Compress(tree, [](const std::u16string&) { return true; }),
            CompressResult::kReopenFailed);
  EXPECT_FALSE(store.IsOpen()) << "an empty tree must not stay open over the file to be saved";
  EXPECT_EQ(FileBytes(kBak), original);
}

TEST_F(CompactTest, FailingCompactionKeepsTheDocumentOpen) {
  BuildWornDocument();
  Bytes original = FileBytes();
  std::vector<NodeView> before = View(store, tree);
  int failing = 1;
  for (;; ++failing) {
    files.FailWrite(failing, true);
    CompressResult result = store.Compress(tree, [](const std::u16string&) { return true; });
    if (result == CompressResult::kDone) break;
    ASSERT_EQ(result, CompressResult::kCompactFailed) << failing;
    EXPECT_TRUE(store.IsOpen());
    EXPECT_FALSE(files.Exists(kBan));
    EXPECT_EQ(FileBytes(), original);
  }
  // The empty index and header of the new file, its records, index parts and header.
  EXPECT_GT(failing, 5);
  EXPECT_EQ(View(store, tree), before);
}

TEST_F(CompactTest, NothingHappensWithoutADocument) {
  EXPECT_EQ(store.Compress(tree, [](const std::u16string&) { return true; }),
            CompressResult::kNotOpen);
  EXPECT_FALSE(store.CompactTo(kBan, tree));
}

}  // namespace
}  // namespace brevalo
