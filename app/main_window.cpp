#include "app/main_window.h"

#include "app/dialog_services.h"

#include <QCoreApplication>
#include <QLabel>
#include <QTreeView>

#include <cstdio>

#include "app/about_dialog.h"
#include "app/folder_tree_model.h"
#include "app/scrolling_row_delegate.h"
#include "app/popup_sent_notifier.h"
#include "app/main_commands.h"
#include "app/single_instance.h"
#include "app/tree_images.h"
#include "device/device_properties.h"
#include "settings/program_folder.h"
#include "ui/message_box.h"
#include "ui/phone_screen.h"

namespace brevalo {
namespace {

// Platform hot-key modifiers from a binding's accelerator flags.
uint32_t PlatformModifiers(uint8_t flags) {
  uint32_t modifiers = 0;
  if (flags & kHotKeyAlt) modifiers |= MOD_ALT;
  if (flags & kHotKeyControl) modifiers |= MOD_CONTROL;
  if (flags & kHotKeyShift) modifiers |= MOD_SHIFT;
  return modifiers;
}

QLabel* NewStatusLine() {
  auto* status = new QLabel;
  status->setFixedHeight(18);
  // The status-line bitmap: a band stretched over the line, the text drawn over it.
  status->setStyleSheet(
      "QLabel { color: white; padding-left: 4px; font-size: 11px;"
      " background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #3a6fb0, stop:1 #1d3f6e); }");
  return status;
}

}  // namespace

MainWindow::MainWindow(PhoneScreen& screen)
    : PhoneWindow(screen, QString()),
      registry_(screen.DeviceFolder().RegistryFile()),
      files_(screen.DeviceFolder()),
      indexOffsets_(registry_),
      storeFiles_(PosixStoreFileSystem::DevicePaths(screen.DeviceFolder())),
      trayMain_(screen),
      document_(storeFiles_, indexOffsets_, codePage_),
      protection_(document_),
      sentRecorder_(document_, codePage_),
      trayUnread_(screen),
      settings_(std::make_unique<Settings>(files_)),
      unreadCount_(screen.DeviceFolder()),
      modules_(screen.DeviceFolder(), ProgramFolder()) {
  if (!registry_.Load()) {
    startupProblems_.push_back(
        QString("The phone's registry could not be read (%1). The program runs with its first-run "
                "settings.")
            .arg(QString::fromStdString(registry_.LastError())));
  }
  codePage_ = DeviceCodePage(registry_);
  alerts_ = std::make_unique<MainAlerts>(
      screen, *settings_,
      ReminderHost{[this](int ms) { SetTimer(kUnreadReminderTimer, ms); }, [this] { KillTimer(kUnreadReminderTimer); },
                   [this](bool shown) { shown ? trayUnread_.Show(kUnreadTrayId) : trayUnread_.Hide(kUnreadTrayId); },
                   {}});
  sentNotifier_ = std::make_unique<PopupSentNotifier>(alerts_->Popup(), screen.DeviceFolder());
}

MainWindow::~MainWindow() {
  Teardown();
  // The model observes the document's tree, which goes before the window's children do.
  if (tree_) tree_->setModel(nullptr);
  delete treeModel_;
  treeModel_ = nullptr;
}

bool MainWindow::Create() {
  bool initialised = SendMessage(WM_INITDIALOG, 0, 0) != 0;
  if (settings_->AutoHide) Hide();
  else Show(false);
  return initialised;
}

bool MainWindow::InitDialog() {
  if (!unreadCount_.Create()) return false;
  SetTitle(QString::fromStdU16String(std::u16string(kMainWindowTitle)));
  InitMenuBar();
  InitTrayIcons();
  InitControls();
  ApplyAutoSave();
  // Messages that arrive before the rules are read wait on this thread until it is done.
  StartTransport();
  StartIntake();
  InitFilters();
  if (settings_->OpenLastFile && !settings_->LastOpenFile.Text().empty()) {
    // A document opened while hidden asks its password when the window is first shown.
    skipPasswordOnce_ = settings_->AutoHide != 0;
    // A last file that went away or was damaged leaves the program without a document, and
    // the user is told why once the window shows; the program runs on.
    const std::u16string& last = settings_->LastOpenFile.Text();
    const OpenOutcome outcome = document_.Open(last);
    if (outcome == OpenOutcome::kOpened) {
      if (PassDocumentPassword()) ShowDocument();
    }
    else startupProblems_.push_back("The last document could not be opened. " + OpenFailureText(outcome, last));
  }
  RegisterHotKeys();
  SetTimer(kSendQueueTimer, kSendQueuePeriodMs);
  // Said after the start, so that no box holds it up; a program that starts hidden says it when
  // it is first shown.
  if (!startupProblems_.empty() && !settings_->AutoHide) SetTimer(kStartupNoticeTimer, 0);
  return true;
}

void MainWindow::ShowStartupProblems() {
  KillTimer(kStartupNoticeTimer);
  std::vector<QString> problems;
  problems.swap(startupProblems_);
  for (const QString& problem : problems) ErrorBox(*this, problem);
}

void MainWindow::InitMenuBar() {
  MenuBar().left = {u"System", 0, BuildSystemMenu(), true};
  MenuBar().right = {u"Menu", 0, BuildMainMenu(), true};
  // Back goes to the window, which climbs the tree or hides, instead of closing anything.
  MenuBar().backKeyToWindow = true;
  MenuBarChanged();
}

void MainWindow::InitTrayIcons() {
  trayMain_.SetWindow(this);
  trayUnread_.SetWindow(this);
  trayMain_.SetIcon(kMainTrayIcon, kMainTrayId);
  trayMain_.SetTip(kMainWindowTitle);
  settings_->Load(registry_);
  if (settings_->ShowTrayIcon) trayMain_.Show(kMainTrayId);
  trayUnread_.SetIcon(kUnreadTrayIcon, kUnreadTrayId);
  trayUnread_.SetTip(u"Unread SMS");
}

namespace {
const char kNoDocumentHint[] =
    "No document is open.\n\nTo keep your messages, choose New... or Open... in the System menu.";
}  // namespace

void MainWindow::InitControls() {
  statusText_ = qobject_cast<QLabel*>(AddControl(IDC_STATUS, ControlKind::Static, NewStatusLine()));
  auto* tree = new QTreeView;
  tree->setHeaderHidden(true);
  tree->setIconSize(QSize(kTreeImageSize, kTreeImageSize));
  // Rows of one height let the view lay out a folder of any size without measuring each row.
  tree->setUniformRowHeights(true);
  // The tree fills the window below the status line.
  tree->setMinimumHeight(Screen().WindowArea().height() - statusText_->height() - 12);
  tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
  // Folders open by the keys only, each through the access check of a protected node.
  tree->setItemsExpandable(false);
  tree->setContextMenuPolicy(Qt::CustomContextMenu);
  treeModel_ = new FolderTreeModel(document_.Tree(), this);
  tree->setModel(treeModel_);
  QObject::connect(tree, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
    // Only a request on an item opens the menu, after selecting that item.
    QModelIndex index = tree_->indexAt(at);
    if (!index.isValid()) return;
    tree_->setCurrentIndex(index);
    OpenContextMenu();
  });
  QObject::connect(tree, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
    if (TreeNode* node = treeModel_->NodeAt(index)) OpenNode(*node);
  });
  rowDelegate_ = new ScrollingRowDelegate(tree);
  tree_ = qobject_cast<QTreeView*>(AddControl(IDC_TREE, ControlKind::Tree, tree));
  auto* hint = new QLabel(kNoDocumentHint);
  hint->setWordWrap(true);
  hint->setAlignment(Qt::AlignCenter);
  hint->setContentsMargins(12, 24, 12, 0);
  noDocumentHint_ = qobject_cast<QLabel*>(AddControl(IDC_NO_DOCUMENT, ControlKind::Static, hint));
  ShowTree(false);
}

