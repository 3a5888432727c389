// Helpers for tests that run the device's kernel objects across processes: a throw-away device
// folder, forked children with an exit code, and pipes to pace them.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <filesystem>
#include <functional>

#include "device/device_paths.h"

namespace brevalo::testing {

class TempDevice {
 public:
  TempDevice();
  ~TempDevice();
  TempDevice(const TempDevice&) = delete;
  TempDevice& operator=(const TempDevice&) = delete;

  const Device& device() const { return device_; }
  const std::filesystem::path& dir() const { return dir_; }

 private:
  std::filesystem::path dir_;
  Device device_;
};

// A forked child running `body`; its exit code is what body returns. The child leaves through
// _exit, so no test machinery of the parent runs twice.
class Child {
 public:
  explicit Child(const std::function<int()>& body);
  ~Child();  // kills and reaps a child still running
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;

  pid_t pid() const { return pid_; }
  // The exit code, or -1 when the child did not exit normally within timeoutMs.
  int Wait(uint32_t timeoutMs = 10000);
  void Kill();

 private:
  pid_t pid_;
  bool reaped_ = false;
};

// A one-way pipe between a parent and its children: Signal writes one byte, Await reads one.
class Pipe {
 public:
  Pipe();
  ~Pipe();
  Pipe(const Pipe&) = delete;
  Pipe& operator=(const Pipe&) = delete;

  void Signal(int times = 1);
  // False when nothing arrived within timeoutMs.
  bool Await(uint32_t timeoutMs = 5000);

 private:
  int fds_[2];
};

int64_t MonotonicMs();

}  // namespace brevalo::testing
