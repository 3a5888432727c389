// The JSON twin of the XML backup: {"count": N, "smses": [{...}, ...]} with the same fields, the
// numbers as JSON numbers and the fields that hold "null" in XML as JSON null.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "store/sms_backup.h"

namespace brevalo {

std::string WriteBackupJson(const std::vector<BackupMessage>& messages);

// Refuses the whole file, with the line and column, when it is not JSON or a message lacks a
// field that makes one; numbers may also come as strings of digits, as in the XML form.
BackupReadResult ReadBackupJson(std::string_view json);

}  // namespace brevalo
