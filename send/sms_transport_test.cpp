// The send queue against the device's real sms.dll on a throw-away device: what reaches the
// network outbox, in which order, and what is reported.
#include "send/sms_transport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

#include "device/com_test_support.h"
#include "device/kernel_test_support.h"
#include "device/phone_database.h"
#include "device/phone_library_test_support.h"

namespace brevalo {
namespace {

using namespace std::chrono_literals;
using testing::InstallFile;
using testing::TempDevice;

constexpr char16_t kSentinelText[] = u"sentinel";

struct Result {
  std::u16string recipients;
  std::u16string text;
  int result = -1;
};

// Collects the results as the main window would receive them; may enqueue from inside a
// delivery, as the main window's thread can.
class RecordingSink : public SendResultSink {
 public:
  void DeliverResult(SendRecord& record, int result) override {
    std::function<void()> during;
    {
      std::lock_guard<std::mutex> hold(mutex_);
      results_.push_back({record.recipients, record.text, result});
      during = std::move(duringDelivery_);
      duringDelivery_ = nullptr;
    }
    if (during) during();
    changed_.notify_all();
  }
  // Waits until `count` results with `text` have arrived.
  bool AwaitText(std::u16string_view text, size_t count = 1) {
    std::unique_lock<std::mutex> hold(mutex_);
    return changed_.wait_for(hold, 5s, [&] { return CountLocked(text) >= count; });
  }
  std::vector<Result> Results(bool withSentinels = false) {
    std::lock_guard<std::mutex> hold(mutex_);
    std::vector<Result> out;
    for (const Result& r : results_) {
      if (withSentinels || r.text != kSentinelText) out.push_back(r);
    }
    return out;
  }
  void OnNextDelivery(std::function<void()> action) {
    std::lock_guard<std::mutex> hold(mutex_);
    duringDelivery_ = std::move(action);
  }

 private:
  size_t CountLocked(std::u16string_view text) const {
    size_t count = 0;
    for (const Result& r : results_) count += r.text == text ? 1 : 0;
    return count;
  }
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<Result> results_;
  std::function<void()> duringDelivery_;
};

class FakeClock {
 public:
  void Set(uint16_t hour, uint16_t minute, uint16_t second) {
    std::lock_guard<std::mutex> hold(mutex_);
    now_ = At(hour, minute, second);
  }
  SYSTEMTIME Now() {
    std::lock_guard<std::mutex> hold(mutex_);
    return now_;
  }
  static SYSTEMTIME At(uint16_t hour, uint16_t minute, uint16_t second) {
    return SYSTEMTIME{2026, 12, 3, 9, hour, minute, second, 0};
  }

 private:
  std::mutex mutex_;
  SYSTEMTIME now_ = At(9, 0, 0);
};

class SmsTransportTest : public ::testing::Test {
 protected:
  SmsTransportTest() : loader_(device_.device(), u"\\Program Files\\Velmora\\") {}

  void InstallSms(const char* library = "sms") {
    ASSERT_FALSE(InstallFile(device_.device(), std::string(BREVALO_LIB_DIR) + "/" + library + ".so",
                             "Windows/sms.dll")
                     .empty());
  }
  void Start() {
    InstallSms();
    transport_ = std::make_unique<SmsTransport>(device_.device(), loader_,
                                                [this] { return clock_.Now(); });
    ASSERT_TRUE(transport_->Start(&sink_));
  }
  void SetNetwork(std::u16string_view name, std::u16string_view value) {
    testing::SetNetworkFault(device_, name, value);
  }
  void SetFailOpen(uint32_t on) { testing::SetFailOpen(device_, on); }
  // Two sentinels, each waited for: the second is taken in a pass that began after the one
  // that took the first had walked the whole queue, so every due record has been reported.
  void Settle() {
    for (size_t round = 1; round <= 2; ++round) {
      transport_->Enqueue(u"1", kSentinelText, 0, nullptr, nullptr);
      ASSERT_TRUE(sink_.AwaitText(kSentinelText, ++sentinels_));
    }
  }
  std::vector<OutboxEntry> Outbox() {
    std::vector<OutboxEntry> entries;
    auto db = PhoneDatabase::OpenDevice(device_.device());
    EXPECT_TRUE(db != nullptr && db->ListOutbox(&entries));
    std::erase_if(entries, [](const OutboxEntry& e) { return e.text == kSentinelText; });
    return entries;
  }

