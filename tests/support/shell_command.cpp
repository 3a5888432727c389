#include "tests/support/shell_command.h"

#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <iterator>

namespace brevalo::testing {

std::string ShellQuote(const std::string& word) {
  std::string quoted = "'";
  for (char c : word) {
    if (c == '\'') {
      quoted += "'\\''";
    } else {
      quoted += c;
    }
  }
  return quoted + "'";
}

ShellResult RunShell(const std::string& command) {
  // Standard error goes to a file of its own so that the two streams cannot block each other.
  char errPattern[] = "/tmp/brevalo-stderr-XXXXXX";
  int errFd = mkstemp(errPattern);
  ShellResult result;
  if (errFd < 0) return result;
  close(errFd);
  std::string full = "{ " + command + " ; } 2>" + ShellQuote(errPattern);
  FILE* pipe = popen(full.c_str(), "r");
  if (pipe != nullptr) {
    std::array<char, 4096> buffer;
    size_t n;
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) result.out.append(buffer.data(), n);
    int status = pclose(pipe);
    result.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  std::ifstream err(errPattern, std::ios::binary);
  result.err.assign(std::istreambuf_iterator<char>(err), std::istreambuf_iterator<char>());
  unlink(errPattern);
  return result;
}

ShellResult RunToolLine(const std::string& program, const std::string& device,
                        const std::string& args) {
  return RunShell(ShellQuote(std::string(BREVALO_BIN_DIR) + "/" + program) + " --device " +
                  ShellQuote(device) + " " + args);
}

ShellResult RunTool(const std::string& program, const std::string& device,
                    const std::vector<std::string>& args) {
  std::string words;
  for (const std::string& arg : args) words += " " + ShellQuote(arg);
  return RunToolLine(program, device, words);
}

}  // namespace brevalo::testing
