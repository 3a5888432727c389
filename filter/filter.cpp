#include "filter/filter.h"

#include <utility>

namespace brevalo {

void Filter::SetAction(size_t slot, std::optional<std::u16string> text) {
  if (slot >= ACTION_SLOT_COUNT) return;
  actions[slot] = ActionSlot{std::move(text)};
}

void Filter::ClearRules() {
  for (auto& condition : conditions) condition.reset();
  for (auto& action : actions) action.reset();
}

void Filter::SetDefaultContent() {
  for (auto& action : actions) action.reset();
  SetAction(ACTION_SAVE_TO_FOLDER, std::u16string(DefaultFolderPath));
  SetAction(ACTION_UNREAD_ALERT);
}

}  // namespace brevalo
