// The program's one main window: a modeless full-screen window titled "Brevalo" with the folder
// tree, the status line and the soft-key bar of menu 101. It owns the program's long-lived
// objects (settings, tray icons, filter engine, the published unread count, the application
// lock) and lives from the program's start to its end: built, created (its initialisation),
// shown or hidden, closed, and torn down after the message loop, in that order.
#pragma once

#include <QPointer>
#include <QTreeView>

#include <cstdint>
#include <memory>

#include "alert/main_alerts.h"
#include "app/auto_reply_limiter.h"
#include "app/incoming_sms_handler.h"
#include "app/intake_reader.h"
#include "app/main_menus.h"
#include "app/node_protection.h"
#include "app/open_document.h"
#include "app/password_dialog.h"
#include "app/sent_message_recorder.h"
#include "app/unread_count_publisher.h"
#include "device/module_loader.h"
#include "device/registry.h"
#include "filter/filter_dialog_context.h"
#include "filter/filter_edit_form.h"
#include "filter/filter_engine.h"
#include "send/compose_text.h"
#include "send/sent_notifier.h"
#include "send/sms_transport.h"
#include "settings/auto_save_timer.h"
#include "settings/host_device_files.h"
#include "settings/settings.h"
#include "store/index_offset_memory.h"
#include "store/store_file.h"
#include "ui/phone_window.h"
#include "ui/tray_icon.h"

class QLabel;


namespace brevalo {

class DialogServices;
class FolderTreeModel;
class ScrollingRowDelegate;
class PreviewWindow;
class MainMessageViewHost;

class MainWindow : public PhoneWindow, public SendResultSink, private IntakeActions {
  Q_OBJECT

 public:
  // Both tray icons, the lock and the settings (at their first-run values) made, the delete
  // event of the channel created; no window content yet. `screen` must outlive the window.
  explicit MainWindow(PhoneScreen& screen);
  ~MainWindow() override;

  // The window's initialisation, then shown, or hidden when AutoHide is set. False when the
  // initialisation stopped early (the unread count could not be published); the window then
  // runs without what the later steps set up, as on the phone.
  bool Create();

  // Show restores and fronts the window; with `askPassword` (a tap on a tray icon, a second
  // start) it asks for the document password when the start put that off or
  // StartScreenSaveMin asks for it after every hide, and a Cancel hides the window again. Hide
  // takes it off the screen, which then shows the home screen, and counts the hide.
  void Show(bool askPassword);
  void Hide();

  // The new-message indication: the unread tray icon and the repeated reminder (timer 3).
  void SetNewMessageIndication(bool on);

  // After the message loop: settings saved, the owned objects ended and freed in order.
  void Teardown();

  intptr_t WindowProc(uint32_t message, uintptr_t wParam, intptr_t lParam) override;
  void KeyPressed(PhoneKey key, bool repeat) override;
  void KeyReleased(PhoneKey key) override;

  // --- The open document ------------------------------------------------------------------
  // Opens the document at `path` as the Open command does after its browser; false, with a
  // message box saying why, when the file is no readable document.
  bool OpenPath(std::u16string_view path);
  // The selected node, or null.
  TreeNode* Selection() const;
  // Selects `node`, opening the folders above it that are closed, each through the access
  // check; a refused folder is selected instead.
  void Select(const TreeNode* node);
  // Deletes `node` as the Delete command does (asking first when DeleteAlert is set); true when
  // it was deleted.
  bool DeleteNode(TreeNode& node);
  // Enter on a node: a message (no children, not the recycle bin) is opened and so read.
  void OpenNode(TreeNode& node);
  // What the enabling rules of the menus look at now.
  MenuState CurrentMenuState() const;

  // --- Protection (main_protection.cpp) ---------------------------------------------------
  // The node access check by ProtectLevel: true when `node` may be opened, expanded, previewed
  // or edited, asking for its password when its unlock does not hold.
  bool MayOpenNode(TreeNode& node);
  // Before the filter list and the Security page open: true when the rules have no password or
  // the user gave it.
  bool AskRulePassword();
  // The Security page's "Rule Password": changes it and writes the rules file at once; an Error
  // box says so when the file cannot be written, and the old password stays.
  void EditRulePassword();
  // File Password... and the Security page's "Password...": the document password changed,
  // written with the next save.
  void EditFilePassword();

  // --- Sending ----------------------------------------------------------------------------
  // The send queue; null before the window's initialisation and after the teardown. Stopped
  // when the device has no usable sms.dll.
  SmsTransport* Transport() const { return transport_.get(); }
  // Called on the send thread: hands the result to the window's thread and waits for it.
  void DeliverResult(SendRecord& record, int result) override;

  // --- Writing and reading messages (main_compose.cpp) ------------------------------------
  // The compose window with these fields; it sends, saves drafts and reports to this window.
  void Compose(ComposeMode mode, const ComposeFields& fields);
  // The message view on `node` (anything but the recycle bin).
  void ViewNode(TreeNode& node);
  // Dials the number of a recipient entry through the device's cellcore.dll; nothing when the
  // library or its entry point is missing or the entry holds no number.
  void Dial(std::u16string_view number);

