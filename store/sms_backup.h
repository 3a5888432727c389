// One message of an SMS backup file: the XML form that phones' backup programs keep
// (`smses`/`sms`) and its JSON twin. Only the fields that carry something of a message are kept;
// the rest (protocol, subject, toa, ...) are written with the fixed values those programs use.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace brevalo {

// The `type` attribute.
enum BackupType : int {
  kBackupReceived = 1,
  kBackupSent = 2,
  kBackupDraft = 3,
  kBackupOutbox = 4,
};

inline constexpr const char* kUnknownContactName = "(Unknown)";

struct BackupMessage {
  std::u16string address;       // the sender, or the recipients' numbers separated by ";"
  int64_t date = 0;             // milliseconds since 1970-01-01 UTC
  int type = kBackupReceived;
  std::u16string body;
  bool read = true;
  std::u16string readableDate;  // written only; readers ignore it
  std::u16string contactName;   // empty: unknown
  // Our own fields: where the message was filed ("\Work\Boss"; empty: not recorded) and, for
  // a message that was sent or written here, its recipient list as the program keeps it.
  std::u16string folder;
  std::u16string recipients;
  std::string where;            // where a reader found it ("line 12"), for messages about it

  // Every field a backup carries from one program to the next (not where it was read).
  friend bool SameFields(const BackupMessage& a, const BackupMessage& b) {
    return a.address == b.address && a.date == b.date && a.type == b.type && a.body == b.body &&
           a.read == b.read && a.contactName == b.contactName && a.folder == b.folder &&
           a.recipients == b.recipients;
  }
};

// What a reader makes of a file: every message, or nothing and where it went wrong.
struct BackupReadResult {
  bool ok = false;
  std::vector<BackupMessage> messages;
  std::string error;  // "line 3, column 7: ..." when not ok
  int skipped = 0;    // entries that are not text messages (MMS), left out
};

}  // namespace brevalo
