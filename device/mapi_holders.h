// Owners of what the message store hands out, so that every early return gives it back: a
// property array (MAPIFreeBuffer) and a row set (FreeProws).
#pragma once

#include <utility>

#include "device/mapi_memory.h"

namespace brevalo {

class MapiProps {
 public:
  MapiProps() = default;
  ~MapiProps() { MAPIFreeBuffer(values_); }
  MapiProps(const MapiProps&) = delete;
  MapiProps& operator=(const MapiProps&) = delete;

  // For GetProps: the count and the array it fills.
  ULONG* CountSlot() { return &count_; }
  SPropValue** ValuesSlot() {
    MAPIFreeBuffer(std::exchange(values_, nullptr));
    return &values_;
  }

  ULONG Count() const { return values_ != nullptr ? count_ : 0; }
  // The value at `i` when it is there and carries `tag` (not a PT_ERROR stand-in); else null.
  const SPropValue* Find(ULONG i, ULONG tag) const {
    return i < Count() && values_[i].ulPropTag == tag ? &values_[i] : nullptr;
  }

 private:
  ULONG count_ = 0;
  SPropValue* values_ = nullptr;
};

class MapiRows {
 public:
  MapiRows() = default;
  ~MapiRows() { FreeProws(rows_); }
  MapiRows(const MapiRows&) = delete;
  MapiRows& operator=(const MapiRows&) = delete;

  SRowSet** Slot() {
    FreeProws(std::exchange(rows_, nullptr));
    return &rows_;
  }
  ULONG Count() const { return rows_ != nullptr ? rows_->cRows : 0; }
  const SRow& Row(ULONG i) const { return rows_->aRow[i]; }

 private:
  SRowSet* rows_ = nullptr;
};

}  // namespace brevalo