// The tree shows while a document is open; without one, a line says how to go on.
void MainWindow::ShowTree(bool shown) {
  if (tree_) tree_->setVisible(shown);
  if (noDocumentHint_) noDocumentHint_->setVisible(!shown);
}

void MainWindow::InitFilters() {
  std::optional<std::filesystem::path> rules =
      Screen().DeviceFolder().HostPath(ProgramFolder() + std::u16string(RulesFileName));
  filters_ = std::make_unique<FilterEngine>(rules.value_or(std::filesystem::path()));
  filters_->LoadRules();
}

void MainWindow::ApplyAutoSave() {
  if (brevalo::ApplyAutoSave(*settings_, autoSave_)) SetTimer(kAutoSaveTimer, static_cast<int>(autoSave_.periodMs));
}

// --- Show and hide ----------------------------------------------------------------------------

void MainWindow::Show(bool askPassword) {
  Screen().ShowHome(false);
  Screen().ShowWindow(this, true);
  shown_ = true;
  // Showing makes the window the active one, which takes the hot keys.
  RegisterHotKeys();
  if (!PassShowAgainCheck(askPassword)) {
    Hide();
    return;
  }
  skipPasswordOnce_ = false;
  if (!startupProblems_.empty()) SetTimer(kStartupNoticeTimer, 0);
}

