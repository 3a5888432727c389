// Copying the ticked rows of the import list into the open document, and, when the user asked
// for it, deleting the phone's copies afterwards.
//
// The rows are walked from the last to the first and each becomes the first child of the
// target, so the new items keep the list's order. A phone copy is deleted only once the document
// holds its message: the record keeps the whole text and the sender's whole number, and the
// document has been saved (which syncs it) where the next open finds it. Rows the document
// cannot hold exactly, and every row when the save fails, stay on the phone.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/open_document.h"
#include "settings/import_entry.h"

namespace brevalo {

struct PhoneImportOptions {
  int32_t titleMode = 2;  // ImportTitle
  int32_t summaryLength = 20;
  bool deleteAfter = false;  // SmsDelete
};

struct PhoneImportReport {
  size_t copied = 0;       // ticked rows that became items
  size_t notWritten = 0;   // ticked rows whose record could not be written
  bool saved = false;      // the document was saved after the copy (tried only when deleting)
  size_t deleted = 0;      // phone copies deleted
  size_t keptOnPhone = 0;  // copied rows whose phone copy stays although deleting was asked
  bool Failed() const { return notWritten > 0 || keptOnPhone > 0; }
};

// `timeText` turns a local date into the date and time text of a title. The document must be
// open and `target` one of its nodes. The tree is marked changed even when nothing was ticked.
PhoneImportReport ImportTickedRows(OpenDocument& document, TreeNode& target,
                                   const std::vector<ImportEntry>& rows,
                                   const PhoneImportOptions& options,
                                   const std::function<std::u16string(DATE)>& timeText);

}  // namespace brevalo
