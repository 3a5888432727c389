#include "device/shared_segment.h"

#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <new>
#include <utility>

#include "device/kernel_wait.h"
#include "device/robust_lock.h"

namespace brevalo {
namespace {

constexpr uint32_t kReadyMark = 0x42525653;  // "BRVS"
constexpr size_t kMaxHolders = 64;
constexpr size_t kPayloadAlignment = 64;
// How long an opener waits for a creator to finish building; building takes microseconds, so
// a segment still unbuilt after this is what a creator left that died half way.
constexpr uint32_t kBuildWaitMs = 2000;
constexpr int kAttempts = 50;

struct Holder {
  int32_t pid;
  uint32_t handles;
};

struct SegmentHead {
  std::atomic<uint32_t> ready;
  uint32_t kind;
  uint64_t payloadSize;
  // Set by the last holder just before it removes the name, so that a process that opened the
  // name a moment earlier sees that it joined a dying segment and starts again.
  uint32_t removed;
  uint32_t reserved;
  pthread_mutex_t holdersLock;
  Holder holders[kMaxHolders];
};

static_assert(std::atomic<uint32_t>::is_always_lock_free);

constexpr size_t kPayloadOffset =
    (sizeof(SegmentHead) + kPayloadAlignment - 1) / kPayloadAlignment * kPayloadAlignment;

bool ProcessIsGone(int32_t pid) { return kill(pid, 0) == -1 && errno == ESRCH; }

// A process killed while holding handles cannot drop them; its entries go on the next change.
void SweepDeadHolders(SegmentHead* head) {
  int32_t self = getpid();
  for (Holder& holder : head->holders) {
    if (holder.pid != 0 && holder.pid != self && ProcessIsGone(holder.pid)) holder = Holder{};
  }
}

bool HasHolders(const SegmentHead* head) {
  for (const Holder& holder : head->holders) {
    if (holder.pid != 0) return true;
  }
  return false;
}

bool AddHolder(SegmentHead* head) {
  int32_t self = getpid();
  Holder* freeEntry = nullptr;
  for (Holder& holder : head->holders) {
    if (holder.pid == self) {
      ++holder.handles;
      return true;
    }
    if (holder.pid == 0 && freeEntry == nullptr) freeEntry = &holder;
  }
  if (freeEntry == nullptr) return false;
  *freeEntry = Holder{self, 1};
  return true;
}

// True when this process held the segment and now nobody does. A forked child that inherited
// a handle without being entered never removes its parent's segment.
bool DropHolder(SegmentHead* head) {
  int32_t self = getpid();
  bool wasHolder = false;
  for (Holder& holder : head->holders) {
    if (holder.pid == self) {
      wasHolder = true;
      if (--holder.handles == 0) holder = Holder{};
    }
  }
  return wasHolder && !HasHolders(head);
}

// Removes the name only if it still names the segment behind `fd`, not one built since.
void UnlinkIfSame(int fd, const std::string& hostName) {
  int other = shm_open(hostName.c_str(), O_RDONLY | O_CLOEXEC, 0);
  if (other < 0) return;
  struct stat a {
  }, b{};
  bool same =
      fstat(fd, &a) == 0 && fstat(other, &b) == 0 && a.st_ino == b.st_ino && a.st_dev == b.st_dev;
  close(other);
  if (same) shm_unlink(hostName.c_str());
}

void PauseBriefly() { usleep(1000); }

struct Mapped {
  int fd = -1;
  void* base = nullptr;
  size_t size = 0;
  void Release() {
    if (base != nullptr) munmap(base, size);
    if (fd >= 0) close(fd);
  }
};

enum class Join { kJoined, kRetry, kFail };

// REQUIRES: fd was just opened with O_CREAT | O_EXCL, so no other process uses the segment yet.
bool BuildFresh(Mapped& mapped, const std::string& hostName, uint32_t kind, size_t payloadSize,
                SharedSegment::Initialiser initialiser, const void* context) {
  mapped.size = kPayloadOffset + payloadSize;
  void* base = MAP_FAILED;
  if (ftruncate(mapped.fd, static_cast<off_t>(mapped.size)) == 0) {
    base = mmap(nullptr, mapped.size, PROT_READ | PROT_WRITE, MAP_SHARED, mapped.fd, 0);
  }
  if (base != MAP_FAILED) {
    mapped.base = base;
    auto* head = new (base) SegmentHead{};
    head->kind = kind;
    head->payloadSize = payloadSize;
    bool built = InitRobustMutex(&head->holdersLock, false) && AddHolder(head) &&
                 (initialiser == nullptr ||
                  initialiser(static_cast<char*>(base) + kPayloadOffset, payloadSize, context));
    if (built) {
      head->ready.store(kReadyMark, std::memory_order_release);
      return true;
    }
  }
  shm_unlink(hostName.c_str());
  mapped.Release();
  return false;
}

Join JoinExisting(Mapped& mapped, const std::string& hostName, uint32_t kind, size_t payloadSize) {
  struct timespec deadline = MonotonicDeadline(kBuildWaitMs);
  struct stat info {};
  // The creator sizes the segment right after creating it, then builds it and marks it ready.
  while (fstat(mapped.fd, &info) == 0 && static_cast<size_t>(info.st_size) < kPayloadOffset &&
         MillisecondsUntil(deadline) > 0) {
    PauseBriefly();
  }
  if (static_cast<size_t>(info.st_size) < kPayloadOffset) {
    UnlinkIfSame(mapped.fd, hostName);
    return Join::kRetry;
  }
  mapped.size = static_cast<size_t>(info.st_size);
  void* base = mmap(nullptr, mapped.size, PROT_READ | PROT_WRITE, MAP_SHARED, mapped.fd, 0);
  if (base == MAP_FAILED) return Join::kFail;
  mapped.base = base;
  auto* head = static_cast<SegmentHead*>(base);
  while (head->ready.load(std::memory_order_acquire) != kReadyMark &&
         MillisecondsUntil(deadline) > 0) {
    PauseBriefly();
  }
  if (head->ready.load(std::memory_order_acquire) != kReadyMark) {
    UnlinkIfSame(mapped.fd, hostName);
    return Join::kRetry;
  }
  bool fits = head->kind == kind && head->payloadSize >= payloadSize &&
              kPayloadOffset + head->payloadSize <= mapped.size;
  if (!fits) return Join::kFail;
  if (LockRobustMutex(&head->holdersLock, INFINITE) == LockResult::kFailed) return Join::kFail;
  if (head->removed != 0) {
    pthread_mutex_unlock(&head->holdersLock);
    return Join::kRetry;
  }
  SweepDeadHolders(head);
  if (!HasHolders(head)) {
    // Everyone who held it has died: the object died with them, and whoever names it now gets
    // a new one, as if the last holder had closed it.
    head->removed = 1;
    UnlinkIfSame(mapped.fd, hostName);
    pthread_mutex_unlock(&head->holdersLock);
    return Join::kRetry;
  }
  bool added = AddHolder(head);
  pthread_mutex_unlock(&head->holdersLock);
  return added ? Join::kJoined : Join::kFail;
}

}  // namespace

SharedSegment::SharedSegment(std::string hostName, int fd, void* base, size_t mappedSize,
                             bool existed)
    : hostName_(std::move(hostName)),
      fd_(fd),
      base_(base),
      mappedSize_(mappedSize),
      payload_(static_cast<char*>(base) + kPayloadOffset),
      payloadSize_(static_cast<size_t>(static_cast<SegmentHead*>(base)->payloadSize)),
      existed_(existed) {}

std::unique_ptr<SharedSegment> SharedSegment::Acquire(const std::string& hostName, uint32_t kind,
                                                      size_t payloadSize, Mode mode,
                                                      Initialiser initialiser,
                                                      const void* context) {
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    Mapped mapped;
    bool created = false;
    if (mode == Mode::kCreateOrOpen) {
      mapped.fd = shm_open(hostName.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
      if (mapped.fd >= 0) {
        if (!BuildFresh(mapped, hostName, kind, payloadSize, initialiser, context)) {
          return nullptr;
        }
        created = true;
      } else if (errno != EEXIST) {
        return nullptr;
      }
    }
    if (!created) {
      mapped.fd = shm_open(hostName.c_str(), O_RDWR | O_CLOEXEC, 0);
      if (mapped.fd < 0) {
        // Removed by its last holder between the two opens: build it afresh.
        if (errno == ENOENT && mode == Mode::kCreateOrOpen) continue;
        return nullptr;
      }
      Join joined = JoinExisting(mapped, hostName, kind, payloadSize);
      if (joined != Join::kJoined) {
        mapped.Release();
        if (joined == Join::kRetry) continue;
        return nullptr;
      }
    }
    auto* segment =
        new (std::nothrow) SharedSegment(hostName, mapped.fd, mapped.base, mapped.size, !created);
    if (segment == nullptr) {
      // The entry in the holder table stays until this process ends and is swept.
      mapped.Release();
    }
    return std::unique_ptr<SharedSegment>(segment);
  }
  return nullptr;
}

SharedSegment::~SharedSegment() {
  auto* head = static_cast<SegmentHead*>(base_);
  if (LockRobustMutex(&head->holdersLock, INFINITE) != LockResult::kFailed) {
    SweepDeadHolders(head);
    if (DropHolder(head)) {
      head->removed = 1;
      shm_unlink(hostName_.c_str());
    }
    pthread_mutex_unlock(&head->holdersLock);
  }
  munmap(base_, mappedSize_);
  close(fd_);
}

}  // namespace brevalo
