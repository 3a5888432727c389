#include "send/content_window.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

#include <memory>

#include "ui/dialog_base.h"
#include "ui/edit_input.h"
#include "ui/file_browser_listing.h"
#include "ui/message_box.h"
#include "ui/phone_screen.h"

namespace brevalo {
namespace {

enum ContentControl {
  IDC_CONTENT_FROM_LABEL = 1046,
  IDC_CONTENT_SENDER = 1033,
  IDC_CONTENT_SUBJECT_LABEL = 1047,
  IDC_CONTENT_TITLE = 40010,
  IDC_CONTENT_TIME_LABEL = 40360,
  IDC_CONTENT_TIME = 40361,
  IDC_CONTENT_TEXT = 1022,
};

enum ContentCommand {
  ID_CONTENT_SAVE = 40080,  // the left key; labelled "Reply" when a stored message is viewed
  ID_CONTENT_PROPERTY = 40067,
  ID_CONTENT_PASSWORD = 1019,
  ID_CONTENT_SET_AS_BLACKLIST = 40386,
  ID_CONTENT_CANCEL = 40016,
};

// Node titles are tree item texts, which hold at most 259 characters.
constexpr int kMaxTitleChars = 259;

// A row that a new draft does not have: built, so that the window keeps one layout, and hidden.
void AddHiddenStatic(PhoneWindow& window, int id, const QString& text) {
  auto* label = new QLabel(text);
  label->hide();
  window.AddControl(id, ControlKind::Static, label);
}

// The new-draft form: the title and the text are edited, there is no sender and no time. For a
// folder the text is hidden too.
class NewContentWindow : public DialogBase {
 public:
  NewContentWindow(PhoneScreen& screen, NewContentKind kind)
      : DialogBase(screen, "Content"), kind_(kind) {
    auto options = std::make_shared<PopupMenu>(u"Options");
    options->AddItem(ID_CONTENT_PROPERTY, u"Property...").AddItem(ID_CONTENT_PASSWORD, u"Password...");
    options->AddSubmenu(u"Other").AddItem(ID_CONTENT_SET_AS_BLACKLIST, u"Set as Blacklist");
    options->AddItem(ID_CONTENT_CANCEL, u"Cancel");
    MenuBar().left = {u"Save", ID_CONTENT_SAVE, nullptr, true};
    MenuBar().right = {u"Options", 0, options, true};
  }

  const NewContent& Content() const { return content_; }

 protected:
  bool OnInitDialog() override {
    AddHiddenStatic(*this, IDC_CONTENT_FROM_LABEL, "From");
    AddHiddenStatic(*this, IDC_CONTENT_SENDER, {});
    AddControl(IDC_CONTENT_SUBJECT_LABEL, ControlKind::Static, new QLabel("Subj"));
    auto* title = new QLineEdit;
    title->setMaxLength(kMaxTitleChars);
    title_ = static_cast<QLineEdit*>(AddControl(IDC_CONTENT_TITLE, ControlKind::Edit, title));
    AddHiddenStatic(*this, IDC_CONTENT_TIME_LABEL, "Time");
    AddHiddenStatic(*this, IDC_CONTENT_TIME, {});
    auto* text = new QPlainTextEdit;
    text->setFixedHeight(std::max(80, Screen().WindowArea().height() - 80));
    text_ = static_cast<QPlainTextEdit*>(AddControl(IDC_CONTENT_TEXT, ControlKind::MultiLineEdit, text));
    if (kind_ == NewContentKind::kFolder) text->hide();
    SetFocusControl(IDC_CONTENT_TITLE);
    return true;
  }

  // A draft has no password and no sender yet, and its properties are set where it is stored.
  void OnInitMenuPopup(PopupMenu& menu, int) override {
    menu.Enable(ID_CONTENT_PROPERTY, false);
    menu.Enable(ID_CONTENT_PASSWORD, false);
    menu.Enable(ID_CONTENT_SET_AS_BLACKLIST, false);
  }

  void OnCommand(int id, uint16_t code) override {
    if (id == IDC_CONTENT_TEXT && code == EN_CHANGE) {
      content_.textChanged = true;
    } else if ((id == ID_CONTENT_SAVE || id == IDOK) && code == BN_CLICKED) {
      Save();
    } else if ((id == ID_CONTENT_CANCEL || id == IDCANCEL) && code == BN_CLICKED) {
      EndDialog(IDCANCEL);
    }
  }

  // While editing, Back only erases: with nothing left to erase it must not throw the draft away.
  void BackPressed() override {}
  // Action on the title goes on to the text instead of saving half a draft; a folder has
  // nothing more to fill in.
  void ActionPressed() override {
    if (FocusedControlId() != IDC_CONTENT_TITLE) return;
    if (kind_ == NewContentKind::kFolder) Save();
    else SetFocusControl(IDC_CONTENT_TEXT);
  }

 private:
  void Save() {
    CommitEditLetter(title_);
    CommitEditLetter(text_);
    std::u16string title = EditText(title_).toStdU16String();
    if (TrimBlanks(title).empty()) {
      AlertBox(*this, "Title can't be empty!", MB_OK | MB_ICONWARNING);
      SetFocusControl(IDC_CONTENT_TITLE);
      return;
    }
    content_.title = title;
    content_.text = EditText(text_).toStdU16String();
    EndDialog(IDOK);
  }

  NewContentKind kind_;
  QLineEdit* title_ = nullptr;
  QPlainTextEdit* text_ = nullptr;
  NewContent content_{{}, {}, false};
};

}  // namespace

std::optional<NewContent> RunNewContentWindow(PhoneScreen& screen, NewContentKind kind) {
  NewContentWindow window(screen, kind);
  if (window.DoModal() != IDOK) return std::nullopt;
  return window.Content();
}

}  // namespace brevalo
