#include "device/named_mapping.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <vector>

#include "device/kernel_names.h"
#include "device/kernel_test_support.h"
#include "device/kernel_wait.h"

namespace brevalo {
namespace {

using testing::Child;
using testing::Pipe;
using testing::TempDevice;

constexpr char16_t kName[] = u"TEST_MAPPING";

bool AllZero(const NamedMapping& mapping) {
  const auto* bytes = static_cast<const unsigned char*>(mapping.Data());
  for (size_t i = 0; i < mapping.Size(); ++i) {
    if (bytes[i] != 0) return false;
  }
  return true;
}

class NamedMappingTest : public ::testing::Test {
 protected:
  std::unique_ptr<NamedMapping> Make(size_t size = 4220) {
    return NamedMapping::Create(temp_.device(), kName, size);
  }
  TempDevice temp_;
};

TEST_F(NamedMappingTest, NewMappingIsZeroedAndSharedWithOtherProcesses) {
  auto mapping = Make();
  ASSERT_NE(mapping, nullptr);
  EXPECT_EQ(mapping->LastError(), 0u);
  EXPECT_EQ(mapping->Size(), 4220u);
  EXPECT_TRUE(AllZero(*mapping));
  Child writer([&] {
    auto own = Make();
    if (own->LastError() != ERROR_ALREADY_EXISTS) return 1;
    std::memcpy(static_cast<char*>(own->Data()) + 4216, "tail", 4);
    return 0;
  });
  ASSERT_EQ(writer.Wait(), 0);
  EXPECT_EQ(std::memcmp(static_cast<char*>(mapping->Data()) + 4216, "tail", 4), 0);
}

TEST_F(NamedMappingTest, SizesMustFitTheExistingMapping) {
  auto mapping = Make(64);
  EXPECT_NE(Make(32), nullptr) << "a smaller view of an existing mapping is fine";
  EXPECT_EQ(Make(65), nullptr) << "a view past its end would fault";
  EXPECT_EQ(Make(0), nullptr);
  EXPECT_EQ(NamedMapping::Create(temp_.device(), u"", 16), nullptr);
}

TEST_F(NamedMappingTest, OpenFindsOnlyWhatExistsWithTheCreatorsSize) {
  EXPECT_EQ(NamedMapping::Open(temp_.device(), kName), nullptr);
  auto created = Make(100);
  auto opened = NamedMapping::Open(temp_.device(), kName);
  ASSERT_NE(opened, nullptr);
  EXPECT_EQ(opened->LastError(), ERROR_ALREADY_EXISTS);
  EXPECT_EQ(opened->Size(), 100u);
  opened.reset();
  created.reset();
  EXPECT_EQ(NamedMapping::Open(temp_.device(), kName), nullptr) << "gone with its last holder";
}

TEST_F(NamedMappingTest, ClosedByEveryoneMeansANewZeroedMapping) {
  {
    auto first = Make();
    std::memset(first->Data(), 0xAB, first->Size());
  }
  auto second = Make();
  EXPECT_EQ(second->LastError(), 0u);
  EXPECT_TRUE(AllZero(*second));
}

TEST_F(NamedMappingTest, ProcessesRacingToCreateBuildItOnce) {
  constexpr int kRacers = 8;
  Pipe go, made, release;
  std::vector<std::unique_ptr<Child>> racers;
  for (int i = 0; i < kRacers; ++i) {
    racers.push_back(std::make_unique<Child>([&] {
      go.Await();
      auto own = Make(sizeof(uint32_t));
      if (own == nullptr) return 3;
      std::atomic_ref<uint32_t>(*static_cast<uint32_t*>(own->Data())).fetch_add(1);
      made.Signal();
      release.Await(20000);
      return own->LastError() == 0 ? 0 : 1;
    }));
  }
  go.Signal(kRacers);
  for (int i = 0; i < kRacers; ++i) ASSERT_TRUE(made.Await(10000));
  auto view = NamedMapping::Open(temp_.device(), kName);
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(*static_cast<uint32_t*>(view->Data()), uint32_t{kRacers})
      << "a racer that rebuilt the mapping would have wiped earlier increments";
  release.Signal(kRacers);
  int creators = 0;
  for (auto& racer : racers) {
    int code = racer->Wait();
    ASSERT_TRUE(code == 0 || code == 1) << code;
    creators += code == 0;
  }
  EXPECT_EQ(creators, 1);
}

TEST_F(NamedMappingTest, HalfBuiltLeftoverOfADeadCreatorIsReplaced) {
  // What a creator leaves when it dies right after creating the name (no size yet) or while
  // building (sized, never marked ready).
  const std::string hostName =
      KernelObjectHostName(temp_.device(), KernelObjectKind::kMapping, kName);
  for (off_t leftoverSize : {off_t{0}, off_t{8192}}) {
    int fd = shm_open(hostName.c_str(), O_RDWR | O_CREAT | O_EXCL, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(ftruncate(fd, leftoverSize), 0);
    close(fd);
    int64_t start = testing::MonotonicMs();
    auto mapping = Make(16);
    ASSERT_NE(mapping, nullptr) << leftoverSize;
    EXPECT_EQ(mapping->LastError(), 0u) << "a leftover is not an object that existed";
    EXPECT_LT(testing::MonotonicMs() - start, 5000);
    mapping.reset();
    EXPECT_EQ(NamedMapping::Open(temp_.device(), kName), nullptr) << "the leftover name is gone";
  }
}

TEST_F(NamedMappingTest, TwoDevicesNeverMeet) {
  TempDevice other;
  auto here = Make();
  std::memset(here->Data(), 0x5A, here->Size());
  auto there = NamedMapping::Create(other.device(), kName, 4220);
  EXPECT_EQ(there->LastError(), 0u);
  EXPECT_TRUE(AllZero(*there));
}

}  // namespace
}  // namespace brevalo