  TempDevice device_;
  ModuleLoader loader_;
  FakeClock clock_;
  RecordingSink sink_;
  std::unique_ptr<SmsTransport> transport_;
  size_t sentinels_ = 0;
};

TEST_F(SmsTransportTest, SendsToEachNumberOfTheListAndReportsTheLastOne) {
  Start();
  transport_->Enqueue(u"5550101;;\"Bob\" <(555) 01-02>;", u"both", 0, nullptr, nullptr);
  ASSERT_TRUE(sink_.AwaitText(u"both"));
  std::vector<OutboxEntry> outbox = Outbox();
  ASSERT_EQ(outbox.size(), 2u);
  EXPECT_EQ(outbox[0].recipient, u"5550101");
  EXPECT_EQ(outbox[1].recipient, u"5550102");
  EXPECT_EQ(outbox[1].text, u"both");
  EXPECT_EQ(outbox[1].addressType, SMSAT_UNKNOWN);
  EXPECT_EQ(sink_.Results()[0].result, SEND_RESULT_OK);

  // The last number refused makes the record a failure although the first went out; the
  // first refused makes it a success.
  SetNetwork(u"RejectNumbers", u"5550102");
  transport_->Enqueue(u"5550101;5550102", u"last refused", 0, nullptr, nullptr);
  transport_->Enqueue(u"5550102;5550101", u"first refused", 0, nullptr, nullptr);
  ASSERT_TRUE(sink_.AwaitText(u"last refused"));
  ASSERT_TRUE(sink_.AwaitText(u"first refused"));
  for (const Result& r : sink_.Results()) {
    if (r.text == u"last refused") {
      EXPECT_EQ(r.result, SEND_RESULT_FAIL);
    } else if (r.text == u"first refused") {
      EXPECT_EQ(r.result, SEND_RESULT_OK);
    }
  }
  EXPECT_EQ(Outbox().size(), 4u);
}

TEST_F(SmsTransportTest, AListWithoutANumberFailsWithoutReachingTheNetwork) {
  Start();
  transport_->Enqueue(u" ;( - );\"Ann\" <>;", u"nobody", 0, nullptr, nullptr);
  ASSERT_TRUE(sink_.AwaitText(u"nobody"));
  EXPECT_EQ(sink_.Results()[0].result, SEND_RESULT_FAIL);
  EXPECT_TRUE(Outbox().empty());
}

TEST_F(SmsTransportTest, FlagsBecomeMessageClassAndStatusReport) {
  Start();
  transport_->Enqueue(u"5550101", u"flash", SEND_FLASH | SEND_STATUS_REPORT, nullptr, nullptr);
  ASSERT_TRUE(sink_.AwaitText(u"flash"));
  transport_->Enqueue(u"5550101", u"plain", 0, nullptr, nullptr);
  ASSERT_TRUE(sink_.AwaitText(u"plain"));
  std::vector<OutboxEntry> outbox = Outbox();
  ASSERT_EQ(outbox.size(), 2u);
  EXPECT_TRUE(outbox[0].Flash());
  EXPECT_TRUE(outbox[0].statusReport);
  EXPECT_FALSE(outbox[1].Flash());
  EXPECT_EQ(outbox[1].messageClass, PS_MESSAGE_CLASS1);
  EXPECT_FALSE(outbox[1].statusReport);
}

TEST_F(SmsTransportTest, RefusedAddressTypesFallBackInOrder) {
  Start();
  SetNetwork(u"RejectAddressTypes", u"0;2;1");
  transport_->Enqueue(u"5550101", u"fourth type", 0, nullptr, nullptr);
  ASSERT_TRUE(sink_.AwaitText(u"fourth type"));
  SetNetwork(u"RejectAddressTypes", u"0;2;1;3;5");
  transport_->Enqueue(u"5550101", u"no type", 0, nullptr, nullptr);
  ASSERT_TRUE(sink_.AwaitText(u"no type"));
  std::vector<Result> results = sink_.Results();
  EXPECT_EQ(results[0].result, SEND_RESULT_OK);
  EXPECT_EQ(results[1].result, SEND_RESULT_FAIL);
  std::vector<OutboxEntry> outbox = Outbox();
  ASSERT_EQ(outbox.size(), 1u);
  EXPECT_EQ(outbox[0].addressType, SMSAT_NETWORKSPECIFIC);
}

TEST_F(SmsTransportTest, ATimedMessageGoesInItsMinuteAndNeverAfterIt) {
  Start();
  clock_.Set(10, 14, 59);
  SYSTEMTIME at = FakeClock::At(10, 15, 0);
  at.wSecond = 30;     // seconds, milliseconds and the day of the week do not count
  at.wDayOfWeek = 6;
  transport_->Enqueue(u"5550101", u"at 10:15", 0, &at, nullptr);
  SYSTEMTIME passed = FakeClock::At(10, 13, 0);
  transport_->Enqueue(u"5550102", u"at 10:13", 0, &passed, nullptr);
  Settle();
  EXPECT_TRUE(sink_.Results().empty());

  clock_.Set(10, 15, 0);
  transport_->Wake();
  Settle();
  ASSERT_EQ(sink_.Results().size(), 1u);
  EXPECT_EQ(sink_.Results()[0].text, u"at 10:15");

  clock_.Set(10, 16, 0);
  Settle();
  EXPECT_EQ(sink_.Results().size(), 1u);
  EXPECT_EQ(transport_->QueuedCount(), 1u) << "the passed one waits until the program ends";
  ASSERT_EQ(Outbox().size(), 1u);
  EXPECT_EQ(Outbox()[0].recipient, u"5550101");
}

TEST_F(SmsTransportTest, WhileTheLibraryWillNotOpenRecordsWaitAndThenGoNewestFirst) {
  Start();
  SetFailOpen(1);
  transport_->Enqueue(u"5550101", u"older", 0, nullptr, nullptr);
  transport_->Enqueue(u"5550102", u"newer", 0, nullptr, nullptr);
  for (int i = 0; i < 5; ++i) {
    transport_->Wake();
    std::this_thread::sleep_for(20ms);
  }
  EXPECT_TRUE(sink_.Results(true).empty());
  EXPECT_EQ(transport_->QueuedCount(), 2u);
  EXPECT_TRUE(Outbox().empty());

  SetFailOpen(0);
  transport_->Wake();
  ASSERT_TRUE(sink_.AwaitText(u"older"));
  std::vector<Result> results = sink_.Results();
  ASSERT_EQ(results.size(), 2u);
  EXPECT_EQ(results[0].text, u"newer");
  EXPECT_EQ(results[1].text, u"older");
  std::vector<OutboxEntry> outbox = Outbox();
  ASSERT_EQ(outbox.size(), 2u);
  EXPECT_EQ(outbox[0].recipient, u"5550102");
}

TEST_F(SmsTransportTest, TheReceiverMayEnqueueWhileItHandlesAResult) {
  Start();
  sink_.OnNextDelivery([this] {
    transport_->Enqueue(u"5550102", u"reply", 0, nullptr, nullptr);
  });
  transport_->Enqueue(u"5550101", u"first", 0, nullptr, nullptr);
  ASSERT_TRUE(sink_.AwaitText(u"reply"));
  EXPECT_EQ(Outbox().size(), 2u);
}

TEST_F(SmsTransportTest, ANumberLongerThanAnAddressIsRefusedButALongNameIsNot) {
  Start();
  const std::u16string longNumber(kMaxAddressLength + 1, u'7');
  const std::u16string longName(300, u'n');
  transport_->Enqueue(longNumber, u"long number", 0, nullptr, nullptr);
  transport_->Enqueue(u"\"" + longName + u"\"<5550101>", u"long name", 0, nullptr, nullptr);
  ASSERT_TRUE(sink_.AwaitText(u"long number"));
  ASSERT_TRUE(sink_.AwaitText(u"long name"));
  for (const Result& r : sink_.Results()) {
    EXPECT_EQ(r.result, r.text == u"long name" ? SEND_RESULT_OK : SEND_RESULT_FAIL) << r.text.size();
  }
  std::vector<OutboxEntry> outbox = Outbox();
  ASSERT_EQ(outbox.size(), 1u);
  EXPECT_EQ(outbox[0].recipient, u"5550101");

  // The longest number an address holds still goes out whole.
  const std::u16string longest(kMaxAddressLength, u'7');
  transport_->Enqueue(longest, u"longest", 0, nullptr, nullptr);
  ASSERT_TRUE(sink_.AwaitText(u"longest"));
  ASSERT_EQ(Outbox().size(), 2u);
  EXPECT_EQ(Outbox()[1].recipient, longest);
}

TEST_F(SmsTransportTest, StopEndsTheThreadAndDropsWhatWaits) {
  Start();
  SetFailOpen(1);
  transport_->Enqueue(u"5550101", u"never", 0, nullptr, nullptr);
  transport_->Stop();
  EXPECT_FALSE(transport_->Running());
  EXPECT_EQ(transport_->QueuedCount(), 0u);
  SetFailOpen(0);
  transport_->Wake();
  transport_->Enqueue(u"5550101", u"after stop", 0, nullptr, nullptr);
  std::this_thread::sleep_for(50ms);
  EXPECT_TRUE(sink_.Results(true).empty());
  EXPECT_TRUE(Outbox().empty());
}

TEST_F(SmsTransportTest, StartFailsWithoutTheLibraryOrOneOfItsEntryPoints) {
  SmsTransport missing(device_.device(), loader_);
  EXPECT_FALSE(missing.Start(&sink_));
  missing.Enqueue(u"5550101", u"lost", 0, nullptr, nullptr);
  missing.Wake();
  EXPECT_FALSE(missing.Running());

  // A library of the device that is no SMS library: none of its entry points is bound.
  InstallSms("cellcore");
  SmsTransport wrong(device_.device(), loader_);
  EXPECT_FALSE(wrong.Start(&sink_));
  EXPECT_FALSE(wrong.EntryPoints().Complete());
  wrong.Enqueue(u"5550101", u"lost", 0, nullptr, nullptr);
  wrong.Stop();
  EXPECT_TRUE(sink_.Results(true).empty());
}

}  // namespace
}  // namespace brevalo