void MainWindow::Hide() {
  Screen().ShowWindow(this, false);
  shown_ = false;
  UnregisterHotKeys();
  CollapseUnlocked(protection_.Hide(settings_ ? settings_->ProtectLevel : kProtectOnlyOnce));
}

// --- New-message indication -----------------------------------------------------------------

void MainWindow::SetNewMessageIndication(bool on) { alerts_->Reminder().Set(on); }

// --- Hot keys ---------------------------------------------------------------------------------

void MainWindow::RegisterHotKeys() {
  if (hotKeysRegistered_ || destroyed_) return;
  for (const HotKeyBinding& binding : settings_->bindings) {
    Screen().RegisterHotKey(this, binding.key, PlatformModifiers(binding.modifiers), binding.key);
  }
  hotKeysRegistered_ = true;
  hotKeysSuspended_ = false;
}

// A modal window over this one takes the keys: the bound keys must reach its controls, and
// come back to this window when it ends.
void MainWindow::OnActivate(bool active) {
  if (!active) {
    UnregisterHotKeys();
    return;
  }
  if (!Screen().HomeShowing() && Screen().TopWindow() == this) RegisterHotKeys();
}

void MainWindow::UnregisterHotKeys() {
  if (!hotKeysRegistered_) return;
  for (const HotKeyBinding& binding : settings_->bindings) Screen().UnregisterHotKey(this, binding.key);
  hotKeysRegistered_ = false;
}

void MainWindow::OnHotKey(uintptr_t id, intptr_t lParam) {
  if (id == VK_BACK_KEY) {
    // The release counts only after a press that came here too: Back pressed to close a menu
    // or a message box must not hide the window when it is let go.
    bool release = (LowWord(static_cast<uintptr_t>(lParam)) & MOD_KEYUP) != 0;
    bool pressedHere = backPressed_;
    backPressed_ = !release;
    if (release && pressedHere) BackOnTree();
    return;
  }
  // A held key repeats; one command per press is enough.
  RemoveQueuedMessages(WM_HOTKEY);
  if (!IsWindowEnabled()) return;
  for (const HotKeyBinding& binding : settings_->bindings) {
    if (binding.key == id) PostMessage(WM_COMMAND, binding.command, 0);
  }
}

// --- Messages ---------------------------------------------------------------------------------

intptr_t MainWindow::WindowProc(uint32_t message, uintptr_t wParam, intptr_t lParam) {
  // Messages still queued after the teardown find nothing to work on.
  if (tornDown_) return 0;
  switch (message) {
    case WM_INITDIALOG:
      return InitDialog() ? 1 : 0;
    case WM_COMMAND:
      OnCommand(LowWord(wParam));
      SetNewMessageIndication(false);
      return 0;
    case WM_INITMENUPOPUP:
      OnInitMenuPopup(*reinterpret_cast<PopupMenu*>(wParam));
      return 0;
    case WM_NOTIFY: {
      const auto& notification = *reinterpret_cast<const Notification*>(lParam);
      return notification.controlId == IDC_TREE ? OnTreeNotify(notification) : 0;
    }
    case WM_ACTIVATE:
      OnActivate(LowWord(wParam) != WA_INACTIVE);
      return 0;
    case WM_TIMER:
      OnTimer(wParam);
      return 0;
    case WM_HOTKEY:
      OnHotKey(wParam, lParam);
      return 0;
    case WM_TRAY_NOTIFY:
      OnTrayNotify(lParam);
      return 0;
    case WM_CLOSE:
      OnClose(wParam == kCloseFromSystem);
      return 0;
    case WM_DESTROY:
      OnDestroy();
      return 0;
    case WM_SMS_ARRIVED:
      OnSmsArrived(*reinterpret_cast<const SlotMessage*>(wParam), *reinterpret_cast<uint32_t*>(lParam));
      return 0;
    case WM_SMS_RESULT:
      OnSmsResult(*reinterpret_cast<SendRecord*>(wParam), static_cast<int>(lParam));
      return 0;
    case WM_SMS_REFRESH:
      RefreshDisplay();
      return 0;
    default:
      return PhoneWindow::WindowProc(message, wParam, lParam);
  }
}

intptr_t MainWindow::OnTreeNotify(const Notification& notification) {
  TreeNode* node = Selection();
  if (notification.code == TVN_ITEMEXPANDING) return node && !MayOpenNode(*node) ? 1 : 0;
  if (notification.code == NM_RETURN && node) OpenNode(*node);
  return 0;
}

