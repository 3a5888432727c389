// One named block of POSIX shared memory with a small head that every named kernel object of
// the device shares: an "initialised" mark, so that a second process never uses an object that
// its creator is still building, and the table of processes holding it, so that the object lives
// exactly as long as some process of the device holds a handle to it (dead processes are swept
// out of the table), as on the phone. Only device/ uses this class.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace brevalo {

class SharedSegment {
 public:
  enum class Mode { kCreateOrOpen, kOpenExisting };
  // Builds the payload of a segment this call created; runs before any other process can see
  // it. Returning false abandons the segment and removes its name.
  using Initialiser = bool (*)(void* payload, size_t payloadSize, const void* context);

  // Creates the segment `hostName` with `payloadSize` bytes of zeroed payload, or opens the
  // one that exists; an existing segment must carry the same `kind` and at least `payloadSize`
  // bytes (0 takes whatever size it has). Nothing on failure, or when kOpenExisting finds none.
  static std::unique_ptr<SharedSegment> Acquire(const std::string& hostName, uint32_t kind,
                                                size_t payloadSize, Mode mode,
                                                Initialiser initialiser, const void* context);

  SharedSegment(const SharedSegment&) = delete;
  SharedSegment& operator=(const SharedSegment&) = delete;
  // Drops this handle; the last handle of the device removes the name.
  ~SharedSegment();

  void* Payload() const { return payload_; }
  size_t PayloadSize() const { return payloadSize_; }
  // True when the segment existed before this handle was made.
  bool Existed() const { return existed_; }

 private:
  SharedSegment(std::string hostName, int fd, void* base, size_t mappedSize, bool existed);

  std::string hostName_;
  int fd_;
  void* base_;
  size_t mappedSize_;
  void* payload_;
  size_t payloadSize_;
  bool existed_;
};

}  // namespace brevalo
