#include "alert/alert_popup.h"

#include <QFontMetrics>
#include <QPainter>

#include <climits>

#include "alert/photo_lookup.h"
#include "alert/skin_picture.h"

namespace brevalo {

AlertPopup::AlertPopup(PhoneScreen& screen, FileSource& files, const SettingValues& settings,
                       std::unique_ptr<AlertTimers> timers)
    : AlertWindow(screen, files, std::move(timers)), settings_(settings) {
  OnInitDialog();
  LoadSkin(u"");  // the built-in look until a message names a skin
}

AlertPopup::~AlertPopup() { WaitForPhotoLookups(); }

void AlertPopup::OnInitDialog() {
  // The window floats above everything, the phone's start screen included; the screen's
  // overlays already do, so nothing is left to set here.
}

void AlertPopup::ShowAlert(std::u16string_view text, std::u16string_view sender, int displayMs,
                           std::u16string_view picture, int contact) {
  SetContent(text, sender);
  picture_.assign(picture.substr(0, kAlertTextCapacity));
  shown_ = true;
  contact_ = contact;
  SetPhoto(QImage(), QString());
  ++photoGeneration_;
  ReapLookups(false);
  if (CurrentSkin().Values().showPhoto) StartPhotoLookup();
  Timers().Stop(kCloseTimer);
  Timers().Stop(kScrollTimer);
  const SkinRect& rect = CurrentSkin().Values().textRect;
  QFontMetrics metrics(Font());
  int height = metrics.boundingRect(QRect(0, 0, std::max(rect.Width(), 1), INT_MAX / 2), Qt::TextWordWrap, Text())
                   .height();
  if (scroll_.Start(rect, height)) Timers().Start(kScrollTimer, kScrollPeriodMs);
  if (Visible()) Invalidate();
  else ShowWindow();
  if (displayMs != 0) Timers().Start(kCloseTimer, displayMs);
}

void AlertPopup::Close() {
  shown_ = false;
  Timers().Stop(kScrollTimer);
  Timers().Stop(kCloseTimer);
  HideWindow();
}

void AlertPopup::OnTimer(int id) {
  if (id != kScrollTimer) {
    AlertWindow::OnTimer(id);
    return;
  }
  scroll_.Tick();
  Invalidate();
}

void AlertPopup::DrawText(QPainter& painter) {
  const SkinValues& v = CurrentSkin().Values();
  QRect rect = ToQRect(v.textRect);
  if (rect.isEmpty()) return;
  // Drawn off-screen over the background so that the first line lies `offset` above the
  // rectangle's top, then copied in: what falls outside the rectangle is cut away.
  QImage piece(rect.size(), QImage::Format_RGB32);
  {
    QPainter off(&piece);
    off.fillRect(piece.rect(), Qt::white);
    off.drawImage(QPoint(-rect.left(), -rect.top()), BackgroundImage());
    off.setFont(painter.font());
    off.setPen(ToQColor(v.textColor));
    off.drawText(QRect(0, -scroll_.Offset(), rect.width(), std::max(scroll_.Extent(), rect.height())),
                 Qt::TextWordWrap, Text());
  }
  painter.drawImage(rect.topLeft(), piece);
}

void AlertPopup::StartPhotoLookup() {
  PhotoRequest request{std::u16string(SenderLine().toStdU16String()), contact_ == 1, picture_,
                       settings_.PhotoFolder.Text(), settings_.defaultPhoto.Text()};
  auto done = std::make_shared<std::atomic<bool>>(false);
  const uint64_t generation = photoGeneration_;
  FileSource& files = Files();
  std::thread thread([this, request = std::move(request), done, generation, &files] {
    std::optional<FoundPhoto> found = FindPhoto(files, request);
    if (found) {
      QImage photo = DecodePicture(found->bytes);
      QString path = QString::fromStdU16String(found->path);
      // The photo is set on the window's thread only, where ShowAlert frees and replaces it.
      QMetaObject::invokeMethod(
          this,
          [this, photo = std::move(photo), path, generation] {
            if (generation != photoGeneration_ || photo.isNull()) return;
            SetPhoto(photo, path);
            Invalidate();
          },
          Qt::QueuedConnection);
    }
    done->store(true);
  });
  lookups_.push_back({std::move(thread), std::move(done)});
}

void AlertPopup::ReapLookups(bool all) {
  for (auto it = lookups_.begin(); it != lookups_.end();) {
    if (all || it->done->load()) {
      it->thread.join();
      it = lookups_.erase(it);
    } else {
      ++it;
    }
  }
}

void AlertPopup::WaitForPhotoLookups() { ReapLookups(true); }

}  // namespace brevalo
