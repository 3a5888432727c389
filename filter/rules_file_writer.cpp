#include "filter/rules_file_writer.h"

#include "filter/line_break_escape.h"
#include "filter/rules_file_format.h"

namespace brevalo {

namespace rf = rules_file;

namespace {

class RulesFileWriter {
 public:
  std::string Write(const RuleSet& rules) {
    Unit(rf::ByteOrderMark);
    for (const auto& filter : rules.filters) {
      if (!filter) continue;
      Unit(rf::FilterTag);
      Unit(filter->applyToAll == 1 ? u'1' : u'0');
      Unit(filter->enabled == 0 ? u'0' : u'1');
      SingleLineText(filter->name);
      EndLine();
      Body(*filter);
    }
    for (const BlackListEntry& entry : rules.blackList) BlackListLine(entry);
    Unit(rf::ContactDefaultTag);
    EndLine();
    Body(rules.contactDefault);
    Unit(rf::StrangerDefaultTag);
    EndLine();
    Body(rules.strangerDefault);
    Unit(rf::PasswordTag);
    for (char16_t c : rules.password) Unit(static_cast<char16_t>(c ^ RuleScrambleConstant));
    EndLine();
    return std::move(bytes_);
  }

 private:
  void Body(const Filter& filter) {
    for (const auto& condition : filter.conditions) {
      if (!condition) continue;
      Unit(rf::ConditionTag);
      Unit(Digit(condition->object));
      Unit(Digit(condition->judge));
      SingleLineText(condition->content);
      EndLine();
    }
    for (size_t slot = 0; slot < ACTION_SLOT_COUNT; ++slot) {
      const auto& action = filter.actions[slot];
      if (!action) continue;
      Unit(rf::ActionTag);
      Unit(static_cast<char16_t>(u'0' + slot));
      if (action->text) Text(EscapeLineBreaks(*action->text));
      EndLine();
    }
    Text(u"End");
    EndLine();
  }

  // A plain B line as every release reads it, unless a field would break it.
  void BlackListLine(const BlackListEntry& entry) {
    constexpr std::u16string_view breaking = u"`\r\n";
    const bool plain = entry.name.find_first_of(breaking) == std::u16string::npos &&
                       entry.number.find_first_of(breaking) == std::u16string::npos;
    if (plain) {
      Unit(rf::BlackListTag);
      Text(entry.name);
      Unit(rf::Escape);
      Text(entry.number);
    } else {
      Unit(rf::EscapedBlackListTag);
      Text(EscapeLineBreaks(entry.name));
      Unit(rf::Escape);
      Unit(rf::EscapedFieldSeparator);
      Text(EscapeLineBreaks(entry.number));
    }
    EndLine();
  }

  // Names and condition contents come from single-line fields and are read back unescaped, so a
  // stray line break in them becomes a blank rather than the start of a line of its own.
  void SingleLineText(std::u16string_view text) {
    for (char16_t c : text) Unit(c == u'\r' || c == u'\n' ? u' ' : c);
  }

  // Values outside 0..9 cannot be one digit; 9 means to matching what any unknown value means.
  static char16_t Digit(int32_t value) {
    return value >= 0 && value <= 9 ? static_cast<char16_t>(u'0' + value) : u'9';
  }

  void Text(std::u16string_view text) {
    for (char16_t c : text) Unit(c);
  }
  void EndLine() { Text(u"\r\n"); }
  void Unit(char16_t c) {
    bytes_ += static_cast<char>(c & 0xFF);
    bytes_ += static_cast<char>(c >> 8);
  }

  std::string bytes_;
};

}  // namespace

std::string WriteRules(const RuleSet& rules) { return RulesFileWriter().Write(rules); }

}  // namespace brevalo
