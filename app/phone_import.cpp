#include "app/phone_import.h"

#include <map>
#include <span>

#include "settings/phone_sms_store.h"
#include "store/node_title.h"

namespace brevalo {
namespace {

// The phone's copies of the rows the document now holds, by the folder each was listed from:
// a message is deleted through its own folder, as no other holds it.
using DeleteList = std::map<int, std::vector<std::span<const uint8_t>>>;

size_t DeleteFromPhone(const DeleteList& toDelete) {
  size_t deleted = 0;
  std::vector<bool> done;
  for (const auto& [folder, ids] : toDelete) deleted += DeletePhoneMessages(folder, ids, &done);
  return deleted;
}

}  // namespace

PhoneImportReport ImportTickedRows(OpenDocument& document, TreeNode& target,
                                   const std::vector<ImportEntry>& rows,
                                   const PhoneImportOptions& options,
                                   const std::function<std::u16string(DATE)>& timeText) {
  ApplicationLockHold hold(document.Lock());
  PhoneImportReport report;
  DeleteList toDelete;
  size_t held = 0;
  for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
    if (!row->ticked) continue;
    // A message without a readable time is dated when it comes in, as a received one would be.
    const DATE date = row->hasDate ? row->date : CurrentOleDate();
    std::u16string title = BuildTitle(row->sender, row->text, timeText(date), options.titleMode,
                                      options.summaryLength);
    FiledMessage added = document.AddImported(target, std::move(title), row->sender, date, row->text);
    if (added.node == nullptr) {
      ++report.notWritten;
      continue;
    }
    ++report.copied;
    if (!options.deleteAfter) continue;
    if (!added.exact) {
      ++report.keptOnPhone;
      continue;
    }
    toDelete[row->folder].push_back(row->entryId);
    ++held;
  }
  document.Store().SetTreeChanged();
  document.UpdateRecycleBinPicture();
  if (!options.deleteAfter || report.copied == 0) return report;
  report.saved = document.Save();
  if (!report.saved) {
    report.keptOnPhone += held;
    return report;
  }
  report.deleted = DeleteFromPhone(toDelete);
  return report;
}

}  // namespace brevalo
