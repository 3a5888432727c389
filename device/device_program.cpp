#include "device/device_program.h"

#include <fcntl.h>
#include <spawn.h>
#include <unistd.h>

#include <cstring>
#include <vector>

#include "device/code_page.h"
#include "device/device_file.h"
#include "device/shortcut_file.h"

extern char** environ;

namespace brevalo {
namespace fs = std::filesystem;
namespace {

constexpr std::string_view kRunsAs = "runs as ";
// A program file is a line or two; anything larger is not one.
constexpr size_t kLargestProgramFile = 4096;

std::string_view LastLine(std::string_view text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.remove_suffix(1);
  size_t start = text.find_last_of("\r\n");
  return start == std::string_view::npos ? text : text.substr(start + 1);
}

// The environment of this process with the device put in VELMORA_DEVICE.
std::vector<std::string> ChildEnvironment(const Device& device) {
  std::vector<std::string> out;
  for (char** entry = environ; entry && *entry; ++entry) {
    if (std::strncmp(*entry, "VELMORA_DEVICE=", 15) != 0) out.emplace_back(*entry);
  }
  std::error_code code;
  out.push_back("VELMORA_DEVICE=" + fs::absolute(device.Dir(), code).string());
  return out;
}

}  // namespace

std::string ProgramFileText(std::string_view name, const fs::path& hostProgram) {
  return std::string(name) + " program file; the program " + std::string(kRunsAs) + hostProgram.string() + "\n";
}

std::optional<fs::path> ParseProgramFile(std::string_view text) {
  if (text.size() > kLargestProgramFile) return std::nullopt;
  std::string_view line = LastLine(text);
  size_t at = line.find(kRunsAs);
  if (at == std::string_view::npos) return std::nullopt;
  std::string_view named = line.substr(at + kRunsAs.size());
  // A NUL would cut the path short where the system reads it.
  if (named.find('\0') != std::string_view::npos) return std::nullopt;
  fs::path host(named);
  if (!host.is_absolute()) return std::nullopt;
  return host;
}

std::optional<fs::path> HostProgramOf(const Device& device, std::u16string_view programPath) {
  DeviceFileContents contents = ReadDeviceFile(device, programPath);
  if (contents.state != DeviceFileState::kRead) return std::nullopt;
  std::optional<fs::path> host = ParseProgramFile(contents.bytes);
  std::error_code code;
  if (!host || !fs::is_regular_file(*host, code) || access(host->c_str(), X_OK) != 0) return std::nullopt;
  return host;
}

std::optional<pid_t> StartDeviceProgram(const Device& device, std::u16string_view commandLine,
                                        std::string* error) {
  CommandLine parts = SplitCommandLine(commandLine);
  std::optional<fs::path> host = HostProgramOf(device, parts.program);
  if (!host) {
    *error = ToUtf8(parts.program) + ": no program of this device";
    return std::nullopt;
  }
  std::vector<std::string> arguments{host->string()};
  if (!parts.arguments.empty()) arguments.push_back(ToUtf8(parts.arguments));
  std::vector<char*> argv;
  for (std::string& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);
  std::vector<std::string> environment = ChildEnvironment(device);
  std::vector<char*> envp;
  for (std::string& entry : environment) envp.push_back(entry.data());
  envp.push_back(nullptr);
  // A program of the phone has no console: nothing to read, and what it writes goes to the
  // device's log folder, so that it never holds the output of whoever started it.
  std::error_code code;
  const std::string log = fs::is_directory(device.LogDir(), code)
                              ? (fs::absolute(device.LogDir(), code) / "programs.log").string()
                              : std::string("/dev/null");
  posix_spawn_file_actions_t files;
  posix_spawn_file_actions_init(&files);
  posix_spawn_file_actions_addopen(&files, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&files, 1, log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
  posix_spawn_file_actions_adddup2(&files, 1, 2);
  pid_t pid = -1;
  int failed = posix_spawn(&pid, host->c_str(), &files, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&files);
  if (failed != 0) {
    *error = host->string() + ": " + std::strerror(failed);
    return std::nullopt;
  }
  return pid;
}

}  // namespace brevalo
