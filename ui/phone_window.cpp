#include "ui/phone_window.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyle>
#include <QThread>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <set>

#include "ui/edit_input.h"
#include "ui/phone_screen.h"

namespace brevalo {
namespace {

// Wakes the window thread for one queued message; the message itself waits in the window's
// own queue, where RemoveQueuedMessages can reach it.
const QEvent::Type kWakeEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

const char* kControlId = "phoneControlId";

// Every window, so that a waiting window thread finds the messages sent to its windows; and
// the signal that a message was sent, so that it wakes without polling hard.
struct SentMessageHub {
  std::mutex mutex;
  std::condition_variable sent;
  std::set<PhoneWindow*> windows;
};

SentMessageHub& Hub() {
  static SentMessageHub hub;
  return hub;
}
const char* kControlKind = "phoneControlKind";

}  // namespace

const char* ControlKindName(ControlKind kind) {
  switch (kind) {
    case ControlKind::Static: return "static";
    case ControlKind::Edit: return "edit";
    case ControlKind::MultiLineEdit: return "multiline";
    case ControlKind::Button: return "button";
    case ControlKind::CheckBox: return "checkbox";
    case ControlKind::RadioButton: return "radio";
    case ControlKind::List: return "list";
    case ControlKind::Tree: return "tree";
    case ControlKind::SpinList: return "spin";
  }
  return "static";
}

PhoneWindow::PhoneWindow(PhoneScreen& screen, const QString& title)
    : screen_(&screen), title_(title) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  page_ = new QScrollArea(this);
  page_->setFrameShape(QFrame::NoFrame);
  page_->setWidgetResizable(true);
  page_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  page_->setFocusPolicy(Qt::NoFocus);
  pageContent_ = new QWidget;
  pageLayout_ = new QVBoxLayout(pageContent_);
  pageLayout_->setContentsMargins(4, 4, 4, 4);
  pageLayout_->setSpacing(3);
  pageLayout_->addStretch(1);
  page_->setWidget(pageContent_);
  layout->addWidget(page_);
  setAutoFillBackground(true);
  screen.AddWindow(this);
  std::lock_guard<std::mutex> lock(Hub().mutex);
  Hub().windows.insert(this);
}

PhoneWindow::~PhoneWindow() {
  {
    std::lock_guard<std::mutex> lock(Hub().mutex);
    Hub().windows.erase(this);
  }
  timers_.clear();
  std::deque<Queued> left;
  {
    std::lock_guard<std::mutex> lock(queueMutex_);
    left.swap(queue_);
  }
  // Threads blocked in SendMessage get 0 rather than waiting for ever.
  for (Queued& item : left) {
    if (item.reply) item.reply->set_value(0);
    if (screen_) screen_->MessageHandled();
  }
  if (screen_) screen_->RemoveWindow(this);
}

void PhoneWindow::SetTitle(const QString& title) {
  title_ = title;
  if (screen_) screen_->Refresh();
}

void PhoneWindow::MenuBarChanged() {
  if (screen_) screen_->Refresh();
}

// --- Messages --------------------------------------------------------------------------------

void PhoneWindow::Enqueue(Queued item) {
  {
    std::lock_guard<std::mutex> lock(queueMutex_);
    queue_.push_back(std::move(item));
  }
  if (screen_) screen_->MessageQueued();
  QCoreApplication::postEvent(this, new QEvent(kWakeEvent));
  Hub().sent.notify_all();
}

bool PhoneWindow::PostMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) {
  Enqueue({message, wParam, lParam, nullptr});
  return true;
}

intptr_t PhoneWindow::SendMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) {
  if (QThread::currentThread() == thread()) return WindowProc(message, wParam, lParam);
  auto reply = std::make_shared<std::promise<intptr_t>>();
  std::future<intptr_t> answer = reply->get_future();
  Enqueue({message, wParam, lParam, reply});
  return answer.get();
}

int PhoneWindow::RemoveQueuedMessages(uint32_t message) {
  int removed = 0;
  std::lock_guard<std::mutex> lock(queueMutex_);
  for (auto it = queue_.begin(); it != queue_.end();) {
    // Sent messages have a waiting caller and are never dropped.
    if (it->message == message && !it->reply) {
      it = queue_.erase(it);
      ++removed;
      if (screen_) screen_->MessageHandled();
    } else {
      ++it;
    }
  }
  return removed;
}

int PhoneWindow::QueuedMessageCount() const {
  std::lock_guard<std::mutex> lock(queueMutex_);
  return static_cast<int>(queue_.size());
}

void PhoneWindow::DeliverOne() {
  Queued item;
  {
    std::lock_guard<std::mutex> lock(queueMutex_);
    if (queue_.empty()) return;  // taken by RemoveQueuedMessages or a waiting window thread
    item = std::move(queue_.front());
    queue_.pop_front();
  }
  Deliver(std::move(item));
}

