// The filter list ("Filter List"): the user filters in matching order, one 20-pixel row each
// with the check of its enabled flag, its name and an icon per action. Left or Right on a row
// switches the filter on or off, Action edits it, a held Action opens the "Filter" menu, and
// the soft key "Operate" offers New..., Fast Create..., Edit..., Delete, Up and Down. Every
// change is made in the engine at once; the list closes with Done (also Back).
#pragma once

#include "filter/filter_dialog_context.h"
#include "filter/filter_edit_form.h"
#include "filter/filter_engine.h"
#include "filter/filter_list_commands.h"
#include "filter/filter_list_editor.h"
#include "ui/dialog_base.h"

class QTreeView;

namespace brevalo {

class FilterListModel;


class FilterListDialog : public DialogBase {
  Q_OBJECT

 public:
  // The engine and everything in the context must outlive the dialog.
  FilterListDialog(PhoneScreen& screen, FilterEngine& engine, const FilterDialogContext& context);

  int SelectedRow() const;
  void KeyPressed(PhoneKey key, bool repeat) override;
  void KeyReleased(PhoneKey key) override;

 protected:
  bool OnInitDialog() override;
  void OnCommand(int id, uint16_t notifyCode) override;
  void OnDrawItem(const DrawItem& item) override;
  void BackPressed() override;

 private:
  void Select(int row);
  void Create(FilterEditMode mode);
  void Edit();
  void Delete();
  void Toggle();
  bool ListFocused() const;
  int NameColumnWidth() const;

  const FilterDialogContext& context_;
  FilterListEditor editor_;
  FilterListModel* model_ = nullptr;
  QTreeView* list_ = nullptr;
  bool actionDown_ = false;  // Action went down on the list and is not yet let go
  bool actionHeld_ = false;  // it repeated: a long press
};

// The "Filter" menu, also the soft key's "Operate".
std::shared_ptr<PopupMenu> BuildFilterOperateMenu(std::u16string_view title);

}  // namespace brevalo
