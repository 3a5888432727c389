// The Black List dialog ("Black List"): Name and Phone with "Contact" and "Add" above the list
// of entries in two columns. Delete (soft key, or the "Black List" menu of a held Action)
// removes the selected entry without asking. Every change is made in the engine at once.
#pragma once

#include "filter/filter_engine.h"
#include "send/contact_directory.h"

namespace brevalo {

class PhoneScreen;

enum BlackListControl : int {
  IDC_BLACK_NAME = 1301,
  IDC_BLACK_PHONE = 1302,
  IDC_BLACK_CONTACT = 1303,
  IDC_BLACK_ADD = 1304,
  IDC_BLACK_LIST = 1001,
};
inline constexpr int ID_BLACK_DELETE = 40072;

// Modal; ends with IDOK (Done, also Back).
int RunBlackList(PhoneScreen& screen, FilterEngine& engine, ContactDirectory& contacts);

}  // namespace brevalo