bool PhoneWindow::DeliverOneSent() {
  Queued item;
  {
    std::lock_guard<std::mutex> lock(queueMutex_);
    auto sent = std::find_if(queue_.begin(), queue_.end(), [](const Queued& q) { return q.reply != nullptr; });
    if (sent == queue_.end()) return false;
    item = std::move(*sent);
    queue_.erase(sent);
  }
  // Its wake event stays posted and later finds the queue one shorter, which it allows for.
  Deliver(std::move(item));
  return true;
}

void PhoneWindow::Deliver(Queued item) {
  if (item.message == WM_TIMER) timerWaiting_[item.wParam] = false;
  intptr_t result = WindowProc(item.message, item.wParam, item.lParam);
  if (item.reply) item.reply->set_value(result);
  if (screen_) screen_->MessageHandled();
}

bool PhoneWindow::WaitHandlingSentMessages(const std::function<bool()>& done, int timeoutMs) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    if (done()) return true;
    std::vector<QPointer<PhoneWindow>> mine;
    {
      std::lock_guard<std::mutex> lock(Hub().mutex);
      for (PhoneWindow* window : Hub().windows) {
        if (window->thread() == QThread::currentThread()) mine.emplace_back(window);
      }
    }
    bool handled = false;
    for (const QPointer<PhoneWindow>& window : mine) {
      if (window && window->DeliverOneSent()) handled = true;
    }
    if (handled) continue;
    if (std::chrono::steady_clock::now() >= deadline) return done();
    // `done` may turn true without a message (a thread ends), so the wait is short.
    std::unique_lock<std::mutex> lock(Hub().mutex);
    Hub().sent.wait_for(lock, std::chrono::milliseconds(5));
  }
}

bool PhoneWindow::event(QEvent* event) {
  if (event->type() == kWakeEvent) {
    DeliverOne();
    return true;
  }
  return QWidget::event(event);
}

intptr_t PhoneWindow::WindowProc(uint32_t, uintptr_t, intptr_t) { return 0; }

// --- Timers ----------------------------------------------------------------------------------

void PhoneWindow::SetTimer(uintptr_t id, int periodMs) {
  auto& timer = timers_[id];
  if (!timer) {
    timer = std::make_unique<QTimer>();
    QObject::connect(timer.get(), &QTimer::timeout, this, [this, id] {
      if (timerWaiting_[id]) return;
      timerWaiting_[id] = true;
      PostMessage(WM_TIMER, id, 0);
    });
  }
  timer->start(periodMs);
}

bool PhoneWindow::KillTimer(uintptr_t id) {
  auto found = timers_.find(id);
  if (found == timers_.end()) return false;
  timers_.erase(found);
  timerWaiting_.erase(id);
  return true;
}

// --- Controls --------------------------------------------------------------------------------

QWidget* PhoneWindow::AddControl(int id, ControlKind kind, QWidget* widget) {
  widget->setProperty(kControlId, id);
  widget->setProperty(kControlKind, static_cast<int>(kind));
  // The phone moves the focus with its keys; Qt must not move it on its own.
  widget->setFocusPolicy(kind == ControlKind::Static ? Qt::NoFocus : Qt::ClickFocus);
  pageLayout_->insertWidget(pageLayout_->count() - 1, widget);
  // Controls added to a window that shows already would stay hidden until shown; one that was
  // hidden on purpose stays hidden.
  if (!widget->testAttribute(Qt::WA_WState_ExplicitShowHide)) widget->show();
  controls_.push_back(widget);
  if (auto* list = qobject_cast<QListWidget*>(widget)) {
    QObject::connect(list, &QListWidget::currentRowChanged, this,
                     [this, id](int row) { Notify(id, LVN_ITEMCHANGED, row); });
  } else if (auto* tree = qobject_cast<QTreeView*>(widget); tree && tree->selectionModel()) {
    // A tree's model is set before the tree is added, so that its selection can be followed.
    QObject::connect(tree->selectionModel(), &QItemSelectionModel::currentChanged, this,
                     [this, id](const QModelIndex& current) {
                       Notify(id, TVN_SELCHANGED, current.isValid() && !current.parent().isValid() ? current.row() : -1);
                     });
  } else if (auto* line = qobject_cast<QLineEdit*>(widget)) {
    QObject::connect(line, &QLineEdit::textChanged, this, [this, id] { Command(id, EN_CHANGE); });
  } else if (auto* plain = qobject_cast<QPlainTextEdit*>(widget)) {
    QObject::connect(plain, &QPlainTextEdit::textChanged, this, [this, id] { Command(id, EN_CHANGE); });
  }
  if (!focused_ && ControlTakesFocus(widget)) SetFocusControl(id);
  return widget;
}

