// velmora killed with SIGKILL again and again while messages stream in, as a system that must
// stop a program at once kills it: at its start, while it opens a document and applies a pending
// journal, between filing a message and answering the phone, while the journal entry is being
// written, in the middle of the save that Close makes and right after it, before the journal is
// emptied. The messaging service
// keeps delivering throughout, as `phonesim sms-in` does, and the program is started again after
// every kill. Whatever happened, every message must end up in the phone's inbox or in the
// document; a message may be in both (the phone kept it because the answer came too late or
// never), and the count of such duplicates is reported.
//
// The kill moments are a fixed schedule of points on the road, each found by watching what the
// program does (the delete answers it gives, the journal and document files growing, the header
// naming a new index) or by a fixed delay after a start, so each run kills at the same places.
#include <signal.h>
#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "app/intake_device_fixture.h"
#include "bench/large_document.h"
#include "store/journal_format.h"
#include "store/store_format.h"

namespace brevalo {
namespace {

using Clock = std::chrono::steady_clock;
using testing::Delivery;
using testing::Program;
using testing::TextCounts;

// Large enough that opening the document and saving it take tens of milliseconds (an index of
// about 2.5 MB), so that watching the files finds the program inside them.
constexpr int kDocumentMessages = 60'000;
constexpr int kDocumentFolders = 50;
// Messages come in bursts, as a network hands over what queued while the phone was out of reach.
constexpr int kBurst = 4;
constexpr auto kBetweenBursts = std::chrono::milliseconds(150);
// Every message of the test carries this, so that its texts stand apart from the document's own.
constexpr std::u16string_view kMarker = u"Crash road ";

// Where on the road a kill lands.
enum class KillAt {
  kStartMs,       // `value` ms after the program was started: its start, the opening of the
                  // document with a pending journal applied to it, the first filing
  kAnswers,       // right after the `value`-th delete answer since the start
  kJournalGrows,  // as soon as the journal grows: an entry written, its sync or the answer due
  kIndexNamed,    // SIGTERM right after the second delete answer, SIGKILL as soon as the header
                  // names another index: Close's save has just ended, its journal may not yet
                  // be emptied
  kCloseMs,       // SIGTERM right after the second delete answer, SIGKILL `value` ms later
  kCloseWriting,  // SIGTERM right after the second delete answer, SIGKILL as soon as the save
                  // that Close makes is writing the index
};

struct KillMoment {
  KillAt at;
  int value;
};

// Spread over the road. Most kills leave a journal pending, so that the next start has one to
// apply and the next Close one to fold in.
constexpr KillMoment kSchedule[] = {
    {KillAt::kStartMs, 0},      {KillAt::kAnswers, 1},      {KillAt::kStartMs, 40},
    {KillAt::kAnswers, 3},      {KillAt::kCloseWriting, 0}, {KillAt::kStartMs, 80},
    {KillAt::kJournalGrows, 0}, {KillAt::kIndexNamed, 0},   {KillAt::kAnswers, 2},
    {KillAt::kCloseWriting, 0}, {KillAt::kJournalGrows, 0}, {KillAt::kStartMs, 120},
    {KillAt::kAnswers, 5},      {KillAt::kCloseMs, 0},      {KillAt::kJournalGrows, 0},
    {KillAt::kCloseWriting, 0}, {KillAt::kAnswers, 4},      {KillAt::kStartMs, 160},
    {KillAt::kCloseWriting, 0}, {KillAt::kAnswers, 6},      {KillAt::kIndexNamed, 0},
    {KillAt::kJournalGrows, 0}, {KillAt::kStartMs, 300},    {KillAt::kCloseMs, 10},
    {KillAt::kAnswers, 8},      {KillAt::kStartMs, 600},    {KillAt::kCloseWriting, 0},
    {KillAt::kAnswers, 12},     {KillAt::kCloseMs, 50},     {KillAt::kStartMs, 1000},
};

const char* Name(KillAt at) {
  switch (at) {
    case KillAt::kStartMs:
      return "ms after the start";
    case KillAt::kAnswers:
      return "delete answers";
    case KillAt::kJournalGrows:
      return "journal grows";
    case KillAt::kIndexNamed:
      return "new index named";
    case KillAt::kCloseMs:
      return "ms into Close";
    case KillAt::kCloseWriting:
      return "Close writing the index";
  }
  return "?";
}

// How long a watched moment may take to come; past it the kill happens anyway and is counted.
constexpr auto kMomentTimeout = std::chrono::seconds(8);

std::optional<uintmax_t> SizeOf(const std::filesystem::path& file) {
  struct stat info {};
  if (::stat(file.c_str(), &info) != 0) return std::nullopt;
  return static_cast<uintmax_t>(info.st_size);
}

// The index the header names; nothing while the header cannot be read.
std::optional<uint32_t> NamedIndex(const std::filesystem::path& file) {
  uint8_t bytes[kHeaderSize];
  std::ifstream in(file, std::ios::binary);
  if (!in.read(reinterpret_cast<char*>(bytes), sizeof bytes)) return std::nullopt;
  return DecodeHeader(bytes).indexOffset;
}

// The network's side: bursts of messages with unique texts, one after the other through the
// running service, each outcome kept.
class MessageStream {
 public:
  explicit MessageStream(const Device& device) : device_(device) {}
  ~MessageStream() { Stop(); }

