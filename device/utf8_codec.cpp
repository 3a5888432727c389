// UTF-8 <-> UTF-16 without iconv: the default code page and every host path go through here, so
// it must be fast and must never fail.
#include "device/utf8_codec.h"

#include "device/code_page.h"

namespace brevalo {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

void AppendUtf8(char32_t cp, std::string* out) {
  if (cp < 0x80) {
    out->push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out->push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out->push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out->push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out->push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out->push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

void AppendUtf16(char32_t cp, std::u16string* out) {
  if (cp < 0x10000) {
    out->push_back(static_cast<char16_t>(cp));
  } else {
    cp -= 0x10000;
    out->push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
    out->push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
  }
}

}  // namespace

// Decodes one code point at text[*pos], advancing *pos; an unpaired surrogate yields nothing.
std::optional<char32_t> NextUtf16(std::u16string_view text, size_t* pos) {
  char16_t c = text[(*pos)++];
  if (c < 0xD800 || c > 0xDFFF) return c;
  if (c <= 0xDBFF && *pos < text.size() && text[*pos] >= 0xDC00 && text[*pos] <= 0xDFFF) {
    char32_t low = text[(*pos)++];
    return 0x10000 + ((static_cast<char32_t>(c) - 0xD800) << 10) + (low - 0xDC00);
  }
  return std::nullopt;
}

// Decodes one code point at bytes[*pos], advancing *pos; a malformed sequence yields nothing
// and advances past its first byte only, so that what follows is still read.
std::optional<char32_t> NextUtf8(std::string_view bytes, size_t* pos) {
  auto byte = [&](size_t i) { return static_cast<unsigned char>(bytes[i]); };
  unsigned char lead = byte(*pos);
  size_t start = (*pos)++;
  if (lead < 0x80) return lead;
  size_t length;
  char32_t cp;
  char32_t minimum;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, cp = lead & 0x1F, minimum = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, cp = lead & 0x0F, minimum = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, cp = lead & 0x07, minimum = 0x10000;
  } else {
    return std::nullopt;
  }
  if (start + length > bytes.size()) return std::nullopt;
  for (size_t i = 1; i < length; ++i) {
    unsigned char next = byte(start + i);
    if ((next & 0xC0) != 0x80) return std::nullopt;
    cp = (cp << 6) | (next & 0x3F);
  }
  if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return std::nullopt;
  *pos = start + length;
  return cp;
}

std::string Utf16ToUtf8(std::u16string_view text, char32_t unpairedAs) {
  // Every index save converts all labels of the document, and almost all of them are ASCII, so
  // runs of ASCII are copied without decoding.
  std::string out;
  out.reserve(text.size() + text.size() / 4);
  size_t pos = 0;
  while (pos < text.size()) {
    size_t run = pos;
    while (run < text.size() && text[run] < 0x80) ++run;
    if (run > pos) {
      size_t at = out.size();
      out.resize(at + (run - pos));
      for (size_t i = pos; i < run; ++i) out[at + (i - pos)] = static_cast<char>(text[i]);
      pos = run;
      continue;
    }
    AppendUtf8(NextUtf16(text, &pos).value_or(unpairedAs), &out);
  }
  return out;
}

size_t Utf8EncodedLength(char32_t cp) {
  return cp < 0x80 ? 1 : cp < 0x800 ? 2 : cp < 0x10000 ? 3 : 4;
}

void AppendCodePointUtf8(char32_t cp, std::string* out) { AppendUtf8(cp, out); }

std::string ToUtf8(std::u16string_view text) { return Utf16ToUtf8(text, kReplacement); }

std::u16string FromUtf8(std::string_view bytes) {
  // Opening a document converts its whole index; ASCII runs are widened without decoding.
  std::u16string out;
  out.reserve(bytes.size());
  size_t pos = 0;
  while (pos < bytes.size()) {
    size_t run = pos;
    while (run < bytes.size() && static_cast<unsigned char>(bytes[run]) < 0x80) ++run;
    if (run > pos) {
      size_t at = out.size();
      out.resize(at + (run - pos));
      for (size_t i = pos; i < run; ++i) out[at + (i - pos)] = static_cast<char16_t>(bytes[i]);
      pos = run;
      continue;
    }
    AppendUtf16(NextUtf8(bytes, &pos).value_or(kReplacement), &out);
  }
  return out;
}

void AppendCodePointUtf16(char32_t cp, std::u16string* out) { AppendUtf16(cp, out); }

std::u16string UnitsAfterByteOrderMark(std::string_view bytes) {
  std::u16string units;
  if (bytes.size() < 2) return units;
  const size_t count = (bytes.size() - 2) / 2;
  units.resize(count);
  for (size_t i = 0; i < count; ++i) {
    const auto low = static_cast<unsigned char>(bytes[2 + 2 * i]);
    const auto high = static_cast<unsigned char>(bytes[3 + 2 * i]);
    units[i] = static_cast<char16_t>(low | (high << 8));
  }
  return units;
}

}  // namespace brevalo
