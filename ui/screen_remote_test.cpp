#include "ui/screen_remote.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QLineEdit>

#include <atomic>
#include <future>
#include <thread>

#include "device/screen_remote_client.h"
#include "ui/dialog_base.h"
#include "ui/ui_test_support.h"

namespace brevalo {
namespace {

using testing::RecordingWindow;

constexpr uint32_t WM_RENAME = WM_USER + 1;

class ScreenRemoteTest : public ::testing::Test {
 protected:
  ScreenRemoteTest() : remote_(new ScreenRemote(fixture_.screen())), window_(fixture_.screen(), "Main") {
    std::string error;
    listening_ = remote_->Listen(&error);
    fixture_.screen().ShowWindow(&window_, true);
  }

  // Calls the screen over its socket from another thread, as phonesim does, while this thread
  // runs the event loop.
  std::optional<nlohmann::json> Call(const std::string& request, std::string* error) {
    auto answer = std::async(std::launch::async, [&] {
      return CallScreen(fixture_.device(), request, 10000, error);
    });
    testing::RunUntil([&] { return answer.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }, 12000);
    return answer.get();
  }
  nlohmann::json Screen(const std::string& request) {
    std::string error;
    std::optional<nlohmann::json> answer = Call(request, &error);
    EXPECT_TRUE(answer.has_value()) << error;
    return answer ? (*answer)["screen"] : nlohmann::json();
  }

