// A home-screen plug-in as the home screen meets it: a description "NAME.home.xml" in the home
// folder naming its class (an attribute clsid="{...}"), and a library registered under
// HKEY_CLASSES_ROOT\CLSID\{class}\InprocServer32 that draws one line of the home screen and
// answers Action on that line. It exports, besides BrevaloSetDeviceFolder (told the device
// when it is mapped):
//   int HomePluginLine(char16_t* buffer, int capacity)  the line's text, its length returned;
//                                                       0 when it has nothing to show now
//   int HomePluginAction()                              Action on the line; non-zero when done
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace brevalo {

using HomePluginLineFunction = int (*)(char16_t* buffer, int capacity);
using HomePluginActionFunction = int (*)();
inline constexpr const char* kHomePluginLine = "HomePluginLine";
inline constexpr const char* kHomePluginAction = "HomePluginAction";
// The longest line the home screen asks for.
inline constexpr int kHomePluginLineCapacity = 128;

// Where the home screen finds the descriptions of its plug-ins.
inline constexpr std::u16string_view kHomeFolder = u"\\Storage\\Application Data\\Home\\";
inline constexpr std::u16string_view kHomeFileSuffix = u".home.xml";

// The class a description names, in the registry's spelling ("{20F58816-...}"); nothing when it
// names none or no well-formed one.
std::optional<std::u16string> HomePluginClassOf(std::string_view description);

}  // namespace brevalo
