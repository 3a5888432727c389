// phonesim boot: what the phone does at power-on for the programs of the user, running every
// shortcut of the start-up folder (special folder 7) in name order. The messaging service is
// not started here: `phonesim serve` plays it.
#include <algorithm>
#include <iostream>

#include "device/code_page.h"
#include "device/device_folder.h"
#include "device/device_program.h"
#include "device/device_properties.h"
#include "device/event_log.h"
#include "device/registry.h"
#include "device/shortcut_file.h"
#include "device/text_case.h"
#include "tools/phonesim/phonesim_command.h"
#include "tools/phonesim/phonesim_support.h"

namespace brevalo {
namespace {

bool IsShortcutName(const std::u16string& name) {
  return name.size() > 4 && FoldCase(name.substr(name.size() - 4)) == u".lnk";
}

int Boot(PhonesimContext& ctx) {
  std::error_code code;
  Device device(std::filesystem::absolute(ctx.DeviceFolder().Dir(), code));
  if (!DeviceExists(device.Dir())) {
    return PhonesimFail(device.Dir().string() + " holds no device (phonesim init makes one)");
  }
  const std::u16string folder = SpecialFolderPath(CSIDL_STARTUP).value_or(u"");
  std::vector<std::u16string> names;
  for (const DeviceFolderEntry& entry : ListDeviceFolder(device, folder).value_or(std::vector<DeviceFolderEntry>{})) {
    if (!entry.isFolder && IsShortcutName(entry.name)) names.push_back(entry.name);
  }
  std::sort(names.begin(), names.end());
  Registry registry(device.RegistryFile());
  registry.Load();
  const CodePage page = DeviceCodePage(registry);
  EventLog log(device);
  log.Append("boot", {{"shortcuts", names.size()}});
  int failures = 0;
  for (const std::u16string& name : names) {
    const std::u16string path = folder + u"\\" + name;
    std::optional<std::u16string> target = ReadShortcut(device, page, path);
    std::string error = "not a shortcut";
    std::optional<pid_t> pid = target ? StartDeviceProgram(device, *target, &error) : std::nullopt;
    if (!pid) {
      ++failures;
      std::cerr << "phonesim: " << ToUtf8(path) << ": " << error << "\n";
      log.Append("program-failed", {{"shortcut", ToUtf8(path)}, {"by", "boot"}, {"error", error}});
      continue;
    }
    log.Append("program-started", {{"shortcut", ToUtf8(path)}, {"program", ToUtf8(*target)}, {"by", "boot"}, {"pid", *pid}});
    std::cout << "started " << ToUtf8(*target) << " (pid " << *pid << ")\n";
  }
  if (names.empty()) std::cout << "no start-up shortcuts\n";
  return failures == 0 ? kPhonesimOk : kPhonesimFailure;
}

void AddBootCommands(CLI::App& app, PhonesimContext& ctx) {
  CLI::App* boot = app.add_subcommand("boot", "start the programs of the start-up folder, as the phone does at power-on");
  Bind(boot, [&ctx] { return Boot(ctx); });
}

PHONESIM_COMMANDS(AddBootCommands);

}  // namespace
}  // namespace brevalo
