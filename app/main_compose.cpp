// The main window's side of writing and reading messages: SMS..., Reply..., Forward... and
// Resend... open the compose window, View (and Action on a message in the tree or in Preview)
// opens the message view, and the view's work on the document, the black list and the phone
// comes back here through MessageViewHost.
#include <QTreeView>

#include "app/dialog_services.h"
#include "app/folder_tree_model.h"
#include "app/main_commands.h"
#include "app/main_window.h"
#include "app/message_content.h"
#include "app/preview_window.h"
#include "device/cellcore_library.h"
#include "device/date_picture.h"
#include "device/device_properties.h"
#include "filter/normalize_number.h"
#include "send/compose_window.h"
#include "send/message_view_window.h"
#include "settings/program_folder.h"
#include "store/node_title.h"
#include "ui/message_box.h"
#include "ui/phone_screen.h"

namespace brevalo {
namespace {

// The longest title the view reads from a tree item.
constexpr size_t kViewedTitleChars = 260;

}  // namespace

class MainMessageViewHost : public MessageViewHost {
 public:
  explicit MainMessageViewHost(MainWindow& main) : main_(main) {}

  std::optional<ViewedMessage> Show(TreeNode& node) override {
    if (!main_.MayOpenNode(node)) return std::nullopt;
    std::optional<StoredMessage> stored = ReadStoredMessage(main_.document_, node);
    if (!stored) {
      ErrorBox(main_, "The message cannot be read from the document.");
      return std::nullopt;
    }
    if (node.Image() == kImageUnread) {
      main_.document_.MarkRead(node);
      main_.UnreadChanged();
    }
    main_.Select(&node);
    ViewedMessage shown;
    shown.title = node.Label().substr(0, kViewedTitleChars);
    shown.number = std::move(stored->number);
    shown.date = stored->date;
    shown.text = std::move(stored->text);
    return shown;
  }

  bool Holds(const TreeNode& node) override {
    bool found = false;
    main_.document_.Tree().Walk([&](const TreeNode& each, int) { found = found || &each == &node; });
    return found;
  }

  TreeNode* Sibling(const TreeNode& node, int direction) override {
    return direction < 0 ? PreviousSibling(node) : NextSibling(node);
  }

  bool SaveEdits(TreeNode& node, const std::optional<std::u16string>& title,
                 const std::optional<std::u16string>& text) override {
    if (SaveMessageEdits(main_.document_, node, {title, text})) return true;
    ErrorBox(main_, "The changes could not be written to the document. They are still shown.");
    return false;
  }

  bool Delete(TreeNode& node) override { return main_.DeleteNode(node); }
  bool EditProperty(TreeNode& node) override { return main_.EditPropertyOf(node); }

  bool EditPassword(TreeNode& node) override {
    std::optional<std::u16string> password = main_.protection_.NodePassword(node);
    if (!password) {
      ErrorBox(main_, "The node's record cannot be read.");
      return false;
    }
    if (RunPasswordDialog(main_.Screen(), PasswordMode::kChange, *password, main_.DocumentPasswordFits()) != IDOK) {
      return false;
    }
    if (!main_.protection_.SetNodePassword(node, *password, false)) {
      ErrorBox(main_, "The node's password could not be written to the document.");
      return false;
    }
    // The new password is asked the next time the message is opened.
    main_.protection_.Forget(node);
    return true;
  }

  void AddToBlackList(std::u16string_view name, std::u16string_view number) override {
    FilterEngine* filters = main_.filters_.get();
    if (!filters || !filters->AddBlackListEntry(name, number)) return;
    if (!filters->SaveRules()) {
      ErrorBox(main_, "The black list could not be written to the rules file. The number is on "
                      "it until the program ends.");
    }
  }

  void Compose(ComposeMode mode, std::u16string_view body, std::u16string_view recipients) override {
    main_.Compose(mode, FieldsFromTexts(mode, body, recipients));
  }

  void Dial(std::u16string_view number) override { main_.Dial(number); }
  bool PhoneCommandsEnabled() override { return PhoneLibraryPresent(); }
  std::u16string DateText(DATE date) override { return main_.DateText(date); }
  void Refresh() override { main_.SendMessage(WM_SMS_REFRESH, 0, 0); }

 private:
  MainWindow& main_;
};

bool MainWindow::OnComposeCommand(int id) {
  switch (id) {
    case ID_NEW_SMS:
      Compose(ComposeMode::kNew, {});
      return true;
    case ID_REPLY:
      ComposeFromSelection(ComposeMode::kReply);
      return true;
    case ID_FORWARD:
      ComposeFromSelection(ComposeMode::kNew);
      return true;
    case ID_RESEND:
      ComposeFromSelection(ComposeMode::kResend);
      return true;
    case ID_VIEW:
      if (TreeNode* node = Selection(); node && node != document_.RecycleBin()) ViewNode(*node);
      return true;
    default:
      return false;
  }
}

void MainWindow::Compose(ComposeMode mode, const ComposeFields& fields) {
  if (!settings_) return;
  ComposeServices services;
  // The same contacts, groups and sentences as the filter dialogs: one copy per program.
  services.contacts = &Services().Contacts();
  services.sentences = &Services().Sentences();
  services.sign = settings_->Sign.Text();
  services.statusReport = &settings_->StatusReport;
  services.transport = transport_.get();
  services.notify = this;
  services.nowText = [this](bool date) {
    std::tm now;
    if (!OleDateToTm(CurrentOleDate(), &now)) return std::u16string();
    DatePictures pictures = UserDatePictures(registry_);
    return FormatDatePicture(now, date ? pictures.shortDate : pictures.time);
  };
  RunComposeWindow(Screen(), services, mode, fields);
}

void MainWindow::ComposeFromSelection(ComposeMode mode) {
  TreeNode* node = Selection();
  if (!document_.IsOpen() || !node || node == document_.RecycleBin() || !MayOpenNode(*node)) return;
  std::optional<StoredMessage> stored = ReadStoredMessage(document_, *node);
  if (!stored) {
    ErrorBox(*this, "The message cannot be read from the document.");
    return;
  }
  Compose(mode, FieldsFromMessage(mode, stored->number, stored->text));
}

void MainWindow::ViewNode(TreeNode& node) {
  if (!document_.IsOpen() || &node == document_.RecycleBin()) return;
  MainMessageViewHost host(*this);
  RunMessageView(Screen(), host, node);
}

void MainWindow::Dial(std::u16string_view number) {
  char16_t dialled[NormalizedNumberSize];
  if (NormalizeNumber(number, dialled) == 0) return;
  ModuleHandle library = modules_.Load(u"cellcore.dll");
  if (!library) return;
  // The library works on the device of the process that names it.
  if (auto setDevice = modules_.SymbolAs<SetDeviceFolderFunction>(library, kSetDeviceFolder)) {
    setDevice(Screen().DeviceFolder().Dir().c_str());
  }
  if (auto makeCall = modules_.SymbolAs<TapiRequestMakeCallFunction>(library, kTapiRequestMakeCall)) {
    makeCall(dialled, nullptr, nullptr, nullptr);
  }
  modules_.Unload(library);
}

void MainWindow::RefreshDisplay() {
  PublishUnread();
  if (preview_) preview_->TreeChanged();
  if (tree_) tree_->viewport()->update();
}

}  // namespace brevalo
