#include "settings/system_registration.h"

#include "device/device_file_copy.h"
#include "device/device_properties.h"
#include "device/mail_rule_client.h"
#include "device/shortcut_file.h"
#include "settings/settings.h"

namespace brevalo {
namespace {

constexpr RegRoot kClasses = RegRoot::ClassesRoot;

std::u16string RuleClientClassKey() { return u"\\CLSID\\" + std::u16string(kRuleClientClassId); }
std::u16string RuleClientServerKey() { return RuleClientClassKey() + u"\\InprocServer32"; }
std::u16string HomePluginClassKey() { return u"CLSID\\" + std::u16string(kHomePluginClass); }
std::u16string HomePluginServerKey() { return HomePluginClassKey() + u"\\InprocServer32"; }

}  // namespace

SystemRegistration::SystemRegistration(const Device& device, Registry& registry, std::u16string_view programFile)
    : device_(device), registry_(registry), programFile_(programFile) {
  programFolder_ = programFile_.substr(0, programFile_.rfind(u'\\') + 1);
}

bool SystemRegistration::RuleClientRegistered() {
  return registry_.QueryString(kClasses, RuleClientServerKey(), u"") == kStorageRuleClient &&
         registry_.QueryDword(RegRoot::LocalMachine, kSmsRulesKey, kRuleClientClassId) == 1u;
}

bool SystemRegistration::RegisterRuleClient() {
  if (!registry_.CreateKey(kClasses, RuleClientClassKey()) || !registry_.CreateKey(kClasses, RuleClientServerKey())) {
    return false;
  }
  CopyDeviceFile(device_, Beside(u"corvane.dll"), kStorageRuleClient);
  return registry_.SetString(kClasses, RuleClientServerKey(), u"", kStorageRuleClient) &&
         registry_.CreateKey(RegRoot::LocalMachine, kSmsRulesKey) &&
         registry_.SetDword(RegRoot::LocalMachine, kSmsRulesKey, kRuleClientClassId, 1);
}

void SystemRegistration::UnregisterRuleClient() {
  registry_.DeleteKey(kClasses, RuleClientClassKey());
  if (registry_.KeyExists(RegRoot::LocalMachine, kSmsRulesKey)) {
    registry_.DeleteValue(RegRoot::LocalMachine, kSmsRulesKey, kRuleClientClassId);
  }
}

bool SystemRegistration::HomePluginRegistered() { return registry_.KeyExists(kClasses, HomePluginClassKey()); }

bool SystemRegistration::SetHomePlugin(bool on) {
  const std::u16string homeFile = std::u16string(kHomeFolder) + std::u16string(kHomeFileName);
  if (!on) {
    bool gone = !registry_.KeyExists(kClasses, HomePluginServerKey()) || registry_.DeleteKey(kClasses, HomePluginServerKey());
    gone = (!registry_.KeyExists(kClasses, HomePluginClassKey()) || registry_.DeleteKey(kClasses, HomePluginClassKey())) && gone;
    return DeleteDeviceFile(device_, homeFile) && gone;
  }
  return CopyDeviceFile(device_, Beside(kHomeFileName), homeFile) &&
         registry_.SetString(RegRoot::CurrentUser, kSettingsKey, u"Path", programFile_) &&
         registry_.CreateKey(kClasses, HomePluginClassKey()) &&
         registry_.SetString(kClasses, HomePluginClassKey(), u"", u"Velmora") &&
         registry_.CreateKey(kClasses, HomePluginServerKey()) &&
         registry_.SetString(kClasses, HomePluginServerKey(), u"", Beside(u"velmora.dll"));
}

std::u16string SystemRegistration::StartUpShortcutPath() {
  return SpecialFolderPath(CSIDL_STARTUP).value_or(u"") + u"\\" + std::u16string(kStartUpShortcutName);
}

std::u16string SystemRegistration::StartUpTarget() const {
  return std::u16string(kStorageLoader) + u" \"" + programFile_ + u"\"";
}

bool SystemRegistration::ApplyAutoStart(bool on) {
  if (!on) {
    bool shortcutGone = DeleteDeviceFile(device_, StartUpShortcutPath());
    return DeleteDeviceFile(device_, kStorageLoader) && shortcutGone;
  }
  CopyDeviceFile(device_, Beside(u"loader.exe"), kStorageLoader);
  return CreateShortcut(device_, DeviceCodePage(registry_), StartUpShortcutPath(), StartUpTarget());
}

}  // namespace brevalo
