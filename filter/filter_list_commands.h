// The filter list's commands and controls, for the dialog and for whoever drives it.
#pragma once

#include "ui/window_messages.h"

namespace brevalo {

enum FilterListCommand : int {
  ID_FILTER_NEW = 40601,
  ID_FILTER_FAST_CREATE = 40602,
  ID_FILTER_EDIT = 40603,
  ID_FILTER_DELETE = 40604,
  ID_FILTER_UP = 40605,
  ID_FILTER_DOWN = 40606,
};
inline constexpr int IDC_FILTER_HEADER = 1040;
inline constexpr int IDC_FILTER_LIST = 1001;
// What the list ends with.
inline constexpr int kFilterListDone = IDOK;

}  // namespace brevalo
