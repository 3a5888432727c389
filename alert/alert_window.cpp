#include "alert/alert_window.h"

#include <QBuffer>
#include <QEventLoop>
#include <QImageReader>
#include <QPainter>

#include <algorithm>

#include "alert/skin_picture.h"
#include "ui/phone_screen.h"
#include "ui/phone_window.h"
#include "ui/string_table.h"

namespace brevalo {
namespace {

QString Cut(std::u16string_view text) {
  return QString::fromStdU16String(std::u16string(text.substr(0, kAlertTextCapacity)));
}

QString Label(int id) { return QString::fromStdU16String(StringTable::Program().Text(id)); }

}  // namespace

AlertWindow::AlertWindow(PhoneScreen& screen, FileSource& files, std::unique_ptr<AlertTimers> timers)
    : screen_(screen),
      files_(files),
      timers_(timers ? std::move(timers) : std::make_unique<QtAlertTimers>()),
      overlay_(new PopupOverlay(screen)),
      skin_(*this, files, ScreenPixelsPerInch()),
      labelFrom_(Label(IDS_LABEL_FROM)),
      labelInfo_(Label(IDS_LABEL_INFO)) {
  timers_->SetHandler([this](int id) { OnTimer(id); });
  // Any key or a tap on the pop-up closes it; the key still goes where it was going.
  connect(&screen, &PhoneScreen::PhoneKeyPressed, this, [this] {
    if (Visible()) Close();
  });
  connect(overlay_, &PopupOverlay::Tapped, this, [this] { Close(); });
}

AlertWindow::~AlertWindow() {
  timers_->SetHandler(nullptr);
  delete overlay_.data();
}

void AlertWindow::Preview(PhoneScreen& screen, FileSource& files, PhoneWindow* owner, std::u16string_view text,
                          std::u16string_view sender, std::u16string_view skinPath, std::u16string_view picturePath,
                          std::unique_ptr<AlertTimers> timers) {
  AlertWindow window(screen, files, std::move(timers));
  window.previewSkinPath_.assign(skinPath);
  window.SetContent(text, sender);
  // The picture is read before the window opens, and without a contact look-up.
  if (!picturePath.empty()) {
    if (std::optional<std::string> bytes = files.Read(picturePath)) {
      window.SetPhoto(DecodePicture(*bytes), QString::fromStdU16String(std::u16string(picturePath)));
    }
  }
  window.OnInitDialog();
  window.ShowWindow();
  const bool ownerEnabled = owner != nullptr && owner->IsWindowEnabled();
  if (owner) owner->EnableWindow(false);
  QEventLoop loop;
  window.modalLoop_ = &loop;
  if (window.Visible()) loop.exec();
  window.modalLoop_ = nullptr;
  if (owner) owner->EnableWindow(ownerEnabled);
}

void AlertWindow::Close() {
  timers_->Stop(kCloseTimer);
  HideWindow();
  if (modalLoop_) modalLoop_->exit();
}

void AlertWindow::OnInitDialog() {
  LoadSkin(previewSkinPath_);
  timers_->Start(kCloseTimer, kPreviewMs);
}

void AlertWindow::DrawText(QPainter& painter) {
  const SkinValues& v = skin_.Values();
  painter.setPen(ToQColor(v.textColor));
  painter.drawText(ToQRect(v.textRect), Qt::TextWordWrap, text_);
}

void AlertWindow::LoadSkin(std::u16string_view path) {
  skin_.Load(path, true);
  Invalidate();
}

bool AlertWindow::Visible() const { return overlay_ && !overlay_->isHidden(); }

void AlertWindow::PlaceSkinWindow(const SkinValues& values, const std::vector<ShapeBlock>* shape) {
  // A window larger than the screen could not show anyway; the clamp keeps a damaged skin
  // from asking for a picture of gigabytes.
  int width = std::clamp(values.width, 0, screen_.width());
  int height = std::clamp(values.height, 0, screen_.height());
  geometry_ = QRect(values.left, values.top, width, height);
  shape_ = shape ? ToQRegion(*shape) : QRegion();
  if (Visible()) ShowWindow();
}

void AlertWindow::OnTimer(int id) {
  if (id == kCloseTimer) Close();
}

void AlertWindow::Invalidate() {
  if (overlay_) Paint();
}

void AlertWindow::ShowWindow() {
  if (!overlay_) return;
  Paint();
  QWidget* area = overlay_->parentWidget();
  overlay_->ShowAt(area ? area->mapFrom(&screen_, geometry_.topLeft()) : geometry_.topLeft());
}

void AlertWindow::HideWindow() {
  if (overlay_) overlay_->Dismiss();
}

QImage AlertWindow::DecodePicture(const std::string& bytes) {
  QByteArray data = QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size()));
  QBuffer buffer(&data);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer);
  // BMP, GIF and JPEG, as the phone's image loader reads; other formats are no photo.
  const QByteArray format = reader.format();
  if (format != "bmp" && format != "gif" && format != "jpeg" && format != "jpg") return {};
  QSize size = reader.size();
  if (size.width() > kBitmapMaxSide || size.height() > kBitmapMaxSide) return {};
  return reader.read().convertToFormat(QImage::Format_RGB32);
}

void AlertWindow::SetPhoto(QImage photo, const QString& path) {
  photo_ = std::move(photo);
  photoPath_ = photo_.isNull() ? QString() : path;
}

void AlertWindow::SetContent(std::u16string_view text, std::u16string_view sender) {
  text_ = Cut(text);
  sender_ = Cut(sender);
}

QFont AlertWindow::Font() const { return SkinQFont(skin_.FontHeight()); }

void AlertWindow::DrawLine(QPainter& painter, const SkinRect& rect, const QString& text, SkinColor color,
                           bool centred) {
  painter.setPen(ToQColor(color));
  painter.drawText(ToQRect(rect), Qt::TextWordWrap | (centred ? Qt::AlignVCenter : Qt::AlignTop), text);
}

void AlertWindow::Paint() {
  if (skin_.Generation() != backgroundGeneration_) {
    background_ = ToQImage(skin_.Background());
    backgroundGeneration_ = skin_.Generation();
  }
  QImage picture(geometry_.size().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
  picture.fill(Qt::white);
  {
    QPainter painter(&picture);
    painter.drawImage(0, 0, background_);
    painter.setFont(Font());
    const SkinValues& v = skin_.Values();
    if (v.showNumber) DrawLine(painter, v.numberRect, sender_, v.numberColor, true);
    if (v.showText) DrawText(painter);
    if (!photo_.isNull() && v.showPhoto) painter.drawImage(ToQRect(v.photoRect), photo_);
    if (v.showNumberLabel) DrawLine(painter, v.numberLabelRect, labelFrom_, v.labelColor, true);
    if (v.showTextLabel) DrawLine(painter, v.textLabelRect, labelInfo_, v.labelColor, true);
  }
  picture_ = picture;
  overlay_->SetContent(QPixmap::fromImage(picture), shape_, text_);
  QString skinName = skin_.BuiltIn() ? QStringLiteral("Default") : QString::fromStdU16String(skin_.Path());
  overlay_->setProperty("phonePopupFields",
                        QVariantMap{{"sender", sender_}, {"photo", photoPath_}, {"skin", skinName}});
}

}  // namespace brevalo
