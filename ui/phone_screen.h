// The phone's screen: a fixed-size widget with the status strip (top window's title, tray
// icons, input mode, clock), the stack of full-screen windows of which the top one shows, the
// soft-key bar, and overlays above the stack (popup menus, message boxes, the alert pop-up).
// While no window shows, the home screen does. Every key of the phone enters here and goes, in
// this order, to a registered hot key, the home screen, an open message box, an open menu, the
// top window's soft keys, and the top window.
#pragma once

#include <bitset>

#include <QEventLoop>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "device/device_paths.h"
#include "device/screen_remote_keys.h"
#include "ui/input_mode.h"
#include "ui/popup_menu.h"
#include "ui/soft_key_bar.h"
#include "ui/tray_icon.h"

class QLabel;

namespace brevalo {

class PhoneWindow;
class HomeScreen;
class MenuView;
class MessageBoxView;

struct MessageBoxState {
  QString caption;
  QString text;
  uint32_t flags = 0;
  QStringList buttons;  // "OK" or "OK", "Cancel"
};

class PhoneScreen : public QWidget, public TrayHost {
  Q_OBJECT

 public:
  // Sized from the device registry (HKEY_LOCAL_MACHINE\Device ScreenWidth / ScreenHeight),
  // 240 x 320 when they are not set.
  explicit PhoneScreen(const Device& device, QWidget* parent = nullptr);
  ~PhoneScreen() override;

  static QSize SizeOfDevice(const Device& device);
  const Device& DeviceFolder() const { return device_; }
  // The area a full-screen window covers.
  QRect WindowArea() const;

  // --- Windows ---------------------------------------------------------------------------
  // Windows join the screen when they are built and leave when they are destroyed.
  void AddWindow(PhoneWindow* window);
  void RemoveWindow(PhoneWindow* window);
  // Shows the window on top of the stack, or takes it off the screen (it lives on).
  void ShowWindow(PhoneWindow* window, bool show);
  PhoneWindow* TopWindow() const;  // the top shown window, or null
  std::vector<PhoneWindow*> ShownWindows() const;  // bottom first
  bool HomeShowing() const;
  // Home: the home screen goes over the program's windows until a window is shown again or
  // Home is pressed once more.
  void ShowHome(bool show);

  // --- Keys ------------------------------------------------------------------------------
  void PressKey(PhoneKey key, bool repeat = false, uint32_t modifiers = 0);
  void ReleaseKey(PhoneKey key, uint32_t modifiers = 0);
  // A press held long enough for `repeats` auto-repeats, then the release.
  void HoldKey(PhoneKey key, int repeats = 3);
  // Text from a keyboard or the remote control, into the focused edit of the top window.
  bool TypeText(const QString& text);

  // --- Hot keys (the device's; one window may hold a key) --------------------------------
  // False when another registration holds the same key and modifiers. MOD_KEYUP asks for a
  // second WM_HOTKEY on release.
  bool RegisterHotKey(PhoneWindow* window, int id, uint32_t modifiers, uint16_t virtualKey);
  bool UnregisterHotKey(PhoneWindow* window, int id);

  // --- Menus -----------------------------------------------------------------------------
  // Opens a popup above the soft-key bar on the left or right, owned by `owner`, after the
  // owner has prepared it. Choosing an item sends WM_COMMAND to the owner.
  void OpenPopup(PhoneWindow* owner, std::shared_ptr<PopupMenu> menu, bool left);
  void CloseMenu();
  const MenuNavigator* OpenMenu() const { return menu_ ? menu_.get() : nullptr; }

  // --- Message boxes ---------------------------------------------------------------------
  // Shows a message box above `owner` (which is disabled meanwhile) and waits in a nested
  // event loop; IDOK or IDCANCEL. MB_OK boxes answer IDOK to every closing key.
  int MessageBox(PhoneWindow* owner, const QString& text, const QString& caption, uint32_t flags);
  const MessageBoxState* OpenMessageBox() const { return messageBoxes_.empty() ? nullptr : &messageBoxes_.back()->state; }

