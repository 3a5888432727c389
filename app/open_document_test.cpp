#include "app/open_document.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/open_document_test_support.h"
#include "store/store_test_support.h"

namespace brevalo {
namespace {

using testing::Bytes;

using testing::Find;
using testing::Outline;

class OpenDocumentTest : public testing::StoreTest {
 protected:
  // Inbox { Work { w1 (unread), w2 (read) }, i1 (unread), i2 (unread) }, Notes {}, Recycle Bin.
  void WriteSample(bool withBin = true) {
    CreateDocument();
    TreeNode& inbox = AddFolder(tree.Root(), u"Inbox");
    TreeNode& work = AddFolder(inbox, u"Work");
    AddMessage(work, u"w1", u"5550101", u"first at work");
    AddMessage(work, u"w2", u"5550102", u"second at work", kImageRead);
    AddMessage(inbox, u"i1", u"5550103", u"hello");
    AddMessage(inbox, u"i2", u"5550104", u"again");
    AddFolder(tree.Root(), u"Notes");
    if (withBin) AddBin();
    ASSERT_TRUE(store.Save(tree));
    store.Close();
  }
  void OpenSample(bool withBin = true) {
    WriteSample(withBin);
    ASSERT_EQ(doc.Open(kPath), OpenOutcome::kOpened);
  }
  TreeNode& Node(std::u16string_view label) {
    TreeNode* node = Find(doc.Tree(), label);
    EXPECT_NE(node, nullptr) << ToUtf8(label);
    return node ? *node : doc.Tree().Root();
  }
  // The document as a second reader finds it in the file after Close.
  std::vector<std::string> Saved() {
    EXPECT_TRUE(doc.Close());
    OpenDocument again(files, offsets, codePage);
    EXPECT_EQ(again.Open(kPath), OpenOutcome::kOpened);
    return Outline(again.Tree());
  }