TreeNode* MainWindow::Selection() const {
  if (!tree_ || !treeModel_ || !document_.IsOpen()) return nullptr;
  return treeModel_->NodeAt(tree_->currentIndex());
}

void MainWindow::Select(const TreeNode* node) {
  if (!tree_ || !treeModel_) return;
  node = ExpandTo(node);
  QModelIndex index = treeModel_->IndexOf(node);
  tree_->setCurrentIndex(index);
  if (index.isValid()) tree_->scrollTo(index);
}

void MainWindow::BackOnTree() {
  TreeNode* node = Selection();
  // On a top-level node, or with no document, there is no parent to climb to: the window hides.
  if (node && node->Parent() != &document_.Tree().Root()) Select(node->Parent());
  else Hide();
}

void MainWindow::KeyPressed(PhoneKey key, bool repeat) {
  // The next key after a menu gives the hot keys back, and counts as one. It is taken here,
  // before any control, because with no document open the tree is hidden and never sees it.
  if (hotKeysSuspended_ && !repeat && key != PhoneKey::Back) {
    RegisterHotKeys();
    uint16_t vk = VirtualKeyOf(key);
    PostMessage(WM_HOTKEY, vk, MakeLong(0, vk));
  }
  // Holding Action on a node asks for its context menu, as a long press does on the phone; a
  // short press opens the node when the key comes up, so that a hold never opens it first.
  if (key == PhoneKey::Action && FocusedControlId() == IDC_TREE && Selection()) {
    if (repeat) actionHeld_ = true;
    else actionDown_ = true;
    return;
  }
  if (key == PhoneKey::Action && repeat) return;
  PhoneWindow::KeyPressed(key, repeat);
}

void MainWindow::KeyReleased(PhoneKey key) {
  if (key == PhoneKey::Action && actionHeld_) {
    actionHeld_ = false;
    actionDown_ = false;
    OpenContextMenu();
    return;
  }
  if (key == PhoneKey::Action && actionDown_) {
    actionDown_ = false;
    PhoneWindow::KeyPressed(key, false);
    return;
  }
  PhoneWindow::KeyReleased(key);
}

void MainWindow::OpenContextMenu() {
  if (!Selection()) return;
  Screen().OpenPopup(this, BuildTreeNodeMenu(), false);
}

void MainWindow::OnCommand(int id) {
  if (OnDocumentCommand(id) || OnProtectionCommand(id) || OnComposeCommand(id) ||
      OnFilterCommand(id) || OnOptionsCommand(id)) {
    return;
  }
  switch (id) {
    case ID_OK:
    case ID_MINIMIZE:
      Hide();
      break;
    case ID_EXIT:
      PostMessage(WM_CLOSE, 0, 0);
      break;
    case ID_ABOUT: {
      AboutDialog about(Screen());
      about.DoModal();
      break;
    }
    default:
      break;  // the menus gray what is not offered, so only a hot key can ask for it
  }
}

void MainWindow::OnInitMenuPopup(PopupMenu& menu) {
  // Keys pressed while a menu is open belong to the menu.
  UnregisterHotKeys();
  hotKeysSuspended_ = true;
  SetNewMessageIndication(false);
  ApplyMenuRules(menu, CurrentMenuState());
}

MenuState MainWindow::CurrentMenuState() const {
  MenuState state;
  state.documentOpen = document_.IsOpen();
  state.clipboardSet = document_.Clipboard() != nullptr;
  state.hasRecycleBin = document_.RecycleBin() != nullptr;
  if (const TreeNode* node = Selection()) {
    state.selection = node == document_.RecycleBin() ? MenuState::Selection::kRecycleBin
                      : IsMessageImage(node->Image()) ? MenuState::Selection::kMessage
                                                      : MenuState::Selection::kFolder;
  }
  return state;
}

void MainWindow::OnTimer(uintptr_t id) {
  switch (id) {
    case kAutoSaveTimer:
      SaveDocument(false);
      break;
    case kSendQueueTimer:
      // The clock of timed messages.
      if (transport_ && transport_->Running()) transport_->Wake();
      break;
    case kUnreadReminderTimer:
      alerts_->Reminder().Tick();
      break;
    case kHeldWorkTimer:
      KillTimer(kHeldWorkTimer);
      RetryHeldWork();
      break;
    case kSaveFailureNoticeTimer:
      ShowSaveFailureNotice();
      break;
    case kStartupNoticeTimer:
      ShowStartupProblems();
      break;
    default:
      break;
  }
}

