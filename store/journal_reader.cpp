#include "store/journal_reader.h"

#include "store/store_format.h"

namespace brevalo {
namespace {

void Damaged(JournalContents& contents, uint64_t at, size_t size, std::string reason) {
  contents.damage = JournalDamage{at, size - at, std::move(reason)};
}

}  // namespace

JournalContents ReadJournal(const uint8_t* bytes, size_t size) {
  JournalContents contents;
  if (size == 0) return contents;
  if (size < kJournalHeaderSize) {
    Damaged(contents, 0, size, "the journal header is cut short");
    return contents;
  }
  contents.base = DecodeJournalHeader(bytes);
  if (!contents.base) {
    Damaged(contents, 0, size, "the file does not start like a journal");
    return contents;
  }
  uint64_t at = kJournalHeaderSize;
  while (at < size) {
    const uint64_t left = size - at;
    if (left < kJournalEntryHeadSize) {
      Damaged(contents, at, size, "an entry is cut short");
      break;
    }
    const uint32_t payload = DecodeFixed32(bytes + at);
    if (payload > kMaxJournalPayload) {
      Damaged(contents, at, size, "an entry's size is beyond any message");
      break;
    }
    if (left - kJournalEntryHeadSize < payload) {
      Damaged(contents, at, size, "an entry is cut short");
      break;
    }
    const uint8_t* data = bytes + at + kJournalEntryHeadSize;
    if (JournalChecksum(data, payload) != DecodeFixed32(bytes + at + 4)) {
      Damaged(contents, at, size, "an entry's checksum does not match");
      break;
    }
    std::optional<JournalEntry> entry = DecodeJournalPayload(data, payload);
    if (!entry) {
      Damaged(contents, at, size, "an entry's fields do not add up");
      break;
    }
    contents.entries.push_back(std::move(*entry));
    at += kJournalEntryHeadSize + payload;
  }
  contents.end = contents.damage ? contents.damage->offset : at;
  return contents;
}

JournalContents ReadJournal(StoreFile& file) {
  std::optional<uint64_t> size = file.Size();
  std::vector<uint8_t> bytes;
  if (size) {
    bytes.resize(*size);
    bytes.resize(file.ReadAt(0, bytes.data(), bytes.size()));
  }
  if (!size || bytes.size() != *size) {
    JournalContents contents;
    contents.damage = JournalDamage{0, size.value_or(0), "the journal cannot be read"};
    return contents;
  }
  return ReadJournal(bytes.data(), bytes.size());
}

}  // namespace brevalo
