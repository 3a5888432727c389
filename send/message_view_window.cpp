#include "send/message_view_window.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

#include "send/control_rows.h"
#include "send/recipients.h"
#include "ui/dialog_base.h"
#include "ui/edit_input.h"
#include "ui/file_browser_listing.h"
#include "ui/message_box.h"
#include "ui/phone_screen.h"

namespace brevalo {
namespace {

// Node titles are tree item texts, which hold at most 259 characters.
constexpr int kMaxTitleChars = 259;
// The Options entries a new draft drops: Forward... up to the separator after Delete.
constexpr int kItemOnlyEntries = 7;

QString Q(std::u16string_view text) { return QString::fromStdU16String(std::u16string(text)); }

// The text edit's input mode, kept from one view window to the next while the program runs.
RememberedInputMode& TextInputMode() {
  static RememberedInputMode mode;
  return mode;
}

std::shared_ptr<PopupMenu> OptionsMenu() {
  auto options = std::make_shared<PopupMenu>(u"Options");
  options->AddItem(ID_VIEW_FORWARD, u"Forward...")
      .AddItem(ID_VIEW_RESEND, u"Resend...")
      .AddItem(ID_VIEW_DIAL, u"Dial")
      .AddItem(ID_VIEW_EDIT, u"Edit")
      .AddSeparator()
      .AddItem(ID_VIEW_DELETE, u"Delete")
      .AddSeparator()
      .AddItem(ID_VIEW_PROPERTY, u"Property...")
      .AddItem(ID_VIEW_PASSWORD, u"Password...");
  options->AddSubmenu(u"Other").AddItem(ID_VIEW_SET_AS_BLACKLIST, u"Set as Blacklist");
  options->AddItem(ID_VIEW_CANCEL, u"Cancel");
  return options;
}

class MessageViewWindow : public DialogBase {
 public:
  // `node` null: the form of a new draft or folder, which needs no host.
  MessageViewWindow(PhoneScreen& screen, MessageViewHost* host, TreeNode* node, NewContentKind kind)
      : DialogBase(screen, "Content"), host_(host), node_(node), kind_(kind) {
    MenuBar().left = {u"Reply", ID_VIEW_REPLY, nullptr, true};
    MenuBar().right = {u"Options", 0, OptionsMenu(), true};
    if (!node_) {
      auto& items = MenuBar().right.popup->Items();
      items.erase(items.begin(), items.begin() + kItemOnlyEntries);
    }
  }

  const NewContent& Content() const { return content_; }

 protected:
  bool OnInitDialog() override {
    fromLabel_ = static_cast<QLabel*>(AddControl(IDC_VIEW_FROM_LABEL, ControlKind::Static, new QLabel("From")));
    sender_ = static_cast<QLabel*>(AddControl(IDC_VIEW_SENDER, ControlKind::Static, new QLabel));
    PlaceInRow({fromLabel_, sender_}, {0, 1});
    auto* subject = AddControl(IDC_VIEW_SUBJECT_LABEL, ControlKind::Static, new QLabel("Subj"));
    title_ = static_cast<QLineEdit*>(AddControl(IDC_VIEW_TITLE, ControlKind::Edit, new QLineEdit));
    title_->setMaxLength(kMaxTitleChars);
    PlaceInRow({subject, title_}, {0, 1});
    timeLabel_ = static_cast<QLabel*>(AddControl(IDC_VIEW_TIME_LABEL, ControlKind::Static, new QLabel("Time")));
    time_ = static_cast<QLabel*>(AddControl(IDC_VIEW_TIME, ControlKind::Static, new QLabel));
    PlaceInRow({timeLabel_, time_}, {0, 1});
    text_ = new QPlainTextEdit;
    text_->setFixedHeight(std::max(80, Screen().WindowArea().height() - 90));
    AddControl(IDC_VIEW_TEXT, ControlKind::MultiLineEdit, text_);
    TextInputMode().Apply(text_);
    if (!node_) return OpenNew();
    if (!ShowItem(*node_)) {
      // The password was not given: the window closes before it shows anything.
      PostMessage(WM_COMMAND, ID_VIEW_CLOSE_REFUSED, 0);
    }
    return true;
  }

