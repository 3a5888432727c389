#include "filter/filter_engine.h"

#include <cstdio>
#include <optional>
#include <system_error>
#include <utility>

#include "filter/filter_matcher.h"
#include "filter/rules_file_format.h"
#include "filter/rules_file_reader.h"
#include "filter/rules_file_writer.h"

namespace brevalo {

namespace {

// C streams report failures as values; the iostream buffers may throw on a read error.
std::optional<std::string> ReadWholeFile(const std::filesystem::path& path) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return std::nullopt;
  std::string bytes;
  char chunk[4096];
  size_t got = 0;
  while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) bytes.append(chunk, got);
  const bool failed = std::ferror(file) != 0;
  std::fclose(file);
  if (failed) return std::nullopt;
  return bytes;
}

bool WriteWholeFile(const std::filesystem::path& path, const std::string& bytes) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  const bool flushed = std::fflush(file) == 0;
  const bool closed = std::fclose(file) == 0;
  return written && flushed && closed;
}

// Writes beside the target and renames over it, so that a program ending in the middle never
// leaves the rules half written: the old file or the new one is there.
bool ReplaceFile(const std::filesystem::path& path, const std::string& bytes) {
  std::filesystem::path temporary = path;
  temporary += ".new";
  std::error_code error;
  if (!WriteWholeFile(temporary, bytes)) {
    std::filesystem::remove(temporary, error);
    return false;
  }
  std::filesystem::rename(temporary, path, error);
  if (error) {
    std::filesystem::remove(temporary, error);
    return false;
  }
  return true;
}

}  // namespace

FilterEngine::FilterEngine(std::filesystem::path rulesPath) : rulesPath_(std::move(rulesPath)) {}

bool FilterEngine::LoadRules() {
  rules_.ClearForLoad();
  ForceDefaultsToApplyToAll();
  const std::optional<std::string> bytes =
      rulesPath_.empty() ? std::nullopt : ReadWholeFile(rulesPath_);
  if (!bytes) {
    rules_.contactDefault.SetDefaultContent();
    rules_.strangerDefault.SetDefaultContent();
    // Only a missing file is created: one that is there but unreadable for now still holds the
    // user's rules and must not be overwritten with defaults.
    std::error_code error;
    if (!rulesPath_.empty() && !std::filesystem::exists(rulesPath_, error) && !error) {
      SaveRules();
    }
    return false;
  }
  ReadRules(*bytes, rules_);
  ForceDefaultsToApplyToAll();
  return true;
}

bool FilterEngine::SaveRules() const {
  if (rulesPath_.empty()) return false;
  return ReplaceFile(rulesPath_, WriteRules(rules_));
}

bool FilterEngine::AddFilter(std::unique_ptr<Filter> filter) {
  if (!filter) return false;
  rules_.filters.push_back(std::move(filter));
  return true;
}

bool FilterEngine::RemoveFilter(size_t index) {
  if (index >= rules_.filters.size()) return false;
  rules_.filters.erase(rules_.filters.begin() + static_cast<std::ptrdiff_t>(index));
  return true;
}

bool FilterEngine::SwapFilters(size_t a, size_t b) {
  if (a >= rules_.filters.size() || b >= rules_.filters.size()) return false;
  std::swap(rules_.filters[a], rules_.filters[b]);
  return true;
}

bool FilterEngine::AddBlackListEntry(std::u16string_view name, std::u16string_view number) {
  if (name.empty() || number.empty()) return false;
  rules_.blackList.push_back({std::u16string(name), std::u16string(number)});
  return true;
}

bool FilterEngine::RemoveBlackListEntry(size_t index) {
  if (index >= rules_.blackList.size()) return false;
  rules_.blackList.erase(rules_.blackList.begin() + static_cast<std::ptrdiff_t>(index));
  return true;
}

bool FilterEngine::IsBlackListed(const IncomingSms& message) const {
  return brevalo::IsBlackListed(rules_, message);
}

const Filter& FilterEngine::MatchFilter(const IncomingSms& message) const {
  return brevalo::MatchFilter(rules_, message);
}

Filter* FilterEngine::FilterAt(size_t index) {
  return index < rules_.filters.size() ? rules_.filters[index].get() : nullptr;
}

const Filter* FilterEngine::FilterAt(size_t index) const {
  return index < rules_.filters.size() ? rules_.filters[index].get() : nullptr;
}

void FilterEngine::SetRulePassword(std::u16string_view password) {
  rules_.password = std::u16string(password.substr(0, rules_file::RulePasswordLimit));
}

void FilterEngine::ForceDefaultsToApplyToAll() {
  rules_.contactDefault.applyToAll = 1;
  rules_.strangerDefault.applyToAll = 1;
}

}  // namespace brevalo
