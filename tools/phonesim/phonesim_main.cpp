// phonesim: the emulated phone's side of a device: creating it, its messaging service, the
// network, and a remote control that works the screen like a person.
#include <iostream>
#include <map>

#include "tools/phonesim/phonesim_command.h"

namespace brevalo {

std::vector<PhonesimGroup>& PhonesimGroups() {
  static std::vector<PhonesimGroup> groups;
  return groups;
}

namespace {
std::map<CLI::App*, PhonesimAction>& Actions() {
  static std::map<CLI::App*, PhonesimAction> actions;
  return actions;
}
}  // namespace

void Bind(CLI::App* command, PhonesimAction action) { Actions()[command] = std::move(action); }

int PhonesimFail(const std::string& message) {
  std::cout.flush();
  std::cerr << "phonesim: " << message << '\n';
  return kPhonesimFailure;
}

// The action of the deepest subcommand that was given ("reg set" runs set, not reg).
int RunChosen(CLI::App& app) {
  CLI::App* chosen = &app;
  while (!chosen->get_subcommands().empty()) chosen = chosen->get_subcommands().front();
  auto action = Actions().find(chosen);
  if (action == Actions().end()) {
    std::cerr << chosen->help();
    return kPhonesimUsage;
  }
  return action->second();
}

}  // namespace brevalo

int main(int argc, char** argv) {
  CLI::App app{"phonesim: the emulated phone of a device"};
  app.fallthrough();
  brevalo::PhonesimContext ctx;
  app.add_option("--device", ctx.deviceFlag, "the device folder (default: $VELMORA_DEVICE)");
  app.add_flag("--json", ctx.json, "print JSON");
  for (brevalo::PhonesimGroup group : brevalo::PhonesimGroups()) group(app, ctx);
  app.require_subcommand(1);
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& help) {
    return app.exit(help);
  } catch (const CLI::ParseError& error) {
    app.exit(error);
    return brevalo::kPhonesimUsage;
  }
  return brevalo::RunChosen(app);
}
