#include "alert/skin_config.h"

#include <limits>

#include "alert/skin_file_format.h"

namespace brevalo {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsScanSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

// The lines as a text-mode reader with a 260-character buffer sees them: CR LF is LF, a longer
// line comes in pieces of 259 characters, and a piece ends at a NUL byte as C strings do.
std::vector<std::string> SplitLines(std::string_view text) {
  std::string plain;
  plain.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    plain.push_back(text[i]);
  }
  std::vector<std::string> lines;
  const size_t most = kSkinLineBuffer - 1;
  size_t pos = 0;
  while (pos < plain.size()) {
    size_t end = pos;
    while (end < plain.size() && end - pos < most) {
      if (plain[end++] == '\n') break;
    }
    std::string line = plain.substr(pos, end - pos);
    line.resize(line.find('\0') == std::string::npos ? line.size() : line.find('\0'));
    lines.push_back(std::move(line));
    pos = end;
  }
  return lines;
}

// One "%d" of sscanf: blanks skipped, a sign, at least one digit; out-of-range values clamp.
bool ScanInt(std::string_view text, size_t* pos, int32_t* out) {
  size_t i = *pos;
  while (i < text.size() && IsScanSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  if (i >= text.size() || !IsDigit(text[i])) return false;
  int64_t value = 0;
  constexpr int64_t kLimit = int64_t{std::numeric_limits<int32_t>::max()} + 1;
  for (; i < text.size() && IsDigit(text[i]); ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > kLimit) value = kLimit;
  }
  value = negative ? -value : value;
  if (value > std::numeric_limits<int32_t>::max()) value = std::numeric_limits<int32_t>::max();
  *out = static_cast<int32_t>(value);
  *pos = i;
  return true;
}

// "%d,%d,..." for `count` integers; what follows the last one is ignored.
bool ScanInts(std::string_view text, int32_t* out, int count) {
  size_t pos = 0;
  for (int i = 0; i < count; ++i) {
    if (i > 0) {
      if (pos >= text.size() || text[pos] != ',') return false;
      ++pos;
    }
    if (!ScanInt(text, &pos, &out[i])) return false;
  }
  return true;
}

template <typename T>
void Apply(const std::optional<T>& parsed, T* field) {
  if (parsed) *field = *parsed;
}

}  // namespace

std::optional<int32_t> ParseSkinInteger(std::string_view value) {
  if (value.empty()) return 0;
  if (value.size() > kSkinIntegerMaxChars) return std::nullopt;
  for (size_t i = 0; i < value.size(); ++i) {
    if (!IsDigit(value[i]) && !(i == 0 && value[i] == '-')) return std::nullopt;
  }
  if (value == "-") return 0;  // atoi of a lone sign
  size_t pos = 0;
  int32_t out = 0;
  ScanInt(value, &pos, &out);
  return out;
}

std::optional<SkinRect> ParseSkinRect(std::string_view value) {
  int32_t v[4];
  if (!ScanInts(value, v, 4)) return std::nullopt;
  SkinRect rect{v[0], v[1], v[2], v[3]};
  if (rect.right < rect.left || rect.bottom < rect.top) return std::nullopt;
  return rect;
}

std::optional<SkinColor> ParseSkinColor(std::string_view value) {
  int32_t v[3];
  if (!ScanInts(value, v, 3)) return std::nullopt;
  for (int32_t part : v) {
    if (part < 0 || part > 255) return std::nullopt;
  }
  return MakeSkinColor(static_cast<uint8_t>(v[0]), static_cast<uint8_t>(v[1]),
                       static_cast<uint8_t>(v[2]));
}

SkinConfig::SkinConfig(std::string_view text) : lines_(SplitLines(text)) {
  for (size_t i = 0; i < lines_.size(); ++i) {
    const std::string& line = lines_[i];
    if (line.empty() || line[0] != '[') continue;
    std::string_view name(line);
    name.remove_prefix(1);
    size_t close = name.find(']');
    if (close == std::string_view::npos) {
      while (!name.empty() && (name.back() == '\n' || IsBlank(name.back()))) name.remove_suffix(1);
    } else {
      name = name.substr(0, close);
    }
    if (name == kSkinSection) {
      sectionStart_ = i + 1;
      return;
    }
  }
}

std::optional<std::string> SkinConfig::Find(std::string_view key) const {
  if (!sectionStart_) return std::nullopt;
  for (size_t i = *sectionStart_; i < lines_.size(); ++i) {
    std::string_view line(lines_[i]);
    if (!line.empty() && line[0] == '[') break;
    if (!line.empty() && line[0] == ';') continue;
    size_t equals = line.find('=');
    if (equals == std::string_view::npos || line.substr(0, equals) != key) continue;
    std::string_view value = line.substr(equals + 1);
    if (!value.empty() && value.back() == '\n') value.remove_suffix(1);
    while (!value.empty() && IsBlank(value.back())) value.remove_suffix(1);
    return std::string(value);
  }
  return std::nullopt;
}

SkinValues SkinConfig::Values() const {
  SkinValues v = FileSkinDefaults();
  auto integer = [this](std::string_view key, int32_t* field) {
    if (auto text = Find(key)) Apply(ParseSkinInteger(*text), field);
  };
  auto rect = [this](std::string_view key, SkinRect* field) {
    if (auto text = Find(key)) Apply(ParseSkinRect(*text), field);
  };
  auto color = [this](std::string_view key, SkinColor* field) {
    if (auto text = Find(key)) Apply(ParseSkinColor(*text), field);
  };
  integer(kSkinDialogLeft, &v.left);
  integer(kSkinDialogTop, &v.top);
  integer(kSkinDialogWidth, &v.width);
  integer(kSkinDialogHeight, &v.height);
  rect(kSkinNumTextRect, &v.numberRect);
  rect(kSkinDesTextRect, &v.textRect);
  rect(kSkinDesLabelRect, &v.textLabelRect);
  rect(kSkinNumLableRect, &v.numberLabelRect);
  rect(kSkinPhotoRect, &v.photoRect);
  integer(kSkinFontSize, &v.fontSize);
  integer(kSkinShowPhoto, &v.showPhoto);
  integer(kSkinShowNumberLabel, &v.showNumberLabel);
  integer(kSkinShowDescriptionLabel, &v.showTextLabel);
  integer(kSkinShowNumber, &v.showNumber);
  integer(kSkinShowDescription, &v.showText);
  color(kSkinNumColor, &v.numberColor);
  color(kSkinDesColor, &v.textColor);
  color(kSkinLabelColor, &v.labelColor);
  if (auto text = Find(kSkinTransparentColor)) {
    std::optional<SkinColor> key = ParseSkinColor(*text);
    // Black means "no shaping", as a missing or broken value does.
    if (key && *key != 0) v.transparentColor = key;
  }
  return v;
}

}  // namespace brevalo