QWidget* PhoneWindow::AddLabel(int id, const QString& text) {
  auto* label = new QLabel(text);
  label->setWordWrap(true);
  return AddControl(id == 0 ? -1 : id, ControlKind::Static, label);
}

QWidget* PhoneWindow::Control(int id) const {
  for (const auto& control : controls_) {
    if (control && IdOf(control) == id) return control;
  }
  return nullptr;
}

ControlKind PhoneWindow::KindOf(const QWidget* control) const {
  return static_cast<ControlKind>(control->property(kControlKind).toInt());
}

int PhoneWindow::IdOf(const QWidget* control) const { return control->property(kControlId).toInt(); }

std::vector<QWidget*> PhoneWindow::Controls() const {
  std::vector<QWidget*> out;
  for (const auto& control : controls_) {
    if (control) out.push_back(control);
  }
  return out;
}

bool PhoneWindow::ControlTakesFocus(QWidget* control) const {
  return control && KindOf(control) != ControlKind::Static && control->isEnabled() &&
         !control->isHidden();
}

void PhoneWindow::HighlightFocus(QWidget* previous) {
  for (QWidget* control : {previous, focused_.data()}) {
    if (!control) continue;
    control->setProperty("phoneFocus", control == focused_);
    control->style()->unpolish(control);
    control->style()->polish(control);
    control->update();
  }
}

bool PhoneWindow::SetFocusControl(int id) {
  QWidget* control = Control(id);
  if (!ControlTakesFocus(control)) return false;
  QWidget* previous = focused_;
  if (previous && previous != control) CommitEditLetter(previous);
  focused_ = control;
  control->setFocus(Qt::OtherFocusReason);
  HighlightFocus(previous);
  ScrollToFocus();
  if (screen_) screen_->Refresh();
  return true;
}

bool PhoneWindow::MoveFocus(int direction) {
  std::vector<QWidget*> all = Controls();
  int count = static_cast<int>(all.size());
  int at = -1;
  for (int i = 0; i < count; ++i) {
    if (all[i] == focused_) at = i;
  }
  for (int i = at + direction; i >= 0 && i < count; i += direction) {
    if (ControlTakesFocus(all[i])) return SetFocusControl(IdOf(all[i]));
  }
  return false;
}

int PhoneWindow::ScrollStep() const { return std::max(page_->viewport()->height() / 3, 30); }

void PhoneWindow::ScrollToFocus() {
  if (!focused_) return;
  QScrollBar* bar = page_->verticalScrollBar();
  pageContent_->adjustSize();
  int top = focused_->mapTo(pageContent_, QPoint(0, 0)).y();
  int bottom = top + focused_->height();
  int view = page_->viewport()->height();
  // Step by whole scroll steps, as the phone does, until the control is in view.
  for (int guard = 0; guard < 1000; ++guard) {
    int value = bar->value();
    if (top < value && value > bar->minimum()) {
      bar->setValue(value - ScrollStep());
    } else if (bottom > value + view && value < bar->maximum() && top > value) {
      bar->setValue(value + ScrollStep());
    } else {
      break;
    }
  }
}

intptr_t PhoneWindow::Notify(int controlId, int code, int row, uint16_t key) {
  Notification notification{controlId, code, row, key};
  return SendMessage(WM_NOTIFY, static_cast<uintptr_t>(controlId), reinterpret_cast<intptr_t>(&notification));
}

// --- Keys ------------------------------------------------------------------------------------

bool PhoneWindow::KeyToEdit(QWidget* edit, PhoneKey key, bool repeat) {
  auto* plain = qobject_cast<QPlainTextEdit*>(edit);
  auto* line = qobject_cast<QLineEdit*>(edit);
  if (key == PhoneKey::Back) return EraseInEdit(edit);
  if (!repeat && TypeKeyIntoEdit(edit, key, screen_->NowMs())) {
    screen_->Refresh();
    return true;
  }
  if (key == PhoneKey::Left || key == PhoneKey::Right) {
    CommitEditLetter(edit);
    bool left = key == PhoneKey::Left;
    if (line) line->cursorForward(false, left ? -1 : 1);
    if (plain) plain->moveCursor(left ? QTextCursor::Left : QTextCursor::Right);
    return true;
  }
  if (plain && (key == PhoneKey::Up || key == PhoneKey::Down)) {
    // Lines of a multi-line edit take Up and Down, except at its first or last line.
    QTextCursor cursor = plain->textCursor();
    int before = cursor.blockNumber() * 100000 + cursor.positionInBlock();
    bool moved = cursor.movePosition(key == PhoneKey::Up ? QTextCursor::Up : QTextCursor::Down);
    if (!moved || cursor.blockNumber() * 100000 + cursor.positionInBlock() == before) return false;
    CommitEditLetter(edit);
    plain->setTextCursor(cursor);
    return true;
  }
  if (plain && key == PhoneKey::Action && !plain->isReadOnly()) {
    CommitEditLetter(edit);
    plain->insertPlainText("\n");
    return true;
  }
  return false;
}

