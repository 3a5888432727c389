// An incoming SMS on a real device with velmora running offscreen and a document of 100,000
// messages open: `phonesim serve` with the rule client registered, the request sent from here as
// `phonesim sms-in` sends it, and the program filing the message into "\Inbox" with Don't Show in
// Inbox. Two figures per message, p50 and p99 over 200 messages sent one after the other:
//   delete_ms  from the request to the service's answer, which comes once the program's delete
//              answer reached the rule client and the phone's inbox copy is gone;
//   disk_ms    from the request to the document's header naming a new index, which then holds
//              the message (the program saves such messages within a second of filing them).
#include <benchmark/benchmark.h>

#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/velmora_process.h"
#include "bench/large_document.h"
#include "bench/percentile.h"
#include "channel/channel_objects.h"
#include "device/registry.h"
#include "device/service_endpoint.h"
#include "filter/filter_engine.h"
#include "settings/program_folder.h"
#include "store/store_format.h"

namespace brevalo {
namespace {

using Clock = std::chrono::steady_clock;
using bench::Percentile;
using testing::ChildProcess;

constexpr int kMessages = 100'000;
constexpr int kFolders = 50;
constexpr int kSamples = 200;
constexpr std::u16string_view kDocument = u"\\My Documents\\big.kvt";

bool Phonesim(const std::filesystem::path& dir, const std::string& command) {
  ChildProcess run("phonesim", {"--device", dir.string(), command});
  return run.Wait(60000) == 0;
}

// The index the header names, read twice alike so that a header being rewritten is not taken.
std::optional<uint32_t> IndexOffset(const std::filesystem::path& file) {
  std::optional<uint32_t> seen;
  for (int read = 0; read < 2; ++read) {
    uint8_t bytes[kHeaderSize];
    std::ifstream in(file, std::ios::binary);
    if (!in.read(reinterpret_cast<char*>(bytes), sizeof bytes)) return std::nullopt;
    uint32_t offset = DecodeHeader(bytes).indexOffset;
    if (seen && *seen != offset) return std::nullopt;
    seen = offset;
  }
  return seen;
}

bool ProgramReceiving(const Device& device) {
  std::unique_ptr<ChannelObjects> channel = ChannelObjects::Open(device);
  return channel && LoadRunning(channel->Buffer()) == 1;
}

// Rules that file every stranger's message into "\Inbox" and take it out of the phone's inbox.
bool WriteRules(const Device& device) {
  std::optional<std::filesystem::path> path = device.HostPath(ProgramFolder() + std::u16string(RulesFileName));
  if (!path) return false;
  FilterEngine rules(*path);
  rules.LoadRules();
  rules.StrangerDefault().ClearRules();
  rules.StrangerDefault().SetAction(ACTION_SAVE_TO_FOLDER, u"\\Inbox");
  rules.StrangerDefault().SetAction(ACTION_HIDE_IN_INBOX);
  return rules.SaveRules();
}

bool OpenAtStart(const Device& device) {
  Registry registry(device.RegistryFile());
  return registry.Load() &&
         registry.SetString(RegRoot::CurrentUser, u"Software\\Velmora", u"LastOpenFile", kDocument);
}

// The messages the saved document holds in "\Inbox".
size_t FiledMessages(const Device& device) {
  PosixStoreFileSystem files(PosixStoreFileSystem::DevicePaths(device));
  InMemoryIndexOffsetMemory offsets;
  CodePage page;
  MessageStore store(files, offsets, page);
  FolderTree tree;
  if (!store.Open(kDocument) || !store.LoadIndex(tree)) return 0;
  for (size_t row = 0; row < tree.Root().ChildCount(); ++row) {
    if (tree.Root().Child(row)->Label() == u"Inbox") return tree.Root().Child(row)->ChildCount();
  }
  return 0;
}

void BM_SmsInToDeleteAnswerAndToDisk(benchmark::State& state) {
  std::string pattern = (std::filesystem::temp_directory_path() / "brevalo-intake-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) return state.SkipWithError("no temporary folder");
  std::filesystem::path dir(pattern);
  Device device(dir);
  if (!Phonesim(dir, "init") || !Phonesim(dir, "install") || !Phonesim(dir, "register-corvane")) {
    return state.SkipWithError("phonesim could not set up the device");
  }
  std::filesystem::create_directories(device.FsRoot() / "My Documents");
  if (!bench::WriteLargeDocument(device, kDocument, kMessages, kFolders) || !WriteRules(device) ||
      !OpenAtStart(device)) {
    return state.SkipWithError("the document or the rules could not be written");
  }
  const std::filesystem::path file = *device.HostPath(kDocument);

  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  auto service = std::make_unique<ChildProcess>("phonesim", std::vector<std::string>{"--device", dir.string(), "serve"});
  for (int i = 0; i < 500 && !ServiceRunning(device); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  auto program = std::make_unique<testing::Program>(device);
  for (int i = 0; i < 1000 && !ProgramReceiving(device); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  // The document opens during the window's start, right after the intake; let it settle.
  std::this_thread::sleep_for(std::chrono::seconds(2));
  if (!ServiceRunning(device) || !ProgramReceiving(device)) return state.SkipWithError("velmora is not receiving");

  std::vector<double> deleteMs;
  std::vector<double> diskMs;
  size_t kept = 0;
  size_t unsaved = 0;
  for (auto _ : state) {
    for (int i = 0; i < kSamples; ++i) {
      std::optional<uint32_t> before = IndexOffset(file);
      auto start = Clock::now();
      std::string error;
      std::optional<SmsOutcome> outcome = DeliverSms(device, u"+15550100", u"Message " + FromUtf8(std::to_string(i)) +
                                                                               u": dinner at eight?", std::nullopt, &error);
      auto answered = Clock::now();
      if (!outcome) return state.SkipWithError(error.c_str());
      if (!outcome->deleted) ++kept;
      std::optional<uint32_t> now = IndexOffset(file);
      auto deadline = start + std::chrono::seconds(10);
      while ((!now || now == before) && Clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        now = IndexOffset(file);
      }
      auto onDisk = Clock::now();
      if (!now || now == before) ++unsaved;
      deleteMs.push_back(std::chrono::duration<double, std::milli>(answered - start).count());
      diskMs.push_back(std::chrono::duration<double, std::milli>(onDisk - start).count());
    }
  }
  state.counters["delete_p50_ms"] = Percentile(deleteMs, 0.50);
  state.counters["delete_p99_ms"] = Percentile(deleteMs, 0.99);
  state.counters["disk_p50_ms"] = Percentile(diskMs, 0.50);
  state.counters["disk_p99_ms"] = Percentile(diskMs, 0.99);
  state.counters["not_deleted"] = static_cast<double>(kept);
  state.counters["not_saved"] = static_cast<double>(unsaved);

  program->Terminate(30000);
  service->Terminate();
  // Every message is in the document the program left behind.
  state.counters["filed"] = static_cast<double>(FiledMessages(device));
  std::filesystem::remove_all(dir);
}

BENCHMARK(BM_SmsInToDeleteAnswerAndToDisk)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace brevalo

BENCHMARK_MAIN();