void MainWindow::OnTrayNotify(intptr_t lParam) {
  // The start-up's password question has no shown window to disable: showing the window then
  // would bury the question under it.
  if ((lParam == WM_LBUTTONDOWN || lParam == WM_LBUTTONDBLCLK) && IsWindowEnabled() && !PasswordDialogOpen()) {
    Show(true);
  }
}

// --- Closing and the end ----------------------------------------------------------------------

void MainWindow::OnClose(bool fromSystem) {
  closing_ = true;
  if (!CloseDocument(true)) {
    if (!fromSystem && !exitRefused_) {
      // Staying is the way to keep what only the open tree holds; the messages received since
      // the last save are in the journal either way.
      closing_ = false;
      exitRefused_ = true;
      ErrorBox(*this, QString("The document could not be saved, so the program stays open. %1 "
                              "Choose Exit again to leave without saving: the messages received "
                              "since the last save stay in the document's journal, other "
                              "changes are lost.").arg(kSaveAdvice));
      return;
    }
    std::fprintf(stderr, "velmora: %s could not be saved; it was closed at its last save, with "
                 "the messages received since then in its journal\n",
                 document_.Path().empty() ? "the document" : ToUtf8(document_.Path()).c_str());
    document_.CloseWithoutSaving();
    ForgetClosedDocument(true);
  }
  UnregisterHotKeys();
  trayUnread_.Hide(kUnreadTrayId);
  trayMain_.Hide(kMainTrayId);
  SendMessage(WM_DESTROY, 0, 0);
  KillTimer(kAutoSaveTimer);
  KillTimer(kSendQueueTimer);
  KillTimer(kSaveFailureNoticeTimer);
  KillTimer(kStartupNoticeTimer);
  KillTimer(kHeldWorkTimer);
  alerts_->Reminder().Set(false);  // timer 3 goes with the indication
}

void MainWindow::OnDestroy() {
  destroyed_ = true;
  Screen().ShowWindow(this, false);
  QCoreApplication::quit();
}

void MainWindow::Teardown() {
  if (tornDown_) return;
  tornDown_ = true;
  // A window ended without its close still leaves the document saved, or as it was last
  // saved, with its journal, when that is all the disk allows.
  if (!document_.Close()) document_.CloseWithoutSaving();
  if (settings_) settings_->Save(registry_);
  sentNotifier_.reset();  // it shows on the alerts' pop-up
  alerts_.reset();        // the alerts read the settings
  settings_.reset();
  // The intake thread has ended before its reader goes; the sentence list ends next, once the
  // program has one.
  StopIntake();
  StopTransport();
  filters_.reset();
  unreadCount_.Close();
}

// --- Sending ----------------------------------------------------------------------------------

void MainWindow::StartTransport() {
  transport_ = std::make_unique<SmsTransport>(Screen().DeviceFolder(), modules_);
  // Without a usable sms.dll nothing is sent and nothing is said: the phone has no network.
  transport_->Start(this);
}

void MainWindow::StopTransport() {
  if (!transport_) return;
  // A result may be on its way to this thread; it is answered while the send thread ends.
  transport_->Stop(ServeSentMessagesUntil);
  transport_.reset();
}

void MainWindow::ServeSentMessagesUntil(const std::function<bool()>& ended) {
  while (!WaitHandlingSentMessages(ended, 1000)) {
  }
}

void MainWindow::DeliverResult(SendRecord& record, int result) {
  SendMessage(WM_SMS_RESULT, reinterpret_cast<uintptr_t>(&record), result);
}

void MainWindow::OnSmsResult(SendRecord& record, int result) {
  // A command waiting for the user holds nodes that recording (which replaces a sent draft)
  // could take away; the send thread frees the record once this returns, so a copy waits.
  if (DocumentHeld()) {
    heldResults_.push_back({record, result});
    SetTimer(kHeldWorkTimer, kHeldWorkRetryMs);
    return;
  }
  SentRecordingOptions options;
  options.saveToSentBox = settings_->SaveToSentBox != 0;
  options.titleMode = settings_->SendTitle;
  options.summaryLength = SummaryLength();
  sentRecorder_.Record(record, result, options, DateText(CurrentOleDate()));
  if ((result == SEND_RESULT_OK || result == SEND_RESULT_FAIL) && settings_->SentAlert) {
    sentNotifier_->ShowSentPopup(settings_->SentSkin.Text(),
                                 SentPopupText(record.recipients, result == SEND_RESULT_OK),
                                 settings_->DisappearTime);
  }
}

}  // namespace brevalo