bool PhoneWindow::KeyToRows(QWidget* control, PhoneKey key) {
  int id = IdOf(control);
  if (auto* list = qobject_cast<QListWidget*>(control)) {
    int row = list->currentRow();
    if (key == PhoneKey::Up || key == PhoneKey::Down) {
      int next = row + (key == PhoneKey::Up ? -1 : 1);
      if (next < 0 || next >= list->count()) return false;  // hand on at the first or last row
      list->setCurrentRow(next);
      return true;
    }
    if (key == PhoneKey::Action) {
      Notify(id, NM_RETURN, row);
      return true;
    }
    Notify(id, NM_KEYDOWN_ROW, row, VirtualKeyOf(key));
    return false;
  }
  auto* tree = qobject_cast<QTreeView*>(control);
  if (!tree || !tree->model()) return false;
  QModelIndex item = tree->currentIndex();
  int topRow = item.isValid() && !item.parent().isValid() ? item.row() : -1;
  if (key == PhoneKey::Up || key == PhoneKey::Down) {
    QModelIndex next = item.isValid() ? (key == PhoneKey::Up ? tree->indexAbove(item) : tree->indexBelow(item))
                                      : tree->model()->index(0, 0);
    if (!next.isValid()) return false;
    tree->setCurrentIndex(next);
    tree->scrollTo(next);
    return true;
  }
  if ((key == PhoneKey::Left || key == PhoneKey::Right) && item.isValid()) {
    const bool expanding = key == PhoneKey::Right && !tree->isExpanded(item) && tree->model()->hasChildren(item);
    // The window may refuse to open what the item holds.
    if (expanding && Notify(id, TVN_ITEMEXPANDING, topRow) != 0) return true;
    tree->setExpanded(item, key == PhoneKey::Right);
    return true;
  }
  if (key == PhoneKey::Action) {
    Notify(id, NM_RETURN, topRow);
    return true;
  }
  Notify(id, NM_KEYDOWN_ROW, -1, VirtualKeyOf(key));
  return false;
}

bool PhoneWindow::KeyToControl(PhoneKey key, bool repeat) {
  QWidget* control = focused_;
  if (!control) return false;
  int id = IdOf(control);
  switch (KindOf(control)) {
    case ControlKind::Edit:
    case ControlKind::MultiLineEdit:
      return KeyToEdit(control, key, repeat);
    case ControlKind::List:
    case ControlKind::Tree:
      return KeyToRows(control, key);
    case ControlKind::SpinList: {
      auto* spin = qobject_cast<QComboBox*>(control);
      if (!spin || (key != PhoneKey::Left && key != PhoneKey::Right)) return false;
      int next = spin->currentIndex() + (key == PhoneKey::Left ? -1 : 1);
      if (next >= 0 && next < spin->count()) {
        spin->setCurrentIndex(next);
        Command(id, CBN_SELCHANGE);
      }
      return true;
    }
    case ControlKind::CheckBox:
    case ControlKind::RadioButton:
    case ControlKind::Button: {
      if (key != PhoneKey::Action) return false;
      if (auto* check = qobject_cast<QCheckBox*>(control)) check->setChecked(!check->isChecked());
      if (auto* radio = qobject_cast<QRadioButton*>(control)) radio->setChecked(true);
      Command(id, BN_CLICKED);
      return true;
    }
    case ControlKind::Static:
      return false;
  }
  return false;
}

void PhoneWindow::KeyPressed(PhoneKey key, bool repeat) {
  if (KeyToControl(key, repeat)) return;
  if (key == PhoneKey::Up || key == PhoneKey::Down) {
    int direction = key == PhoneKey::Up ? -1 : 1;
    if (!MoveFocus(direction)) {
      QScrollBar* bar = page_->verticalScrollBar();
      bar->setValue(bar->value() + direction * ScrollStep());
    }
    return;
  }
  if (repeat) return;
  if (key == PhoneKey::Back) BackPressed();
  else if (key == PhoneKey::Action) ActionPressed();
}

void PhoneWindow::KeyReleased(PhoneKey) {}

bool PhoneWindow::TypeText(const QString& text) {
  QWidget* control = focused_;
  if (!control || (KindOf(control) != ControlKind::Edit && KindOf(control) != ControlKind::MultiLineEdit)) {
    return false;
  }
  CommitEditLetter(control);
  InsertIntoEdit(control, text);
  return true;
}

void PhoneWindow::BackPressed() { Command(IDCANCEL); }
void PhoneWindow::ActionPressed() { Command(IDOK); }

}  // namespace brevalo
