// Any bytes as the journal beside a document: read up to the last whole entry with the damage
// reported and never beyond the bytes, applied to the document's tree without a crash, and
// folded by a save so that a second open adds nothing twice. The first input byte chooses
// whether the rest is the whole journal or the entries behind a header of the document's own
// base, which the replay then applies.
#include <cstddef>
#include <cstdint>
#include <algorithm>
#include <cstdlib>
#include <vector>

#include "device/code_page.h"
#include "store/document_filing.h"
#include "store/index_offset_memory.h"
#include "store/journal_reader.h"
#include "store/memory_store_file.h"
#include "store/message_store.h"

namespace {

using namespace brevalo;

void Check(bool condition) {
  if (!condition) abort();
}

void CheckReader(const std::vector<uint8_t>& bytes) {
  JournalContents read = ReadJournal(bytes.data(), bytes.size());
  Check(read.end <= bytes.size());
  if (read.damage) Check(read.damage->offset + read.damage->dropped == bytes.size());
  if (!read.base) return;
  // The whole entries read are exactly the bytes up to the end, written again.
  std::vector<uint8_t> again(bytes.begin(), bytes.begin() + kJournalHeaderSize);
  for (const JournalEntry& entry : read.entries) {
    std::vector<uint8_t> encoded = EncodeJournalEntry(entry);
    again.insert(again.end(), encoded.begin(), encoded.end());
  }
  Check(again.size() == read.end);
  Check(std::equal(again.begin(), again.end(), bytes.begin()));
}

// A small document with an inbox and a recycle bin, saved; its header's base.
JournalBase MakeDocument(MemoryStoreFileSystem& files, MessageStore& store) {
  FolderTree tree;
  Check(store.Create(u"doc.kvt", StoreHeader{}));
  TreeNode* inbox = nullptr;
  Check(FindOrCreateFolder(store, tree, u"\\Inbox", FolderPlacement::kFirstChild, &inbox));
  tree.InsertLastChild(tree.Root(), u"Recycle Bin", kImageBinEmpty, NodeData{});
  store.SetTreeChanged();
  Check(store.Save(tree));
  store.Close();
  std::vector<uint8_t> header = files.Bytes(u"doc.kvt");
  return JournalBase{DecodeFixed32(header.data() + kHeaderIndexOffset),
                     DecodeFixed64(header.data() + kHeaderBuildDate)};
}

size_t OpenCount(MessageStore& store, FolderTree& tree) {
  if (!store.Open(u"doc.kvt")) return 0;
  store.LoadIndex(tree);
  tree.Walk([&](const TreeNode& node, int) {
    if (store.ReadRecord(node.Data().offset)) store.ReadBodyText();
  });
  return tree.Count();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  static const CodePage page;
  MemoryStoreFileSystem files;
  InMemoryIndexOffsetMemory offsets;
  MessageStore store(files, offsets, page);
  const JournalBase base = MakeDocument(files, store);

  std::vector<uint8_t> journal(data + 1, data + size);
  if (data[0] % 2 == 0) {
    uint8_t header[kJournalHeaderSize];
    EncodeJournalHeader(base, header);
    journal.insert(journal.begin(), header, header + sizeof header);
  }
  CheckReader(journal);
  files.Put(u"doc.kvt.jnl", journal);

  FolderTree tree;
  const size_t applied = OpenCount(store, tree);
  store.Save(tree);
  store.Close();
  FolderTree again;
  Check(OpenCount(store, again) == applied);
  return 0;
}
