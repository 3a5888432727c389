// The main window's Firewall commands: Filter... (after the rule password), Black List...,
// Contact Default... and Stranger Default..., each followed by writing the rules file when its
// dialog closed in a way that keeps the changes.
#include "alert/skin_list.h"
#include "app/dialog_services.h"
#include "app/main_commands.h"
#include "app/main_window.h"
#include "filter/black_list_dialog.h"
#include "filter/filter_edit_dialog.h"
#include "filter/filter_list_dialog.h"
#include "settings/program_folder.h"
#include "ui/message_box.h"
#include "ui/phone_screen.h"

namespace brevalo {

bool MainWindow::OnFilterCommand(int id) {
  switch (id) {
    case ID_FILTER: EditFilters(); return true;
    case ID_BLACK_LIST: EditBlackList(); return true;
    case ID_CONTACT_DEFAULT: EditDefaultFilter(EDIT_CONTACT_DEFAULT); return true;
    case ID_STRANGER_DEFAULT: EditDefaultFilter(EDIT_STRANGER_DEFAULT); return true;
    default: return false;
  }
}

DialogServices& MainWindow::Services() {
  if (!services_) services_ = std::make_unique<DialogServices>(Screen().DeviceFolder());
  return *services_;
}

// Runs `dialog` with what the filter dialogs need; the folder the file browser ended in becomes
// LastDir.
int MainWindow::RunFilterDialog(const std::function<int(const FilterDialogContext&)>& dialog) {
  DialogServices& services = Services();
  std::u16string lastDir = settings_->LastDir.Text();
  FilterDialogContext context{Screen().DeviceFolder(), services.Contacts(), services.Sentences(), files_,
                              services.Pictures(), ProgramFolder(), lastDir, settings_->defaultPhoto.Text(),
                              [&services](std::u16string_view path) { services.Sounds().PlayFile(path, "filter-play"); }};
  const int result = dialog(context);
  settings_->LastDir.Assign(lastDir);
  return result;
}

void MainWindow::EditFilters() {
  if (!filters_ || !AskRulePassword()) return;
  const int result = RunFilterDialog([this](const FilterDialogContext& context) {
    FilterListDialog list(Screen(), *filters_, context);
    return list.DoModal();
  });
  if (result == kFilterListDone) SaveRulesOrSay();
}

void MainWindow::EditBlackList() {
  if (!filters_) return;
  RunBlackList(Screen(), *filters_, Services().Contacts());
  SaveRulesOrSay();
}

void MainWindow::EditDefaultFilter(FilterEditMode mode) {
  if (!filters_) return;
  Filter& filter = mode == EDIT_CONTACT_DEFAULT ? filters_->ContactDefault() : filters_->StrangerDefault();
  const int result = RunFilterDialog([&](const FilterDialogContext& context) {
    return RunFilterEdit(Screen(), filter, mode, context);
  });
  if (result == IDOK) SaveRulesOrSay();
}

// The rules are used from memory while the program runs; a file that could not be written
// would give the old rules back at the next start, which the user must hear of.
void MainWindow::SaveRulesOrSay() {
  if (filters_->SaveRules()) return;
  ErrorBox(*this, "The rules could not be written to velmora.ini. They apply until the program "
                  "ends and are lost then; check that the program folder can be written.");
}

}  // namespace brevalo
