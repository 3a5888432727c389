#include "store/memory_store_file.h"

#include <algorithm>
#include <cstring>

namespace brevalo {
namespace {

constexpr uint64_t kSectorSize = 512;

void Apply(std::vector<uint8_t>& file, uint64_t offset, const uint8_t* data, size_t size) {
  if (file.size() < offset + size) file.resize(offset + size);
  std::memcpy(file.data() + offset, data, size);
}

// A file in memory is its data object: replacing or removing the path makes another one.
FileIdentity IdentityOfData(const MemoryFileData* data) {
  return FileIdentity{0, reinterpret_cast<uintptr_t>(data)};
}

class MemoryStoreFile : public StoreFile {
 public:
  MemoryStoreFile(MemoryStoreFileSystem& system, std::shared_ptr<MemoryFileData> data,
                  bool readOnly)
      : system_(system), data_(std::move(data)), readOnly_(readOnly) {}
  ~MemoryStoreFile() override {
    if (holdsLock_) data_->writerLocked = false;
  }
  MemoryStoreFile(const MemoryStoreFile&) = delete;
  MemoryStoreFile& operator=(const MemoryStoreFile&) = delete;

  bool TryLockForWriting() override {
    if (holdsLock_) return true;
    if (data_->writerLocked) return false;
    data_->writerLocked = holdsLock_ = true;
    return true;
  }

  bool Truncate(uint64_t size) override {
    if (readOnly_ || !system_.AllowWrite()) return false;
    data_->bytes.resize(size);
    return true;
  }

  std::optional<uint64_t> Size() override { return data_->bytes.size(); }

  size_t ReadAt(uint64_t offset, void* buffer, size_t size) override {
    // An empty vector's buffer may be null, and memcpy takes no null even for no bytes.
    if (size == 0 || offset >= data_->bytes.size()) return 0;
    size_t count = std::min<uint64_t>(size, data_->bytes.size() - offset);
    std::memcpy(buffer, data_->bytes.data() + offset, count);
    return count;
  }

  bool WriteAt(uint64_t offset, const void* data, size_t size) override {
    if (readOnly_) return false;
    const auto* bytes = static_cast<const uint8_t*>(data);
    if (!system_.AllowWrite()) {
      Apply(data_->bytes, offset, bytes, std::min(size, system_.Landing()));
      return false;
    }
    Apply(data_->bytes, offset, bytes, size);
    if (data_->keepHistory) data_->history.push_back({offset, {bytes, bytes + size}});
    return true;
  }

  bool Flush() override { return true; }

  bool Sync() override {
    data_->synced = data_->bytes;
    return true;
  }

  std::optional<FileIdentity> Identity() override { return IdentityOfData(data_.get()); }

 private:
  MemoryStoreFileSystem& system_;
  std::shared_ptr<MemoryFileData> data_;
  bool readOnly_;
  bool holdsLock_ = false;
};

}  // namespace

std::vector<uint8_t> MemoryFileData::CutAfter(uint64_t writtenBytes) const {
  std::vector<uint8_t> file;
  uint64_t budget = writtenBytes;
  for (const Write& write : history) {
    if (budget == 0) break;
    bool oneSector = write.offset + write.bytes.size() <= kSectorSize;
    if (oneSector && budget < write.bytes.size()) break;
    size_t count = std::min<uint64_t>(budget, write.bytes.size());
    Apply(file, write.offset, write.bytes.data(), count);
    budget -= count;
  }
  return file;
}

uint64_t MemoryFileData::HistoryBytes() const {
  uint64_t total = 0;
  for (const Write& write : history) total += write.bytes.size();
  return total;
}

std::unique_ptr<StoreFile> MemoryStoreFileSystem::Open(std::u16string_view path,
                                                       StoreOpenMode mode) {
  auto found = files_.find(path);
  if (mode == StoreOpenMode::kReadWrite || mode == StoreOpenMode::kReadOnly) {
    if (found == files_.end()) return nullptr;
    return std::make_unique<MemoryStoreFile>(*this, found->second, mode == StoreOpenMode::kReadOnly);
  }
  if (found == files_.end()) {
    found = files_.emplace(std::u16string(path), std::make_shared<MemoryFileData>()).first;
  }
  if (mode == StoreOpenMode::kCreateTruncate) {
    // Keep the same data object so that a test holding it sees the new contents.
    found->second->bytes.clear();
    found->second->synced.clear();
    found->second->history.clear();
  }
  return std::make_unique<MemoryStoreFile>(*this, found->second, false);
}

bool MemoryStoreFileSystem::Copy(std::u16string_view from, std::u16string_view to) {
  auto source = files_.find(from);
  if (source == files_.end() || to == failCopyTo_) return false;
  std::vector<uint8_t> copied = source->second->bytes;
  if (to == cutCopyTo_ && copied.size() > cutCopyKeep_) copied.resize(cutCopyKeep_);
  Put(to, std::move(copied));
  return true;
}

bool MemoryStoreFileSystem::Remove(std::u16string_view path) {
  auto found = files_.find(path);
  if (found == files_.end()) return false;
  files_.erase(found);
  return true;
}

std::optional<FileIdentity> MemoryStoreFileSystem::IdentityOf(std::u16string_view path) {
  auto found = files_.find(path);
  if (found == files_.end()) return std::nullopt;
  return IdentityOfData(found->second.get());
}

bool MemoryStoreFileSystem::Exists(std::u16string_view path) const {
  return files_.find(path) != files_.end();
}

std::shared_ptr<MemoryFileData> MemoryStoreFileSystem::File(std::u16string_view path) const {
  auto found = files_.find(path);
  return found == files_.end() ? nullptr : found->second;
}

std::vector<uint8_t> MemoryStoreFileSystem::Bytes(std::u16string_view path) const {
  auto data = File(path);
  return data ? data->bytes : std::vector<uint8_t>{};
}

void MemoryStoreFileSystem::Put(std::u16string_view path, std::vector<uint8_t> bytes) {
  auto data = std::make_shared<MemoryFileData>();
  data->synced = bytes;
  data->bytes = std::move(bytes);
  files_[std::u16string(path)] = std::move(data);
}

void MemoryStoreFileSystem::FailWrite(int n, bool fromThenOn, size_t landing) {
  failAt_ = writesSeen_ + n;
  failFromThenOn_ = fromThenOn;
  landing_ = landing;
}

bool MemoryStoreFileSystem::AllowWrite() {
  ++writesSeen_;
  if (failAt_ == 0) return true;
  if (writesSeen_ == failAt_) return false;
  return !(failFromThenOn_ && writesSeen_ > failAt_);
}

}  // namespace brevalo
