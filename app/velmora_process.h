// velmora started as its own process on a device, for the tests and benchmarks that use the
// program as a person does; killed if the caller leaves it running.
#pragma once

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "device/device_paths.h"

extern char** environ;

namespace brevalo::testing {

// A program of ours from the build's bin folder, started with `arguments`.
class ChildProcess {
 public:
  ChildProcess(const std::string& name, std::vector<std::string> arguments) {
    std::string program = std::string(BREVALO_BIN_DIR) + "/" + name;
    arguments.insert(arguments.begin(), program);
    std::vector<char*> argv;
    for (std::string& word : arguments) argv.push_back(word.data());
    argv.push_back(nullptr);
    if (posix_spawn(&pid_, program.c_str(), nullptr, nullptr, argv.data(), environ) != 0) pid_ = -1;
  }
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;
  ~ChildProcess() {
    if (pid_ > 0 && !exited_) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
  }
  bool Running() {
    if (exited_ || pid_ <= 0) return false;
    return !Reap(WNOHANG);
  }
  // The exit code once the process has ended within timeoutMs; -1 otherwise.
  int Wait(int timeoutMs = 10000) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!exited_ && std::chrono::steady_clock::now() < deadline) {
      if (!Reap(WNOHANG)) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return exited_ ? code_ : -1;
  }
  pid_t pid() const { return pid_; }
  // SIGTERM, then the exit code within timeoutMs (-1 when it did not end).
  int Terminate(int timeoutMs = 5000) {
    if (pid_ > 0 && !exited_) kill(pid_, SIGTERM);
    return Wait(timeoutMs);
  }

 private:
  bool Reap(int options) {
    int status = 0;
    if (waitpid(pid_, &status, options) != pid_) return false;
    exited_ = true;
    code_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return true;
  }
  pid_t pid_ = -1;
  bool exited_ = false;
  int code_ = -1;
};

// velmora on `device`.
class Program : public ChildProcess {
 public:
  explicit Program(const Device& device) : ChildProcess("velmora", {"--device", device.Dir().string()}) {}
};

}  // namespace brevalo::testing
