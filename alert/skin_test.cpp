// Loading skins: the pair of files, the fall-back to the built-in look, the shaping rule, the
// font rule, loads that cost nothing, and the skin list of the choosers.
#include "alert/skin.h"

#include <gtest/gtest.h>

#include "alert/fake_file_source.h"
#include "alert/skin_artwork.h"
#include "alert/skin_list.h"

namespace brevalo {
namespace {

constexpr char16_t kBlue[] = u"\\Program Files\\Velmora\\skins\\Blue.cfg";
constexpr char16_t kBlueBmp[] = u"\\Program Files\\Velmora\\skins\\Blue.bmp";

class RecordingWindow : public SkinWindow {
 public:
  void PlaceSkinWindow(const SkinValues& values, const std::vector<ShapeBlock>* shape) override {
    ++places;
    placed = values;
    shaped = shape != nullptr;
    runs = 0;
    if (shape) {
      for (const ShapeBlock& block : *shape) runs += block.size();
    }
  }
  int places = 0;
  SkinValues placed;
  bool shaped = false;
  size_t runs = 0;
};

class SkinTest : public ::testing::Test {
 protected:
  void PutBlue(const std::string& cfg) {
    Bitmap b(40, 20, Rgb(255, 0, 255));
    for (int x = 10; x < 30; ++x) b.At(x, 5) = Rgb(0, 0, 200);  // one run
    files_.Put(kBlueBmp, EncodeBmp(b));
    files_.Put(kBlue, "[DudadOruv Skin SP]\r\n" + cfg);
  }

