#include "settings/settings.h"

#include <atomic>
#include <limits>
#include <optional>
#include <string>

#include "settings/program_folder.h"
#include "settings/untyped_value.h"

namespace brevalo {
namespace {

constexpr RegRoot kRoot = RegRoot::CurrentUser;
constexpr int32_t kAny = std::numeric_limits<int32_t>::min();
constexpr int32_t kAll = std::numeric_limits<int32_t>::max();

std::atomic<int32_t> summaryLength{10};
std::atomic<bool> phoneLibraryPresent{false};

// A numeric setting. `initial` holds before any load and whenever the key is missing; `ifAbsent`
// is what a load gives when the key exists but the value cannot be read. Values outside
// [low, high] would make a timer fire without pause or pick no entry of a list, so they are
// treated as unreadable. A null field stands for the process-wide SummaryLength.
// A week: a longer window would silence a correspondent for good.
constexpr int32_t kLongestAutoReplyWindow = 7 * 24 * 60;

struct NumberSetting {
  std::u16string_view name;
  int32_t SettingValues::*field;
  int32_t initial;
  int32_t ifAbsent;
  int32_t low = kAny;
  int32_t high = kAll;
};

// clang-format off
const NumberSetting kNumbers[] = {
    {u"StartHide",               &SettingValues::StartHide,               0,     0},
    {u"StatusReport",            &SettingValues::StatusReport,            1,     1},
    {u"SmsDelete",               &SettingValues::SmsDelete,               0,     0},
    {u"DeleteAlert",             &SettingValues::DeleteAlert,             1,     1},
    {u"OpenLastFile",            &SettingValues::OpenLastFile,            1,     1},
    {u"EmptyReceiveBinAlert",    &SettingValues::EmptyReceiveBinAlert,    1,     1},
    {u"AutoHide",                &SettingValues::AutoHide,                0,     0},
    {u"ShowTrayIcon",            &SettingValues::ShowTrayIcon,            1,     1},
    {u"AutoStart",               &SettingValues::AutoStart,               0,     0},
    {u"AutoSave",                &SettingValues::AutoSave,                1,     1},
    {u"SaveDuration",            &SettingValues::SaveDuration,            2,     2, 1, kLongestSaveDuration},
    {u"BlackDeleteToRecycleBin", &SettingValues::BlackDeleteToRecycleBin, 0,     0},
    {u"SaveToSentBox",           &SettingValues::SaveToSentBox,           1,     0},
    {u"StartScreenSaveMin",      &SettingValues::StartScreenSaveMin,      1,     0},
    {u"ProtectLevel",            &SettingValues::ProtectLevel,            1,     1, 0, 2},
    {u"ReceiveTitle",            &SettingValues::ReceiveTitle,            2,     2, 0, 2},
    {u"SendTitle",               &SettingValues::SendTitle,               2,     2, 0, 2},
    {u"ImportTitle",             &SettingValues::ImportTitle,             2,     2, 0, 2},
    {u"SummaryLength",           nullptr,                                 10,    10, 1},
    {u"SentAlert",               &SettingValues::SentAlert,               1,     1},
    {u"DisappearTime",           &SettingValues::DisappearTime,           15000, 15000, 0},
    {u"DisappearTimeRecv",       &SettingValues::DisappearTimeRecv,       15000, 15000, 0},
    {u"ImportSource",            &SettingValues::ImportSource,            0,     0, 0, 1},
    {u"UnReadIcon",              &SettingValues::UnReadIcon,              1,     1},
    {u"UnReadAlert",             &SettingValues::UnReadAlert,             0,     0, 0, 3},
    {u"AlertSecond",             &SettingValues::AlertSecond,             30000, 30000, 1},
    {u"AutoReplyWindowMin",      &SettingValues::AutoReplyWindowMin,      60,    60, 0, kLongestAutoReplyWindow},
};
// clang-format on

std::u16string Empty() { return {}; }
std::u16string DefaultPhotoFolder() { return ProgramFolder() + u"photo\\"; }

struct TextSetting {
  std::u16string_view name;
  SettingText SettingValues::*field;
  std::u16string (*initial)();
  std::u16string (*ifAbsent)();
  bool saved = true;  // LastOpenFile has a write of its own
};

const TextSetting kTexts[] = {
    {u"LastDir", &SettingValues::LastDir, Empty, Empty},
    {u"LastOpenFile", &SettingValues::LastOpenFile, Empty, Empty, false},
    {u"Sign", &SettingValues::Sign, Empty, Empty},
    {u"SentSkin", &SettingValues::SentSkin, Empty, Empty},
    {u"defaultPhoto", &SettingValues::defaultPhoto, Empty, Empty},
    {u"PhotoFolder", &SettingValues::PhotoFolder, DefaultPhotoFolder, DefaultPhotoFolder},
    {u"RndSoundPath", &SettingValues::RndSoundPath, Empty, Empty},
    {u"AlertSound", &SettingValues::AlertSound, Empty, Empty},
};

// Stored on every save for readers of the registry form; never loaded.
constexpr std::u16string_view kSmsSourceValue = u"SmsSource";
constexpr std::u16string_view kLastOpenFileValue = u"LastOpenFile";

void Put(SettingValues& values, const NumberSetting& setting, int32_t number) {
  if (setting.field) {
    values.*setting.field = number;
  } else {
    SetSummaryLength(number);
  }
}

int32_t Get(const SettingValues& values, const NumberSetting& setting) {
  return setting.field ? values.*setting.field : SummaryLength();
}

std::optional<int32_t> ReadNumber(Registry& registry, const NumberSetting& setting) {
  std::optional<RegValue> value = registry.Query(kRoot, kSettingsKey, setting.name);
  if (!value) return std::nullopt;
  std::optional<uint32_t> bits = ReadUntypedDword(*value);
  if (!bits) return std::nullopt;
  const int32_t number = static_cast<int32_t>(*bits);
  if (number < setting.low || number > setting.high) return std::nullopt;
  return number;
}

std::optional<std::u16string> ReadText(Registry& registry, std::u16string_view name,
                                       size_t capacity) {
  std::optional<RegValue> value = registry.Query(kRoot, kSettingsKey, name);
  if (!value) return std::nullopt;
  return ReadUntypedText(*value, capacity);
}

}  // namespace

int32_t SummaryLength() { return summaryLength.load(std::memory_order_relaxed); }
void SetSummaryLength(int32_t length) { summaryLength.store(length, std::memory_order_relaxed); }
bool PhoneLibraryPresent() { return phoneLibraryPresent.load(std::memory_order_relaxed); }

Settings::Settings(DeviceFiles& files) : files_(files) {
  for (const NumberSetting& setting : kNumbers) Put(*this, setting, setting.initial);
  for (const TextSetting& setting : kTexts) (this->*setting.field) = setting.initial();
  phoneLibraryPresent.store(files_.FileExists(u"\\Windows\\phone.dll"), std::memory_order_relaxed);
}

bool Settings::Load(Registry& registry) {
  bindings = LoadHotKeyBindings(registry);
  if (!registry.KeyExists(kRoot, kSettingsKey)) return false;
  for (const NumberSetting& setting : kNumbers) {
    Put(*this, setting, ReadNumber(registry, setting).value_or(setting.ifAbsent));
  }
  for (const TextSetting& setting : kTexts) {
    SettingText& field = this->*setting.field;
    std::optional<std::u16string> text = ReadText(registry, setting.name, field.Capacity());
    field = text ? *text : setting.ifAbsent();
  }
  if (!RndSoundPath.empty()) RebuildSoundList();
  return true;
}

bool Settings::Save(Registry& registry) const {
  bool stored = SaveHotKeyBindings(registry, bindings);
  if (!registry.CreateKey(kRoot, kSettingsKey)) return false;
  for (const NumberSetting& setting : kNumbers) {
    const uint32_t bits = static_cast<uint32_t>(Get(*this, setting));
    stored = registry.SetDword(kRoot, kSettingsKey, setting.name, bits) && stored;
  }
  stored = registry.SetDword(kRoot, kSettingsKey, kSmsSourceValue, 0) && stored;
  for (const TextSetting& setting : kTexts) {
    if (!setting.saved) continue;
    const SettingText& field = this->*setting.field;
    stored = registry.SetString(kRoot, kSettingsKey, setting.name, field.Text()) && stored;
  }
  return stored;
}

bool Settings::RecordLastFile(Registry& registry, std::u16string_view path) {
  LastOpenFile = path;
  return registry.SetString(kRoot, kSettingsKey, kLastOpenFileValue, LastOpenFile.Text());
}

void Settings::RebuildSoundList() { soundList_ = RandomSoundList::Build(files_, RndSoundPath); }

}  // namespace brevalo
