// phonesim's commands come in groups, one file each (phonesim_<group>_commands.cpp). A group adds
// its subcommands to the application at start-up through PHONESIM_COMMANDS, so adding a group
// touches no other file.
#pragma once

#include <CLI/CLI.hpp>

#include <functional>
#include <string>
#include <vector>

#include "device/device_paths.h"

namespace brevalo {

inline constexpr int kPhonesimOk = 0;
inline constexpr int kPhonesimFailure = 1;
inline constexpr int kPhonesimUsage = 2;

// What every command may use: the global options, resolved once they are parsed.
struct PhonesimContext {
  std::string deviceFlag;
  bool json = false;
  Device DeviceFolder() const { return Device(Device::ResolveDir(deviceFlag)); }
};

// A subcommand's action; returns the exit code.
using PhonesimAction = std::function<int()>;

// Each group adds its subcommands to `app`, and binds each with Bind(); ctx outlives them.
using PhonesimGroup = void (*)(CLI::App& app, PhonesimContext& ctx);

std::vector<PhonesimGroup>& PhonesimGroups();
// Attaches the action to run when `command` is the one given on the command line.
void Bind(CLI::App* command, PhonesimAction action);

// "phonesim: message" on stderr; returns kPhonesimFailure.
int PhonesimFail(const std::string& message);

struct PhonesimRegistrar {
  explicit PhonesimRegistrar(PhonesimGroup group) { PhonesimGroups().push_back(group); }
};

#define PHONESIM_COMMANDS_JOIN2(a, b) a##b
#define PHONESIM_COMMANDS_JOIN(a, b) PHONESIM_COMMANDS_JOIN2(a, b)
#define PHONESIM_COMMANDS(group)                                      \
  static ::brevalo::PhonesimRegistrar PHONESIM_COMMANDS_JOIN(         \
      phonesimRegistrar, __LINE__){group}

}  // namespace brevalo
