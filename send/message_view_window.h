// The message view ("Content", dialog 124): one stored message or note full screen with its
// sender, title, date and text. In view mode Left and Right step through the messages of its
// folder and the left key replies; Edit makes title and text editable and the left key saves.
// Opened on no item it is the form of a new draft (or folder): a title and a text.
// The document work goes through a MessageViewHost, the main window.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "device/system_time.h"
#include "send/compose_text.h"

namespace brevalo {

class PhoneScreen;
class TreeNode;

enum MessageViewControl : int {
  IDC_VIEW_FROM_LABEL = 1046,
  IDC_VIEW_SENDER = 1033,
  IDC_VIEW_SUBJECT_LABEL = 1047,
  IDC_VIEW_TITLE = 40010,
  IDC_VIEW_TIME_LABEL = 40360,
  IDC_VIEW_TIME = 40361,
  IDC_VIEW_TEXT = 1022,
};

enum MessageViewCommand : int {
  ID_VIEW_REPLY = 40080,  // the left key: "Reply" in view mode, "Save" in edit mode
  ID_VIEW_FORWARD = 40079,
  ID_VIEW_RESEND = 40368,
  ID_VIEW_DIAL = 40367,
  ID_VIEW_EDIT = 40358,
  ID_VIEW_DELETE = 40072,
  ID_VIEW_PROPERTY = 40067,
  ID_VIEW_PASSWORD = 1019,
  ID_VIEW_SET_AS_BLACKLIST = 40386,
  ID_VIEW_CANCEL = 40016,
  ID_VIEW_PREVIOUS = 40352,
  ID_VIEW_NEXT = 40353,
};

// What the view shows of an item.
struct ViewedMessage {
  std::u16string title;
  std::u16string number;  // empty: no sender, the From row is hidden
  DATE date = 0;
  std::u16string text;
};

// The main window's side of the view window.
class MessageViewHost {
 public:
  virtual ~MessageViewHost() = default;
  // The access check, then the message read, an unread one marked read and the item selected
  // in the tree. Nothing when the password was not given or the message cannot be read.
  virtual std::optional<ViewedMessage> Show(TreeNode& node) = 0;
  // Whether the node is still in the document's tree (a sent draft may have left it).
  virtual bool Holds(const TreeNode& node) = 0;
  // The message before (-1) or after (+1) `node` in its folder; null at the first or last one.
  virtual TreeNode* Sibling(const TreeNode& node, int direction) = 0;
  // Edit mode's save on an existing item; nothing changed is passed as nothing. False with an
  // Error box already shown when the document could not be written.
  virtual bool SaveEdits(TreeNode& node, const std::optional<std::u16string>& title,
                         const std::optional<std::u16string>& text) = 0;
  // Delete through the main window, with its question; true when the node went.
  virtual bool Delete(TreeNode& node) = 0;
  // The node property and node password dialogs; true when confirmed.
  virtual bool EditProperty(TreeNode& node) = 0;
  virtual bool EditPassword(TreeNode& node) = 0;
  virtual void AddToBlackList(std::u16string_view name, std::u16string_view number) = 0;
  virtual void Compose(ComposeMode mode, std::u16string_view body, std::u16string_view recipients) = 0;
  virtual void Dial(std::u16string_view number) = 0;
  // False when the phone library is missing: Reply, Forward..., Resend... and Dial are gray.
  virtual bool PhoneCommandsEnabled() = 0;
  // A date as the user reads it: short date, a blank and the time.
  virtual std::u16string DateText(DATE date) = 0;
  // WM_SMS_REFRESH to the main window.
  virtual void Refresh() = 0;
};

// Modal, on an item: 1 when it closed after a save, the last delete or a refused password; 2
// when closed without saving.
int RunMessageView(PhoneScreen& screen, MessageViewHost& host, TreeNode& node);

// The new-draft form: what was typed when the user saved it.
struct NewContent {
  std::u16string title;
  std::u16string text;
  bool textChanged;  // the text was edited (the title alone does not count)
};
// A draft has a title and a text; a folder only a title, as it has no body to keep a text in.
enum class NewContentKind { kDraft, kFolder };
// Modal. Nothing on Cancel; "Save" refuses an empty title with a message box.
std::optional<NewContent> RunNewContentWindow(PhoneScreen& screen,
                                              NewContentKind kind = NewContentKind::kDraft);

}  // namespace brevalo
