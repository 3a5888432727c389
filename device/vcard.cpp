#include "device/vcard.h"

#include <algorithm>
#include <optional>

#include "device/code_page.h"

namespace brevalo {
namespace {

constexpr size_t kFoldBytes = 75;

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameWord(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return Lower(x) == Lower(y); });
}

// Logical lines: physical lines split at CR LF, LF or CR, and a line that starts with a blank
// or a tab joined to the one before it without that first character.
std::vector<std::string> UnfoldedLines(std::string_view text) {
  std::vector<std::string> lines;
  size_t pos = 0;
  while (pos <= text.size()) {
    size_t end = text.find_first_of("\r\n", pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(pos, end - pos);
    if (!line.empty() && (line[0] == ' ' || line[0] == '\t') && !lines.empty()) {
      lines.back().append(line.substr(1));
    } else {
      lines.emplace_back(line);
    }
    if (end == text.size()) break;
    pos = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
  }
  return lines;
}

struct ContentLine {
  std::string name;                // without its group, as written
  std::vector<std::string> types;  // every TYPE value and every bare parameter
  std::string value;               // still escaped
};

// "[group.]NAME *(;param) : value"; the colon inside a quoted parameter value does not count.
std::optional<ContentLine> SplitContentLine(std::string_view line) {
  bool quoted = false;
  size_t colon = std::string_view::npos;
  for (size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '"') quoted = !quoted;
    if (line[i] == ':' && !quoted) {
      colon = i;
      break;
    }
  }
  if (colon == std::string_view::npos) return std::nullopt;
  ContentLine out;
  out.value = std::string(line.substr(colon + 1));
  std::string_view head = line.substr(0, colon);
  size_t semicolon = head.find(';');
  std::string_view name = head.substr(0, semicolon);
  if (size_t dot = name.rfind('.'); dot != std::string_view::npos) name.remove_prefix(dot + 1);
  out.name = std::string(name);
  while (semicolon != std::string_view::npos) {
    size_t next = head.find(';', semicolon + 1);
    std::string_view param = head.substr(semicolon + 1, next == std::string_view::npos
                                                            ? std::string_view::npos
                                                            : next - semicolon - 1);
    semicolon = next;
    size_t equals = param.find('=');
    std::string_view values = param;
    if (equals != std::string_view::npos) {
      if (!SameWord(param.substr(0, equals), "type")) continue;
      values = param.substr(equals + 1);
    }
    std::string list;
    for (char c : values) {
      if (c != '"') list += c;
    }
    size_t start = 0;
    while (start <= list.size()) {
      size_t comma = list.find(',', start);
      if (comma == std::string::npos) comma = list.size();
      if (comma > start) out.types.push_back(list.substr(start, comma - start));
      start = comma + 1;
    }
  }
  return out;
}

// The value's pieces between unescaped `separator`s, with the escapes undone: \n and \N are a
// line feed, any other escaped character stands for itself.
std::vector<std::string> Unescape(std::string_view value, std::optional<char> separator) {
  std::vector<std::string> pieces(1);
  for (size_t i = 0; i < value.size(); ++i) {
    char c = value[i];
    if (c == '\\' && i + 1 < value.size()) {
      char next = value[++i];
      pieces.back() += (next == 'n' || next == 'N') ? '\n' : next;
    } else if (c == separator) {
      pieces.emplace_back();
    } else {
      pieces.back() += c;
    }
  }
  return pieces;
}

std::string UnescapeWhole(std::string_view value) { return Unescape(value, std::nullopt).front(); }

bool HasType(const ContentLine& line, std::string_view type) {
  return std::any_of(line.types.begin(), line.types.end(),
                     [&](const std::string& t) { return SameWord(t, type); });
}

// A 4.0 number may be written as a "tel:" address; its parameters (";ext=") are not dialled.
std::string TelephoneNumber(std::string_view value) {
  std::string number = UnescapeWhole(value);
  while (number.size() >= 4 && SameWord(std::string_view(number).substr(0, 4), "tel:")) {
    number.erase(0, 4);
    number.erase(std::min(number.find(';'), number.size()));
  }
  return number;
}

