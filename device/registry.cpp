#include "device/registry.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <functional>
#include <mutex>

#include "device/file_replace.h"
#include "device/registry_text.h"
#include "device/text_case.h"

namespace brevalo {
namespace fs = std::filesystem;

namespace {

// What identifies one version of the file: rename gives every write a new inode.
struct FileStamp {
  ino_t inode = 0;
  off_t size = -1;
  timespec modified{};
  bool operator==(const FileStamp& o) const {
    return inode == o.inode && size == o.size && modified.tv_sec == o.modified.tv_sec &&
           modified.tv_nsec == o.modified.tv_nsec;
  }
};

FileStamp StampOf(const fs::path& file) {
  struct stat info {};
  if (stat(file.c_str(), &info) != 0) return {};
  return {info.st_ino, info.st_size, info.st_mtim};
}

bool ReadWhole(const fs::path& file, std::string* text, bool* missing) {
  *missing = false;
  int fd = open(file.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    *missing = errno == ENOENT;
    return *missing;
  }
  text->clear();
  char buffer[65536];
  ssize_t n;
  while ((n = read(fd, buffer, sizeof buffer)) > 0) text->append(buffer, static_cast<size_t>(n));
  close(fd);
  return n == 0;
}

}  // namespace

struct Registry::State {
  fs::path file;
  std::mutex mutex;
  RegistryTree tree;
  FileStamp stamp;
  bool loaded = false;
  bool damaged = false;
  std::string error;

  // Re-reads the file when another process has replaced it since we last read it.
  bool Refresh() {
    FileStamp now = StampOf(file);
    if (loaded && now == stamp) return !damaged;
    std::string text;
    bool missing = false;
    if (!ReadWhole(file, &text, &missing)) {
      damaged = true;
      error = file.string() + ": " + std::strerror(errno);
      return false;
    }
    RegistryTree fresh;
    std::string reason;
    if (!missing && !ParseRegistryText(text, &fresh, &reason)) {
      damaged = true;
      error = file.string() + ":" + reason;
      stamp = now;
      loaded = true;
      return false;
    }
    tree = std::move(fresh);
    stamp = now;
    loaded = true;
    damaged = false;
    error.clear();
    return true;
  }

  // Applies change to the newest contents and writes the result through; the old file stays
  // whole until the rename, so a writer killed at any point leaves the old or the new version.
  bool Change(const std::function<bool(RegistryTree&)>& change) {
    FileChangeLock lock(file);
    if (!lock.held()) {
      error = file.string() + ": cannot lock: " + std::strerror(errno);
      return false;
    }
    loaded = false;  // a writer may have replaced the file within our stamp's resolution
    if (!Refresh()) return false;
    if (!change(tree)) return false;
    return WriteThrough();
  }

  bool WriteThrough() {
    if (!ReplaceFileContents(file, FormatRegistryText(tree))) {
      error = file.string() + ": cannot write: " + std::strerror(errno);
      loaded = false;  // what is in memory no longer matches the file
      return false;
    }
    stamp = StampOf(file);
    return true;
  }

