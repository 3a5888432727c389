// velmora [--device DIR]: the program. It runs once per device; a second start asks the
// running one to show itself and ends. The process also draws the phone's screen, which the
// device's tools drive through its remote control.
#include <QApplication>
#include <QSocketNotifier>

#include <fcntl.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>

#include "app/main_commands.h"
#include "app/main_window.h"
#include "app/single_instance.h"
#include "device/mapi_session.h"
#include "ui/phone_screen.h"
#include "ui/screen_remote.h"

namespace brevalo {
namespace {

int closePipe[2] = {-1, -1};

void AskToClose(int) {
  char byte = 1;
  ssize_t ignored = write(closePipe[1], &byte, 1);
  (void)ignored;
}

// The system ending the program (SIGTERM, SIGINT) closes it as Exit does, so that the settings
// and the document are saved on the way out.
void CloseOnSignals(MainWindow& window, QObject& owner) {
  if (pipe2(closePipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
  auto* notifier = new QSocketNotifier(closePipe[0], QSocketNotifier::Read, &owner);
  QObject::connect(notifier, &QSocketNotifier::activated, &owner, [&window] {
    char byte;
    while (read(closePipe[0], &byte, 1) > 0) {
    }
    if (!window.Destroyed()) window.PostMessage(WM_CLOSE, kCloseFromSystem, 0);
  });
  struct sigaction action {};
  action.sa_handler = AskToClose;
  sigemptyset(&action.sa_mask);
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGINT, &action, nullptr);
}

std::string DeviceFlag(int argc, char** argv) {
  for (int i = 1; i + 1 < argc; ++i) {
    if (std::strcmp(argv[i], "--device") == 0) return argv[i + 1];
  }
  return {};
}

int Run(int argc, char** argv) {
  Device device(Device::ResolveDir(DeviceFlag(argc, argv)));
  InstanceClaim claim = ClaimSingleInstance(device);
  if (claim.outcome != InstanceClaim::Outcome::kFirst) return 0;
  // The phone's message store that the import reaches is this device's.
  MapiUseDevice(device.Dir());

  QApplication app(argc, argv);
  PhoneScreen screen(device);
  ScreenRemote remote(screen);
  std::string error;
  if (!remote.Listen(&error)) std::fprintf(stderr, "velmora: no remote control: %s\n", error.c_str());

  MainWindow window(screen);
  window.Create();
  if (!remote.Publish(&window, std::u16string(kMainWindowClass), &error)) {
    std::fprintf(stderr, "velmora: a second start cannot find this one: %s\n", error.c_str());
  }
  CloseOnSignals(window, app);
  screen.show();
  app.exec();
  window.Teardown();
  return 0;
}

}  // namespace
}  // namespace brevalo

int main(int argc, char** argv) { return brevalo::Run(argc, argv); }
