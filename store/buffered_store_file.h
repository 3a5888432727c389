// Wrappers that cut the number of system calls of a compaction, which reads and writes every
// record of a document once.
#pragma once

#include <memory>
#include <vector>

#include "store/store_file.h"

namespace brevalo {

// Serves reads from a window of the file read ahead in one piece. Writes go through and drop
// the window. The wrapped file must outlive this one.
class ReadAheadFile : public StoreFile {
 public:
  static constexpr size_t kWindow = 16 * 1024;
  explicit ReadAheadFile(StoreFile& file) : file_(file) {}

  std::optional<uint64_t> Size() override;
  size_t ReadAt(uint64_t offset, void* buffer, size_t size) override;
  bool WriteAt(uint64_t offset, const void* data, size_t size) override;
  bool Flush() override { return file_.Flush(); }
  bool Sync() override { return file_.Sync(); }
  std::optional<FileIdentity> Identity() override { return file_.Identity(); }
  bool Truncate(uint64_t size) override;

 private:
  StoreFile& file_;
  std::optional<uint64_t> size_;
  std::vector<uint8_t> window_;
  uint64_t windowAt_ = 0;
};

// Gathers appended bytes and hands them to the file in large pieces. For a file that means
// nothing until its header is written (a compacted copy), so Flush waits until a piece is full;
// Sync and every write that is not an append hand everything over first.
class AppendBufferFile : public StoreFile {
 public:
  static constexpr size_t kPiece = 256 * 1024;
  explicit AppendBufferFile(std::unique_ptr<StoreFile> file) : file_(std::move(file)) {}

  std::optional<uint64_t> Size() override;
  size_t ReadAt(uint64_t offset, void* buffer, size_t size) override;
  bool WriteAt(uint64_t offset, const void* data, size_t size) override;
  bool Flush() override;
  bool Sync() override { return HandOver() && file_->Sync(); }
  std::optional<FileIdentity> Identity() override { return file_->Identity(); }
  bool TryLockForWriting() override { return file_->TryLockForWriting(); }
  bool Truncate(uint64_t size) override { return HandOver() && file_->Truncate(size); }

 private:
  bool HandOver();

  std::unique_ptr<StoreFile> file_;
  std::vector<uint8_t> pending_;
  uint64_t pendingAt_ = 0;
};

}  // namespace brevalo
