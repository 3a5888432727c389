#include "filter/filter_edit_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "alert/alert_window.h"
#include "alert/skin_list.h"
#include "filter/rule_editor_dialog.h"
#include "send/contact_picker_dialog.h"
#include "send/contact_picker_menus.h"
#include "send/my_text_dialog.h"
#include "filter/filter_dialog_controls.h"
#include "ui/dialog_base.h"
#include "ui/edit_input.h"
#include "ui/file_browser.h"
#include "ui/message_box.h"
#include "ui/phone_screen.h"
#include "ui/string_table.h"

namespace brevalo {
namespace {

// The longest device path the phone's file functions take.
constexpr int kPathChars = 259;
constexpr char16_t kPreviewText[] = u"This is only for test";
constexpr char16_t kPreviewSender[] = u"1234567890";

QString Q(std::u16string_view text) { return QString::fromStdU16String(std::u16string(text)); }

class FilterEditDialog : public DialogBase {
 public:
  FilterEditDialog(PhoneScreen& screen, Filter& filter, FilterEditMode mode, const FilterDialogContext& context)
      : DialogBase(screen, "Filter Edit"), filter_(filter), mode_(mode), context_(context) {
    skins_.programFolder = context.programFolder;
    skins_.choices = SkinChoices(context.files, context.programFolder,
                                 StringTable::Program().Text(IDS_SKIN_DEFAULT));
  }

 protected:
  bool OnInitDialog() override {
    form_ = FormOfFilter(filter_, mode_, skins_);
    AddTop();
    AddAlertGroup();
    AddSaveGroup();
    AddSmsGroup();
    Show();
    SetFocusControl(IsDefaultMode(mode_) ? IDC_EDIT_PLAY_SOUND : IDC_EDIT_NAME);
    // Fast Create starts with the rule, picked from the contacts, once the dialog runs.
    if (mode_ == EDIT_FAST_CREATE) PostMessage(WM_COMMAND, MakeLong(IDC_EDIT_RULE_SETTING, BN_CLICKED), 0);
    return true;
  }

  void OnCommand(int id, uint16_t code) override {
    if (code != BN_CLICKED) return;
    switch (id) {
      case IDOK: Store(); return;
      case IDCANCEL: EndDialog(IDCANCEL); return;
      case IDC_EDIT_RULE_SETTING: RuleSetting(); return;
      case IDC_EDIT_PLAY: context_.playSound(Text(IDC_EDIT_SOUND_PATH)); return;
      case IDC_EDIT_SOUND_BROWSE: Browse(IDC_EDIT_SOUND_PATH, u"Sound files (*.wav)|*.wav|"); return;
      case IDC_EDIT_PHOTO_BROWSE:
        Browse(IDC_EDIT_PHOTO_PATH, u"Pictures (*.bmp;*.jpg;*.gif)|*.bmp;*.jpg;*.gif|");
        return;
      case IDC_EDIT_CONTACT: PickRecipients(); return;
      case IDC_EDIT_MY_TEXT: InsertMyText(); return;
      case IDC_EDIT_TEST: Preview(); return;
      default: break;
    }
    if (qobject_cast<QCheckBox*>(Control(id))) BoxClicked(id);
  }

 private:
  // --- Building -------------------------------------------------------------------------
  template <typename Widget>
  Widget* Add(int id, ControlKind kind, Widget* widget) {
    return AddTappable(*this, id, kind, widget);
  }
  QCheckBox* Box(int id, const char* text, bool checked) {
    auto* box = Add(id, ControlKind::CheckBox, new QCheckBox(text));
    box->setChecked(checked);
    return box;
  }
  QLineEdit* Line(int id, const std::u16string& text, int maxChars) {
    auto* edit = new QLineEdit;
    if (maxChars > 0) edit->setMaxLength(maxChars);
    edit->setText(Q(text));
    return Add(id, ControlKind::Edit, edit);
  }
  void Button(int id, const char* text) { Add(id, ControlKind::Button, new QPushButton(text)); }
  void Group(int id, const char* text) {
    auto* label = new QLabel(text);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    label->setStyleSheet("border-bottom: 1px solid #808080;");
    AddControl(id, ControlKind::Static, label);
  }

  void AddTop() {
    AddLabel(0, "Name:");
    Line(IDC_EDIT_NAME, form_.name, static_cast<int>(kFilterNameTyped));
    auto* match = new QLabel(Q(MatchDescription(mode_)));
    match->setWordWrap(true);
    AddControl(IDC_EDIT_MATCH, ControlKind::Static, match);
    Box(IDC_EDIT_APPLY_ALL, "Apply to All", form_.applyToAll);
    Button(IDC_EDIT_RULE_SETTING, "Rule Setting...");
    const bool fixed = IsDefaultMode(mode_);
    match->setVisible(fixed);
    Control(IDC_EDIT_APPLY_ALL)->setVisible(!fixed);
    Control(IDC_EDIT_RULE_SETTING)->setVisible(!fixed);
  }

