// A document whose newest folder tree was damaged on disk: the program shows the older tree,
// says so once, and keeps a copy of the file as it was, from which kvt brings the missing
// messages back after the program has saved the document.
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "app/intake_device_fixture.h"

namespace brevalo {
namespace {

std::string ReadBytes(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

class IndexFallBackTest : public testing::IntakeDeviceTest {
 protected:
  // Two saves by kvt, the second one's index then damaged: its text size runs past the file's
  // end, so only the tree of the first save can be read.
  void MakeDocumentWithADamagedNewestIndex() {
    MakeDocument();
    ASSERT_TRUE(Kvt(std::string("add ") + testing::kIntakeDocumentArgument +
                    " --folder '\\Inbox' --from 5550100 --text 'in the older tree'"));
    ASSERT_TRUE(Kvt(std::string("add ") + testing::kIntakeDocumentArgument +
                    " --folder '\\Inbox' --from 5550101 --text 'only in the newest tree'"));
    std::string bytes = ReadBytes(DocumentFile());
    const auto index = static_cast<unsigned char>(bytes[8]) |
                       static_cast<unsigned char>(bytes[9]) << 8 |
                       static_cast<unsigned char>(bytes[10]) << 16;
    bytes[static_cast<size_t>(index) + 15] = 0x7f;
    std::ofstream(DocumentFile(), std::ios::binary | std::ios::trunc) << bytes;
  }
  std::filesystem::path CopyFile() { return DocumentFile().string() + ".recover"; }
};

TEST_F(IndexFallBackTest, TheUserIsToldOnceAndTheMissingMessagesComeBackFromTheCopy) {
  MakeDocumentWithADamagedNewestIndex();
  const std::string asDamaged = ReadBytes(DocumentFile());
  StartProgram();
  nlohmann::json box = MessageBoxWithin();
  ASSERT_FALSE(box.is_null()) << "nothing told the user the tree is an older one";
  EXPECT_EQ(box["caption"], "Error");
  const std::string text = box["text"];
  EXPECT_NE(text.find("The newest folder tree of \\My Documents\\sms.kvt cannot be read"),
            std::string::npos) << text;
  EXPECT_NE(text.find("kvt recover '\\My Documents\\sms.kvt.recover' --into '\\My Documents\\sms.kvt'"),
            std::string::npos) << text;
  ASSERT_TRUE(Phonesim("key Action"));
  ASSERT_TRUE(std::filesystem::exists(CopyFile()));
  EXPECT_EQ(ReadBytes(CopyFile()), asDamaged) << "the copy is the file as it was";

  EndProgram();  // saves the older tree: the document no longer names the damaged index
  testing::ShellResult check = CheckDocument();
  EXPECT_EQ(check.code, 0) << check.out << check.err;
  std::optional<testing::TextCounts> before = DocumentTexts();
  ASSERT_TRUE(before);
  EXPECT_EQ(before->count(u"only in the newest tree"), 0u);

  testing::ShellResult copyCheck =
      testing::RunToolLine("kvt", device().Dir().string(), "check '\\My Documents\\sms.kvt.recover'");
  EXPECT_EQ(copyCheck.code, 1) << "the copy still names the damaged index";
  EXPECT_NE(copyCheck.out.find("Found between the two: 1 message;"), std::string::npos) << copyCheck.out;
  ASSERT_TRUE(Kvt("recover '\\My Documents\\sms.kvt.recover' --into '\\My Documents\\sms.kvt'"));
  std::optional<testing::TextCounts> after = DocumentTexts();
  ASSERT_TRUE(after);
  EXPECT_EQ((*after)[u"only in the newest tree"], 1);
  EXPECT_EQ((*after)[u"in the older tree"], 1);

  // The next start reads the newest tree: nothing is said, and no second copy is made.
  StartProgram();
  EXPECT_TRUE(MessageBoxWithinMs(1500).is_null());
  EXPECT_FALSE(std::filesystem::exists(CopyFile().string() + "2"));
}

}  // namespace
}  // namespace brevalo
