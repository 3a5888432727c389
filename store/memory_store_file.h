// Document files in memory, for tests and fuzzing: faults on demand (fail the n-th write, or every
// write from then on, or a copy), and crashes (keep only what was synced, or replay the writes up
// to any byte).
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "store/store_file.h"

namespace brevalo {

struct MemoryFileData {
  struct Write {
    uint64_t offset;
    std::vector<uint8_t> bytes;
  };
  std::vector<uint8_t> bytes;
  std::vector<uint8_t> synced;  // the contents at the last Sync
  bool writerLocked = false;    // a handle holds the writer lock
  bool keepHistory = false;
  std::vector<Write> history;  // every successful write, in order, when keepHistory

  // The file as a crash would leave it after the first `writtenBytes` bytes of the history had
  // reached the disk. A write inside the first sector (the header) lands whole or not at all, as
  // a disk writes one sector at once; every other write may be cut at any byte.
  std::vector<uint8_t> CutAfter(uint64_t writtenBytes) const;
  uint64_t HistoryBytes() const;
};

class MemoryStoreFileSystem : public StoreFileSystem {
 public:
  std::unique_ptr<StoreFile> Open(std::u16string_view path, StoreOpenMode mode) override;
  bool Copy(std::u16string_view from, std::u16string_view to) override;
  bool Remove(std::u16string_view path) override;
  std::optional<FileIdentity> IdentityOf(std::u16string_view path) override;

  bool Exists(std::u16string_view path) const;
  // Nothing when the file does not exist.
  std::shared_ptr<MemoryFileData> File(std::u16string_view path) const;
  std::vector<uint8_t> Bytes(std::u16string_view path) const;
  void Put(std::u16string_view path, std::vector<uint8_t> bytes);

  // The `n`-th write from now (1 = the next one) fails, and every later one too when `fromThenOn`.
  // A failing write still lands its first `landing` bytes, as a full disk would.
  void FailWrite(int n, bool fromThenOn = false, size_t landing = 0);
  // Writes succeed again, as after the disk got room.
  void HealWrites() { failAt_ = 0; }
  void FailCopyTo(std::u16string_view path) { failCopyTo_ = std::u16string(path); }
  // A copy to `path` arrives cut off after `keep` bytes, as from a failing disk.
  void CutCopyTo(std::u16string_view path, size_t keep) {
    cutCopyTo_ = std::u16string(path);
    cutCopyKeep_ = keep;
  }
  int WritesSeen() const { return writesSeen_; }

  // Used by the files: false when the fault plan says this write fails.
  bool AllowWrite();
  size_t Landing() const { return landing_; }

 private:
  std::map<std::u16string, std::shared_ptr<MemoryFileData>, std::less<>> files_;
  int writesSeen_ = 0;
  int failAt_ = 0;  // write number (counted by writesSeen_) that fails; 0 = none
  bool failFromThenOn_ = false;
  size_t landing_ = 0;
  std::u16string failCopyTo_;
  std::u16string cutCopyTo_;
  size_t cutCopyKeep_ = 0;
};

}  // namespace brevalo
