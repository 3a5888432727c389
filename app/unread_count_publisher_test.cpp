#include "app/unread_count_publisher.h"

#include <gtest/gtest.h>

#include "device/event_log.h"
#include "device/kernel_test_support.h"

namespace brevalo {
namespace {

using testing::TempDevice;

size_t PluginNotifications(const Device& device) {
  size_t count = 0;
  for (const nlohmann::json& event : EventLog(device).Read()) {
    if (event["kind"] == "home-plugin-changed" &&
        event.value("clsid", "") == "{20F58816-51E4-418D-92DD-8390021DCDCB}") {
      ++count;
    }
  }
  return count;
}

TEST(UnreadCountPublisherTest, EveryWriteReachesThePlugInAndTellsTheShell) {
  TempDevice temp;
  UnreadCountPublisher publisher(temp.device());
  EXPECT_FALSE(UnreadCounter::Peek(temp.device()));
  ASSERT_TRUE(publisher.Create());
  EXPECT_EQ(UnreadCounter::Peek(temp.device()), 0u);
  EXPECT_EQ(PluginNotifications(temp.device()), 0u);

  EXPECT_TRUE(publisher.Write(7));
  EXPECT_EQ(UnreadCounter::Peek(temp.device()), 7u);
  EXPECT_TRUE(publisher.Write(7));  // the same value is still a write the plug-in hears of
  EXPECT_TRUE(publisher.Write(0));
  EXPECT_EQ(publisher.Value(), 0u);
  EXPECT_EQ(PluginNotifications(temp.device()), 3u);
}

TEST(UnreadCountPublisherTest, WithoutTheMappingWritesChangeNothingAndTellNobody) {
  TempDevice temp;
  UnreadCountPublisher publisher(temp.device());
  EXPECT_FALSE(publisher.Write(3));  // never created
  ASSERT_TRUE(publisher.Create());
  publisher.Write(4);
  publisher.Close();
  EXPECT_FALSE(UnreadCounter::Peek(temp.device())) << "closing unpublishes the count";
  EXPECT_FALSE(publisher.Write(5));
  EXPECT_FALSE(publisher.Value());
  EXPECT_EQ(PluginNotifications(temp.device()), 1u);
}

}  // namespace
}  // namespace brevalo
