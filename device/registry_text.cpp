#include "device/registry_text.h"

#include <cstdio>
#include <optional>
#include <vector>

#include "device/code_page.h"
#include "device/text_case.h"

namespace brevalo {
namespace {

constexpr size_t kHexBytesPerLine = 24;

std::string Quote(std::u16string_view text) {
  std::string out = "\"";
  for (char c : ToUtf8(text)) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '"': out += "\\\""; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      default: out += c;
    }
  }
  return out + "\"";
}

std::string FormatData(const RegValue& value) {
  char buffer[32];
  switch (value.type) {
    case REG_DWORD:
      std::snprintf(buffer, sizeof buffer, "dword:%08x", value.dword);
      return buffer;
    case REG_BINARY: {
      std::string out = "hex:";
      for (size_t i = 0; i < value.bytes.size(); ++i) {
        std::snprintf(buffer, sizeof buffer, "%02x", value.bytes[i]);
        out += buffer;
        if (i + 1 == value.bytes.size()) break;
        out += ',';
        if ((i + 1) % kHexBytesPerLine == 0) out += "\\\n  ";
      }
      return out;
    }
    default:
      return Quote(value.text);
  }
}

void FormatKey(const RegKeyNode& key, const std::string& path, bool isRoot, std::string* out) {
  if (!isRoot || !key.values.empty()) {
    *out += "\n[" + path + "]\n";
    for (const auto& [folded, named] : key.values) {
      *out += (named.first.empty() ? std::string("@") : Quote(named.first)) + "=" +
              FormatData(named.second) + "\n";
    }
  }
  for (const auto& [folded, child] : key.children) {
    FormatKey(*child, path + "\\" + ToUtf8(child->name), false, out);
  }
}

// Reads the lines of one file, joining hex lines continued with a trailing backslash.
class LineReader {
 public:
  explicit LineReader(std::string_view text) : text_(text) {}

  bool Next(std::string* line, size_t* lineNumber) {
    if (pos_ >= text_.size()) return false;
    *lineNumber = ++count_;
    line->clear();
    while (true) {
      std::string piece = TakeLine();
      bool continued = !piece.empty() && piece.back() == '\\' && IsHexLine(*line + piece);
      if (!continued) {
        *line += piece;
        return true;
      }
      piece.pop_back();
      *line += piece;
      if (pos_ >= text_.size()) return true;
      ++count_;
    }
  }

 private:
  std::string TakeLine() {
    size_t end = text_.find('\n', pos_);
    if (end == text_.npos) end = text_.size();
    std::string line(text_.substr(pos_, end - pos_));
    pos_ = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    // Continuation lines are indented; the indentation is not part of the data.
    size_t first = line.find_first_not_of(" \t");
    return first == std::string::npos ? std::string() : line.substr(first);
  }

  static bool IsHexLine(const std::string& line) {
    return line.find("=hex:") != std::string::npos;
  }

  std::string_view text_;
  size_t pos_ = 0;
  size_t count_ = 0;
};

// A cursor over one value line.
class ValueLine {
 public:
  explicit ValueLine(std::string_view line) : line_(line) {}

  bool ReadQuoted(std::u16string* out, std::string* error) {
    if (pos_ >= line_.size() || line_[pos_] != '"') return Fail("expected '\"'", error);
    ++pos_;
    std::string bytes;
    while (pos_ < line_.size() && line_[pos_] != '"') {
      char c = line_[pos_++];
      if (c == '\\') {
        if (pos_ >= line_.size()) break;
        char e = line_[pos_++];
        if (e == '\\' || e == '"') bytes += e;
        else if (e == 'n') bytes += '\n';
        else if (e == 'r') bytes += '\r';
        else return Fail(std::string("unknown escape \\") + e, error);
      } else {
        bytes += c;
      }
    }
    if (pos_ >= line_.size()) return Fail("unterminated string", error);
    ++pos_;
    *out = FromUtf8(bytes);
    return true;
  }

  bool ReadName(std::u16string* name, std::string* error) {
    if (pos_ < line_.size() && line_[pos_] == '@') {
      ++pos_;
      name->clear();
    } else if (!ReadQuoted(name, error)) {
      return false;
    }
    if (pos_ >= line_.size() || line_[pos_] != '=') return Fail("expected '=' after the name", error);
    ++pos_;
    return true;
  }

