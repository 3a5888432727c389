// The channel run from both sides in separate processes: the library side in forked children,
// the program side in the test process, as the messaging service and the program would.
#include <gtest/gtest.h>

#include <unistd.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "channel/channel_reader.h"
#include "channel/channel_writer.h"
#include "channel/unread_counter.h"
#include "device/kernel_test_support.h"
#include "device/kernel_wait.h"

namespace brevalo {
namespace {

using testing::Child;
using testing::MonotonicMs;
using testing::Pipe;
using testing::TempDevice;

constexpr FILETIME kTime{0x11223344u, 0x01DA0000u};

std::u16string Numbered(int i) { return u"message " + std::u16string(1, u'0' + i); }

// Exit codes of a library child: bit 0 stored, bit 1 program running, bit 2 delete answered.
int Encode(const ChannelWriter::HandOverResult& result) {
  return (result.stored ? 1 : 0) | (result.programRunning ? 2 : 0) |
         (result.deleteAnswered ? 4 : 0);
}

class ChannelProtocolTest : public ::testing::Test {
 protected:
  const Device& device() const { return temp_.device(); }

  // One library child handing over one message; returns its Encode()d result, or -1.
  int HandOverFromChild(const std::u16string& body, int64_t* elapsedMs = nullptr) {
    int64_t start = MonotonicMs();
    Child library([&] {
      auto writer = ChannelWriter::Open(device());
      if (writer == nullptr) return 100;
      return Encode(writer->HandOver(body, u"+4917012345", kTime));
    });
    int code = library.Wait(10000);
    if (elapsedMs != nullptr) *elapsedMs = MonotonicMs() - start;
    return code;
  }

  std::vector<std::u16string> Drain(ChannelReader& reader, uint32_t timeoutMs = 0) {
    std::vector<std::u16string> bodies;
    reader.ReceiveOnce(timeoutMs, [&](const SlotMessage& message) {
      bodies.push_back(message.body);
      return true;
    });
    return bodies;
  }

  TempDevice temp_;
};

TEST_F(ChannelProtocolTest, WithNobodyListeningTheBufferFillsToFiveAndNothingIsDeleted) {
  // The test keeps a view open so the buffer outlives each short-lived library process.
  auto keeper = ChannelWriter::Open(device());
  ASSERT_NE(keeper, nullptr);
  auto available = NamedEvent::Create(device(), kSmsAvailableEventName, false, false);
  for (int i = 0; i < 5; ++i) {
    int64_t elapsed = 0;
    EXPECT_EQ(HandOverFromChild(Numbered(i), &elapsed), 1) << i;
    EXPECT_LT(elapsed, 500) << "no program, so no wait for an answer";
  }
  available->Reset();
  EXPECT_EQ(HandOverFromChild(u"sixth"), 0) << "a full buffer stores nothing";
  EXPECT_EQ(available->Wait(0), WAIT_OBJECT_0) << "but still signals";
  ChannelBuffer* buffer = keeper->Buffer();
  EXPECT_EQ(buffer->count, 5u);
  EXPECT_EQ(buffer->running, 0u);
  EXPECT_EQ(ReadChannelSlot(buffer->slots[0]).body, u"message 0");
  EXPECT_EQ(ReadChannelSlot(buffer->slots[4]).body, u"message 4");
}

TEST_F(ChannelProtocolTest, ProgramStartingLateFindsTheCountersAndTheMessagesInOrder) {
  auto keeper = ChannelWriter::Open(device());
  for (int i = 0; i < 3; ++i) ASSERT_EQ(HandOverFromChild(Numbered(i)), 1);
  auto reader = ChannelReader::Open(device());
  ASSERT_NE(reader, nullptr);
  EXPECT_EQ(reader->Buffer()->capacity, 5u);
  EXPECT_EQ(reader->Buffer()->count, 3u);
  EXPECT_EQ(reader->Buffer()->running, 1u);
  EXPECT_EQ(Drain(*reader),
            (std::vector<std::u16string>{u"message 0", u"message 1", u"message 2"}));
  EXPECT_EQ(reader->Buffer()->count, 0u);
}

TEST_F(ChannelProtocolTest, ProgramStartingLateTakesWaitingMessagesWithoutANewSignal) {
  auto keeper = ChannelWriter::Open(device());
  ASSERT_TRUE(keeper->Put(u"waiting", u"1", kTime));
  auto available = NamedEvent::Create(device(), kSmsAvailableEventName, false, false);
  ASSERT_EQ(available->Wait(0), WAIT_OBJECT_0);  // someone else swallowed the signal
  auto reader = ChannelReader::Open(device());
  EXPECT_EQ(Drain(*reader), std::vector<std::u16string>{u"waiting"});
}

TEST_F(ChannelProtocolTest, NewLibraryObjectKeepsMessagesTheProgramHasNotRead) {
  auto keeper = ChannelWriter::Open(device());
  ASSERT_EQ(HandOverFromChild(u"unread"), 1);
  ASSERT_EQ(HandOverFromChild(u"second"), 1) << "each child is a new rule-client object";
  auto reader = ChannelReader::Open(device());
  EXPECT_EQ(Drain(*reader), (std::vector<std::u16string>{u"unread", u"second"}));
}

class RunningProgram {
 public:
  // `answer` decides, on the intake thread, whether the message is to be deleted; `delayMs`
  // is how long the window takes before it answers.
  RunningProgram(const Device& device, std::function<bool(const SlotMessage&)> answer,
                 int delayMs = 0)
      : reader_(ChannelReader::Open(device)) {
    thread_ = std::thread([this, answer, delayMs] {
      reader_->Run([&](const SlotMessage& message) {
        received_.fetch_add(1);
        if (delayMs > 0) usleep(static_cast<useconds_t>(delayMs) * 1000);
        if (answer(message)) reader_->AnswerDelete();
        return true;
      });
    });
  }
  ~RunningProgram() {
    reader_->Stop();
    thread_.join();
  }
  int received() const { return received_.load(); }
  ChannelReader& reader() { return *reader_; }

