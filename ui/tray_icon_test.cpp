#include "ui/tray_icon.h"

#include <gtest/gtest.h>

#include <vector>

namespace brevalo {
namespace {

class FakeTray : public TrayHost {
 public:
  bool NotifyIcon(TrayOp op, const NotifyIconData& data) override {
    calls.push_back({op, data});
    return !refuse;
  }
  struct Call {
    TrayOp op;
    NotifyIconData data;
  };
  std::vector<Call> calls;
  bool refuse = false;
};

class FakeWindow : public MessageTarget {
 public:
  bool PostMessage(uint32_t, uintptr_t, intptr_t) override { return true; }
};

class TrayIconTest : public ::testing::Test {
 protected:
  FakeTray tray_;
  FakeWindow window_;
  TrayIcon icon_{tray_};
};

TEST_F(TrayIconTest, StartsWithTheNotifyRecordOfTheTrayAndNotShown) {
  const NotifyIconData& data = icon_.Data();
  EXPECT_EQ(data.size, 152u);
  EXPECT_EQ(data.flags, 7u);
  EXPECT_EQ(data.callbackMessage, 1274u);
  EXPECT_EQ(data.icon, 0);
  EXPECT_TRUE(data.tip.empty());
  EXPECT_FALSE(icon_.Shown());
  EXPECT_TRUE(tray_.calls.empty());
}

TEST_F(TrayIconTest, ShowAddsOnceAndChangesWhileShownModify) {
  icon_.SetWindow(&window_);
  icon_.SetIcon(129, 100);
  EXPECT_TRUE(tray_.calls.empty());  // not shown: only the record changes
  icon_.Show(100);
  icon_.Show(100);
  ASSERT_EQ(tray_.calls.size(), 1u);
  EXPECT_EQ(tray_.calls[0].op, TrayOp::Add);
  EXPECT_EQ(tray_.calls[0].data.window, &window_);
  EXPECT_EQ(tray_.calls[0].data.id, 100u);
  EXPECT_EQ(tray_.calls[0].data.icon, 129);
  icon_.SetIcon(158, 100);
  icon_.SetTip(u"3 unread");
  ASSERT_EQ(tray_.calls.size(), 3u);
  EXPECT_EQ(tray_.calls[1].op, TrayOp::Modify);
  EXPECT_EQ(tray_.calls[1].data.icon, 158);
  EXPECT_EQ(tray_.calls[2].data.tip, u"3 unread");
  icon_.Hide(100);
  icon_.Hide(100);
  ASSERT_EQ(tray_.calls.size(), 4u);
  EXPECT_EQ(tray_.calls[3].op, TrayOp::Delete);
  EXPECT_FALSE(icon_.Shown());
}

TEST_F(TrayIconTest, ARefusingTrayLeavesTheShownFlagAsItWas) {
  tray_.refuse = true;
  icon_.Show(1);
  EXPECT_FALSE(icon_.Shown());
  tray_.refuse = false;
  icon_.Show(1);
  EXPECT_TRUE(icon_.Shown());
  tray_.refuse = true;
  icon_.Hide(1);
  EXPECT_TRUE(icon_.Shown());  // still in the tray, so still shown
}

TEST_F(TrayIconTest, TheTipKeepsSixtyThreeCharactersAndNeverHalfACharacter) {
  icon_.SetTip(std::u16string(100, u'x'));
  EXPECT_EQ(icon_.Data().tip.size(), 63u);
  std::u16string tip(62, u'y');
  tip += u"\U0001F600";  // units 63 and 64
  icon_.SetTip(tip);
  EXPECT_EQ(icon_.Data().tip, std::u16string(62, u'y'));
}

}  // namespace
}  // namespace brevalo
