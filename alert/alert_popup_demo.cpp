// Shows the pop-up of a message from a sample contact, with a sample skin and the contact's
// photo, over the home screen of a throw-away device, and saves the phone screen as a PNG:
//   alert_popup_demo OUT.png [SKIN]      (SKIN: Ocean, Paper or Default)
#include <QApplication>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "alert/alert_popup.h"
#include "alert/alert_samples.h"
#include "settings/host_device_files.h"
#include "settings/program_folder.h"
#include "ui/phone_screen.h"

int main(int argc, char** argv) {
  using namespace brevalo;
  if (argc < 2) {
    std::fprintf(stderr, "usage: alert_popup_demo OUT.png [SKIN]\n");
    return 2;
  }
  QApplication app(argc, argv);
  char pattern[] = "/tmp/alert-demo-XXXXXX";
  if (mkdtemp(pattern) == nullptr) return 1;
  Device device{std::filesystem::path(pattern)};
  for (const SampleFile& sample : AlertSampleFiles()) {
    std::optional<std::filesystem::path> host = device.HostPath(ProgramFolder() + sample.path);
    if (!host) return 1;
    std::filesystem::create_directories(host->parent_path());
    std::ofstream(*host, std::ios::binary) << sample.bytes;
  }
  PhoneScreen screen(device);
  screen.show();
  HostDeviceFiles files(device);
  Settings settings(files);
  DeviceFileSource source(device);
  QString skin = argc > 2 ? argv[2] : "Ocean";
  {
    AlertPopup popup(screen, source, settings);
    if (skin != "Default") popup.LoadSkin(ProgramFolder() + u"skins\\" + skin.toStdU16String() + u".cfg");
    // The sender line of "Ann Lee"<+8613800138000>, a contact: her name without its blank.
    popup.ShowAlert(u"Ten minutes late, order the soup for me!", u"AnnLee", 0, u"", 1);
    popup.WaitForPhotoLookups();
    QApplication::processEvents();
    screen.Screenshot().save(QString::fromLocal8Bit(argv[1]));
  }
  std::filesystem::remove_all(device.Dir());
  return 0;
}
