// The skin's settings file, NAME.cfg beside NAME.bmp in the skins folder: plain ASCII text
// read line by line into a 260-character buffer, so at most 259 characters make one line.
//
//   [DudadOruv Skin SP]        the one section searched; only its first occurrence counts
//   ; a comment                lines starting with ";" inside the section
//   DialogLeft=12              KEY=VALUE: the key is everything before the first "=", exact
//   NumTextRect=29,6,145,22    integer, "left,top,right,bottom", or "red,green,blue" values
//   [Other]                    the next section ends the one in use
//
// Every key is looked up from the start of the file again, so keys may stand in any order
// and the first occurrence of a key counts.
#pragma once

#include <cstddef>
#include <string_view>

namespace brevalo {

inline constexpr std::string_view kSkinSection = "DudadOruv Skin SP";
inline constexpr size_t kSkinLineBuffer = 260;  // characters, the terminator included
inline constexpr size_t kSkinIntegerMaxChars = 10;

inline constexpr std::string_view kSkinDialogLeft = "DialogLeft";
inline constexpr std::string_view kSkinDialogTop = "DialogTop";
inline constexpr std::string_view kSkinDialogWidth = "DialogWidth";
inline constexpr std::string_view kSkinDialogHeight = "DialogHeight";
inline constexpr std::string_view kSkinNumTextRect = "NumTextRect";
inline constexpr std::string_view kSkinDesTextRect = "DesTextRect";
inline constexpr std::string_view kSkinDesLabelRect = "DesLabelRect";
inline constexpr std::string_view kSkinNumLableRect = "NumLableRect";  // sic: stored files use it
inline constexpr std::string_view kSkinPhotoRect = "PhotoRect";
inline constexpr std::string_view kSkinFontSize = "FontSize";
inline constexpr std::string_view kSkinShowPhoto = "ShowPhoto";
inline constexpr std::string_view kSkinShowNumberLabel = "ShowNumberLabel";
inline constexpr std::string_view kSkinShowDescriptionLabel = "ShowDescriptionLabel";
inline constexpr std::string_view kSkinShowNumber = "ShowNumber";
inline constexpr std::string_view kSkinShowDescription = "ShowDescription";
inline constexpr std::string_view kSkinNumColor = "NumColor";
inline constexpr std::string_view kSkinDesColor = "DesColor";
inline constexpr std::string_view kSkinLabelColor = "LabelColor";
inline constexpr std::string_view kSkinTransparentColor = "TransparentColor";

}  // namespace brevalo
