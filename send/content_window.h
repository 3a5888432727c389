// The content window ("Content") in its new-draft form: a title and a text, no sender or time.
#pragma once

#include <optional>
#include <string>

namespace brevalo {

class PhoneScreen;

struct NewContent {
  std::u16string title;
  std::u16string text;
  bool textChanged;  // the text was edited (the title alone does not count)
};

// What the window makes: a draft has a title and a text; a folder only a title, as it has no
// body to keep a text in.
enum class NewContentKind { kDraft, kFolder };

// Modal. Nothing on Cancel; "Save" refuses an empty title with a message box.
std::optional<NewContent> RunNewContentWindow(PhoneScreen& screen,
                                              NewContentKind kind = NewContentKind::kDraft);

}  // namespace brevalo
