#include "device/mapi_properties.h"

#include <algorithm>
#include <cstring>

#include "device/mapi_memory.h"

namespace brevalo {

MapiProperty MapiProperty::Number(ULONG tag, ULONG value) {
  MapiProperty property;
  property.tag = tag;
  property.number = value;
  return property;
}

MapiProperty MapiProperty::Text(ULONG tag, std::u16string value) {
  MapiProperty property;
  property.tag = tag;
  property.text = std::move(value);
  return property;
}

MapiProperty MapiProperty::Binary(ULONG tag, std::vector<uint8_t> value) {
  MapiProperty property;
  property.tag = tag;
  property.bytes = std::move(value);
  return property;
}

MapiProperty MapiProperty::Time(ULONG tag, uint64_t fileTimeTicks) {
  MapiProperty property;
  property.tag = tag;
  property.time.dwLowDateTime = static_cast<uint32_t>(fileTimeTicks);
  property.time.dwHighDateTime = static_cast<uint32_t>(fileTimeTicks >> 32);
  return property;
}

const MapiProperty* FindProperty(const MapiPropertyList& properties, ULONG tag) {
  for (const MapiProperty& property : properties) {
    if (PROP_ID(property.tag) != PROP_ID(tag)) continue;
    if (PROP_TYPE(tag) == PT_UNSPECIFIED || PROP_TYPE(tag) == PROP_TYPE(property.tag)) {
      return &property;
    }
  }
  return nullptr;
}

std::optional<std::vector<ULONG>> TagsOf(const SPropTagArray* tags) {
  if (tags == nullptr || tags->cValues == 0) return std::nullopt;
  const ULONG* first = &tags->aulPropTag[0];
  return std::vector<ULONG>(first, first + tags->cValues);
}

namespace {

// Fills one value; strings and binaries go into buffers chained to `root`.
bool FillValue(const MapiProperty& property, void* root, SPropValue* value) {
  value->ulPropTag = property.tag;
  switch (PROP_TYPE(property.tag)) {
    case PT_LONG:
      value->Value.ul = property.number;
      return true;
    case PT_SYSTIME:
      value->Value.ft = property.time;
      return true;
    case PT_UNICODE: {
      void* text = nullptr;
      ULONG size = static_cast<ULONG>((property.text.size() + 1) * sizeof(char16_t));
      if (MAPIAllocateMore(size, root, &text) != S_OK) return false;
      std::memcpy(text, property.text.data(), property.text.size() * sizeof(char16_t));
      value->Value.lpszW = static_cast<char16_t*>(text);  // the zeroed tail terminates it
      return true;
    }
    case PT_BINARY: {
      void* bytes = nullptr;
      ULONG size = static_cast<ULONG>(property.bytes.size());
      if (MAPIAllocateMore(std::max<ULONG>(size, 1), root, &bytes) != S_OK) return false;
      if (size > 0) std::memcpy(bytes, property.bytes.data(), size);
      value->Value.bin.cb = size;
      value->Value.bin.lpb = static_cast<BYTE*>(bytes);
      return true;
    }
    default:
      value->ulPropTag = CHANGE_PROP_TYPE(property.tag, PT_ERROR);
      value->Value.err = MAPI_E_NOT_FOUND;
      return true;
  }
}

}  // namespace

HRESULT PackProperties(const MapiPropertyList& properties, const std::vector<ULONG>* tags,
                       ULONG* count, SPropValue** values) {
  if (count == nullptr || values == nullptr) return MAPI_E_INVALID_PARAMETER;
  *count = 0;
  *values = nullptr;
  size_t wanted = tags != nullptr ? tags->size() : properties.size();
  void* root = nullptr;
  SCODE allocated = MAPIAllocateBuffer(
      static_cast<ULONG>(std::max<size_t>(wanted, 1) * sizeof(SPropValue)), &root);
  if (allocated != S_OK) return allocated;
  auto* out = static_cast<SPropValue*>(root);
  bool missing = false;
  for (size_t i = 0; i < wanted; ++i) {
    const MapiProperty* property =
        tags != nullptr ? FindProperty(properties, (*tags)[i]) : &properties[i];
    bool filled = true;
    if (property == nullptr) {
      missing = true;
      out[i].ulPropTag = CHANGE_PROP_TYPE((*tags)[i], PT_ERROR);
      out[i].Value.err = MAPI_E_NOT_FOUND;
    } else {
      filled = FillValue(*property, root, &out[i]);
    }
    if (!filled) {
      MAPIFreeBuffer(root);
      return MAPI_E_NOT_ENOUGH_MEMORY;
    }
  }
  *count = static_cast<ULONG>(wanted);
  *values = out;
  return missing ? MAPI_W_ERRORS_RETURNED : S_OK;
}

}  // namespace brevalo
