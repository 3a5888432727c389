#include "ui/phone_screen.h"

#include <QApplication>
#include <QBuffer>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

#include <chrono>

#include "device/event_log.h"
#include "channel/unread_counter.h"
#include "device/device_properties.h"
#include "device/registry.h"
#include "ui/edit_input.h"
#include "ui/home_screen.h"
#include "ui/phone_window.h"
#include "ui/screen_views.h"
#include "ui/string_table.h"
#include "ui/window_messages.h"

namespace brevalo {
namespace {

constexpr int kStripHeight = 20;
constexpr int kBarHeight = 26;

// Asks a popup's owner to prepare it right before it shows.
class WindowMenuPreparer : public MenuPreparer {
 public:
  explicit WindowMenuPreparer(PhoneWindow* owner) : owner_(owner) {}
  void PrepareMenu(PopupMenu& menu, int position) override {
    if (owner_) owner_->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<uintptr_t>(&menu), position);
  }

 private:
  QPointer<PhoneWindow> owner_;
};

std::optional<PhoneKey> PhoneKeyOfQtKey(int key) {
  switch (key) {
    case Qt::Key_F1: return PhoneKey::Soft1;
    case Qt::Key_F2: return PhoneKey::Soft2;
    case Qt::Key_Escape: return PhoneKey::Back;
    case Qt::Key_Return:
    case Qt::Key_Enter: return PhoneKey::Action;
    case Qt::Key_Up: return PhoneKey::Up;
    case Qt::Key_Down: return PhoneKey::Down;
    case Qt::Key_Left: return PhoneKey::Left;
    case Qt::Key_Right: return PhoneKey::Right;
    case Qt::Key_Asterisk:
    case Qt::Key_F8: return PhoneKey::Star;
    case Qt::Key_NumberSign:
    case Qt::Key_F9: return PhoneKey::Hash;
    case Qt::Key_F6: return PhoneKey::VolumeUp;
    case Qt::Key_F7: return PhoneKey::VolumeDown;
    case Qt::Key_F10: return PhoneKey::Record;
    case Qt::Key_Home: return PhoneKey::Home;
    default: break;
  }
  if (key >= Qt::Key_0 && key <= Qt::Key_9) {
    return static_cast<PhoneKey>(static_cast<int>(PhoneKey::Digit0) + (key - Qt::Key_0));
  }
  return std::nullopt;
}

bool FocusIsEdit(const PhoneWindow* window) {
  if (!window || !window->FocusedControl()) return false;
  ControlKind kind = window->KindOf(window->FocusedControl());
  return kind == ControlKind::Edit || kind == ControlKind::MultiLineEdit;
}

uint32_t ModifiersOf(Qt::KeyboardModifiers modifiers) {
  uint32_t out = 0;
  if (modifiers & Qt::AltModifier) out |= MOD_ALT;
  if (modifiers & Qt::ControlModifier) out |= MOD_CONTROL;
  if (modifiers & Qt::ShiftModifier) out |= MOD_SHIFT;
  return out;
}

}  // namespace

QSize PhoneScreen::SizeOfDevice(const Device& device) {
  Registry registry(device.RegistryFile());
  registry.Load();  // a device without a registry file has the default screen
  ScreenSize size = DeviceScreenSize(registry);
  return QSize(static_cast<int>(size.width), static_cast<int>(size.height));
}

