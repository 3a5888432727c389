// sms.so loaded from the build tree, driven the way the program's SMS transport drives it.
#include "device/sms_library.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "device/phone_database.h"
#include "device/phone_library_test_support.h"
#include "device/registry.h"

namespace brevalo {
namespace {

using testing::LoadedLibrary;
using testing::TempDevice;

constexpr char16_t kProtocol[] = u"text protocol";
constexpr std::array<SMS_ADDRESS_TYPE, 5> kFallbackOrder{
    SMSAT_UNKNOWN, SMSAT_NATIONAL, SMSAT_INTERNATIONAL, SMSAT_NETWORKSPECIFIC, SMSAT_ALPHANUMERIC};

class SmsLibraryTest : public ::testing::Test {
 protected:
  SmsLibraryTest()
      : library_("sms", device_),
        open_(library_.Bind<SmsOpenFunction>(kSmsOpen)),
        send_(library_.Bind<SmsSendMessageFunction>(kSmsSendMessage)),
        close_(library_.Bind<SmsCloseFunction>(kSmsClose)) {}

  void SetUp() override { ASSERT_TRUE(open_ && send_ && close_); }

  void SetFault(std::u16string_view name, std::u16string_view value) {
    testing::SetNetworkFault(device_, name, value);
  }
  void SetFailOpen(uint32_t on) { testing::SetFailOpen(device_, on); }

  static SMS_ADDRESS Address(std::u16string_view number, SMS_ADDRESS_TYPE type) {
    SMS_ADDRESS address{};
    address.smsatAddressType = type;
    number.copy(address.ptsAddress, SMS_MAX_ADDRESS_LENGTH - 1);
    return address;
  }

  static TEXT_PROVIDER_SPECIFIC_DATA Options(bool flash, bool statusReport) {
    TEXT_PROVIDER_SPECIFIC_DATA data{};
    data.dwMessageOptions =
        statusReport ? PS_MESSAGE_OPTION_STATUSREPORT : PS_MESSAGE_OPTION_NONE;
    data.psMessageClass = flash ? PS_MESSAGE_CLASS0 : PS_MESSAGE_CLASS1;
    return data;
  }

  HRESULT Send(SMS_HANDLE handle, const SMS_ADDRESS& address, std::u16string_view text,
               const TEXT_PROVIDER_SPECIFIC_DATA& options, SMS_MESSAGE_ID* id = nullptr) {
    SMS_MESSAGE_ID unused = 0;
    return send_(handle, nullptr, &address, nullptr, reinterpret_cast<const uint8_t*>(text.data()),
                 static_cast<DWORD>(text.size() * 2), reinterpret_cast<const uint8_t*>(&options),
                 sizeof(options), SMSDE_OPTIMAL, SMS_OPTION_DELIVERY_NONE,
                 id != nullptr ? id : &unused);
  }

  // The transport's per-number routine: each address type in turn until one is accepted.
  std::optional<SMS_ADDRESS_TYPE> SendWithFallback(SMS_HANDLE handle, std::u16string_view number,
                                                   std::u16string_view text, int* calls) {
    *calls = 0;
    for (SMS_ADDRESS_TYPE type : kFallbackOrder) {
      ++*calls;
      if (Send(handle, Address(number, type), text, Options(false, false)) >= 0) return type;
    }
    return std::nullopt;
  }

  std::vector<OutboxEntry> Outbox() {
    std::vector<OutboxEntry> entries;
    auto db = PhoneDatabase::OpenDevice(device_.device());
    EXPECT_TRUE(db != nullptr && db->ListOutbox(&entries));
    return entries;
  }

  SMS_HANDLE OpenHandle() {
    SMS_HANDLE handle = 0;
    EXPECT_EQ(open_(kProtocol, SMS_MODE_SEND, &handle, nullptr), S_OK);
    EXPECT_NE(handle, 0u);
    return handle;
  }

