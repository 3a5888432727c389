// loader.exe: the start-up program that the start-up shortcut runs when the phone starts. Its one
// argument is the quoted device path of the program to start; it starts that program on the
// same device and ends.
#include <cstdio>
#include <string>

#include "device/code_page.h"
#include "device/device_program.h"
#include "device/event_log.h"

int main(int argc, char** argv) {
  if (argc != 2 || argv[1][0] == '\0') {
    std::fprintf(stderr, "loader: usage: loader \"<device path of the program>\"\n");
    return 2;
  }
  const brevalo::Device device(brevalo::Device::ResolveDir(""));
  const std::u16string program = brevalo::FromUtf8(argv[1]);
  std::string error;
  std::optional<pid_t> pid = brevalo::StartDeviceProgram(device, program, &error);
  if (!pid) {
    std::fprintf(stderr, "loader: %s\n", error.c_str());
    brevalo::EventLog(device).Append("program-failed", {{"program", argv[1]}, {"by", "loader"}, {"error", error}});
    return 1;
  }
  brevalo::EventLog(device).Append("program-started", {{"program", argv[1]}, {"by", "loader"}, {"pid", *pid}});
  return 0;
}
