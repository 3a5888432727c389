#include "device/com_ptr.h"

#include <gtest/gtest.h>

namespace brevalo {
namespace {

constexpr IID kIidOther{0x11111111, 0x2222, 0x3333, {4, 4, 4, 4, 4, 4, 4, 4}};

// Counts its references and never frees itself, so a test can look at the count afterwards.
class CountedObject final : public IUnknown {
 public:
  HRESULT QueryInterface(const IID& iid, void** object) override {
    if (iid == IID_IUnknown) {
      *object = static_cast<IUnknown*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  uint32_t AddRef() override { return ++references; }
  uint32_t Release() override { return --references; }
  uint32_t references = 1;
};

TEST(ComPtr, HoldsExactlyOneReferencePerHolder) {
  CountedObject object;
  {
    ComPtr<IUnknown> first = ComPtr<IUnknown>::Adopt(&object);
    EXPECT_EQ(object.references, 1u);
    ComPtr<IUnknown> copy = first;
    EXPECT_EQ(object.references, 2u);
    ComPtr<IUnknown> moved = std::move(copy);
    EXPECT_EQ(object.references, 2u);
    EXPECT_FALSE(copy);
    copy = moved;
    EXPECT_EQ(object.references, 3u);
    ComPtr<IUnknown>& alias = copy;
    copy = alias;  // self-assignment keeps the count
    EXPECT_EQ(object.references, 3u);
    moved.Reset();
    EXPECT_EQ(object.references, 2u);
  }
  EXPECT_EQ(object.references, 0u);
}

TEST(ComPtr, OutParameterSlotGivesUpTheOldReference) {
  CountedObject old;
  CountedObject fresh;
  ComPtr<IUnknown> holder = ComPtr<IUnknown>::Adopt(&old);
  EXPECT_EQ(fresh.QueryInterface(IID_IUnknown, holder.PutVoid()), S_OK);
  EXPECT_EQ(old.references, 0u);
  EXPECT_EQ(fresh.references, 2u);
  EXPECT_EQ(holder.Get(), &fresh);
  IUnknown* detached = holder.Detach();
  EXPECT_FALSE(holder);
  EXPECT_EQ(fresh.references, 2u);
  detached->Release();
}

TEST(ComPtr, AsQueriesAnotherInterface) {
  CountedObject object;
  ComPtr<IUnknown> holder = ComPtr<IUnknown>::Adopt(&object);
  ComPtr<IUnknown> same;
  EXPECT_EQ(holder.As(IID_IUnknown, &same), S_OK);
  EXPECT_EQ(same.Get(), &object);
  EXPECT_EQ(object.references, 2u);
  ComPtr<IUnknown> other = holder;
  EXPECT_EQ(holder.As(kIidOther, &other), E_NOINTERFACE);
  EXPECT_FALSE(other);
  EXPECT_EQ(object.references, 2u);
  ComPtr<IUnknown> empty;
  EXPECT_EQ(empty.As(IID_IUnknown, &same), E_POINTER);
  EXPECT_FALSE(same);
  EXPECT_EQ(object.references, 1u);
}

}  // namespace
}  // namespace brevalo
