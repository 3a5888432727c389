// Searching and importing at the sizes people keep: a document of 100,000 messages (bodies of
// about 100 characters in 50 folders) searched with queries that match often, rarely, never, in
// numbers and in titles; and a backup of 44,300 messages read from XML, filed into a new document
// and saved.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "bench/large_document.h"
#include "store/backup_import.h"
#include "store/message_search.h"
#include "store/sms_backup_xml.h"

namespace brevalo {
namespace {
namespace fs = std::filesystem;

constexpr int kMessages = 100'000;
constexpr int kBackupMessages = 44'300;

struct Fixture {
  fs::path dir = fs::temp_directory_path() / ("backup-bench-" + std::to_string(getpid()));
  Device device{dir};
  std::u16string path = u"\\big.kvt";
  std::string backupXml;

  Fixture() {
    fs::create_directories(dir / "fs");
    bench::WriteLargeDocument(device, path, kMessages, 50);
    std::vector<BackupMessage> messages;
    uint32_t seed = 7;
    for (int i = 0; i < kBackupMessages; ++i) {
      BackupMessage message;
      message.address = u"+86139" + FromUtf8(std::to_string(10000000 + i % 500));
      message.date = 1700000000000 + int64_t{i} * 60000;
      message.type = i % 5 == 0 ? kBackupSent : kBackupReceived;
      message.body = bench::Words(&seed, 100);
      message.read = i % 4 != 0;
      message.readableDate = u"Nov 14, 2023 10:13:20 PM";
      messages.push_back(std::move(message));
    }
    backupXml = WriteBackupXml(messages);
  }
  ~Fixture() { fs::remove_all(dir); }
};

Fixture& Shared() {
  static Fixture fixture;
  return fixture;
}

void BM_Search(benchmark::State& state, std::u16string text) {
  Fixture& fixture = Shared();
  PosixStoreFileSystem files(PosixStoreFileSystem::DevicePaths(fixture.device));
  InMemoryIndexOffsetMemory offsets;
  CodePage page;
  MessageStore store(files, offsets, page);
  FolderTree tree;
  store.Open(fixture.path, StoreAccess::kRead);
  store.LoadIndex(tree);
  SearchQuery query;
  query.text = std::move(text);
  size_t hits = 0;
  for (auto _ : state) {
    SearchResult result = SearchMessages(store, tree, query, nullptr);
    hits = result.hits.size();
    benchmark::DoNotOptimize(result);
  }
  state.counters["hits"] = static_cast<double>(hits);
}
BENCHMARK_CAPTURE(BM_Search, often, u"FRIDAY")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Search, rarely, u"back call me")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Search, never, u"zebra")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Search, number, u"13810099999")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Search, everything, u"")->Unit(benchmark::kMillisecond);

void BM_ImportBackup(benchmark::State& state) {
  Fixture& fixture = Shared();
  PosixStoreFileSystem files(PosixStoreFileSystem::DevicePaths(fixture.device));
  CodePage page;
  int run = 0;
  for (auto _ : state) {
    InMemoryIndexOffsetMemory offsets;
    MessageStore store(files, offsets, page);
    FolderTree tree;
    const std::u16string target = u"\\imported" + FromUtf8(std::to_string(run++)) + u".kvt";
    store.Create(target, StoreHeader{});
    BackupReadResult backup = ReadBackupXml(fixture.backupXml);
    BackupImport import(store, tree, page, [](DATE) { return std::u16string(u"11/14/2023 10:13 PM"); });
    std::string error;
    import.LearnDocument(&error);
    BackupImportReport report = import.File(backup.messages, u"");
    if (!report.ok || report.added != kBackupMessages || !store.Save(tree)) {
      state.SkipWithError("the import failed");
      break;
    }
    store.Close();
  }
}
BENCHMARK(BM_ImportBackup)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
}  // namespace brevalo

BENCHMARK_MAIN();