  // --- Tray ------------------------------------------------------------------------------
  bool NotifyIcon(TrayOp op, const NotifyIconData& data) override;
  const std::vector<NotifyIconData>& TrayIcons() const { return tray_; }
  // The tray icon picked on the home screen, -1 for none.
  int HomeTraySelection() const { return homeTraySelection_; }

  // --- Overlays --------------------------------------------------------------------------
  // A widget drawn above the windows (the alert pop-up); it never takes the keys. Mark it with
  // the property "phonePopupText" for the screen dump.
  void AddOverlay(QWidget* overlay);
  std::vector<QWidget*> Overlays() const;
  // A short text near the bottom of the window area that goes by itself; keys pass it by.
  void ShowHint(const QString& text, int durationMs = 2000);
  QString ShownHint() const;  // empty while none shows

  // --- Odds and ends ---------------------------------------------------------------------
  // Milliseconds of a steady clock; tests replace it to pace multi-tap.
  void SetClock(std::function<int64_t()> clock) { clock_ = std::move(clock); }
  int64_t NowMs() const;
  // Messages posted to windows and not yet handled.
  int PendingMessages() const { return pendingMessages_.load(); }
  void MessageQueued() { ++pendingMessages_; }
  void MessageHandled() { --pendingMessages_; }
  // The unread count the home-screen plug-in shows, read from "KVT_SmsCount"; nothing when no
  // program publishes it.
  std::optional<uint32_t> UnreadCount() const;
  // The input mode of the focused edit of the top window, if an edit has the focus.
  std::optional<InputMode> ShownInputMode() const;
  QImage Screenshot();
  // Redraws the strip and the soft-key bar (the top window or its bar changed).
  void Refresh();

 Q_SIGNALS:
  // Every key press, before it is routed: the alert pop-up closes on any key.
  void PhoneKeyPressed(PhoneKey key);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct HotKey {
    QPointer<PhoneWindow> window;
    int id;
    uint32_t modifiers;
    uint16_t virtualKey;
  };
  struct OpenBox {
    MessageBoxState state;
    int result = 0;
    bool done = false;
    MessageBoxView* view = nullptr;
    QEventLoop* loop = nullptr;
  };
  friend class SoftKeyBarView;
  friend class StatusStripView;

  bool KeyToHotKey(PhoneKey key, uint32_t modifiers, bool release);
  bool KeyToHome(PhoneKey key);
  bool KeyToMessageBox(PhoneKey key);
  bool KeyToMenu(PhoneKey key);
  bool KeyToSoftKeys(PhoneWindow* window, PhoneKey key);
  void LayoutStack();
  void RaiseOverlays();
  PhoneWindow* BackspaceEditWindow() const;
  SoftKey ShownSoftKey(bool left) const;

  Device device_;
  QWidget* strip_;
  QWidget* stackArea_;
  QWidget* bar_;
  HomeScreen* home_;
  MenuView* menuView_;
  QLabel* hint_;
  QTimer hintTimer_;
  std::vector<QPointer<PhoneWindow>> windows_;  // every window, shown or not
  std::vector<QPointer<PhoneWindow>> shown_;    // bottom first
  bool homeForced_ = false;
  std::vector<HotKey> hotKeys_;
  std::unique_ptr<MenuPreparer> menuPreparer_;  // outlives menu_, which calls it
  std::unique_ptr<MenuNavigator> menu_;
  std::shared_ptr<PopupMenu> menuRoot_;
  QPointer<PhoneWindow> menuOwner_;
  bool menuLeft_ = true;
  std::vector<std::unique_ptr<OpenBox>> messageBoxes_;
  std::vector<NotifyIconData> tray_;
  int homeTraySelection_ = -1;
  // Keys whose press a menu, a message box or the home screen took: their release belongs to
  // them too, so it never reaches the window that shows once they are gone.
  std::bitset<kPhoneKeyCount> takenKeys_;
  std::vector<QPointer<QWidget>> overlays_;
  std::function<int64_t()> clock_;
  std::atomic<int> pendingMessages_{0};
};

}  // namespace brevalo
