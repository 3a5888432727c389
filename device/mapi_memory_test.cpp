#include "device/mapi_memory.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "device/mapi_entry_id.h"
#include "device/mapi_properties.h"

namespace brevalo {
namespace {

// ASan (the sanitizer preset) turns every leak or double free below into a failure; without it
// the tests still check the results and alignment.
TEST(MapiMemory, ChainedBuffersGoWithTheirFirst) {
  void* first = nullptr;
  ASSERT_EQ(MAPIAllocateBuffer(10, &first), S_OK);
  EXPECT_EQ(reinterpret_cast<uintptr_t>(first) % alignof(std::max_align_t), 0u);
  void* chained = nullptr;
  ASSERT_EQ(MAPIAllocateMore(100, first, &chained), S_OK);
  std::memset(chained, 0xAB, 100);
  void* grandchild = nullptr;
  ASSERT_EQ(MAPIAllocateMore(7, chained, &grandchild), S_OK) << "chaining to a chained buffer";
  EXPECT_EQ(MAPIFreeBuffer(chained), static_cast<ULONG>(MAPI_E_INVALID_PARAMETER))
      << "a chained buffer is freed by its first only";
  EXPECT_EQ(MAPIFreeBuffer(first), static_cast<ULONG>(S_OK));
  EXPECT_EQ(MAPIFreeBuffer(nullptr), static_cast<ULONG>(S_OK));
}

TEST(MapiMemory, BadArgumentsLeaveNothingAllocated) {
  EXPECT_EQ(MAPIAllocateBuffer(4, nullptr), MAPI_E_INVALID_PARAMETER);
  void* out = &out;
  EXPECT_EQ(MAPIAllocateMore(4, nullptr, &out), MAPI_E_INVALID_PARAMETER);
  EXPECT_EQ(out, nullptr);
  FreeProws(nullptr);
}

TEST(MapiProperties, PackedValuesOwnTheirStringsAndReportGaps) {
  MapiPropertyList properties{
      MapiProperty::Text(PR_SUBJECT, u"hello"),
      MapiProperty::Binary(PR_ENTRYID, {1, 2, 3}),
      MapiProperty::Time(PR_MESSAGE_DELIVERY_TIME, 0x0123456789ABCDEFull),
      MapiProperty::Number(PR_MESSAGE_FLAGS, 1),
  };
  std::vector<ULONG> tags{PR_ENTRYID, PR_BODY, CHANGE_PROP_TYPE(PR_SUBJECT, PT_UNSPECIFIED),
                          PR_MESSAGE_DELIVERY_TIME, CHANGE_PROP_TYPE(PR_SUBJECT, PT_STRING8)};
  ULONG count = 0;
  SPropValue* values = nullptr;
  ASSERT_EQ(PackProperties(properties, &tags, &count, &values), MAPI_W_ERRORS_RETURNED);
  properties.clear();  // the packed copy must not point into the originals
  ASSERT_EQ(count, 5u);
  EXPECT_EQ(values[0].Value.bin.cb, 3u);
  EXPECT_EQ(values[0].Value.bin.lpb[2], 3);
  EXPECT_EQ(values[1].ulPropTag, CHANGE_PROP_TYPE(PR_BODY, PT_ERROR));
  EXPECT_EQ(values[2].ulPropTag, PR_SUBJECT);
  EXPECT_EQ(std::u16string(values[2].Value.lpszW), u"hello");
  EXPECT_EQ(values[3].Value.ft.dwHighDateTime, 0x01234567u);
  EXPECT_EQ(values[3].Value.ft.dwLowDateTime, 0x89ABCDEFu);
  EXPECT_EQ(values[4].Value.err, MAPI_E_NOT_FOUND) << "no narrow strings in this store";
  MAPIFreeBuffer(values);

  ASSERT_EQ(PackProperties({}, nullptr, &count, &values), S_OK);
  EXPECT_EQ(count, 0u);
  MAPIFreeBuffer(values);
}

TEST(MapiEntryId, RoundTripsAndRefusesAnythingElse) {
  EntryId message{EntryKind::Message, 7, 0x1122334455667788ull};
  auto bytes = EncodeEntryId(message);
  EXPECT_EQ(bytes.size(), kEntryIdSize);
  EXPECT_EQ(DecodeEntryId(bytes.data(), bytes.size()), message);
  EXPECT_NE(EncodeEntryId({EntryKind::Folder, 7, 0}), EncodeEntryId({EntryKind::Folder, 7, 2}));

  EXPECT_FALSE(DecodeEntryId(nullptr, 0));
  EXPECT_FALSE(DecodeEntryId(bytes.data(), bytes.size() - 1));
  for (size_t damaged : {0u, 4u, 8u}) {
    auto copy = bytes;
    copy[damaged] ^= 0x40;
    EXPECT_FALSE(DecodeEntryId(copy.data(), copy.size())) << "byte " << damaged;
  }
  auto unknownKind = bytes;
  unknownKind[8] = 4;
  EXPECT_FALSE(DecodeEntryId(unknownKind.data(), unknownKind.size()));
}

}  // namespace
}  // namespace brevalo
