// Hand-over latency across processes: the library side here puts one message into the channel
// and waits for the delete answer of a program side in a forked process that answers at once.
// The time per iteration is the whole round: store, signal, wake, read, answer, wake.
#include <benchmark/benchmark.h>

#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "channel/channel_reader.h"
#include "channel/channel_writer.h"

namespace {

using brevalo::ChannelReader;
using brevalo::ChannelWriter;
using brevalo::Device;
using brevalo::SlotMessage;

std::filesystem::path MakeDeviceDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "brevalo-bench-XXXXXX").string();
  return mkdtemp(pattern.data()) != nullptr ? std::filesystem::path(pattern) : "/nonexistent";
}

// The program: answers "delete" for every message until killed.
pid_t StartProgram(const Device& device, int readyFd) {
  pid_t pid = fork();
  if (pid != 0) return pid;
  auto reader = ChannelReader::Open(device);
  char byte = reader != nullptr ? 1 : 0;
  if (write(readyFd, &byte, 1) != 1 || reader == nullptr) _exit(1);
  reader->Run([&](const SlotMessage& message) {
    reader->AnswerDelete(message.ticket);
    return true;
  });
  _exit(0);
}

void BM_HandOverToDeleteAnswer(benchmark::State& state) {
  std::filesystem::path dir = MakeDeviceDir();
  Device device(dir);
  int ready[2];
  if (pipe(ready) != 0) {
    state.SkipWithError("pipe");
    return;
  }
  pid_t program = StartProgram(device, ready[1]);
  char byte = 0;
  auto writer = ChannelWriter::Open(device);
  if (read(ready[0], &byte, 1) != 1 || byte != 1 || writer == nullptr) {
    state.SkipWithError("program side did not start");
  }
  const brevalo::FILETIME time{0, 0};
  std::vector<double> micros;
  for (auto _ : state) {
    auto start = std::chrono::steady_clock::now();
    auto result = writer->HandOver(u"benchmark message", u"+491701234567", time);
    auto end = std::chrono::steady_clock::now();
    if (!result.deleteAnswered) {
      state.SkipWithError("no delete answer within the library's limit");
      break;
    }
    micros.push_back(std::chrono::duration<double, std::micro>(end - start).count());
  }
  kill(program, SIGKILL);
  waitpid(program, nullptr, 0);
  close(ready[0]);
  close(ready[1]);
  writer.reset();
  std::error_code error;
  std::filesystem::remove_all(dir, error);
  if (micros.empty()) return;
  std::sort(micros.begin(), micros.end());
  auto at = [&](double q) { return micros[static_cast<size_t>(q * (micros.size() - 1))]; };
  state.counters["p50_us"] = at(0.50);
  state.counters["p99_us"] = at(0.99);
  state.counters["max_us"] = micros.back();
}
BENCHMARK(BM_HandOverToDeleteAnswer)->UseRealTime()->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
