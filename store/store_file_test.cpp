#include "store/store_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "device/code_page.h"
#include "store/index_offset_memory.h"
#include "store/message_store.h"

namespace brevalo {
namespace {

class PosixStoreFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = std::filesystem::temp_directory_path() /
          ("store_file_test_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
           "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
  }
  void TearDown() override { std::filesystem::remove_all(dir); }
  std::u16string Path(const char* name) const { return FromUtf8((dir / name).string()); }
  std::string Contents(const char* name) const {
    std::ifstream in(dir / name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  std::filesystem::path dir;
  PosixStoreFileSystem files{PosixStoreFileSystem::HostPaths()};
};

TEST_F(PosixStoreFileTest, WritesReadsAndKeepsContentsOnReopen) {
  EXPECT_EQ(files.Open(Path("a.kvt"), StoreOpenMode::kReadWrite), nullptr);
  {
    auto file = files.Open(Path("a.kvt"), StoreOpenMode::kCreateTruncate);
    ASSERT_NE(file, nullptr);
    ASSERT_TRUE(file->WriteAt(4, "tail", 4));
    ASSERT_TRUE(file->WriteAt(0, "head", 4));
    EXPECT_TRUE(file->Flush());
    EXPECT_TRUE(file->Sync());
    EXPECT_EQ(file->Size(), 8u);
  }
  auto file = files.Open(Path("a.kvt"), StoreOpenMode::kReadWrite);
  ASSERT_NE(file, nullptr);
  char buffer[16] = {};
  EXPECT_EQ(file->ReadAt(2, buffer, sizeof buffer), 6u) << "a short read at the end";
  EXPECT_EQ(std::string(buffer, 6), "adtail");
  EXPECT_EQ(file->ReadAt(100, buffer, 4), 0u);
  file.reset();
  EXPECT_EQ(files.Open(Path("a.kvt"), StoreOpenMode::kCreateTruncate)->Size(), 0u);
}

TEST_F(PosixStoreFileTest, CopyReplacesWholeOrNotAtAll) {
  std::ofstream(dir / "from") << "new contents";
  std::ofstream(dir / "to") << "old";
  EXPECT_TRUE(files.Copy(Path("from"), Path("to")));
  EXPECT_EQ(Contents("to"), "new contents");
  EXPECT_FALSE(files.Copy(Path("missing"), Path("to")));
  EXPECT_EQ(Contents("to"), "new contents");
  EXPECT_FALSE(files.Copy(Path("from"), Path("no such dir/to")));
  EXPECT_TRUE(files.Remove(Path("from")));
  EXPECT_FALSE(files.Remove(Path("from")));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 1)
      << "no partial copy is left behind";
}

TEST_F(PosixStoreFileTest, DocumentRoundTripsOnDisk) {
  CodePage codePage;
  InMemoryIndexOffsetMemory offsets;
  FolderTree tree;
  {
    MessageStore store(files, offsets, codePage);
    ASSERT_TRUE(store.Create(Path("doc.kvt"), StoreHeader{}));
    uint32_t offset = store.AppendRecordWithBody(std::string("on disk\0", 8));
    ASSERT_NE(offset, 0u);
    tree.InsertLastChild(tree.Root(), u"m", kImageRead, NodeData{offset, 0, 0});
    store.SetTreeChanged();
    ASSERT_TRUE(store.Save(tree));
    EXPECT_EQ(store.Compress(tree, [](const std::u16string&) { return true; }),
              CompressResult::kDone);
  }
  EXPECT_TRUE(std::filesystem::exists(dir / "doc.kvt.bak"));
  EXPECT_FALSE(std::filesystem::exists(dir / "doc.kvt.ban"));
  MessageStore reader(files, offsets, codePage);
  FolderTree shown;
  ASSERT_TRUE(reader.Open(Path("doc.kvt")));
  ASSERT_TRUE(reader.LoadIndex(shown));
  ASSERT_EQ(shown.Count(), 1u);
  ASSERT_TRUE(reader.ReadRecord(shown.Root().Child(0)->Data().offset));
  EXPECT_EQ(reader.ReadBodyText(), u"on disk");
}

}  // namespace
}  // namespace brevalo
