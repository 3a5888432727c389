// The "Import SMS" dialog: the messages of the phone's inbox or sent items as a list of two-line
// rows with a tick each. Action (or a tap) ticks a row; the menu turns Delete After Import on
// and off, switches between the two folders, ticks or unticks every row; Import copies the
// ticked rows under the target item and closes with 1, Cancel closes with 2.
#pragma once

#include <vector>

#include "app/import_list_model.h"
#include "app/open_document.h"
#include "app/phone_import.h"
#include "settings/import_entry.h"
#include "settings/settings.h"
#include "ui/dialog_base.h"

class QTreeView;

namespace brevalo {

// The dialog's commands; Cancel is IDCANCEL.
enum ImportCommand : int {
  ID_IMPORT_RUN = 40501,
  ID_IMPORT_DELETE_AFTER = 40502,
  ID_IMPORT_FROM_SENT = 40503,
  ID_IMPORT_FROM_INBOX = 40504,
  ID_IMPORT_CHECK_ALL = 40505,
  ID_IMPORT_UNCHECK_ALL = 40506,
};
inline constexpr int IDC_IMPORT_LIST = 1001;
inline constexpr int kImportDone = 1;
inline constexpr int kImportCancelled = 2;

class ImportDialog : public DialogBase {
  Q_OBJECT

 public:
  // The document must be open with `target` in it; everything must outlive the dialog.
  // SmsDelete and ImportSource change in `settings` as the user picks them.
  ImportDialog(PhoneScreen& screen, OpenDocument& document, TreeNode& target,
               SettingValues& settings, ImportClock clock);

  // What Import did; empty before.
  const PhoneImportReport& Report() const { return report_; }

  // --- What the list shows, for its tests ---------------------------------------------
  const std::vector<ImportEntry>& Rows() const { return rows_; }
  int SelectedRow() const;
  // How many times the phone's folder was listed.
  int Listings() const { return listings_; }

 protected:
  bool OnInitDialog() override;
  void OnInitMenuPopup(PopupMenu& menu, int position) override;
  void OnCommand(int id, uint16_t notifyCode) override;
  void OnNotify(const Notification& notification) override;
  void OnDrawItem(const DrawItem& item) override;

 private:
  // Lists the folder of ImportSource afresh and selects the first row.
  void Fill();
  // Switches ImportSource; the list is read again only when it changed.
  void ChooseSource(int32_t source);
  void Import();
  void Close(int result);

  OpenDocument& document_;
  TreeNode& target_;
  SettingValues& settings_;
  ImportClock clock_;
  std::vector<ImportEntry> rows_;
  ImportListModel* model_ = nullptr;
  QTreeView* list_ = nullptr;
  PhoneImportReport report_;
  int listings_ = 0;
};

}  // namespace brevalo
