// phonesim init and install: a new device folder, and the program's files put on it.
#include <iostream>
#include <system_error>

#include "device/code_page.h"
#include "device/contacts_registration.h"
#include "device/device_properties.h"
#include "device/event_log.h"
#include "device/module_loader.h"
#include "device/network_faults.h"
#include "device/phone_contacts.h"
#include "device/phone_database.h"
#include "device/registry.h"
#include "device/service_endpoint.h"
#include "tools/phonesim/phonesim_alert_samples.h"
#include "tools/phonesim/phonesim_command.h"
#include "tools/phonesim/phonesim_support.h"

namespace brevalo {
namespace {
namespace fs = std::filesystem;

constexpr std::u16string_view kProgramFolder = u"\\Program Files\\Velmora\\";
constexpr std::u16string_view kProfilesKey = u"ControlPanel\\Profiles";

// The folders of a new device's file system.
constexpr const char* kDeviceFolders[] = {"Windows", "Windows/StartUp", "Storage", "Storage/Application Data/Home",
                                          "My Documents", "Temp", "Program Files/Velmora"};

// A built file and the device file it becomes.
struct DeviceFile {
  const char* built;       // under build/lib
  const char* deviceName;  // in the target folder
  // A build without the window program has no velmora.exe; the device is still whole for the
  // service and the rule client, so install goes on without it.
  bool optional = false;
};

// The device libraries every phone has in \Windows\.
constexpr DeviceFile kSystemLibraries[] = {{"sms.so", "sms.dll"},
                                           {"phone.so", "phone.dll"},
                                           {"cellcore.so", "cellcore.dll"},
                                           {"contacts.so", "contacts.dll"}};

// What `install` puts into the program folder.
// The home-screen plug-in, its description and the start-up program ship beside the program;
// only the Preference page copies and registers them.
constexpr DeviceFile kProgramFiles[] = {{"libcorvane.so", "corvane.dll"},
                                        {"libvelmora_home.so", "velmora.dll"},
                                        {"sms.home.xml", "sms.home.xml"},
                                        {"loader.exe", "loader.exe"},
                                        {"velmora.exe", "velmora.exe", true}};

struct InitArgs {
  uint32_t codePage = 65001;
  std::string ownNumber;
  std::string screen;
  bool force = false;
};

bool ParseScreen(const std::string& text, uint32_t* width, uint32_t* height) {
  if (text.empty()) return true;
  unsigned w = 0, h = 0;
  char tail = 0;
  if (std::sscanf(text.c_str(), "%ux%u%c", &w, &h, &tail) != 2) return false;
  if (w < 100 || w > 2000 || h < 100 || h > 2000) return false;
  *width = w;
  *height = h;
  return true;
}

bool CopyFiles(const fs::path& targetFolder, const DeviceFile* files, size_t count,
               std::string* error) {
  fs::path source = BuiltLibraryDir();
  for (size_t i = 0; i < count; ++i) {
    if (files[i].optional && !fs::exists(source / files[i].built)) continue;
    // A running service or program may have the library loaded: overwriting it in place would
    // change the code under its feet. The copy takes the name only once it is complete, and
    // whoever holds the old file keeps it.
    const fs::path target = targetFolder / files[i].deviceName;
    fs::path partial = target;
    partial += ".partial";
    std::error_code code;
    fs::copy_file(source / files[i].built, partial, fs::copy_options::overwrite_existing, code);
    if (!code) fs::rename(partial, target, code);
    if (code) {
      std::error_code ignored;
      fs::remove(partial, ignored);
      *error = (source / files[i].built).string() + ": " + code.message();
      return false;
    }
  }
  return true;
}

bool WriteRegistry(const Device& device, const InitArgs& args, uint32_t width, uint32_t height,
                   std::string* error) {
  Registry registry(device.RegistryFile());
  bool ok = registry.SetDword(RegRoot::LocalMachine, kDeviceKey, kAnsiCodePageValue, args.codePage) &&
            registry.SetDword(RegRoot::LocalMachine, kDeviceKey, kScreenWidthValue, width) &&
            registry.SetDword(RegRoot::LocalMachine, kDeviceKey, kScreenHeightValue, height) &&
            registry.SetString(RegRoot::LocalMachine, kDeviceKey, kOwnNumberValue,
                               FromUtf8(args.ownNumber)) &&
            registry.SetString(RegRoot::CurrentUser, kInternationalKey, kShortDateValue,
                               kDefaultShortDate) &&
            registry.SetString(RegRoot::CurrentUser, kInternationalKey, kTimeFormatValue,
                               kDefaultTimeFormat) &&
            registry.SetString(RegRoot::CurrentUser, kProfilesKey, u"ActiveProfile", u"Normal") &&
            registry.SetDword(RegRoot::LocalMachine, kNetworkKey, kFailOpenValue, 0) &&
            RegisterContactsServer(registry);
  if (!ok) *error = registry.LastError();
  return ok;
}

// Removes what init makes, so that --force starts from nothing.
void Clear(const Device& device) {
  std::error_code ignored;
  for (const fs::path& part : {device.RegistryFile(), device.FsRoot(), device.PhoneDir(),
                               device.LogDir(), device.RunDir()}) {
    fs::remove_all(part, ignored);
  }
}

int Init(PhonesimContext& ctx, const InitArgs& args) {
  Device device = ctx.DeviceFolder();
  uint32_t width = kDefaultScreenWidth, height = kDefaultScreenHeight;
  if (!ParseScreen(args.screen, &width, &height)) {
    PhonesimFail("--screen " + args.screen + ": WIDTHxHEIGHT, each 100 to 2000 pixels");
    return kPhonesimUsage;
  }
  if (!CodePage::Open(args.codePage)) {
    PhonesimFail("--codepage " + std::to_string(args.codePage) + ": no such code page");
    return kPhonesimUsage;
  }
  if (DeviceExists(device.Dir())) {
    if (!args.force) {
      return PhonesimFail(device.Dir().string() + " holds a device already (--force replaces it)");
    }
    if (ServiceRunning(device)) {
      return PhonesimFail("the messaging service of " + device.Dir().string() +
                          " runs; stop it before replacing the device");
    }
    Clear(device);
  }
  std::error_code code;
  for (const char* folder : kDeviceFolders) fs::create_directories(device.FsRoot() / folder, code);
  fs::create_directories(device.LogDir(), code);
  fs::create_directories(device.RunDir(), code);
  if (code) return PhonesimFail(device.Dir().string() + ": " + code.message());
  std::string error;
  if (!WriteRegistry(device, args, width, height, &error)) return PhonesimFail(error);
  std::unique_ptr<PhoneDatabase> database = PhoneDatabase::OpenDevice(device, &error);
  if (database == nullptr) return PhonesimFail(error);
  if (!database->EnsureStore(kSmsStoreName)) return PhonesimFail(database->LastError());
  if (!PhoneContacts::Save(device, PhoneContacts::Samples(), &error)) return PhonesimFail(error);
  if (!CopyFiles(device.FsRoot() / "Windows", kSystemLibraries, std::size(kSystemLibraries),
                 &error)) {
    return PhonesimFail("cannot install the device libraries: " + error);
  }
  EventLog(device).Append("device-created", {{"codePage", args.codePage},
                                             {"screen", std::to_string(width) + "x" +
                                                            std::to_string(height)}});
  std::cout << "device created in " << device.Dir().string() << "\n";
  return kPhonesimOk;
}

int Install(PhonesimContext& ctx) {
  Device device = ctx.DeviceFolder();
  if (!DeviceExists(device.Dir())) {
    return PhonesimFail(device.Dir().string() + " holds no device (phonesim init makes one)");
  }
  std::optional<fs::path> folder = device.HostPath(kProgramFolder);
  std::error_code code;
  if (!folder || (fs::create_directories(*folder, code), code)) {
    return PhonesimFail("cannot make " + ToUtf8(kProgramFolder));
  }
  // Folders every phone has, missing on devices made before they were needed.
  for (const char* system : {"Windows/StartUp", "Storage/Application Data/Home"}) {
    fs::create_directories(device.FsRoot() / system, code);
  }
  std::string error;
  if (!CopyFiles(*folder, kProgramFiles, std::size(kProgramFiles), &error)) {
    return PhonesimFail("cannot install: " + error);
  }
  // The messaging service finds a rule client registered by its bare name through this path.
  Registry registry(device.RegistryFile());
  if (!AddToSystemPath(registry, kProgramFolder)) return PhonesimFail(registry.LastError());
  for (const DeviceFile& file : kProgramFiles) {
    if (!fs::exists(*folder / file.deviceName)) continue;
    std::cout << "installed " << ToUtf8(kProgramFolder) << file.deviceName << "\n";
  }
  std::vector<std::u16string> samples;
  if (!InstallAlertSamples(device, kProgramFolder, &samples, &error)) return PhonesimFail("cannot install: " + error);
  for (const std::u16string& sample : samples) std::cout << "installed " << ToUtf8(sample) << "\n";
  return kPhonesimOk;
}

void AddDeviceCommands(CLI::App& app, PhonesimContext& ctx) {
  static InitArgs args;
  CLI::App* init = app.add_subcommand("init", "create a device in the device folder");
  init->add_option("--codepage", args.codePage, "the device's ANSI code page (default 65001)");
  init->add_option("--own-number", args.ownNumber, "the phone's own number");
  init->add_option("--screen", args.screen, "screen size WIDTHxHEIGHT (default 240x320)");
  init->add_flag("--force", args.force, "replace a device that exists");
  Bind(init, [&ctx] { return Init(ctx, args); });

  CLI::App* install = app.add_subcommand("install", "put the program's files on the device");
  Bind(install, [&ctx] { return Install(ctx); });
}

PHONESIM_COMMANDS(AddDeviceCommands);

}  // namespace
}  // namespace brevalo
