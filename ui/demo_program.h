// The start shared by the window system's demo programs: the application, the device of
// `--device DIR`, the phone screen with its remote control, and one window on it published
// under `className`, so that phonesim can drive it.
#pragma once

#include <functional>
#include <memory>
#include <string>

namespace brevalo {

class PhoneScreen;
class PhoneWindow;

// Runs until the application quits; 1 when the remote control cannot start.
int RunDemoProgram(int argc, char** argv, const char* programName, const std::u16string& className,
                   const std::function<std::unique_ptr<PhoneWindow>(PhoneScreen&)>& makeWindow);

}  // namespace brevalo
