// The pop-up on a phone screen: its time, the scrolling text on a fake clock, the photo order
// with the look-up on its own thread, a late look-up meeting a newer message, closing by key
// and tap, the shape, the screen dump and the modal preview.
#include "alert/alert_popup.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QCoreApplication>
#include <QMouseEvent>
#include <QTimer>

#include <condition_variable>

#include "alert/fake_file_source.h"
#include "alert/skin_artwork.h"
#include "ui/screen_dump.h"
#include "ui/ui_test_support.h"

namespace brevalo {
namespace {

constexpr char16_t kFolder[] = u"\\Program Files\\Velmora\\photo\\";
constexpr char16_t kTall[] = u"\\Program Files\\Velmora\\skins\\Tall.cfg";

// Timers on a clock the test moves.
class FakeAlertTimers : public AlertTimers {
 public:
  void SetHandler(Handler handler) override { handler_ = std::move(handler); }
  void Start(int id, int periodMs) override { timers_[id] = {periodMs, now_ + periodMs}; }
  void Stop(int id) override { timers_.erase(id); }
  bool Running(int id) const override { return timers_.count(id) != 0; }
  int Period(int id) const { return Running(id) ? timers_.at(id).period : 0; }
  void Advance(int ms) {
    const int64_t end = now_ + ms;
    for (;;) {
      int next = -1;
      for (auto& [id, timer] : timers_) {
        if (timer.due <= end && (next < 0 || timer.due < timers_[next].due)) next = id;
      }
      if (next < 0) break;
      now_ = timers_[next].due;
      timers_[next].due += timers_[next].period;
      if (handler_) handler_(next);
    }
    now_ = end;
  }

