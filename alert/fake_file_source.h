// Files held in memory for the alerts' tests, with every read counted by path.
#pragma once

#include <map>
#include <mutex>
#include <string>

#include "alert/file_source.h"

namespace brevalo::testing {

class FakeFileSource : public FileSource {
 public:
  void Put(const std::u16string& path, std::string bytes) {
    std::lock_guard guard(mutex_);
    files_[path] = std::move(bytes);
  }
  void Remove(const std::u16string& path) {
    std::lock_guard guard(mutex_);
    files_.erase(path);
  }
  std::optional<std::string> Read(std::u16string_view path) override {
    std::lock_guard guard(mutex_);
    ++reads_[std::u16string(path)];
    ++totalReads_;
    auto found = files_.find(std::u16string(path));
    if (found == files_.end()) return std::nullopt;
    return found->second;
  }
  int Reads(const std::u16string& path) {
    std::lock_guard guard(mutex_);
    return reads_[path];
  }
  int TotalReads() {
    std::lock_guard guard(mutex_);
    return totalReads_;
  }

 private:
  std::mutex mutex_;
  std::map<std::u16string, std::string> files_;
  std::map<std::u16string, int> reads_;
  int totalReads_ = 0;
};

}  // namespace brevalo::testing
