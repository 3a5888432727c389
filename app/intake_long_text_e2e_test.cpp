// Texts longer than one SMS on the whole road: the phone's service, the rule client, the channel,
// the program and the document. A concatenated message of any length a network delivers arrives
// whole and may leave the phone; a text longer than the channel carries is filed as far as it
// goes, and the phone keeps the whole of it.
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "app/intake_device_fixture.h"

namespace brevalo {
namespace {

using testing::Delivery;

// `units` UTF-16 units of words, numbered so that no stretch of it repeats another.
std::u16string Words(size_t units) {
  std::u16string text;
  for (int word = 0; text.size() < units; ++word) {
    text += u"word" + FromUtf8(std::to_string(word)) + u" ";
  }
  text.resize(units);
  return text;
}

class IntakeLongTextTest : public testing::IntakeDeviceTest {
 protected:
  void SetUp() override {
    IntakeDeviceTest::SetUp();
    if (HasFatalFailure()) return;
    StartReceivingIntoANewDocument();
  }

  // The texts of the document's messages as `kvt show` prints them, in tree order.
  std::vector<std::u16string> ShownTexts() {
    std::vector<std::u16string> texts;
    std::optional<std::string> tree =
        Kvt(std::string("--json tree ") + testing::kIntakeDocumentArgument);
    EXPECT_TRUE(tree) << "kvt tree failed";
    if (!tree) return texts;
    const nlohmann::json listed = nlohmann::json::parse(*tree, nullptr, false);
    for (const nlohmann::json& node : listed["nodes"]) {
      if (node["image"] != kImageUnread && node["image"] != kImageRead) continue;
      std::optional<std::string> shown =
          Kvt(std::string("--json show ") + testing::kIntakeDocumentArgument + " " +
              std::to_string(node["index"].get<size_t>()));
      EXPECT_TRUE(shown) << "kvt show failed for node " << node["index"];
      if (!shown) continue;
      const nlohmann::json message = nlohmann::json::parse(*shown, nullptr, false);
      texts.push_back(FromUtf8(message["text"].get<std::string>()));
    }
    return texts;
  }
};

TEST_F(IntakeLongTextTest, AThousandCharacterTextArrivesWholeAndLeavesThePhone) {
  const std::u16string text = Words(1000);
  Delivery delivery = Deliver(u"+15550100", text);
  ASSERT_TRUE(delivery.outcome) << delivery.error;
  EXPECT_TRUE(delivery.outcome->deleted);
  EXPECT_EQ(ShownTexts(), std::vector<std::u16string>({text}));
  EXPECT_TRUE(PhoneInbox().empty());
}

// A character outside the basic plane is two UTF-16 units; a cut between them would leave half
// a character, which no code page can hold.
TEST_F(IntakeLongTextTest, AnEmojiAcrossTheOldCutOfOneSmsArrivesWhole) {
  const std::u16string text = Words(158) + u"\U0001F600" + u" see you at eight";
  ASSERT_EQ(text.substr(158, 2), u"\U0001F600");
  Delivery delivery = Deliver(u"+15550100", text);
  ASSERT_TRUE(delivery.outcome) << delivery.error;
  EXPECT_TRUE(delivery.outcome->deleted);
  EXPECT_EQ(ShownTexts(), std::vector<std::u16string>({text}));
  EXPECT_TRUE(PhoneInbox().empty());
}

// 255 parts of 153 characters: the longest text a network puts together from parts.
TEST_F(IntakeLongTextTest, TheLongestConcatenatedSmsArrivesWholeAndLeavesThePhone) {
  const std::u16string text = Words(255 * 153);
  Delivery delivery = Deliver(u"+15550100", text);
  ASSERT_TRUE(delivery.outcome) << "the phone's service did not take a 39,015-unit text: "
                                << delivery.error;
  EXPECT_TRUE(delivery.outcome->deleted);
  EXPECT_EQ(ShownTexts(), std::vector<std::u16string>({text}));
  EXPECT_TRUE(PhoneInbox().empty());
}

TEST_F(IntakeLongTextTest, ATextLongerThanTheChannelCarriesStaysInThePhoneAndIsFiledCut) {
  const std::u16string text = Words(45'000);
  Delivery delivery = Deliver(u"+15550100", text);
  ASSERT_TRUE(delivery.outcome) << "the phone's service did not take a 45,000-unit text: "
                                << delivery.error;
  EXPECT_FALSE(delivery.outcome->deleted)
      << "the phone let go of a message the document holds only in part";
  EXPECT_EQ(PhoneInbox(), (testing::TextCounts{{text, 1}}))
      << "the phone's inbox keeps the whole text";
  std::vector<std::u16string> filed = ShownTexts();
  ASSERT_EQ(filed.size(), 1u);
  EXPECT_LT(filed[0].size(), text.size());
  EXPECT_GE(filed[0].size(), 40'000u) << "filed as far as the channel carries it";
  EXPECT_TRUE(text.starts_with(filed[0])) << "the filed part is the start of the text";
}

}  // namespace
}  // namespace brevalo
