// Opens any bytes as the program's document, then works on whatever tree came out as the
// commands do: recount, read, export, copy and paste, delete into the bin, empty, remove the
// bin, save and close. A damaged index may hold a recycle bin deep inside a folder, several
// bins, or kinds that are no image; none of it may crash or leave a dangling node.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "app/open_document.h"
#include "store/memory_store_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace brevalo;
  static const CodePage codePage;
  MemoryStoreFileSystem files;
  files.Put(u"doc.kvt", std::vector<uint8_t>(data, data + size));
  InMemoryIndexOffsetMemory offsets;
  OpenDocument doc(files, offsets, codePage);
  if (doc.Open(u"doc.kvt") != OpenOutcome::kOpened) return 0;
  FolderTree& tree = doc.Tree();
  auto date = [](DATE) { return std::u16string(u"date"); };
  if (!tree.Empty()) {
    TreeNode& first = *tree.Root().Child(0);
    doc.ExportTxt(first, u"out.txt", date);
    doc.SpecialFolder(kInbox);
    if (doc.SetClipboard(first, true)) doc.Paste(*tree.Root().Child(tree.Root().ChildCount() - 1));
  }
  // Every top-level node in turn goes the way of Delete, the bin included once it is the last.
  for (int guard = 0; guard < 64 && !tree.Empty(); ++guard) {
    TreeNode& node = *tree.Root().Child(0);
    if (node.ChildCount() > 0) doc.EmptyFolder(node);
    if (!doc.Delete(node)) doc.ToggleRecycleBin();
    if (doc.UnreadTotal() > 0xFFFF * 64u) abort();
  }
  doc.EmptyRecycleBin();
  doc.Close();
  return 0;
}
