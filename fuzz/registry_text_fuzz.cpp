// Any bytes as a registry file: parsing never fails unsafely, and what parses formats to text
// that parses again to the same text.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "device/registry_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  brevalo::RegistryTree tree;
  std::string error;
  if (!brevalo::ParseRegistryText(text, &tree, &error)) return 0;
  std::string formatted = brevalo::FormatRegistryText(tree);
  brevalo::RegistryTree again;
  if (!brevalo::ParseRegistryText(formatted, &again, &error)) std::abort();
  if (brevalo::FormatRegistryText(again) != formatted) std::abort();
  return 0;
}
