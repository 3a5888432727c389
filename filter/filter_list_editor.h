// The filter list's edits without a screen: naming and appending new filters, switching one on
// or off, deleting and moving one up or down, and what each row shows besides its name.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "filter/filter_engine.h"

namespace brevalo {

// Images of the filter list's icon strip.
enum FilterListImage : int {
  kImageDisabled = 0,
  kImageEnabled = 1,
  kImageSound = 3,
  kImageHideInInbox = 4,
  kImageVibrate = 5,
  kImageAutoReply = 6,
  kImagePhoto = 8,
  kImageAutoForward = 9,
  kImageUnreadAlert = 10,
};
inline constexpr int kFilterListImageCount = 11;

// The check image of the enabled flag.
int EnabledImage(const Filter& filter);
// One image per action present, in the order the row shows them: sound, vibrate, don't show
// in inbox, specific photo, auto reply, auto forward, unread alert.
std::vector<int> ActionImages(const Filter& filter);

class FilterListEditor {
 public:
  // The engine must outlive the editor.
  explicit FilterListEditor(FilterEngine& engine) : engine_(engine) {}

  size_t Count() const { return engine_.FilterCount(); }
  Filter* At(size_t row) { return engine_.FilterAt(row); }

  // A filter for New... and Fast Create...: the default content, named "Filter %d" with the
  // number of filters the list holds now.
  std::unique_ptr<Filter> MakeNewFilter() const;
  // The edit dialog's OK on a new filter: it is switched on and appended. Its row.
  size_t Append(std::unique_ptr<Filter> filter);
  // False for a row outside the list.
  bool Toggle(size_t row);
  bool Delete(size_t row);
  // The filter's new row, or nothing when it is first (Up) or last (Down) or not in the list.
  std::optional<size_t> MoveUp(size_t row);
  std::optional<size_t> MoveDown(size_t row);

  // The question Delete asks about the filter at `row`.
  std::u16string DeleteQuestion(size_t row) const;

 private:
  FilterEngine& engine_;
};

// The number part of a black list entry as typed: blanks, brackets and hyphens are dropped,
// because a sender's number never holds them when it is compared; "?" and the rest stay.
std::u16string BlackListNumber(std::u16string_view typed);

}  // namespace brevalo
