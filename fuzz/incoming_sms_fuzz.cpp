// One channel slot of any bytes, taken by a filter whose actions and texts come from the input,
// into a document with or without a recycle bin: the black list, the actions, the folder path
// and the filing must neither crash nor leave the unread counts out of step with the tree,
// before and after the document is saved and read again.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/incoming_sms_handler.h"
#include "channel/channel_slot.h"
#include "store/memory_store_file.h"

namespace {

using namespace brevalo;

class NoActions : public IntakeActions {
 public:
  void AnswerDelete(uint64_t) override {}
  void KeptOnPhone(bool) override {}
  void ShowPopup(std::u16string_view, std::u16string_view, std::u16string_view, int, std::u16string_view,
                 int) override {}
  void PlaySound(std::u16string_view) override {}
  void PlayRandomRing() override {}
  void Vibrate() override {}
  void Enqueue(std::u16string_view, std::u16string_view) override {}
  void StartUnreadReminder() override {}
  void UnreadChanged() override {}
  std::u16string TimeText(DATE) override { return u"1/2/2026 10:30"; }
};

// Reads the input after the slot: a byte, then texts of UTF-16 units up to a zero unit.
class Rest {
 public:
  Rest(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
  std::u16string Text() {
    std::u16string text;
    while (at_ + 1 < size_) {
      char16_t unit = static_cast<char16_t>(data_[at_] | data_[at_ + 1] << 8);
      at_ += 2;
      if (unit == 0) break;
      text += unit;
    }
    return text;
  }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t at_ = 0;
};

void CheckCounts(OpenDocument& doc) {
  uint32_t total = doc.UnreadTotal();
  if (doc.Recount() != total) abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const CodePage codePage;
  std::vector<uint8_t> slot(sizeof(ChannelSlot), 0);
  std::copy(data, data + std::min(size, slot.size()), slot.begin());
  SlotMessage message = ReadChannelSlot(slot.data());
  Rest rest(size > slot.size() ? data + slot.size() : data, size > slot.size() ? size - slot.size() : 0);

  const uint8_t flags = rest.Byte();
  const uint16_t present = static_cast<uint16_t>(rest.Byte() | rest.Byte() << 8);
  auto filter = std::make_unique<Filter>();
  filter->applyToAll = 1;
  for (size_t action = 0; action < ACTION_SLOT_COUNT; ++action) {
    if (present & (1u << action)) filter->SetAction(action, rest.Text());
  }
  FilterEngine filters{std::filesystem::path()};
  filters.AddFilter(std::move(filter));
  if (flags & 1) filters.AddBlackListEntry(u"listed", rest.Text());

  MemoryStoreFileSystem files;
  InMemoryIndexOffsetMemory offsets;
  OpenDocument doc(files, offsets, codePage);
  if (!doc.New(u"doc.kvt", StoreHeader{}, (flags & 2) != 0)) return 0;
  NoActions actions;
  IncomingSmsHandler handler(filters, doc, actions);
  IntakeOptions options;
  options.blackDeleteToRecycleBin = (flags & 4) != 0;
  options.titleMode = flags >> 4 & 3;
  options.summaryLength = flags >> 6;
  for (int copy = 0; copy < 3; ++copy) {
    if (handler.HandleIncomingSms(message, options) != 1) abort();
    CheckCounts(doc);
  }
  uint32_t before = doc.UnreadTotal();
  if (!doc.Close()) return 0;
  if (doc.Open(u"doc.kvt") != OpenOutcome::kOpened) abort();
  if (doc.UnreadTotal() != before) abort();
  doc.Close();
  return 0;
}
