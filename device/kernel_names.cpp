#include "device/kernel_names.h"

#include <filesystem>
#include <system_error>

namespace brevalo {
namespace {

constexpr size_t kReadableTail = 40;

std::string Hex64(uint64_t value) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string out(16, '0');
  for (int i = 15; i >= 0; --i) {
    out[static_cast<size_t>(i)] = kDigits[value & 0xF];
    value >>= 4;
  }
  return out;
}

const char* KindTag(KernelObjectKind kind) {
  switch (kind) {
    case KernelObjectKind::kMutex:
      return "mutex";
    case KernelObjectKind::kEvent:
      return "event";
    case KernelObjectKind::kMapping:
      return "mapping";
  }
  return "object";
}

// The device folder as every process of the device sees it, whatever relative path or symlink
// it was reached through.
std::string CanonicalDir(const Device& device) {
  std::error_code error;
  std::filesystem::path canonical = std::filesystem::weakly_canonical(device.Dir(), error);
  if (error) canonical = std::filesystem::absolute(device.Dir(), error).lexically_normal();
  return canonical.string();
}

}  // namespace

uint64_t StableHash(std::string_view bytes, uint64_t seed) {
  uint64_t hash = seed;
  for (unsigned char byte : bytes) {
    hash ^= byte;
    hash *= 0x100000001b3ull;
  }
  return hash;
}

std::string KernelObjectHostName(const Device& device, KernelObjectKind kind,
                                 std::u16string_view name) {
  std::string nameBytes;
  nameBytes.reserve(name.size() * 2);
  std::string tail;
  for (char16_t unit : name) {
    nameBytes.push_back(static_cast<char>(unit & 0xFF));
    nameBytes.push_back(static_cast<char>(unit >> 8));
    bool readable = (unit >= u'0' && unit <= u'9') || (unit >= u'A' && unit <= u'Z') ||
                    (unit >= u'a' && unit <= u'z') || unit == u'_';
    if (readable && tail.size() < kReadableTail) tail.push_back(static_cast<char>(unit));
  }
  return "/brevalo-" + Hex64(StableHash(CanonicalDir(device))) + "-" + KindTag(kind) + "-" +
         Hex64(StableHash(nameBytes)) + "-" + tail;
}

}  // namespace brevalo