  testing::FakeFileSource files_;
  RecordingWindow window_;
  Skin skin_{window_, files_, 96};
};

TEST_F(SkinTest, ASkinIsItsCfgAndTheBitmapOfTheSameName) {
  PutBlue("DialogLeft=3\r\nDialogWidth=40\r\nTransparentColor=255,0,255\r\n");
  skin_.Load(kBlue, true);
  EXPECT_FALSE(skin_.BuiltIn());
  EXPECT_TRUE(skin_.Applied());
  EXPECT_EQ(skin_.Background().width, 40);
  EXPECT_EQ(window_.places, 1);
  EXPECT_EQ(window_.placed.left, 3);
  EXPECT_EQ(window_.placed.top, 59);
  EXPECT_TRUE(window_.shaped);
  EXPECT_EQ(window_.runs, 1u);
  EXPECT_EQ(skin_.FontHeight(), -12);  // 9 points at 96 pixels an inch
}

TEST_F(SkinTest, TheSameSkinTwiceReadsNothingTheSecondTime) {
  PutBlue("TransparentColor=1,2,3\r\n");
  skin_.Load(kBlue, true);
  int reads = files_.TotalReads();
  uint64_t generation = skin_.Generation();
  skin_.Load(kBlue, true);
  EXPECT_EQ(files_.TotalReads(), reads);
  EXPECT_EQ(skin_.Generation(), generation);
  EXPECT_EQ(window_.places, 1);
  skin_.Load(kBlue, false);  // another apply flag is another load
  EXPECT_GT(files_.TotalReads(), reads);
  EXPECT_FALSE(skin_.Applied());
  EXPECT_EQ(window_.places, 1);
}

TEST_F(SkinTest, WithoutItsBitmapOrCfgTheSkinFallsBackToTheBuiltInOne) {
  PutBlue("DialogLeft=3\r\n");
  files_.Remove(kBlueBmp);
  files_.Put(u"\\Program Files\\Velmora\\skins\\Blue2.bmp", "renamed");
  skin_.Load(kBlue, false);
  EXPECT_TRUE(skin_.BuiltIn());
  EXPECT_TRUE(skin_.Applied());  // the built-in skin is always applied
  EXPECT_EQ(skin_.Values(), BuiltInSkinValues());
  EXPECT_EQ(skin_.Values().photoRect, (SkinRect{5, 30, 45, 70}));
  EXPECT_TRUE(window_.shaped);
  EXPECT_EQ(files_.Reads(kBlue), 0);  // the bitmap is tried first

  PutBlue("DialogLeft=3\r\n");
  files_.Put(kBlueBmp, "not a bitmap");
  skin_.Load(u"\\Program Files\\Velmora\\skins\\Blue.CFG", true);
  EXPECT_TRUE(skin_.BuiltIn());

  PutBlue("");
  files_.Remove(kBlue);  // the bitmap alone is no skin
  skin_.Load(kBlue, true);
  EXPECT_TRUE(skin_.BuiltIn());
}

TEST_F(SkinTest, OnlyAPresentValidNonBlackKeyColourShapesASkinFile) {
  PutBlue("TransparentColor=0,0,0\r\n");
  skin_.Load(kBlue, true);
  EXPECT_EQ(window_.places, 1);
  EXPECT_FALSE(window_.shaped);

  files_.Put(kBlue, "DialogLeft=1\r\nTransparentColor=255,0,255\r\n");  // no section
  skin_.Load(kBlue, false);
  skin_.Load(kBlue, true);
  EXPECT_FALSE(skin_.BuiltIn());
  EXPECT_EQ(window_.places, 2);
  EXPECT_FALSE(window_.shaped);
  EXPECT_EQ(window_.placed, FileSkinDefaults());
}

TEST_F(SkinTest, TheEmptyPathIsTheBuiltInSkinAndLoadsOnce) {
  skin_.Load(u"", true);
  EXPECT_TRUE(skin_.BuiltIn());
  EXPECT_EQ(window_.places, 1);
  skin_.Load(u"", true);
  EXPECT_EQ(window_.places, 1);
  EXPECT_EQ(files_.TotalReads(), 0);
  EXPECT_EQ(skin_.Background().width, 150);
  EXPECT_EQ(skin_.Background().height, 95);
}

TEST(SkinFontTest, HeightFromPointsAndPixelsPerInch) {
  EXPECT_EQ(SkinFontHeight(9, 96), -12);
  EXPECT_EQ(SkinFontHeight(-12, 96), 16);  // a negative size gives a positive height
  EXPECT_EQ(SkinFontHeight(10, 96), -13);  // 13.33 truncated
  EXPECT_EQ(SkinFontHeight(-10, 96), 13);
  EXPECT_EQ(SkinFontHeight(2147483647, 192), -2147483647 - 1);
  EXPECT_EQ(SkinBitmapPath(u"\\a\\Blue.cfg"), u"\\a\\Blue.bmp");
  EXPECT_EQ(SkinBitmapPath(u"cf"), u"");
}

class ListedFiles : public DeviceFiles {
 public:
  std::optional<std::vector<DeviceFileEntry>> List(std::u16string_view folder) override {
    if (folder != u"\\P\\skins\\") return std::nullopt;
    return std::vector<DeviceFileEntry>{{u"Zed.cfg", true}, {u"Blue.bmp", true}, {u"old.cfg", false},
                                        {u"Blue.CFG", true}, {u"a.b.cfg", true}};
  }
  bool FileExists(std::u16string_view) override { return false; }
};

TEST(SkinListTest, DefaultComesFirstThenTheCfgFilesAsListed) {
  ListedFiles files;
  std::vector<std::u16string> choices = SkinChoices(files, u"\\P\\", u"Default");
  EXPECT_EQ(choices, (std::vector<std::u16string>{u"Default", u"Zed", u"Blue", u"a.b"}));
  EXPECT_EQ(SkinPathOfChoice(u"\\P\\", choices, 2), u"\\P\\skins\\Blue.cfg");
  EXPECT_EQ(SkinPathOfChoice(u"\\P\\", choices, 0), u"");
  EXPECT_EQ(SkinPathOfChoice(u"\\P\\", choices, 9), u"");
  EXPECT_EQ(SkinChoices(files, u"\\Q\\", u"Default").size(), 1u);
}

}  // namespace
}  // namespace brevalo
