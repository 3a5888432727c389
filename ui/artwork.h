// The window system's pictures, drawn by code: tray icons by resource identifier, message box
// icons, and the status strip's background.
#pragma once

#include <QPixmap>

#include <cstdint>

namespace brevalo {

inline constexpr int kTrayIconProgram = 129;  // the program's own icon
inline constexpr int kTrayIconUnread = 158;   // unread messages waiting

// A square icon of `size` pixels; an unknown identifier gets a neutral icon with its number.
QPixmap TrayIconPixmap(int resourceId, int size);
// The icon of MB_ICONERROR / QUESTION / WARNING / INFORMATION; empty for none.
QPixmap MessageBoxIconPixmap(uint32_t flags, int size);

}  // namespace brevalo
