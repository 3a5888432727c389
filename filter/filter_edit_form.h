// What the filter edit dialog shows and stores, without a screen: the fields as the dialog
// holds them, how they are filled from a filter, which of them are enabled, the rules that tie
// the check boxes together, and OK's checks in their order. The dialog is only the drawing of
// this form.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "filter/filter.h"

namespace brevalo {

// What the edit dialog and the Rule Editor are opened for.
enum FilterEditMode : int {
  EDIT_FILTER = 0,            // New... and Edit... of the filter list
  EDIT_CONTACT_DEFAULT = 1,   // Contact Default...
  EDIT_FAST_CREATE = 2,       // Fast Create...: the rule is picked from the contacts first
  EDIT_STRANGER_DEFAULT = 3,  // Stranger Default...
};

inline bool IsDefaultMode(FilterEditMode mode) {
  return mode == EDIT_CONTACT_DEFAULT || mode == EDIT_STRANGER_DEFAULT;
}

// The name field takes one character more than a filter keeps.
inline constexpr size_t kFilterNameTyped = 40;
inline constexpr size_t kFilterNameStored = 39;

// What the fields offer before the user typed anything.
inline constexpr std::u16string_view kDefaultReplyText = u"Sorry! I'm busy now...";
inline constexpr std::u16string_view kContactDefaultName = u"Contact Default";
inline constexpr std::u16string_view kStrangerDefaultName = u"Stranger Default";

// The fixed name of a default's dialog and the line that says which messages it takes; empty
// for the other modes.
std::u16string_view DefaultFilterName(FilterEditMode mode);
std::u16string_view MatchDescription(FilterEditMode mode);

struct FilterEditForm {
  std::u16string name;
  bool applyToAll = false;
  bool playSound = false;
  std::u16string soundPath;
  bool randomRing = false;
  bool vibrate = false;
  bool unreadAlert = false;
  bool popup = false;
  size_t skin = 0;  // position in the skin choices; 0 is "Default"
  bool photo = false;
  std::u16string photoPath;
  bool sentence = false;
  std::u16string sentenceText;
  bool saveToFolder = false;
  std::u16string folder;
  bool hideInInbox = false;
  bool autoForward = false;
  std::u16string forwardTo;
  bool autoReply = false;
  std::u16string replyText;

  // The two sound boxes exclude each other: ticking one clears the other.
  void SetPlaySound(bool on);
  void SetRandomRing(bool on);

  bool operator==(const FilterEditForm&) const = default;
};

// Which controls take input in the current state of the form.
struct FilterEditEnables {
  bool name = true;
  bool ruleSetting = true;
  bool soundPath = false;   // the path edit and its Browse...
  bool playButton = false;
  bool skin = false;        // the skin spinner and Test...
  bool photoBox = false;    // the Specific Photo check box
  bool photoPath = false;   // its edit and Browse...
  bool sentenceBox = false;
  bool sentenceText = false;
  bool folder = false;
  bool forward = false;     // the forward edit and Contact...
  bool reply = false;       // My Text... and the reply edit
};
FilterEditEnables EnablesOf(const FilterEditForm& form, FilterEditMode mode);

// The skins the spinner offers, "Default" first, and the program folder the stored skin paths
// start with.
struct SkinChoiceList {
  std::u16string programFolder;
  std::vector<std::u16string> choices;
};

// The form as the dialog opens on `filter`.
FilterEditForm FormOfFilter(const Filter& filter, FilterEditMode mode, const SkinChoiceList& skins);

// OK's checks and stores, in order; each stores its part into `filter` before the next is
// looked at. The message of the first check that failed, with what was stored before it left
// in the filter; nothing when every step passed.
std::optional<std::u16string> StoreForm(const FilterEditForm& form, FilterEditMode mode,
                                        const SkinChoiceList& skins, Filter& filter);

// The messages of the failing checks.
inline constexpr std::u16string_view kNameEmptyMessage = u"Filter name can not be empty!";
inline constexpr std::u16string_view kSetRuleMessage = u"Please set the rule!";
inline constexpr std::u16string_view kForwardMissingMessage = u"Please specify the forward number!";
inline constexpr std::u16string_view kSoundMissingMessage = u"Please specify a sound file";
inline constexpr std::u16string_view kFolderMissingMessage = u"Please specify a folder";
inline constexpr std::u16string_view kSentenceMissingMessage = u"Please input user-defined sentence!";
inline constexpr std::u16string_view kPhotoMissingMessage = u"Please specify the photo!";
inline constexpr std::u16string_view kReplyMissingMessage = u"The content of Auto Repley can't be empty !";

}  // namespace brevalo
