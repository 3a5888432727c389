// Remembers, per document path, the offset of an index block that was read or replaced
// successfully, as the fall-back when a header names an index that cannot be read.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace brevalo {

class Registry;

class IndexOffsetMemory {
 public:
  virtual ~IndexOffsetMemory() = default;
  virtual std::optional<uint32_t> Recall(std::u16string_view path) = 0;
  virtual void Remember(std::u16string_view path, uint32_t offset) = 0;
};

// One REG_DWORD per document under HKEY_CURRENT_USER\Software\Velmora\Index, named by the path
// exactly as it was passed to Open.
class RegistryIndexOffsetMemory : public IndexOffsetMemory {
 public:
  static constexpr std::u16string_view kKey = u"Software\\Velmora\\Index";
  // The registry must outlive this object.
  explicit RegistryIndexOffsetMemory(Registry& registry) : registry_(registry) {}
  std::optional<uint32_t> Recall(std::u16string_view path) override;
  void Remember(std::u16string_view path, uint32_t offset) override;

 private:
  Registry& registry_;
};

class InMemoryIndexOffsetMemory : public IndexOffsetMemory {
 public:
  std::optional<uint32_t> Recall(std::u16string_view path) override;
  void Remember(std::u16string_view path, uint32_t offset) override;
  void Forget(std::u16string_view path);

 private:
  std::map<std::u16string, uint32_t, std::less<>> offsets_;
};

// Remembers nothing: for the temporary store of a compaction, whose path is short-lived.
class NoIndexOffsetMemory : public IndexOffsetMemory {
 public:
  std::optional<uint32_t> Recall(std::u16string_view) override { return std::nullopt; }
  void Remember(std::u16string_view, uint32_t) override {}
};

}  // namespace brevalo
