// phonesim install leaves sample skins (one shaped, one rectangular), ring tones that the
// random ring lists, and contact photos that the pop-up finds by the contacts' names.
#include <gtest/gtest.h>

#include "alert/file_source.h"
#include "alert/photo_lookup.h"
#include "alert/skin.h"
#include "settings/host_device_files.h"
#include "settings/random_sound_list.h"
#include "tools/phonesim/phonesim_test_device.h"

namespace brevalo {
namespace {

class PhonesimAlertSamplesTest : public testing::PhonesimDevice {};

class PlacedWindow : public SkinWindow {
 public:
  void PlaceSkinWindow(const SkinValues&, const std::vector<ShapeBlock>* shape) override { shaped = shape != nullptr; }
  bool shaped = false;
};

TEST_F(PhonesimAlertSamplesTest, InstallWritesSkinsRingsAndPhotos) {
  ASSERT_EQ(Phonesim("init").code, 0);
  testing::PhonesimRun install = Phonesim("install");
  ASSERT_EQ(install.code, 0);
  EXPECT_NE(install.out.find("installed \\Program Files\\Velmora\\skins\\Ocean.cfg"), std::string::npos);

  DeviceFileSource files(device());
  PlacedWindow window;
  Skin skin(window, files, 96);
  skin.Load(u"\\Program Files\\Velmora\\skins\\Ocean.cfg", true);
  EXPECT_FALSE(skin.BuiltIn());
  EXPECT_TRUE(window.shaped);
  EXPECT_EQ(skin.Values().showPhoto, 1);
  skin.Load(u"\\Program Files\\Velmora\\skins\\Paper.cfg", true);
  EXPECT_FALSE(skin.BuiltIn());
  EXPECT_FALSE(window.shaped);
  EXPECT_EQ(skin.Values().showNumberLabel, 1);

  HostDeviceFiles listing(device());
  RandomSoundList rings = RandomSoundList::Build(listing, u"\\Program Files\\Velmora\\sounds\\");
  EXPECT_EQ(rings.size(), 3u);

  PhotoRequest ann{u"AnnLee", true, u"", u"\\Program Files\\Velmora\\photo\\", u""};
  std::optional<FoundPhoto> photo = FindPhoto(files, ann);
  ASSERT_TRUE(photo);
  EXPECT_EQ(photo->path, u"\\Program Files\\Velmora\\photo\\AnnLee.bmp");
  EXPECT_TRUE(DecodeBmp(photo->bytes));
}

}  // namespace
}  // namespace brevalo
