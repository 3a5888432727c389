// Bringing messages in and taking them out with kvt, and finding them, as a person moving phones
// does: the backup files on the device, the document checked after every step.
#include <stdlib.h>

#include "tools/kvt/kvt_test_fixture.h"

namespace brevalo {
namespace {

class KvtBackupTest : public KvtTest {
 protected:
  void SetUp() override {
    KvtTest::SetUp();
    ASSERT_EQ(Kvt({"new", doc_, "--recycle-bin", "--standard-folders"}).code, 0);
    Add(doc_, "\\Inbox", "5550100", "Dinner at eight?\nBring wine \xF0\x9F\x8D\xB7", "2026-03-01T10:00:00");
    Add(doc_, "\\Work\\Boss", "+8613900001111", "\xE6\x8A\xA5\xE5\x91\x8A due on Friday",
        "2026-03-02T08:30:15", true);
    Add(doc_, "\\Inbox", "5550101", "see you", "2026-03-03T19:45:00", true);
  }

  // The messages of a JSON export without the fields that only describe the file.
  json Messages(const std::string& file, std::vector<std::string> extra = {}) {
    std::vector<std::string> args = {"export", file, "--format", "json"};
    args.insert(args.end(), extra.begin(), extra.end());
    Result result = Kvt(args);
    EXPECT_EQ(result.code, 0) << result.err;
    json whole = json::parse(result.out, nullptr, false);
    EXPECT_EQ(whole["count"], whole["smses"].size());
    return whole["smses"];
  }

