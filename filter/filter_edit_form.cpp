#include "filter/filter_edit_form.h"

#include <utility>

namespace brevalo {
namespace {

std::u16string TextOf(const Filter& filter, size_t slot) {
  const auto& action = filter.actions[slot];
  return action && action->text ? *action->text : std::u16string();
}

// The skin's name in a stored path: the file name without its folder and its extension.
std::u16string_view SkinNameOfPath(std::u16string_view path) {
  size_t slash = path.rfind(u'\\');
  std::u16string_view name = slash == std::u16string_view::npos ? path : path.substr(slash + 1);
  size_t dot = name.rfind(u'.');
  return dot == std::u16string_view::npos ? name : name.substr(0, dot);
}

size_t SkinPosition(const Filter& filter, const SkinChoiceList& skins) {
  const std::u16string path = TextOf(filter, ACTION_POPUP);
  if (path.empty()) return 0;
  std::u16string_view name = SkinNameOfPath(path);
  for (size_t i = 1; i < skins.choices.size(); ++i) {
    if (skins.choices[i] == name) return i;
  }
  return 0;
}

std::u16string SkinPath(const SkinChoiceList& skins, size_t position) {
  if (position == 0 || position >= skins.choices.size()) return {};
  return skins.programFolder + u"skins\\" + skins.choices[position] + u".cfg";
}

// A ticked box whose text is empty fails with `missing`; a ticked one stores its text, a
// cleared one removes the slot.
std::optional<std::u16string> StoreTextSlot(Filter& filter, size_t slot, bool ticked,
                                            const std::u16string& text, std::u16string_view missing) {
  if (!ticked) {
    filter.actions[slot].reset();
    return std::nullopt;
  }
  if (text.empty()) return std::u16string(missing);
  filter.SetAction(slot, text);
  return std::nullopt;
}

void StoreFlagSlot(Filter& filter, size_t slot, bool ticked) {
  if (ticked) filter.SetAction(slot);
  else filter.actions[slot].reset();
}

std::optional<std::u16string> StoreName(const FilterEditForm& form, FilterEditMode mode, Filter& filter) {
  // A default's name is fixed and never written; its filter keeps none.
  if (IsDefaultMode(mode)) return std::nullopt;
  if (form.name.empty()) return std::u16string(kNameEmptyMessage);
  filter.name = form.name.substr(0, kFilterNameStored);
  return std::nullopt;
}

std::optional<std::u16string> StoreApplyToAll(const FilterEditForm& form, Filter& filter) {
  filter.applyToAll = form.applyToAll ? 1 : 0;
  if (!form.applyToAll && !filter.conditions[0]) return std::u16string(kSetRuleMessage);
  return std::nullopt;
}

std::optional<std::u16string> StoreSound(const FilterEditForm& form, Filter& filter) {
  if (form.randomRing) {
    filter.SetAction(ACTION_SOUND, std::u16string(ActionRandomRing));
    return std::nullopt;
  }
  return StoreTextSlot(filter, ACTION_SOUND, form.playSound, form.soundPath, kSoundMissingMessage);
}

std::optional<std::u16string> StoreFolder(const FilterEditForm& form, Filter& filter) {
  std::u16string path = form.folder;
  if (!path.empty() && path.front() != u'\\') path.insert(path.begin(), u'\\');
  return StoreTextSlot(filter, ACTION_SAVE_TO_FOLDER, form.saveToFolder, path, kFolderMissingMessage);
}

std::optional<std::u16string> StorePopup(const FilterEditForm& form, const SkinChoiceList& skins, Filter& filter) {
  if (!form.popup) {
    // The photo only counts together with the pop-up; it is kept for when the pop-up returns.
    filter.actions[ACTION_POPUP].reset();
    filter.actions[ACTION_SENTENCE].reset();
    return std::nullopt;
  }
  std::u16string skin = SkinPath(skins, form.skin);
  if (skin.empty()) filter.SetAction(ACTION_POPUP);
  else filter.SetAction(ACTION_POPUP, std::move(skin));
  if (auto failed = StoreTextSlot(filter, ACTION_SENTENCE, form.sentence, form.sentenceText, kSentenceMissingMessage)) {
    return failed;
  }
  return StoreTextSlot(filter, ACTION_PHOTO, form.photo, form.photoPath, kPhotoMissingMessage);
}

}  // namespace

std::u16string_view DefaultFilterName(FilterEditMode mode) {
  switch (mode) {
    case EDIT_CONTACT_DEFAULT: return kContactDefaultName;
    case EDIT_STRANGER_DEFAULT: return kStrangerDefaultName;
    default: return {};
  }
}

std::u16string_view MatchDescription(FilterEditMode mode) {
  switch (mode) {
    case EDIT_CONTACT_DEFAULT: return u"Match: Contact who are in the blacklist/user-defined filter";
    case EDIT_STRANGER_DEFAULT: return u"Match: Stranger who are not in the blacklist/user-defined filter";
    default: return {};
  }
}

void FilterEditForm::SetPlaySound(bool on) {
  playSound = on;
  if (on) randomRing = false;
}

void FilterEditForm::SetRandomRing(bool on) {
  randomRing = on;
  if (on) playSound = false;
}

FilterEditEnables EnablesOf(const FilterEditForm& form, FilterEditMode mode) {
  FilterEditEnables on;
  on.name = !IsDefaultMode(mode);
  on.ruleSetting = !form.applyToAll;
  on.soundPath = form.playSound && !form.randomRing;
  on.playButton = on.soundPath;
  on.skin = form.popup;
  on.photoBox = form.popup;
  on.photoPath = form.popup && form.photo;
  on.sentenceBox = form.popup;
  on.sentenceText = form.popup && form.sentence;
  on.folder = form.saveToFolder;
  on.forward = form.autoForward;
  on.reply = form.autoReply;
  return on;
}

FilterEditForm FormOfFilter(const Filter& filter, FilterEditMode mode, const SkinChoiceList& skins) {
  FilterEditForm form;
  std::u16string_view fixed = DefaultFilterName(mode);
  form.name = fixed.empty() ? filter.name.substr(0, kFilterNameTyped) : std::u16string(fixed);
  form.applyToAll = filter.applyToAll == 1;
  if (filter.HasAction(ACTION_SOUND)) {
    std::u16string sound = TextOf(filter, ACTION_SOUND);
    if (!sound.empty() && sound.front() == ActionRandomRing.front()) {
      form.randomRing = true;
    } else {
      form.playSound = true;
      form.soundPath = std::move(sound);
    }
  }
  form.vibrate = filter.HasAction(ACTION_VIBRATE);
  form.unreadAlert = filter.HasAction(ACTION_UNREAD_ALERT);
  form.popup = filter.HasAction(ACTION_POPUP);
  form.skin = SkinPosition(filter, skins);
  form.photo = filter.HasAction(ACTION_PHOTO);
  form.photoPath = TextOf(filter, ACTION_PHOTO);
  form.sentence = filter.HasAction(ACTION_SENTENCE);
  form.sentenceText = TextOf(filter, ACTION_SENTENCE);
  form.saveToFolder = filter.HasAction(ACTION_SAVE_TO_FOLDER);
  form.folder = form.saveToFolder ? TextOf(filter, ACTION_SAVE_TO_FOLDER) : std::u16string(DefaultFolderPath);
  form.hideInInbox = filter.HasAction(ACTION_HIDE_IN_INBOX);
  form.autoForward = filter.HasAction(ACTION_AUTO_FORWARD);
  form.forwardTo = TextOf(filter, ACTION_AUTO_FORWARD);
  form.autoReply = filter.HasAction(ACTION_AUTO_REPLY);
  form.replyText = form.autoReply ? TextOf(filter, ACTION_AUTO_REPLY) : std::u16string(kDefaultReplyText);
  return form;
}

std::optional<std::u16string> StoreForm(const FilterEditForm& form, FilterEditMode mode,
                                        const SkinChoiceList& skins, Filter& filter) {
  if (auto failed = StoreName(form, mode, filter)) return failed;
  if (auto failed = StoreApplyToAll(form, filter)) return failed;
  if (auto failed = StoreTextSlot(filter, ACTION_AUTO_FORWARD, form.autoForward, form.forwardTo,
                                  kForwardMissingMessage)) {
    return failed;
  }
  StoreFlagSlot(filter, ACTION_VIBRATE, form.vibrate);
  if (auto failed = StoreSound(form, filter)) return failed;
  if (auto failed = StoreFolder(form, filter)) return failed;
  if (auto failed = StorePopup(form, skins, filter)) return failed;
  StoreFlagSlot(filter, ACTION_UNREAD_ALERT, form.unreadAlert);
  StoreFlagSlot(filter, ACTION_HIDE_IN_INBOX, form.hideInInbox);
  return StoreTextSlot(filter, ACTION_AUTO_REPLY, form.autoReply, form.replyText, kReplyMissingMessage);
}

}  // namespace brevalo