class CardBuilder {
 public:
  void Take(const ContentLine& line) {
    if (SameWord(line.name, "FN")) {
      formattedName_ = UnescapeWhole(line.value);
    } else if (SameWord(line.name, "N")) {
      std::vector<std::string> parts = Unescape(line.value, ';');
      std::string given = parts.size() > 1 ? parts[1] : "";
      structuredName_ = given.empty() || parts[0].empty() ? given + parts[0]
                                                          : given + " " + parts[0];
    } else if (SameWord(line.name, "TEL")) {
      TakeNumber(line);
    } else if (SameWord(line.name, "CATEGORIES")) {
      for (std::string& category : Unescape(line.value, ',')) {
        if (!category.empty()) contact_.categories.push_back(FromUtf8(category));
      }
    }
  }

  Contact Finish() {
    contact_.name = FromUtf8(formattedName_.empty() ? structuredName_ : formattedName_);
    return std::move(contact_);
  }

 private:
  // The first number of each kind is kept; an untyped one is the mobile number when the card
  // names none.
  void TakeNumber(const ContentLine& line) {
    std::u16string number = FromUtf8(TelephoneNumber(line.value));
    if (number.empty()) return;
    std::u16string* slot = &contact_.mobile;
    if (HasType(line, "cell") || HasType(line, "mobile")) {
      slot = &contact_.mobile;
    } else if (HasType(line, "home")) {
      slot = &contact_.home;
    } else if (HasType(line, "work")) {
      slot = &contact_.work;
    }
    if (slot->empty()) *slot = std::move(number);
  }

  Contact contact_;
  std::string formattedName_;
  std::string structuredName_;
};

std::string EscapeText(std::u16string_view text, bool escapeComma) {
  std::string out;
  for (char c : ToUtf8(text)) {
    if (c == '\r') continue;
    if (c == '\n') {
      out += "\\n";
      continue;
    }
    if (c == '\\' || c == ';' || (escapeComma && c == ',')) out += '\\';
    out += c;
  }
  return out;
}

// Breaks a line into pieces of at most 75 bytes, never inside a UTF-8 sequence; each
// continuation starts with one blank.
void AppendFolded(std::string_view line, std::string* out) {
  size_t limit = kFoldBytes;
  while (line.size() > limit) {
    size_t cut = limit;
    while (cut > 1 && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80) --cut;
    out->append(line.substr(0, cut));
    out->append("\r\n ");
    line.remove_prefix(cut);
    limit = kFoldBytes - 1;
  }
  out->append(line);
  out->append("\r\n");
}

}  // namespace

std::vector<Contact> ParseVCards(std::string_view text) {
  std::vector<Contact> contacts;
  std::optional<CardBuilder> card;
  int nested = 0;  // cards inside a card (2.1 agents) are skipped whole
  for (const std::string& raw : UnfoldedLines(text)) {
    std::optional<ContentLine> line = SplitContentLine(raw);
    if (!line) continue;
    bool begin = SameWord(line->name, "BEGIN") && SameWord(line->value, "VCARD");
    bool end = SameWord(line->name, "END") && SameWord(line->value, "VCARD");
    if (begin) {
      if (card) ++nested;
      else card.emplace();
    } else if (end && card) {
      if (nested > 0) {
        --nested;
      } else {
        contacts.push_back(card->Finish());
        card.reset();
      }
    } else if (card && nested == 0) {
      card->Take(*line);
    }
  }
  if (card) contacts.push_back(card->Finish());
  return contacts;
}

std::string FormatVCards(const std::vector<Contact>& contacts) {
  std::string out;
  for (const Contact& contact : contacts) {
    AppendFolded("BEGIN:VCARD", &out);
    AppendFolded("VERSION:3.0", &out);
    std::string name = EscapeText(contact.name, true);
    AppendFolded("FN:" + name, &out);
    AppendFolded("N:;" + name + ";;;", &out);
    const std::pair<const char*, const std::u16string*> numbers[] = {
        {"CELL", &contact.mobile}, {"HOME", &contact.home}, {"WORK", &contact.work}};
    for (const auto& [type, number] : numbers) {
      if (!number->empty()) {
        AppendFolded(std::string("TEL;TYPE=") + type + ":" + EscapeText(*number, true), &out);
      }
    }
    std::string categories;
    for (const std::u16string& category : contact.categories) {
      if (category.empty()) continue;
      if (!categories.empty()) categories += ',';
      categories += EscapeText(category, true);
    }
    if (!categories.empty()) AppendFolded("CATEGORIES:" + categories, &out);
    AppendFolded("END:VCARD", &out);
  }
  return out;
}

std::u16string CategoriesText(const Contact& contact) {
  std::u16string text;
  for (const std::u16string& category : contact.categories) {
    if (!text.empty()) text += u", ";
    text += category;
  }
  return text;
}

}  // namespace brevalo
