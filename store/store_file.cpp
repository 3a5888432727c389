#include "store/store_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "device/code_page.h"
#include "device/device_paths.h"

namespace brevalo {
namespace {

FileIdentity IdentityOfStat(const struct stat& info) {
  return FileIdentity{static_cast<uint64_t>(info.st_dev), static_cast<uint64_t>(info.st_ino)};
}

class PosixStoreFile : public StoreFile {
 public:
  explicit PosixStoreFile(int fd) : fd_(fd) {}
  ~PosixStoreFile() override { ::close(fd_); }
  PosixStoreFile(const PosixStoreFile&) = delete;
  PosixStoreFile& operator=(const PosixStoreFile&) = delete;

  // Asked anew every time: another program (kvt) may have appended to the same document, and
  // an append must land behind its bytes, not over them.
  std::optional<uint64_t> Size() override {
    struct stat info {};
    if (::fstat(fd_, &info) != 0) return std::nullopt;
    return static_cast<uint64_t>(info.st_size);
  }

  size_t ReadAt(uint64_t offset, void* buffer, size_t size) override {
    auto* out = static_cast<char*>(buffer);
    size_t done = 0;
    while (done < size) {
      ssize_t got = ::pread(fd_, out + done, size - done, static_cast<off_t>(offset + done));
      if (got < 0 && errno == EINTR) continue;
      if (got <= 0) break;
      done += static_cast<size_t>(got);
    }
    return done;
  }

  bool WriteAt(uint64_t offset, const void* data, size_t size) override {
    const auto* in = static_cast<const char*>(data);
    size_t done = 0;
    while (done < size) {
      ssize_t put = ::pwrite(fd_, in + done, size - done, static_cast<off_t>(offset + done));
      if (put < 0 && errno == EINTR) continue;
      if (put <= 0) return false;
      done += static_cast<size_t>(put);
    }
    return true;
  }

  // pwrite leaves nothing in a buffer of ours: the bytes already belong to the system.
  bool Flush() override { return true; }

  bool Sync() override {
    while (::fdatasync(fd_) != 0) {
      if (errno != EINTR) return false;
    }
    return true;
  }

  bool TryLockForWriting() override {
    while (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
      if (errno != EINTR) return false;
    }
    return true;
  }

  bool Truncate(uint64_t size) override {
    while (::ftruncate(fd_, static_cast<off_t>(size)) != 0) {
      if (errno != EINTR) return false;
    }
    return true;
  }

  std::optional<FileIdentity> Identity() override {
    struct stat info {};
    if (::fstat(fd_, &info) != 0) return std::nullopt;
    return IdentityOfStat(info);
  }

 private:
  int fd_;
};

// A file just created is only found after a crash once its folder's entry is on the disk too.
bool SyncFolderOf(const std::filesystem::path& path) {
  std::filesystem::path folder = path.parent_path();
  if (folder.empty()) folder = ".";
  int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  bool synced = ::fsync(fd) == 0;
  ::close(fd);
  return synced;
}

int OpenFlags(StoreOpenMode mode) {
  switch (mode) {
    case StoreOpenMode::kReadOnly: return O_RDONLY | O_CLOEXEC;
    case StoreOpenMode::kReadWrite: return O_RDWR | O_CLOEXEC;
    case StoreOpenMode::kCreate: return O_RDWR | O_CREAT | O_CLOEXEC;
    case StoreOpenMode::kCreateTruncate: return O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC;
  }
  return O_RDONLY | O_CLOEXEC;
}

int OpenFd(const std::filesystem::path& path, StoreOpenMode mode) {
  int fd;
  do {
    fd = ::open(path.c_str(), OpenFlags(mode), 0644);
  } while (fd < 0 && errno == EINTR);
  const bool creates = mode == StoreOpenMode::kCreate || mode == StoreOpenMode::kCreateTruncate;
  if (fd >= 0 && creates && !SyncFolderOf(path)) {
    ::close(fd);
    return -1;
  }
  return fd;
}

bool CopyBytes(int from, int to) {
  PosixStoreFile source(from);
  PosixStoreFile target(to);
  std::vector<char> buffer(1 << 16);
  uint64_t offset = 0;
  while (true) {
    size_t got = source.ReadAt(offset, buffer.data(), buffer.size());
    if (got == 0) break;
    if (!target.WriteAt(offset, buffer.data(), got)) return false;
    offset += got;
  }
  auto size = source.Size();
  return size && *size == offset && target.Sync();
}

}  // namespace

PosixStoreFileSystem::PosixStoreFileSystem(Resolver resolver) : resolver_(std::move(resolver)) {}

PosixStoreFileSystem::Resolver PosixStoreFileSystem::HostPaths() {
  return [](std::u16string_view path) -> std::optional<std::filesystem::path> {
    if (path.empty()) return std::nullopt;
    return std::filesystem::path(ToUtf8(path));
  };
}

PosixStoreFileSystem::Resolver PosixStoreFileSystem::DevicePaths(const Device& device) {
  return [&device](std::u16string_view path) { return device.HostPath(path); };
}

std::unique_ptr<StoreFile> PosixStoreFileSystem::Open(std::u16string_view path,
                                                      StoreOpenMode mode) {
  auto host = resolver_(path);
  if (!host) return nullptr;
  int fd = OpenFd(*host, mode);
  if (fd < 0) return nullptr;
  return std::make_unique<PosixStoreFile>(fd);
}

// The copy goes to a neighbour first and is renamed over the target only when complete, so a
// failing copy never leaves a half-written document behind.
bool PosixStoreFileSystem::Copy(std::u16string_view from, std::u16string_view to) {
  auto source = resolver_(from);
  auto target = resolver_(to);
  if (!source || !target) return false;
  std::filesystem::path partial = *target;
  partial += ".part";
  int in = ::open(source->c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0) return false;
  int out = ::open(partial.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (out < 0) {
    ::close(in);
    return false;
  }
  bool copied = CopyBytes(in, out);  // closes both
  if (copied && ::rename(partial.c_str(), target->c_str()) == 0) return true;
  ::unlink(partial.c_str());
  return false;
}

std::optional<FileIdentity> PosixStoreFileSystem::IdentityOf(std::u16string_view path) {
  auto host = resolver_(path);
  struct stat info {};
  if (!host || ::stat(host->c_str(), &info) != 0) return std::nullopt;
  return IdentityOfStat(info);
}

bool StoreFileSystem::StillNames(std::u16string_view path, StoreFile& file) {
  std::optional<FileIdentity> named = IdentityOf(path);
  std::optional<FileIdentity> opened = file.Identity();
  return named && opened && *named == *opened;
}

bool PosixStoreFileSystem::Remove(std::u16string_view path) {
  auto host = resolver_(path);
  return host && ::unlink(host->c_str()) == 0;
}

}  // namespace brevalo
