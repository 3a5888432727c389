// Opens any bytes as a document: header, index (with the remembered fall-back), tree, every
// record and body; after a fall-back, the walk for lost messages and their recovery; then
// compacts it and reads the copy back.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "device/code_page.h"
#include "store/folder_tree.h"
#include "store/index_offset_memory.h"
#include "store/lost_messages.h"
#include "store/memory_store_file.h"
#include "store/message_recovery.h"
#include "store/message_store.h"

namespace {

void ReadEverything(brevalo::MessageStore& store, const brevalo::FolderTree& tree) {
  tree.Walk([&](const brevalo::TreeNode& node, int) {
    if (store.ReadRecord(node.Data().offset)) {
      store.RecordNumber();
      store.RecordAuthor();
      store.ReadBodyText();
    }
  });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace brevalo;
  static const CodePage codePage;
  MemoryStoreFileSystem files;
  files.Put(u"doc.kvt", std::vector<uint8_t>(data, data + size));
  InMemoryIndexOffsetMemory offsets;
  offsets.Remember(u"doc.kvt", kFirstIndexOffset);
  MessageStore store(files, offsets, codePage);
  FolderTree tree;
  if (!store.Open(u"doc.kvt")) return 0;
  store.Author();
  store.Password();
  store.LoadIndex(tree);
  ReadEverything(store, tree);
  LostMessageScan lost = FindLostMessages(store);
  RecoverLostMessages(store, lost, store, tree, u"\\Recovered", codePage,
                      [](DATE) { return std::u16string(u"now"); });
  if (store.CompactTo(u"copy.kvt", tree)) {
    MessageStore copy(files, offsets, codePage);
    FolderTree copied;
    if (copy.Open(u"copy.kvt") && copy.LoadIndex(copied)) ReadEverything(copy, copied);
  }
  return 0;
}