  void Write(const std::string& name, const std::string& text) {
    std::ofstream(Host(name), std::ios::binary) << text;
  }
};

TEST_F(KvtBackupTest, ABackupComesBackWithItsFoldersAndIsFiledOnce) {
  Result exported = Kvt({"export", doc_, "--format", "xml", "--out", "\\My Documents\\b.xml"});
  ASSERT_EQ(exported.code, 0) << exported.err;
  EXPECT_NE(exported.out.find("Exported 3 messages"), std::string::npos);
  const std::string xml = ReadFile(Host("b.xml"));
  EXPECT_NE(xml.find("<smses count=\"3\">"), std::string::npos);
  EXPECT_NE(xml.find("body=\"Dinner at eight?&#10;Bring wine"), std::string::npos) << xml;
  EXPECT_NE(xml.find("readable_date=\"2026-03-01 10:00:00\""), std::string::npos);

  const std::string copy = "\\My Documents\\copy.kvt";
  ASSERT_EQ(Kvt({"new", copy}).code, 0);
  Result imported = Kvt({"import", copy, "\\My Documents\\b.xml"});
  ASSERT_EQ(imported.code, 0) << imported.err;
  EXPECT_NE(imported.out.find("Imported 3 messages"), std::string::npos) << imported.out;
  EXPECT_EQ(Messages(copy), Messages(doc_));
  EXPECT_EQ(Kvt({"check", copy}).code, 0);

  // The JSON form of the same backup adds nothing; a new message in it is the only one filed.
  Kvt({"export", doc_, "--format", "json", "--out", "\\My Documents\\b.json"});
  Add(doc_, "\\Inbox", "5550102", "one more", "2026-03-04T07:00:00");
  Kvt({"export", doc_, "--format", "json", "--out", "\\My Documents\\c.json"});
  Result again = Kvt({"import", copy, "\\My Documents\\b.json"});
  EXPECT_NE(again.out.find("Imported 0 messages"), std::string::npos) << again.out;
  EXPECT_NE(again.out.find("3 messages already there"), std::string::npos) << again.out;
  Result more = Kvt({"import", copy, "\\My Documents\\c.json"});
  EXPECT_NE(more.out.find("Imported 1 message into"), std::string::npos) << more.out;
  EXPECT_EQ(Messages(copy).size(), 4u);
}

TEST_F(KvtBackupTest, DatesAreMillisecondsInUtcFromTheDevicesTimeZone) {
  const char* before = getenv("TZ");
  const std::string saved = before ? before : "";
  setenv("TZ", "Asia/Shanghai", 1);
  json messages = Messages(doc_);
  // Read by a phone in another zone, the moment is the same.
  setenv("TZ", "America/New_York", 1);
  const std::string copy = "\\My Documents\\copy.kvt";
  Kvt({"new", copy});
  Write("b.json", json{{"smses", messages}}.dump());
  Kvt({"import", copy, "\\My Documents\\b.json"});
  json shown = Json({"tree", copy})["nodes"];
  if (before) setenv("TZ", saved.c_str(), 1); else unsetenv("TZ");
  ASSERT_EQ(messages.size(), 3u);
  EXPECT_EQ(messages[0]["date"], 1772330400000);  // 2026-03-01 10:00 in Shanghai
  EXPECT_EQ(messages[0]["address"], "5550100");
  EXPECT_EQ(messages[0]["type"], 1);
  EXPECT_EQ(messages[0]["read"], 0);
  EXPECT_EQ(messages[0]["contact_name"], "(Unknown)");
  // A sender the phone's contacts know is named.
  fs::create_directories(dir_ / "phone");
  std::ofstream(dir_ / "phone/contacts.vcf")
      << "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Ann Lee\r\nTEL;TYPE=CELL:555-0100\r\nEND:VCARD\r\n";
  EXPECT_EQ(Messages(doc_)[0]["contact_name"], "Ann Lee");
  EXPECT_EQ(messages[0]["brevalo_folder"], "\\Inbox");
  EXPECT_EQ(messages[2]["brevalo_folder"], "\\Work\\Boss");
  bool found = false;
  for (const json& node : shown) {
    found = found || node["label"] == "5550100 2026-02-28 21:00:00";  // the same moment in New York
  }
  EXPECT_TRUE(found) << shown.dump(1);
}

TEST_F(KvtBackupTest, ABadBackupIsRefusedWithWhereAndNothingIsWritten) {
  const std::string before = ReadFile(Host("sms.kvt"));
  Write("bad.xml", "<?xml version=\"1.0\"?>\n<smses count=\"2\">\n"
                   "  <sms address=\"1\" date=\"2\" type=\"1\" body=\"fine\"/>\n"
                   "  <sms address=\"1\" date=\"2\" type=\"1\" body=\"a < b\"/>\n</smses>\n");
  Result xml = Kvt({"import", doc_, "\\My Documents\\bad.xml"});
  EXPECT_EQ(xml.code, 1);
  EXPECT_NE(xml.err.find("line 4, column"), std::string::npos) << xml.err;
  EXPECT_NE(xml.err.find("nothing was imported"), std::string::npos) << xml.err;
  Write("bad.json", "{\"smses\": [\n {\"address\": \"1\", \"date\": 2, \"type\": 1, \"body\": \"x\"},\n {]}\n");
  Result json = Kvt({"import", doc_, "\\My Documents\\bad.json"});
  EXPECT_EQ(json.code, 1);
  EXPECT_NE(json.err.find("line 3, column 3"), std::string::npos) << json.err;
  Result missing = Kvt({"import", doc_, "\\My Documents\\none.xml"});
  EXPECT_EQ(missing.code, 1);
  EXPECT_EQ(ReadFile(Host("sms.kvt")), before);
  EXPECT_FALSE(fs::exists(Host("sms.kvt.jnl")) && fs::file_size(Host("sms.kvt.jnl")) > 0);
}

TEST_F(KvtBackupTest, ProtectedMessagesStayOutAndClosedFoldersTakeNothingWithoutPasswords) {
  json nodes = Json({"tree", doc_})["nodes"];
  ASSERT_EQ(nodes[6]["label"], "Work");
  SetNodePassword(dir_, u"\\My Documents\\sms.kvt", 6, u"boss");
  Result out = Kvt({"export", doc_, "--format", "xml"});
  EXPECT_EQ(out.code, 0);
  EXPECT_EQ(out.out.find("due on Friday"), std::string::npos);
  EXPECT_NE(out.err.find("1 password-protected message left out"), std::string::npos) << out.err;
  EXPECT_EQ(Messages(doc_, {"--node", "6"}).size(), 0u);
  EXPECT_EQ(Json({"--node-password", "boss", "export", doc_, "--format", "json", "--node", "6"})["smses"].size(), 1u);

  Write("work.json", R"([{"address":"1","date":5000,"type":1,"body":"x","brevalo_folder":"\\Work"}])");
  Result refused = Kvt({"import", doc_, "\\My Documents\\work.json"});
  EXPECT_EQ(refused.code, 1);
  EXPECT_NE(refused.err.find("--node-password"), std::string::npos) << refused.err;
  Result opened = Kvt({"--node-password", "boss", "import", doc_, "\\My Documents\\work.json"});
  EXPECT_EQ(opened.code, 0) << opened.err;
}

TEST_F(KvtBackupTest, SearchFindsTextNumbersAndTitlesWhateverTheirCase) {
  Result friday = Kvt({"search", doc_, "FRIDAY"});
  ASSERT_EQ(friday.code, 0) << friday.err;
  EXPECT_NE(friday.out.find("\\Work\\Boss  2026-03-02T08:30:15  +8613900001111"), std::string::npos)
      << friday.out;
  EXPECT_NE(friday.out.find("1 message found"), std::string::npos);

  json wine = Json({"search", doc_, "wine"})["hits"];
  ASSERT_EQ(wine.size(), 1u);
  EXPECT_EQ(wine[0]["line"], "Bring wine \xF0\x9F\x8D\xB7");  // the line that matches
  EXPECT_EQ(wine[0]["folder"], "\\Inbox");
  EXPECT_EQ(Json({"search", doc_, "555010"})["hits"].size(), 2u);
  EXPECT_EQ(Json({"search", doc_, "", "--folder", "\\Inbox"})["hits"].size(), 2u);
  EXPECT_EQ(Json({"search", doc_, "", "--from", "5550101"})["hits"].size(), 1u);
  EXPECT_EQ(Json({"search", doc_, "", "--since", "2026-03-02"})["hits"].size(), 2u);
  EXPECT_EQ(Kvt({"search", doc_, "x", "--since", "yesterday"}).code, 2);
  Result nowhere = Kvt({"search", doc_, "x", "--folder", "\\Nowhere"});
  EXPECT_EQ(nowhere.code, 1);
  EXPECT_NE(nowhere.err.find("no folder"), std::string::npos);
}

}  // namespace
}  // namespace brevalo
