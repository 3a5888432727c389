// The document file as the store sees it: positioned reads and writes, a flush that hands the
// bytes to the system and a sync that puts them on stable storage. Production code uses the
// POSIX implementation; tests and fuzzing use MemoryStoreFileSystem (memory_store_file.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace brevalo {

class Device;

// Which file an open handle or a path stands for, so that a writer can tell that the path it
// opened still names the file it writes (not a file deleted, or replaced, meanwhile).
struct FileIdentity {
  uint64_t device = 0;
  uint64_t inode = 0;
  bool operator==(const FileIdentity&) const = default;
};

class StoreFile {
 public:
  virtual ~StoreFile() = default;
  // Nothing when the size cannot be learnt.
  virtual std::optional<uint64_t> Size() = 0;
  // Returns the number of bytes read; fewer than size at the end of the file or on an error.
  virtual size_t ReadAt(uint64_t offset, void* buffer, size_t size) = 0;
  // All or nothing from the caller's view: false unless every byte was handed over.
  virtual bool WriteAt(uint64_t offset, const void* data, size_t size) = 0;
  virtual bool Flush() = 0;
  virtual bool Sync() = 0;
  // Nothing when the file cannot tell.
  virtual std::optional<FileIdentity> Identity() { return std::nullopt; }
  // Takes the file's writer lock, held until this handle is closed: one writer per document at a
  // time, across programs. False at once when another handle holds it.
  virtual bool TryLockForWriting() { return true; }
  virtual bool Truncate(uint64_t size) = 0;
};

enum class StoreOpenMode {
  kReadWrite,       // an existing file, not truncated
  kCreateTruncate,  // created, or emptied when it exists; the folder's entry reaches the disk
  kCreate,          // created when missing, not truncated; the folder's entry reaches the disk
  kReadOnly,        // an existing file, only read: writes fail
};

// Opens, copies and deletes document files by the path the program uses for them.
class StoreFileSystem {
 public:
  virtual ~StoreFileSystem() = default;
  virtual std::unique_ptr<StoreFile> Open(std::u16string_view path, StoreOpenMode mode) = 0;
  // Copies `from` over `to`; on failure `to` is as it was or absent, never half written.
  virtual bool Copy(std::u16string_view from, std::u16string_view to) = 0;
  virtual bool Remove(std::u16string_view path) = 0;
  // The file `path` names now; nothing when none does.
  virtual std::optional<FileIdentity> IdentityOf(std::u16string_view path) = 0;
  // True when `path` still names the file that `file` was opened from.
  bool StillNames(std::u16string_view path, StoreFile& file);
};

// Files on the host. The resolver turns a document path into a host path (the device layer maps
// device paths); nothing from it refuses the path.
class PosixStoreFileSystem : public StoreFileSystem {
 public:
  using Resolver = std::function<std::optional<std::filesystem::path>(std::u16string_view)>;
  explicit PosixStoreFileSystem(Resolver resolver);
  // Document paths are host paths in UTF-16.
  static Resolver HostPaths();
  // Document paths are device paths of `device`, which must outlive the resolver.
  static Resolver DevicePaths(const Device& device);

  std::unique_ptr<StoreFile> Open(std::u16string_view path, StoreOpenMode mode) override;
  bool Copy(std::u16string_view from, std::u16string_view to) override;
  bool Remove(std::u16string_view path) override;
  std::optional<FileIdentity> IdentityOf(std::u16string_view path) override;

 private:
  Resolver resolver_;
};

}  // namespace brevalo
