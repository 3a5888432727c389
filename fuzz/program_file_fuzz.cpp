// Any bytes as the text of a device program file. Parsing never reads out of bounds; what it
// names is an absolute path without NUL, and the text written for that path names it again.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "device/device_program.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::optional<std::filesystem::path> host = brevalo::ParseProgramFile(text);
  if (!host) return 0;
  if (!host->is_absolute() || host->string().find('\0') != std::string::npos) std::abort();
  if (host->string().find_first_of("\r\n") == std::string::npos &&
      brevalo::ParseProgramFile(brevalo::ProgramFileText("x", *host)) != host) {
    std::abort();
  }
  return 0;
}
