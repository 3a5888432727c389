// The XML backup file: `<smses count="N">` holding one `<sms .../>` per message, every field an
// attribute. The XML library parses and writes it; this side only maps fields.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "store/sms_backup.h"

namespace brevalo {

// The whole file, UTF-8 with its declaration. Characters XML cannot carry are written as
// references, the way other backup programs write them, and read back by ReadBackupXml.
std::string WriteBackupXml(const std::vector<BackupMessage>& messages);

// Every `sms` element under the root `smses`; other elements (a backup's MMS) are counted in
// `skipped`. Refuses the whole file, with the line and column, when it is not well-formed XML or
// an `sms` lacks a field that makes a message (address, date, type, body) or has one that is
// not a number where a number belongs.
BackupReadResult ReadBackupXml(std::string_view xml);

}  // namespace brevalo