  void OnInitMenuPopup(PopupMenu& menu, int) override {
    if (!node_) {
      // A new draft has no node to carry a password or properties yet, nor a sender.
      menu.Enable(ID_VIEW_PROPERTY, false);
      menu.Enable(ID_VIEW_PASSWORD, false);
      menu.Enable(ID_VIEW_SET_AS_BLACKLIST, false);
      return;
    }
    const bool phone = host_->PhoneCommandsEnabled();
    for (int id : {ID_VIEW_FORWARD, ID_VIEW_RESEND, ID_VIEW_DIAL}) menu.Enable(id, phone && !editing_);
    menu.Enable(ID_VIEW_DIAL, phone && !editing_ && !shown_.number.empty());
    menu.Enable(ID_VIEW_EDIT, !editing_);
    menu.Enable(ID_VIEW_SET_AS_BLACKLIST, !shown_.number.empty());
  }

  void OnCommand(int id, uint16_t code) override {
    if (id == IDC_VIEW_TEXT || id == IDC_VIEW_TITLE) {
      if (code == EN_CHANGE && !loading_) (id == IDC_VIEW_TEXT ? textChanged_ : titleChanged_) = true;
      return;
    }
    if (id == ID_VIEW_CLOSE_REFUSED) return Close(IDOK);
    if (node_ && !host_->Holds(*node_)) {
      // Recording a sent draft took the item away meanwhile; there is nothing left to act on.
      return Close(IDOK);
    }
    HandleCommand(id);
    if (host_) host_->Refresh();
  }

  void KeyPressed(PhoneKey key, bool repeat) override {
    // Previous and Next are the view mode's hot keys: they come before the text's cursor.
    if (node_ && !editing_ && (key == PhoneKey::Left || key == PhoneKey::Right)) {
      if (!repeat) Command(key == PhoneKey::Left ? ID_VIEW_PREVIOUS : ID_VIEW_NEXT);
      return;
    }
    DialogBase::KeyPressed(key, repeat);
  }

  void BackPressed() override {
    // In edit mode Back only erases: with nothing left to erase it must not throw edits away.
    if (node_ && !editing_) Close(IDCANCEL);
  }

  void ActionPressed() override {
    if (!node_) {
      // Action on the title goes on to the text; a folder has nothing more to fill in.
      if (FocusedControlId() != IDC_VIEW_TITLE) return;
      if (kind_ == NewContentKind::kFolder) SaveNew();
      else SetFocusControl(IDC_VIEW_TEXT);
      return;
    }
    if (!editing_) Command(IDOK);
  }

 private:
  static constexpr int ID_VIEW_CLOSE_REFUSED = 0x7F01;  // ours: posted when the password was refused

  void Close(int result) {
    TextInputMode().Remember(text_);
    EndDialog(result);
  }

  bool OpenNew() {
    for (QWidget* hidden : {static_cast<QWidget*>(fromLabel_), static_cast<QWidget*>(sender_),
                            static_cast<QWidget*>(timeLabel_), static_cast<QWidget*>(time_)}) {
      hidden->hide();
    }
    if (kind_ == NewContentKind::kFolder) text_->hide();
    SetEditing(true);
    SetFocusControl(IDC_VIEW_TITLE);
    return true;
  }

  // Shows `node`; false when its password was not given or it cannot be read.
  bool ShowItem(TreeNode& node) {
    std::optional<ViewedMessage> shown = host_->Show(node);
    if (!shown) return false;
    node_ = &node;
    shown_ = std::move(*shown);
    loading_ = true;
    title_->setText(Q(shown_.title));
    text_->setPlainText(Q(shown_.text));
    loading_ = false;
    const bool hasSender = !shown_.number.empty();
    sender_->setText(hasSender ? Q(RecipientDisplayName(shown_.number).name) : QString());
    fromLabel_->setVisible(hasSender);
    sender_->setVisible(hasSender);
    time_->setText(Q(host_->DateText(shown_.date)));
    textChanged_ = titleChanged_ = false;
    SetEditing(false);
    return true;
  }

  void SetEditing(bool editing) {
    editing_ = editing;
    title_->setReadOnly(!editing);
    text_->setReadOnly(!editing);
    MenuBar().left.label = editing ? u"Save" : u"Reply";
    MenuBar().left.enabled = editing || (host_ && host_->PhoneCommandsEnabled());
    MenuBarChanged();
  }