  bool ReadData(RegValue* value, std::string* error) {
    std::string_view rest = line_.substr(pos_);
    if (rest.starts_with("\"")) {
      value->type = REG_SZ;
      if (!ReadQuoted(&value->text, error)) return false;
      return AtEnd(error);
    }
    if (rest.starts_with("dword:")) return ReadDword(rest.substr(6), value, error);
    if (rest.starts_with("hex:")) return ReadHex(rest.substr(4), value, error);
    return Fail("unknown value type", error);
  }

 private:
  static bool Fail(const std::string& reason, std::string* error) {
    *error = reason;
    return false;
  }

  bool AtEnd(std::string* error) const {
    return pos_ == line_.size() || Fail("unexpected text after the value", error);
  }

  static std::optional<unsigned> HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return std::nullopt;
  }

  static bool ReadDword(std::string_view digits, RegValue* value, std::string* error) {
    if (digits.empty() || digits.size() > 8) return Fail("a dword needs 1 to 8 hex digits", error);
    uint32_t number = 0;
    for (char c : digits) {
      std::optional<unsigned> digit = HexDigit(c);
      if (!digit) return Fail("a dword needs 1 to 8 hex digits", error);
      number = number << 4 | *digit;
    }
    value->type = REG_DWORD;
    value->dword = number;
    return true;
  }

  static bool ReadHex(std::string_view list, RegValue* value, std::string* error) {
    value->type = REG_BINARY;
    value->bytes.clear();
    size_t pos = 0;
    while (pos < list.size()) {
      while (pos < list.size() && (list[pos] == ' ' || list[pos] == '\t')) ++pos;
      std::optional<unsigned> high = pos < list.size() ? HexDigit(list[pos]) : std::nullopt;
      std::optional<unsigned> low = pos + 1 < list.size() ? HexDigit(list[pos + 1]) : std::nullopt;
      if (!high || !low) return Fail("bad byte in hex list", error);
      value->bytes.push_back(static_cast<uint8_t>(*high << 4 | *low));
      pos += 2;
      while (pos < list.size() && (list[pos] == ' ' || list[pos] == '\t')) ++pos;
      if (pos == list.size()) break;
      if (list[pos] != ',') return Fail("expected ',' in hex list", error);
      ++pos;
      if (pos == list.size()) return Fail("hex list ends with ','", error);
    }
    return true;
  }

  std::string_view line_;
  size_t pos_ = 0;
};

bool ParseSection(std::string_view line, RegistryTree* tree, RegKeyNode** current,
                  std::string* reason) {
  if (line.size() < 2 || line.back() != ']') {
    *reason = "a key line must end with ']'";
    return false;
  }
  std::u16string path = FromUtf8(line.substr(1, line.size() - 2));
  size_t slash = path.find(u'\\');
  std::optional<RegRoot> root = RegistryTree::RootNamed(path.substr(0, slash));
  if (!root) {
    *reason = "unknown root key";
    return false;
  }
  auto parts = RegistryTree::SplitKey(slash == path.npos ? u"" : path.substr(slash));
  if (!parts) {
    *reason = "bad key name";
    return false;
  }
  *current = tree->Create(*root, *parts);
  return true;
}

bool ParseValue(std::string_view line, RegKeyNode* current, std::string* reason) {
  if (current == nullptr) {
    *reason = "value outside any key";
    return false;
  }
  ValueLine cursor(line);
  std::u16string name;
  RegValue value;
  if (!cursor.ReadName(&name, reason) || !cursor.ReadData(&value, reason)) return false;
  current->values[FoldCase(name)] = {name, std::move(value)};
  return true;
}

}  // namespace

bool ParseRegistryText(std::string_view text, RegistryTree* tree, std::string* error) {
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  LineReader reader(text);
  RegKeyNode* current = nullptr;
  std::string line;
  size_t number = 0;
  while (reader.Next(&line, &number)) {
    if (line.empty() || line.front() == ';') continue;
    std::string reason;
    bool ok;
    if (line.front() == '[') {
      ok = ParseSection(line, tree, &current, &reason);
    } else if (line.front() == '"' || line.front() == '@') {
      ok = ParseValue(line, current, &reason);
    } else {
      ok = number == 1;  // a format header
      reason = "not a key or a value";
    }
    if (!ok) {
      *error = std::to_string(number) + ": " + reason;
      return false;
    }
  }
  return true;
}

std::string FormatRegistryText(const RegistryTree& tree) {
  std::string out = "; Velmora device registry\n";
  for (RegRoot root : {RegRoot::CurrentUser, RegRoot::LocalMachine, RegRoot::ClassesRoot}) {
    FormatKey(tree.Root(root), RegistryTree::RootName(root), true, &out);
  }
  return out;
}

}  // namespace brevalo