PhoneScreen::PhoneScreen(const Device& device, QWidget* parent) : QWidget(parent), device_(device) {
  setFixedSize(SizeOfDevice(device));
  setWindowTitle("Phone");
  setFocusPolicy(Qt::StrongFocus);
  QFont base("DejaVu Sans");
  base.setPixelSize(12);
  setFont(base);
  setStyleSheet("*[phoneFocus=\"true\"] { border: 2px solid #2e6fdb; border-radius: 3px; }");
  strip_ = new StatusStripView(*this, this);
  stackArea_ = new QWidget(this);
  bar_ = new SoftKeyBarView(*this, this);
  home_ = new HomeScreen(*this, stackArea_);
  menuView_ = new MenuView(*this, stackArea_);
  hint_ = new QLabel(stackArea_);
  hint_->setObjectName("phoneHint");
  hint_->setWordWrap(true);
  hint_->setAlignment(Qt::AlignCenter);
  hint_->setFocusPolicy(Qt::NoFocus);
  hint_->setAttribute(Qt::WA_TransparentForMouseEvents);
  hint_->setStyleSheet("QLabel#phoneHint { background: #fff8c8; color: black; border: 1px solid #8a7a30;"
                       " border-radius: 4px; padding: 3px; }");
  hint_->hide();
  hintTimer_.setSingleShot(true);
  connect(&hintTimer_, &QTimer::timeout, hint_, &QWidget::hide);
  LayoutStack();
  qApp->installEventFilter(this);
}

PhoneScreen::~PhoneScreen() {
  qApp->removeEventFilter(this);
  // Windows still alive detach from a screen that is going.
  for (auto& window : windows_) {
    if (!window) continue;
    window->DetachFromScreen();
    window->setParent(nullptr);
  }
}

QRect PhoneScreen::WindowArea() const { return QRect(QPoint(0, 0), stackArea_->size()); }

void PhoneScreen::LayoutStack() {
  strip_->setGeometry(0, 0, width(), kStripHeight);
  stackArea_->setGeometry(0, kStripHeight, width(), height() - kStripHeight - kBarHeight);
  bar_->setGeometry(0, height() - kBarHeight, width(), kBarHeight);
  home_->setGeometry(WindowArea());
  menuView_->setGeometry(WindowArea());
  for (auto& window : windows_) {
    if (window) window->setGeometry(WindowArea());
  }
  for (auto& box : messageBoxes_) box->view->setGeometry(WindowArea());
}

// --- Windows ---------------------------------------------------------------------------------

void PhoneScreen::AddWindow(PhoneWindow* window) {
  window->setParent(stackArea_);
  window->setGeometry(WindowArea());
  window->hide();
  windows_.push_back(window);
}

void PhoneScreen::RemoveWindow(PhoneWindow* window) {
  std::erase_if(windows_, [&](const auto& w) { return !w || w == window; });
  std::erase_if(shown_, [&](const auto& w) { return !w || w == window; });
  std::erase_if(hotKeys_, [&](const HotKey& k) { return !k.window || k.window == window; });
  if (menuOwner_ == window) CloseMenu();
  if (PhoneWindow* top = TopWindow()) top->show();
  Refresh();
}

void PhoneScreen::ShowWindow(PhoneWindow* window, bool show) {
  std::erase_if(shown_, [&](const auto& w) { return !w || w == window; });
  if (PhoneWindow* top = TopWindow()) top->hide();
  if (show) {
    shown_.push_back(window);
    homeForced_ = false;
  } else {
    window->hide();
    if (menuOwner_ == window) CloseMenu();
  }
  if (PhoneWindow* top = TopWindow()) {
    top->show();
    top->raise();
  }
  Refresh();
}

void PhoneScreen::RaiseOverlays() {
  menuView_->raise();
  for (auto& box : messageBoxes_) box->view->raise();
  for (auto& overlay : overlays_) {
    if (overlay) overlay->raise();
  }
  hint_->raise();
}

PhoneWindow* PhoneScreen::TopWindow() const {
  for (auto it = shown_.rbegin(); it != shown_.rend(); ++it) {
    if (*it) return *it;
  }
  return nullptr;
}

std::vector<PhoneWindow*> PhoneScreen::ShownWindows() const {
  std::vector<PhoneWindow*> out;
  for (const auto& window : shown_) {
    if (window) out.push_back(window);
  }
  return out;
}

bool PhoneScreen::HomeShowing() const { return homeForced_ || !TopWindow(); }

void PhoneScreen::ShowHome(bool show) {
  homeForced_ = show;
  if (show) CloseMenu();
  Refresh();
}