  TempDevice device_;
  LoadedLibrary library_;
  SmsOpenFunction open_;
  SmsSendMessageFunction send_;
  SmsCloseFunction close_;
};

TEST_F(SmsLibraryTest, AnAcceptedMessageLandsInTheOutboxWithItsOptions) {
  SMS_HANDLE handle = OpenHandle();
  SMS_MESSAGE_ID first = 0;
  SMS_MESSAGE_ID second = 0;
  ASSERT_EQ(Send(handle, Address(u"+4917012", SMSAT_UNKNOWN), u"Hallo 你好", Options(true, true),
                 &first),
            S_OK);
  ASSERT_EQ(Send(handle, Address(u"0301", SMSAT_NATIONAL), u"", Options(false, false), &second),
            S_OK);
  EXPECT_EQ(close_(handle), S_OK);

  auto outbox = Outbox();
  ASSERT_EQ(outbox.size(), 2u);
  EXPECT_EQ(outbox[0].id, static_cast<int64_t>(first));
  EXPECT_NE(first, second);
  EXPECT_EQ(outbox[0].recipient, u"+4917012");
  EXPECT_EQ(outbox[0].addressType, SMSAT_UNKNOWN);
  EXPECT_EQ(outbox[0].text, u"Hallo 你好");
  EXPECT_TRUE(outbox[0].Flash());
  EXPECT_TRUE(outbox[0].statusReport);
  EXPECT_GT(outbox[0].time, 130000000000000000ull) << "stamped with the current time";
  EXPECT_EQ(outbox[1].addressType, SMSAT_NATIONAL);
  EXPECT_FALSE(outbox[1].Flash());
  EXPECT_FALSE(outbox[1].statusReport);
  EXPECT_TRUE(outbox[1].text.empty());
}

TEST_F(SmsLibraryTest, OpenFailsWhileTheFaultIsOnAndWorksAgainAfter) {
  SetFailOpen(1);
  SMS_HANDLE handle = 99;
  EXPECT_EQ(open_(kProtocol, SMS_MODE_SEND, &handle, nullptr), SMS_E_NO_NETWORK);
  EXPECT_EQ(handle, 0u);
  EXPECT_NE(SMS_E_NO_NETWORK, S_OK) << "the transport only tests for non-zero";
  SetFailOpen(0);
  handle = OpenHandle();
  EXPECT_EQ(close_(handle), S_OK);
}

TEST_F(SmsLibraryTest, RejectedAddressTypesFallThroughToTheNextOne) {
  SetFault(u"RejectAddressTypes", u"0;2");
  SMS_HANDLE handle = OpenHandle();
  int calls = 0;
  EXPECT_EQ(SendWithFallback(handle, u"555", u"x", &calls), SMSAT_INTERNATIONAL);
  EXPECT_EQ(calls, 3);
  close_(handle);
  auto outbox = Outbox();
  ASSERT_EQ(outbox.size(), 1u);
  EXPECT_EQ(outbox[0].addressType, SMSAT_INTERNATIONAL);
}

TEST_F(SmsLibraryTest, ARejectedNumberFailsEveryAddressTypeAndOthersStillGo) {
  SetFault(u"RejectNumbers", u"111; 222");
  SMS_HANDLE handle = OpenHandle();
  int calls = 0;
  EXPECT_FALSE(SendWithFallback(handle, u"222", u"x", &calls));
  EXPECT_EQ(calls, 5);
  EXPECT_EQ(Send(handle, Address(u"111", SMSAT_UNKNOWN), u"x", Options(false, false)),
            SMS_E_ADDRESS_REJECTED);
  EXPECT_LT(SMS_E_ADDRESS_REJECTED, 0);
  EXPECT_EQ(SendWithFallback(handle, u"333", u"x", &calls), SMSAT_UNKNOWN);
  close_(handle);
  auto outbox = Outbox();
  ASSERT_EQ(outbox.size(), 1u);
  EXPECT_EQ(outbox[0].recipient, u"333");
}

TEST_F(SmsLibraryTest, HandlesAreCheckedNotFollowed) {
  SMS_HANDLE handle = OpenHandle();
  EXPECT_EQ(close_(handle), S_OK);
  EXPECT_EQ(close_(handle), E_HANDLE);
  EXPECT_EQ(Send(handle, Address(u"1", SMSAT_UNKNOWN), u"x", Options(false, false)), E_HANDLE);
  EXPECT_EQ(Send(0x12345678, Address(u"1", SMSAT_UNKNOWN), u"x", Options(false, false)),
            E_HANDLE);
  EXPECT_EQ(open_(kProtocol, SMS_MODE_SEND, nullptr, nullptr), E_INVALIDARG);
  SMS_HANDLE none = 0;
  EXPECT_EQ(open_(nullptr, SMS_MODE_SEND, &none, nullptr), SMS_E_INVALID_PROTOCOL);
  EXPECT_EQ(open_(kProtocol, SMS_MODE_RECEIVE, &none, nullptr), E_INVALIDARG);
  EXPECT_TRUE(Outbox().empty());
}

TEST_F(SmsLibraryTest, MalformedArgumentsAreRefusedAndNothingIsQueued) {
  SMS_HANDLE handle = OpenHandle();
  SMS_ADDRESS unterminated{};
  std::fill(std::begin(unterminated.ptsAddress), std::end(unterminated.ptsAddress), u'9');
  EXPECT_EQ(Send(handle, unterminated, u"x", Options(false, false)), E_INVALIDARG);
  EXPECT_EQ(Send(handle, Address(u"", SMSAT_UNKNOWN), u"x", Options(false, false)), E_INVALIDARG);

  SMS_ADDRESS address = Address(u"1", SMSAT_UNKNOWN);
  const uint8_t odd[3] = {'a', 0, 'b'};
  auto options = Options(false, false);
  const auto* raw = reinterpret_cast<const uint8_t*>(&options);
  EXPECT_EQ(send_(handle, nullptr, &address, nullptr, odd, 3, raw, sizeof(options), 0, 0, nullptr),
            E_INVALIDARG);
  EXPECT_EQ(send_(handle, nullptr, &address, nullptr, nullptr, 2, raw, sizeof(options), 0, 0,
                  nullptr),
            E_INVALIDARG);
  EXPECT_EQ(send_(handle, nullptr, &address, nullptr, odd, 2, raw, 100, 0, 0, nullptr),
            E_INVALIDARG);
  EXPECT_EQ(send_(handle, nullptr, nullptr, nullptr, odd, 2, raw, sizeof(options), 0, 0, nullptr),
            E_INVALIDARG);
  EXPECT_TRUE(Outbox().empty());

  // Without provider data the message is an ordinary one; no id place is needed either.
  EXPECT_EQ(send_(handle, nullptr, &address, nullptr, odd, 2, nullptr, 0, 0, 0, nullptr), S_OK);
  close_(handle);
  auto outbox = Outbox();
  ASSERT_EQ(outbox.size(), 1u);
  EXPECT_EQ(outbox[0].text, u"a");
  EXPECT_EQ(outbox[0].messageClass, PS_MESSAGE_CLASS1);
}

TEST(PhoneLibraries, ExportTheirEntryPointsAndNothingOfTheirInsides) {
  TempDevice device;
  LoadedLibrary phone("phone", device);
  EXPECT_TRUE(phone.Exports("PhoneLibraryVersion"));
  EXPECT_TRUE(phone.Exports(kSetDeviceFolder));
  LoadedLibrary sms("sms", device);
  // brevalo::PhoneDatabase::FileOf(const Device&), which the static device code defines: a
  // program's own copy of it must never be bound to the library's.
  EXPECT_FALSE(sms.Exports("_ZN7brevalo13PhoneDatabase6FileOfB5cxx11ERKNS_6DeviceE"));
}

}  // namespace
}  // namespace brevalo
