// Any bytes as an XML backup: reading never crashes; what it reads is written and read back as
// the same messages; and filing them into a document and saving it works or says why.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "store/backup_import.h"
#include "store/memory_store_file.h"
#include "store/index_offset_memory.h"
#include "store/sms_backup_xml.h"

namespace {

void FileIntoADocument(const std::vector<brevalo::BackupMessage>& messages) {
  brevalo::MemoryStoreFileSystem files;
  brevalo::InMemoryIndexOffsetMemory offsets;
  brevalo::CodePage page;
  brevalo::MessageStore store(files, offsets, page);
  brevalo::FolderTree tree;
  if (!store.Create(u"\\fuzz.kvt", brevalo::StoreHeader{})) std::abort();
  brevalo::BackupImport import(store, tree, page, nullptr);
  std::string error;
  if (!import.LearnDocument(&error)) std::abort();
  brevalo::BackupImportReport report = import.File(messages, u"\\Imported");
  if (report.ok != report.error.empty()) std::abort();
  if (!store.Save(tree)) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  brevalo::BackupReadResult read = brevalo::ReadBackupXml(text);
  if (read.ok != read.error.empty()) std::abort();
  if (!read.ok) return 0;
  brevalo::BackupReadResult again = brevalo::ReadBackupXml(brevalo::WriteBackupXml(read.messages));
  if (!again.ok || again.messages.size() != read.messages.size()) std::abort();
  for (size_t i = 0; i < read.messages.size(); ++i) {
    if (!SameFields(read.messages[i], again.messages[i])) std::abort();
  }
  FileIntoADocument(read.messages);
  return 0;
}