  // --- Receiving --------------------------------------------------------------------------
  // Off when the channel's objects could not be made; the phone's inbox then keeps every message.
  bool IntakeRunning() const { return intake_.Running(); }

  // --- What the program's state is, for its tests ---------------------------------------
  uint32_t HideCount() const { return protection_.HideCount(); }
  bool SkipPasswordOnce() const { return skipPasswordOnce_; }
  bool NewMessageIndication() const { return alerts_ && alerts_->Reminder().Active(); }
  bool ReminderRunning() const { return alerts_ && alerts_->Reminder().TimerRunning(); }
  MainAlerts& Alerts() const { return *alerts_; }
  bool HotKeysRegistered() const { return hotKeysRegistered_; }
  const AutoSaveTimer& AutoSaveState() const { return autoSave_; }
  bool Destroyed() const { return destroyed_; }
  const TrayIcon& MainTray() const { return trayMain_; }
  const TrayIcon& UnreadTray() const { return trayUnread_; }
  const Settings* CurrentSettings() const { return settings_.get(); }
  const FilterEngine* Filters() const { return filters_.get(); }
  const UnreadCountPublisher& UnreadCount() const { return unreadCount_; }
  OpenDocument& Document() { return document_; }
  FolderTreeModel* TreeModel() const { return treeModel_; }
  // Moves the selected row's text sideways while it is wider than the row.
  const ScrollingRowDelegate* RowDelegate() const { return rowDelegate_; }
  QTreeView* TreeView() const { return tree_; }
  QString StatusText() const;
  std::shared_ptr<PopupMenu> SystemMenu() const { return MenuBar().left.popup; }
  std::shared_ptr<PopupMenu> MainMenu() const { return MenuBar().right.popup; }

 private:
  bool InitDialog();
  void InitMenuBar();
  void InitTrayIcons();
  void InitControls();
  void ShowTree(bool shown);
  void InitFilters();

  void OnCommand(int id);
  void OnInitMenuPopup(PopupMenu& menu);
  void OnActivate(bool active);
  void OnTimer(uintptr_t id);
  void OnHotKey(uintptr_t id, intptr_t lParam);
  void OnTrayNotify(intptr_t lParam);
  // `fromSystem`: the system ends the program (a signal), which does not wait for the user.
  void OnClose(bool fromSystem);
  void OnDestroy();
  void OnSmsResult(SendRecord& record, int result);
  void StartTransport();
  void StopTransport();
  // Stopping a thread that sends to this window: what it sends is handled until it has ended.
  static void ServeSentMessagesUntil(const std::function<bool()>& ended);

  // Receiving (main_intake.cpp).
  void StartIntake();
  void StopIntake();
  void OnSmsArrived(const SlotMessage& message, uint32_t& answer);
  IntakeOptions CurrentIntakeOptions() const;
  void AnswerDelete(uint64_t ticket) override;
  void KeptOnPhone(bool saveFailed) override;
  // Tells the user once, after the current message is handled, that saving fails; again only
  // after a save has succeeded.
  void NoticeSaveFailure(const QString& text);
  void ShowSaveFailureNotice();
  // Work that came while a command held the document (a question on screen): the messages
  // wait in the channel, sent results here; both are taken once the command is done.
  bool DocumentHeld() { return document_.Lock().Depth() > 0; }
  void RetryHeldWork();
  void ShowStartupProblems();
  // Why the document at `path` did not open, in the user's words.
  static QString OpenFailureText(OpenOutcome outcome, std::u16string_view path);
  // That `path` showed an older tree, and how to recover from `copy` (empty: none was made).
  static QString FallBackText(std::u16string_view path, std::u16string_view copy);
  void ShowPopup(std::u16string_view skin, std::u16string_view text, std::u16string_view sender,
                 int displayMs, std::u16string_view picture, int contact) override;
  void PlaySound(std::u16string_view path) override;
  void PlayRandomRing() override;
  void Vibrate() override;
  void Enqueue(std::u16string_view recipients, std::u16string_view text) override;
  bool MayAutoReply(std::u16string_view sender) override;
  void StartUnreadReminder() override;
  void UnreadChanged() override;
  std::u16string TimeText(DATE local) override;

  void RegisterHotKeys();
  void UnregisterHotKeys();
  void ApplyAutoSave();
  intptr_t OnTreeNotify(const Notification& notification);
  void BackOnTree();
  void OpenContextMenu();

  // Writing and reading messages (main_compose.cpp).
  friend class MainMessageViewHost;
  bool OnComposeCommand(int id);
  // Reply..., Forward... and Resend... on the selected message, after its access check.
  void ComposeFromSelection(ComposeMode mode);
  // WM_SMS_REFRESH: the unread count, the tree and the Preview list shown again.
  void RefreshDisplay();

