// Hand-over latency of one incoming SMS on a real device: the request to the running
// `phonesim serve` (sent from here, as `phonesim sms-in` sends it), the service putting the
// message into the inbox and calling corvane.dll, corvane handing it to the program side (a
// channel reader here that answers "delete" at once), seeing the answer, deleting the message,
// and the service's answer back. Each iteration is that whole round; p50 and p99 are reported
// as counters in microseconds.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "bench/percentile.h"
#include "channel/channel_reader.h"
#include "device/service_endpoint.h"

extern char** environ;

namespace {

using brevalo::ChannelReader;
using brevalo::Device;
using brevalo::bench::Percentile;

const std::string kPhonesim = std::string(BREVALO_BIN_DIR) + "/phonesim";

bool Phonesim(const std::filesystem::path& dir, const std::string& args) {
  std::string command = kPhonesim + " --device '" + dir.string() + "' " + args + " >/dev/null";
  return std::system(command.c_str()) == 0;
}

pid_t StartService(const std::filesystem::path& dir) {
  std::vector<std::string> words{kPhonesim, "--device", dir.string(), "serve"};
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  pid_t pid = -1;
  int rc = posix_spawn(&pid, kPhonesim.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  return rc == 0 ? pid : -1;
}

void BM_SmsInToDeleteAnswer(benchmark::State& state) {
  std::string pattern = (std::filesystem::temp_directory_path() / "brevalo-handover-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) {
    state.SkipWithError("no temporary folder");
    return;
  }
  std::filesystem::path dir(pattern);
  Device device(dir);
  if (!Phonesim(dir, "init") || !Phonesim(dir, "install") || !Phonesim(dir, "register-corvane")) {
    state.SkipWithError("phonesim could not set up the device");
    return;
  }
  pid_t service = StartService(dir);
  for (int i = 0; i < 500 && !brevalo::ServiceRunning(device); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  auto reader = ChannelReader::Open(device);
  std::thread program([&] {
    reader->Run([&](const brevalo::SlotMessage& message) {
      reader->AnswerDelete(message.ticket);
      return true;
    });
  });

  std::vector<double> micros;
  size_t kept = 0;
  for (auto _ : state) {
    auto start = std::chrono::steady_clock::now();
    std::string error;
    std::optional<brevalo::SmsOutcome> outcome =
        brevalo::DeliverSms(device, u"+8613800138000", u"Dinner at eight?", std::nullopt, &error);
    auto end = std::chrono::steady_clock::now();
    if (!outcome) {
      state.SkipWithError(error.c_str());
      break;
    }
    if (!outcome->deleted) ++kept;
    micros.push_back(std::chrono::duration<double, std::micro>(end - start).count());
  }
  state.counters["p50_us"] = Percentile(micros, 0.50);
  state.counters["p99_us"] = Percentile(micros, 0.99);
  state.counters["max_us"] = Percentile(micros, 1.0);
  state.counters["not_deleted"] = static_cast<double>(kept);

  reader->Stop();
  program.join();
  reader.reset();
  if (service > 0) {
    kill(service, SIGTERM);
    waitpid(service, nullptr, 0);
  }
  std::filesystem::remove_all(dir);
}

BENCHMARK(BM_SmsInToDeleteAnswer)->Iterations(2000)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
