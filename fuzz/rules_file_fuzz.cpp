// Feeds any bytes to the rules file reader. Besides surviving, the reader and the writer must
// agree: whatever was read is written, and reading that again writes the very same bytes, so that
// nothing read from a damaged file changes on its way through a save. Matching then runs over the
// rules read.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "filter/filter_matcher.h"
#include "filter/rules_file_reader.h"
#include "filter/rules_file_writer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace brevalo;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  RuleSet rules;
  ReadRules(bytes, rules);
  const std::string written = WriteRules(rules);

  RuleSet again;
  ReadRules(written, again);
  if (WriteRules(again) != written) std::abort();

  const IncomingSms contact{u"\"Ann\" <+86 1-234>", u"see you, bye"};
  const IncomingSms stranger{u"13900", u""};
  for (const IncomingSms& message : {contact, stranger}) {
    (void)IsBlackListed(rules, message);
    const Filter& chosen = MatchFilter(rules, message);
    if (&chosen != &rules.contactDefault && &chosen != &rules.strangerDefault) {
      bool owned = false;
      for (const auto& filter : rules.filters) owned = owned || filter.get() == &chosen;
      if (!owned) std::abort();
    }
  }
  return 0;
}
