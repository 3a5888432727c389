#include "filter/rules_file_reader.h"

#include <algorithm>
#include <memory>

#include "device/utf8_codec.h"
#include "filter/line_break_escape.h"
#include "filter/rules_file_format.h"

namespace brevalo {

namespace rf = rules_file;

namespace {

// One line of the file without its LF. `text` is cut at the first CR; `raw` is not.
struct Line {
  std::u16string_view raw;
  std::u16string_view text;
  bool endsWithLineFeed = false;
};

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// A condition digit. A unit that is no digit reads as 9: like every value matching does not know,
// it fails an object and imposes nothing as a judge, and it still writes back as one digit.
int32_t ConditionDigit(char16_t c) { return IsDigit(c) ? c - u'0' : 9; }

class RulesFileReader {
 public:
  explicit RulesFileReader(RuleSet& rules) : rules_(rules) {}

  void Read(std::u16string_view units) {
    size_t start = 0;
    while (start < units.size()) {
      const size_t lineFeed = units.find(u'\n', start);
      Line line;
      line.endsWithLineFeed = lineFeed != std::u16string_view::npos;
      const size_t end = line.endsWithLineFeed ? lineFeed : units.size();
      line.raw = units.substr(start, end - start);
      line.text = line.raw.substr(0, line.raw.find(u'\r'));
      if (body_) {
        ReadBodyLine(line);
      } else {
        ReadTopLevelLine(line);
      }
      start = end + 1;
    }
  }

 private:
  void ReadTopLevelLine(const Line& line) {
    if (line.text.empty()) return;
    switch (line.text[0]) {
      case rf::FilterTag: return ReadFilterLine(line.text);
      case rf::ContactDefaultTag: return StartBody(rules_.contactDefault);
      case rf::StrangerDefaultTag: return StartBody(rules_.strangerDefault);
      case rf::BlackListTag: return ReadBlackListLine(line.text.substr(1));
      case rf::EscapedBlackListTag: return ReadEscapedBlackListLine(line.text.substr(1));
      case rf::PasswordTag: return ReadPasswordLine(line.text.substr(1));
      default: return;
    }
  }

  void ReadBodyLine(const Line& line) {
    if (line.text.empty()) return;
    switch (line.text[0]) {
      case rf::ConditionTag: return ReadConditionLine(line.text);
      case rf::ActionTag: return ReadActionLine(line);
      case rf::EndTag: body_ = nullptr; return;
      default: return;
    }
  }

  void StartBody(Filter& filter) {
    body_ = &filter;
    conditionsRead_ = 0;
  }

  void ReadFilterLine(std::u16string_view text) {
    if (text.size() < 3) return;
    auto filter = std::make_unique<Filter>();
    // Kept as 0 or 1 with the meaning matching gives the digit: only "1" applies to all and only
    // "0" disables.
    filter->applyToAll = text[1] == u'1' ? 1 : 0;
    filter->enabled = text[2] == u'0' ? 0 : 1;
    filter->name = std::u16string(text.substr(3, rf::FilterNameLimit));
    StartBody(*filter);
    rules_.filters.push_back(std::move(filter));
  }

  void ReadConditionLine(std::u16string_view text) {
    if (text.size() < 3 || conditionsRead_ >= FILTER_CONDITION_COUNT) return;
    body_->conditions[conditionsRead_++] =
        FilterCondition{ConditionDigit(text[1]), ConditionDigit(text[2]),
                        std::u16string(text.substr(3))};
  }

  void ReadActionLine(const Line& line) {
    if (line.text.size() < 2 || !IsDigit(line.text[1])) return;
    const size_t slot = static_cast<size_t>(line.text[1] - u'0');
    // Anything after the digit, a line end included, gives the slot a text.
    if (line.raw.size() > 2 || line.endsWithLineFeed) {
      body_->SetAction(slot, UnescapeLineBreaks(line.text.substr(2)));
    } else {
      body_->SetAction(slot);
    }
  }

  // Pieces are separated by runs of backticks; the first is the name, the second the number.
  void ReadBlackListLine(std::u16string_view rest) {
    std::u16string_view pieces[2];
    size_t found = 0;
    size_t pos = 0;
    while (found < 2 && pos < rest.size()) {
      const size_t begin = rest.find_first_not_of(rf::Escape, pos);
      if (begin == std::u16string_view::npos) break;
      const size_t end = std::min(rest.find(rf::Escape, begin), rest.size());
      pieces[found++] = rest.substr(begin, end - begin);
      pos = end;
    }
    if (found < 2) return;
    rules_.blackList.push_back({std::u16string(pieces[0]), std::u16string(pieces[1])});
  }

  void ReadEscapedBlackListLine(std::u16string_view rest) {
    const size_t separator = FindEscapedFieldSeparator(rest);
    if (separator == std::u16string_view::npos) return;
    BlackListEntry entry{UnescapeLineBreaks(rest.substr(0, separator)),
                         UnescapeLineBreaks(rest.substr(separator + 2))};
    if (entry.name.empty() || entry.number.empty()) return;
    rules_.blackList.push_back(std::move(entry));
  }

  void ReadPasswordLine(std::u16string_view rest) {
    rest = rest.substr(0, rf::RulePasswordLimit);
    std::u16string password(rest);
    for (char16_t& c : password) c = static_cast<char16_t>(c ^ RuleScrambleConstant);
    rules_.password = std::move(password);
  }

  RuleSet& rules_;
  Filter* body_ = nullptr;
  size_t conditionsRead_ = 0;
};

}  // namespace

void ReadRules(std::string_view bytes, RuleSet& rules) {
  const std::u16string units = UnitsAfterByteOrderMark(bytes);
  RulesFileReader(rules).Read(units);
}

}  // namespace brevalo
