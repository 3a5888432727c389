// Any bytes as a home-screen plug-in description. Reading it never goes out of bounds, and a
// class it names is a well-formed class identifier in the registry's spelling.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "device/guid.h"
#include "device/home_plugin.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::optional<std::u16string> classId = brevalo::HomePluginClassOf(text);
  if (!classId) return 0;
  std::optional<brevalo::GUID> guid = brevalo::ParseGuid(*classId);
  if (!guid || brevalo::FormatGuid(*guid) != *classId) std::abort();
  return 0;
}
