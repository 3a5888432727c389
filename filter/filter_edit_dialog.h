// The filter edit dialog ("Filter Edit"): the name, Apply to All and Rule Setting..., then the
// actions in three groups, "Alert", "Save" and "SMS". It is taller than the screen and scrolls.
// OK stores the form into the filter step by step (see StoreForm) and says the first check
// that fails; Cancel leaves the filter with what was stored until then.
#pragma once

#include "filter/filter.h"
#include "filter/filter_dialog_context.h"
#include "filter/filter_edit_form.h"

namespace brevalo {

class PhoneScreen;

enum FilterEditControl : int {
  IDC_EDIT_NAME = 1101,
  IDC_EDIT_MATCH = 1102,
  IDC_EDIT_APPLY_ALL = 1103,
  IDC_EDIT_RULE_SETTING = 1104,
  IDC_EDIT_ALERT_GROUP = 1105,
  IDC_EDIT_SAVE_GROUP = 1106,
  IDC_EDIT_SMS_GROUP = 1107,
  IDC_EDIT_PLAY_SOUND = 1110,
  IDC_EDIT_SOUND_PATH = 1111,
  IDC_EDIT_SOUND_BROWSE = 1112,
  IDC_EDIT_PLAY = 1113,
  IDC_EDIT_RANDOM_RING = 1114,
  IDC_EDIT_VIBRATE = 1115,
  IDC_EDIT_UNREAD_ALERT = 1116,
  IDC_EDIT_POPUP = 1117,
  IDC_EDIT_SKIN = 1118,
  IDC_EDIT_TEST = 1119,
  IDC_EDIT_PHOTO = 1120,
  IDC_EDIT_PHOTO_PATH = 1121,
  IDC_EDIT_PHOTO_BROWSE = 1122,
  IDC_EDIT_SENTENCE = 1123,
  IDC_EDIT_SENTENCE_TEXT = 1124,
  IDC_EDIT_SAVE_FOLDER = 1125,
  IDC_EDIT_FOLDER = 1126,
  IDC_EDIT_HIDE_IN_INBOX = 1127,
  IDC_EDIT_FORWARD = 1128,
  IDC_EDIT_FORWARD_TO = 1129,
  IDC_EDIT_CONTACT = 1130,
  IDC_EDIT_REPLY = 1131,
  IDC_EDIT_MY_TEXT = 1132,
  IDC_EDIT_REPLY_TEXT = 1133,
};

// Modal; IDOK or IDCANCEL. In EDIT_FAST_CREATE the Rule Editor opens first, by itself, and
// the dialog ends with IDCANCEL at once unless it ends with OK.
int RunFilterEdit(PhoneScreen& screen, Filter& filter, FilterEditMode mode, const FilterDialogContext& context);

}  // namespace brevalo
