// The service's request lines as both ends read them: what is accepted, and what is refused.
#include "device/service_request.h"

#include <gtest/gtest.h>

namespace brevalo {
namespace {

TEST(ServiceRequestTest, RequestsAndAnswersSurviveTheirRoundTrip) {
  ServiceRequest sms;
  sms.op = ServiceOp::Sms;
  sms.from = u"+8613800138000";
  sms.text = u"\u4f60\u597d \"quoted\"\nline";
  sms.deliveryTime = 134'000'000'000'000'000ull;
  std::string error;
  std::optional<ServiceRequest> back = ParseServiceRequest(FormatServiceRequest(sms), &error);
  ASSERT_TRUE(back) << error;
  EXPECT_EQ(back->op, ServiceOp::Sms);
  EXPECT_EQ(back->from, sms.from);
  EXPECT_EQ(back->text, sms.text);
  EXPECT_EQ(back->deliveryTime, sms.deliveryTime);
  EXPECT_EQ(ParseServiceRequest(FormatServiceRequest(ServiceRequest{}), &error)->op,
            ServiceOp::Status);

  std::optional<SmsOutcome> outcome = ParseSmsOutcome(FormatSmsOutcome({7, true, true}), &error);
  ASSERT_TRUE(outcome) << error;
  EXPECT_EQ(outcome->id, 7);
  EXPECT_TRUE(outcome->deleted && outcome->handled);
  std::optional<ServiceStatus> status =
      ParseServiceStatus(FormatServiceStatus({42, {"{20F58816-51E4-418D-92DD-8390021DCDCA}"}}), &error);
  ASSERT_TRUE(status) << error;
  EXPECT_EQ(status->pid, 42);
  EXPECT_EQ(status->ruleClients.size(), 1u);
}

TEST(ServiceRequestTest, MalformedRequestsAreRefusedWithAReason) {
  const std::pair<std::string, std::string> cases[] = {
      {"", "not a JSON object"},
      {"[1]", "not a JSON object"},
      {R"({"op":1})", "\"op\" must be a string"},
      {R"({"op":"reboot"})", "unknown op"},
      {R"({"op":"sms","text":"x"})", "\"from\" must be a string"},
      {R"({"op":"sms","from":"","text":"x"})", "\"from\" is empty"},
      {R"({"op":"sms","from":"1","text":7})", "\"text\" must be a string"},
      {R"({"op":"sms","from":"1","text":"x","time":-5})", "FILETIME"},
      {R"({"op":"sms","from":"1","text":"x","time":"now"})", "FILETIME"},
      {R"({"op":"sms","from":"1","text":"x"} trailing)", "not a JSON object"},
      {std::string(R"({"op":"sms","from":")") + std::string(kMaxSmsAddressUnits + 1, '1') + R"(","text":""})",
       "longer than " + std::to_string(kMaxSmsAddressUnits)},
      {std::string(kMaxServiceLineBytes + 1, ' '), "too long"},
      {std::string(100, '[') , "nested"},
  };
  for (const auto& [line, reason] : cases) {
    SCOPED_TRACE(line.substr(0, 80));
    std::string error;
    EXPECT_FALSE(ParseServiceRequest(line, &error));
    EXPECT_NE(error.find(reason), std::string::npos) << error;
  }
}

TEST(ServiceRequestTest, AnswersThatAreNotWhatWasAskedAreRefused) {
  std::string error;
  EXPECT_FALSE(ParseSmsOutcome(FormatServiceError("the inbox is full"), &error));
  EXPECT_EQ(error, "the inbox is full");
  EXPECT_FALSE(ParseSmsOutcome(R"({"ok":true,"id":1,"outcome":"lost","handled":false})", &error));
  EXPECT_FALSE(ParseSmsOutcome(R"({"id":1,"outcome":"kept","handled":false})", &error));
  EXPECT_FALSE(ParseSmsOutcome(FormatServiceStatus({1, {}}), &error));
  EXPECT_FALSE(ParseServiceStatus(R"({"ok":true,"pid":1,"ruleClients":[3]})", &error));
  EXPECT_FALSE(ParseServiceStatus(FormatSmsOutcome({1, false, false}), &error));
}

}  // namespace
}  // namespace brevalo