  OpenDocument doc{files, offsets, codePage};
};

TEST_F(OpenDocumentTest, OpenCountsUnreadMessagesIntoEveryAncestorAndMarksThemBold) {
  OpenSample();
  EXPECT_EQ(Outline(doc.Tree()), (std::vector<std::string>{
                                     "Inbox 1 3 B",
                                     "  Work 1 1 B",
                                     "    w1 3 1 B",
                                     "    w2 2 0",
                                     "  i1 3 1 B",
                                     "  i2 3 1 B",
                                     "Notes 1 0",
                                     "Recycle Bin 4 0",
                                 }));
  EXPECT_EQ(doc.UnreadTotal(), 3u);
  EXPECT_EQ(doc.RecycleBin(), &Node(u"Recycle Bin"));
  EXPECT_FALSE(doc.Store().TreeChanged()) << "counting is no change of the document";
}

TEST_F(OpenDocumentTest, ReadingAMessageLowersEveryAncestorAndAZeroCountClearsBold) {
  OpenSample();
  doc.MarkRead(Node(u"w1"));
  EXPECT_EQ(Outline(doc.Tree())[0], "Inbox 1 2 B");
  EXPECT_EQ(Outline(doc.Tree())[1], "  Work 1 0") << "the count reached 0: no longer bold";
  EXPECT_EQ(Outline(doc.Tree())[2], "    w1 2 0");
  EXPECT_TRUE(doc.Store().TreeChanged());
  doc.MarkRead(Node(u"w1"));  // read already: nothing changes
  EXPECT_EQ(doc.UnreadTotal(), 2u);
  EXPECT_EQ(Saved()[2], "    w1 2 0") << "the read state is stored";
}

TEST_F(OpenDocumentTest, AddUnreadCountsInSixteenBits) {
  OpenSample();
  TreeNode& notes = Node(u"Notes");
  doc.AddUnread(notes, -1);
  EXPECT_EQ(notes.Data().unread, 0xFFFF);
  EXPECT_TRUE(notes.Bold());
  doc.AddUnread(notes, 1);
  EXPECT_EQ(notes.Data().unread, 0);
  EXPECT_FALSE(notes.Bold());
}

TEST_F(OpenDocumentTest, AnOutlineThatJumpsSeveralLevelsAttachesToTheLastNodeAbove) {
  CreateDocument();
  store.Close();
  // An index written by hand: A, X one level down, B three levels down, C back at X's level.
  // Key all ones, so that NOT key is 0 and the text stays readable as it is.
  Bytes bytes = files.Bytes(kPath);
  uint32_t at = static_cast<uint32_t>(bytes.size());
  std::string text = "A\r\n\tX\r\n\t\t\tB\r\n\tC\r\n";
  text.push_back('\0');
  auto put32 = [&](uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
  };
  put32(0), put32(0xFFFFFFFF), put32(4), put32(static_cast<uint32_t>(text.size())), put32(0);
  bytes.insert(bytes.end(), text.begin(), text.end());
  for (int i = 0; i < 4; ++i) put32(140), put32(kImageFolder);
  for (int i = 0; i < 4; ++i) bytes[8 + static_cast<size_t>(i)] = static_cast<uint8_t>(at >> (8 * i));
  files.Put(kPath, bytes);

  ASSERT_EQ(doc.Open(kPath), OpenOutcome::kOpened);
  EXPECT_EQ(Outline(doc.Tree()),
            (std::vector<std::string>{"A 1 0", "  X 1 0", "    B 1 0", "  C 1 0"}));
}

TEST_F(OpenDocumentTest, FilesThatAreNoReadableDocumentLeaveNothingOpenAndStayAsTheyWere) {
  WriteSample();
  Bytes good = files.Bytes(kPath);
  struct Case {
    const char* name;
    Bytes bytes;
    OpenOutcome outcome;
  };
  Bytes noSignature = good;
  noSignature[64] = 'X';
  Bytes badIndex = good;
  badIndex[8] = 0xF0, badIndex[9] = 0xFF;  // past the end of the file
  Case cases[] = {
      {"short", Bytes(good.begin(), good.begin() + 100), OpenOutcome::kCannotOpen},
      {"text file", Bytes(200, 'a'), OpenOutcome::kNotADocument},
      {"no signature", noSignature, OpenOutcome::kNotADocument},
      {"damaged index", badIndex, OpenOutcome::kDamaged},
  };
  for (const Case& c : cases) {
    offsets.Forget(kPath);  // no earlier index to fall back on
    files.Put(kPath, c.bytes);
    EXPECT_EQ(doc.Open(kPath), c.outcome) << c.name;
    EXPECT_FALSE(doc.IsOpen()) << c.name;
    EXPECT_TRUE(doc.Tree().Empty()) << c.name;
    EXPECT_TRUE(doc.Close()) << c.name;
    EXPECT_EQ(files.Bytes(kPath), c.bytes) << c.name << ": the file was written";
  }
  EXPECT_EQ(doc.Open(u"\\My Documents\\none.kvt"), OpenOutcome::kCannotOpen);
  files.Put(kPath, good);
  EXPECT_EQ(doc.Open(kPath), OpenOutcome::kOpened) << "a failed open leaves the store usable";
}

TEST_F(OpenDocumentTest, NewMakesInboxSentBoxAndDraftsAboveTheRecycleBinAndSavesThem) {
  StoreHeader header;
  codePage.ToFixedField(u"Ann", header.author, sizeof header.author);
  ASSERT_TRUE(doc.New(kPath, header, true));
  std::vector<std::string> expected = {"Inbox 1 0", "Sent Box 1 0", "Drafts 1 0", "Recycle Bin 4 0"};
  EXPECT_EQ(Outline(doc.Tree()), expected);
  EXPECT_EQ(doc.SpecialFolder(kInbox), &Node(u"Inbox"));
  EXPECT_EQ(doc.SpecialFolder(kDrafts), &Node(u"Drafts"));
  EXPECT_EQ(doc.Store().Author(), u"Ann");
  EXPECT_EQ(Reopen().size(), 4u) << "written at once";
  EXPECT_EQ(Saved(), expected);

  ASSERT_TRUE(doc.New(kPath, StoreHeader{}, false));
  EXPECT_EQ(doc.RecycleBin(), nullptr);
  EXPECT_EQ(Outline(doc.Tree()).size(), 3u);
  EXPECT_FALSE(doc.New(kPath, StoreHeader{}, false)) << "one document at a time";
}

TEST_F(OpenDocumentTest, FindOrCreateFolderMatchesWholeLabelsAndCreatesMissingOnesFirst) {
  OpenSample();
  EXPECT_EQ(doc.FindOrCreateFolder(u"\\Inbox\\Work"), &Node(u"Work"));
  TreeNode* boss = doc.FindOrCreateFolder(u"\\inbox\\Boss");
  ASSERT_NE(boss, nullptr);
  EXPECT_EQ(Outline(doc.Tree())[0], "inbox 1 0") << "labels match case and all";
  EXPECT_EQ(boss->Parent(), &Node(u"inbox"));
  EXPECT_EQ(doc.FindOrCreateFolder(u"\\\\"), nullptr);
  TreeNode* outbox = doc.SpecialFolder(kOutbox);
  EXPECT_EQ(doc.SpecialFolder(kOutbox), outbox);
  EXPECT_EQ(doc.SpecialFolder(4), nullptr);
  doc.Delete(*outbox);
  EXPECT_NE(doc.SpecialFolder(kOutbox), nullptr) << "a deleted special folder is made anew";
  EXPECT_EQ(doc.SpecialFolder(kOutbox)->Parent(), &doc.Tree().Root());
}

TEST_F(OpenDocumentTest, DeleteMovesIntoTheBinAndDeletesForGoodInsideIt) {
  OpenSample();
  ASSERT_TRUE(doc.Delete(Node(u"Work")));
  EXPECT_EQ(Outline(doc.Tree()), (std::vector<std::string>{
                                     "Inbox 1 2 B",
                                     "  i1 3 1 B",
                                     "  i2 3 1 B",
                                     "Notes 1 0",
                                     "Recycle Bin 5 1 B",
                                     "  Work 1 1 B",
                                     "    w1 3 1 B",
                                     "    w2 2 0",
                                 }));
  EXPECT_EQ(doc.UnreadTotal(), 3u);
  ASSERT_TRUE(doc.Delete(Node(u"Work")));
  EXPECT_EQ(Outline(doc.Tree()).back(), "Recycle Bin 4 0") << "gone for good, the bin empty";
  EXPECT_EQ(doc.UnreadTotal(), 2u);
  EXPECT_FALSE(doc.Delete(*doc.RecycleBin()));
  EXPECT_EQ(Saved().back(), "Recycle Bin 4 0");
}

TEST_F(OpenDocumentTest, DeletingAFolderWithThreeUnreadWithoutABinLowersEveryAncestorByThree) {
  OpenSample(false);
  TreeNode& top = Node(u"Inbox");
  TreeNode& deep = *doc.FindOrCreateFolder(u"\\Inbox\\Work\\Deep");
  doc.Paste(deep);  // nothing marked: nothing happens
  ASSERT_TRUE(doc.SetClipboard(top, false));
  ASSERT_FALSE(doc.Paste(deep)) << "not into itself";
  doc.SetClipboard(Node(u"i1"), true);
  ASSERT_TRUE(doc.Paste(deep));
  doc.SetClipboard(Node(u"i2"), true);
  ASSERT_TRUE(doc.Paste(deep));
  EXPECT_EQ(top.Data().unread, 3);
  EXPECT_EQ(Node(u"Work").Data().unread, 3);
  ASSERT_TRUE(doc.Delete(deep));
  EXPECT_EQ(Node(u"Work").Data().unread, 1);
  EXPECT_EQ(top.Data().unread, 1);
  EXPECT_EQ(doc.UnreadTotal(), 1u);
}

TEST_F(OpenDocumentTest, PasteRefusesTheMarkedNodeItsDescendantsAndMessages) {
  OpenSample();
  TreeNode& inbox = Node(u"Inbox");
  ASSERT_TRUE(doc.SetClipboard(inbox, true));
  std::vector<std::string> before = Outline(doc.Tree());
  EXPECT_FALSE(doc.Paste(inbox));
  EXPECT_FALSE(doc.Paste(Node(u"Work")));
  EXPECT_FALSE(doc.Paste(Node(u"w1")));
  EXPECT_EQ(Outline(doc.Tree()), before);
  EXPECT_EQ(doc.Clipboard(), &inbox) << "a refused paste keeps the mark";
  EXPECT_FALSE(doc.SetClipboard(*doc.RecycleBin(), false));
  EXPECT_FALSE(doc.Store().TreeChanged());
}

TEST_F(OpenDocumentTest, CutAndPasteMovesWithCountsCopyAndPasteSharesTheRecord) {
  OpenSample();
  doc.SetClipboard(Node(u"Work"), true);
  ASSERT_TRUE(doc.Paste(Node(u"Notes")));
  EXPECT_EQ(doc.Clipboard(), nullptr);
  EXPECT_EQ(Outline(doc.Tree()), (std::vector<std::string>{
                                     "Inbox 1 2 B",
                                     "  i1 3 1 B",
                                     "  i2 3 1 B",
                                     "Notes 1 1 B",
                                     "  Work 1 1 B",
                                     "    w1 3 1 B",
                                     "    w2 2 0",
                                     "Recycle Bin 4 0",
                                 }));
  doc.SetClipboard(Node(u"i1"), false);
  ASSERT_TRUE(doc.Paste(*doc.RecycleBin()));
  EXPECT_EQ(doc.RecycleBin()->Image(), kImageBinFull);
  EXPECT_EQ(doc.RecycleBin()->Child(0)->Data().offset, Node(u"i1").Data().offset);
  EXPECT_EQ(Saved().size(), 9u);
}

TEST_F(OpenDocumentTest, DeletingTheMarkedNodeForgetsTheMark) {
  OpenSample(false);
  doc.SetClipboard(Node(u"Work"), true);
  doc.Delete(Node(u"Inbox"));
  EXPECT_EQ(doc.Clipboard(), nullptr);
  EXPECT_FALSE(doc.Paste(Node(u"Notes")));
}

TEST_F(OpenDocumentTest, EmptyFolderMovesChildrenIntoTheBinAndEmptiesTheBinForGood) {
  OpenSample();
  doc.EmptyFolder(Node(u"Inbox"));
  EXPECT_EQ(Node(u"Inbox").ChildCount(), 0u);
  EXPECT_EQ(Node(u"Inbox").Data().unread, 0);
  EXPECT_FALSE(Node(u"Inbox").Bold());
  EXPECT_EQ(doc.RecycleBin()->ChildCount(), 3u);
  EXPECT_EQ(doc.RecycleBin()->Data().unread, 3);
  EXPECT_EQ(doc.RecycleBin()->Image(), kImageBinFull);
  doc.EmptyFolder(*doc.RecycleBin());
  EXPECT_EQ(doc.RecycleBin()->ChildCount(), 0u);
  EXPECT_EQ(doc.UnreadTotal(), 0u);
  EXPECT_EQ(doc.RecycleBin()->Image(), kImageBinEmpty);

  doc.Delete(Node(u"Notes"));
  ASSERT_TRUE(doc.EmptyRecycleBin());
  EXPECT_EQ(Saved(), (std::vector<std::string>{"Inbox 1 0", "Recycle Bin 4 0"}));
}

TEST_F(OpenDocumentTest, DeletingTheRecycleBinDiscardsItsContentAndAddingMakesAnEmptyOne) {
  OpenSample();
  doc.Delete(Node(u"Work"));
  EXPECT_FALSE(doc.ToggleRecycleBin());
  EXPECT_EQ(doc.RecycleBin(), nullptr);
  EXPECT_EQ(Find(doc.Tree(), u"Work"), nullptr);
  EXPECT_EQ(doc.UnreadTotal(), 2u);
  EXPECT_FALSE(doc.EmptyRecycleBin());
  EXPECT_TRUE(doc.ToggleRecycleBin());
  EXPECT_EQ(Outline(doc.Tree()).back(), "Recycle Bin 4 0");
  EXPECT_EQ(Saved().back(), "Recycle Bin 4 0");
}

TEST_F(OpenDocumentTest, AddNodeInsertsAFolderOrDraftFirstWithItsOwnRecord) {
  OpenSample();
  TreeNode* draft = doc.AddNode(&Node(u"Notes"), u"Shopping", kImageRead, u"milk, eggs");
  TreeNode* root = doc.AddNode(nullptr, u"Top", kImageFolder, u"");
  ASSERT_NE(draft, nullptr);
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(doc.Tree().Root().Child(0), root);
  ASSERT_TRUE(doc.Store().ReadRecord(draft->Data().offset));
  EXPECT_EQ(doc.Store().ReadBodyText(), u"milk, eggs");
  ASSERT_TRUE(doc.Store().ReadRecord(root->Data().offset));
  EXPECT_EQ(doc.Store().Record().hasBody, 0u);
  EXPECT_EQ(Saved()[0], "Top 1 0");
}

TEST_F(OpenDocumentTest, ExportOfAFolderWritesItsDirectUnprotectedMessagesOnly) {
  CreateDocument();
  TreeNode& inbox = AddFolder(tree.Root(), u"Inbox");
  AddMessage(inbox, u"a", u"5550101", u"first");
  TreeNode& secret = AddMessage(inbox, u"s", u"5550102", u"secret");
  AddMessage(inbox, u"b", u"5550103", u"second", kImageRead);
  TreeNode& sub = AddFolder(inbox, u"Sub");
  AddMessage(sub, u"deep", u"5550104", u"deeper");
  ASSERT_TRUE(store.ReadRecord(secret.Data().offset));
  store.SetRecordPassword(u"pw");
  store.RewriteRecord(secret.Data().offset);
  ASSERT_TRUE(store.Save(tree));
  store.Close();
  ASSERT_EQ(doc.Open(kPath), OpenOutcome::kOpened);

  auto date = [](DATE) { return std::u16string(u"D"); };
  ASSERT_EQ(doc.ExportTxt(Node(u"Inbox"), u"\\out.txt", date), ExportOutcome::kDone);
  Bytes written = files.Bytes(u"\\out.txt");
  EXPECT_EQ(std::string(written.begin(), written.end()),
            "Date:D\r\nSender:5550101\r\nContent:\r\nfirst\r\n"
            "Date:D\r\nSender:5550103\r\nContent:\r\nsecond\r\n");
  ASSERT_EQ(doc.ExportTxt(Node(u"deep"), u"\\out.txt", date), ExportOutcome::kDone);
  written = files.Bytes(u"\\out.txt");
  EXPECT_EQ(std::string(written.begin(), written.end()),
            "Date:D\r\nSender:5550104\r\nContent:\r\ndeeper\r\n") << "the file is emptied first";
  files.FailWrite(1, true);
  EXPECT_EQ(doc.ExportTxt(Node(u"Inbox"), u"\\out.txt", date), ExportOutcome::kCannotWrite);
}

TEST_F(OpenDocumentTest, SaveWritesOnlyAChangedTreeAndCloseForgetsEverything) {
  OpenSample();
  size_t size = files.Bytes(kPath).size();
  ASSERT_TRUE(doc.Save());
  EXPECT_EQ(files.Bytes(kPath).size(), size) << "nothing changed, nothing written";
  doc.SetClipboard(Node(u"i1"), false);
  doc.MarkRead(Node(u"i1"));
  files.FailWrite(1, true);
  EXPECT_FALSE(doc.Save());
  EXPECT_TRUE(doc.Store().TreeChanged());
  EXPECT_FALSE(doc.Close());
  ASSERT_TRUE(doc.IsOpen()) << "a close that cannot save keeps what only the tree holds";
  EXPECT_EQ(Node(u"i1").Image(), kImageRead);
  EXPECT_NE(doc.Clipboard(), nullptr);
  EXPECT_EQ(doc.Lock().Depth(), 0);

  files.HealWrites();
  EXPECT_TRUE(doc.Close());
  EXPECT_FALSE(doc.IsOpen());
  EXPECT_TRUE(doc.Tree().Empty());
  EXPECT_EQ(doc.Clipboard(), nullptr);
  EXPECT_EQ(doc.RecycleBin(), nullptr);
  ASSERT_EQ(doc.Open(kPath), OpenOutcome::kOpened);
  EXPECT_EQ(Node(u"i1").Image(), kImageRead) << "the read mark reached the file";
}

TEST_F(OpenDocumentTest, CloseWithoutSavingLeavesTheFileAtItsLastSave) {
  OpenSample();
  doc.MarkRead(Node(u"i1"));
  const size_t size = files.Bytes(kPath).size();
  doc.CloseWithoutSaving();
  EXPECT_FALSE(doc.IsOpen());
  EXPECT_TRUE(doc.Tree().Empty());
  EXPECT_EQ(files.Bytes(kPath).size(), size);
  ASSERT_EQ(doc.Open(kPath), OpenOutcome::kOpened);
  EXPECT_EQ(Node(u"i1").Image(), kImageUnread);
}

}  // namespace
}  // namespace brevalo
