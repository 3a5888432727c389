// A full-screen window of the phone: a title, a soft-key menu bar, controls on a page that
// scrolls when it is taller than the screen, a message queue with the phone's message numbers
// and window timers. Subclasses answer messages in WindowProc, the window's procedure.
#pragma once

#include <QPointer>
#include <QScrollArea>
#include <QTimer>
#include <QWidget>

#include <atomic>
#include <deque>
#include <functional>
#include <future>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "device/screen_remote_keys.h"
#include "ui/popup_menu.h"
#include "ui/soft_key_bar.h"
#include "ui/window_messages.h"

class QVBoxLayout;

namespace brevalo {

class PhoneScreen;

// What a control is, for key handling and for the screen dump.
enum class ControlKind { Static, Edit, MultiLineEdit, Button, CheckBox, RadioButton, List, Tree, SpinList };
const char* ControlKindName(ControlKind kind);

class PhoneWindow : public QWidget, public MessageTarget {
  Q_OBJECT

 public:
  PhoneWindow(PhoneScreen& screen, const QString& title);
  ~PhoneWindow() override;

  PhoneScreen& Screen() const { return *screen_; }
  QString Title() const { return title_; }
  void SetTitle(const QString& title);

  SoftKeyMenuBar& MenuBar() { return menuBar_; }
  const SoftKeyMenuBar& MenuBar() const { return menuBar_; }
  // Call after changing the bar so that the screen redraws it.
  void MenuBarChanged();

  // --- Messages --------------------------------------------------------------------------
  // Queues a message for the window's thread; any thread may post.
  bool PostMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) override;
  // Runs the window procedure and returns its result. From another thread the caller blocks
  // until the window thread has handled the message; a window destroyed meanwhile answers 0.
  intptr_t SendMessage(uint32_t message, uintptr_t wParam, intptr_t lParam);
  // Waits on the window thread until `done` holds or `timeoutMs` has passed, handling
  // meanwhile the messages that other threads send to the windows of this thread: a window
  // thread that waits for a thread (to end, to let go of something) while that thread sends
  // to the window would otherwise wait for ever. Posted messages stay queued. Returns done().
  static bool WaitHandlingSentMessages(const std::function<bool()>& done, int timeoutMs);
  // Drops every queued (posted) message with this number; returns how many were dropped.
  int RemoveQueuedMessages(uint32_t message);
  int QueuedMessageCount() const;

  // --- Timers ----------------------------------------------------------------------------
  // Starts or restarts timer `id`; WM_TIMER with wParam = id is queued each period, at most one
  // of a timer waiting at a time.
  void SetTimer(uintptr_t id, int periodMs);
  bool KillTimer(uintptr_t id);

  // --- State -----------------------------------------------------------------------------
  // A disabled window (owner of an open modal window) gets no keys.
  bool IsWindowEnabled() const override { return enabled_; }
  void EnableWindow(bool enabled) { enabled_ = enabled; }

  // --- Controls --------------------------------------------------------------------------
  // Adds `widget` to the page, below the controls added before; the window owns it.
  QWidget* AddControl(int id, ControlKind kind, QWidget* widget);
  // A label above the next control; id may be 0 (-1 is used then, as for unnamed statics).
  QWidget* AddLabel(int id, const QString& text);
  QWidget* Control(int id) const;
  ControlKind KindOf(const QWidget* control) const;
  int IdOf(const QWidget* control) const;
  std::vector<QWidget*> Controls() const;

  QWidget* FocusedControl() const { return focused_; }
  int FocusedControlId() const { return focused_ ? IdOf(focused_) : 0; }
  bool SetFocusControl(int id);
  // Moves to the next (+1) or previous (-1) visible, enabled control that takes focus.
  bool MoveFocus(int direction);

  QScrollArea* Page() const { return page_; }
  // How far one scroll step goes: a third of the visible height, at least 30 pixels.
  int ScrollStep() const;

  // Keys that reach the window (no hot key, menu or message box took them first).
  // The default handles focus, spin lists, lists, edits, buttons, Back and Action.
  virtual void KeyPressed(PhoneKey key, bool repeat);
  virtual void KeyReleased(PhoneKey key);
  // Text typed from a keyboard or the remote control, inserted into the focused edit.
  virtual bool TypeText(const QString& text);

  // The window procedure. The default closes nothing and answers 0.
  virtual intptr_t WindowProc(uint32_t message, uintptr_t wParam, intptr_t lParam);

  // Sends WM_COMMAND for a command id (low word) with a notification code (high word).
  void Command(int id, uint16_t code = 0) { SendMessage(WM_COMMAND, MakeLong(static_cast<uint16_t>(id), code), 0); }

 protected:
  bool event(QEvent* event) override;
  // Back with nothing to erase, Action with nothing that takes it.
  virtual void BackPressed();
  virtual void ActionPressed();

 private:
  struct Queued {
    uint32_t message;
    uintptr_t wParam;
    intptr_t lParam;
    std::shared_ptr<std::promise<intptr_t>> reply;  // set for messages sent from another thread
  };
  friend class PhoneScreen;
  void Enqueue(Queued item);
  void DeliverOne();
  // Handles the first message sent from another thread, if one waits; false when none does.
  bool DeliverOneSent();
  void Deliver(Queued item);
  // The screen is going before the window: nothing more is told to it.
  void DetachFromScreen() { screen_ = nullptr; }
  // Returns the window's answer.
  intptr_t Notify(int controlId, int code, int row, uint16_t key = 0);
  void ScrollToFocus();
  bool ControlTakesFocus(QWidget* control) const;
  bool KeyToControl(PhoneKey key, bool repeat);
  bool KeyToEdit(QWidget* edit, PhoneKey key, bool repeat);
  bool KeyToRows(QWidget* control, PhoneKey key);
  void HighlightFocus(QWidget* previous);

  PhoneScreen* screen_;
  QString title_;
  SoftKeyMenuBar menuBar_;
  bool enabled_ = true;

  mutable std::mutex queueMutex_;
  std::deque<Queued> queue_;

  std::map<uintptr_t, std::unique_ptr<QTimer>> timers_;
  std::map<uintptr_t, bool> timerWaiting_;

  QScrollArea* page_;
  QWidget* pageContent_;
  QVBoxLayout* pageLayout_;
  std::vector<QPointer<QWidget>> controls_;
  QPointer<QWidget> focused_;
};

}  // namespace brevalo
