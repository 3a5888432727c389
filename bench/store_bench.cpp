// The document store on a large document: 100,000 messages (bodies of about 100 characters,
// titles of about 30) in 50 folders. Open and build the tree, save the index, file 10,000 more
// messages with their bodies, compact; and the same filing in SQLite (one transaction per
// message, WAL, synchronous=FULL) as the peer to beat.
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <unistd.h>

#include <filesystem>
#include <random>
#include <string>

#include "device/code_page.h"
#include "store/body_codec.h"
#include "store/folder_tree.h"
#include "store/index_offset_memory.h"
#include "store/message_store.h"
#include "store/store_file.h"

namespace brevalo {
namespace {
namespace fs = std::filesystem;

constexpr int kMessages = 100'000;
constexpr int kFolders = 50;
constexpr int kFiled = 10'000;

std::u16string Text(std::mt19937& random, size_t length) {
  static const std::u16string kWords[] = {u"meet", u"at", u"eight", u"the", u"report", u"is",
                                          u"due", u"on", u"Friday", u"call", u"me", u"back",
                                          u"please", u"thanks", u"see", u"you", u"soon"};
  std::u16string text;
  while (text.size() < length) {
    text += kWords[random() % std::size(kWords)];
    text += u' ';
  }
  text.resize(length);
  return text;
}

// One document per run, shared by the benchmarks that only read it.
struct Fixture {
  fs::path dir;
  CodePage page;
  InMemoryIndexOffsetMemory offsets;
  PosixStoreFileSystem files{PosixStoreFileSystem::HostPaths()};

  std::u16string PathOf(const std::string& name) const { return FromUtf8((dir / name).string()); }

  Fixture() {
    dir = fs::temp_directory_path() / ("store-bench-" + std::to_string(getpid()));
    fs::create_directories(dir);
    MessageStore store(files, offsets, page);
    FolderTree tree;
    store.Create(PathOf("big.kvt"), StoreHeader{});
    FileMessages(store, tree, kMessages, 1);
    store.Save(tree);
    store.Close();
  }
  ~Fixture() { fs::remove_all(dir); }