  void HandleCommand(int id) {
    switch (id) {
      case ID_VIEW_REPLY:
        if (!node_) return SaveNew();
        if (editing_) {
          if (SaveItem()) SetEditing(false);
          return;
        }
        if (host_->PhoneCommandsEnabled()) host_->Compose(ComposeMode::kReply, u"", shown_.number);
        return;
      case IDOK:
        if (!node_) return SaveNew();
        if (SaveItem()) Close(IDOK);
        return;
      case ID_VIEW_EDIT:
        if (node_) SetEditing(true);
        return;
      case ID_VIEW_CANCEL:
      case IDCANCEL:
        if (!node_ || !editing_) return Close(IDCANCEL);
        ShowItem(*node_);  // the item again, without the edits
        return;
      case ID_VIEW_PREVIOUS:
      case ID_VIEW_NEXT:
        return Step(id == ID_VIEW_NEXT ? 1 : -1);
      case ID_VIEW_DELETE:
        return DeleteItem();
      case ID_VIEW_FORWARD:
        if (node_ && host_->PhoneCommandsEnabled()) host_->Compose(ComposeMode::kNew, ForwardText(Text()), u"");
        return;
      case ID_VIEW_RESEND:
        if (node_ && host_->PhoneCommandsEnabled()) host_->Compose(ComposeMode::kResend, Text(), u"");
        return;
      case ID_VIEW_DIAL:
        if (node_ && host_->PhoneCommandsEnabled() && !shown_.number.empty()) host_->Dial(shown_.number);
        return;
      case ID_VIEW_PROPERTY:
        if (node_ && host_->EditProperty(*node_)) propertiesChanged_ = true;
        return;
      case ID_VIEW_PASSWORD:
        if (node_ && host_->EditPassword(*node_)) propertiesChanged_ = true;
        return;
      case ID_VIEW_SET_AS_BLACKLIST:
        if (node_ && !shown_.number.empty()) {
          RecipientName sender = RecipientDisplayName(shown_.number);
          host_->AddToBlackList(sender.name, sender.number);
        }
        return;
      default:
        return;
    }
  }

  std::u16string Text() const { return EditText(text_).toStdU16String(); }

  bool TitleGiven() {
    CommitEditLetter(title_);
    CommitEditLetter(text_);
    if (!TrimBlanks(EditText(title_).toStdU16String()).empty()) return true;
    AlertBox(*this, "Title can't be empty!", MB_OK | MB_ICONWARNING);
    SetFocusControl(IDC_VIEW_TITLE);
    return false;
  }

  void SaveNew() {
    if (!TitleGiven()) return;
    content_.title = EditText(title_).toStdU16String();
    content_.text = kind_ == NewContentKind::kFolder ? std::u16string() : Text();
    content_.textChanged = textChanged_;
    Close(IDOK);
  }

  // Saves the edits of an existing item; true when nothing was refused.
  bool SaveItem() {
    if (!editing_ || (!textChanged_ && !titleChanged_)) return true;
    if (!TitleGiven()) return false;
    std::optional<std::u16string> title;
    std::optional<std::u16string> text;
    if (titleChanged_) title = EditText(title_).toStdU16String();
    if (textChanged_) text = Text();
    if (!host_->SaveEdits(*node_, title, text)) return false;
    if (title) shown_.title = *title;
    if (text) shown_.text = *text;
    textChanged_ = titleChanged_ = false;
    return true;
  }

  void Step(int direction) {
    if (!node_ || !SaveItem()) return;
    if (TreeNode* next = host_->Sibling(*node_, direction)) {
      if (!ShowItem(*next)) ShowItem(*node_);  // a refused password keeps the message shown
    }
  }

  void DeleteItem() {
    if (!node_) return;
    // Found before the node goes; the next one, else the one before, is shown then.
    TreeNode* next = host_->Sibling(*node_, 1);
    if (!host_->Delete(*node_)) return;
    node_ = nullptr;
    if (!next || !ShowItem(*next)) Close(IDOK);
  }

  MessageViewHost* host_;
  TreeNode* node_;
  NewContentKind kind_;
  ViewedMessage shown_;
  bool editing_ = false;
  bool loading_ = false;
  bool textChanged_ = false;
  bool titleChanged_ = false;
  bool propertiesChanged_ = false;
  NewContent content_{{}, {}, false};
  QLabel* fromLabel_ = nullptr;
  QLabel* sender_ = nullptr;
  QLineEdit* title_ = nullptr;
  QLabel* timeLabel_ = nullptr;
  QLabel* time_ = nullptr;
  QPlainTextEdit* text_ = nullptr;
};

}  // namespace

int RunMessageView(PhoneScreen& screen, MessageViewHost& host, TreeNode& node) {
  MessageViewWindow window(screen, &host, &node, NewContentKind::kDraft);
  return window.DoModal() == IDOK ? IDOK : IDCANCEL;
}

std::optional<NewContent> RunNewContentWindow(PhoneScreen& screen, NewContentKind kind) {
  MessageViewWindow window(screen, nullptr, nullptr, kind);
  if (window.DoModal() != IDOK) return std::nullopt;
  return window.Content();
}

}  // namespace brevalo
