#include "ui/file_browser_listing.h"

#include <algorithm>
#include <cstdio>

#include "device/text_case.h"

namespace brevalo {

namespace {

std::vector<std::u16string> Split(std::u16string_view text, char16_t separator) {
  std::vector<std::u16string> parts;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find(separator, start);
    if (end == std::u16string_view::npos) end = text.size();
    parts.emplace_back(text.substr(start, end - start));
    start = end + 1;
  }
  return parts;
}

// Both already folded. Iterative with one back-track point: linear in practice and never
// recursing on a hostile pattern.
bool MatchFolded(std::u16string_view name, std::u16string_view pattern) {
  size_t n = 0, p = 0;
  size_t starAt = std::u16string_view::npos, resumeAt = 0;
  while (n < name.size()) {
    // A star in the pattern is a star even where the name holds one.
    if (p < pattern.size() && pattern[p] == u'*') {
      starAt = p++;
      resumeAt = n;
    } else if (p < pattern.size() && (pattern[p] == u'?' || pattern[p] == name[n])) {
      ++n;
      ++p;
    } else if (starAt != std::u16string_view::npos) {
      p = starAt + 1;
      n = ++resumeAt;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == u'*') ++p;
  return p == pattern.size();
}

bool NameLess(const BrowserRow& a, const BrowserRow& b) {
  std::u16string fa = FoldCase(a.name), fb = FoldCase(b.name);
  return fa != fb ? fa < fb : a.name < b.name;
}

std::u16string Ascii(const char* text) { return std::u16string(text, text + std::char_traits<char>::length(text)); }

}  // namespace

std::vector<FileFilterChoice> ParseFileFilter(std::u16string_view filter) {
  std::vector<std::u16string> parts = Split(filter, u'|');
  std::vector<FileFilterChoice> choices;
  for (size_t i = 0; i + 1 < parts.size(); i += 2) {
    if (parts[i].empty() && parts[i + 1].empty()) continue;
    FileFilterChoice choice{parts[i], {}};
    for (std::u16string& pattern : Split(parts[i + 1], u';')) {
      std::u16string trimmed = TrimBlanks(pattern);
      if (!trimmed.empty()) choice.patterns.push_back(std::move(trimmed));
    }
    choices.push_back(std::move(choice));
  }
  return choices;
}

bool MatchesPattern(std::u16string_view name, std::u16string_view pattern) {
  if (pattern == u"*.*") return true;
  return MatchFolded(FoldCase(name), FoldCase(pattern));
}

bool MatchesAnyPattern(std::u16string_view name, const std::vector<std::u16string>& patterns) {
  if (patterns.empty()) return true;
  return std::any_of(patterns.begin(), patterns.end(),
                     [&](const std::u16string& pattern) { return MatchesPattern(name, pattern); });
}

std::u16string FileSizeText(uint64_t bytes) {
  constexpr uint64_t kKilo = 1024, kMega = 1024 * 1024;
  char text[32];
  if (bytes < kKilo) {
    std::snprintf(text, sizeof text, "%llu", static_cast<unsigned long long>(bytes));
  } else if (bytes < kMega) {
    std::snprintf(text, sizeof text, "%.1fKB", static_cast<double>(bytes) / kKilo);
  } else {
    std::snprintf(text, sizeof text, "%.1fMB", static_cast<double>(bytes) / kMega);
  }
  return Ascii(text);
}

std::vector<BrowserRow> BrowserRows(const std::vector<DeviceFolderEntry>& entries,
                                    const std::vector<std::u16string>& patterns, bool atRoot,
                                    bool withFiles) {
  std::vector<BrowserRow> folders, files;
  for (const DeviceFolderEntry& entry : entries) {
    if (entry.isFolder) {
      folders.push_back({BrowserRow::Kind::kFolder, entry.name, std::u16string(kFolderSizeText)});
    } else if (withFiles && MatchesAnyPattern(entry.name, patterns)) {
      files.push_back({BrowserRow::Kind::kFile, entry.name, FileSizeText(entry.size)});
    }
  }
  std::sort(folders.begin(), folders.end(), NameLess);
  std::sort(files.begin(), files.end(), NameLess);
  std::vector<BrowserRow> rows;
  if (!atRoot) {
    rows.push_back({BrowserRow::Kind::kUp, std::u16string(kUpRowName), std::u16string(kFolderSizeText)});
  }
  rows.insert(rows.end(), folders.begin(), folders.end());
  rows.insert(rows.end(), files.begin(), files.end());
  return rows;
}

std::u16string NormalFolder(std::u16string_view folder) {
  std::u16string out;
  for (const std::u16string& part : Split(folder, u'\\')) {
    if (part.empty()) continue;
    out += u'\\';
    out += part;
  }
  return out.empty() ? std::u16string(u"\\") : out;
}

bool IsRootFolder(std::u16string_view folder) { return NormalFolder(folder) == u"\\"; }

std::u16string ParentFolder(std::u16string_view folder) {
  std::u16string normal = NormalFolder(folder);
  size_t last = normal.rfind(u'\\');
  return last == 0 ? std::u16string(u"\\") : normal.substr(0, last);
}

std::u16string ChildPath(std::u16string_view folder, std::u16string_view name) {
  std::u16string normal = NormalFolder(folder);
  if (normal != u"\\") normal += u'\\';
  return normal + std::u16string(name);
}

std::u16string FolderName(std::u16string_view folder) {
  std::u16string normal = NormalFolder(folder);
  return normal.substr(normal.rfind(u'\\') + 1);
}

std::u16string TrimBlanks(std::u16string_view text) {
  size_t first = text.find_first_not_of(u' ');
  if (first == std::u16string_view::npos) return {};
  size_t last = text.find_last_not_of(u' ');
  return std::u16string(text.substr(first, last - first + 1));
}

FileNameProblem CheckFileName(std::u16string_view name) {
  std::u16string trimmed = TrimBlanks(name);
  if (trimmed.empty()) return FileNameProblem::kEmpty;
  if (trimmed == u"." || trimmed == u"..") return FileNameProblem::kReservedName;
  for (char16_t c : trimmed) {
    if (c < 0x20 || std::u16string_view(u"\\/:*?\"<>|").find(c) != std::u16string_view::npos) {
      return FileNameProblem::kBadCharacter;
    }
  }
  return FileNameProblem::kNone;
}

std::u16string WithDefaultExtension(std::u16string_view name, std::u16string_view extension) {
  if (!extension.empty() && extension.front() == u'.') extension.remove_prefix(1);
  std::u16string out(name);
  size_t dot = out.rfind(u'.');
  bool hasExtension = dot != std::u16string::npos && dot + 1 < out.size();
  if (extension.empty() || hasExtension) return out;
  if (dot == std::u16string::npos) out += u'.';
  return out + std::u16string(extension);
}

}  // namespace brevalo
