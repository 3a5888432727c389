#include "ui/demo_program.h"

#include <QApplication>

#include <cstdio>
#include <cstring>

#include "ui/phone_screen.h"
#include "ui/phone_window.h"
#include "ui/screen_remote.h"

namespace brevalo {

int RunDemoProgram(int argc, char** argv, const char* programName, const std::u16string& className,
                   const std::function<std::unique_ptr<PhoneWindow>(PhoneScreen&)>& makeWindow) {
  QApplication app(argc, argv);
  std::string deviceFlag;
  for (int i = 1; i + 1 < argc; ++i) {
    if (std::strcmp(argv[i], "--device") == 0) deviceFlag = argv[i + 1];
  }
  Device device(Device::ResolveDir(deviceFlag));
  PhoneScreen screen(device);
  auto* remote = new ScreenRemote(screen);
  std::string error;
  if (!remote->Listen(&error)) {
    std::fprintf(stderr, "%s: %s\n", programName, error.c_str());
    return 1;
  }
  std::unique_ptr<PhoneWindow> window = makeWindow(screen);
  if (!remote->Publish(window.get(), className, &error)) {
    std::fprintf(stderr, "%s: %s\n", programName, error.c_str());
    return 1;
  }
  screen.ShowWindow(window.get(), true);
  screen.show();
  return app.exec();
}

}  // namespace brevalo