void PhoneScreen::Refresh() {
  bool home = HomeShowing();
  home_->setVisible(home);
  if (home) home_->raise();
  if (PhoneWindow* top = TopWindow()) top->setVisible(!home);
  menuView_->Place(menuLeft_);
  // A message box belongs to the program's windows: the home screen covers it until they show.
  for (auto& box : messageBoxes_) box->view->setVisible(!home);
  RaiseOverlays();
  strip_->update();
  bar_->update();
  home_->update();
}

// --- Keys ------------------------------------------------------------------------------------

bool PhoneScreen::KeyToHotKey(PhoneKey key, uint32_t modifiers, bool release) {
  uint16_t vk = VirtualKeyOf(key);
  for (const HotKey& hotKey : hotKeys_) {
    if (!hotKey.window || hotKey.virtualKey != vk) continue;
    if ((hotKey.modifiers & (MOD_ALT | MOD_CONTROL | MOD_SHIFT)) != modifiers) continue;
    if (release && !(hotKey.modifiers & MOD_KEYUP)) return true;  // taken, nothing to say on release
    uint16_t flags = static_cast<uint16_t>(modifiers | (release ? MOD_KEYUP : 0));
    hotKey.window->PostMessage(WM_HOTKEY, static_cast<uintptr_t>(hotKey.id), MakeLong(flags, vk));
    return true;
  }
  return false;
}

bool PhoneScreen::KeyToHome(PhoneKey key) {
  if (!HomeShowing()) return false;
  int count = static_cast<int>(tray_.size());
  if (key == PhoneKey::Up || key == PhoneKey::Down) {
    // The plug-in's line is the one row above the tray.
    home_->SelectPlugin(!home_->UnreadText().isEmpty());
    if (home_->PluginSelected()) homeTraySelection_ = -1;
  } else if (key == PhoneKey::Action && home_->PluginSelected()) {
    home_->PluginAction();
  } else if (key == PhoneKey::Left || key == PhoneKey::Right) {
    home_->SelectPlugin(false);
    if (count == 0) return true;
    int step = key == PhoneKey::Left ? -1 : 1;
    homeTraySelection_ = homeTraySelection_ < 0 ? 0 : (homeTraySelection_ + step + count) % count;
  } else if (key == PhoneKey::Action && homeTraySelection_ >= 0 && homeTraySelection_ < count) {
    const NotifyIconData& icon = tray_[homeTraySelection_];
    if (icon.window && (icon.flags & NIF_MESSAGE) && icon.window->IsWindowEnabled()) {
      icon.window->PostMessage(icon.callbackMessage, icon.id, WM_LBUTTONDOWN);
    }
  }
  Refresh();
  return true;
}

bool PhoneScreen::KeyToMessageBox(PhoneKey key) {
  if (messageBoxes_.empty()) return false;
  OpenBox& box = *messageBoxes_.back();
  bool okCancel = (box.state.flags & 0xF) == MB_OKCANCEL;
  int result = 0;
  if ((key == PhoneKey::Up || key == PhoneKey::Down) && box.view) {
    box.view->ScrollLines(key == PhoneKey::Up ? -1 : 1);
    return true;
  }
  if (key == PhoneKey::Soft1 || key == PhoneKey::Action) result = IDOK;
  else if (key == PhoneKey::Soft2 || key == PhoneKey::Back) result = okCancel ? IDCANCEL : IDOK;
  if (result != 0 && !box.done) {
    box.result = result;
    box.done = true;
    if (box.loop) box.loop->exit();
  }
  return true;  // a message box takes every key while it is open
}

bool PhoneScreen::KeyToMenu(PhoneKey key) {
  if (!menu_) return false;
  if (key == PhoneKey::Soft1 || key == PhoneKey::Soft2) {
    CloseMenu();  // either soft key closes the popup, as on the phone
    return true;
  }
  MenuNavigator::Result result = menu_->Press(key);
  QPointer<PhoneWindow> owner = menuOwner_;
  if (result.outcome != MenuNavigator::Outcome::Stay) CloseMenu();
  else Refresh();
  if (result.outcome == MenuNavigator::Outcome::Chosen && owner) owner->Command(result.command);
  return true;
}

