// Drives the kvt program as a user does, on a device folder of its own.
#include "tools/kvt/kvt_test_fixture.h"

#include <stdlib.h>

#include "device/device_properties.h"
#include "store/document_filing.h"

namespace brevalo {
namespace {

TEST_F(KvtTest, ANewDocumentIsTheHeaderAndAnEmptyIndex) {
  ASSERT_EQ(Kvt({"new", doc_, "--author", "Ann"}).code, 0);
  std::string bytes = ReadFile(Host("sms.kvt"));
  ASSERT_EQ(bytes.size(), 140u);
  EXPECT_EQ(bytes.substr(64, 5), "Lorqa");
  EXPECT_EQ(bytes.substr(120), std::string(20, '\0'));
  json info = Json({"info", doc_});
  EXPECT_EQ(info["signature"], "Lorqa");
  EXPECT_EQ(info["version"], 3);
  EXPECT_EQ(info["author"], "Ann");
  EXPECT_EQ(info["hasPassword"], false);
  EXPECT_EQ(info["indexOffset"], 120);
  EXPECT_EQ(info["nodeCount"], 0);
  EXPECT_EQ(info["fileSize"], 140);
  EXPECT_EQ(info["deadBytes"], 0);
  EXPECT_EQ(info["buildDate"].get<std::string>().size(), 19u);

  // A second new on the same name would lose it.
  Result again = Kvt({"new", doc_});
  EXPECT_EQ(again.code, 1);
  EXPECT_NE(again.err.find("--force"), std::string::npos);
  EXPECT_EQ(Kvt({"new", doc_, "--force"}).code, 0);
}

TEST_F(KvtTest, MessagesAreFiledUnderFoldersFoundOrCreatedByPath) {
  ASSERT_EQ(Kvt({"new", doc_, "--recycle-bin", "--standard-folders"}).code, 0);
  Add(doc_, "\\Inbox", "13800138000", "Dinner at eight?", "2026-12-01T19:05:00");
  Add(doc_, "\\Work\\Boss", "+8613900001111", "Report due Friday.", "2026-12-02T08:00:00", true);
  Add(doc_, "\\Inbox", "10086", "Your balance is low.", "2026-12-03T10:00:00");

  json tree = Json({"tree", doc_})["nodes"];
  std::vector<std::string> labels;
  for (const json& node : tree) {
    labels.push_back(std::string(node["depth"].get<int>(), '>') + node["label"].get<std::string>());
  }
  EXPECT_EQ(labels, (std::vector<std::string>{
                        "Inbox", ">13800138000 2026-12-01 19:05:00", ">10086 2026-12-03 10:00:00",
                        "Sent Box", "Drafts", "Recycle Bin", "Work", ">Boss",
                        ">>+8613900001111 2026-12-02 08:00:00"}));
  EXPECT_EQ(tree[0]["unread"], 2);
  EXPECT_EQ(tree[1]["image"], 3);
  EXPECT_EQ(tree[5]["image"], 4);
  EXPECT_EQ(tree[5]["offset"], 0);
  EXPECT_EQ(tree[6]["unread"], 0);
  EXPECT_EQ(tree[8]["image"], 2);

  json shown = Json({"show", doc_, "8"});
  EXPECT_EQ(shown["index"], 8);
  EXPECT_EQ(shown["format"], 3);
  EXPECT_EQ(shown["number"], "+8613900001111");
  EXPECT_EQ(shown["date"], "2026-12-02T08:00:00");
  EXPECT_EQ(shown["author"], "");
  EXPECT_EQ(shown["hasPassword"], false);
  EXPECT_EQ(shown["text"], "Report due Friday.");
  EXPECT_EQ(shown["offset"], tree[8]["offset"]);

  Result text = Kvt({"tree", doc_});
  EXPECT_NE(text.out.find("    Boss  [image 1 folder, offset "), std::string::npos) << text.out;
  EXPECT_EQ(Kvt({"show", doc_, "9"}).code, 1);
  EXPECT_EQ(Json({"check", doc_})["ok"], true);
}

TEST_F(KvtTest, ExportWritesTheProgramsEntriesInTheDeviceCodePage) {
  Registry(dir_ / "registry.reg").SetDword(RegRoot::LocalMachine, kDeviceKey, kAnsiCodePageValue, 936);
  ASSERT_EQ(Kvt({"new", doc_}).code, 0);
  Add(doc_, "\\Inbox", "10086", "中文", "2026-12-01T19:05:00");
  Add(doc_, "\\Inbox\\Deeper", "10010", "not a direct message", "2026-12-02T19:05:00");
  Add(doc_, "\\Inbox", "95555", "ok", "2026-12-03T07:00:09");

  const std::string first =
      "Date:2026-12-01 19:05:00\r\nSender:10086\r\nContent:\r\n\xD6\xD0\xCE\xC4\r\n";
  const std::string third = "Date:2026-12-03 07:00:09\r\nSender:95555\r\nContent:\r\nok\r\n";
  Result one = Kvt({"export", doc_, "--node", "1"});
  EXPECT_EQ(one.code, 0) << one.err;
  EXPECT_EQ(one.out, first);
  // A folder gives its direct messages only.
  ASSERT_EQ(Kvt({"export", doc_, "--node", "0", "-o", "\\My Documents\\inbox.txt"}).code, 0);
  EXPECT_EQ(ReadFile(Host("inbox.txt")), first + third);
  Result all = Kvt({"export", doc_});
  EXPECT_NE(all.out.find("Sender:10010\r\n"), std::string::npos);
  // The text is stored in the device's code page, so another page reads other characters.
  EXPECT_EQ(Json({"show", doc_, "1"})["text"], "中文");
  EXPECT_NE(Json({"--codepage", "1252", "show", doc_, "1"})["text"], "中文");
}

TEST_F(KvtTest, APasswordProtectsReadingAndFiling) {
  ASSERT_EQ(Kvt({"--password", "secret", "new", doc_}).code, 0);
  EXPECT_EQ(Json({"info", doc_})["hasPassword"], true);
  Result missing = Kvt({"show", doc_, "0"});
  EXPECT_EQ(missing.code, 1);
  EXPECT_NE(missing.err.find("--password"), std::string::npos);
  Result wrong = Kvt({"--password", "guess", "add", doc_, "--folder", "\\Inbox", "--from", "1",
                      "--text", "x"});
  EXPECT_EQ(wrong.code, 1);
  EXPECT_NE(wrong.err.find("wrong password"), std::string::npos);
  EXPECT_EQ(Json({"info", doc_})["nodeCount"], 0) << "info tells no content and needs none";
  for (const char* command : {"tree", "check", "export"}) {
    Result refused = Kvt({command, doc_});
    EXPECT_EQ(refused.code, 1) << command;
    EXPECT_NE(refused.err.find("protected by a password"), std::string::npos) << command;
  }
  EXPECT_EQ(Kvt({"--password", "secret", "add", doc_, "--folder", "\\Inbox", "--from", "1",
                 "--text", "x"}).code, 0);
  EXPECT_EQ(Kvt({"--password", "secret", "export", doc_}).code, 0);
  EXPECT_EQ(Kvt({"compact", doc_}).code, 1);
  EXPECT_EQ(Json({"--password", "secret", "tree", doc_})["nodes"].size(), 2u);
  // The program's dialog takes ten characters: a longer one could never be given there again.
  Result tooLong = Kvt({"--password", "eleven char", "new", "\\My Documents\\b.kvt"});
  EXPECT_EQ(tooLong.code, 1);
  EXPECT_FALSE(fs::exists(Host("b.kvt")));
  ASSERT_EQ(Kvt({"--password", "ten chars!", "new", "\\My Documents\\b.kvt"}).code, 0);
  // Typed as eleven, as the dialog lets the user type it, it still opens.
  EXPECT_EQ(Kvt({"--password", "ten chars!?", "tree", "\\My Documents\\b.kvt"}).code, 0);
}

TEST_F(KvtTest, AProtectedFolderOrMessageStaysClosedWithoutItsPassword) {
  ASSERT_EQ(Kvt({"new", doc_, "--recycle-bin"}).code, 0);
  Add(doc_, "\\Work\\Boss", "5550100", "the secret plan", "2026-12-01T09:00:00");
  Add(doc_, "\\Work", "5550101", "lunch?", "2026-12-01T12:00:00");
  Add(doc_, "\\Inbox", "5550102", "my own secret", "2026-12-01T13:00:00");
  Add(doc_, "\\Inbox", "5550103", "open to all", "2026-12-01T14:00:00");
  // 0 Recycle Bin, 1 Work, 2 Boss, 3 plan, 4 lunch, 5 Inbox, 6 own secret, 7 open to all
  SetNodePassword(dir_, u"\\My Documents\\sms.kvt", 1, u"boss");
  SetNodePassword(dir_, u"\\My Documents\\sms.kvt", 6, u"mine");

  json nodes = Json({"tree", doc_})["nodes"];
  std::vector<int> listed;
  for (const json& node : nodes) listed.push_back(node["index"]);
  EXPECT_EQ(listed, (std::vector<int>{0, 1, 5, 6, 7})) << "what Work holds is not shown";
  EXPECT_EQ(nodes[1]["hidden"], 3);
  Result text = Kvt({"tree", doc_});
  EXPECT_NE(text.out.find("protected: 3 nodes not shown"), std::string::npos) << text.out;
  EXPECT_EQ(text.out.find("Boss"), std::string::npos);

  for (const char* node : {"1", "2", "3", "6"}) {
    Result shown = Kvt({"show", doc_, node});
    EXPECT_EQ(shown.code, 1) << node;
    EXPECT_NE(shown.err.find("--node-password"), std::string::npos) << node;
    EXPECT_EQ(shown.out.find("secret"), std::string::npos) << node;
    EXPECT_EQ(Kvt({"export", doc_, "--node", node}).code, 1) << node;
  }
  Result wrong = Kvt({"--node-password", "guess", "show", doc_, "3"});
  EXPECT_NE(wrong.err.find("wrong"), std::string::npos);
  Result filing = Kvt({"add", doc_, "--folder", "\\Work\\Boss\\New", "--from", "1", "--text", "x"});
  EXPECT_EQ(filing.code, 1) << "filing into a protected folder changes it";

  // Everything else is exported; nothing protected is.
  Result all = Kvt({"export", doc_});
  EXPECT_EQ(all.code, 0) << all.err;
  EXPECT_NE(all.out.find("open to all"), std::string::npos);
  for (const char* hidden : {"secret", "lunch"}) EXPECT_EQ(all.out.find(hidden), std::string::npos) << hidden;
  EXPECT_NE(all.err.find("3 password-protected messages were left out"), std::string::npos) << all.err;

  // With the folder's password its content opens, the protected message in Inbox still not.
  EXPECT_EQ(Json({"--node-password", "boss", "show", doc_, "3"})["text"], "the secret plan");
  EXPECT_EQ(Json({"--node-password", "boss", "tree", doc_})["nodes"].size(), 8u);
  Result inbox = Kvt({"--node-password", "boss", "export", doc_, "--node", "5"});
  EXPECT_EQ(inbox.code, 0);
  EXPECT_EQ(inbox.out.find("my own secret"), std::string::npos) << "a folder's export skips protected messages";
  EXPECT_NE(inbox.out.find("open to all"), std::string::npos);
  EXPECT_EQ(Json({"--node-password", "mine", "show", doc_, "6"})["text"], "my own secret");
  EXPECT_EQ(Kvt({"--node-password", "boss", "add", doc_, "--folder", "\\Work\\Boss", "--from", "1",
                 "--text", "x"}).code, 0);
}

TEST_F(KvtTest, CompactKeepsTheTreeAndTextsAndDropsDeadBytes) {
  ASSERT_EQ(Kvt({"new", doc_, "--recycle-bin", "--standard-folders"}).code, 0);
  for (int i = 0; i < 5; ++i) {
    Add(doc_, "\\Inbox", "1000" + std::to_string(i), "message " + std::to_string(i),
        "2026-12-0" + std::to_string(i + 1) + "T12:00:00");
  }
  json before = Json({"tree", doc_})["nodes"];
  std::string exportBefore = Kvt({"export", doc_}).out;
  ASSERT_GT(Json({"info", doc_})["deadBytes"].get<int>(), 0);

  Result compact = Kvt({"compact", doc_});
  ASSERT_EQ(compact.code, 0) << compact.err;
  json info = Json({"info", doc_});
  EXPECT_EQ(info["deadBytes"], 20);  // only the empty index head every file starts with
  EXPECT_TRUE(fs::exists(Host("sms.kvt.bak")));
  EXPECT_FALSE(fs::exists(Host("sms.kvt.ban")));
  json after = Json({"tree", doc_})["nodes"];
  ASSERT_EQ(after.size(), before.size());
  for (size_t i = 0; i < after.size(); ++i) {
    EXPECT_EQ(after[i]["label"], before[i]["label"]);
    EXPECT_EQ(after[i]["image"], before[i]["image"]);
  }
  EXPECT_EQ(Kvt({"export", doc_}).out, exportBefore);
}

// What the program filed since its last save lives in the journal beside the document until the
// next save: every command reads it, compact folds it in.
TEST_F(KvtTest, APendingJournalIsReadByEveryCommandAndFoldedByCompact) {
  ASSERT_EQ(Kvt({"new", doc_, "--standard-folders"}).code, 0);
  {
    // Filed as the program files a received message, and left unsaved, as by a crash.
    Device device(dir_);
    PosixStoreFileSystem files(PosixStoreFileSystem::DevicePaths(device));
    InMemoryIndexOffsetMemory offsets;
    CodePage page;
    MessageStore store(files, offsets, page);
    FolderTree tree;
    ASSERT_TRUE(store.Open(FromUtf8(doc_)) && store.LoadIndex(tree));
    TreeNode* inbox = nullptr;
    ASSERT_TRUE(FindOrCreateFolder(store, tree, u"\\Inbox", FolderPlacement::kFirstChild, &inbox));
    JournalEntry entry;
    entry.folderPath = u"\\Inbox";
    entry.label = u"Ann 12-09";
    entry.image = 3;
    entry.offset = AppendMessageRecord(store, page, u"5550102", 46365.5, u"Dinner at eight?");
    ASSERT_TRUE(store.JournalAppended(entry));
  }
  const fs::path journal = Host("sms.kvt.jnl");
  ASSERT_TRUE(fs::exists(journal));
  json tree = Json({"tree", doc_})["nodes"];
  ASSERT_EQ(tree.size(), 4u);
  EXPECT_EQ(tree[1]["label"], "Ann 12-09");
  EXPECT_EQ(Json({"show", doc_, "1"})["text"], "Dinner at eight?");
  EXPECT_NE(Kvt({"export", doc_}).out.find("Dinner at eight?"), std::string::npos);
  json check = Json({"check", doc_});
  EXPECT_EQ(check["ok"], true);
  EXPECT_EQ(check["journal"]["applied"], 1);
  EXPECT_EQ(Json({"info", doc_})["journalPending"], 1);

  // A crash in the middle of the next entry: the whole one is read, the torn rest reported.
  std::ofstream(journal, std::ios::binary | std::ios::app) << std::string("\x40\0\0\0garbage", 11);
  Result torn = Kvt({"tree", doc_});
  EXPECT_EQ(torn.code, 0);
  EXPECT_NE(torn.out.find("Ann 12-09"), std::string::npos);
  EXPECT_NE(torn.err.find("journal: an entry is cut short"), std::string::npos) << torn.err;

  Result compact = Kvt({"compact", doc_});
  ASSERT_EQ(compact.code, 0) << compact.err;
  EXPECT_EQ(Json({"info", doc_})["journalPending"], 0);
  json folded = Json({"tree", doc_})["nodes"];
  ASSERT_EQ(folded.size(), tree.size());
  for (size_t i = 0; i < tree.size(); ++i) EXPECT_EQ(folded[i]["label"], tree[i]["label"]);
  EXPECT_EQ(Json({"show", doc_, "1"})["text"], "Dinner at eight?");
}

// While another program has the document open for writing, kvt reads it but never writes it.
TEST_F(KvtTest, AWriterElsewhereRefusesChangesAndAllowsReading) {
  ASSERT_EQ(Kvt({"new", doc_, "--standard-folders"}).code, 0);
  Add(doc_, "\\Inbox", "5550100", "before", "2026-12-01T19:05:00");
  const std::string before = ReadFile(Host("sms.kvt"));
  std::ofstream(Host("b.json")) << R"([{"address":"1","date":5000,"type":1,"body":"x"}])";
  {
    Device device(dir_);
    PosixStoreFileSystem files(PosixStoreFileSystem::DevicePaths(device));
    InMemoryIndexOffsetMemory offsets;
    CodePage page;
    MessageStore writer(files, offsets, page);
    ASSERT_TRUE(writer.Open(FromUtf8(doc_)));
    for (const std::vector<std::string>& change :
         {std::vector<std::string>{"add", doc_, "--folder", "\\Inbox", "--from", "1", "--text", "x"},
          std::vector<std::string>{"compact", doc_}, std::vector<std::string>{"new", doc_, "--force"},
          std::vector<std::string>{"import", doc_, "\\My Documents\\b.json"}}) {
      Result refused = Kvt(change);
      EXPECT_EQ(refused.code, 1) << change[0];
      EXPECT_NE(refused.err.find("open for writing in another program"), std::string::npos) << refused.err;
    }
    EXPECT_EQ(ReadFile(Host("sms.kvt")), before);
    EXPECT_EQ(Json({"tree", doc_})["nodes"].size(), 4u);
    EXPECT_EQ(Json({"check", doc_})["ok"], true);
  }
  Add(doc_, "\\Inbox", "5550101", "after", "2026-12-01T19:06:00");
  EXPECT_EQ(Json({"tree", doc_})["nodes"].size(), 5u);
}

TEST_F(KvtTest, DamageIsReportedNeverCrashedOn) {
  ASSERT_EQ(Kvt({"new", doc_, "--standard-folders"}).code, 0);
  Add(doc_, "\\Inbox", "10086", "hello", "2026-12-01T19:05:00");
  std::string bytes = ReadFile(Host("sms.kvt"));
  // Point the second node of the table past the end of the file.
  uint32_t index = Word(bytes, 8);
  uint32_t table = index + 20 + Word(bytes, index + 12);
  uint32_t beyond = static_cast<uint32_t>(bytes.size() + 1000);
  for (int i = 0; i < 4; ++i) bytes[table + 8 + i] = static_cast<char>(beyond >> (8 * i));
  std::ofstream(Host("sms.kvt"), std::ios::binary | std::ios::trunc) << bytes;

  Result check = Kvt({"check", doc_});
  EXPECT_EQ(check.code, 1);
  EXPECT_NE(check.out.find("node 1 "), std::string::npos) << check.out;
  json report = json::parse(Kvt({"--json", "check", doc_}).out);
  EXPECT_EQ(report["ok"], false);
  EXPECT_EQ(report["damaged"][0]["index"], 1);
  EXPECT_EQ(Kvt({"show", doc_, "1"}).code, 1);

  std::ofstream(Host("short.kvt"), std::ios::binary) << std::string(119, 'x');
  Result shortFile = Kvt({"info", "\\My Documents\\short.kvt"});
  EXPECT_EQ(shortFile.code, 1);
  EXPECT_NE(shortFile.err.find("not a document"), std::string::npos);
  EXPECT_EQ(Kvt({"info", "\\My Documents\\none.kvt"}).code, 1);
  EXPECT_EQ(Kvt({"info", "\\..\\registry.reg"}).code, 1);
}

// The newest index is damaged on disk: its text size runs past the end of the file.
void DamageNewestIndex(const fs::path& file) {
  std::string bytes = ReadFile(file);
  bytes[Word(bytes, 8) + 12 + 3] = 0x7f;
  std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
}

TEST_F(KvtTest, AFallBackToAnOlderIndexFailsTheCheckAndRecoverBringsTheMessagesBack) {
  ASSERT_EQ(Kvt({"new", doc_, "--standard-folders"}).code, 0);
  Add(doc_, "\\Inbox", "10086", "before", "2026-12-01T19:05:00");
  Add(doc_, "\\Work", "10087", "after the older index", "2026-12-01T19:06:00");
  DamageNewestIndex(Host("sms.kvt"));

  Result check = Kvt({"check", doc_});
  EXPECT_EQ(check.code, 1) << "the newest messages are missing from the tree";
  EXPECT_NE(check.out.find("the newest index"), std::string::npos) << check.out;
  EXPECT_NE(check.out.find("Found between the two: 1 message; kvt recover"), std::string::npos) << check.out;
  Result tree = Kvt({"tree", doc_});
  EXPECT_EQ(tree.code, 0);
  EXPECT_NE(tree.err.find("an older tree is shown"), std::string::npos) << tree.err;
  EXPECT_EQ(tree.out.find("Work"), std::string::npos) << "the older tree has no Work yet";

  Result recover = Kvt({"recover", doc_});
  ASSERT_EQ(recover.code, 0) << recover.err;
  EXPECT_NE(recover.out.find("Recovered 1 message into \\Recovered"), std::string::npos) << recover.out;
  check = Kvt({"check", doc_});
  EXPECT_EQ(check.code, 0) << check.out << check.err;
  json nodes = Json({"tree", doc_})["nodes"];
  ASSERT_FALSE(nodes.empty());
  EXPECT_EQ(nodes[0]["label"], "Recovered");
  json shown = Json({"show", doc_, "1"});
  EXPECT_EQ(shown["text"], "after the older index");
  EXPECT_EQ(shown["number"], "10087");
  EXPECT_EQ(Kvt({"recover", doc_}).code, 1) << "nothing is missing any more";
}

TEST_F(KvtTest, RecoverIntoAnotherDocumentOnlyReadsTheDamagedOne) {
  ASSERT_EQ(Kvt({"new", doc_}).code, 0);
  Add(doc_, "\\Inbox", "10086", "before", "2026-12-01T19:05:00");
  Add(doc_, "\\Inbox", "10087", "lost one", "2026-12-01T19:06:00");
  Add(doc_, "\\Inbox", "10088", "lost two", "2026-12-01T19:07:00");
  // Three saves: the remembered index is the one before the newest, so "lost two" is missing.
  DamageNewestIndex(Host("sms.kvt"));
  const std::string damaged = ReadFile(Host("sms.kvt"));
  const std::string other = "\\My Documents\\other.kvt";
  ASSERT_EQ(Kvt({"new", other}).code, 0);
  Result recover = Kvt({"recover", doc_, "--into", other, "--folder", "\\Found"});
  ASSERT_EQ(recover.code, 0) << recover.err;
  EXPECT_EQ(ReadFile(Host("sms.kvt")), damaged);
  EXPECT_EQ(Json({"show", other, "1"})["text"], "lost two");
  recover = Kvt({"recover", doc_, "--into", other, "--folder", "\\Found"});
  EXPECT_NE(recover.out.find("Recovered 0 messages into \\Found of " + other + " (1 were there already)"),
            std::string::npos) << recover.out;
}

TEST_F(KvtTest, UsageErrorsExitWithTwo) {
  EXPECT_EQ(Kvt({}).code, 2);
  EXPECT_EQ(Kvt({"frobnicate", doc_}).code, 2);
  EXPECT_EQ(Kvt({"show", doc_}).code, 2);
  EXPECT_EQ(Kvt({"--codepage", "4242424", "info", doc_}).code, 2);
  ASSERT_EQ(Kvt({"new", doc_}).code, 0);
  EXPECT_EQ(Kvt({"add", doc_, "--folder", "\\A", "--from", "1", "--text", "x", "--date",
                 "yesterday"}).code, 2);
  EXPECT_EQ(Kvt({"--help"}).code, 0);
}

}  // namespace
}  // namespace brevalo
