// An incoming SMS on a real device with velmora running offscreen and a document of 100,000
// messages open: `phonesim serve` with the rule client registered, the request sent from here as
// `phonesim sms-in` sends it, and the program filing the message into "\Inbox" with Don't Show in
// Inbox. The program answers "delete" only once the message is on disk (its journal entry synced),
// so the one latency is also the time to disk. Figures, from one run:
//   delete_p50_ms, delete_p99_ms   request to the service's answer (the phone's copy is gone),
//                                  over 200 messages sent one after the other;
//   fdatasync_p50_ms, _p99_ms      this disk's sync of a small append, 200 times, beside the
//                                  document: the floor under any durable answer;
//   sqlite_p50_ms, _p99_ms         the same 200 messages inserted into SQLite beside it (WAL,
//                                  synchronous=FULL, a transaction per message), and
//   ratio_p50, ratio_p99           delete latency / SQLite insert latency: the whole road (the
//                                  service, the rule client, the channel, the program) against
//                                  a bare insert;
//   store_p50_ms, _p99_ms          the program's own filing of the same messages into the same
//                                  document, in process (record, journal entry, sync), and
//   store_ratio_p50, _p99          that against the SQLite insert, like for like;
//   growth_kb_per_100              what the document and its journal grew by for 100 of the
//                                  messages, none of which wrote an index.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <sqlite3.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/open_document.h"
#include "app/velmora_process.h"
#include "bench/large_document.h"
#include "bench/percentile.h"
#include "channel/channel_objects.h"
#include "device/registry.h"
#include "device/service_endpoint.h"
#include "filter/filter_engine.h"
#include "settings/program_folder.h"

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

double MsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The sync of a small append, as a journal entry costs it, on the disk the document is on.
std::vector<double> SyncTimes(const std::filesystem::path& folder, int count) {
  std::vector<double> samples;
  const std::filesystem::path file = folder / "sync-probe";
  int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return samples;
  const std::string entry(300, 'x');
  for (int i = 0; i < count; ++i) {
    auto start = Clock::now();
    if (::write(fd, entry.data(), entry.size()) != static_cast<ssize_t>(entry.size()) || ::fdatasync(fd) != 0) break;
    samples.push_back(MsSince(start));
  }
  ::close(fd);
  std::filesystem::remove(file);
  return samples;
}

