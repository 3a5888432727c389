#include "device/code_page.h"

#include <iconv.h>

#include <cerrno>
#include <cstring>

#include "device/utf8_codec.h"

namespace brevalo {
namespace {

constexpr uint32_t kUtf8 = 65001;
constexpr char16_t kReplacement = 0xFFFD;

// The phone numbers its code pages; iconv names them. Most are "CP" + number.
std::string IconvName(uint32_t number) {
  switch (number) {
    case kUtf8: return "UTF-8";
    case 20127: return "ASCII";
    case 20936: return "GB2312";
    case 54936: return "GB18030";
    case 50220: return "ISO-2022-JP";
    case 51932: return "EUC-JP";
    case 51949: return "EUC-KR";
    case 20866: return "KOI8-R";
    case 21866: return "KOI8-U";
    default: break;
  }
  // Built by appending: "literal" + std::string trips a false -Wrestrict in some compilers.
  std::string name = number >= 28591 && number <= 28606 ? "ISO-8859-" : "CP";
  name.append(std::to_string(number >= 28591 && number <= 28606 ? number - 28590 : number));
  return name;
}

// One conversion descriptor for one call: iconv descriptors carry state and must not be shared
// between threads, and the calls that reach here are few and short.
class Iconv {
 public:
  Iconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Iconv() {
    if (ok()) iconv_close(cd_);
  }
  Iconv(const Iconv&) = delete;
  Iconv& operator=(const Iconv&) = delete;
  bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

  // Converts all of in; false (with out holding what was done) at the first input that cannot
  // be converted, *consumed telling how far it got.
  bool Convert(const char* in, size_t length, std::string* out, size_t* consumed) {
    char* src = const_cast<char*>(in);
    size_t left = length;
    char buffer[256];
    bool ok = true;
    while (left > 0) {
      char* dst = buffer;
      size_t room = sizeof buffer;
      size_t result = iconv(cd_, &src, &left, &dst, &room);
      out->append(buffer, static_cast<size_t>(dst - buffer));
      if (result == static_cast<size_t>(-1) && errno != E2BIG) {
        ok = false;
        break;
      }
    }
    if (ok) Flush(out);
    *consumed = length - left;
    return ok;
  }

  void Flush(std::string* out) {
    char buffer[64];
    char* dst = buffer;
    size_t room = sizeof buffer;
    iconv(cd_, nullptr, nullptr, &dst, &room);
    out->append(buffer, static_cast<size_t>(dst - buffer));
  }

  void Reset() { iconv(cd_, nullptr, nullptr, nullptr, nullptr); }

 private:
  iconv_t cd_;
};

std::string Utf16LeBytes(char32_t cp) {
  std::u16string units;
  AppendCodePointUtf16(cp, &units);
  std::string bytes;
  for (char16_t u : units) {
    bytes.push_back(static_cast<char>(u & 0xFF));
    bytes.push_back(static_cast<char>(u >> 8));
  }
  return bytes;
}

// Encodes code point by code point so that a character the page cannot hold becomes '?', and
// so that a fixed field can stop at a character boundary. The callback gets each character's
// bytes and returns false to stop.
template <typename Sink>
void EncodeEach(const std::string& iconvName, std::u16string_view text, Sink sink) {
  Iconv cd(iconvName.c_str(), "UTF-16LE");
  for (size_t pos = 0; pos < text.size();) {
    std::optional<char32_t> cp = NextUtf16(text, &pos);
    std::string bytes;
    if (cp && cd.ok()) {
      std::string in = Utf16LeBytes(*cp);
      size_t consumed = 0;
      if (!cd.Convert(in.data(), in.size(), &bytes, &consumed)) {
        cd.Reset();
        bytes.assign(1, '?');
      }
    } else {
      bytes.assign(1, '?');
    }
    if (!sink(bytes)) return;
  }
}

}  // namespace

CodePage::CodePage() : number_(kUtf8), iconvName_("UTF-8") {}

CodePage::CodePage(uint32_t number, std::string iconvName)
    : number_(number), iconvName_(std::move(iconvName)) {}

std::optional<CodePage> CodePage::Open(uint32_t number) {
  if (number == kUtf8) return CodePage();
  std::string name = IconvName(number);
  Iconv probe("UTF-16LE", name.c_str());
  if (!probe.ok()) return std::nullopt;
  return CodePage(number, name);
}

std::string CodePage::FromUtf16(std::u16string_view text) const {
  if (number_ == kUtf8) return Utf16ToUtf8(text, U'?');
  std::string out;
  out.reserve(text.size());
  EncodeEach(iconvName_, text, [&](const std::string& bytes) {
    out += bytes;
    return true;
  });
  return out;
}

std::u16string CodePage::ToUtf16(std::string_view bytes) const {
  if (number_ == kUtf8) return FromUtf8(bytes);
  Iconv cd("UTF-16LE", iconvName_.c_str());
  std::u16string out;
  if (!cd.ok()) return out;
  out.reserve(bytes.size());
  size_t pos = 0;
  while (pos < bytes.size()) {
    std::string utf16;
    size_t consumed = 0;
    bool whole = cd.Convert(bytes.data() + pos, bytes.size() - pos, &utf16, &consumed);
    for (size_t i = 0; i + 1 < utf16.size(); i += 2) {
      out.push_back(static_cast<char16_t>(static_cast<unsigned char>(utf16[i]) |
                                          (static_cast<unsigned char>(utf16[i + 1]) << 8)));
    }
    pos += consumed;
    if (whole) break;
    // An invalid or cut sequence: one replacement character for its first byte, then go on.
    out.push_back(kReplacement);
    ++pos;
    cd.Reset();
  }
  return out;
}

size_t CodePage::ToFixedField(std::u16string_view text, char* field, size_t capacity) const {
  size_t used = 0;
  if (number_ == kUtf8) {
    for (size_t pos = 0; pos < text.size();) {
      std::string bytes;
      AppendCodePointUtf8(NextUtf16(text, &pos).value_or(U'?'), &bytes);
      if (used + bytes.size() > capacity - 1) break;
      std::memcpy(field + used, bytes.data(), bytes.size());
      used += bytes.size();
    }
  } else {
    EncodeEach(iconvName_, text, [&](const std::string& bytes) {
      if (used + bytes.size() > capacity - 1) return false;
      std::memcpy(field + used, bytes.data(), bytes.size());
      used += bytes.size();
      return true;
    });
  }
  std::memset(field + used, 0, capacity - used);
  return used;
}

std::u16string CodePage::FromFixedField(const char* field, size_t capacity) const {
  size_t length = 0;
  while (length < capacity && field[length] != '\0') ++length;
  return ToUtf16(std::string_view(field, length));
}

}  // namespace brevalo
