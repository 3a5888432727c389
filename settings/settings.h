// The program's preferences: one record, filled from HKEY_CURRENT_USER\Software\Velmora and its
// sub-key Key, written back when an option page closes and at exit. The fields carry the names
// of their registry values, which is how the rest of the program speaks of a setting.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "device/registry.h"
#include "settings/device_files.h"
#include "settings/hot_key_binding.h"
#include "settings/random_sound_list.h"
#include "settings/setting_text.h"

namespace brevalo {

inline constexpr std::u16string_view kSettingsKey = u"Software\\Velmora";
inline constexpr size_t kSettingTextCapacity = 259;
inline constexpr size_t kSignCapacity = 139;
// The automatic save runs every SaveDuration × 60000 ms; longer periods do not fit the timer.
inline constexpr int32_t kLongestSaveDuration = 0x7FFFFFFF / 60000;

// The stored values of the record, apart from the process-wide SummaryLength. Plain data, so
// that option pages can edit a copy and tests can compare whole records.
struct SettingValues {
  int32_t StartHide = 0;  // carried from load to save, nothing else reads it
  int32_t StatusReport = 0;
  int32_t SmsDelete = 0;
  int32_t DeleteAlert = 0;
  int32_t OpenLastFile = 0;
  int32_t EmptyReceiveBinAlert = 0;
  SettingText LastDir{kSettingTextCapacity};
  SettingText LastOpenFile{kSettingTextCapacity};
  SettingText Sign{kSignCapacity};
  SettingText SentSkin{kSettingTextCapacity};
  SettingText defaultPhoto{kSettingTextCapacity};
  SettingText PhotoFolder{kSettingTextCapacity};
  SettingText RndSoundPath{kSettingTextCapacity};
  SettingText AlertSound{kSettingTextCapacity};
  int32_t AutoHide = 0;
  int32_t ShowTrayIcon = 0;
  int32_t AutoStart = 0;
  int32_t AutoSave = 0;
  int32_t SaveDuration = 0;  // minutes
  int32_t BlackDeleteToRecycleBin = 0;
  int32_t SaveToSentBox = 0;
  int32_t StartScreenSaveMin = 0;
  int32_t ProtectLevel = 0;
  int32_t ReceiveTitle = 0;
  int32_t SendTitle = 0;
  int32_t ImportTitle = 0;
  int32_t SentAlert = 0;
  int32_t DisappearTime = 0;      // milliseconds
  int32_t DisappearTimeRecv = 0;  // milliseconds
  int32_t ImportSource = 0;
  int32_t UnReadIcon = 0;
  int32_t UnReadAlert = 0;
  int32_t AlertSecond = 0;  // milliseconds, despite the name
  // Ours: at most one automatic reply to a number within this many minutes; 0 for every message.
  int32_t AutoReplyWindowMin = 0;

  std::vector<HotKeyBinding> bindings;

  friend bool operator==(const SettingValues&, const SettingValues&) = default;
};

class Settings : public SettingValues {
 public:
  // Every setting at its first-run value, SummaryLength included, PhotoFolder formatted from the
  // program folder, no bindings, no sound list, and the phone.dll probe made. files must outlive
  // the settings.
  explicit Settings(DeviceFiles& files);
  Settings(const Settings&) = delete;
  Settings& operator=(const Settings&) = delete;

  // Reads the bindings and every setting. Without the Software\Velmora key the settings keep
  // what they hold (the first-run values at start-up) and false is returned; a value that cannot
  // be read, is too long for its field or lies outside its range takes its if-absent value.
  bool Load(Registry& registry);

  // Writes every binding and every setting except LastOpenFile. False when the registry refused
  // a change.
  bool Save(Registry& registry) const;

  // Takes path (cut to fit) as LastOpenFile and writes that value alone, at once: on opening or
  // creating a document, and with an empty path on closing one.
  bool RecordLastFile(Registry& registry, std::u16string_view path);

  // Lists RndSoundPath again; an empty RndSoundPath leaves nothing to play.
  void RebuildSoundList();
  const RandomSoundList& SoundList() const { return soundList_; }

 private:
  DeviceFiles& files_;
  RandomSoundList soundList_;
};

// The number of body characters in a summary title, kept beside the settings for the title
// builder; loaded and saved with them.
int32_t SummaryLength();
void SetSummaryLength(int32_t length);

// Whether the device offers \Windows\phone.dll, as found when the settings were created; the
// message view's Dial command depends on it.
bool PhoneLibraryPresent();

}  // namespace brevalo
