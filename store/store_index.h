// Writing an IndexBlock's label text in portions, reading an IndexBlock, and building the folder
// tree from what was read.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "device/code_page.h"
#include "store/folder_tree.h"
#include "store/store_file.h"
#include "store/store_format.h"

namespace brevalo {

// The label text goes to the file in portions of this many UTF-16 units, whatever the size of
// the tree. The work area is sized as the file format's writers have always sized it: a 4-byte
// lead-in for carried bytes, the units, and room for a line end and the terminator.
inline constexpr size_t kIndexWorkAreaBytes = 204920;
inline constexpr size_t kIndexPortionUnits = 102400;

// Writes the label text from `start` on, scrambled with NOT key as one run from its first byte.
// Labels are written so that they read back as one line at their depth: CR, LF and NUL become
// spaces, and so do TABs in front of a label.
class IndexTextWriter {
 public:
  // The file and code page must outlive the writer.
  IndexTextWriter(StoreFile& file, uint64_t start, uint32_t key, const CodePage& codePage);
  IndexTextWriter(const IndexTextWriter&) = delete;
  IndexTextWriter& operator=(const IndexTextWriter&) = delete;

  bool AddLine(int depth, std::u16string_view label);
  // Writes the rest and the zero byte. False when any write failed.
  bool Finish();
  // Text size in bytes, including the zero byte once finished.
  uint64_t Size() const { return written_ + carry_.size(); }

 private:
  bool Put(char16_t unit);
  bool WritePortion(bool last);

  StoreFile& file_;
  uint64_t start_;
  uint32_t key_;
  const CodePage& codePage_;
  std::u16string units_;
  std::string carry_;  // 0 to 3 converted bytes not yet written, still plain
  uint64_t written_ = 0;
  bool failed_ = false;
};

// The node table entries of a tree, in pre-order.
void EncodeNodeEntry(uint8_t* out, uint32_t offset, uint32_t kind);

struct IndexContents {
  IndexHead head;
  std::string text;            // plain ANSI, text size bytes
  std::vector<uint8_t> table;  // node count x 8 bytes
};

// Reads and unscrambles the IndexBlock at `offset`. Nothing when the head, text or table is short
// (sizes are checked against the file before anything is allocated).
std::optional<IndexContents> ReadIndexBlock(StoreFile& file, uint32_t offset);

// Builds the tree of `contents` into `tree` (which should be empty). Entry i of the table belongs
// to line i; lines without an entry are dropped. A depth more than one below the previous line
// is taken as one below it. Returns the first recycle bin, labelled `binLabel`, or null.
TreeNode* BuildTree(const CodePage& codePage, const IndexContents& contents,
                    std::u16string_view binLabel, FolderTree& tree);

}  // namespace brevalo
