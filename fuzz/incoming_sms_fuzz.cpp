// One channel slot of any content (laid out as fuzz/slot_image.h describes, so that bodies up
// to the field's 40960 units are reached), taken by a filter whose actions and texts come from
// the input, into a document with or without a recycle bin: the black list, the actions, the
// folder path and the filing must neither crash nor leave the unread counts out of step with
// the tree, before and after the document is saved and read again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "app/incoming_sms_handler.h"
#include "channel/channel_slot.h"
#include "fuzz/slot_image.h"
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
  bool MayAutoReply(std::u16string_view) override { return true; }
  void StartUnreadReminder() override {}
  void UnreadChanged() override {}
  std::u16string TimeText(DATE) override { return u"1/2/2026 10:30"; }
};

void CheckCounts(OpenDocument& doc) {
  uint32_t total = doc.UnreadTotal();
  if (doc.Recount() != total) abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const CodePage codePage;
  static const auto slot = std::make_unique<ChannelSlot>();
  // After the slot: a byte of flags, two of present actions, then texts of UTF-16 units up to a
  // zero unit.
  fuzz::InputCursor rest(data, size);
  fuzz::LaySlot(rest, slot.get());
  const SlotMessage message = ReadChannelSlot(*slot);

  const uint8_t flags = rest.Byte();
  const uint16_t present = rest.Le16();
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