SoftKey PhoneScreen::ShownSoftKey(bool left) const {
  if (!messageBoxes_.empty()) {
    const MessageBoxState& state = messageBoxes_.back()->state;
    int index = left ? 0 : 1;
    if (index >= state.buttons.size()) return {};
    return {state.buttons[index].toStdU16String(), 0, nullptr, true};
  }
  PhoneWindow* top = HomeShowing() ? nullptr : TopWindow();
  if (!top) return {};
  return left ? top->MenuBar().left : top->MenuBar().right;
}

bool PhoneScreen::KeyToSoftKeys(PhoneWindow* window, PhoneKey key) {
  if (key != PhoneKey::Soft1 && key != PhoneKey::Soft2) return false;
  bool left = key == PhoneKey::Soft1;
  const SoftKey& softKey = left ? window->MenuBar().left : window->MenuBar().right;
  if (!softKey.enabled) return true;
  if (softKey.popup) OpenPopup(window, softKey.popup, left);
  else if (softKey.command != 0) window->Command(softKey.command);
  return true;
}

void PhoneScreen::PressKey(PhoneKey key, bool repeat, uint32_t modifiers) {
  if (!repeat) Q_EMIT PhoneKeyPressed(key);
  if (key == PhoneKey::Home) {
    if (!repeat) ShowHome(!HomeShowing());
    return;
  }
  if (KeyToHotKey(key, modifiers, false)) return;
  // Marked before the menu acts: a command it runs may open a modal window whose loop sees
  // the release first.
  takenKeys_.set(static_cast<size_t>(key));
  if (KeyToHome(key) || KeyToMessageBox(key) || KeyToMenu(key)) return;
  takenKeys_.reset(static_cast<size_t>(key));
  PhoneWindow* top = TopWindow();
  if (!top || !top->IsWindowEnabled()) return;
  if (KeyToSoftKeys(top, key)) return;
  if (key == PhoneKey::Back && top->MenuBar().backKeyToWindow) {
    top->PostMessage(WM_HOTKEY, VK_BACK_KEY, MakeLong(static_cast<uint16_t>(modifiers), VK_BACK_KEY));
    return;
  }
  top->KeyPressed(key, repeat);
  Refresh();
}

void PhoneScreen::ReleaseKey(PhoneKey key, uint32_t modifiers) {
  if (takenKeys_.test(static_cast<size_t>(key))) {
    takenKeys_.reset(static_cast<size_t>(key));
    return;
  }
  if (KeyToHotKey(key, modifiers, true)) return;
  if (HomeShowing() || !messageBoxes_.empty() || menu_) return;
  PhoneWindow* top = TopWindow();
  if (!top || !top->IsWindowEnabled()) return;
  if (key == PhoneKey::Back && top->MenuBar().backKeyToWindow) {
    top->PostMessage(WM_HOTKEY, VK_BACK_KEY,
                     MakeLong(static_cast<uint16_t>(modifiers | MOD_KEYUP), VK_BACK_KEY));
    return;
  }
  top->KeyReleased(key);
}

void PhoneScreen::HoldKey(PhoneKey key, int repeats) {
  PressKey(key, false);
  for (int i = 0; i < repeats; ++i) PressKey(key, true);
  ReleaseKey(key);
}

bool PhoneScreen::TypeText(const QString& text) {
  if (HomeShowing() || !messageBoxes_.empty() || menu_) return false;
  PhoneWindow* top = TopWindow();
  if (!top || !top->IsWindowEnabled()) return false;
  bool typed = top->TypeText(text);
  Refresh();
  return typed;
}

