// A home-screen plug-in as the home screen meets it: a library registered under
// HKEY_CLASSES_ROOT\CLSID\{class}\InprocServer32 that draws one line of the home screen and
// answers Action on that line. It exports, besides BrevaloSetDeviceFolder (told the device
// when it is mapped):
//   int HomePluginLine(char16_t* buffer, int capacity)  the line's text, its length returned;
//                                                       0 when it has nothing to show now
//   int HomePluginAction()                              Action on the line; non-zero when done
#pragma once

#include <cstddef>

namespace brevalo {

using HomePluginLineFunction = int (*)(char16_t* buffer, int capacity);
using HomePluginActionFunction = int (*)();
inline constexpr const char* kHomePluginLine = "HomePluginLine";
inline constexpr const char* kHomePluginAction = "HomePluginAction";
// The longest line the home screen asks for.
inline constexpr int kHomePluginLineCapacity = 128;

}  // namespace brevalo
