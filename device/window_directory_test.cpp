#include "device/window_directory.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "device/kernel_test_support.h"

namespace brevalo {
namespace {

using testing::Child;
using testing::TempDevice;

// Pumps `entry` until `count` posts have come or two seconds have passed.
std::vector<WindowPost> Collect(WindowDirectoryEntry& entry, size_t count, int ms = 2000) {
  std::vector<WindowPost> posts;
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (posts.size() < count && std::chrono::steady_clock::now() < deadline) {
    entry.Pump([&](const WindowPost& post) { posts.push_back(post); });
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return posts;
}

TEST(WindowDirectoryTest, AnotherProcessFindsTheWindowAndPostsToIt) {
  TempDevice temp;
  std::string error;
  auto entry = WindowDirectoryEntry::Register(temp.device(), u"Dialog", u"Brevalo", &error);
  ASSERT_TRUE(entry) << error;
  Child second([&] {
    std::optional<WindowAddress> window = FindWindow(temp.device(), u"Dialog", u"Brevalo");
    if (!window) return 1;
    return PostMessage(*window, 1274, 0, 515) && PostMessage(*window, 1127, 3, -4) ? 0 : 2;
  });
  std::vector<WindowPost> posts = Collect(*entry, 2);
  EXPECT_EQ(second.Wait(), 0);
  ASSERT_EQ(posts.size(), 2u);
  EXPECT_EQ(posts[0].message, 1274u);
  EXPECT_EQ(posts[0].lParam, 515);
  EXPECT_EQ(posts[1].wParam, 3u);
  EXPECT_EQ(posts[1].lParam, -4);
}

TEST(WindowDirectoryTest, WindowsAreToldApartByClassTitleAndDevice) {
  TempDevice temp;
  TempDevice other;
  std::string error;
  auto entry = WindowDirectoryEntry::Register(temp.device(), u"Dialog", u"Brevalo", &error);
  ASSERT_TRUE(entry) << error;
  EXPECT_TRUE(FindWindow(temp.device(), u"Dialog", u"Brevalo"));
  EXPECT_FALSE(FindWindow(temp.device(), u"Dialog", u"brevalo"));
  EXPECT_FALSE(FindWindow(temp.device(), u"Dialo", u"gBrevalo"));
  EXPECT_FALSE(FindWindow(other.device(), u"Dialog", u"Brevalo"));
  // A second live window of the same name is refused rather than silently taking the name.
  EXPECT_FALSE(WindowDirectoryEntry::Register(temp.device(), u"Dialog", u"Brevalo", &error));
  entry.reset();
  EXPECT_FALSE(FindWindow(temp.device(), u"Dialog", u"Brevalo"));
}

TEST(WindowDirectoryTest, SocketLeftByADeadProcessIsReplaced) {
  TempDevice temp;
  Child dead([&] {
    std::string error;
    auto entry = WindowDirectoryEntry::Register(temp.device(), u"Dialog", u"Brevalo", &error);
    _exit(entry ? 0 : 1);  // no destructor: the socket file stays behind
    return 1;
  });
  ASSERT_EQ(dead.Wait(), 0);
  std::filesystem::path path = WindowSocketPath(temp.device(), u"Dialog", u"Brevalo");
  ASSERT_TRUE(std::filesystem::exists(path));
  EXPECT_FALSE(FindWindow(temp.device(), u"Dialog", u"Brevalo"));
  std::string error;
  auto entry = WindowDirectoryEntry::Register(temp.device(), u"Dialog", u"Brevalo", &error);
  ASSERT_TRUE(entry) << error;
  std::thread poster([&] { PostMessage(*FindWindow(temp.device(), u"Dialog", u"Brevalo"), 5, 0, 0); });
  EXPECT_EQ(Collect(*entry, 1).size(), 1u);
  poster.join();
}

TEST(WindowDirectoryTest, MalformedPostsAreAnsweredAndDropped) {
  TempDevice temp;
  std::string error;
  auto entry = WindowDirectoryEntry::Register(temp.device(), u"Dialog", u"Brevalo", &error);
  ASSERT_TRUE(entry) << error;
  std::filesystem::path path = WindowSocketPath(temp.device(), u"Dialog", u"Brevalo");
  std::optional<std::string> answer;
  std::thread client([&] { answer = CallLineServer(path, "{\"post\":\"x\"}", 2000, &error); });
  EXPECT_TRUE(Collect(*entry, 1, 400).empty());
  client.join();
  ASSERT_TRUE(answer);
  EXPECT_NE(answer->find("\"ok\":false"), std::string::npos);

  // A line that never ends is cut off instead of growing without bound.
  std::thread flood([&] { answer = CallLineServer(path, std::string(100000, 'x'), 2000, &error); });
  EXPECT_TRUE(Collect(*entry, 1, 400).empty());
  flood.join();
  ASSERT_TRUE(answer);
  EXPECT_NE(answer->find("request too long"), std::string::npos);
}

TEST(LineServerTest, AnswersLaterAndTellsWhenTheClientLeft) {
  TempDevice temp;
  std::string error;
  std::filesystem::path path = temp.device().RunDir() / "t.sock";
  auto server = LineServer::Listen(path, &error);
  ASSERT_TRUE(server) << error;
  std::optional<std::string> answer;
  std::thread client([&] { answer = CallLineServer(path, "one\r", 3000, &error); });
  std::vector<std::pair<uint64_t, std::string>> lines;
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
  while (lines.empty() && std::chrono::steady_clock::now() < deadline) {
    server->Pump([&](uint64_t id, std::string line) { lines.emplace_back(id, line); }, 100, "long");
  }
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].second, "one");
  EXPECT_TRUE(server->Reply(lines[0].first, "two"));
  client.join();
  EXPECT_EQ(answer, "two");
  EXPECT_FALSE(CallLineServer(temp.device().RunDir() / "none.sock", "x", 100, &error));
}

}  // namespace
}  // namespace brevalo