 private:
  std::unique_ptr<ChannelReader> reader_;
  std::thread thread_;
  std::atomic<int> received_{0};
};

TEST_F(ChannelProtocolTest, DeleteAnswerWithinTheSecondReachesTheLibrary) {
  RunningProgram program(device(), [](const SlotMessage& m) { return m.body == u"delete me"; });
  int64_t elapsed = 0;
  EXPECT_EQ(HandOverFromChild(u"delete me", &elapsed), 1 | 2 | 4);
  EXPECT_LT(elapsed, 900);
  // Kept messages: the library waits out its second and leaves them in the inbox.
  EXPECT_EQ(HandOverFromChild(u"keep me", &elapsed), 1 | 2);
  EXPECT_GE(elapsed, 990);
  EXPECT_EQ(program.received(), 2);
}

TEST_F(ChannelProtocolTest, AnswerAfterTheSecondIsTooLateAndDoesNotLeakIntoTheNextMessage) {
  {
    RunningProgram slow(
        device(), [](const SlotMessage&) { return true; }, 1300);
    int64_t elapsed = 0;
    EXPECT_EQ(HandOverFromChild(u"slow", &elapsed), 1 | 2);
    EXPECT_GE(elapsed, 990);
    EXPECT_LT(elapsed, 1250);
    usleep(500000);  // the late answer lands now, with nobody waiting
  }
  RunningProgram silent(device(), [](const SlotMessage&) { return false; });
  EXPECT_EQ(HandOverFromChild(u"next"), 1 | 2) << "the stale answer was taken for this message";
}

TEST_F(ChannelProtocolTest, SixthMessageWhileFiveAreUnreadStillRunsTheHandshake) {
  auto reader = ChannelReader::Open(device());  // running, but the window is busy
  auto writer = ChannelWriter::Open(device());
  for (int i = 0; i < 5; ++i) ASSERT_TRUE(writer->Put(Numbered(i), u"1", kTime));
  std::thread answerer([&] {
    usleep(100000);
    reader->AnswerDelete();
  });
  int64_t elapsed = 0;
  EXPECT_EQ(HandOverFromChild(u"sixth", &elapsed), 2 | 4);
  answerer.join();
  EXPECT_LT(elapsed, 900);
  EXPECT_EQ(reader->Buffer()->count, 5u);
}

TEST_F(ChannelProtocolTest, RefusedSlotStaysForTheNextPassAndTheRingWrapsInOrder) {
  auto reader = ChannelReader::Open(device());
  auto writer = ChannelWriter::Open(device());
  std::vector<std::u16string> seen;
  int put = 0;
  for (int round = 0; round < 4; ++round) {
    for (int i = 0; i < 2; ++i) ASSERT_TRUE(writer->Put(Numbered(put++), u"1", kTime));
    bool refuseOnce = round == 1;
    reader->ReceiveOnce(0, [&](const SlotMessage& m) {
      if (refuseOnce) {
        refuseOnce = false;
        return false;
      }
      seen.push_back(m.body);
      return true;
    });
  }
  // Round 1 refused its first slot; round 2's pass picks it up again before the new ones.
  for (int i = 0; i < put; ++i) ASSERT_EQ(seen.at(static_cast<size_t>(i)), Numbered(i)) << i;
}

TEST_F(ChannelProtocolTest, DamagedHeadNeverSendsAnAccessOutsideTheRing) {
  auto writer = ChannelWriter::Open(device());
  ChannelBuffer* buffer = writer->Buffer();
  buffer->count = 9;
  buffer->writeIndex = 77;
  buffer->readIndex = 0xFFFFFFFF;
  ASSERT_TRUE(writer->Put(u"after damage", u"1", kTime));
  EXPECT_EQ(buffer->count, 1u);
  EXPECT_EQ(buffer->writeIndex, 1u);
  buffer->readIndex = 12;
  auto reader = ChannelReader::Open(device());
  auto bodies = Drain(*reader);
  EXPECT_TRUE(bodies.empty()) << "a head that cannot be trusted is emptied, not followed";
  EXPECT_TRUE(ChannelHeadIsSound(*buffer));
}

TEST_F(ChannelProtocolTest, HeadSoundnessFollowsTheRing) {
  ChannelBuffer buffer{};
  ResetChannelHead(&buffer);
  EXPECT_TRUE(ChannelHeadIsSound(buffer));
  buffer.count = 5;  // full: indices meet again
  EXPECT_TRUE(ChannelHeadIsSound(buffer));
  buffer.count = 2;
  EXPECT_FALSE(ChannelHeadIsSound(buffer));
  buffer.writeIndex = 1;
  buffer.readIndex = 4;
  EXPECT_TRUE(ChannelHeadIsSound(buffer));
  buffer.capacity = 6;
  EXPECT_FALSE(ChannelHeadIsSound(buffer));
}

TEST_F(ChannelProtocolTest, LibraryKilledHoldingTheMutexDoesNotStopTheProgram) {
  auto reader = ChannelReader::Open(device());
  Pipe held;
  Child library([&] {
    auto mutex = NamedMutex::Create(device(), kSmsDataMutexName, false);
    mutex->Wait(INFINITE);
    held.Signal();
    pause();
    return 0;
  });
  ASSERT_TRUE(held.Await());
  library.Kill();
  auto writer = ChannelWriter::Open(device());
  ASSERT_TRUE(writer->Put(u"after the crash", u"1", kTime));
  EXPECT_EQ(Drain(*reader), std::vector<std::u16string>{u"after the crash"});
}

TEST_F(ChannelProtocolTest, StopEndsTheIntakeLoopAndClearsRunning) {
  auto reader = ChannelReader::Open(device());
  std::atomic<bool> ended{false};
  std::thread intake([&] {
    reader->Run([](const SlotMessage&) { return true; });
    ended = true;
  });
  usleep(50000);
  EXPECT_FALSE(ended.load());
  reader->Stop();
  intake.join();
  EXPECT_TRUE(ended.load());
  EXPECT_EQ(reader->Buffer()->running, 0u);
  EXPECT_EQ(HandOverFromChild(u"after stop") & 2, 0)
      << "library must not wait for a stopped program";
}

TEST_F(ChannelProtocolTest, TwoDevicesHaveTwoChannels) {
  TempDevice other;
  auto reader = ChannelReader::Open(device());
  Child library([&] {
    auto writer = ChannelWriter::Open(other.device());
    return Encode(writer->HandOver(u"elsewhere", u"1", kTime));
  });
  EXPECT_EQ(library.Wait(), 1) << "the other device has no program running";
  EXPECT_TRUE(Drain(*reader, 50).empty());
}

TEST(UnreadCounterTest, PublishedWhileTheProgramHoldsIt) {
  TempDevice temp;
  EXPECT_FALSE(UnreadCounter::Peek(temp.device()).has_value());
  {
    auto counter = UnreadCounter::Create(temp.device());
    ASSERT_NE(counter, nullptr);
    counter->Set(7);
    Child plugin([&] {
      auto seen = UnreadCounter::Peek(temp.device());
      return seen ? static_cast<int>(*seen) : 99;
    });
    EXPECT_EQ(plugin.Wait(), 7);
    EXPECT_EQ(counter->Get(), 7u);
  }
  EXPECT_FALSE(UnreadCounter::Peek(temp.device()).has_value());
}

}  // namespace
}  // namespace brevalo
