#include "device/registry_tree.h"

#include "device/code_page.h"
#include "device/text_case.h"

namespace brevalo {
namespace {

constexpr const char* kRootNames[] = {"HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE",
                                      "HKEY_CLASSES_ROOT"};

bool CarriesInText(std::u16string_view part) {
  for (char16_t c : part) {
    if (c < 0x20 || c == 0x7F || c == u'[' || c == u']') return false;
  }
  return true;
}

}  // namespace

RegistryTree::RegistryTree() {
  for (int i = 0; i < 3; ++i) roots_[i].name = FromUtf8(kRootNames[i]);
}

const char* RegistryTree::RootName(RegRoot root) { return kRootNames[static_cast<int>(root)]; }

std::optional<RegRoot> RegistryTree::RootNamed(std::u16string_view name) {
  for (int i = 0; i < 3; ++i) {
    if (EqualsIgnoreCase(name, FromUtf8(kRootNames[i]))) return static_cast<RegRoot>(i);
  }
  return std::nullopt;
}

std::optional<std::vector<std::u16string>> RegistryTree::SplitKey(std::u16string_view key) {
  if (!key.empty() && key.front() == u'\\') key.remove_prefix(1);
  if (!key.empty() && key.back() == u'\\') key.remove_suffix(1);
  std::vector<std::u16string> parts;
  if (key.empty()) return parts;
  size_t start = 0;
  while (true) {
    size_t end = key.find(u'\\', start);
    std::u16string_view part = key.substr(start, end == key.npos ? key.npos : end - start);
    if (part.empty() || !CarriesInText(part)) return std::nullopt;
    parts.emplace_back(part);
    if (end == key.npos) break;
    start = end + 1;
  }
  return parts;
}

RegKeyNode* RegistryTree::Find(RegRoot root, const std::vector<std::u16string>& path) {
  RegKeyNode* node = &Root(root);
  for (const std::u16string& part : path) {
    auto it = node->children.find(FoldCase(part));
    if (it == node->children.end()) return nullptr;
    node = it->second.get();
  }
  return node;
}

RegKeyNode* RegistryTree::Create(RegRoot root, const std::vector<std::u16string>& path) {
  RegKeyNode* node = &Root(root);
  for (const std::u16string& part : path) {
    std::unique_ptr<RegKeyNode>& child = node->children[FoldCase(part)];
    if (!child) {
      child = std::make_unique<RegKeyNode>();
      child->name = part;
    }
    node = child.get();
  }
  return node;
}

bool RegistryTree::Delete(RegRoot root, const std::vector<std::u16string>& path) {
  if (path.empty()) return false;  // a root key cannot go
  std::vector<std::u16string> parentPath(path.begin(), path.end() - 1);
  RegKeyNode* parent = Find(root, parentPath);
  return parent != nullptr && parent->children.erase(FoldCase(path.back())) == 1;
}

}  // namespace brevalo
