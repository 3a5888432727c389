// The skinned alert window: a picture of the skin with the sender line, the text, the photo and
// the two labels, shown as the phone screen's pop-up overlay, cut to the skin's shape, never
// taking the focus. In this base form it is the modal preview behind the "Test..." buttons:
// up for 2000 ms, or until a key or a tap. AlertPopup adds the message pop-up.
#pragma once

#include <QImage>
#include <QObject>
#include <QPointer>
#include <QString>

#include <memory>
#include <string>

#include "alert/alert_timers.h"
#include "alert/file_source.h"
#include "alert/skin.h"
#include "ui/popup_overlay.h"

class QEventLoop;
class QPainter;

namespace brevalo {

class PhoneScreen;
class PhoneWindow;

inline constexpr int kCloseTimer = 1;
inline constexpr int kPreviewMs = 2000;
inline constexpr size_t kAlertTextCapacity = 259;
inline constexpr int IDS_LABEL_FROM = 40356;
inline constexpr int IDS_LABEL_INFO = 40357;

class AlertWindow : public QObject, public SkinWindow {
  Q_OBJECT

 public:
  // The screen and files must outlive the window. Without `timers` the window runs on Qt's.
  AlertWindow(PhoneScreen& screen, FileSource& files, std::unique_ptr<AlertTimers> timers = nullptr);
  // Frees the photo and the skin.
  ~AlertWindow() override;

  // Modal: the preview of a skin with `text`, `sender` and the picture at `picturePath` (when
  // it can be read and decoded), until timer 1, a key or a tap closes it. `owner` takes no
  // keys meanwhile.
  static void Preview(PhoneScreen& screen, FileSource& files, PhoneWindow* owner, std::u16string_view text,
                      std::u16string_view sender, std::u16string_view skinPath, std::u16string_view picturePath,
                      std::unique_ptr<AlertTimers> timers = nullptr);

  // --- The window's operations, in slot order --------------------------------------------
  // Slot 0: the preview stops timer 1 and goes; the pop-up overrides it.
  virtual void Close();
  // Slot 1 is the destructor. Slot 2, on creation: the preview loads its skin with apply and
  // starts timer 1 with 2000 ms.
  virtual void OnInitDialog();
  // Slot 3: the text into the text rectangle.
  virtual void DrawText(QPainter& painter);

  // The skin, with apply: the window is placed and shaped by it. An unchanged path costs nothing.
  void LoadSkin(std::u16string_view path);

  // --- What the window shows, for its tests and the screen dump --------------------------
  bool Visible() const;
  QImage Picture() const { return picture_; }
  QRegion Shape() const { return shape_; }
  QRect Geometry() const { return geometry_; }  // screen pixels
  const Skin& CurrentSkin() const { return skin_; }
  const QString& SenderLine() const { return sender_; }
  const QString& Text() const { return text_; }
  bool HasPhoto() const { return !photo_.isNull(); }
  const QString& PhotoPath() const { return photoPath_; }
  AlertTimers& Timers() { return *timers_; }

 protected:
  void PlaceSkinWindow(const SkinValues& values, const std::vector<ShapeBlock>* shape) override;
  // Timer `id` has fired.
  virtual void OnTimer(int id);
  // The picture drawn again and handed to the overlay.
  void Invalidate();
  void ShowWindow();
  void HideWindow();
  // Decodes `bytes` as BMP, GIF or JPEG; a null image for anything else.
  static QImage DecodePicture(const std::string& bytes);
  void SetPhoto(QImage photo, const QString& path);
  void SetContent(std::u16string_view text, std::u16string_view sender);
  QFont Font() const;
  // The skin's bitmap as painting uses it, made again after each load of the skin.
  const QImage& BackgroundImage() const { return background_; }
  PhoneScreen& Screen() const { return screen_; }
  FileSource& Files() const { return files_; }

  std::u16string previewSkinPath_;

 private:
  void Paint();
  void DrawLine(QPainter& painter, const SkinRect& rect, const QString& text, SkinColor color, bool centred);

  PhoneScreen& screen_;
  FileSource& files_;
  std::unique_ptr<AlertTimers> timers_;
  QPointer<PopupOverlay> overlay_;
  Skin skin_;
  QString sender_;
  QString text_;
  QString labelFrom_;
  QString labelInfo_;
  QImage photo_;
  QString photoPath_;
  QImage background_;
  uint64_t backgroundGeneration_ = 0;
  QImage picture_;
  QRegion shape_;
  QRect geometry_;
  QEventLoop* modalLoop_ = nullptr;
};

}  // namespace brevalo
