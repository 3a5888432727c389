#include "settings/alert_option_page.h"

#include <QLineEdit>

#include "settings/option_checks.h"
#include "ui/file_browser.h"

namespace brevalo {
namespace {

const QStringList kUnreadChoices = {"None", "Vibrate", "Sound", "Vibrate and Sound"};

}  // namespace

AlertOptionPage::AlertOptionPage(PhoneScreen& screen, const Device& device, Settings& settings,
                                 std::vector<SkinChoice> skins, std::function<void(std::u16string_view)> testPopup)
    : OptionPage(screen, "Alert Option"),
      device_(device),
      settings_(settings),
      skins_(std::move(skins)),
      testPopup_(std::move(testPopup)) {}

void AlertOptionPage::AddBrowseRow(int labelId, const QString& label, int id, int browseId, const std::u16string& text) {
  AddTextBox(labelId, label, id, text);
  AddButton(browseId, "Browse...");
}

bool AlertOptionPage::OnInitDialog() {
  AddCheck(IDC_ALERT_UNREAD_ICON, "Show icon when SMS arrives", settings_.UnReadIcon != 0);
  const int unread = settings_.UnReadAlert >= 0 && settings_.UnReadAlert <= 3 ? settings_.UnReadAlert : 0;
  AddSpin(IDC_ALERT_UNREAD_LABEL, "Unread Alert", IDC_ALERT_UNREAD, kUnreadChoices, unread);
  AddBrowseRow(IDC_ALERT_SOUND_LABEL, "Sound", IDC_ALERT_SOUND, IDC_ALERT_SOUND_BROWSE, settings_.AlertSound.Text());
  AddNumberBox(IDC_ALERT_SECONDS_LABEL, "Seconds", IDC_ALERT_SECONDS, settings_.AlertSecond / 1000);
  AddCheck(IDC_ALERT_SENT_POPUP, "Sent Popup Window", settings_.SentAlert != 0);
  QStringList names;
  for (const SkinChoice& skin : skins_) names << QString::fromStdU16String(skin.name);
  AddSpin(IDC_ALERT_SKIN_LABEL, "Skin", IDC_ALERT_SKIN, names, SkinChoiceOf(settings_.SentSkin.Text()));
  AddButton(IDC_ALERT_TEST, "Test...");
  AddNumberBox(IDC_ALERT_APPEAR_SEND_LABEL, "Appear time(Send)", IDC_ALERT_APPEAR_SEND, settings_.DisappearTime / 1000);
  AddNumberBox(IDC_ALERT_APPEAR_RECV_LABEL, "Appear Time(Recv)", IDC_ALERT_APPEAR_RECV,
               settings_.DisappearTimeRecv / 1000);
  AddBrowseRow(IDC_ALERT_PHOTO_FOLDER_LABEL, "Photo Folder", IDC_ALERT_PHOTO_FOLDER, IDC_ALERT_PHOTO_FOLDER_BROWSE,
               settings_.PhotoFolder.Text());
  AddBrowseRow(IDC_ALERT_DEFAULT_PHOTO_LABEL, "Default Photo", IDC_ALERT_DEFAULT_PHOTO, IDC_ALERT_DEFAULT_PHOTO_BROWSE,
               settings_.defaultPhoto.Text());
  AddBrowseRow(IDC_ALERT_RANDOM_FOLDER_LABEL, "Random Sound Folder", IDC_ALERT_RANDOM_FOLDER,
               IDC_ALERT_RANDOM_FOLDER_BROWSE, settings_.RndSoundPath.Text());
  EnableDependents();
  SetFocusControl(IDC_ALERT_UNREAD_ICON);
  return true;
}

int AlertOptionPage::SkinChoiceOf(std::u16string_view path) const {
  if (path.empty()) return 0;
  for (size_t i = 1; i < skins_.size(); ++i) {
    if (skins_[i].path == path) return static_cast<int>(i);
  }
  return 0;
}

void AlertOptionPage::EnableDependents() {
  const bool reminder = Choice(IDC_ALERT_UNREAD) != 0;
  for (int id : {IDC_ALERT_SOUND, IDC_ALERT_SOUND_BROWSE, IDC_ALERT_SECONDS}) Enable(id, reminder);
  const bool popup = Checked(IDC_ALERT_SENT_POPUP);
  for (int id : {IDC_ALERT_SKIN, IDC_ALERT_TEST}) Enable(id, popup);
}

void AlertOptionPage::Browse(int boxId, int mode, const std::u16string& filter) {
  std::u16string lastDir = settings_.LastDir.Text();
  FileBrowserRequest request{static_cast<FileBrowserMode>(mode), u"Browse", filter, u""};
  std::optional<std::u16string> chosen = RunFileBrowser(Screen(), device_, request, lastDir);
  settings_.LastDir = lastDir;
  if (!chosen) return;
  if (auto* box = qobject_cast<QLineEdit*>(Control(boxId))) box->setText(QString::fromStdU16String(*chosen));
}

void AlertOptionPage::OnControl(int id, uint16_t code) {
  if (code == CBN_SELCHANGE || (code == BN_CLICKED && id == IDC_ALERT_SENT_POPUP)) {
    EnableDependents();
    return;
  }
  if (code != BN_CLICKED) return;
  switch (id) {
    case IDC_ALERT_SOUND_BROWSE:
      Browse(IDC_ALERT_SOUND, static_cast<int>(FileBrowserMode::kOpen), u"Sound (*.wav)|*.wav|");
      break;
    case IDC_ALERT_PHOTO_FOLDER_BROWSE:
      Browse(IDC_ALERT_PHOTO_FOLDER, static_cast<int>(FileBrowserMode::kChooseFolder), u"");
      break;
    case IDC_ALERT_DEFAULT_PHOTO_BROWSE:
      Browse(IDC_ALERT_DEFAULT_PHOTO, static_cast<int>(FileBrowserMode::kOpen),
             u"Pictures (*.bmp;*.jpg;*.gif)|*.bmp;*.jpg;*.gif|");
      break;
    case IDC_ALERT_RANDOM_FOLDER_BROWSE:
      Browse(IDC_ALERT_RANDOM_FOLDER, static_cast<int>(FileBrowserMode::kChooseFolder), u"");
      break;
    case IDC_ALERT_TEST: {
      const size_t choice = static_cast<size_t>(Choice(IDC_ALERT_SKIN));
      if (testPopup_) testPopup_(choice < skins_.size() ? skins_[choice].path : std::u16string());
      break;
    }
    default:
      break;
  }
}

bool AlertOptionPage::Accept() {
  const int unread = Choice(IDC_ALERT_UNREAD);
  std::optional<int32_t> alertMs = SecondsBoxMs(BoxText(IDC_ALERT_SECONDS), unread == 0);
  if (!alertMs) {
    SetFocusControl(IDC_ALERT_SECONDS);
    return false;
  }
  std::optional<int32_t> sendMs = SecondsBoxMs(BoxText(IDC_ALERT_APPEAR_SEND), true);
  if (!sendMs) {
    SetFocusControl(IDC_ALERT_APPEAR_SEND);
    return false;
  }
  std::optional<int32_t> recvMs = SecondsBoxMs(BoxText(IDC_ALERT_APPEAR_RECV), true);
  if (!recvMs) {
    SetFocusControl(IDC_ALERT_APPEAR_RECV);
    return false;
  }
  settings_.UnReadIcon = Checked(IDC_ALERT_UNREAD_ICON);
  settings_.UnReadAlert = unread;
  settings_.AlertSound = BoxText(IDC_ALERT_SOUND);
  settings_.AlertSecond = *alertMs;
  settings_.SentAlert = Checked(IDC_ALERT_SENT_POPUP);
  const size_t skin = static_cast<size_t>(Choice(IDC_ALERT_SKIN));
  settings_.SentSkin = skin < skins_.size() ? skins_[skin].path : std::u16string();
  settings_.DisappearTime = *sendMs;
  settings_.DisappearTimeRecv = *recvMs;
  settings_.PhotoFolder = BoxText(IDC_ALERT_PHOTO_FOLDER);
  settings_.defaultPhoto = BoxText(IDC_ALERT_DEFAULT_PHOTO);
  settings_.RndSoundPath = BoxText(IDC_ALERT_RANDOM_FOLDER);
  if (!settings_.RndSoundPath.empty()) settings_.RebuildSoundList();
  return true;
}

}  // namespace brevalo
