// The import from a full phone: 44,300 messages in the phone's inbox (texts of about 70
// characters, a third of them Chinese), listed into rows as the dialog lists them, then all
// ticked (Check All) and copied into a document under one folder with Delete After Import off
// (the copy, then the save that syncs it) and on (the copy, the save, and the deletion of every
// phone copy). Each run starts from a fresh phone and document.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <random>
#include <string>

#include "app/phone_import.h"
#include "device/mapi_session.h"
#include "device/phone_database.h"
#include "settings/phone_sms_store.h"
#include "store/index_offset_memory.h"
#include "store/node_title.h"
#include "store/store_file.h"

namespace brevalo {
namespace {
namespace fs = std::filesystem;

constexpr int kPhoneMessages = 44'300;
constexpr std::u16string_view kDocument = u"\\My Documents\\sms.kvt";

std::u16string Text(std::mt19937& random, int index) {
  static const std::u16string kLatin[] = {u"meet", u"at", u"eight", u"the", u"report", u"is",
                                          u"due", u"on", u"Friday", u"call", u"me", u"back"};
  static const std::u16string kChinese[] = {u"明天", u"开会", u"请", u"回电", u"谢谢", u"晚上见"};
  std::u16string text;
  while (text.size() < 70) {
    text += index % 3 == 0 ? kChinese[random() % std::size(kChinese)] : kLatin[random() % std::size(kLatin)];
    text += u' ';
  }
  return text;
}

// A device folder with a phone of kPhoneMessages inbox messages and a document with one folder.
class Phone {
 public:
  Phone() : dir_(fs::temp_directory_path() / ("import-bench-" + std::to_string(getpid()))), device_(dir_) {
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "fs" / "My Documents");
    std::unique_ptr<PhoneDatabase> db = PhoneDatabase::OpenDevice(device_);
    db->EnsureStore(kSmsStoreName);
    std::mt19937 random(7);
    std::vector<PhoneMessage> messages(kPhoneMessages);
    for (int i = 0; i < kPhoneMessages; ++i) {
      messages[i].sender = u"+49301" + FromUtf8(std::to_string(100000 + i));
      messages[i].text = Text(random, i);
      messages[i].deliveryTime = 134000000000000000ull + static_cast<uint64_t>(i) * 600'000'000ull;
    }
    db->AddMessages(messages);
    MapiUseDevice(dir_);
  }
  ~Phone() { fs::remove_all(dir_); }

  const Device& device() const { return device_; }

 private:
  fs::path dir_;
  Device device_;
};

ImportClock Clock() { return {GetLocalTime(), {u"M/d/yyyy", u"h:mm tt"}}; }

void BM_ListInbox(benchmark::State& state) {
  Phone phone;
  for (auto _ : state) {
    std::vector<ImportEntry> rows;
    int listed = ListPhoneFolder(kPhoneInboxFolder, Clock(), &rows);
    if (listed != kPhoneMessages) state.SkipWithError("not every message was listed");
    benchmark::DoNotOptimize(rows.data());
  }
  state.counters["messages"] = kPhoneMessages;
}
BENCHMARK(BM_ListInbox)->Unit(benchmark::kMillisecond)->Iterations(3);

// Check All and Import into a new document's folder, and the save; with arg 1, Delete After
// Import, which saves and then deletes every phone copy.
void BM_ImportAll(benchmark::State& state) {
  const bool deleteAfter = state.range(0) == 1;
  for (auto _ : state) {
    state.PauseTiming();
    auto phone = std::make_unique<Phone>();
    std::vector<ImportEntry> rows;
    ListPhoneFolder(kPhoneInboxFolder, Clock(), &rows);
    for (ImportEntry& row : rows) row.ticked = true;
    PosixStoreFileSystem files(PosixStoreFileSystem::DevicePaths(phone->device()));
    InMemoryIndexOffsetMemory offsets;
    CodePage page;
    OpenDocument document(files, offsets, page);
    document.New(kDocument, StoreHeader{}, false);
    TreeNode* target = document.SpecialFolder(kInbox);
    state.ResumeTiming();

    PhoneImportReport report = ImportTickedRows(document, *target, rows, {kTitleContactTime, 10, deleteAfter},
                                                [](DATE) { return u"12/9/2026 9:30 AM"; });
    if (report.copied != rows.size()) state.SkipWithError("not every message was copied");
    if (deleteAfter && report.deleted != rows.size()) state.SkipWithError("not every phone copy was deleted");
    // Without deleting, the import itself does not save; the save that follows is timed too.
    if (!deleteAfter && !document.Save()) state.SkipWithError("the document was not saved");

    state.PauseTiming();
    document.CloseWithoutSaving();
    phone.reset();
    state.ResumeTiming();
  }
  state.counters["messages"] = kPhoneMessages;
}
BENCHMARK(BM_ImportAll)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
}  // namespace brevalo

BENCHMARK_MAIN();
