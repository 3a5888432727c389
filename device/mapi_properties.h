// Property values as the store's objects keep them, and their conversion into the buffers that
// GetProps and QueryRows hand out.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "device/mapi_types.h"

namespace brevalo {

struct MapiProperty {
  ULONG tag = 0;  // with its type: PT_LONG, PT_UNICODE, PT_BINARY or PT_SYSTIME
  ULONG number = 0;
  std::u16string text;
  std::vector<uint8_t> bytes;
  FILETIME time{};

  static MapiProperty Number(ULONG tag, ULONG value);
  static MapiProperty Text(ULONG tag, std::u16string value);
  static MapiProperty Binary(ULONG tag, std::vector<uint8_t> value);
  static MapiProperty Time(ULONG tag, uint64_t fileTimeTicks);
};

using MapiPropertyList = std::vector<MapiProperty>;

// The property of `properties` that a caller asking for `tag` gets: same identifier, and the
// same type or PT_UNSPECIFIED. Nothing when there is none.
const MapiProperty* FindProperty(const MapiPropertyList& properties, ULONG tag);

// The tags of an array that a caller passed: nothing for nullptr or an empty array.
std::optional<std::vector<ULONG>> TagsOf(const SPropTagArray* tags);

// Packs the values asked for by `tags` (every property when `tags` is nullptr) into one
// MAPIAllocateBuffer buffer of SPropValue with its strings and binaries chained to it. Missing
// properties become PT_ERROR values of MAPI_E_NOT_FOUND and make the result
// MAPI_W_ERRORS_RETURNED. On failure nothing is left allocated and *values is nullptr.
HRESULT PackProperties(const MapiPropertyList& properties, const std::vector<ULONG>* tags,
                       ULONG* count, SPropValue** values);

}  // namespace brevalo
