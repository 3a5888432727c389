// One icon of the phone's notification tray, as the program holds it: the notify record the
// tray is given and whether the icon is in the tray now. The tray itself (drawing, taps that
// post the callback message) belongs to the screen, reached through TrayHost.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "ui/window_messages.h"

namespace brevalo {

inline constexpr uint32_t NIF_MESSAGE = 0x1;
inline constexpr uint32_t NIF_ICON = 0x2;
inline constexpr uint32_t NIF_TIP = 0x4;
inline constexpr size_t kTrayTipChars = 64;  // with the terminator

struct NotifyIconData {
  uint32_t size = 152;
  MessageTarget* window = nullptr;
  uint32_t id = 0;
  uint32_t flags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  uint32_t callbackMessage = WM_TRAY_NOTIFY;
  int icon = 0;  // resource identifier of the icon, 0 for none
  std::u16string tip;  // at most kTrayTipChars - 1 characters
};

enum class TrayOp { Add, Modify, Delete };

class TrayHost {
 public:
  virtual ~TrayHost() = default;
  // Add fails for an icon (window, id) already there, Modify and Delete for one that is not.
  virtual bool NotifyIcon(TrayOp op, const NotifyIconData& data) = 0;
};

class TrayIcon {
 public:
  explicit TrayIcon(TrayHost& host) : host_(&host) {}
  TrayIcon(const TrayIcon&) = delete;
  TrayIcon& operator=(const TrayIcon&) = delete;

  void SetWindow(MessageTarget* window) { data_.window = window; }
  // Takes the icon; when shown, the tray's icon changes too.
  void SetIcon(int resourceId, uint32_t identifier);
  // Adds the icon unless it is shown; shown once the tray took it.
  void Show(uint32_t identifier);
  // Removes the icon if it is shown; not shown once the tray let it go.
  void Hide(uint32_t identifier);
  // Keeps at most 63 characters (never half a surrogate pair); when shown, the tray's tip
  // changes too.
  void SetTip(std::u16string_view text);

  bool Shown() const { return shown_; }
  const NotifyIconData& Data() const { return data_; }

 private:
  TrayHost* host_;
  NotifyIconData data_;
  bool shown_ = false;
};

}  // namespace brevalo