  // Passwords (main_protection.cpp).
  bool OnProtectionCommand(int id);
  bool AskPassword(std::u16string_view password);
  // Whether the document just opened may be shown: it has no password, its question waits for
  // the first show, or the user gave it. A Cancel closes it again.
  bool PassDocumentPassword();
  // The show-again check; false when the user cancelled it.
  bool PassShowAgainCheck(bool askedByUser);
  void CollapseUnlocked(const std::vector<const TreeNode*>& folders);
  // Opens the closed folders above `node`, top down, each through the access check; returns
  // `node`, or the first folder that stayed closed.
  const TreeNode* ExpandTo(const TreeNode* node);
  PasswordFits DocumentPasswordFits() const;
  void EditNodePassword();

  // Document commands (main_document_commands.cpp).
  bool OnDocumentCommand(int id);
  void ShowDocument();
  // Saves and closes; false, leaving the document open, when the save fails.
  bool CloseDocument(bool keepLastFile);
  // CloseDocument, with an Error box when the document had to stay open.
  bool CloseDocumentOrSay(bool keepLastFile);
  // What the screen and the registry show once no document is open.
  void ForgetClosedDocument(bool keepLastFile);
  void NewDocument();
  void OpenWithBrowser();
  bool SaveDocument(bool interactive);
  void CompressDocument();
  void EditFileProperty();
  void EditNodeProperty();
  // The node property dialog on `node`; true when it was confirmed and written.
  bool EditPropertyOf(TreeNode& node);
  void AddUserNode(int id);
  void Paste();
  void EmptyFolder();
  bool ConfirmEmptyingRecycleBin();
  void EmptyRecycleBin();
  void ToggleRecycleBin();
  void ExportTxt();
  void Preview();
  // Import SMS... (main_import.cpp): the import dialog into the selected folder.
  void ImportSms();
  // The Options pages (main_options.cpp).
  bool OnOptionsCommand(int id);
  void EditPreference();
  void EditAlertOptions();
  void EditSecurity();
  // The Firewall commands (main_filter_commands.cpp).
  bool OnFilterCommand(int id);
  DialogServices& Services();
  int RunFilterDialog(const std::function<int(const FilterDialogContext&)>& dialog);
  void EditFilters();
  void EditBlackList();
  void EditDefaultFilter(FilterEditMode mode);
  void SaveRulesOrSay();
  void PublishUnread();
  void SetStatus(const QString& text);
  bool Confirm(const QString& question);
  std::u16string DateText(DATE date);

  // The device and its services the window works with.
  Registry registry_;
  HostDeviceFiles files_;

  CodePage codePage_;
  RegistryIndexOffsetMemory indexOffsets_;
  PosixStoreFileSystem storeFiles_;

  // Members in the order the window's life needs them.
  QPointer<QTreeView> tree_;
  FolderTreeModel* treeModel_ = nullptr;  // a child of the window
  ScrollingRowDelegate* rowDelegate_ = nullptr;  // a child of the tree
  QPointer<QLabel> statusText_;
  QPointer<QLabel> noDocumentHint_;
  PreviewWindow* preview_ = nullptr;  // while the Preview window runs
  TrayIcon trayMain_;
  OpenDocument document_;  // with the application lock
  NodeProtection protection_;  // the hide count and the unlock stamps of document_'s tree
  std::unique_ptr<FilterEngine> filters_;
  std::unique_ptr<DialogServices> services_;  // made when a dialog first needs it
  SentMessageRecorder sentRecorder_;
  TrayIcon trayUnread_;
  bool hotKeysRegistered_ = false;
  bool hotKeysSuspended_ = false;  // unregistered while a menu was open
  bool backPressed_ = false;       // the Back key went down on this window and is still down
  bool actionHeld_ = false;        // Action repeats: held for the context menu
  bool actionDown_ = false;        // Action went down on a node: it opens it when let go
  bool skipPasswordOnce_ = false;
  bool closing_ = false;            // from WM_CLOSE on, messages stay with the phone's inbox
  // Said once the window runs and shows: start-up problems, a document that fell back to an
  // older tree.
  std::vector<QString> startupProblems_;
  bool shown_ = false;
  bool saveFailureNoticed_ = false;  // the box was shown; again only after a save succeeds
  QString saveFailureNotice_;        // the box's text, shown by timer 4
  // Exit was refused once because the document could not be saved; a second Exit leaves
  // without saving, as the box said.
  bool exitRefused_ = false;
  struct HeldResult {
    SendRecord record;
    int result;
  };
  std::vector<HeldResult> heldResults_;

  // Process-wide values of the program.
  std::unique_ptr<Settings> settings_;
  UnreadCountPublisher unreadCount_;
  AutoSaveTimer autoSave_;
  ModuleLoader modules_;
  IntakeReader intake_;
  AutoReplyLimiter autoReplies_;
  std::unique_ptr<SmsTransport> transport_;
  std::unique_ptr<SentNotifier> sentNotifier_;
  // The pop-up, sounds, vibration and the unread reminder (timer 3, trayUnread_).
  std::unique_ptr<MainAlerts> alerts_;
  bool destroyed_ = false;
  bool tornDown_ = false;
};

}  // namespace brevalo
