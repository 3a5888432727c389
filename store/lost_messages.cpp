#include "store/lost_messages.h"

namespace brevalo {

LostMessageScan FindLostMessages(MessageStore& store) {
  LostMessageScan scan;
  const std::optional<MessageStore::IndexFallBack>& fellBack = store.FellBack();
  if (!fellBack) return scan;
  std::optional<uint32_t> olderIndex = store.IndexExtent(fellBack->used);
  if (!olderIndex) return scan;
  scan.from = fellBack->used + *olderIndex;
  scan.to = fellBack->damaged;
  uint32_t at = scan.from;
  while (at < scan.to) {
    if (std::optional<uint32_t> record = store.AppendedRecordExtent(at)) {
      if (store.ReadRecord(at) && (store.Record().hasBody == 1 || !store.RecordNumber().empty())) {
        scan.messages.push_back(at);
      }
      at += *record;
      continue;
    }
    // A save between the two indexes that did not reach the header left an index here.
    if (std::optional<uint32_t> index = store.IndexExtent(at)) {
      at += *index;
      continue;
    }
    scan.stoppedAt = at;
    break;
  }
  return scan;
}

}  // namespace brevalo
