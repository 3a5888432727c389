#include "store/index_offset_memory.h"

#include "device/registry.h"

namespace brevalo {

std::optional<uint32_t> RegistryIndexOffsetMemory::Recall(std::u16string_view path) {
  return registry_.QueryDword(RegRoot::CurrentUser, kKey, path);
}

void RegistryIndexOffsetMemory::Remember(std::u16string_view path, uint32_t offset) {
  // Only a fall-back: a registry that refuses the change leaves the document as it is.
  registry_.SetDword(RegRoot::CurrentUser, kKey, path, offset);
}

std::optional<uint32_t> InMemoryIndexOffsetMemory::Recall(std::u16string_view path) {
  auto found = offsets_.find(path);
  if (found == offsets_.end()) return std::nullopt;
  return found->second;
}

void InMemoryIndexOffsetMemory::Remember(std::u16string_view path, uint32_t offset) {
  offsets_[std::u16string(path)] = offset;
}

void InMemoryIndexOffsetMemory::Forget(std::u16string_view path) {
  auto found = offsets_.find(path);
  if (found != offsets_.end()) offsets_.erase(found);
}

}  // namespace brevalo