  void AddAlertGroup() {
    Group(IDC_EDIT_ALERT_GROUP, "Alert");
    Box(IDC_EDIT_PLAY_SOUND, "Play Sound", form_.playSound);
    Line(IDC_EDIT_SOUND_PATH, form_.soundPath, kPathChars);
    Button(IDC_EDIT_SOUND_BROWSE, "Browse...");
    Button(IDC_EDIT_PLAY, "Play");
    Box(IDC_EDIT_RANDOM_RING, "Random Ring", form_.randomRing);
    Box(IDC_EDIT_VIBRATE, "Vibrate", form_.vibrate);
    Box(IDC_EDIT_UNREAD_ALERT, "Unread Alert", form_.unreadAlert);
    Box(IDC_EDIT_POPUP, "Show Popup Window", form_.popup);
    auto* skin = new QComboBox;
    for (const std::u16string& choice : skins_.choices) skin->addItem(Q(choice));
    skin->setCurrentIndex(static_cast<int>(form_.skin));
    Add(IDC_EDIT_SKIN, ControlKind::SpinList, skin);
    Button(IDC_EDIT_TEST, "Test...");
    Box(IDC_EDIT_PHOTO, "Specific Photo", form_.photo);
    Line(IDC_EDIT_PHOTO_PATH, form_.photoPath, kPathChars);
    Button(IDC_EDIT_PHOTO_BROWSE, "Browse...");
    Box(IDC_EDIT_SENTENCE, "User-defined Sentence", form_.sentence);
    Line(IDC_EDIT_SENTENCE_TEXT, form_.sentenceText, static_cast<int>(kAlertTextCapacity));
  }

  void AddSaveGroup() {
    Group(IDC_EDIT_SAVE_GROUP, "Save");
    Box(IDC_EDIT_SAVE_FOLDER, "Save to Folder", form_.saveToFolder);
    Line(IDC_EDIT_FOLDER, form_.folder, kPathChars);
    Box(IDC_EDIT_HIDE_IN_INBOX, "Don't Show in Inbox", form_.hideInInbox);
  }

  void AddSmsGroup() {
    Group(IDC_EDIT_SMS_GROUP, "SMS");
    Box(IDC_EDIT_FORWARD, "Auto Forward", form_.autoForward);
    Line(IDC_EDIT_FORWARD_TO, form_.forwardTo, static_cast<int>(kRecipientTextChars));
    Button(IDC_EDIT_CONTACT, "Contact...");
    Box(IDC_EDIT_REPLY, "Auto Reply", form_.autoReply);
    Button(IDC_EDIT_MY_TEXT, "My Text...");
    auto* reply = new QPlainTextEdit;
    reply->setPlainText(Q(form_.replyText));
    reply->setFixedHeight(64);
    Add(IDC_EDIT_REPLY_TEXT, ControlKind::MultiLineEdit, reply);
  }

  // --- The form and the screen ----------------------------------------------------------
  bool Ticked(int id) const { return static_cast<QCheckBox*>(Control(id))->isChecked(); }
  void Tick(int id, bool on) { static_cast<QCheckBox*>(Control(id))->setChecked(on); }
  std::u16string Text(int id) const {
    QWidget* edit = Control(id);
    CommitEditLetter(edit);
    QString text = EditText(edit);
    // The edit's own line breaks are LF; a stored reply carries CR LF as the phone's do.
    if (id == IDC_EDIT_REPLY_TEXT) text.replace("\r\n", "\n").replace("\n", "\r\n");
    return text.toStdU16String();
  }

  void ReadForm() {
    form_.name = Text(IDC_EDIT_NAME);
    form_.applyToAll = Ticked(IDC_EDIT_APPLY_ALL);
    form_.playSound = Ticked(IDC_EDIT_PLAY_SOUND);
    form_.soundPath = Text(IDC_EDIT_SOUND_PATH);
    form_.randomRing = Ticked(IDC_EDIT_RANDOM_RING);
    form_.vibrate = Ticked(IDC_EDIT_VIBRATE);
    form_.unreadAlert = Ticked(IDC_EDIT_UNREAD_ALERT);
    form_.popup = Ticked(IDC_EDIT_POPUP);
    form_.skin = static_cast<size_t>(std::max(0, static_cast<QComboBox*>(Control(IDC_EDIT_SKIN))->currentIndex()));
    form_.photo = Ticked(IDC_EDIT_PHOTO);
    form_.photoPath = Text(IDC_EDIT_PHOTO_PATH);
    form_.sentence = Ticked(IDC_EDIT_SENTENCE);
    form_.sentenceText = Text(IDC_EDIT_SENTENCE_TEXT);
    form_.saveToFolder = Ticked(IDC_EDIT_SAVE_FOLDER);
    form_.folder = Text(IDC_EDIT_FOLDER);
    form_.hideInInbox = Ticked(IDC_EDIT_HIDE_IN_INBOX);
    form_.autoForward = Ticked(IDC_EDIT_FORWARD);
    form_.forwardTo = Text(IDC_EDIT_FORWARD_TO);
    form_.autoReply = Ticked(IDC_EDIT_REPLY);
    form_.replyText = Text(IDC_EDIT_REPLY_TEXT);
  }

