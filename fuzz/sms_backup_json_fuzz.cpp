// Any bytes as a JSON backup: reading never crashes, and what it reads is written and read back
// as the same messages.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "store/sms_backup_json.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  brevalo::BackupReadResult read = brevalo::ReadBackupJson(text);
  if (read.ok != read.error.empty()) std::abort();
  if (!read.ok) return 0;
  brevalo::BackupReadResult again = brevalo::ReadBackupJson(brevalo::WriteBackupJson(read.messages));
  if (!again.ok || again.messages.size() != read.messages.size()) std::abort();
  for (size_t i = 0; i < read.messages.size(); ++i) {
    if (!SameFields(read.messages[i], again.messages[i])) std::abort();
  }
  return 0;
}
