#include "app/intake_reader.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <future>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "channel/channel_writer.h"
#include "device/kernel_test_support.h"

namespace brevalo {
namespace {

using testing::TempDevice;

class IntakeReaderTest : public ::testing::Test {
 protected:
  // What reached the window, in order; answered with `answer`.
  uint32_t Deliver(const SlotMessage& message) {
    std::lock_guard<std::mutex> hold(mutex);
    bodies.push_back(message.body);
    EXPECT_NE(std::this_thread::get_id(), testThread) << "messages come on the intake thread";
    return answer.load();
  }
  std::vector<std::u16string> Bodies() {
    std::lock_guard<std::mutex> hold(mutex);
    return bodies;
  }

  TempDevice temp;
  std::thread::id testThread = std::this_thread::get_id();
  std::mutex mutex;
  std::vector<std::u16string> bodies;
  std::atomic<uint32_t> answer{1};
};

TEST_F(IntakeReaderTest, MessagesReachTheWindowInTheOrderTheLibraryStoredThem) {
  auto library = ChannelWriter::Open(temp.device());
  ASSERT_NE(library, nullptr);
  // Stored before the program starts: the first pass finds both without a new signal.
  ASSERT_TRUE(library->Put(u"first", u"5550101", FILETIME{}));
  ASSERT_TRUE(library->Put(u"second", u"5550102", FILETIME{}));
  EXPECT_FALSE(library->ProgramRunning());

  IntakeReader intake;
  ASSERT_TRUE(intake.Start(temp.device(), [this](const SlotMessage& m) { return Deliver(m); }));
  EXPECT_TRUE(library->ProgramRunning());
  ChannelWriter::HandOverResult third = library->HandOver(u"third", u"5550103", FILETIME{}, 200);
  EXPECT_TRUE(third.stored);

  for (int i = 0; i < 200 && Bodies().size() < 3; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_EQ(Bodies(), std::vector<std::u16string>({u"first", u"second", u"third"}));
  intake.Stop();
  EXPECT_FALSE(intake.Running());
  EXPECT_FALSE(library->ProgramRunning()) << "the library keeps messages in the inbox from now on";
  EXPECT_EQ(library->Buffer()->count, 0u);
}

TEST_F(IntakeReaderTest, AMessageTheWindowDidNotConsumeStaysForTheNextPass) {
  auto library = ChannelWriter::Open(temp.device());
  IntakeReader intake;
  answer = 0;
  ASSERT_TRUE(intake.Start(temp.device(), [this](const SlotMessage& m) { return Deliver(m); }));
  library->HandOver(u"kept", u"5550101", FILETIME{}, 100);
  EXPECT_EQ(library->Buffer()->count, 1u);

  answer = 1;
  library->HandOver(u"next", u"5550102", FILETIME{}, 1000);
  for (int i = 0; i < 200 && library->Buffer()->count > 0; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_EQ(Bodies(), std::vector<std::u16string>({u"kept", u"kept", u"next"}));
  EXPECT_EQ(library->Buffer()->count, 0u);
}

TEST_F(IntakeReaderTest, TheWindowAnswersDeleteForItsMessageWhileTheIntakeThreadWaitsForItsWord) {
  IntakeReader intake;
  EXPECT_FALSE(intake.AnswerDelete(1)) << "not started";
  auto library = ChannelWriter::Open(temp.device());
  // The intake thread hands each message to the window and waits for its answer word, holding
  // the channel meanwhile; the window answers "delete" from its own thread before giving it.
  std::mutex handOff;
  std::condition_variable changed;
  std::optional<SlotMessage> pending;
  bool worded = false;
  ASSERT_TRUE(intake.Start(temp.device(), [&](const SlotMessage& message) {
    std::unique_lock<std::mutex> hold(handOff);
    pending = message;
    changed.notify_all();
    changed.wait_for(hold, std::chrono::seconds(5), [&] { return worded; });
    worded = false;
    return 1u;
  }));
  for (bool ownTicket : {false, true}) {
    SCOPED_TRACE(ownTicket);
    auto handOver = std::async(std::launch::async, [&] {
      return library->HandOver(u"delete me", u"5550101", FILETIME{}, 1000);
    });
    SlotMessage message;
    {
      std::unique_lock<std::mutex> hold(handOff);
      EXPECT_TRUE(changed.wait_for(hold, std::chrono::seconds(5), [&] { return pending.has_value(); }));
      if (pending) message = *pending;
      pending.reset();
    }
    // A wrong ticket stands for a late answer meant for an earlier message.
    EXPECT_TRUE(intake.AnswerDelete(ownTicket ? message.ticket : message.ticket + 1));
    {
      std::lock_guard<std::mutex> hold(handOff);
      worded = true;
    }
    changed.notify_all();
    ChannelWriter::HandOverResult result = handOver.get();
    EXPECT_EQ(result.ticket, message.ticket);
    EXPECT_EQ(result.deleteAnswered, ownTicket);
  }
  EXPECT_FALSE(intake.AnswerDelete(0)) << "0 names no message";
  intake.Stop();
  EXPECT_FALSE(intake.AnswerDelete(1)) << "stopped";
}

TEST_F(IntakeReaderTest, StoppingWhileADeliveryWaitsForTheStoppingThreadStillEnds) {
  auto library = ChannelWriter::Open(temp.device());
  // The delivery can finish only when the stopping thread serves it, as the window thread
  // serves the messages sent to it while it waits.
  std::promise<void> served;
  std::shared_future<void> servedSignal = served.get_future().share();
  std::atomic<bool> inDelivery{false};
  IntakeReader intake;
  ASSERT_TRUE(intake.Start(temp.device(), [&](const SlotMessage&) {
    inDelivery = true;
    servedSignal.wait();
    return 1u;
  }));
  ASSERT_TRUE(library->Put(u"late", u"5550101", FILETIME{}));
  while (!inDelivery) std::this_thread::yield();

  bool servedOnce = false;
  intake.Stop([&](const std::function<bool()>& ended) {
    EXPECT_FALSE(ended());
    served.set_value();
    servedOnce = true;
    while (!ended()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  });
  EXPECT_TRUE(servedOnce);
  EXPECT_FALSE(intake.Running());
}

}  // namespace
}  // namespace brevalo
