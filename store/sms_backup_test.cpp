// The backup forms as files of other programs and our own come in: every field kept through a
// round trip, the references other programs write read as characters, and bad files refused with
// where they went wrong.
#include <gtest/gtest.h>

#include "store/sms_backup_json.h"
#include "store/sms_backup_xml.h"

namespace brevalo {
namespace {

std::vector<BackupMessage> Samples() {
  BackupMessage received;
  received.address = u"+8613800138000";
  received.date = 1772359200123;
  received.type = kBackupReceived;
  received.body = u"Dinner at eight?\r\nBring <wine> & \"cheese\"\t'now' \U0001F377 晚饭";
  received.read = false;
  received.contactName = u"Ann Lee";
  received.folder = u"\\Work\\Boss";
  received.readableDate = u"2026-03-01 10:00:00";
  BackupMessage sent;
  sent.address = u"5550100;5550101";
  sent.date = -86400000;  // before 1970
  sent.type = kBackupSent;
  sent.body = std::u16string(u"bell\a esc\x1b end\x1f") + u"\uFFFE";
  sent.recipients = u"\"Ann\"<5550100>;5550101";
  BackupMessage draft;
  draft.address = u"5550102";
  draft.date = 0;
  draft.type = kBackupDraft;
  draft.body = u"";
  return {received, sent, draft};
}

void ExpectSameMessages(const std::vector<BackupMessage>& read,
                        const std::vector<BackupMessage>& written) {
  ASSERT_EQ(read.size(), written.size());
  for (size_t i = 0; i < read.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(read[i].address, written[i].address);
    EXPECT_EQ(read[i].date, written[i].date);
    EXPECT_EQ(read[i].type, written[i].type);
    EXPECT_EQ(read[i].body, written[i].body);
    EXPECT_EQ(read[i].read, written[i].read);
    EXPECT_EQ(read[i].contactName, written[i].contactName);
    EXPECT_EQ(read[i].folder, written[i].folder);
    EXPECT_EQ(read[i].recipients, written[i].recipients);
  }
}

TEST(SmsBackupXml, EveryFieldComesBackThroughAFile) {
  const std::string xml = WriteBackupXml(Samples());
  EXPECT_NE(xml.find("<smses count=\"3\">"), std::string::npos);
  EXPECT_NE(xml.find("contact_name=\"(Unknown)\""), std::string::npos);
  EXPECT_NE(xml.find("brevalo_folder=\"\\Work\\Boss\""), std::string::npos);
  // Control characters go as references, line breaks too so that attribute reading keeps them.
  EXPECT_NE(xml.find("bell&#7;"), std::string::npos);
  EXPECT_NE(xml.find("&#13;&#10;"), std::string::npos);
  BackupReadResult read = ReadBackupXml(xml);
  ASSERT_TRUE(read.ok) << read.error;
  ExpectSameMessages(read.messages, Samples());
}

TEST(SmsBackupXml, SurrogateHalvesWrittenAsReferencesReadAsTheirCharacter) {
  const std::string xml =
      "<?xml version='1.0' encoding='UTF-8'?>\n<smses count=\"1\">\n"
      "<sms address=\"1\" date=\"5\" type=\"1\" read=\"1\" "
      "body=\"a&#55357;&#56832;b&#xD83D;&#xde00;c&#55357;d&#56832;e&#65;\"/>\n</smses>\n";
  BackupReadResult read = ReadBackupXml(xml);
  ASSERT_TRUE(read.ok) << read.error;
  ASSERT_EQ(read.messages.size(), 1u);
  // A lone half stands for nothing: it becomes the replacement character.
  EXPECT_EQ(read.messages[0].body, u"a\U0001F600b\U0001F600c\uFFFDd\uFFFDeA");
}

TEST(SmsBackupXml, ErrorsNameTheLineAndColumnAndKeepNothing) {
  const std::string head = "<smses>\n<sms address=\"1\" date=\"2\" type=\"1\" body=\"ok\"/>\n";
  BackupReadResult cut = ReadBackupXml(head + "<sms address=\"1\" date=\"2\" type=\"1\" body=\"a\"");
  EXPECT_FALSE(cut.ok);
  EXPECT_TRUE(cut.messages.empty());
  EXPECT_NE(cut.error.find("line 3"), std::string::npos) << cut.error;
  // A mended pair keeps its length, so a later error on its line keeps its column.
  BackupReadResult withPair =
      ReadBackupXml(head + "<sms body=\"&#55357;&#56832;\" date=2/>");
  BackupReadResult withText =
      ReadBackupXml(head + "<sms body=\"abcdefghijklmnop\" date=2/>");
  EXPECT_FALSE(withPair.ok);
  EXPECT_NE(withPair.error.find("line 3, column "), std::string::npos) << withPair.error;
  EXPECT_EQ(withPair.error, withText.error);

  EXPECT_NE(ReadBackupXml(head + "<sms address=\"1\" type=\"1\" body=\"b\"/></smses>").error.find(
                "line 3: an sms without the attribute \"date\""),
            std::string::npos);
  EXPECT_NE(ReadBackupXml(head + "<sms address=\"1\" date=\"x\" type=\"1\" body=\"b\"/></smses>")
                .error.find("is not a number"),
            std::string::npos);
  EXPECT_NE(ReadBackupXml(head + "<sms address=\"1\" date=\"3\" type=\"9\" body=\"b\"/></smses>")
                .error.find("unknown type 9"),
            std::string::npos);
  EXPECT_FALSE(ReadBackupXml("<messages/>").ok);
  EXPECT_FALSE(ReadBackupXml("").ok);
}

TEST(SmsBackupXml, OtherProgramsEntriesAreReadOrCountedNeverFollowed) {
  const std::string xml =
      "<?xml version='1.0'?>\n<!DOCTYPE smses [<!ENTITY secret SYSTEM \"file:///etc/passwd\">]>\n"
      "<smses count=\"3\"><sms address=\"1\" date=\"2\" type=\"5\" body=\"failed\"/>"
      "<mms date=\"3\"><parts/></mms><sms address=\"1\" date=\"4\" type=\"6\" body=\"queued\"/>"
      "</smses>";
  BackupReadResult read = ReadBackupXml(xml);
  ASSERT_TRUE(read.ok) << read.error;
  EXPECT_EQ(read.skipped, 1);
  ASSERT_EQ(read.messages.size(), 2u);
  EXPECT_EQ(read.messages[0].type, kBackupOutbox);
  EXPECT_EQ(read.messages[1].type, kBackupOutbox);
  EXPECT_TRUE(read.messages[0].read);  // no read attribute: nothing to tell the user about
  // A file that names an outside entity in a message gets nothing from outside.
  BackupReadResult leak = ReadBackupXml(
      "<?xml version='1.0'?>\n<!DOCTYPE smses [<!ENTITY secret SYSTEM \"file:///etc/passwd\">]>\n"
      "<smses><sms address=\"1\" date=\"2\" type=\"1\" body=\"&secret;\"/></smses>");
  EXPECT_TRUE(!leak.ok || leak.messages[0].body.find(u"root") == std::u16string::npos);
}

TEST(SmsBackupJson, EveryFieldComesBackAndBadFilesSayWhere) {
  const std::string json = WriteBackupJson(Samples());
  BackupReadResult read = ReadBackupJson(json);
  ASSERT_TRUE(read.ok) << read.error;
  ExpectSameMessages(read.messages, Samples());

  BackupReadResult asStrings = ReadBackupJson(
      R"([{"address":"1","date":"1772359200000","type":"2","read":"0","body":"x"},)"
      R"( {"address":"1","date":1772359200000.0,"type":1,"read":false,"body":"y"}])");
  ASSERT_TRUE(asStrings.ok) << asStrings.error;
  EXPECT_EQ(asStrings.messages[0].date, 1772359200000);
  EXPECT_EQ(asStrings.messages[0].type, kBackupSent);
  EXPECT_FALSE(asStrings.messages[0].read);
  EXPECT_EQ(asStrings.messages[1].date, 1772359200000);
  EXPECT_FALSE(asStrings.messages[1].read);

  BackupReadResult broken = ReadBackupJson("{\"smses\": [\n  {\"address\": \"1\",\n  \"date\": ]}");
  EXPECT_FALSE(broken.ok);
  EXPECT_NE(broken.error.find("line 3, column 11"), std::string::npos) << broken.error;
  EXPECT_NE(ReadBackupJson(R"({"smses":[{"address":"1","type":1,"body":"b"}]})").error.find(
                "message 1: no \"date\""),
            std::string::npos);
  EXPECT_FALSE(ReadBackupJson(R"({"count": 1})").ok);
}

}  // namespace
}  // namespace brevalo