// The same messages kept by SQLite as durably: WAL, synchronous=FULL, a transaction each.
std::vector<double> SqliteInsertTimes(const std::filesystem::path& folder, int count) {
  std::vector<double> samples;
  const std::filesystem::path file = folder / "messages.db";
  sqlite3* db = nullptr;
  if (sqlite3_open(file.c_str(), &db) != SQLITE_OK) return samples;
  sqlite3_stmt* insert = nullptr;
  bool ready = sqlite3_exec(db, "PRAGMA journal_mode=WAL; PRAGMA synchronous=FULL;"
                            "CREATE TABLE sms(sender TEXT, body TEXT, received REAL, folder TEXT)",
                            nullptr, nullptr, nullptr) == SQLITE_OK &&
               sqlite3_prepare_v2(db, "INSERT INTO sms VALUES(?, ?, ?, ?)", -1, &insert, nullptr) == SQLITE_OK;
  for (int i = 0; ready && i < count; ++i) {
    const std::string body = "Message " + std::to_string(i) + ": dinner at eight?";
    auto start = Clock::now();
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_bind_text(insert, 1, "+15550100", -1, SQLITE_STATIC);
    sqlite3_bind_text(insert, 2, body.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_double(insert, 3, 46365.5 + i);
    sqlite3_bind_text(insert, 4, "\\Inbox", -1, SQLITE_STATIC);
    ready = sqlite3_step(insert) == SQLITE_DONE && sqlite3_reset(insert) == SQLITE_OK &&
            sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK;
    if (ready) samples.push_back(MsSince(start));
  }
  sqlite3_finalize(insert);
  sqlite3_close(db);
  for (const char* suffix : {"", "-wal", "-shm"}) std::filesystem::remove(file.string() + suffix);
  return samples;
}

// The program's filing alone, into the document the program left: what the delete answer
// waits for on the window thread.
std::vector<double> FilingTimes(const Device& device, int count) {
  std::vector<double> samples;
  PosixStoreFileSystem files(PosixStoreFileSystem::DevicePaths(device));
  InMemoryIndexOffsetMemory offsets;
  CodePage page;
  OpenDocument document(files, offsets, page);
  if (document.Open(kDocument) != OpenOutcome::kOpened) return samples;
  const FilingPlace inbox{JournalTarget::kFolderPath, u"\\Inbox"};
  for (int i = 0; i < count; ++i) {
    const std::u16string text = u"Filed " + FromUtf8(std::to_string(i)) + u": dinner at eight?";
    auto start = Clock::now();
    FiledMessage filed = document.FileReceived(inbox, text, u"+15550100", 46365.5 + i, text,
                                               1'000'000 + static_cast<uint64_t>(i));
    if (!filed.Held()) break;
    samples.push_back(MsSince(start));
  }
  document.Close();
  return samples;
}

uint64_t SizeOr0(const std::filesystem::path& file) {
  std::error_code error;
  uint64_t size = std::filesystem::file_size(file, error);
  return error ? 0 : size;
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

void BM_SmsInToDurableDeleteAnswer(benchmark::State& state) {
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

  std::filesystem::path journal = file;
  journal += ".jnl";
  const auto bytesOnDisk = [&] { return SizeOr0(file) + SizeOr0(journal); };
  std::vector<double> deleteMs;
  size_t kept = 0;
  uint64_t growth = 0;
  for (auto _ : state) {
    for (int i = 0; i < kSamples; ++i) {
      const uint64_t sizeBefore = bytesOnDisk();
      auto start = Clock::now();
      std::string error;
      std::optional<SmsOutcome> outcome = DeliverSms(device, u"+15550100", u"Message " + FromUtf8(std::to_string(i)) +
                                                                               u": dinner at eight?", std::nullopt, &error);
      deleteMs.push_back(MsSince(start));
      if (!outcome) return state.SkipWithError(error.c_str());
      if (!outcome->deleted) ++kept;
      if (i < 100) growth += bytesOnDisk() - sizeBefore;
    }
  }
  const std::filesystem::path folder = file.parent_path();
  std::vector<double> syncMs = SyncTimes(folder, kSamples);
  std::vector<double> sqliteMs = SqliteInsertTimes(folder, kSamples);
  state.counters["delete_p50_ms"] = Percentile(deleteMs, 0.50);
  state.counters["delete_p99_ms"] = Percentile(deleteMs, 0.99);
  state.counters["fdatasync_p50_ms"] = Percentile(syncMs, 0.50);
  state.counters["fdatasync_p99_ms"] = Percentile(syncMs, 0.99);
  state.counters["sqlite_p50_ms"] = Percentile(sqliteMs, 0.50);
  state.counters["sqlite_p99_ms"] = Percentile(sqliteMs, 0.99);
  state.counters["ratio_p50"] = Percentile(deleteMs, 0.50) / Percentile(sqliteMs, 0.50);
  state.counters["ratio_p99"] = Percentile(deleteMs, 0.99) / Percentile(sqliteMs, 0.99);
  state.counters["growth_kb_per_100"] = static_cast<double>(growth) / 1024.0;
  state.counters["not_deleted"] = static_cast<double>(kept);

  program->Terminate(30000);
  service->Terminate();
  // Every message is in the document the program left behind.
  state.counters["filed"] = static_cast<double>(FiledMessages(device));
  std::vector<double> storeMs = FilingTimes(device, kSamples);
  state.counters["store_p50_ms"] = Percentile(storeMs, 0.50);
  state.counters["store_p99_ms"] = Percentile(storeMs, 0.99);
  state.counters["store_ratio_p50"] = Percentile(storeMs, 0.50) / Percentile(sqliteMs, 0.50);
  state.counters["store_ratio_p99"] = Percentile(storeMs, 0.99) / Percentile(sqliteMs, 0.99);
  std::filesystem::remove_all(dir);
}

BENCHMARK(BM_SmsInToDurableDeleteAnswer)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace brevalo

BENCHMARK_MAIN();
