#include "device/kernel_names.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "device/kernel_test_support.h"

namespace brevalo {
namespace {

using testing::TempDevice;

TEST(KernelObjectHostNameTest, OneDeviceReachedByDifferentPathsHasOneNameSpace) {
  TempDevice temp;
  std::filesystem::path link = temp.dir().string() + "-link";
  std::filesystem::create_directory_symlink(temp.dir(), link);
  Device direct(temp.dir());
  Device roundabout(temp.dir() / "run" / "..");
  Device throughLink(link);
  auto name = KernelObjectHostName(direct, KernelObjectKind::kMutex, u"KVT_SMSDataMutex");
  EXPECT_EQ(name, KernelObjectHostName(roundabout, KernelObjectKind::kMutex, u"KVT_SMSDataMutex"));
  EXPECT_EQ(name, KernelObjectHostName(throughLink, KernelObjectKind::kMutex, u"KVT_SMSDataMutex"));
  std::filesystem::remove(link);
}

TEST(KernelObjectHostNameTest, DevicesKindsAndNamesStayApart) {
  TempDevice first;
  TempDevice second;
  const auto base = KernelObjectHostName(first.device(), KernelObjectKind::kEvent, u"Name");
  EXPECT_NE(base, KernelObjectHostName(second.device(), KernelObjectKind::kEvent, u"Name"));
  EXPECT_NE(base, KernelObjectHostName(first.device(), KernelObjectKind::kMutex, u"Name"));
  // Case-sensitive, and names that share their readable part still differ.
  EXPECT_NE(base, KernelObjectHostName(first.device(), KernelObjectKind::kEvent, u"name"));
  EXPECT_NE(base, KernelObjectHostName(first.device(), KernelObjectKind::kEvent, u"Name\u00e9"));
}

TEST(KernelObjectHostNameTest, AnyObjectNameGivesAValidShmName) {
  TempDevice temp;
  std::u16string awkward(600, u'/');
  awkward += u"\u4e2d..\\ \u0000x";
  auto name = KernelObjectHostName(temp.device(), KernelObjectKind::kMapping, awkward);
  EXPECT_EQ(name.front(), '/');
  EXPECT_EQ(name.find('/', 1), std::string::npos);
  EXPECT_LE(name.size(), 255u);
  for (char c : name) EXPECT_TRUE(c > 0x20 && c < 0x7f) << static_cast<int>(c);
}

TEST(StableHashTest, KnownValuesDoNotDrift) {
  // Processes built at different times must derive the same names.
  EXPECT_EQ(StableHash(""), 0xcbf29ce484222325ull);
  EXPECT_EQ(StableHash("a"), 0xaf63dc4c8601ec8cull);
}

}  // namespace
}  // namespace brevalo
