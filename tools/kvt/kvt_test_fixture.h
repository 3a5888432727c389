// The kvt tests' device: a folder of its own with fixed date pictures, kvt run on it as a user
// runs it, and the document file read as bytes or through the store.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "device/device_paths.h"
#include "device/device_properties.h"
#include "device/registry.h"
#include "store/folder_tree.h"
#include "store/index_offset_memory.h"
#include "store/message_store.h"
#include "store/store_file.h"
#include "tests/support/shell_command.h"

namespace brevalo {
namespace fs = std::filesystem;
using nlohmann::json;

using Result = testing::ShellResult;

inline std::string ReadFile(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

inline uint32_t Word(const std::string& bytes, size_t at) {
  uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
  return value;
}

class KvtTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/kvt-test-XXXXXX";
    dir_ = mkdtemp(pattern);
    fs::create_directories(dir_ / "fs/My Documents");
    Registry registry(dir_ / "registry.reg");
    // Fixed pictures, so that exported dates can be compared byte for byte.
    registry.SetString(RegRoot::CurrentUser, kInternationalKey, kShortDateValue, u"yyyy-MM-dd");
    registry.SetString(RegRoot::CurrentUser, kInternationalKey, kTimeFormatValue, u"HH:mm:ss");
  }
  void TearDown() override { fs::remove_all(dir_); }

  Result Kvt(const std::vector<std::string>& args) {
    return testing::RunTool("kvt", dir_.string(), args);
  }

  json Json(const std::vector<std::string>& args) {
    std::vector<std::string> withJson = {"--json"};
    withJson.insert(withJson.end(), args.begin(), args.end());
    Result result = Kvt(withJson);
    EXPECT_EQ(result.code, 0) << result.err;
    return json::parse(result.out, nullptr, false);
  }

  fs::path Host(const std::string& name) { return dir_ / "fs/My Documents" / name; }

  void Add(const std::string& file, const std::string& folder, const std::string& from,
           const std::string& text, const std::string& date, bool read = false) {
    std::vector<std::string> args = {"add", file, "--folder", folder, "--from", from,
                                     "--text", text, "--date", date};
    if (read) args.push_back("--read");
    Result result = Kvt(args);
    ASSERT_EQ(result.code, 0) << result.err;
  }

  fs::path dir_;
  const std::string doc_ = "\\My Documents\\sms.kvt";
};

// Sets the password of node `index` (in kvt's numbering) as the program's Password... does.
inline void SetNodePassword(const fs::path& device, const std::u16string& path, size_t index,
                     std::u16string_view password) {
  const Device phone(device);  // the resolver keeps a reference to it
  PosixStoreFileSystem files(PosixStoreFileSystem::DevicePaths(phone));
  InMemoryIndexOffsetMemory offsets;
  CodePage page;
  MessageStore store(files, offsets, page);
  ASSERT_TRUE(store.Open(path));
  FolderTree tree;
  ASSERT_TRUE(store.LoadIndex(tree));
  std::vector<TreeNode*> nodes;
  tree.Walk([&](TreeNode& node, int) { nodes.push_back(&node); });
  ASSERT_LT(index, nodes.size());
  ASSERT_TRUE(store.ReadRecord(nodes[index]->Data().offset));
  store.SetRecordPassword(password);
  ASSERT_NE(store.RewriteRecord(nodes[index]->Data().offset), 0u);
  store.Close();
}

}  // namespace brevalo
