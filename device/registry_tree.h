// The registry's contents in memory: three root keys, each a tree of keys holding named values.
// Names keep their spelling and are compared case-insensitively.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "device/registry.h"

namespace brevalo {

struct RegKeyNode {
  std::u16string name;
  std::map<std::u16string, std::unique_ptr<RegKeyNode>> children;  // by folded name
  std::map<std::u16string, std::pair<std::u16string, RegValue>> values;  // by folded name
};

class RegistryTree {
 public:
  RegistryTree();

  static const char* RootName(RegRoot root);
  // The root whose name ("HKEY_CURRENT_USER" ...) opens a key path; nothing for any other.
  static std::optional<RegRoot> RootNamed(std::u16string_view name);
  // The components of a key path; nothing when a component is empty in the middle or holds a
  // character that the text form cannot carry (control characters, "[" "]").
  static std::optional<std::vector<std::u16string>> SplitKey(std::u16string_view key);

  RegKeyNode& Root(RegRoot root) { return roots_[static_cast<int>(root)]; }
  const RegKeyNode& Root(RegRoot root) const { return roots_[static_cast<int>(root)]; }

  RegKeyNode* Find(RegRoot root, const std::vector<std::u16string>& path);
  RegKeyNode* Create(RegRoot root, const std::vector<std::u16string>& path);
  bool Delete(RegRoot root, const std::vector<std::u16string>& path);

 private:
  RegKeyNode roots_[3];
};

}  // namespace brevalo