  void Start() {
    thread_ = std::thread([this] { Run(); });
  }
  void Stop() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
  }
  int DeleteAnswers() const { return deleteAnswers_.load(); }

  struct Sent {
    std::u16string text;
    Delivery delivery;
  };
  // Every message sent so far with what the service said of it; call after Stop.
  const std::vector<Sent>& Messages() const { return sent_; }

 private:
  void Run() {
    for (int number = 0; !stop_;) {
      for (int i = 0; i < kBurst && !stop_; ++i, ++number) {
        char serial[16];
        std::snprintf(serial, sizeof serial, "%05d", number);
        Sent sent;
        sent.text = std::u16string(kMarker) + FromUtf8(serial) +
                    u": the report is due on Friday, call me back";
        sent.delivery.outcome =
            DeliverSms(device_, u"+15550100", sent.text, std::nullopt, &sent.delivery.error);
        if (sent.delivery.Deleted()) ++deleteAnswers_;
        sent_.push_back(std::move(sent));
      }
      std::this_thread::sleep_for(kBetweenBursts);
    }
  }

  const Device& device_;
  std::thread thread_;
  std::atomic<bool> stop_{false};
  std::atomic<int> deleteAnswers_{0};
  std::vector<Sent> sent_;
};

class IntakeCrashTest : public testing::IntakeDeviceTest {
 protected:
  // Polls `reached` until it holds or the moment's time is up; false when it never held.
  static bool WaitFor(const std::function<bool()>& reached) {
    auto deadline = Clock::now() + kMomentTimeout;
    while (Clock::now() < deadline) {
      if (reached()) return true;
      std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    return false;
  }

  // Starts the program, waits for `moment` and kills it. True when SIGKILL hit a running
  // program (rather than one that had already ended).
  bool RunUntilKilled(const KillMoment& moment, MessageStream& stream) {
    const int answersBefore = stream.DeleteAnswers();
    const uintmax_t documentBefore = SizeOf(DocumentFile()).value_or(0);
    const uintmax_t journalBefore = SizeOf(JournalFile()).value_or(0);
    const std::optional<uint32_t> indexBefore = NamedIndex(DocumentFile());
    auto answers = [&] { return stream.DeleteAnswers() - answersBefore; };
    program_ = std::make_unique<Program>(device());
    const auto start = Clock::now();
    bool reached = true;
    switch (moment.at) {
      case KillAt::kStartMs:
        std::this_thread::sleep_for(std::chrono::milliseconds(moment.value));
        break;
      case KillAt::kAnswers:
        reached = WaitFor([&] { return answers() >= moment.value; });
        break;
      case KillAt::kJournalGrows: {
        // A save empties the journal and heads it anew; an entry is growth past the smallest
        // size seen and past the head.
        uintmax_t smallest = journalBefore;
        reached = WaitFor([&] {
          const uintmax_t now = SizeOf(JournalFile()).value_or(0);
          smallest = std::min(smallest, now);
          return now > smallest && now > kJournalHeaderSize;
        });
        break;
      }
      case KillAt::kIndexNamed:
        reached = WaitFor([&] { return answers() >= 2; });
        kill(program_->pid(), SIGTERM);
        reached = WaitFor([&] {
          std::optional<uint32_t> now = NamedIndex(DocumentFile());
          return now && now != indexBefore;
        }) && reached;
        break;
      case KillAt::kCloseMs:
        reached = WaitFor([&] { return answers() >= 2; });
        kill(program_->pid(), SIGTERM);
        std::this_thread::sleep_for(std::chrono::milliseconds(moment.value));
        break;
      case KillAt::kCloseWriting: {
        reached = WaitFor([&] { return answers() >= 2; });
        const uintmax_t atClose = SizeOf(DocumentFile()).value_or(0);
        kill(program_->pid(), SIGTERM);
        reached =
            WaitFor([&] { return SizeOf(DocumentFile()).value_or(0) >= atClose + indexWorth_; }) &&
            reached;
        break;
      }
    }
    if (!reached) ++momentsNotReached_;
    const bool running = program_->Running();
    if (running) kill(program_->pid(), SIGKILL);
    const int code = program_->Wait();
    program_.reset();
    // Only a program asked to close may end before the kill, and then as it should.
    const bool closing = moment.at == KillAt::kCloseMs || moment.at == KillAt::kCloseWriting ||
                         moment.at == KillAt::kIndexNamed;
    if (!running) {
      if (closing) {
        EXPECT_EQ(code, 0) << "the program's close failed";
      } else {
        ADD_FAILURE() << "the program ended by itself with code " << code;
      }
    }
    std::printf(
        "kill %zu, %s %d: %s after %lld ms, %d answers; journal %ju bytes, document +%jd bytes\n",
        ++killNumber_, Name(moment.at), moment.value,
        !running  ? "the program had ended"
        : reached ? "killed"
                  : "not reached, killed",
        static_cast<long long>(
            std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count()),
        answers(), SizeOf(JournalFile()).value_or(0),
        static_cast<intmax_t>(SizeOf(DocumentFile()).value_or(0)) -
            static_cast<intmax_t>(documentBefore));
    return running;
  }

  // A quarter of the index the document started with: a save writes that much early in its
  // index, while filing a message adds only a few hundred bytes.
  uintmax_t indexWorth_ = 0;
  int momentsNotReached_ = 0;
  size_t killNumber_ = 0;
};

TEST_F(IntakeCrashTest, EveryMessageEndsInThePhoneOrTheDocumentHoweverOftenTheProgramIsKilled) {
  const auto started = Clock::now();
  std::filesystem::create_directories(DocumentsFolder());
  ASSERT_TRUE(bench::WriteLargeDocument(device(), testing::kIntakeDocument, kDocumentMessages,
                                        kDocumentFolders));
  OpenAtStart();
  FileStrangersAndHideThem();
  {
    std::optional<uint32_t> index = NamedIndex(DocumentFile());
    ASSERT_TRUE(index);
    indexWorth_ = (SizeOf(DocumentFile()).value_or(0) - *index) / 4;
    ASSERT_GT(indexWorth_, 64u * 1024) << "the document is too small for a save to be caught";
  }

  MessageStream stream(device());
  stream.Start();
  int kills = 0;
  for (const KillMoment& moment : kSchedule) kills += RunUntilKilled(moment, stream) ? 1 : 0;

  // A last start that is let be: it files what comes and closes as the system asks.
  StartProgram();
  const int answersBefore = stream.DeleteAnswers();
  auto deadline = Clock::now() + std::chrono::seconds(20);
  while (stream.DeleteAnswers() < answersBefore + 10 && Clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  stream.Stop();
  EndProgram(60000);
  EXPECT_EQ(StopService(), 0);

  const TextCounts phone = PhoneInbox();
  const std::optional<TextCounts> document = DocumentTexts();
  ASSERT_TRUE(document) << "the document no longer opens";

  int sent = 0, failed = 0, lost = 0, inPhone = 0, inDocument = 0, bothPlaces = 0,
      twiceInDocument = 0;
  int deletedNotHeld = 0, keptNotInPhone = 0;
  std::set<std::u16string> sentTexts;
  std::vector<std::string> lostTexts;
  for (const MessageStream::Sent& message : stream.Messages()) {
    ++sent;
    sentTexts.insert(message.text);
    if (!message.delivery.outcome) {
      ++failed;
      ADD_FAILURE() << "the service did not take \"" << ToUtf8(message.text)
                    << "\": " << message.delivery.error;
    }
    auto count = [](const TextCounts& counts, const std::u16string& text) {
      auto found = counts.find(text);
      return found == counts.end() ? 0 : found->second;
    };
    const int p = count(phone, message.text);
    const int d = count(*document, message.text);
    inPhone += p > 0;
    inDocument += d > 0;
    if (p + d == 0 && ++lost <= 20) {
      lostTexts.push_back(ToUtf8(message.text) +
                          (message.delivery.Deleted() ? " (answered deleted)" : " (kept)"));
    }
    bothPlaces += p > 0 && d > 0;
    twiceInDocument += d > 1;
    deletedNotHeld += message.delivery.Deleted() && d == 0;
    keptNotInPhone += message.delivery.Kept() && p == 0;
    EXPECT_LE(p, 1) << "the phone holds \"" << ToUtf8(message.text) << "\" more than once";
  }
  // Texts of the test that nobody sent: a message filed with its text damaged.
  int strangers = 0;
  for (const TextCounts* place : {&phone, &*document}) {
    for (const auto& [text, times] : *place) {
      if (text.starts_with(kMarker) && sentTexts.count(text) == 0) strangers += times;
    }
  }
  const double seconds = std::chrono::duration<double>(Clock::now() - started).count();

  RecordProperty("sent", sent);
  RecordProperty("in_phone", inPhone);
  RecordProperty("in_document", inDocument);
  RecordProperty("duplicates", bothPlaces + twiceInDocument);
  RecordProperty("both_places", bothPlaces);
  RecordProperty("twice_in_document", twiceInDocument);
  RecordProperty("lost", lost);
  RecordProperty("kills", kills);
  RecordProperty("moments_not_reached", momentsNotReached_);
  RecordProperty("seconds", static_cast<int>(seconds));
  std::printf(
      "crash road: sent %d, in the phone %d, in the document %d, duplicates %d (in both places %d, "
      "twice in the document %d), lost %d, kills %d (%d moments not reached in time), %.1f s\n",
      sent, inPhone, inDocument, bothPlaces + twiceInDocument, bothPlaces, twiceInDocument, lost,
      kills, momentsNotReached_, seconds);

  EXPECT_EQ(lost, 0) << "the first of them: " << ::testing::PrintToString(lostTexts);
  EXPECT_EQ(deletedNotHeld, 0) << "the phone let these go, so only the document may hold them";
  EXPECT_EQ(keptNotInPhone, 0) << "the service said it kept these";
  EXPECT_EQ(strangers, 0) << "texts in the phone or the document that were never sent";
  EXPECT_EQ(failed, 0);
  EXPECT_GE(kills, 20) << "too few kills hit a running program to say anything";
  EXPECT_GT(inDocument, 0) << "nothing was ever filed: the test proved nothing";

  // What the crashes left is a sound document whose journal the last close emptied.
  testing::ShellResult check = CheckDocument();
  EXPECT_EQ(check.code, 0) << check.out << check.err;
  std::optional<std::string> info =
      Kvt(std::string("--json info ") + testing::kIntakeDocumentArgument);
  ASSERT_TRUE(info);
  EXPECT_EQ(nlohmann::json::parse(*info, nullptr, false)["journalPending"], 0) << *info;
}

}  // namespace
}  // namespace brevalo
