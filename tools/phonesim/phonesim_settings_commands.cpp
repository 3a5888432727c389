// phonesim profile and network: the phone's sound profile and the faults the network plays.
#include <iostream>

#include "device/code_page.h"
#include "device/network_faults.h"
#include "device/registry.h"
#include "device/text_case.h"
#include "tools/phonesim/phonesim_command.h"
#include "tools/phonesim/phonesim_support.h"

namespace brevalo {
namespace {

// Where the phone keeps its active sound profile ("Normal", "Silent", "Meeting", ...).
constexpr std::u16string_view kProfilesKey = u"ControlPanel\\Profiles";
constexpr std::u16string_view kActiveProfileValue = u"ActiveProfile";

struct SettingsArgs {
  std::string profile;
  std::string onOff;
  std::string number;
  bool clear = false;
};

int Profile(PhonesimContext& ctx, const SettingsArgs& args) {
  Device device = ctx.DeviceFolder();
  if (!RequireDevice(device.Dir())) return kPhonesimFailure;
  Registry registry(device.RegistryFile());
  if (!registry.Load()) return PhonesimFail(registry.LastError());
  if (!args.profile.empty() &&
      !registry.SetString(RegRoot::CurrentUser, kProfilesKey, kActiveProfileValue,
                          FromUtf8(args.profile))) {
    return PhonesimFail(registry.LastError());
  }
  std::optional<std::u16string> active =
      registry.QueryString(RegRoot::CurrentUser, kProfilesKey, kActiveProfileValue);
  if (ctx.json) {
    PrintJson({{"profile", active ? nlohmann::json(ToUtf8(*active)) : nlohmann::json(nullptr)}});
  } else {
    std::cout << (active ? ToUtf8(*active) : std::string("(no active profile)")) << "\n";
  }
  return kPhonesimOk;
}

nlohmann::json FaultsJson(const NetworkFaults& faults) {
  nlohmann::json numbers = nlohmann::json::array();
  for (const std::u16string& number : faults.rejectedNumbers) numbers.push_back(ToUtf8(number));
  return {{"failOpen", faults.failOpen},
          {"rejectNumbers", numbers},
          {"rejectAddressTypes", faults.rejectedAddressTypes}};
}

int ShowNetwork(PhonesimContext& ctx) {
  Device device = ctx.DeviceFolder();
  if (!RequireDevice(device.Dir())) return kPhonesimFailure;
  NetworkFaults faults = NetworkFaults::Read(device);
  if (ctx.json) {
    PrintJson(FaultsJson(faults));
    return kPhonesimOk;
  }
  std::cout << "fail-open: " << (faults.failOpen ? "on" : "off") << "\nrejected numbers:";
  for (const std::u16string& number : faults.rejectedNumbers) std::cout << " " << ToUtf8(number);
  std::cout << "\n";
  return kPhonesimOk;
}

int FailOpen(PhonesimContext& ctx, const SettingsArgs& args) {
  Device device = ctx.DeviceFolder();
  if (!RequireDevice(device.Dir())) return kPhonesimFailure;
  Registry registry(device.RegistryFile());
  if (!registry.SetDword(RegRoot::LocalMachine, kNetworkKey, kFailOpenValue, args.onOff == "on")) {
    return PhonesimFail(registry.LastError());
  }
  return kPhonesimOk;
}

// Adds NUMBER to the rejected numbers, or with --clear removes it (or, without a number, all).
int Reject(PhonesimContext& ctx, const SettingsArgs& args) {
  if (args.number.empty() && !args.clear) {
    PhonesimFail("network reject needs a NUMBER, or --clear");
    return kPhonesimUsage;
  }
  if (args.number.find(';') != std::string::npos) {
    PhonesimFail("a number cannot hold \";\"");
    return kPhonesimUsage;
  }
  Device device = ctx.DeviceFolder();
  if (!RequireDevice(device.Dir())) return kPhonesimFailure;
  Registry registry(device.RegistryFile());
  if (!registry.Load()) return PhonesimFail(registry.LastError());
  std::u16string number = FromUtf8(args.number);
  std::vector<std::u16string> numbers = SplitNetworkList(
      registry.QueryString(RegRoot::LocalMachine, kNetworkKey, kRejectNumbersValue).value_or(u""));
  std::erase(numbers, number);
  if (args.clear && number.empty()) numbers.clear();
  if (!args.clear && !number.empty()) numbers.push_back(number);
  std::u16string list;
  for (const std::u16string& entry : numbers) list += (list.empty() ? u"" : u";") + entry;
  if (!registry.SetString(RegRoot::LocalMachine, kNetworkKey, kRejectNumbersValue, list)) {
    return PhonesimFail(registry.LastError());
  }
  return kPhonesimOk;
}

void AddSettingsCommands(CLI::App& app, PhonesimContext& ctx) {
  static SettingsArgs args;
  CLI::App* profile = app.add_subcommand("profile", "show or set the active sound profile");
  profile->add_option("NAME", args.profile, "Normal, Silent, Meeting, Outdoor, ...");
  Bind(profile, [&ctx] { return Profile(ctx, args); });

  CLI::App* network = app.add_subcommand("network", "the faults the network plays");
  network->require_subcommand(1);
  CLI::App* show = network->add_subcommand("show", "the faults now set");
  Bind(show, [&ctx] { return ShowNetwork(ctx); });
  CLI::App* failOpen = network->add_subcommand("fail-open", "opening the SMS library fails");
  failOpen->add_option("STATE", args.onOff, "on or off")
      ->required()
      ->check(CLI::IsMember({"on", "off"}));
  Bind(failOpen, [&ctx] { return FailOpen(ctx, args); });
  CLI::App* reject = network->add_subcommand("reject", "refuse sending to a number");
  reject->add_option("NUMBER", args.number, "the number refused");
  reject->add_flag("--clear", args.clear, "accept NUMBER again (without NUMBER: every number)");
  Bind(reject, [&ctx] { return Reject(ctx, args); });
}

PHONESIM_COMMANDS(AddSettingsCommands);

}  // namespace
}  // namespace brevalo
