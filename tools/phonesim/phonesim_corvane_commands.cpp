// phonesim register-corvane / unregister-corvane: the installed rule-client library registers
// itself with the messaging service through its own entry points, as the program's option page
// will have it do.
#include <stdlib.h>

#include <cstdio>
#include <iostream>

#include "device/code_page.h"
#include "device/com_server.h"
#include "device/module_loader.h"
#include "tools/phonesim/phonesim_command.h"
#include "tools/phonesim/phonesim_support.h"

namespace brevalo {
namespace {

constexpr std::u16string_view kCorvanePath = u"\\Program Files\\Velmora\\corvane.dll";

int CallEntryPoint(PhonesimContext& ctx, const char* entryPoint) {
  std::error_code code;
  Device device(std::filesystem::absolute(ctx.DeviceFolder().Dir(), code));
  if (!RequireDevice(device.Dir())) return kPhonesimFailure;
  // The library writes the registry of the device it finds, as every device tool does.
  setenv("VELMORA_DEVICE", device.Dir().c_str(), 1);
  ModuleLoader loader(device, u"");
  ModuleHandle module = loader.Load(kCorvanePath);
  if (!module) {
    return PhonesimFail(loader.LastError() + " (phonesim install puts it there)");
  }
  auto function = loader.SymbolAs<DllRegisterServerFunction>(module, entryPoint);
  if (function == nullptr) return PhonesimFail(loader.LastError());
  HRESULT hr = function();
  if (FAILED(hr)) {
    return PhonesimFail(std::string(entryPoint) + " failed with " + HresultText(hr));
  }
  std::cout << entryPoint << ": done\n";
  return kPhonesimOk;
}

void AddCorvaneCommands(CLI::App& app, PhonesimContext& ctx) {
  CLI::App* registerCommand =
      app.add_subcommand("register-corvane", "corvane.dll registers itself as a rule client");
  Bind(registerCommand, [&ctx] { return CallEntryPoint(ctx, kDllRegisterServer); });
  CLI::App* unregisterCommand =
      app.add_subcommand("unregister-corvane", "corvane.dll withdraws its registration");
  Bind(unregisterCommand, [&ctx] { return CallEntryPoint(ctx, kDllUnregisterServer); });
}

PHONESIM_COMMANDS(AddCorvaneCommands);

}  // namespace
}  // namespace brevalo
