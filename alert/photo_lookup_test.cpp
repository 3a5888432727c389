// The photo of a message: the contact's own photo first, in the order of the extensions, then
// the filter's picture, then the default photo.
#include "alert/photo_lookup.h"

#include <gtest/gtest.h>

#include "alert/fake_file_source.h"

namespace brevalo {
namespace {

constexpr char16_t kFolder[] = u"\\Program Files\\Velmora\\photo\\";

class PhotoLookupTest : public ::testing::Test {
 protected:
  PhotoRequest Request(std::u16string sender, bool contact, std::u16string picture = u"") {
    return {std::move(sender), contact, std::move(picture), kFolder, u"\\My Documents\\default.jpg"};
  }
  std::u16string Found(const PhotoRequest& request) {
    std::optional<FoundPhoto> found = FindPhoto(files_, request);
    return found ? found->path : u"(none)";
  }
  testing::FakeFileSource files_;
};

TEST_F(PhotoLookupTest, AContactsGifComesBeforeTheJpgAndBeforeTheFiltersPhoto) {
  files_.Put(std::u16string(kFolder) + u"Ann.gif", "gif");
  files_.Put(std::u16string(kFolder) + u"Ann.jpg", "jpg");
  files_.Put(u"\\My Documents\\filter.bmp", "bmp");
  EXPECT_EQ(Found(Request(u"Ann", true, u"\\My Documents\\filter.bmp")), std::u16string(kFolder) + u"Ann.gif");
  EXPECT_EQ(files_.Reads(std::u16string(kFolder) + u"Ann.bmp"), 1);
  EXPECT_EQ(files_.Reads(std::u16string(kFolder) + u"Ann.jpg"), 0);
  EXPECT_EQ(FindPhoto(files_, Request(u"Ann", true))->bytes, "gif");
}

TEST_F(PhotoLookupTest, AStrangerGetsTheFilterPhotoThenTheDefaultThenNothing) {
  files_.Put(std::u16string(kFolder) + u"13900.bmp", "bmp");
  files_.Put(u"\\My Documents\\filter.bmp", "filter");
  // The sender line of a stranger is a number: no contact look-up, even where a file matches.
  EXPECT_EQ(Found(Request(u"13900", false, u"\\My Documents\\filter.bmp")), u"\\My Documents\\filter.bmp");
  EXPECT_EQ(files_.Reads(std::u16string(kFolder) + u"13900.bmp"), 0);
  EXPECT_EQ(Found(Request(u"13900", false)), u"(none)");
  files_.Put(u"\\My Documents\\default.jpg", "default");
  EXPECT_EQ(Found(Request(u"13900", false)), u"\\My Documents\\default.jpg");
  EXPECT_EQ(Found(Request(u"13900", false, u"\\My Documents\\missing.bmp")), u"\\My Documents\\default.jpg");
}

TEST_F(PhotoLookupTest, AContactWithoutAPhotoAndNamesThatCannotBeFiles) {
  EXPECT_EQ(PhotoCandidates(Request(u"Bob", true)),
            (std::vector<std::u16string>{std::u16string(kFolder) + u"Bob.bmp", std::u16string(kFolder) + u"Bob.gif",
                                         std::u16string(kFolder) + u"Bob.jpg", u"\\My Documents\\default.jpg"}));
  EXPECT_EQ(PhotoCandidates(Request(u"..\\..\\Windows\\x", true)).size(), 1u);
  EXPECT_EQ(PhotoCandidates(Request(u"", true)).size(), 1u);
  EXPECT_EQ(PhotoCandidates(Request(u"..", true)).size(), 1u);
}

}  // namespace
}  // namespace brevalo
