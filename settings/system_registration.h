// The three switches of the Preference page that change the phone rather than the program's
// settings: the rule client that hands every incoming SMS to the program, the home-screen
// plug-in that shows the unread count, and the start-up shortcut that starts the program when
// the phone starts. Each can say whether the phone has it now and set it on or off. None of
// them tells the user of a failure: a half-done registration reads as off the next time.
#pragma once

#include <string>
#include <string_view>

#include "device/code_page.h"
#include "device/home_plugin.h"
#include "device/device_paths.h"
#include "device/registry.h"

namespace brevalo {

inline constexpr std::u16string_view kRuleClientClassId = u"{20F58816-51E4-418D-92DD-8390021DCDCA}";
inline constexpr std::u16string_view kHomePluginClass = u"{20F58816-51E4-418D-92DD-8390021DCDCB}";
// Where the rule client is copied and registered from.
inline constexpr std::u16string_view kStorageRuleClient = u"\\Storage\\corvane.dll";
inline constexpr std::u16string_view kHomeFileName = u"sms.home.xml";
inline constexpr std::u16string_view kStorageLoader = u"\\storage\\loader.exe";
inline constexpr std::u16string_view kStartUpShortcutName = u"Velmora.lnk";

class SystemRegistration {
 public:
  // `programFile` is the device path of the program file; the files copied lie beside it. The
  // device and registry must outlive this object.
  SystemRegistration(const Device& device, Registry& registry, std::u16string_view programFile);

  // Registered when the class's server reads exactly "\Storage\corvane.dll" and the rules value
  // of the class reads 1.
  bool RuleClientRegistered();
  // Class key, the copy of the program folder's corvane.dll to \Storage\, the server value and
  // the rules value, stopping at the first step that fails. The copy is not checked: a library
  // in use there stays as it is.
  bool RegisterRuleClient();
  // The class key and the rules value go; the copied library stays.
  void UnregisterRuleClient();

  // Registered while the plug-in's class key exists.
  bool HomePluginRegistered();
  // On: sms.home.xml copied into the home folder, then "Path", the class key "Velmora" and its
  // server (the program folder's velmora.dll), each step only after the one before succeeded.
  // Off: the server key, the class key and the copied sms.home.xml go.
  bool SetHomePlugin(bool on);

  // On: loader.exe copied to \storage\ (unchecked) and the start-up shortcut "Velmora.lnk" made
  // with the target "\storage\loader.exe "<program file>"". Off: both deleted, missing or not.
  bool ApplyAutoStart(bool on);

  // The shortcut's device path: the start-up folder followed by "Velmora.lnk".
  static std::u16string StartUpShortcutPath();
  // What the shortcut starts.
  std::u16string StartUpTarget() const;

 private:
  std::u16string Beside(std::u16string_view name) const { return programFolder_ + std::u16string(name); }

  const Device& device_;
  Registry& registry_;
  std::u16string programFile_;
  std::u16string programFolder_;
};

}  // namespace brevalo
