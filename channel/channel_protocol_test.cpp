// The channel run from both sides in separate processes: the library side in forked children,
// the program side in the test process, as the messaging service and the program would.
#include <gtest/gtest.h>

#include <unistd.h>

#include <atomic>
#include <cstring>
#include <memory>
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
  int HandOverFromChild(const std::u16string& body, int64_t* elapsedMs = nullptr,
                        const std::u16string& sender = u"+4917012345") {
    int64_t start = MonotonicMs();
    Child library([&] {
      auto writer = ChannelWriter::Open(device());
      if (writer == nullptr) return 100;
      return Encode(writer->HandOver(body, sender, kTime));
    });
    int code = library.Wait(10000);
    if (elapsedMs != nullptr) *elapsedMs = MonotonicMs() - start;
    return code;
  }

  std::vector<SlotMessage> Take(ChannelReader& reader, uint32_t timeoutMs = 0) {
    std::vector<SlotMessage> messages;
    reader.ReceiveOnce(timeoutMs, [&](const SlotMessage& message) {
      messages.push_back(message);
      return true;
    });
    return messages;
  }

  std::vector<std::u16string> Drain(ChannelReader& reader, uint32_t timeoutMs = 0) {
    std::vector<std::u16string> bodies;
    for (const SlotMessage& message : Take(reader, timeoutMs)) bodies.push_back(message.body);
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
        if (answer(message)) reader_->AnswerDelete(message.ticket);
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

TEST_F(ChannelProtocolTest, AnUnstoredSixthMessageIsNeverDeleted) {
  auto reader = ChannelReader::Open(device());  // running, but the window is busy
  auto writer = ChannelWriter::Open(device());
  std::vector<uint64_t> tickets;
  for (int i = 0; i < 5; ++i) {
    tickets.push_back(writer->Put(Numbered(i), u"1", kTime));
    ASSERT_NE(tickets.back(), 0u);
  }
  // The window answers for every message it has, and with 0 too, while the sixth is handed over.
  std::atomic<bool> done{false};
  std::thread answerer([&] {
    while (!done.load()) {
      EXPECT_FALSE(reader->AnswerDelete(0)) << "0 names no message";
      for (uint64_t ticket : tickets) reader->AnswerDelete(ticket);
      usleep(1000);
    }
  });
  auto available = NamedEvent::Create(device(), kSmsAvailableEventName, false, false);
  available->Reset();
  int64_t elapsed = 0;
  EXPECT_EQ(HandOverFromChild(u"sixth", &elapsed), 2) << "not stored, so not deleted";
  done = true;
  answerer.join();
  EXPECT_LT(elapsed, 500) << "no answer can be meant for it, so none is waited for";
  EXPECT_EQ(available->Wait(0), WAIT_OBJECT_0) << "the program is still woken to make room";
  EXPECT_EQ(writer->Put(u"seventh", u"1", kTime), 0u);
  EXPECT_FALSE(writer->AwaitDeleteAnswer(0, 200));
  EXPECT_EQ(reader->Buffer()->count, 5u);
}

TEST_F(ChannelProtocolTest, ALateAnswerForAnOlderMessageDoesNotDeleteTheOneWaitedFor) {
  auto reader = ChannelReader::Open(device());
  // The window defers the first message: the library gives up on it after its second and
  // keeps it in the phone's inbox.
  ASSERT_EQ(HandOverFromChild(u"deferred"), 1 | 2);
  std::vector<SlotMessage> deferred = Take(*reader);
  ASSERT_EQ(deferred.size(), 1u);
  for (bool thenTheRightOne : {false, true}) {
    SCOPED_TRACE(thenTheRightOne);
    // While the library waits for the next message, the window gets round to the deferred one.
    std::thread window([&] {
      std::vector<SlotMessage> current = Take(*reader, 3000);
      ASSERT_EQ(current.size(), 1u);
      EXPECT_GT(current[0].ticket, deferred[0].ticket);
      reader->AnswerDelete(deferred[0].ticket);
      usleep(200000);
      if (thenTheRightOne) reader->AnswerDelete(current[0].ticket);
    });
    int64_t elapsed = 0;
    int code = HandOverFromChild(u"current", &elapsed);
    window.join();
    if (thenTheRightOne) {
      EXPECT_EQ(code, 1 | 2 | 4) << "its own answer still counts after the stray one";
      EXPECT_GE(elapsed, 190);
      EXPECT_LT(elapsed, 900);
    } else {
      EXPECT_EQ(code, 1 | 2) << "the answer for the deferred message deleted this one";
      EXPECT_GE(elapsed, 990) << "the wait goes on to the deadline";
    }
  }
}

TEST_F(ChannelProtocolTest, TicketsAreUniqueIncreasingAndNeverZero) {
  auto keeper = ChannelWriter::Open(device());
  std::vector<uint64_t> tickets;
  // Several library objects in several processes, program runs, the ring wrapping, a damaged
  // head repaired: the count lives in the shared buffer and goes on through all of them.
  for (int round = 0; round < 3; ++round) {
    for (int i = 0; i < 4; ++i) ASSERT_EQ(HandOverFromChild(Numbered(i)), 1);
    auto reader = ChannelReader::Open(device());
    for (const SlotMessage& message : Take(*reader)) tickets.push_back(message.ticket);
    keeper->Buffer()->writeIndex = 99;
  }
  ASSERT_EQ(tickets.size(), 12u);
  EXPECT_NE(tickets.front(), 0u);
  for (size_t i = 1; i < tickets.size(); ++i) EXPECT_GT(tickets[i], tickets[i - 1]) << i;

  keeper->Buffer()->nextTicket = UINT64_MAX - 1;
  EXPECT_EQ(keeper->Put(u"last before the wrap", u"1", kTime), UINT64_MAX);
  EXPECT_EQ(keeper->Put(u"wrapped", u"1", kTime), 1u) << "0 is skipped";
}

TEST_F(ChannelProtocolTest, LongTextsCrossWhole) {
  auto keeper = ChannelWriter::Open(device());
  std::u16string thousand;
  for (int i = 0; i < 1000; ++i) thousand += static_cast<char16_t>(u'a' + i % 26);
  std::u16string longest(40000, u'\u4e16');
  std::u16string emoji = std::u16string(158, u'x') + u"\U0001F600!";
  std::u16string sender = u"\"" + std::u16string(700, u'n') + u"\" <+4917012345>";
  std::u16string tooLong(50000, u'z');
  for (const std::u16string* body : {&thousand, &longest, &emoji, &tooLong}) {
    ASSERT_EQ(HandOverFromChild(*body, nullptr, sender), 1);
  }
  auto reader = ChannelReader::Open(device());
  std::vector<SlotMessage> taken = Take(*reader);
  ASSERT_EQ(taken.size(), 4u);
  for (size_t i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(taken[i].body, i == 0 ? thousand : i == 1 ? longest : emoji);
    EXPECT_TRUE(taken[i].bodyWhole);
    EXPECT_EQ(taken[i].sender, sender);
    EXPECT_TRUE(taken[i].senderWhole);
  }
  EXPECT_EQ(taken[3].body, std::u16string(kSlotBodyUnits - 1, u'z'));
  EXPECT_FALSE(taken[3].bodyWhole) << "the program must know the phone holds more";
  EXPECT_TRUE(taken[3].senderWhole);
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

TEST_F(ChannelProtocolTest, HeadSoundnessFollowsTheRingAndTheLayout) {
  auto owned = std::make_unique<ChannelBuffer>();
  ChannelBuffer& buffer = *owned;
  EXPECT_FALSE(ChannelHeadIsSound(buffer)) << "no tag yet";
  EXPECT_FALSE(ChannelLayoutIsForeign(buffer));
  buffer.nextTicket = 41;
  buffer.answerTicket = 40;
  ResetChannelHead(&buffer);
  EXPECT_TRUE(ChannelHeadIsSound(buffer));
  EXPECT_EQ(buffer.nextTicket, 41u) << "a reset must not hand out old tickets again";
  EXPECT_EQ(buffer.answerTicket, 40u);
  buffer.count = 5;  // full: indices meet again
  EXPECT_TRUE(ChannelHeadIsSound(buffer));
  buffer.count = 2;
  EXPECT_FALSE(ChannelHeadIsSound(buffer));
  buffer.writeIndex = 1;
  buffer.readIndex = 4;
  EXPECT_TRUE(ChannelHeadIsSound(buffer));
  buffer.layoutTag = kChannelLayoutTag + 1;
  EXPECT_FALSE(ChannelHeadIsSound(buffer));
  EXPECT_TRUE(ChannelLayoutIsForeign(buffer));
  buffer.layoutTag = kChannelLayoutTag;
  buffer.capacity = 6;
  EXPECT_FALSE(ChannelHeadIsSound(buffer));
}

TEST_F(ChannelProtocolTest, ABufferOfAnotherLayoutIsLeftAlone) {
  auto writer = ChannelWriter::Open(device());
  auto reader = ChannelReader::Open(device());
  ASSERT_TRUE(writer->Put(u"before", u"1", kTime));
  ChannelBuffer* buffer = writer->Buffer();
  // What a side of another layout leaves: its own tag, and counters that mean something else.
  buffer->layoutTag = 0x33304253;
  buffer->count = 3;
  buffer->writeIndex = 3;
  auto available = NamedEvent::Create(device(), kSmsAvailableEventName, false, false);
  available->Reset();
  EXPECT_EQ(writer->Put(u"not ours to write", u"1", kTime), 0u);
  EXPECT_EQ(available->Wait(0), WAIT_TIMEOUT) << "nothing stored, nothing announced";
  EXPECT_FALSE(writer->HandOver(u"handed", u"1", kTime).stored);
  available->Set();
  EXPECT_TRUE(Drain(*reader).empty());
  EXPECT_EQ(buffer->count, 3u) << "its head was neither followed nor repaired";
  EXPECT_EQ(buffer->writeIndex, 3u);
  EXPECT_EQ(buffer->layoutTag, 0x33304253u);
  EXPECT_EQ(ChannelWriter::Open(device()), nullptr);
  EXPECT_EQ(ChannelReader::Open(device()), nullptr);
}

TEST_F(ChannelProtocolTest, AMappingOfAnotherSizeIsRefusedUntouched) {
  // What a side of the former layout makes: the same name, 4220 bytes.
  auto former = NamedMapping::Create(device(), kSmsBufferName, 4220);
  ASSERT_NE(former, nullptr);
  std::memset(former->Data(), 0x5A, former->Size());
  EXPECT_EQ(ChannelWriter::Open(device()), nullptr);
  EXPECT_EQ(ChannelReader::Open(device()), nullptr);
  const auto* bytes = static_cast<const unsigned char*>(former->Data());
  for (size_t i = 0; i < former->Size(); ++i) ASSERT_EQ(bytes[i], 0x5A) << i;
  former.reset();
  auto writer = ChannelWriter::Open(device());
  ASSERT_NE(writer, nullptr) << "once it is gone, this layout's buffer is made";
  auto mapping = NamedMapping::Open(device(), kSmsBufferName);
  ASSERT_NE(mapping, nullptr);
  EXPECT_EQ(mapping->Size(), sizeof(ChannelBuffer));
  EXPECT_EQ(writer->Buffer()->layoutTag, kChannelLayoutTag);
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
