// The "Alert Option" page: the unread icon and reminder with its sound and period, the pop-up
// after sending with its skin (and a test of it), how long pop-ups stay, the photo folder and
// default photo, and the folder of the random ring. It has no save of its own: its values reach
// the registry with the next save of the settings.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "device/device_paths.h"
#include "settings/option_page.h"
#include "settings/settings.h"

namespace brevalo {

enum AlertOptionControl {
  IDC_ALERT_UNREAD_ICON = 1301,
  IDC_ALERT_UNREAD = 1302,
  IDC_ALERT_SOUND = 1303,
  IDC_ALERT_SOUND_BROWSE = 1304,
  IDC_ALERT_SECONDS = 1305,
  IDC_ALERT_SENT_POPUP = 1306,
  IDC_ALERT_SKIN = 1307,
  IDC_ALERT_TEST = 1308,
  IDC_ALERT_APPEAR_SEND = 1309,
  IDC_ALERT_APPEAR_RECV = 1310,
  IDC_ALERT_PHOTO_FOLDER = 1311,
  IDC_ALERT_PHOTO_FOLDER_BROWSE = 1312,
  IDC_ALERT_DEFAULT_PHOTO = 1313,
  IDC_ALERT_DEFAULT_PHOTO_BROWSE = 1314,
  IDC_ALERT_RANDOM_FOLDER = 1315,
  IDC_ALERT_RANDOM_FOLDER_BROWSE = 1316,
  // Labels.
  IDC_ALERT_UNREAD_LABEL = 1320,
  IDC_ALERT_SOUND_LABEL,
  IDC_ALERT_SECONDS_LABEL,
  IDC_ALERT_SKIN_LABEL,
  IDC_ALERT_APPEAR_SEND_LABEL,
  IDC_ALERT_APPEAR_RECV_LABEL,
  IDC_ALERT_PHOTO_FOLDER_LABEL,
  IDC_ALERT_DEFAULT_PHOTO_LABEL,
  IDC_ALERT_RANDOM_FOLDER_LABEL,
};

struct SkinChoice {
  std::u16string name;  // "Default" first
  std::u16string path;  // what SentSkin stores for it; empty for "Default"
};

class AlertOptionPage : public OptionPage {
  Q_OBJECT

 public:
  // `skins` are the skin list's entries; `testPopup` shows the pop-up with a skin path. The
  // settings and device must outlive the page.
  AlertOptionPage(PhoneScreen& screen, const Device& device, Settings& settings, std::vector<SkinChoice> skins,
                  std::function<void(std::u16string_view skin)> testPopup);

 protected:
  bool OnInitDialog() override;
  void OnControl(int id, uint16_t code) override;
  bool Accept() override;

 private:
  void AddBrowseRow(int labelId, const QString& label, int id, int browseId, const std::u16string& text);
  void Browse(int boxId, int mode, const std::u16string& filter);
  void EnableDependents();
  int SkinChoiceOf(std::u16string_view path) const;

  const Device& device_;
  Settings& settings_;
  std::vector<SkinChoice> skins_;
  std::function<void(std::u16string_view)> testPopup_;
};

}  // namespace brevalo
