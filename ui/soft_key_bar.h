// The soft-key menu bar of a full-screen window: a left key and a right key, each a command or
// a popup that opens above the bar. Plain data, so that windows fill it and tests check it
// without a screen.
#pragma once

#include <memory>
#include <string>

#include "ui/popup_menu.h"

namespace brevalo {

struct SoftKey {
  std::u16string label;
  int command = 0;                   // sent as WM_COMMAND when there is no popup
  std::shared_ptr<PopupMenu> popup;  // opens above the bar instead of a command
  bool enabled = true;
};

struct SoftKeyMenuBar {
  SoftKey left;
  SoftKey right;
  // The Back key goes to the window as a hot key (virtual key 27, on press and on release)
  // instead of erasing in edits or closing the window.
  bool backKeyToWindow = false;
};

}  // namespace brevalo
