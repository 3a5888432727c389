// The large document the benchmarks work on: messages with bodies of about 100 characters and
// titles of about 30, spread over top-level folders, a third of them unread. Every run writes
// the same texts.
#pragma once

#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "device/code_page.h"
#include "device/device_paths.h"
#include "store/document_filing.h"
#include "store/folder_tree.h"
#include "store/index_offset_memory.h"
#include "store/message_store.h"
#include "store/store_file.h"

namespace brevalo::bench {

// Words picked by a small generator.
inline std::u16string Words(uint32_t* seed, size_t length) {
  static const std::u16string kWords[] = {u"meet", u"at", u"eight", u"the", u"report", u"is",
                                          u"due", u"on", u"Friday", u"call", u"me", u"back"};
  std::u16string text;
  while (text.size() < length) {
    *seed = *seed * 1103515245u + 12345u;
    text += kWords[(*seed >> 16) % std::size(kWords)];
    text += u' ';
  }
  text.resize(length);
  return text;
}

// Writes the document at the device path `path`; its folder must exist. False when the store
// could not write it.
inline bool WriteLargeDocument(const Device& device, std::u16string_view path, int messages, int folders) {
  PosixStoreFileSystem files(PosixStoreFileSystem::DevicePaths(device));
  InMemoryIndexOffsetMemory offsets;
  CodePage page;
  MessageStore store(files, offsets, page);
  FolderTree tree;
  if (!store.Create(path, StoreHeader{})) return false;
  std::vector<TreeNode*> tops;
  for (int i = 0; i < folders; ++i) {
    NodeData data;
    data.offset = AppendMessageRecord(store, page, u"", 46000.0, u"");
    tops.push_back(&tree.InsertLastChild(tree.Root(), u"Folder " + FromUtf8(std::to_string(i)), kImageFolder, data));
  }
  uint32_t seed = 1;
  for (int i = 0; i < messages; ++i) {
    NodeData data;
    data.offset = AppendMessageRecord(store, page, u"+86138" + FromUtf8(std::to_string(10000000 + i)),
                                      46000.0 + i / 1000.0, Words(&seed, 100));
    tree.InsertLastChild(*tops[static_cast<size_t>(i % folders)], Words(&seed, 30),
                         i % 3 == 0 ? kImageUnread : kImageRead, data);
  }
  store.SetTreeChanged();
  bool saved = store.Save(tree);
  store.Close();
  return saved;
}

}  // namespace brevalo::bench
