#include "filter/filter_list_editor.h"

#include <string>
#include <utility>

namespace brevalo {

int EnabledImage(const Filter& filter) { return filter.enabled ? kImageEnabled : kImageDisabled; }

std::vector<int> ActionImages(const Filter& filter) {
  static constexpr std::pair<size_t, int> kOrder[] = {
      {ACTION_SOUND, kImageSound},           {ACTION_VIBRATE, kImageVibrate},
      {ACTION_HIDE_IN_INBOX, kImageHideInInbox}, {ACTION_PHOTO, kImagePhoto},
      {ACTION_AUTO_REPLY, kImageAutoReply},  {ACTION_AUTO_FORWARD, kImageAutoForward},
      {ACTION_UNREAD_ALERT, kImageUnreadAlert},
  };
  std::vector<int> images;
  for (const auto& [slot, image] : kOrder) {
    if (filter.HasAction(slot)) images.push_back(image);
  }
  return images;
}

std::unique_ptr<Filter> FilterListEditor::MakeNewFilter() const {
  auto filter = std::make_unique<Filter>();
  filter->SetDefaultContent();
  std::string digits = std::to_string(Count());
  filter->name = u"Filter ";
  for (char c : digits) filter->name.push_back(static_cast<char16_t>(c));
  return filter;
}

size_t FilterListEditor::Append(std::unique_ptr<Filter> filter) {
  filter->enabled = 1;
  engine_.AddFilter(std::move(filter));
  return Count() - 1;
}

bool FilterListEditor::Toggle(size_t row) {
  Filter* filter = At(row);
  if (!filter) return false;
  filter->enabled = filter->enabled ? 0 : 1;
  return true;
}

bool FilterListEditor::Delete(size_t row) { return engine_.RemoveFilter(row); }

std::optional<size_t> FilterListEditor::MoveUp(size_t row) {
  if (row == 0 || !engine_.SwapFilters(row, row - 1)) return std::nullopt;
  return row - 1;
}

std::optional<size_t> FilterListEditor::MoveDown(size_t row) {
  if (!engine_.SwapFilters(row, row + 1)) return std::nullopt;
  return row + 1;
}

std::u16string FilterListEditor::DeleteQuestion(size_t row) const {
  const Filter* filter = engine_.FilterAt(row);
  return u"Are you sure to delete Filter: " + (filter ? filter->name : std::u16string());
}

std::u16string BlackListNumber(std::u16string_view typed) {
  std::u16string number;
  for (char16_t c : typed) {
    if (c != u' ' && c != u'(' && c != u')' && c != u'-') number.push_back(c);
  }
  return number;
}

}  // namespace brevalo
