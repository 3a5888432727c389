#include "store/store_index.h"

#include <algorithm>
#include <limits>

namespace brevalo {
namespace {

constexpr char16_t kTab = u'\t';
constexpr char16_t kCr = u'\r';
constexpr char16_t kLf = u'\n';

bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }

}  // namespace

static_assert(kIndexWorkAreaBytes >= 4 + 2 * kIndexPortionUnits + 4);

IndexTextWriter::IndexTextWriter(StoreFile& file, uint64_t start, uint32_t key,
                                 const CodePage& codePage)
    : file_(file), start_(start), key_(key), codePage_(codePage) {
  units_.reserve(kIndexPortionUnits);
}

bool IndexTextWriter::AddLine(int depth, std::u16string_view label) {
  for (int i = 0; i < depth; ++i) Put(kTab);
  bool leading = true;
  for (char16_t unit : label) {
    bool breaksLine = unit == kCr || unit == kLf || unit == 0;
    leading = leading && unit == kTab;
    Put(breaksLine || leading ? u' ' : unit);
  }
  Put(kCr);
  Put(kLf);
  return !failed_;
}

bool IndexTextWriter::Put(char16_t unit) {
  if (units_.size() == kIndexPortionUnits) WritePortion(false);
  units_.push_back(unit);
  return !failed_;
}

bool IndexTextWriter::WritePortion(bool last) {
  // A surrogate pair must reach the code page whole, so a dangling high half waits for the next
  // portion.
  std::u16string held;
  if (!last && !units_.empty() && IsHighSurrogate(units_.back())) {
    held.push_back(units_.back());
    units_.pop_back();
  }
  std::string bytes = carry_ + codePage_.FromUtf16(units_);
  units_ = std::move(held);
  units_.reserve(kIndexPortionUnits);
  if (last) bytes.push_back('\0');
  // Scrambling runs in whole words from the first byte of the text, so only whole words go out
  // before the end; the bytes behind them wait, plain, in front of the next portion.
  size_t whole = last ? bytes.size() : bytes.size() / 4 * 4;
  ScrambleWords(~key_, reinterpret_cast<uint8_t*>(bytes.data()), bytes.size() / 4);
  carry_.assign(bytes, whole, std::string::npos);
  if (!failed_ && whole > 0) {
    failed_ = !file_.WriteAt(start_ + written_, bytes.data(), whole) || !file_.Flush();
  }
  written_ += whole;
  return !failed_;
}

bool IndexTextWriter::Finish() {
  WritePortion(true);
  return !failed_ && written_ <= std::numeric_limits<uint32_t>::max();
}

void EncodeNodeEntry(uint8_t* out, uint32_t offset, uint32_t kind) {
  EncodeFixed32(out, offset);
  EncodeFixed32(out + 4, kind);
}

std::optional<IndexContents> ReadIndexBlock(StoreFile& file, uint32_t offset) {
  auto fileSize = file.Size();
  uint8_t head[kIndexHeadSize];
  if (!fileSize || file.ReadAt(offset, head, sizeof head) != sizeof head) return std::nullopt;
  IndexContents contents;
  contents.head = DecodeIndexHead(head);
  if (contents.head.textSize == 0) return contents;
  uint64_t textAt = uint64_t{offset} + kIndexHeadSize;
  uint64_t tableAt = textAt + contents.head.textSize;
  uint64_t tableSize = uint64_t{contents.head.nodeCount} * kNodeEntrySize;
  if (tableAt > *fileSize || tableSize > *fileSize - tableAt) return std::nullopt;
  contents.text.resize(contents.head.textSize);
  contents.table.resize(tableSize);
  if (file.ReadAt(textAt, contents.text.data(), contents.text.size()) != contents.text.size() ||
      file.ReadAt(tableAt, contents.table.data(), tableSize) != tableSize) {
    return std::nullopt;
  }
  ScrambleText(contents.head.key, reinterpret_cast<uint8_t*>(contents.text.data()),
               contents.text.size());
  return contents;
}

TreeNode* BuildTree(const CodePage& codePage, const IndexContents& contents,
                    std::u16string_view binLabel, FolderTree& tree) {
  std::string_view ansi = contents.text;
  std::u16string text = codePage.ToUtf16(ansi.substr(0, ansi.find('\0')));
  std::u16string_view rest = text;
  size_t entries = contents.table.size() / kNodeEntrySize;
  TreeNode* bin = nullptr;
  std::vector<TreeNode*> lastAtDepth;  // the newest node at each depth on the current path
  for (size_t entry = 0; entry < entries && !rest.empty(); ++entry) {
    size_t end = std::min(rest.find(kCr), rest.size());
    std::u16string_view line = rest.substr(0, end);
    rest.remove_prefix(end);
    if (!rest.empty()) rest.remove_prefix(1);  // the CR, then any number of LF
    while (!rest.empty() && rest.front() == kLf) rest.remove_prefix(1);
    size_t tabs = std::min(line.find_first_not_of(kTab), line.size());
    size_t depth = std::min(tabs, lastAtDepth.size());
    line.remove_prefix(tabs);

    const uint8_t* raw = contents.table.data() + entry * kNodeEntrySize;
    int image = ImageFromNodeKind(DecodeFixed32(raw + 4));
    NodeData data{DecodeFixed32(raw), 0, 0};
    bool isBin = IsRecycleBinImage(image);
    TreeNode& parent = depth == 0 ? tree.Root() : *lastAtDepth[depth - 1];
    TreeNode& node =
        tree.InsertLastChild(parent, std::u16string(isBin ? binLabel : line), image, data);
    if (isBin && !bin) bin = &node;
    lastAtDepth.resize(depth);
    lastAtDepth.push_back(&node);
  }
  return bin;
}

}  // namespace brevalo
