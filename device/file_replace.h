// Files that several processes of a device change: each change holds an exclusive lock on a
// separate "FILE.lock" (the file itself is replaced by every write, so it cannot carry the lock)
// and replaces the file whole through a temporary file and a rename, so that a writer killed at
// any point leaves the old or the new version, never a torn one.
#pragma once

#include <filesystem>
#include <string_view>

namespace brevalo {

class FileChangeLock {
 public:
  // Waits for the lock; held() says whether it was taken (errno tells why not).
  explicit FileChangeLock(const std::filesystem::path& file);
  ~FileChangeLock();
  FileChangeLock(const FileChangeLock&) = delete;
  FileChangeLock& operator=(const FileChangeLock&) = delete;
  bool held() const { return fd_ >= 0; }

 private:
  int fd_ = -1;
};

// Writes `text` to a temporary file beside `file`, syncs it, renames it over `file` and syncs the
// folder. False with errno set when any step fails; `file` is then as it was.
bool ReplaceFileContents(const std::filesystem::path& file, std::string_view text);

}  // namespace brevalo
