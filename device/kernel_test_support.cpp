#include "device/kernel_test_support.h"

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>

namespace brevalo::testing {
namespace {

std::filesystem::path MakeTempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "brevalo-kernel-XXXXXX").string();
  char* made = mkdtemp(pattern.data());
  std::filesystem::path dir = made != nullptr ? std::filesystem::path(made) : "/nonexistent";
  std::error_code error;
  std::filesystem::create_directories(dir / "run", error);
  std::filesystem::create_directories(dir / "log", error);
  return dir;
}

}  // namespace

TempDevice::TempDevice() : dir_(MakeTempDir()), device_(dir_) {}

TempDevice::~TempDevice() {
  std::error_code error;
  std::filesystem::remove_all(dir_, error);
}

Child::Child(const std::function<int()>& body) : pid_(fork()) {
  if (pid_ == 0) _exit(body());
}

Child::~Child() {
  if (!reaped_ && pid_ > 0) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
}

int Child::Wait(uint32_t timeoutMs) {
  if (pid_ <= 0 || reaped_) return -1;
  int64_t deadline = MonotonicMs() + timeoutMs;
  for (;;) {
    int status = 0;
    pid_t done = waitpid(pid_, &status, WNOHANG);
    if (done == pid_) {
      reaped_ = true;
      return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    if (MonotonicMs() > deadline) return -1;
    usleep(1000);
  }
}

void Child::Kill() {
  if (pid_ <= 0 || reaped_) return;
  kill(pid_, SIGKILL);
  waitpid(pid_, nullptr, 0);
  reaped_ = true;
}

Pipe::Pipe() {
  if (pipe(fds_) != 0) fds_[0] = fds_[1] = -1;
}

Pipe::~Pipe() {
  close(fds_[0]);
  close(fds_[1]);
}

void Pipe::Signal(int times) {
  for (int i = 0; i < times; ++i) {
    char byte = 1;
    if (write(fds_[1], &byte, 1) != 1) return;
  }
}

bool Pipe::Await(uint32_t timeoutMs) {
  struct pollfd entry {
    fds_[0], POLLIN, 0
  };
  if (poll(&entry, 1, static_cast<int>(timeoutMs)) != 1) return false;
  char byte;
  return read(fds_[0], &byte, 1) == 1;
}

int64_t MonotonicMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace brevalo::testing