  testing::ScreenFixture fixture_;
  ScreenRemote* remote_;  // the screen owns it
  bool listening_ = false;
  RecordingWindow window_;
};

TEST_F(ScreenRemoteTest, AKeyIsAnsweredAfterTheMessagesItCausedWereHandled) {
  ASSERT_TRUE(listening_);
  window_.MenuBar().left = {u"Rename", 10, nullptr, true};
  window_.onMessage = [&](uint32_t message, uintptr_t wParam, intptr_t) -> intptr_t {
    if (message == WM_COMMAND && LowWord(wParam) == 10) window_.PostMessage(WM_RENAME, 0, 0);
    if (message == WM_RENAME) window_.SetTitle("Renamed");
    return 0;
  };
  nlohmann::json screen = Screen(FormatKeyRequest({PhoneKey::Soft1}, false));
  EXPECT_EQ(screen["title"], "Renamed");
}

TEST_F(ScreenRemoteTest, AKeyThatOpensAModalWindowIsAnsweredWhileItIsOpen) {
  ASSERT_TRUE(listening_);
  DialogBase dialog(fixture_.screen(), "Modal");
  int result = 0;
  window_.MenuBar().left = {u"Open", 10, nullptr, true};
  window_.onMessage = [&](uint32_t message, uintptr_t wParam, intptr_t) -> intptr_t {
    if (message == WM_COMMAND && LowWord(wParam) == 10) result = dialog.DoModal();
    return 0;
  };
  // One client thread makes both calls: this thread is inside the modal loop after the first.
  nlohmann::json opened, closed;
  std::atomic<bool> done{false};
  std::thread client([&] {
    std::string error;
    opened = CallScreen(fixture_.device(), FormatKeyRequest({PhoneKey::Soft1}, false), 10000, &error)
                 .value_or(nlohmann::json())["screen"];
    CallScreen(fixture_.device(), FormatKeyRequest({PhoneKey::Back}, false), 10000, &error);
    // Keys after the one that opened it reach the modal window, in the same request too.
    closed = CallScreen(fixture_.device(), FormatKeyRequest({PhoneKey::Soft1, PhoneKey::Soft2}, false),
                        10000, &error)
                 .value_or(nlohmann::json())["screen"];
    done = true;
  });
  EXPECT_TRUE(testing::RunUntil([&] { return done.load(); }, 15000));
  client.join();
  EXPECT_EQ(opened["title"], "Modal");
  EXPECT_EQ(opened["softKeys"]["left"]["label"], "OK");
  EXPECT_EQ(closed["title"], "Main");
  testing::Drain();
  EXPECT_EQ(result, IDCANCEL);
  EXPECT_EQ(window_.Commands(), (std::vector<int>{10, 10}));  // Soft2 went to the second dialog
}

TEST_F(ScreenRemoteTest, TypeGoesIntoTheFocusedEditAndIsRefusedWithoutOne) {
  ASSERT_TRUE(listening_);
  std::string error;
  EXPECT_FALSE(Call(FormatTypeRequest(u"hello"), &error).has_value());
  EXPECT_EQ(error, "no edit has the focus");
  auto* edit = static_cast<QLineEdit*>(window_.AddControl(1, ControlKind::Edit, new QLineEdit));
  nlohmann::json screen = Screen(FormatTypeRequest(u"Grüße 你好"));
  EXPECT_EQ(edit->text(), QString::fromUtf8("Grüße 你好"));
  EXPECT_EQ(screen["controls"][0]["text"], "Grüße 你好");
  EXPECT_EQ(screen["focus"], 1);
}

TEST_F(ScreenRemoteTest, MalformedRequestsAreRefusedAndTheScreenGoesOn) {
  ASSERT_TRUE(listening_);
  std::string error;
  EXPECT_FALSE(Call("{\"op\":\"key\",\"keys\":[\"Soft9\"]}", &error).has_value());
  EXPECT_EQ(error, "unknown key \"Soft9\"");
  EXPECT_FALSE(Call("not json", &error).has_value());
  EXPECT_EQ(Screen(FormatSimpleRequest(ScreenOp::Ui))["title"], "Main");
}

TEST_F(ScreenRemoteTest, AScreenshotIsAPngOfTheWholeScreen) {
  ASSERT_TRUE(listening_);
  std::string error;
  std::optional<nlohmann::json> answer = Call(FormatSimpleRequest(ScreenOp::Screenshot), &error);
  ASSERT_TRUE(answer.has_value()) << error;
  std::optional<std::string> png = Base64Decode((*answer)["png"].get<std::string>());
  ASSERT_TRUE(png.has_value());
  QImage image;
  ASSERT_TRUE(image.loadFromData(reinterpret_cast<const uchar*>(png->data()), static_cast<int>(png->size()), "PNG"));
  EXPECT_EQ(image.size(), QSize(240, 320));
}

TEST_F(ScreenRemoteTest, ASecondScreenOnTheDeviceCannotTakeTheSocket) {
  ASSERT_TRUE(listening_);
  PhoneScreen other(fixture_.device());
  ScreenRemote* second = new ScreenRemote(other);
  std::string error;
  EXPECT_FALSE(second->Listen(&error));
  EXPECT_NE(error.find("another process listens"), std::string::npos);
}

TEST_F(ScreenRemoteTest, ANamedWindowIsFoundAndPostedToFromAnotherProcess) {
  window_.SetTitle("Brevalo");
  std::string error;
  ASSERT_TRUE(remote_->Publish(&window_, u"Dialog", &error)) << error;
  Device device = fixture_.device();
  testing::Child child([device] {
    if (FindWindow(device, u"Dialog", u"Nobody")) return 2;
    std::optional<WindowAddress> found = FindWindow(device, u"Dialog", u"Brevalo");
    if (!found) return 3;
    return PostMessage(*found, WM_TRAY_NOTIFY, 0, static_cast<int32_t>(WM_LBUTTONDBLCLK)) ? 0 : 4;
  });
  ASSERT_TRUE(testing::RunUntil([&] { return !window_.Of(WM_TRAY_NOTIFY).empty(); }, 10000));
  EXPECT_EQ(child.Wait(), 0);
  testing::RecordedMessage post = window_.Of(WM_TRAY_NOTIFY)[0];
  EXPECT_EQ(post.wParam, 0u);
  EXPECT_EQ(post.lParam, 515);
}

TEST_F(ScreenRemoteTest, AWindowThatIsGoneLeavesTheDirectory) {
  std::string error;
  {
    RecordingWindow named(fixture_.screen(), "Transient");
    ASSERT_TRUE(remote_->Publish(&named, u"Dialog", &error)) << error;
    EXPECT_TRUE(FindWindow(fixture_.device(), u"Dialog", u"Transient").has_value());
  }
  testing::RunUntil([] { return false; }, 100);  // the remote's next poll lets it go
  EXPECT_FALSE(FindWindow(fixture_.device(), u"Dialog", u"Transient").has_value());
}

}  // namespace
}  // namespace brevalo
