// A list file kept in memory for the tests, with verbs that make it fail.
#pragma once

#include <optional>
#include <string>

#include "send/list_file.h"

namespace brevalo::testing {

class MemoryListFile : public ListFile {
 public:
  MemoryListFile() = default;
  explicit MemoryListFile(std::string bytes) : bytes_(std::move(bytes)) {}

  DeviceFileContents Read() override {
    if (unreadable_) return {DeviceFileState::kUnreadable, {}};
    if (!bytes_) return {DeviceFileState::kMissing, {}};
    return {DeviceFileState::kRead, *bytes_};
  }
  bool Write(std::string_view bytes) override {
    ++writes_;
    if (failWrites_) return false;
    bytes_ = std::string(bytes);
    return true;
  }

  const std::optional<std::string>& Bytes() const { return bytes_; }
  int Writes() const { return writes_; }
  void MakeUnreadable() { unreadable_ = true; }
  void FailWrites() { failWrites_ = true; }

 private:
  std::optional<std::string> bytes_;
  bool unreadable_ = false;
  bool failWrites_ = false;
  int writes_ = 0;
};

// UTF-16 LE with the byte-order mark, each line ended by CR LF: a list file as written.
inline std::string ListFileBytes(std::initializer_list<std::u16string_view> lines) {
  std::string out = "\xFF\xFE";
  for (std::u16string_view line : lines) {
    for (char16_t c : std::u16string(line) + u"\r\n") {
      out.push_back(static_cast<char>(c & 0xFF));
      out.push_back(static_cast<char>(c >> 8));
    }
  }
  return out;
}

}  // namespace brevalo::testing
