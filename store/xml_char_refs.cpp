#include "store/xml_char_refs.h"

#include <cstdio>
#include <optional>

namespace brevalo {
namespace {

// The private-use plane's stand-ins: U+10FF00 + a control character, U+10FFFE and U+10FFFF for
// the two noncharacters of the first plane.
constexpr char32_t kStandInBase = 0x10FF00;

struct Reference {
  char32_t value = 0;
  size_t length = 0;  // from "&#" to ";" inclusive
};

// The reference that starts at `at`, when it is one: "&#" digits ";" or "&#x" hex digits ";".
std::optional<Reference> ReadReference(std::string_view xml, size_t at) {
  if (xml.compare(at, 2, "&#") != 0) return std::nullopt;
  size_t i = at + 2;
  const bool hex = i < xml.size() && xml[i] == 'x';
  if (hex) ++i;
  const size_t digitsStart = i;
  uint64_t value = 0;
  for (; i < xml.size() && xml[i] != ';'; ++i) {
    const char c = xml[i];
    int digit = -1;
    if (c >= '0' && c <= '9') digit = c - '0';
    else if (hex && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    else if (hex && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    if (digit < 0) return std::nullopt;
    value = value * (hex ? 16 : 10) + static_cast<uint64_t>(digit);
    if (value > 0x10FFFF) return std::nullopt;  // the library says what is wrong with it
  }
  if (i == digitsStart || i >= xml.size()) return std::nullopt;
  return Reference{static_cast<char32_t>(value), i + 1 - at};
}

bool HighHalf(char32_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool LowHalf(char32_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// "&#x" + hexadecimal digits + ";", padded with zeros to `length` characters when that is longer.
std::string HexReference(char32_t value, size_t length) {
  char digits[16];
  std::snprintf(digits, sizeof digits, "%X", static_cast<unsigned>(value));
  std::string text(digits);
  if (length > text.size() + 4) text.insert(0, length - text.size() - 4, '0');
  return "&#x" + text + ";";
}

// What a reference the library refuses stands for, or nothing when the library takes it.
std::optional<char32_t> Replacement(char32_t value) {
  if (value == 0) return U'\uFFFD';  // a zero would end the stored text
  if (LowHalf(value) || HighHalf(value)) return U'\uFFFD';
  if (value < 0x20 || value == 0xFFFE || value == 0xFFFF) {
    return value < 0x20 ? kStandInBase + value : kStandInBase + (value & 0xFF);
  }
  return std::nullopt;
}

}  // namespace

bool OutsideXmlCharacters(char32_t c) {
  if (c == 0x9 || c == 0xA || c == 0xD) return false;
  return c < 0x20 || HighHalf(c) || LowHalf(c) || c == 0xFFFE || c == 0xFFFF || c > 0x10FFFF;
}

std::string MendCharacterReferences(std::string_view xml) {
  std::string mended;
  mended.reserve(xml.size());
  size_t at = 0;
  while (at < xml.size()) {
    const size_t amp = xml.find("&#", at);
    if (amp == std::string_view::npos) break;
    mended.append(xml, at, amp - at);
    std::optional<Reference> first = ReadReference(xml, amp);
    if (!first) {
      mended += "&#";
      at = amp + 2;
      continue;
    }
    if (HighHalf(first->value)) {
      std::optional<Reference> second = ReadReference(xml, amp + first->length);
      if (second && LowHalf(second->value)) {
        const char32_t joined =
            0x10000 + ((first->value - 0xD800) << 10) + (second->value - 0xDC00);
        mended += HexReference(joined, first->length + second->length);
        at = amp + first->length + second->length;
        continue;
      }
    }
    std::optional<char32_t> replacement = Replacement(first->value);
    if (replacement) {
      mended += HexReference(*replacement, first->length);
    } else {
      mended.append(xml, amp, first->length);
    }
    at = amp + first->length;
  }
  if (at < xml.size()) mended.append(xml, at, std::string_view::npos);
  return mended;
}

std::u16string RestoreControlCharacters(std::u16string text) {
  // U+10FFxx is the pair DBFF DFxx in UTF-16.
  std::u16string restored;
  restored.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == 0xDBFF && i + 1 < text.size() && (text[i + 1] & 0xFF00) == 0xDF00) {
      const char16_t low = text[i + 1] & 0xFF;
      if (low < 0x20 || low >= 0xFE) {
        restored += low < 0x20 ? low : static_cast<char16_t>(0xFF00 | low);
        ++i;
        continue;
      }
    }
    restored += text[i];
  }
  return restored;
}

}  // namespace brevalo