  // Every field follows its check box.
  void Show() {
    const FilterEditEnables on = EnablesOf(form_, mode_);
    const std::pair<int, bool> states[] = {
        {IDC_EDIT_NAME, on.name},
        {IDC_EDIT_RULE_SETTING, on.ruleSetting},
        {IDC_EDIT_SOUND_PATH, on.soundPath},
        {IDC_EDIT_SOUND_BROWSE, on.soundPath},
        {IDC_EDIT_PLAY, on.playButton},
        {IDC_EDIT_SKIN, on.skin},
        {IDC_EDIT_TEST, on.skin},
        {IDC_EDIT_PHOTO, on.photoBox},
        {IDC_EDIT_PHOTO_PATH, on.photoPath},
        {IDC_EDIT_PHOTO_BROWSE, on.photoPath},
        {IDC_EDIT_SENTENCE, on.sentenceBox},
        {IDC_EDIT_SENTENCE_TEXT, on.sentenceText},
        {IDC_EDIT_FOLDER, on.folder},
        {IDC_EDIT_FORWARD_TO, on.forward},
        {IDC_EDIT_CONTACT, on.forward},
        {IDC_EDIT_MY_TEXT, on.reply},
        {IDC_EDIT_REPLY_TEXT, on.reply},
    };
    for (const auto& [id, enabled] : states) Control(id)->setEnabled(enabled);
    Screen().Refresh();
  }

  void BoxClicked(int id) {
    ReadForm();
    if (id == IDC_EDIT_PLAY_SOUND) form_.SetPlaySound(form_.playSound);
    if (id == IDC_EDIT_RANDOM_RING) form_.SetRandomRing(form_.randomRing);
    Tick(IDC_EDIT_PLAY_SOUND, form_.playSound);
    Tick(IDC_EDIT_RANDOM_RING, form_.randomRing);
    Show();
  }

  // --- Buttons --------------------------------------------------------------------------
  void Store() {
    ReadForm();
    if (std::optional<std::u16string> failed = StoreForm(form_, mode_, skins_, filter_)) {
      ErrorBox(*this, Q(*failed));
      return;
    }
    EndDialog(IDOK);
  }

  void RuleSetting() {
    const bool starting = mode_ == EDIT_FAST_CREATE && !ruleAsked_;
    ruleAsked_ = true;
    const int result = RunRuleEditor(Screen(), filter_, starting ? EDIT_FAST_CREATE : EDIT_FILTER, context_.contacts);
    if (starting && result != IDOK) EndDialog(IDCANCEL);
  }

  void Browse(int field, std::u16string filter) {
    FileBrowserRequest request{FileBrowserMode::kOpen, u"Open", std::move(filter), u""};
    std::optional<std::u16string> path = RunFileBrowser(Screen(), context_.device, request, context_.lastDir);
    if (!path) return;
    static_cast<QLineEdit*>(Control(field))->setText(Q(*path));
  }

  void PickRecipients() {
    std::u16string recipients = Text(IDC_EDIT_FORWARD_TO);
    const bool wasEmpty = recipients.empty();
    if (RunContactPicker(Screen(), context_.contacts, PickerMode::kMultiple, recipients) != ID_PICKER_ADD) return;
    if (wasEmpty && !recipients.empty() && recipients.front() == u';') recipients.erase(0, 1);
    static_cast<QLineEdit*>(Control(IDC_EDIT_FORWARD_TO))->setText(Q(recipients));
  }

  void InsertMyText() {
    std::u16string chosen;
    if (RunMyText(Screen(), context_.sentences, chosen) != 1) return;
    auto* reply = static_cast<QPlainTextEdit*>(Control(IDC_EDIT_REPLY_TEXT));
    reply->insertPlainText(Q(chosen));
  }

  void Preview() {
    ReadForm();
    const bool sentence = form_.sentence;
    const std::u16string picture = form_.photo && !form_.photoPath.empty() ? form_.photoPath : context_.defaultPhoto;
    AlertWindow::Preview(Screen(), context_.pictures, this, sentence ? form_.sentenceText : kPreviewText,
                         sentence ? u"" : kPreviewSender,
                         SkinPathOfChoice(skins_.programFolder, skins_.choices, form_.skin), picture);
  }

  Filter& filter_;
  FilterEditMode mode_;
  const FilterDialogContext& context_;
  SkinChoiceList skins_;
  FilterEditForm form_;
  bool ruleAsked_ = false;
};

}  // namespace

int RunFilterEdit(PhoneScreen& screen, Filter& filter, FilterEditMode mode, const FilterDialogContext& context) {
  FilterEditDialog dialog(screen, filter, mode, context);
  return dialog.DoModal();
}

}  // namespace brevalo
