// Holds one reference to a COM object and gives it back when it goes, so that callers of
// in-process servers cannot leak or double-release on an early return.
#pragma once

#include <utility>

#include "device/unknown.h"

namespace brevalo {

template <typename T>
class ComPtr {
 public:
  ComPtr() = default;
  ~ComPtr() { Reset(); }

  ComPtr(const ComPtr& other) : object_(other.object_) {
    if (object_ != nullptr) object_->AddRef();
  }
  ComPtr& operator=(const ComPtr& other) {
    ComPtr copy(other);
    Swap(copy);
    return *this;
  }
  ComPtr(ComPtr&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
  ComPtr& operator=(ComPtr&& other) noexcept {
    ComPtr moved(std::move(other));
    Swap(moved);
    return *this;
  }

  // Takes over a reference the caller already owns (as an out parameter hands one over).
  static ComPtr Adopt(T* object) {
    ComPtr result;
    result.object_ = object;
    return result;
  }

  T* Get() const { return object_; }
  T* operator->() const { return object_; }
  T& operator*() const { return *object_; }
  explicit operator bool() const { return object_ != nullptr; }

  // Gives up the reference held, then lends the slot to a call that hands out a new one.
  void** PutVoid() {
    Reset();
    return reinterpret_cast<void**>(&object_);
  }

  // The reference leaves with the pointer; the caller releases it.
  T* Detach() { return std::exchange(object_, nullptr); }

  void Reset() {
    if (T* old = std::exchange(object_, nullptr); old != nullptr) old->Release();
  }

  void Swap(ComPtr& other) noexcept { std::swap(object_, other.object_); }

  // The same object as another interface; an empty holder and the object's failure otherwise.
  template <typename U>
  HRESULT As(const IID& iid, ComPtr<U>* out) const {
    if (out == nullptr) return E_POINTER;
    if (object_ == nullptr) {
      out->Reset();
      return E_POINTER;
    }
    return object_->QueryInterface(iid, out->PutVoid());
  }

 private:
  T* object_ = nullptr;
};

}  // namespace brevalo
