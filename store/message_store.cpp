#include "store/message_store.h"

#include <bit>
#include <cassert>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "device/random_key.h"
#include "device/system_time.h"
#include "store/body_codec.h"
#include "store/buffered_store_file.h"
#include "store/store_index.h"

namespace brevalo {
namespace {

constexpr uint64_t kMaxOffset = std::numeric_limits<uint32_t>::max();

}  // namespace

class MessageStore::Guard {
 public:
  explicit Guard(MessageStore& store) : store_(store) { store_.Lock(); }
  ~Guard() { store_.Unlock(); }
  Guard(const Guard&) = delete;
  Guard& operator=(const Guard&) = delete;

 private:
  MessageStore& store_;
};

MessageStore::MessageStore(StoreFileSystem& files, IndexOffsetMemory& offsets,
                           const CodePage& codePage)
    : files_(files), offsets_(offsets), codePage_(codePage), journal_(files) {
  Reset();
}

MessageStore::~MessageStore() { Close(); }

void MessageStore::Lock() {
  mutex_.lock();
  ++lockDepth_;
}

void MessageStore::Unlock() {
  if (lockDepth_ <= 0) return;
  --lockDepth_;
  mutex_.unlock();
}

void MessageStore::Reset() {
  Guard guard(*this);
  file_.reset();
  reader_ = nullptr;
  path_.clear();
  isOpen_ = false;
  recycleBin_ = nullptr;
  treeChanged_ = false;
  headerChanged_ = false;
  record_ = StoreRecord{};
  bodyOffset_ = 0;
  header_ = StoreHeader{};
  diskIndexOffset_ = 0;
  index_ = IndexHead{};
  journal_.Detach();
  journalReport_ = JournalReplayReport{};
  filedTickets_.clear();
  fellBack_.reset();
  access_ = StoreAccess::kWrite;
  appendedAt_ = 0;
  appended_.clear();
}

bool MessageStore::Open(std::u16string_view path, StoreAccess access) {
  Guard guard(*this);
  if (file_) return false;
  openError_ = StoreOpenError::kCannotOpen;
  file_ = files_.Open(path, access == StoreAccess::kRead ? StoreOpenMode::kReadOnly
                                                         : StoreOpenMode::kReadWrite);
  if (!file_) return false;
  // A second writer would append over the first one's records and overwrite its index.
  if (access == StoreAccess::kWrite && !file_->TryLockForWriting()) {
    Reset();
    openError_ = StoreOpenError::kLocked;
    return false;
  }
  reader_ = file_.get();
  path_ = path;
  access_ = access;
  uint8_t raw[kHeaderSize];
  if (file_->ReadAt(0, raw, sizeof raw) != sizeof raw) {
    // Closed at once: a store left holding a file it could not open would refuse every later Open.
    Reset();
    openError_ = StoreOpenError::kShort;
    return false;
  }
  header_ = DecodeHeader(raw);
  diskIndexOffset_ = header_.indexOffset;
  isOpen_ = true;
  openError_ = StoreOpenError::kNone;
  return true;
}

bool MessageStore::Create(std::u16string_view path, const StoreHeader& headerTemplate) {
  Guard guard(*this);
  if (file_) return false;
  openError_ = StoreOpenError::kCannotOpen;
  file_ = files_.Open(path, StoreOpenMode::kCreate);
  if (!file_) return false;
  // Emptied only once it is ours: a document another writer has open stays as it is.
  if (!file_->TryLockForWriting()) {
    Reset();
    openError_ = StoreOpenError::kLocked;
    return false;
  }
  if (!file_->Truncate(0)) {
    Reset();
    return false;
  }
  reader_ = file_.get();
  path_ = path;
  access_ = StoreAccess::kWrite;
  header_ = headerTemplate;
  header_.buildDate = CurrentOleDate();
  header_.version = kStoreVersion;
  std::memcpy(header_.signature, kSignature, kSignatureSize);
  header_.indexOffset = kFirstIndexOffset;
  index_ = IndexHead{};
  uint8_t head[kIndexHeadSize];
  EncodeIndexHead(index_, head);
  // The empty index first, so the header never names bytes that are not there.
  headerChanged_ = true;
  bool written = file_->WriteAt(kFirstIndexOffset, head, sizeof head) && file_->Flush() &&
                 file_->Sync() && WriteHeader();
  if (!written) {
    Reset();
    return false;
  }
  // A journal left beside an earlier file of this name belongs to that file.
  journal_.Attach(path_, JournalAccess::kWrite);
  if (!journal_.Restart(CurrentBase())) {
    Reset();
    return false;
  }
  isOpen_ = true;
  openError_ = StoreOpenError::kNone;
  return true;
}

void MessageStore::Close() {
  Guard guard(*this);
  if (file_) Reset();
}

std::optional<uint64_t> MessageStore::FileSize() {
  Guard guard(*this);
  if (!file_) return std::nullopt;
  return file_->Size();
}

bool MessageStore::ReadRecord(uint32_t offset) {
  Guard guard(*this);
  bodyOffset_ = 0;
  if (!isOpen_ || offset < kHeaderSize) return false;
  uint8_t raw[kRecordSize];
  if (reader_->ReadAt(offset, raw, sizeof raw) != sizeof raw) return false;
  record_ = DecodeRecord(raw);
  bodyOffset_ = uint64_t{offset} + kRecordSize;
  return true;
}

std::optional<uint32_t> MessageStore::AppendedRecordExtent(uint32_t offset) {
  Guard guard(*this);
  uint8_t raw[kRecordSize];
  if (!isOpen_ || offset < kHeaderSize || reader_->ReadAt(offset, raw, sizeof raw) != sizeof raw) {
    return std::nullopt;
  }
  const StoreRecord record = DecodeRecord(raw);
  // Day 2958466 is the first of the year 10000.
  const bool plausibleDate = std::isfinite(record.date) && record.date >= 0 && record.date < 2958466;
  if ((record.format != kBodyCompressed && record.format != kBodyNone4) || record.hasBody > 1 ||
      !plausibleDate) {
    return std::nullopt;
  }
  uint64_t extent = kRecordSize;
  if (record.hasBody == 1) {
    auto body = ReadStoredBody(*reader_, uint64_t{offset} + kRecordSize, record.format);
    if (!body || (record.format == kBodyCompressed && !InflatesWhole(*body))) return std::nullopt;
    extent += body->bytes.size();
  }
  if (extent > UINT32_MAX - offset) return std::nullopt;
  return static_cast<uint32_t>(extent);
}

std::optional<uint32_t> MessageStore::IndexExtent(uint32_t offset) {
  Guard guard(*this);
  uint8_t head[kIndexHeadSize];
  if (!isOpen_ || reader_->ReadAt(offset, head, sizeof head) != sizeof head) return std::nullopt;
  // The words around the sizes are always written as zero.
  if (DecodeFixed32(head) != 0 || DecodeFixed32(head + 16) != 0) return std::nullopt;
  auto contents = ReadIndexBlock(*reader_, offset);
  if (!contents) return std::nullopt;
  const uint64_t extent = kIndexHeadSize + contents->text.size() + contents->table.size();
  if (extent > UINT32_MAX - offset) return std::nullopt;
  return static_cast<uint32_t>(extent);
}

std::optional<std::string> MessageStore::ReadBody() {
  Guard guard(*this);
  if (!isOpen_ || bodyOffset_ == 0) return std::nullopt;
  if (record_.hasBody != 1) return std::string();
  auto stored = ReadStoredBody(*reader_, bodyOffset_, record_.format);
  if (!stored) return std::nullopt;
  return DecodeBody(*stored, record_.format, record_.key);
}

std::optional<std::u16string> MessageStore::ReadBodyText() {
  Guard guard(*this);
  auto ansi = ReadBody();
  if (!ansi) return std::nullopt;
  return BodyTextToUtf16(codePage_, *ansi);
}

std::optional<uint64_t> MessageStore::AppendPosition(uint64_t size) {
  if (!isOpen_) return std::nullopt;
  auto end = file_->Size();
  // Offsets are 32-bit in the file: what would lie beyond cannot be named and is not written.
  if (!end || *end > kMaxOffset || size > kMaxOffset - *end) return std::nullopt;
  return end;
}

bool MessageStore::WriteRecordAt(uint64_t offset, const StoreRecord& record) {
  uint32_t key = RandomKey();
  uint8_t raw[kRecordSize];
  EncodeRecord(record, key, raw);
  if (!file_->WriteAt(offset, raw, sizeof raw) || !file_->Flush()) return false;
  record_ = record;
  record_.key = key;
  return true;
}

void MessageStore::NoteAppended(uint64_t offset, const uint8_t* bytes, size_t size) {
  appendedAt_ = offset;
  appended_.assign(bytes, bytes + size);
}

// A record without a body is appended as one with an empty stored body: the same single write.
uint32_t MessageStore::AppendEncoded(const StoreRecord& record) {
  return AppendWithStoredBody(record, StoredBody{});
}

uint32_t MessageStore::AppendRecord() {
  Guard guard(*this);
  StoreRecord record = record_;
  record.format = AppendedFormat(record.format);
  return AppendEncoded(record);
}

uint32_t MessageStore::AppendRecord(const StoreRecord& record) {
  Guard guard(*this);
  record_ = record;
  return AppendRecord();
}

uint32_t MessageStore::AppendRecordWithBody(std::string_view ansiText) {
  Guard guard(*this);
  auto body = CompressBody(ansiText);
  if (!body) return 0;
  StoreRecord record = record_;
  // The body behind it is compressed, whatever format the record came with; a record of a
  // body-less format would hide the body from every reader.
  record.format = kBodyCompressed;
  record.hasBody = 1;
  return AppendWithStoredBody(record, *body);
}

uint32_t MessageStore::AppendRecordWithBody(std::string_view ansiText, const StoreRecord& record) {
  Guard guard(*this);
  record_ = record;
  return AppendRecordWithBody(ansiText);
}

// The record and its body go out in one write, so that a reader finds the body right behind it.
uint32_t MessageStore::AppendWithStoredBody(const StoreRecord& record, const StoredBody& body) {
  auto at = AppendPosition(kRecordSize + body.bytes.size());
  if (!at) return 0;
  uint32_t key = RandomKey();
  std::vector<uint8_t> bytes(kRecordSize + body.bytes.size());
  EncodeRecord(record, key, bytes.data());
  std::copy(body.bytes.begin(), body.bytes.end(), bytes.begin() + kRecordSize);
  if (!file_->WriteAt(*at, bytes.data(), bytes.size()) || !file_->Flush()) return 0;
  record_ = record;
  record_.key = key;
  bodyOffset_ = *at + kRecordSize;
  NoteAppended(*at, bytes.data(), bytes.size());
  return static_cast<uint32_t>(*at);
}

uint32_t MessageStore::RewriteRecord(uint32_t offset) {
  Guard guard(*this);
  if (!isOpen_ || offset < kHeaderSize) return 0;
  auto size = file_->Size();
  if (!size || uint64_t{offset} + kRecordSize > *size) return 0;
  return WriteRecordAt(offset, record_) ? offset : 0;
}

uint32_t MessageStore::UpdateMessage(const std::u16string* text, uint32_t oldOffset) {
  Guard guard(*this);
  if (text) {
    record_.hasBody = 1;
    return AppendRecordWithBody(BodyTextFromUtf16(codePage_, *text));
  }
  record_.hasBody = 0;
  return RewriteRecord(oldOffset);
}

void MessageStore::SetRecordNumber(std::u16string_view number) {
  codePage_.ToFixedField(number, record_.number, sizeof record_.number);
}
void MessageStore::SetRecordAuthor(std::u16string_view author) {
  codePage_.ToFixedField(author, record_.author, sizeof record_.author);
}
void MessageStore::SetRecordPassword(std::u16string_view password) {
  codePage_.ToFixedField(password, record_.password, sizeof record_.password);
}
std::u16string MessageStore::RecordNumber() const {
  return codePage_.FromFixedField(record_.number, sizeof record_.number);
}
std::u16string MessageStore::RecordAuthor() const {
  return codePage_.FromFixedField(record_.author, sizeof record_.author);
}
std::u16string MessageStore::RecordPassword() const {
  return codePage_.FromFixedField(record_.password, sizeof record_.password);
}

void MessageStore::SetAuthor(std::u16string_view author) {
  Guard guard(*this);
  codePage_.ToFixedField(author, header_.author, sizeof header_.author);
  headerChanged_ = true;
}
void MessageStore::SetPassword(std::u16string_view password) {
  Guard guard(*this);
  codePage_.ToFixedField(password, header_.password, sizeof header_.password);
  headerChanged_ = true;
}
std::u16string MessageStore::Author() const {
  return codePage_.FromFixedField(header_.author, sizeof header_.author);
}
std::u16string MessageStore::Password() const {
  return codePage_.FromFixedField(header_.password, sizeof header_.password);
}

bool MessageStore::WriteIndex(const FolderTree& tree, const std::vector<uint32_t>* offsets,
                              uint32_t* indexOffset) {
  auto at = AppendPosition(kIndexHeadSize);
  if (!at) return false;
  IndexHead head;
  head.key = RandomKey();
  head.nodeCount = static_cast<uint32_t>(tree.Count());
  uint8_t rawHead[kIndexHeadSize];
  EncodeIndexHead(head, rawHead);
  if (!file_->WriteAt(*at, rawHead, sizeof rawHead) || !file_->Flush()) return false;

  std::vector<uint8_t> table(tree.Count() * kNodeEntrySize);
  IndexTextWriter text(*file_, *at + kIndexHeadSize, head.key, codePage_);
  size_t entry = 0;
  tree.Walk([&](const TreeNode& node, int depth) {
    text.AddLine(depth, node.Label());
    uint32_t offset = offsets ? (*offsets)[entry] : node.Data().offset;
    EncodeNodeEntry(table.data() + entry * kNodeEntrySize, offset, NodeKindFromImage(node.Image()));
    ++entry;
  });
  assert(entry == tree.Count() && "the node count follows every change of the tree");
  // An empty tree has neither text nor table, only the head with text size 0.
  if (!tree.Empty() && !text.Finish()) return false;
  head.textSize = tree.Empty() ? 0 : static_cast<uint32_t>(text.Size());
  uint64_t tableAt = *at + kIndexHeadSize + head.textSize;
  if (tableAt + table.size() > kMaxOffset) return false;
  if (!table.empty() && (!file_->WriteAt(tableAt, table.data(), table.size()) || !file_->Flush())) {
    return false;
  }
  EncodeIndexHead(head, rawHead);
  // The index must be on stable storage before a header can name it.
  if (!file_->WriteAt(*at, rawHead, sizeof rawHead) || !file_->Flush() || !file_->Sync()) {
    return false;
  }
  index_ = head;
  *indexOffset = static_cast<uint32_t>(*at);
  return true;
}

bool MessageStore::SaveIndex(const FolderTree& tree) {
  Guard guard(*this);
  if (!treeChanged_) return true;
  uint32_t written = 0;
  if (!isOpen_ || !WriteIndex(tree, nullptr, &written)) return false;
  offsets_.Remember(path_, header_.indexOffset);
  header_.indexOffset = written;
  headerChanged_ = true;
  treeChanged_ = false;
  return true;
}

bool MessageStore::WriteHeader() {
  Guard guard(*this);
  if (!headerChanged_) return true;
  if (!file_) return false;
  uint32_t key = RandomKey();
  StoreHeader header = header_;
  header.modifyDate = CurrentOleDate();
  header.key = key;
  uint8_t raw[kHeaderSize];
  EncodeHeader(header, key, raw);
  if (!file_->WriteAt(0, raw, sizeof raw) || !file_->Flush() || !file_->Sync()) return false;
  header_ = header;
  diskIndexOffset_ = header_.indexOffset;
  headerChanged_ = false;
  return true;
}

bool MessageStore::Save(const FolderTree& tree) {
  Guard guard(*this);
  const bool pending = treeChanged_ || headerChanged_;
  if (!SaveIndex(tree) || !WriteHeader()) return false;
  if (pending && !AtItsPath()) {
    // Written into a file that was deleted or replaced meanwhile, the tree reached no reader:
    // it is still to be saved. With nothing pending, the file has all there was to keep.
    treeChanged_ = true;
    return false;
  }
  // The index names every node now. Should the restart fail, the journal still names the old
  // index as its base and is ignored at the next open, as everything in it is saved.
  journal_.Restart(CurrentBase());
  return true;
}

JournalBase MessageStore::CurrentBase() const {
  // The index the header on disk names: after a fall-back the tree is read from an older one,
  // but a reader after a crash meets the header as it is on disk and must accept the journal.
  return JournalBase{diskIndexOffset_, std::bit_cast<uint64_t>(header_.buildDate)};
}

bool MessageStore::JournalAppended(JournalEntry entry) {
  Guard guard(*this);
  if (!isOpen_ || entry.offset == 0 || entry.offset != appendedAt_ || appended_.empty()) {
    return false;
  }
  entry.stored = appended_;
  if (!journal_.Append(CurrentBase(), entry)) return false;
  NoteFiledTicket(entry.ticket, entry.offset);
  return AtItsPath() && journal_.AtItsPath();
}

std::optional<uint32_t> MessageStore::OffsetFiledFor(uint64_t ticket) const {
  auto found = filedTickets_.find(ticket);
  if (ticket == 0 || found == filedTickets_.end()) return std::nullopt;
  return found->second;
}

void MessageStore::NoteFiledTicket(uint64_t ticket, uint32_t offset) {
  if (ticket != 0) filedTickets_[ticket] = offset;
}

bool MessageStore::AtItsPath() {
  Guard guard(*this);
  return file_ && files_.StillNames(path_, *file_);
}

bool MessageStore::Holds(uint32_t offset, const std::vector<uint8_t>& stored) {
  Guard guard(*this);
  if (!isOpen_ || offset < kHeaderSize) return false;
  std::vector<uint8_t> held(stored.size());
  return reader_->ReadAt(offset, held.data(), held.size()) == held.size() && held == stored;
}

uint32_t MessageStore::AppendStored(const std::vector<uint8_t>& stored) {
  Guard guard(*this);
  auto at = AppendPosition(stored.size());
  if (!at || !file_->WriteAt(*at, stored.data(), stored.size()) || !file_->Flush()) return 0;
  return static_cast<uint32_t>(*at);
}

bool MessageStore::LoadIndex(FolderTree& tree) {
  Guard guard(*this);
  // The journal's entries were written against the index the header names, whether or not
  // that index can be read now.
  const JournalBase base = CurrentBase();
  FolderTree built;
  recycleBin_ = nullptr;
  fellBack_.reset();
  std::optional<IndexContents> contents;
  uint32_t used = header_.indexOffset;
  if (isOpen_) {
    contents = ReadIndexBlock(*file_, used);
    if (!contents) {
      auto remembered = offsets_.Recall(path_);
      if (remembered && *remembered != 0 && *remembered != used) {
        const uint32_t damaged = used;
        used = *remembered;
        contents = ReadIndexBlock(*file_, used);
        if (contents) fellBack_ = IndexFallBack{damaged, used};
      }
    }
  }
  TreeNode* bin = nullptr;
  if (contents) {
    index_ = contents->head;
    if (contents->head.textSize != 0) offsets_.Remember(path_, used);
    // After a fall-back the next save must remember this readable index, not the damaged one.
    header_.indexOffset = used;
    bin = BuildTree(codePage_, *contents, binLabel_, built);
  }
  tree.ReplaceWith(built);
  recycleBin_ = bin;
  treeChanged_ = false;
  journalReport_ = JournalReplayReport{};
  if (isOpen_) {
    JournalContents journal =
        journal_.Attach(path_, ReadOnly() ? JournalAccess::kRead : JournalAccess::kWrite);
    journalReport_ = ReplayJournal(*this, tree, journal, base);
  }
  return contents.has_value();
}

bool MessageStore::CopyNode(MessageStore& target, const TreeNode& node, uint32_t* newOffset) {
  if (!ReadRecord(node.Data().offset)) return false;
  StoreRecord record = record_;
  StoredBody body;
  if (record.hasBody == 1) {
    auto stored = ReadStoredBody(*reader_, bodyOffset_, record.format);
    if (!stored) return false;
    body = std::move(*stored);
    if (record.format == kBodyScrambled0 || record.format == kBodyScrambled1) {
      // These bytes are scrambled with the key of the old record, and the copy gets a key of its
      // own, so the text moves over as a compressed body instead.
      auto recompressed = CompressBody(DecodeBody(body, record.format, record.key));
      if (!recompressed) return false;
      body = std::move(*recompressed);
      record.format = kBodyCompressed;
    }
  }
  *newOffset = target.AppendWithStoredBody(record, body);
  return *newOffset != 0 && target.file_->Flush();
}

MessageStore::ReadAheadScope::ReadAheadScope(MessageStore& store) : store_(store) {
  store_.Lock();
  if (!store_.isOpen_) return;
  window_ = std::make_unique<ReadAheadFile>(*store_.file_);
  store_.reader_ = window_.get();
}

MessageStore::ReadAheadScope::~ReadAheadScope() {
  if (window_) store_.reader_ = store_.file_.get();
  store_.Unlock();
}

bool MessageStore::CompactTo(std::u16string_view newPath, const FolderTree& tree) {
  Guard guard(*this);
  if (!isOpen_) return false;
  NoIndexOffsetMemory noMemory;
  MessageStore target(files_, noMemory, codePage_);
  if (!target.Create(newPath, header_)) return false;
  // The copy is nothing until its header names its index, so its bytes may wait and go out in
  // large pieces; the source is read through a window.
  target.file_ = std::make_unique<AppendBufferFile>(std::move(target.file_));
  ReadAheadFile window(*file_);
  reader_ = &window;
  std::vector<uint32_t> offsets;
  offsets.reserve(tree.Count());
  bool copied = true;
  tree.Walk([&](const TreeNode& node, int) {
    uint32_t offset = 0;
    if (copied && !IsRecycleBinImage(node.Image())) copied = CopyNode(target, node, &offset);
    offsets.push_back(offset);
  });
  reader_ = file_.get();
  uint32_t indexOffset = 0;
  if (!copied || !target.WriteIndex(tree, &offsets, &indexOffset)) return false;
  target.header_.indexOffset = indexOffset;
  target.headerChanged_ = true;
  return target.WriteHeader();
}

CompressResult MessageStore::Compress(
    FolderTree& tree, const std::function<bool(const std::u16string&)>& askContinue) {
  Guard guard(*this);
  if (!isOpen_) return CompressResult::kNotOpen;
  if (!Save(tree)) return CompressResult::kSaveFailed;
  const std::u16string path = path_;
  const std::u16string ban = path + u".ban";
  std::u16string bak = ban;
  bak.back() = u'k';
  if (!CompactTo(ban, tree)) {
    files_.Remove(ban);
    return CompressResult::kCompactFailed;
  }
  Close();
  if (!files_.Copy(path, bak) && !askContinue(u"Backup file error! Do you want to continue?")) {
    files_.Remove(ban);
    return CompressResult::kCancelled;
  }
  if (!files_.Copy(ban, path)) return CompressResult::kCopyBackFailed;
  files_.Remove(ban);
  if (!Open(path)) return CompressResult::kReopenFailed;
  // The remembered fall-back still names an index of the old layout; only the new one is valid.
  offsets_.Remember(path, header_.indexOffset);
  // An empty tree over a document whose index cannot be read would be saved over it.
  if (!LoadIndex(tree)) {
    Close();
    return CompressResult::kReopenFailed;
  }
  return CompressResult::kDone;
}

}  // namespace brevalo