void PhoneScreen::keyPressEvent(QKeyEvent* event) {
  std::optional<PhoneKey> key = PhoneKeyOfQtKey(event->key());
  if (!key && event->key() == Qt::Key_Backspace) {
    if (PhoneWindow* top = BackspaceEditWindow()) {
      EraseInEdit(top->FocusedControl());
      Refresh();
      return;
    }
    key = PhoneKey::Back;
  }
  if (!key) {
    if (!event->text().isEmpty() && event->text().at(0).isPrint()) TypeText(event->text());
    return;
  }
  PressKey(*key, event->isAutoRepeat(), ModifiersOf(event->modifiers()));
}

void PhoneScreen::keyReleaseEvent(QKeyEvent* event) {
  if (event->isAutoRepeat()) return;
  std::optional<PhoneKey> key = PhoneKeyOfQtKey(event->key());
  if (!key && event->key() == Qt::Key_Backspace && !BackspaceEditWindow()) key = PhoneKey::Back;
  if (key) ReleaseKey(*key, ModifiersOf(event->modifiers()));
}

// Backspace erases in an edit even where the window takes the Back key; elsewhere it is Back.
PhoneWindow* PhoneScreen::BackspaceEditWindow() const {
  PhoneWindow* top = HomeShowing() ? nullptr : TopWindow();
  bool free = top && top->IsWindowEnabled() && messageBoxes_.empty() && !menu_;
  return free && FocusIsEdit(top) ? top : nullptr;
}

bool PhoneScreen::eventFilter(QObject* watched, QEvent* event) {
  // Keys typed into any widget of the screen are the phone's keys: the screen routes them, so
  // that a focused edit never sees the PC keys directly.
  if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease) return false;
  auto* widget = qobject_cast<QWidget*>(watched);
  if (!widget || widget == this || !isAncestorOf(widget)) return false;
  auto* key = static_cast<QKeyEvent*>(event);
  if (event->type() == QEvent::KeyPress) keyPressEvent(key);
  else keyReleaseEvent(key);
  return true;
}

// --- Hot keys --------------------------------------------------------------------------------

bool PhoneScreen::RegisterHotKey(PhoneWindow* window, int id, uint32_t modifiers, uint16_t virtualKey) {
  uint32_t plain = modifiers & (MOD_ALT | MOD_CONTROL | MOD_SHIFT);
  for (HotKey& hotKey : hotKeys_) {
    if (!hotKey.window) continue;
    if (hotKey.window == window && hotKey.id == id) {
      hotKey = {window, id, modifiers, virtualKey};
      return true;
    }
    if (hotKey.virtualKey == virtualKey && (hotKey.modifiers & 7) == plain) return false;
  }
  hotKeys_.push_back({window, id, modifiers, virtualKey});
  return true;
}

bool PhoneScreen::UnregisterHotKey(PhoneWindow* window, int id) {
  size_t before = hotKeys_.size();
  std::erase_if(hotKeys_, [&](const HotKey& k) { return !k.window || (k.window == window && k.id == id); });
  return hotKeys_.size() != before;
}

// --- Menus -----------------------------------------------------------------------------------

void PhoneScreen::OpenPopup(PhoneWindow* owner, std::shared_ptr<PopupMenu> menu, bool left) {
  CloseMenu();
  menuOwner_ = owner;
  menuLeft_ = left;
  menuRoot_ = std::move(menu);
  menuPreparer_ = std::make_unique<WindowMenuPreparer>(owner);
  menu_ = std::make_unique<MenuNavigator>(*menuRoot_, menuPreparer_.get());
  Refresh();
}

void PhoneScreen::CloseMenu() {
  menu_.reset();
  menuRoot_.reset();
  menuOwner_ = nullptr;
  menuView_->hide();
  strip_->update();
  bar_->update();
}

// --- Message boxes ---------------------------------------------------------------------------