  // Runs a read against the newest contents; a damaged file reads as what was last good.
  template <typename Read>
  auto Look(Read read) {
    std::lock_guard guard(mutex);
    Refresh();
    return read(tree);
  }
};

Registry::Registry(fs::path file) : state_(std::make_unique<State>()) {
  state_->file = std::move(file);
}

Registry::~Registry() = default;

bool Registry::Load() {
  std::lock_guard guard(state_->mutex);
  state_->loaded = false;
  return state_->Refresh();
}

const std::string& Registry::LastError() const { return state_->error; }

bool Registry::CreateKey(RegRoot root, std::u16string_view key) {
  auto path = RegistryTree::SplitKey(key);
  if (!path) return false;
  std::lock_guard guard(state_->mutex);
  return state_->Change([&](RegistryTree& tree) { return tree.Create(root, *path) != nullptr; });
}

bool Registry::KeyExists(RegRoot root, std::u16string_view key) {
  auto path = RegistryTree::SplitKey(key);
  if (!path) return false;
  return state_->Look([&](RegistryTree& tree) { return tree.Find(root, *path) != nullptr; });
}

bool Registry::DeleteKey(RegRoot root, std::u16string_view key) {
  auto path = RegistryTree::SplitKey(key);
  if (!path) return false;
  std::lock_guard guard(state_->mutex);
  return state_->Change([&](RegistryTree& tree) { return tree.Delete(root, *path); });
}

std::vector<std::u16string> Registry::SubKeys(RegRoot root, std::u16string_view key) {
  auto path = RegistryTree::SplitKey(key);
  if (!path) return {};
  return state_->Look([&](RegistryTree& tree) {
    std::vector<std::u16string> names;
    if (RegKeyNode* node = tree.Find(root, *path)) {
      for (const auto& [folded, child] : node->children) names.push_back(child->name);
    }
    return names;
  });
}

std::vector<std::u16string> Registry::ValueNames(RegRoot root, std::u16string_view key) {
  auto path = RegistryTree::SplitKey(key);
  if (!path) return {};
  return state_->Look([&](RegistryTree& tree) {
    std::vector<std::u16string> names;
    if (RegKeyNode* node = tree.Find(root, *path)) {
      for (const auto& [folded, named] : node->values) names.push_back(named.first);
    }
    return names;
  });
}

std::optional<RegValue> Registry::Query(RegRoot root, std::u16string_view key,
                                        std::u16string_view name) {
  auto path = RegistryTree::SplitKey(key);
  if (!path) return std::nullopt;
  return state_->Look([&](RegistryTree& tree) -> std::optional<RegValue> {
    RegKeyNode* node = tree.Find(root, *path);
    if (node == nullptr) return std::nullopt;
    auto it = node->values.find(FoldCase(name));
    if (it == node->values.end()) return std::nullopt;
    return it->second.second;
  });
}

std::optional<std::u16string> Registry::QueryString(RegRoot root, std::u16string_view key,
                                                    std::u16string_view name) {
  std::optional<RegValue> value = Query(root, key, name);
  if (!value || value->type != REG_SZ) return std::nullopt;
  return value->text;
}

std::optional<uint32_t> Registry::QueryDword(RegRoot root, std::u16string_view key,
                                             std::u16string_view name) {
  std::optional<RegValue> value = Query(root, key, name);
  if (!value || value->type != REG_DWORD) return std::nullopt;
  return value->dword;
}

bool Registry::Set(RegRoot root, std::u16string_view key, std::u16string_view name,
                   const RegValue& value) {
  auto path = RegistryTree::SplitKey(key);
  if (!path) return false;
  if (value.type != REG_SZ && value.type != REG_DWORD && value.type != REG_BINARY) return false;
  std::lock_guard guard(state_->mutex);
  return state_->Change([&](RegistryTree& tree) {
    RegKeyNode* node = tree.Create(root, *path);
    RegValue stored;
    stored.type = value.type;
    if (value.type == REG_SZ) stored.text = value.text;
    if (value.type == REG_DWORD) stored.dword = value.dword;
    if (value.type == REG_BINARY) stored.bytes = value.bytes;
    node->values[FoldCase(name)] = {std::u16string(name), std::move(stored)};
    return true;
  });
}

bool Registry::SetString(RegRoot root, std::u16string_view key, std::u16string_view name,
                         std::u16string_view text) {
  RegValue value;
  value.type = REG_SZ;
  value.text = text;
  return Set(root, key, name, value);
}

bool Registry::SetDword(RegRoot root, std::u16string_view key, std::u16string_view name,
                        uint32_t number) {
  RegValue value;
  value.type = REG_DWORD;
  value.dword = number;
  return Set(root, key, name, value);
}

bool Registry::SetBinary(RegRoot root, std::u16string_view key, std::u16string_view name,
                         const std::vector<uint8_t>& bytes) {
  RegValue value;
  value.type = REG_BINARY;
  value.bytes = bytes;
  return Set(root, key, name, value);
}

bool Registry::DeleteValue(RegRoot root, std::u16string_view key, std::u16string_view name) {
  auto path = RegistryTree::SplitKey(key);
  if (!path) return false;
  std::lock_guard guard(state_->mutex);
  return state_->Change([&](RegistryTree& tree) {
    RegKeyNode* node = tree.Find(root, *path);
    return node != nullptr && node->values.erase(FoldCase(name)) == 1;
  });
}

}  // namespace brevalo
