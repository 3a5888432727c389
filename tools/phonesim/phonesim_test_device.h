// What the end-to-end tests of phonesim share: a throw-away device folder made by the real
// `phonesim init`, phonesim runs with their exit code and output, and a messaging service
// started as its own process and stopped with SIGTERM.
#pragma once

#include <gtest/gtest.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include <nlohmann/json.hpp>

#include "device/device_paths.h"
#include "device/service_endpoint.h"
#include "tests/support/shell_command.h"

extern char** environ;

namespace brevalo::testing {

struct PhonesimRun {
  int code = -1;
  std::string out;
  nlohmann::json Json() const { return nlohmann::json::parse(out, nullptr, false); }
};

class PhonesimDevice : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/phonesim-e2e-XXXXXX";
    dir_ = mkdtemp(pattern);
    device_ = std::make_unique<Device>(dir_);
  }
  void TearDown() override {
    StopService();
    std::filesystem::remove_all(dir_);
  }

  const Device& device() const { return *device_; }

  // Runs phonesim on the device with `args` (shell words); stderr goes to `err_`.
  PhonesimRun Phonesim(const std::string& args) {
    testing::ShellResult result = testing::RunToolLine("phonesim", dir_.string(), args);
    lastError_ = result.err;
    return PhonesimRun{result.code, result.out};
  }

  // init, install and register-corvane: a device whose service will load the rule client.
  void MakeDeviceWithCorvane() {
    ASSERT_EQ(Phonesim("init").code, 0) << lastError_;
    ASSERT_EQ(Phonesim("install").code, 0) << lastError_;
    ASSERT_EQ(Phonesim("register-corvane").code, 0) << lastError_;
  }

  pid_t SpawnService() {
    std::string program = std::string(BREVALO_BIN_DIR) + "/phonesim";
    std::string log = (dir_ / "serve.log").string();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    std::vector<std::string> words{program, "--device", dir_.string(), "serve"};
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    pid_t pid = -1;
    int rc = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return rc == 0 ? pid : -1;
  }

  // Starts `phonesim serve` and waits until it answers.
  void StartService() {
    servicePid_ = SpawnService();
    ASSERT_GT(servicePid_, 0);
    for (int i = 0; i < 500 && !ServiceRunning(device()); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_TRUE(ServiceRunning(device())) << "phonesim serve did not come up";
  }

  // SIGTERM, then the exit code (-1 when it did not end cleanly within five seconds).
  int StopService() {
    if (servicePid_ <= 0) return -1;
    kill(servicePid_, SIGTERM);
    int status = 0;
    int code = -1;
    for (int i = 0; i < 500; ++i) {
      if (waitpid(servicePid_, &status, WNOHANG) == servicePid_) {
        code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        break;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (code == -1) {
      kill(servicePid_, SIGKILL);
      waitpid(servicePid_, &status, 0);
    }
    servicePid_ = -1;
    return code;
  }

  std::filesystem::path dir_;
  std::unique_ptr<Device> device_;
  pid_t servicePid_ = -1;
  std::string lastError_;
};

}  // namespace brevalo::testing