  // Files `count` messages round-robin into the folders, creating them on first use.
  void FileMessages(MessageStore& store, FolderTree& tree, int count, unsigned seed) {
    std::mt19937 random(seed);
    std::vector<TreeNode*> folders;
    for (size_t row = 0; row < tree.Root().ChildCount(); ++row) {
      folders.push_back(tree.Root().Child(row));
    }
    while (folders.size() < kFolders) {
      StoreRecord record;
      record.format = kBodyCompressed;
      NodeData data;
      data.offset = store.AppendRecord(record);
      folders.push_back(&tree.InsertLastChild(
          tree.Root(), u"Folder " + std::u16string(1, char16_t(u'A' + folders.size() % 26)),
          kImageFolder, data));
    }
    for (int i = 0; i < count; ++i) {
      StoreRecord record;
      record.format = kBodyCompressed;
      record.date = 46000.0 + i / 1000.0;
      store.MutableRecord() = record;
      store.SetRecordNumber(u"+86138" + FromUtf8(std::to_string(10000000 + i)));
      NodeData data;
      data.offset = store.AppendRecordWithBody(BodyTextFromUtf16(page, Text(random, 100)));
      tree.InsertLastChild(*folders[static_cast<size_t>(i) % folders.size()], Text(random, 30),
                           kImageUnread, data);
    }
    store.SetTreeChanged();
  }
};

Fixture& Shared() {
  static Fixture fixture;
  return fixture;
}

void BM_OpenAndBuildTree(benchmark::State& state) {
  Fixture& f = Shared();
  for (auto _ : state) {
    MessageStore store(f.files, f.offsets, f.page);
    FolderTree tree;
    if (!store.Open(f.PathOf("big.kvt")) || !store.LoadIndex(tree)) state.SkipWithError("open");
    benchmark::DoNotOptimize(tree.Count());
    store.Close();
  }
}
BENCHMARK(BM_OpenAndBuildTree)->Unit(benchmark::kMillisecond);

void BM_SaveIndex(benchmark::State& state) {
  Fixture& f = Shared();
  fs::copy_file(f.dir / "big.kvt", f.dir / "save.kvt", fs::copy_options::overwrite_existing);
  MessageStore store(f.files, f.offsets, f.page);
  FolderTree tree;
  store.Open(f.PathOf("save.kvt"));
  store.LoadIndex(tree);
  for (auto _ : state) {
    store.SetTreeChanged();
    if (!store.Save(tree)) state.SkipWithError("save");
  }
  store.Close();
}
BENCHMARK(BM_SaveIndex)->Unit(benchmark::kMillisecond);

void BM_FileMessages(benchmark::State& state) {
  Fixture& f = Shared();
  for (auto _ : state) {
    state.PauseTiming();
    fs::copy_file(f.dir / "big.kvt", f.dir / "file.kvt", fs::copy_options::overwrite_existing);
    MessageStore store(f.files, f.offsets, f.page);
    FolderTree tree;
    store.Open(f.PathOf("file.kvt"));
    store.LoadIndex(tree);
    state.ResumeTiming();
    f.FileMessages(store, tree, kFiled, 2);
    if (!store.Save(tree)) state.SkipWithError("save");
    store.Close();
  }
  state.SetItemsProcessed(state.iterations() * kFiled);
}
BENCHMARK(BM_FileMessages)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_Compact(benchmark::State& state) {
  Fixture& f = Shared();
  MessageStore store(f.files, f.offsets, f.page);
  FolderTree tree;
  store.Open(f.PathOf("big.kvt"));
  store.LoadIndex(tree);
  for (auto _ : state) {
    if (!store.CompactTo(f.PathOf("compact.kvt"), tree)) state.SkipWithError("compact");
  }
  store.Close();
}
BENCHMARK(BM_Compact)->Unit(benchmark::kMillisecond)->Iterations(3);

bool Exec(sqlite3* db, const char* sql) {
  return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

// The peer: the same messages into one table, each in a transaction of its own.
void BM_SqliteFileMessages(benchmark::State& state) {
  Fixture& f = Shared();
  for (auto _ : state) {
    state.PauseTiming();
    fs::path file = f.dir / "peer.db";
    fs::remove(file);
    fs::remove(file.string() + "-wal");
    fs::remove(file.string() + "-shm");
    sqlite3* db = nullptr;
    sqlite3_open(file.c_str(), &db);
    Exec(db, "PRAGMA journal_mode=WAL");
    Exec(db, "PRAGMA synchronous=FULL");
    Exec(db, "CREATE TABLE message(id INTEGER PRIMARY KEY, folder INTEGER, title TEXT, "
             "number TEXT, date REAL, body TEXT)");
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO message(folder,title,number,date,body) VALUES(?,?,?,?,?)",
                       -1, &insert, nullptr);
    std::mt19937 random(2);
    state.ResumeTiming();
    for (int i = 0; i < kFiled; ++i) {
      std::string body = ToUtf8(Text(random, 100));
      std::string title = ToUtf8(Text(random, 30));
      std::string number = "+86138" + std::to_string(10000000 + i);
      Exec(db, "BEGIN");
      sqlite3_bind_int(insert, 1, i % kFolders);
      sqlite3_bind_text(insert, 2, title.c_str(), -1, SQLITE_TRANSIENT);
      sqlite3_bind_text(insert, 3, number.c_str(), -1, SQLITE_TRANSIENT);
      sqlite3_bind_double(insert, 4, 46000.0 + i / 1000.0);
      sqlite3_bind_text(insert, 5, body.c_str(), -1, SQLITE_TRANSIENT);
      if (sqlite3_step(insert) != SQLITE_DONE) state.SkipWithError("insert");
      sqlite3_reset(insert);
      Exec(db, "COMMIT");
    }
    state.PauseTiming();
    sqlite3_finalize(insert);
    sqlite3_close(db);
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * kFiled);
}
BENCHMARK(BM_SqliteFileMessages)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
}  // namespace brevalo

BENCHMARK_MAIN();
