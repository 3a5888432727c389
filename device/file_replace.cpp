#include "device/file_replace.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <string>

namespace brevalo {
namespace fs = std::filesystem;

namespace {

bool WriteAll(int fd, std::string_view text) {
  size_t done = 0;
  while (done < text.size()) {
    ssize_t n = write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

void SyncFolderOf(const fs::path& file) {
  int dir = open(file.parent_path().empty() ? "." : file.parent_path().c_str(),
                 O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    fsync(dir);
    close(dir);
  }
}

}  // namespace

FileChangeLock::FileChangeLock(const fs::path& file) {
  fs::path lockFile = file;
  lockFile += ".lock";
  fd_ = open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (fd_ < 0) return;
  while (flock(fd_, LOCK_EX) != 0) {
    if (errno != EINTR) {
      int cause = errno;
      close(fd_);
      fd_ = -1;
      errno = cause;
      return;
    }
  }
}

FileChangeLock::~FileChangeLock() {
  if (fd_ >= 0) close(fd_);  // closing releases the lock
}

bool ReplaceFileContents(const fs::path& file, std::string_view text) {
  fs::path temporary = file;
  temporary += ".tmp." + std::to_string(getpid());
  int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  bool ok = fd >= 0 && WriteAll(fd, text) && fsync(fd) == 0;
  int cause = errno;
  if (fd >= 0) close(fd);
  if (ok && rename(temporary.c_str(), file.c_str()) == 0) {
    SyncFolderOf(file);
    return true;
  }
  if (ok) cause = errno;
  unlink(temporary.c_str());
  errno = cause;
  return false;
}

}  // namespace brevalo
