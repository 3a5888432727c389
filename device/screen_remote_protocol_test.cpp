#include "device/screen_remote_protocol.h"

#include <gtest/gtest.h>

namespace brevalo {
namespace {

ScreenRequest Parsed(std::string_view line) {
  std::string error;
  std::optional<ScreenRequest> request = ParseScreenRequest(line, &error);
  EXPECT_TRUE(request.has_value()) << line << ": " << error;
  return request.value_or(ScreenRequest{});
}

std::string Refusal(std::string_view line) {
  std::string error;
  EXPECT_FALSE(ParseScreenRequest(line, &error).has_value()) << line;
  return error;
}

TEST(ScreenRequestTest, ReadsEveryOp) {
  ScreenRequest keys = Parsed(R"({"op":"key","keys":["Soft1","Down","Action","7","Hash","Home"]})");
  EXPECT_EQ(keys.op, ScreenOp::Key);
  EXPECT_EQ(keys.keys, (std::vector<PhoneKey>{PhoneKey::Soft1, PhoneKey::Down, PhoneKey::Action,
                                              PhoneKey::Digit7, PhoneKey::Hash, PhoneKey::Home}));
  EXPECT_FALSE(keys.hold);
  EXPECT_TRUE(Parsed(R"({"op":"key","keys":["Back"],"hold":true})").hold);

  ScreenRequest type = Parsed(R"({"op":"type","text":"Grüße 你好 \ud83d\ude00"})");
  EXPECT_EQ(type.op, ScreenOp::Type);
  EXPECT_EQ(type.text, u"Grüße 你好 \U0001F600");

  EXPECT_EQ(Parsed(R"({"op":"screenshot"})").op, ScreenOp::Screenshot);
  EXPECT_EQ(Parsed(R"( {"op":"ui","extra":[1,2]} )").op, ScreenOp::Ui);
}

TEST(ScreenRequestTest, RefusesMalformedRequestsWithAReason) {
  EXPECT_EQ(Refusal(""), "not a JSON object");
  EXPECT_EQ(Refusal("[1]"), "not a JSON object");
  EXPECT_EQ(Refusal(R"({"op":"key"} trailing)"), "not a JSON object");
  EXPECT_EQ(Refusal("{\"op\":\"type\",\"text\":\"\xff\"}"), "not a JSON object");
  EXPECT_EQ(Refusal(R"({"op":5})"), "\"op\" must be a string");
  EXPECT_EQ(Refusal(R"({"op":"dance"})"), "unknown op \"dance\"");
  EXPECT_EQ(Refusal(R"({"op":"key","keys":"Soft1"})"), "\"keys\" must be an array");
  EXPECT_EQ(Refusal(R"({"op":"key","keys":[]})"), "\"keys\" is empty");
  EXPECT_EQ(Refusal(R"({"op":"key","keys":["Soft1",3]})"), "a key name must be a string");
  EXPECT_EQ(Refusal(R"({"op":"key","keys":["soft1"]})"), "unknown key \"soft1\"");
  EXPECT_EQ(Refusal(R"({"op":"key","keys":["Up"],"hold":1})"), "\"hold\" must be true or false");
  EXPECT_EQ(Refusal(R"({"op":"type","text":null})"), "\"text\" must be a string");
}

TEST(ScreenRequestTest, RefusesOversizedInputBeforeParsing) {
  std::string deep(100000, '[');
  EXPECT_EQ(Refusal(deep), "request nested too deeply");
  // Brackets inside a string are text, not nesting.
  std::string bracketsInText = R"({"op":"type","text":")" + std::string(100, '[') + R"("})";
  EXPECT_EQ(Parsed(bracketsInText).text.size(), 100u);

  std::string manyKeys = R"({"op":"key","keys":[)";
  for (size_t i = 0; i <= kMaxKeysPerRequest; ++i) manyKeys += i ? ",\"Up\"" : "\"Up\"";
  EXPECT_EQ(Refusal(manyKeys + "]}"), "too many keys");
  EXPECT_EQ(Refusal(std::string(kMaxScreenRequestBytes + 1, ' ')), "request too long");
}

TEST(ScreenRequestTest, FormattedRequestsParseBack) {
  std::vector<PhoneKey> all;
  for (int i = 0; i < kPhoneKeyCount; ++i) all.push_back(static_cast<PhoneKey>(i));
  ScreenRequest keys = Parsed(FormatKeyRequest(all, true));
  EXPECT_EQ(keys.keys, all);
  EXPECT_TRUE(keys.hold);
  EXPECT_EQ(Parsed(FormatTypeRequest(u"a\"b\\c\n")).text, u"a\"b\\c\n");
  EXPECT_EQ(Parsed(FormatSimpleRequest(ScreenOp::Screenshot)).op, ScreenOp::Screenshot);
}

TEST(PhoneKeyTest, NamesAndVirtualKeysMapBothWays) {
  for (int i = 0; i < kPhoneKeyCount; ++i) {
    PhoneKey key = static_cast<PhoneKey>(i);
    EXPECT_EQ(PhoneKeyNamed(PhoneKeyName(key)), key);
    EXPECT_EQ(PhoneKeyOfVirtualKey(VirtualKeyOf(key)), key);
  }
  EXPECT_EQ(VirtualKeyOf(PhoneKey::Back), 27);
  EXPECT_EQ(VirtualKeyOf(PhoneKey::Digit5), 0x35);
  EXPECT_EQ(VirtualKeyOf(PhoneKey::Star), 0x77);
  EXPECT_EQ(DigitOf(PhoneKey::Digit9), 9);
  EXPECT_FALSE(DigitOf(PhoneKey::Star).has_value());
}

TEST(WindowPostTest, ReadsThirtyTwoBitParameters) {
  std::string error;
  std::optional<WindowPost> post = ParseWindowPost(R"({"post":1274,"wParam":0,"lParam":515})", &error);
  ASSERT_TRUE(post) << error;
  EXPECT_EQ(post->message, 1274u);
  EXPECT_EQ(post->lParam, 515);
  post = ParseWindowPost(R"({"post":1,"wParam":4294967295,"lParam":-1})", &error);
  ASSERT_TRUE(post) << error;
  EXPECT_EQ(post->wParam, 0xFFFFFFFFu);
  EXPECT_EQ(post->lParam, -1);
  EXPECT_EQ(ParseWindowPost(R"({"post":7})", &error)->wParam, 0u);

  EXPECT_FALSE(ParseWindowPost(R"({"wParam":1})", &error));
  EXPECT_FALSE(ParseWindowPost(R"({"post":"1274"})", &error));
  EXPECT_FALSE(ParseWindowPost(R"({"post":1,"lParam":4294967296})", &error));
  EXPECT_FALSE(ParseWindowPost(R"({"post":1,"wParam":-2147483649})", &error));
  EXPECT_FALSE(ParseWindowPost(R"({"post":1.5})", &error));
  EXPECT_EQ(ParseWindowPost(FormatWindowPost({1124, 7, -3}), &error)->lParam, -3);
}

TEST(ScreenAnswerTest, AlwaysCarriesOk) {
  EXPECT_EQ(ScreenAnswerOk(), R"({"ok":true})");
  EXPECT_EQ(ScreenAnswerOk({{"ok", false}, {"error", "x"}, {"png", "AA=="}}),
            R"({"ok":true,"png":"AA=="})");
  EXPECT_EQ(ScreenAnswerError("no screen"), R"({"error":"no screen","ok":false})");
}

TEST(Base64Test, RoundTripsEveryTailLength) {
  std::string bytes;
  for (int i = 0; i < 300; ++i) {
    std::string encoded = Base64Encode(bytes);
    EXPECT_EQ(encoded.size() % 4, 0u);
    EXPECT_EQ(Base64Decode(encoded), bytes);
    bytes += static_cast<char>(i * 37);
  }
  EXPECT_EQ(Base64Encode("Man"), "TWFu");
  EXPECT_EQ(Base64Encode("Ma"), "TWE=");
}

TEST(Base64Test, RefusesWhatIsNotBase64) {
  EXPECT_FALSE(Base64Decode("TWF"));
  EXPECT_FALSE(Base64Decode("TW=u"));
  EXPECT_FALSE(Base64Decode("T==="));
  EXPECT_FALSE(Base64Decode("TWE=TWE="));
  EXPECT_FALSE(Base64Decode("TW!u"));
}

}  // namespace
}  // namespace brevalo
