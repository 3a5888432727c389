// The one rule set of the running program: the user filters, the black list, the Contact and
// Stranger Defaults and the rule password, read once from the rules file at start-up and written
// back whole after every change made through a dialog. Used on the main window's thread only.
#pragma once

#include <cstddef>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "filter/filter.h"
#include "filter/incoming_sms.h"
#include "filter/rule_set.h"

namespace brevalo {

// The rules file in the program folder.
inline constexpr std::u16string_view RulesFileName = u"velmora.ini";

class FilterEngine {
 public:
  // Empty lists, both defaults newly built, no password. `rulesPath` is the host path of the
  // rules file; an empty path keeps the rules in memory only.
  explicit FilterEngine(std::filesystem::path rulesPath);
  FilterEngine(const FilterEngine&) = delete;
  FilterEngine& operator=(const FilterEngine&) = delete;

  // Replaces filters, black list and the defaults' rules by the file's; the password changes only
  // if the file has a P line. Both defaults always apply to all afterwards. Returns false when
  // there was no file to read: both defaults then get the default content, and a missing file is
  // written at once. A file that exists but cannot be read is left untouched.
  bool LoadRules();
  // Rewrites the whole file. A crash while writing leaves the previous file in place. Returns
  // false (and the rules stay in memory only) when it cannot be written.
  bool SaveRules() const;

  // The engine owns the filter from then on. Refuses a null filter.
  bool AddFilter(std::unique_ptr<Filter> filter);
  // Each refuses an index outside the list and then changes nothing.
  bool RemoveFilter(size_t index);
  bool SwapFilters(size_t a, size_t b);
  // Copies both strings. Refuses an empty name or number: an empty number would black-list
  // every sender, and neither could be read back from the file.
  bool AddBlackListEntry(std::u16string_view name, std::u16string_view number);
  bool RemoveBlackListEntry(size_t index);

  bool IsBlackListed(const IncomingSms& message) const;
  // Valid until the engine is changed.
  const Filter& MatchFilter(const IncomingSms& message) const;

  size_t FilterCount() const { return rules_.filters.size(); }
  // Null for an index outside the list.
  Filter* FilterAt(size_t index);
  const Filter* FilterAt(size_t index) const;
  const std::vector<BlackListEntry>& BlackList() const { return rules_.blackList; }
  Filter& ContactDefault() { return rules_.contactDefault; }
  const Filter& ContactDefault() const { return rules_.contactDefault; }
  Filter& StrangerDefault() { return rules_.strangerDefault; }
  const Filter& StrangerDefault() const { return rules_.strangerDefault; }

  const std::u16string& RulePassword() const { return rules_.password; }
  // Keeps at most as many characters as the file gives back, so the password stays the same
  // after the next start.
  void SetRulePassword(std::u16string_view password);

  const RuleSet& Rules() const { return rules_; }
  const std::filesystem::path& RulesPath() const { return rulesPath_; }

 private:
  void ForceDefaultsToApplyToAll();

  std::filesystem::path rulesPath_;
  RuleSet rules_;
};

}  // namespace brevalo
