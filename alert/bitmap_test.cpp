// BMP files in and out, and the shape cut from a known bitmap compared pixel by pixel.
#include "alert/bitmap.h"

#include <gtest/gtest.h>

#include "alert/skin_artwork.h"
#include "alert/skin_shape.h"

namespace brevalo {
namespace {

Bitmap Sample() {
  Bitmap b(5, 3, Rgb(255, 0, 255));
  b.At(1, 0) = Rgb(1, 2, 3);
  b.At(2, 1) = Rgb(255, 255, 255);
  b.At(4, 2) = Rgb(0, 0, 0);
  return b;
}

TEST(BitmapTest, WhatIsWrittenReadsBack) {
  Bitmap b = Sample();
  std::string file = EncodeBmp(b);
  EXPECT_EQ(file.size(), 54u + 3 * 16);  // rows padded to four bytes
  std::optional<Bitmap> back = DecodeBmp(file);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->width, 5);
  EXPECT_EQ(back->height, 3);
  EXPECT_EQ(back->pixels, b.pixels);
}

TEST(BitmapTest, PaletteTopDownAndBitFieldFiles) {
  // 2 × 2 at 8 bits, top-down, a palette of two colours.
  std::string pal = "BM";
  auto put32 = [](std::string& s, uint32_t v) { for (int i = 0; i < 4; ++i) s.push_back(static_cast<char>(v >> (8 * i))); };
  auto put16 = [](std::string& s, uint32_t v) { for (int i = 0; i < 2; ++i) s.push_back(static_cast<char>(v >> (8 * i))); };
  put32(pal, 14 + 40 + 8 + 8);
  put32(pal, 0);
  put32(pal, 14 + 40 + 8);
  put32(pal, 40);
  put32(pal, 2);
  put32(pal, static_cast<uint32_t>(-2));
  put16(pal, 1);
  put16(pal, 8);
  for (uint32_t v : {0u, 8u, 0u, 0u, 2u, 0u}) put32(pal, v);
  put32(pal, 0x00112233);
  put32(pal, 0x00AABBCC);
  pal += std::string("\x00\x01\x00\x00\x01\x05\x00\x00", 8);  // index 5 is past the palette
  std::optional<Bitmap> b = DecodeBmp(pal);
  ASSERT_TRUE(b);
  EXPECT_EQ(b->At(0, 0), 0x112233u);
  EXPECT_EQ(b->At(1, 0), 0xAABBCCu);
  EXPECT_EQ(b->At(0, 1), 0xAABBCCu);
  EXPECT_EQ(b->At(1, 1), 0u);
}

TEST(BitmapTest, DamagedFilesAreRefused) {
  std::string file = EncodeBmp(Sample());
  EXPECT_FALSE(DecodeBmp(file.substr(0, file.size() - 1)));  // a short last row
  EXPECT_FALSE(DecodeBmp(file.substr(0, 20)));
  std::string wrongMagic = file;
  wrongMagic[0] = 'X';
  EXPECT_FALSE(DecodeBmp(wrongMagic));
  std::string compressed = file;
  compressed[30] = 1;  // run-length encoded
  EXPECT_FALSE(DecodeBmp(compressed));
  std::string huge = file;
  huge[18] = '\x00';
  huge[19] = '\x00';
  huge[20] = '\x01';  // 65536 pixels wide
  EXPECT_FALSE(DecodeBmp(huge));
  EXPECT_FALSE(DecodeBmp(""));
}

TEST(SkinShapeTest, TheRegionIsEveryPixelThatDiffersFromTheTopLeftOne) {
  Bitmap b = BuiltInSkinBitmap();
  b.At(75, 50) = b.At(0, 0);  // a hole in the middle
  std::vector<ShapeBlock> blocks = SkinShapeBlocks(b);
  Bitmap covered(b.width, b.height, 0);
  for (const ShapeBlock& block : blocks) {
    for (const ShapeRun& run : block) {
      for (int x = run.x; x < run.x + run.width; ++x) ++covered.At(x, run.y);
    }
  }
  for (int y = 0; y < b.height; ++y) {
    for (int x = 0; x < b.width; ++x) {
      EXPECT_EQ(covered.At(x, y), b.At(x, y) == b.At(0, 0) ? 0u : 1u) << x << "," << y;
    }
  }
  EXPECT_EQ(covered.At(75, 50), 0u);
  EXPECT_EQ(covered.At(75, 49), 1u);
}

TEST(SkinShapeTest, RunsComeInBlocksOfTwoThousand) {
  Bitmap stripes(9, 600, Rgb(0, 0, 0));
  for (int y = 0; y < stripes.height; ++y) {
    for (int x = 1; x < 9; x += 2) stripes.At(x, y) = Rgb(9, 9, 9);  // four runs a row
  }
  std::vector<ShapeBlock> blocks = SkinShapeBlocks(stripes);
  ASSERT_EQ(blocks.size(), 2u);
  EXPECT_EQ(blocks[0].size(), 2000u);
  EXPECT_EQ(blocks[1].size(), 400u);
  EXPECT_EQ(blocks[1].back(), (ShapeRun{7, 599, 1}));
  EXPECT_TRUE(SkinShapeBlocks(Bitmap(4, 4, Rgb(1, 1, 1))).empty());
}

}  // namespace
}  // namespace brevalo