 private:
  struct Timer {
    int period;
    int64_t due;
  };
  Handler handler_;
  std::map<int, Timer> timers_;
  int64_t now_ = 0;
};

std::string Encoded(QColor color, const char* format) {
  QImage image(8, 8, QImage::Format_RGB32);
  image.fill(color);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, format);
  return bytes.toStdString();
}

// A red 1 × 1 GIF (Qt reads GIF but does not write it).
const std::string kRedGif("GIF89a\x01\x00\x01\x00\x80\x00\x00\xff\x00\x00\x00\x00\x00,\x00\x00\x00\x00\x01\x00\x01\x00"
                          "\x00\x02\x02\x44\x01\x00;",
                          35);

class AlertPopupTest : public ::testing::Test {
 protected:
  AlertPopupTest() : window_(screen()) {
    screen().ShowWindow(&window_, true);
    settings_.PhotoFolder.Assign(kFolder);
    auto timers = std::make_unique<FakeAlertTimers>();
    timers_ = timers.get();
    popup_ = std::make_unique<AlertPopup>(screen(), files_, settings_, std::move(timers));
  }
  PhoneScreen& screen() { return fixture_.screen(); }
  void PutSkin(const std::u16string& cfg, const std::string& body) {
    files_.Put(cfg.substr(0, cfg.size() - 3) + u"bmp", EncodeBmp(BuiltInSkinBitmap()));
    files_.Put(cfg, "[DudadOruv Skin SP]\n" + body);
  }
  void Settle() {
    popup_->WaitForPhotoLookups();
    testing::Drain();
  }
  QColor PhotoCentre() {
    const SkinRect& r = popup_->CurrentSkin().Values().photoRect;
    return popup_->Picture().pixelColor((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  }

  testing::ScreenFixture fixture_;
  testing::RecordingWindow window_;
  testing::FakeFileSource files_;
  SettingValues settings_;
  FakeAlertTimers* timers_ = nullptr;
  std::unique_ptr<AlertPopup> popup_;
};

TEST_F(AlertPopupTest, AShortMessageStandsStillAndStaysForItsTime) {
  PutSkin(kTall, "DesTextRect=5,25,145,92\nFontSize=8\n");
  popup_->LoadSkin(kTall);
  popup_->ShowAlert(u"See you at the station at eight, Ann xx", u"Ann", 15000, u"", 1);
  EXPECT_TRUE(popup_->Shown());
  EXPECT_TRUE(popup_->Visible());
  EXPECT_FALSE(timers_->Running(kScrollTimer));
  EXPECT_EQ(popup_->Scroll().Offset(), 0);
  EXPECT_EQ(timers_->Period(kCloseTimer), 15000);
  timers_->Advance(14999);
  EXPECT_TRUE(popup_->Visible());
  timers_->Advance(1);
  EXPECT_FALSE(popup_->Shown());
  EXPECT_FALSE(popup_->Visible());
  EXPECT_FALSE(timers_->Running(kCloseTimer));

  popup_->ShowAlert(u"kept", u"Ann", 0, u"", 1);  // 0: until a key or a tap
  EXPECT_FALSE(timers_->Running(kCloseTimer));
  timers_->Advance(600000);
  EXPECT_TRUE(popup_->Visible());
}

TEST_F(AlertPopupTest, ATallTextStartsLowClimbsFifteenPixelsATickAndStartsOver) {
  std::u16string text;
  for (int i = 0; i < 12; ++i) text += u"line of words ";
  popup_->ShowAlert(text, u"13900", 0, u"", 0);  // the built-in text rectangle: 27 to 88
  ASSERT_TRUE(timers_->Running(kScrollTimer));
  EXPECT_EQ(timers_->Period(kScrollTimer), 1500);
  const int start = (27 - 88) * 2 / 3;
  EXPECT_EQ(start, -40);
  EXPECT_EQ(popup_->Scroll().Offset(), start);
  const int extent = popup_->Scroll().Extent();
  EXPECT_GT(extent, 61 + 15);
  QImage first = popup_->Picture();
  timers_->Advance(1499);
  EXPECT_EQ(popup_->Scroll().Offset(), start);
  timers_->Advance(1);
  EXPECT_EQ(popup_->Scroll().Offset(), start + 15);
  EXPECT_NE(popup_->Picture(), first);  // the text moved
  int expected = start + 15;
  for (int tick = 0; tick < 40; ++tick) {
    timers_->Advance(1500);
    expected += 15;
    if (expected > extent - 12) expected = start;
    ASSERT_EQ(popup_->Scroll().Offset(), expected) << tick;
  }
  // A new message restarts both timers.
  timers_->Advance(700);
  popup_->ShowAlert(text, u"13900", 15000, u"", 0);
  EXPECT_EQ(popup_->Scroll().Offset(), start);
  timers_->Advance(1499);
  EXPECT_EQ(popup_->Scroll().Offset(), start);
  timers_->Advance(15000 - 1499);  // closing stops the scrolling
  EXPECT_FALSE(popup_->Visible());
  EXPECT_FALSE(timers_->Running(kScrollTimer));
}

TEST_F(AlertPopupTest, AContactsGifComesBeforeTheJpgAndTheFiltersPhoto) {
  files_.Put(std::u16string(kFolder) + u"Ann.gif", kRedGif);
  files_.Put(std::u16string(kFolder) + u"Ann.jpg", Encoded(Qt::blue, "JPG"));
  files_.Put(u"\\My Documents\\filter.bmp", Encoded(Qt::green, "BMP"));
  popup_->ShowAlert(u"hi", u"Ann", 15000, u"\\My Documents\\filter.bmp", 1);
  Settle();
  EXPECT_EQ(popup_->PhotoPath(), QString::fromStdU16String(std::u16string(kFolder) + u"Ann.gif"));
  EXPECT_EQ(PhotoCentre(), QColor(Qt::red));
  EXPECT_EQ(files_.Reads(std::u16string(kFolder) + u"Ann.jpg"), 0);
  nlohmann::json dump = DumpScreen(screen())["popup"];
  EXPECT_EQ(dump["text"], "hi");
  EXPECT_EQ(dump["sender"], "Ann");
  EXPECT_EQ(dump["skin"], "Default");
}

TEST_F(AlertPopupTest, AStrangerShowsTheFilterPhotoElseTheDefaultElseNone) {
  files_.Put(u"\\My Documents\\filter.bmp", Encoded(Qt::green, "BMP"));
  files_.Put(u"\\My Documents\\default.jpg", Encoded(Qt::blue, "JPG"));
  files_.Put(u"\\My Documents\\broken.jpg", "not a picture");
  popup_->ShowAlert(u"hi", u"13900", 15000, u"\\My Documents\\filter.bmp", 0);
  Settle();
  EXPECT_EQ(PhotoCentre(), QColor(Qt::green));
  settings_.defaultPhoto.Assign(u"\\My Documents\\default.jpg");
  popup_->ShowAlert(u"hi", u"13900", 15000, u"", 0);
  Settle();
  EXPECT_EQ(popup_->PhotoPath(), "\\My Documents\\default.jpg");
  QColor blue = PhotoCentre();
  EXPECT_GT(blue.blue(), 200);
  EXPECT_LT(blue.red(), 60);
  settings_.defaultPhoto.Assign(u"");
  popup_->ShowAlert(u"hi", u"13900", 15000, u"", 0);
  Settle();
  EXPECT_FALSE(popup_->HasPhoto());
  popup_->ShowAlert(u"hi", u"13900", 15000, u"\\My Documents\\broken.jpg", 0);
  Settle();
  EXPECT_FALSE(popup_->HasPhoto());
}

TEST_F(AlertPopupTest, ASkinWithoutPhotosOpensNoPhotoFile) {
  PutSkin(kTall, "ShowPhoto=0\n");
  files_.Put(std::u16string(kFolder) + u"Ann.bmp", Encoded(Qt::red, "BMP"));
  settings_.defaultPhoto.Assign(u"\\My Documents\\default.jpg");
  popup_->LoadSkin(kTall);
  const int reads = files_.TotalReads();
  popup_->ShowAlert(u"hi", u"Ann", 15000, u"\\My Documents\\filter.bmp", 1);
  Settle();
  EXPECT_EQ(files_.TotalReads(), reads);
  EXPECT_FALSE(popup_->HasPhoto());
}

// Reads that wait until the test lets them go.
class GatedFiles : public testing::FakeFileSource {
 public:
  std::optional<std::string> Read(std::u16string_view path) override {
    std::unique_lock lock(mutex_);
    ++waiting_;
    changed_.notify_all();
    changed_.wait(lock, [this] { return open_; });
    lock.unlock();
    return FakeFileSource::Read(path);
  }
  void AwaitReader() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return waiting_ > 0; });
  }
  void Open() {
    std::lock_guard lock(mutex_);
    open_ = true;
    changed_.notify_all();
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  int waiting_ = 0;
  bool open_ = false;
};

TEST_F(AlertPopupTest, ALateLookUpNeverReplacesTheNextMessagesPhoto) {
  GatedFiles gated;
  gated.Put(std::u16string(kFolder) + u"Ann.bmp", Encoded(Qt::red, "BMP"));
  auto popup = std::make_unique<AlertPopup>(screen(), gated, settings_, std::make_unique<FakeAlertTimers>());
  popup->ShowAlert(u"first", u"Ann", 15000, u"", 1);
  gated.AwaitReader();  // the first look-up is inside its read
  popup->ShowAlert(u"second", u"13900", 15000, u"", 0);
  gated.Open();
  popup->WaitForPhotoLookups();
  testing::Drain();
  EXPECT_FALSE(popup->HasPhoto());
  EXPECT_EQ(popup->Text(), "second");

  // And a pop-up freed while its look-up still reads waits for it.
  GatedFiles slow;
  slow.Put(std::u16string(kFolder) + u"Ann.bmp", Encoded(Qt::red, "BMP"));
  auto doomed = std::make_unique<AlertPopup>(screen(), slow, settings_, std::make_unique<FakeAlertTimers>());
  doomed->ShowAlert(u"first", u"Ann", 15000, u"", 1);
  slow.AwaitReader();
  std::thread opener([&slow] {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    slow.Open();
  });
  doomed.reset();
  opener.join();
  testing::Drain();
}

TEST_F(AlertPopupTest, AnyKeyOrATapClosesItAndTheKeyGoesOn) {
  popup_->ShowAlert(u"hi", u"Ann", 0, u"", 1);
  ASSERT_TRUE(popup_->Visible());
  window_.Clear();
  screen().PressKey(PhoneKey::Digit5);
  screen().ReleaseKey(PhoneKey::Digit5);
  testing::Drain();
  EXPECT_FALSE(popup_->Shown());
  EXPECT_FALSE(popup_->Visible());
  EXPECT_TRUE(DumpScreen(screen())["popup"].is_null());

  popup_->ShowAlert(u"hi", u"Ann", 0, u"", 1);
  QWidget* overlay = screen().Overlays().back();
  QMouseEvent tap(QEvent::MouseButtonPress, QPointF(40, 40), QPointF(40, 40), Qt::LeftButton, Qt::LeftButton,
                  Qt::NoModifier);
  QCoreApplication::sendEvent(overlay, &tap);
  EXPECT_FALSE(popup_->Visible());
  EXPECT_FALSE(overlay->hasFocus());
}

TEST_F(AlertPopupTest, TheBuiltInSkinIsShapedByItsBitmapAndPlacedOnTheScreen) {
  popup_->ShowAlert(u"hi", u"Ann", 0, u"", 1);
  Bitmap bitmap = BuiltInSkinBitmap();
  QRegion shape = popup_->Shape();
  for (int y = 0; y < bitmap.height; ++y) {
    for (int x = 0; x < bitmap.width; ++x) {
      ASSERT_EQ(shape.contains(QPoint(x, y)), bitmap.At(x, y) != bitmap.At(0, 0)) << x << "," << y;
    }
  }
  QWidget* overlay = screen().Overlays().back();
  EXPECT_EQ(overlay->mask(), shape);
  EXPECT_EQ(overlay->mapTo(&screen(), QPoint(0, 0)), QPoint(12, 59));
  EXPECT_EQ(popup_->Geometry(), QRect(12, 59, 150, 95));

  PutSkin(kTall, "DialogLeft=1\nDialogTop=30\nDialogWidth=99999\nTransparentColor=0,0,0\n");
  popup_->LoadSkin(kTall);
  EXPECT_TRUE(popup_->Shape().isEmpty());
  EXPECT_EQ(popup_->Geometry(), QRect(1, 30, 240, 95));  // no wider than the screen
  EXPECT_EQ(overlay->mapTo(&screen(), QPoint(0, 0)), QPoint(1, 30));
}

TEST_F(AlertPopupTest, ThePreviewIsModalForTwoSecondsWithThePictureReadFirst) {
  files_.Put(u"\\My Documents\\pic.bmp", Encoded(Qt::red, "BMP"));
  auto timers = std::make_unique<FakeAlertTimers>();
  FakeAlertTimers* clock = timers.get();
  bool enabledDuring = true;
  bool visibleDuring = false;
  QTimer::singleShot(0, [&] {
    enabledDuring = window_.IsWindowEnabled();
    visibleDuring = DumpScreen(screen())["popup"]["text"] == "This is only for test";
    clock->Advance(1999);
    visibleDuring = visibleDuring && !DumpScreen(screen())["popup"].is_null();
    clock->Advance(1);
  });
  AlertWindow::Preview(screen(), files_, &window_, u"This is only for test", u"1234567890", u"",
                       u"\\My Documents\\pic.bmp", std::move(timers));
  EXPECT_FALSE(enabledDuring);
  EXPECT_TRUE(visibleDuring);
  EXPECT_TRUE(window_.IsWindowEnabled());
  EXPECT_EQ(files_.Reads(u"\\My Documents\\pic.bmp"), 1);

  // A key ends it sooner.
  QTimer::singleShot(0, [&] { screen().PressKey(PhoneKey::Back); });
  AlertWindow::Preview(screen(), files_, &window_, u"x", u"", u"", u"", std::make_unique<FakeAlertTimers>());
  EXPECT_TRUE(window_.IsWindowEnabled());
}

}  // namespace
}  // namespace brevalo
