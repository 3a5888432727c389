#include "device/event_log.h"

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include "device/kernel_test_support.h"

namespace brevalo {
namespace {

using testing::Child;
using testing::Pipe;
using testing::TempDevice;

struct Dropped {
  size_t line;
  std::string text;
  std::string reason;
};

class EventLogTest : public ::testing::Test {
 protected:
  EventLog::Reporter Collect() {
    return [this](size_t line, std::string_view text, std::string_view reason) {
      dropped_.push_back({line, std::string(text), std::string(reason)});
    };
  }
  void WriteRaw(const std::string& text) {
    std::filesystem::create_directories(log_.File().parent_path());
    std::ofstream out(log_.File(), std::ios::binary | std::ios::app);
    out << text;
  }
  std::string ReadRaw() {
    std::ifstream in(log_.File(), std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  }

  TempDevice temp_;
  EventLog log_{temp_.device()};
  std::vector<Dropped> dropped_;
};

TEST_F(EventLogTest, AppendWritesOneObjectALineWithTimeAndKindFirst) {
  std::filesystem::remove_all(temp_.dir() / "log");  // the log folder is made when needed
  ASSERT_TRUE(log_.Append("vibrate", {{"ms", 300}, {"pattern", "short"}}));
  ASSERT_TRUE(log_.Append("beep"));
  std::string raw = ReadRaw();
  EXPECT_EQ(std::count(raw.begin(), raw.end(), '\n'), 2);
  EXPECT_EQ(raw.rfind("{\"time\":\"", 0), 0u);
  EXPECT_NE(raw.find("\",\"kind\":\"vibrate\","), std::string::npos);

  auto events = log_.Read(Collect());
  ASSERT_EQ(events.size(), 2u);
  EXPECT_TRUE(dropped_.empty());
  EXPECT_EQ(events[0]["kind"], "vibrate");
  EXPECT_EQ(events[0]["ms"], 300);
  EXPECT_EQ(events[1]["kind"], "beep");
  std::regex iso(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}Z)");
  EXPECT_TRUE(std::regex_match(events[0]["time"].get<std::string>(), iso)) << events[0]["time"];
}

TEST_F(EventLogTest, CallerFieldsCannotForgeTimeOrKind) {
  ASSERT_TRUE(log_.Append("sound", {{"kind", "forged"}, {"time", "yesterday"}, {"file", "a.wav"}}));
  ASSERT_TRUE(log_.Append("debug", "plain text"));
  auto events = log_.Read();
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[0]["kind"], "sound");
  EXPECT_NE(events[0]["time"], "yesterday");
  EXPECT_EQ(events[1]["value"], "plain text");
}

TEST_F(EventLogTest, InvalidUtf8IsReplacedRatherThanLosingTheLine) {
  ASSERT_TRUE(log_.Append("debug", {{"text", std::string("bad \xff\xfe byte")}}));
  auto events = log_.Read(Collect());
  ASSERT_EQ(events.size(), 1u);
  EXPECT_TRUE(dropped_.empty());
  EXPECT_EQ(events[0]["text"], "bad \xEF\xBF\xBD\xEF\xBF\xBD byte");
}

TEST_F(EventLogTest, DebugOutputLosesItsLineEndAndKeepsItsText) {
  ASSERT_TRUE(log_.AppendDebugOutput(u"corvane.dll", u"Factory Reference is now 1\r\n"));
  ASSERT_TRUE(log_.AppendDebugOutput(u"corvane.dll", u"\u4e2d \xD800 end"));
  auto events = log_.Read();
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[0]["kind"], "debug");
  EXPECT_EQ(events[0]["source"], "corvane.dll");
  EXPECT_EQ(events[0]["text"], "Factory Reference is now 1");
  EXPECT_EQ(events[1]["text"], "\xE4\xB8\xAD \xEF\xBF\xBD end");
}

TEST_F(EventLogTest, LinesFromManyProcessesNeverInterleave) {
  constexpr int kWriters = 4;
  constexpr int kLines = 150;
  const std::string filler(3000, 'x');  // long lines make torn writes likely if they happen
  Pipe go;
  std::vector<std::unique_ptr<Child>> writers;
  for (int w = 0; w < kWriters; ++w) {
    writers.push_back(std::make_unique<Child>([&, w] {
      go.Await();
      for (int i = 0; i < kLines; ++i) {
        if (!log_.Append("test", {{"writer", w}, {"n", i}, {"filler", filler}})) return 1;
      }
      return 0;
    }));
  }
  go.Signal(kWriters);
  for (auto& writer : writers) ASSERT_EQ(writer->Wait(30000), 0);
  auto events = log_.Read(Collect());
  EXPECT_TRUE(dropped_.empty()) << dropped_.front().reason;
  ASSERT_EQ(events.size(), size_t{kWriters * kLines});
  std::vector<int> next(kWriters, 0);
  for (const auto& event : events) {
    int w = event["writer"];
    EXPECT_EQ(event["n"], next[static_cast<size_t>(w)]++) << "lines of one writer out of order";
    EXPECT_EQ(event["filler"], filler);
  }
}

TEST_F(EventLogTest, DamagedLinesAreReportedAndSkipped) {
  ASSERT_TRUE(log_.Append("first"));
  WriteRaw("not json at all\n");
  WriteRaw("[1,2,3]\n");
  WriteRaw("{\"time\":\"t\"}\n");
  WriteRaw("{\"time\":5,\"kind\":\"k\"}\n");
  WriteRaw("\n");
  ASSERT_TRUE(log_.Append("last"));
  auto events = log_.Read(Collect());
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[0]["kind"], "first");
  EXPECT_EQ(events[1]["kind"], "last");
  ASSERT_EQ(dropped_.size(), 4u);
  EXPECT_EQ(dropped_[0].line, 2u);
  EXPECT_EQ(dropped_[0].text, "not json at all");
  EXPECT_EQ(dropped_[0].reason, "not JSON");
  EXPECT_EQ(dropped_[1].reason, "not an object");
  EXPECT_EQ(dropped_[2].reason, "no kind");
  EXPECT_EQ(dropped_[3].reason, "no time");
}

TEST_F(EventLogTest, UnfinishedLastLineIsSkippedSilently) {
  ASSERT_TRUE(log_.Append("whole"));
  WriteRaw("{\"time\":\"2026-01-01T00:00:00.000Z\",\"kind\":\"cut");
  auto events = log_.Read(Collect());
  ASSERT_EQ(events.size(), 1u);
  EXPECT_TRUE(dropped_.empty());
}

TEST_F(EventLogTest, MissingFileHasNoEvents) {
  EXPECT_TRUE(log_.Read(Collect()).empty());
  EXPECT_TRUE(dropped_.empty());
}

TEST(EventLogParseTest, SurvivesArbitraryBytes) {
  std::string junk;
  for (int i = 0; i < 4096; ++i) junk.push_back(static_cast<char>((i * 131 + 7) % 256));
  junk += "\n[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[\n{\"a\":\n\x00\n";
  size_t reported = 0;
  auto events =
      EventLog::ParseLines(junk, [&](size_t, std::string_view, std::string_view) { ++reported; });
  EXPECT_TRUE(events.empty());
  EXPECT_GT(reported, 0u);
}

}  // namespace
}  // namespace brevalo