int PhoneScreen::MessageBox(PhoneWindow* owner, const QString& text, const QString& caption,
                            uint32_t flags) {
  const StringTable& strings = StringTable::Program();
  auto box = std::make_unique<OpenBox>();
  box->state.caption = caption;
  box->state.text = text;
  box->state.flags = flags;
  box->state.buttons << QString::fromStdU16String(strings.Text(IDS_OK));
  if ((flags & 0xF) == MB_OKCANCEL) box->state.buttons << QString::fromStdU16String(strings.Text(IDS_CANCEL));
  OpenBox* open = box.get();
  messageBoxes_.push_back(std::move(box));
  open->view = new MessageBoxView(open->state, stackArea_);
  open->view->setGeometry(WindowArea());
  open->view->show();
  open->view->raise();
  CloseMenu();
  QPointer<PhoneWindow> disabled = owner && owner->IsWindowEnabled() ? owner : nullptr;
  if (disabled) disabled->EnableWindow(false);
  Refresh();
  QEventLoop loop;
  open->loop = &loop;
  // A box can be answered before the loop starts (a key queued in front of it); the loop
  // also ends when the application quits, which answers Cancel.
  if (!open->done) loop.exec();
  open->loop = nullptr;
  int result = open->result == 0 ? IDCANCEL : open->result;
  delete open->view;
  std::erase_if(messageBoxes_, [&](const auto& b) { return b.get() == open; });
  if (disabled) disabled->EnableWindow(true);
  Refresh();
  return result;
}

// --- Tray ------------------------------------------------------------------------------------

bool PhoneScreen::NotifyIcon(TrayOp op, const NotifyIconData& data) {
  auto found = std::find_if(tray_.begin(), tray_.end(), [&](const NotifyIconData& icon) {
    return icon.window == data.window && icon.id == data.id;
  });
  const char* action = "add";
  if (op == TrayOp::Add) {
    if (found != tray_.end()) return false;
    tray_.push_back(data);
  } else if (op == TrayOp::Modify) {
    if (found == tray_.end()) return false;
    *found = data;
    action = "modify";
  } else {
    if (found == tray_.end()) return false;
    tray_.erase(found);
    action = "delete";
    if (homeTraySelection_ >= static_cast<int>(tray_.size())) homeTraySelection_ = static_cast<int>(tray_.size()) - 1;
  }
  EventLog(device_).Append("tray", {{"action", action},
                                    {"id", data.id},
                                    {"icon", data.icon},
                                    {"tip", QString::fromStdU16String(data.tip).toStdString()}});
  Refresh();
  return true;
}

// --- Overlays and odds and ends --------------------------------------------------------------

void PhoneScreen::AddOverlay(QWidget* overlay) {
  overlay->setParent(stackArea_);
  overlay->setFocusPolicy(Qt::NoFocus);
  overlay->setAttribute(Qt::WA_ShowWithoutActivating);
  overlays_.push_back(overlay);
  overlay->raise();
}

void PhoneScreen::ShowHint(const QString& text, int durationMs) {
  hint_->setText(text);
  int width = WindowArea().width() - 16;
  hint_->setFixedWidth(width);
  hint_->adjustSize();
  hint_->move(8, WindowArea().height() - hint_->height() - 6);
  hint_->show();
  hint_->raise();
  hintTimer_.start(durationMs);
}

QString PhoneScreen::ShownHint() const { return hint_->isVisible() ? hint_->text() : QString(); }

std::vector<QWidget*> PhoneScreen::Overlays() const {
  std::vector<QWidget*> out;
  for (const auto& overlay : overlays_) {
    if (overlay) out.push_back(overlay);
  }
  return out;
}

int64_t PhoneScreen::NowMs() const {
  if (clock_) return clock_();
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

std::optional<uint32_t> PhoneScreen::UnreadCount() const { return UnreadCounter::Peek(device_); }

std::optional<InputMode> PhoneScreen::ShownInputMode() const {
  PhoneWindow* top = HomeShowing() ? nullptr : TopWindow();
  if (!FocusIsEdit(top)) return std::nullopt;
  return EditInputMode(top->FocusedControl());
}

QImage PhoneScreen::Screenshot() {
  Refresh();
  return grab().toImage();
}

}  // namespace brevalo
