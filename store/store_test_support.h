// Shared by the store's tests: a byte reader for document files written apart from the store's
// own reader (byte-wise, from the layout alone), and a fixture that files messages into a tree.
#pragma once

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <cstring>
#include <ostream>
#include <string>
#include <vector>

#include "device/code_page.h"
#include "store/body_codec.h"
#include "store/folder_tree.h"
#include "store/index_offset_memory.h"
#include "store/memory_store_file.h"
#include "store/message_store.h"

namespace brevalo::testing {

using Bytes = std::vector<uint8_t>;

inline uint32_t RawU32(const Bytes& bytes, size_t at) {
  uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = value * 256 + bytes.at(at + static_cast<size_t>(i));
  return value;
}

// XOR with NOT key, one byte at a time; only the whole words of the run.
inline std::string RawUnscramble(const Bytes& bytes, size_t at, size_t size, uint32_t key) {
  std::string out;
  uint32_t mask = ~key;
  for (size_t i = 0; i < size; ++i) {
    uint8_t byte = bytes.at(at + i);
    if (i < size / 4 * 4) byte ^= static_cast<uint8_t>(mask >> (8 * (i % 4)));
    out.push_back(static_cast<char>(byte));
  }
  return out;
}

inline std::string CString(const std::string& field) { return field.substr(0, field.find('\0')); }

struct RawHeader {
  uint32_t indexOffset, key, version;
  std::string password, author, signature;
  double modifyDate, buildDate;
};

inline double RawDouble(const Bytes& bytes, size_t at) {
  uint64_t bits = RawU32(bytes, at) | (uint64_t{RawU32(bytes, at + 4)} << 32);
  double value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

inline RawHeader ParseRawHeader(const Bytes& bytes) {
  RawHeader header;
  header.indexOffset = RawU32(bytes, 8);
  header.modifyDate = RawDouble(bytes, 12);
  header.key = RawU32(bytes, 20);
  header.password = CString(RawUnscramble(bytes, 24, 12, header.key));
  header.author = CString(RawUnscramble(bytes, 36, 16, header.key));
  header.buildDate = RawDouble(bytes, 52);
  header.signature = std::string(bytes.begin() + 64, bytes.begin() + 69);
  header.version = RawU32(bytes, 72);
  return header;
}

struct RawRecord {
  uint32_t format, key, hasBody;
  std::string author, number, password;
  std::string text;  // the body's ANSI text up to its zero byte
  size_t end;        // offset behind the record and its body
};

inline std::string RawInflate(const Bytes& bytes, size_t at, uint32_t compressed, uint32_t size) {
  std::string out(size, '\0');
  uLongf outSize = size;
  EXPECT_EQ(
      uncompress(reinterpret_cast<Bytef*>(out.data()), &outSize, bytes.data() + at, compressed),
      Z_OK);
  return CString(out);
}

inline RawRecord ParseRawRecord(const Bytes& bytes, size_t at) {
  RawRecord record;
  record.format = RawU32(bytes, at);
  record.key = RawU32(bytes, at + 28);
  record.hasBody = RawU32(bytes, at + 32);
  record.author = CString(RawUnscramble(bytes, at + 4, 16, record.key));
  record.number = CString(RawUnscramble(bytes, at + 36, 52, record.key));
  record.password = CString(RawUnscramble(bytes, at + 88, 12, record.key));
  record.end = at + 104;
  if (record.hasBody == 1 && record.format == 3) {
    uint32_t compressed = RawU32(bytes, at + 104);
    uint32_t size = RawU32(bytes, at + 108);
    record.text = RawInflate(bytes, at + 112, compressed, size);
    record.end = at + 112 + compressed;
  } else if (record.hasBody == 1 && record.format <= 1) {
    uint32_t size = RawU32(bytes, at + 104);
    record.text = CString(RawUnscramble(bytes, at + 108, size, record.key));
    record.end = at + 108 + size;
  }
  return record;
}

struct RawEntry {
  int depth;
  std::string label;
  uint32_t offset, kind;
};

struct RawIndex {
  uint32_t key, nodeCount, textSize;
  std::string plainText;  // unscrambled, zero byte included
  std::vector<RawEntry> entries;
  size_t end;
};

inline RawIndex ParseRawIndex(const Bytes& bytes, size_t at) {
  RawIndex index;
  index.key = RawU32(bytes, at + 4);
  index.nodeCount = RawU32(bytes, at + 8);
  index.textSize = RawU32(bytes, at + 12);
  index.plainText = RawUnscramble(bytes, at + 20, index.textSize, index.key);
  std::vector<std::string> lines;
  std::string line;
  for (char c : CString(index.plainText)) {
    if (c == '\n') {
      lines.push_back(line);
      line.clear();
    } else if (c != '\r') {
      line.push_back(c);
    }
  }
  size_t table = at + 20 + index.textSize;
  for (size_t i = 0; i < index.nodeCount; ++i) {
    RawEntry entry{0, i < lines.size() ? lines[i] : "", RawU32(bytes, table + 8 * i),
                   RawU32(bytes, table + 8 * i + 4)};
    while (!entry.label.empty() && entry.label[0] == '\t') {
      entry.label.erase(0, 1);
      ++entry.depth;
    }
    index.entries.push_back(entry);
  }
  index.end = table + 8 * index.nodeCount;
  return index;
}

// A node as the user sees it: where it sits, what it is called, its image and its text.
struct NodeView {
  int depth;
  std::u16string label;
  int image;
  std::u16string text;
  bool operator==(const NodeView&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const NodeView& node) {
  return out << node.depth << ':' << ToUtf8(node.label) << ':' << node.image << ':'
             << ToUtf8(node.text);
}

class StoreTest : public ::testing::Test {
 protected:
  static constexpr std::u16string_view kPath = u"\\My Documents\\sms.kvt";

  void CreateDocument(std::u16string_view author = u"", std::u16string_view password = u"") {
    StoreHeader header;
    codePage.ToFixedField(author, header.author, sizeof header.author);
    codePage.ToFixedField(password, header.password, sizeof header.password);
    ASSERT_TRUE(store.Create(kPath, header));
  }

  TreeNode& AddFolder(TreeNode& parent, std::u16string label) {
    StoreRecord record;
    store.MutableRecord() = record;
    uint32_t offset = store.AppendRecord();
    EXPECT_NE(offset, 0u);
    store.SetTreeChanged();
    return tree.InsertLastChild(parent, std::move(label), kImageFolder, NodeData{offset, 0, 0});
  }

  TreeNode& AddMessage(TreeNode& parent, std::u16string label, std::u16string_view number,
                       std::u16string_view text, int image = kImageUnread) {
    store.MutableRecord() = StoreRecord{};
    store.SetRecordNumber(number);
    uint32_t offset = store.AppendRecordWithBody(BodyTextFromUtf16(codePage, text));
    EXPECT_NE(offset, 0u);
    store.SetTreeChanged();
    return tree.InsertLastChild(parent, std::move(label), image, NodeData{offset, 0, 0});
  }

  TreeNode& AddBin(bool full = false) {
    store.SetTreeChanged();
    return tree.InsertLastChild(tree.Root(), std::u16string(kRecycleBinLabel),
                                full ? kImageBinFull : kImageBinEmpty, NodeData{});
  }

  // Every node with its text, read through `reader` (which must have the document open).
  static std::vector<NodeView> View(MessageStore& reader, const FolderTree& shown) {
    std::vector<NodeView> nodes;
    shown.Walk([&](const TreeNode& node, int depth) {
      std::u16string text;
      if (!IsRecycleBinImage(node.Image()) && reader.ReadRecord(node.Data().offset)) {
        text = reader.ReadBodyText().value_or(u"<unreadable>");
      }
      nodes.push_back({depth, node.Label(), node.Image(), text});
    });
    return nodes;
  }

  // Opens `path` in a second store and returns what it shows.
  std::vector<NodeView> Reopen(std::u16string_view path, IndexOffsetMemory& memory) {
    MessageStore reader(files, memory, codePage);
    FolderTree shown;
    if (!reader.Open(path, StoreAccess::kRead)) return {};
    reader.LoadIndex(shown);
    return View(reader, shown);
  }
  std::vector<NodeView> Reopen(std::u16string_view path = kPath) { return Reopen(path, offsets); }

  Bytes FileBytes(std::u16string_view path = kPath) const { return files.Bytes(path); }

  MemoryStoreFileSystem files;
  InMemoryIndexOffsetMemory offsets;
  CodePage codePage;
  MessageStore store{files, offsets, codePage};
  FolderTree tree;
};

}  // namespace brevalo::testing
