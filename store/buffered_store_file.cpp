#include "store/buffered_store_file.h"

#include <algorithm>
#include <cstring>

namespace brevalo {

std::optional<uint64_t> ReadAheadFile::Size() {
  if (!size_) size_ = file_.Size();
  return size_;
}

size_t ReadAheadFile::ReadAt(uint64_t offset, void* buffer, size_t size) {
  if (size > kWindow) return file_.ReadAt(offset, buffer, size);
  if (offset < windowAt_ || offset + size > windowAt_ + window_.size()) {
    window_.resize(kWindow);
    windowAt_ = offset;
    window_.resize(file_.ReadAt(offset, window_.data(), kWindow));
  }
  if (offset < windowAt_ || offset - windowAt_ >= window_.size()) return 0;
  size_t count = std::min<uint64_t>(size, window_.size() - (offset - windowAt_));
  std::memcpy(buffer, window_.data() + (offset - windowAt_), count);
  return count;
}

bool ReadAheadFile::WriteAt(uint64_t offset, const void* data, size_t size) {
  window_.clear();
  size_.reset();
  return file_.WriteAt(offset, data, size);
}

std::optional<uint64_t> AppendBufferFile::Size() {
  if (pending_.empty()) return file_->Size();
  return pendingAt_ + pending_.size();
}

size_t AppendBufferFile::ReadAt(uint64_t offset, void* buffer, size_t size) {
  if (!HandOver()) return 0;
  return file_->ReadAt(offset, buffer, size);
}

bool AppendBufferFile::WriteAt(uint64_t offset, const void* data, size_t size) {
  if (pending_.empty()) {
    auto end = file_->Size();
    if (!end || offset != *end) return file_->WriteAt(offset, data, size);
    pendingAt_ = offset;
  } else if (offset != pendingAt_ + pending_.size()) {
    return HandOver() && file_->WriteAt(offset, data, size);
  }
  const auto* bytes = static_cast<const uint8_t*>(data);
  pending_.insert(pending_.end(), bytes, bytes + size);
  return true;
}

bool AppendBufferFile::Flush() {
  return pending_.size() < kPiece ? true : HandOver() && file_->Flush();
}

bool AppendBufferFile::HandOver() {
  if (pending_.empty()) return true;
  bool written = file_->WriteAt(pendingAt_, pending_.data(), pending_.size());
  pending_.clear();
  return written;
}

bool ReadAheadFile::Truncate(uint64_t size) {
  window_.clear();
  size_.reset();
  return file_.Truncate(size);
}

}  // namespace brevalo
