#include "device/guid.h"

#include <cstring>
#include <map>

#include <gtest/gtest.h>

#include "device/code_page.h"
#include "device/hresult.h"
#include "device/unknown.h"

namespace brevalo {
namespace {

constexpr GUID kRuleClient{0x20F58816, 0x51E4, 0x418D,
                           {0x92, 0xDD, 0x83, 0x90, 0x02, 0x1D, 0xCD, 0xCA}};

TEST(GuidText, FormatsUpperCaseWithBracesAndHyphens) {
  EXPECT_EQ(FormatGuid(kRuleClient), u"{20F58816-51E4-418D-92DD-8390021DCDCA}");
  EXPECT_EQ(FormatGuid(IID_IClassFactory), u"{00000001-0000-0000-C000-000000000046}");
  EXPECT_EQ(FormatGuid(GUID{0xFFFFFFFF, 0xFFFF, 0xFFFF, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                                                         0xFF, 0xFF}}),
            u"{FFFFFFFF-FFFF-FFFF-FFFF-FFFFFFFFFFFF}");
}

TEST(GuidText, ParsesEitherCaseToTheSameValue) {
  for (std::u16string_view text : {u"{20F58816-51E4-418D-92DD-8390021DCDCA}",
                                   u"{20f58816-51e4-418d-92dd-8390021dcdca}",
                                   u"{20F58816-51e4-418D-92dD-8390021dCDcA}"}) {
    std::optional<GUID> parsed = ParseGuid(text);
    ASSERT_TRUE(parsed.has_value()) << ToUtf8(text);
    EXPECT_EQ(*parsed, kRuleClient);
  }
  EXPECT_EQ(ParseGuid(u"{00000000-0000-0000-C000-000000000046}"), IID_IUnknown);
}

TEST(GuidText, RoundTripsEveryNibblePosition) {
  // A different value in each nibble catches digits read into the wrong field or order.
  GUID guid{0x01234567, 0x89AB, 0xCDEF, {0x10, 0x32, 0x54, 0x76, 0x98, 0xBA, 0xDC, 0xFE}};
  std::u16string text = FormatGuid(guid);
  EXPECT_EQ(text, u"{01234567-89AB-CDEF-1032-547698BADCFE}");
  EXPECT_EQ(ParseGuid(text), guid);
}

TEST(GuidText, RefusesAnythingButTheExactForm) {
  const std::u16string_view bad[] = {
      u"",
      u"{",
      u"20F58816-51E4-418D-92DD-8390021DCDCA",      // no braces
      u"(20F58816-51E4-418D-92DD-8390021DCDCA)",    // other brackets
      u"{20F58816-51E4-418D-92DD-8390021DCDCA",     // no closing brace
      u"{20F58816-51E4-418D-92DD-8390021DCDCA}}",   // one too many
      u"{20F5881-651E4-418D-92DD-8390021DCDCA}",    // hyphen moved
      u"{20F58816-51E4-418D-92DD8390021DCDCA-}",    // hyphen moved to the end
      u"{20F58816 51E4-418D-92DD-8390021DCDCA}",    // blank for a hyphen
      u"{20F5881G-51E4-418D-92DD-8390021DCDCA}",    // not a hex digit
      u"{ 0F58816-51E4-418D-92DD-8390021DCDCA}",    // blank where a number reader skips
      u"{+0F58816-51E4-418D-92DD-8390021DCDCA}",    // sign where a number reader takes one
      u"{0x058816-51E4-418D-92DD-8390021DCDCA}",    // prefix a number reader takes
      u"{20F58816--1E4-418D-92DD-8390021DCDCA}",    // minus in a field
      u"{20F58816-51E4-418D-92DD-8390021DCDC\uFF10}",  // full-width digit
  };
  for (std::u16string_view text : bad) {
    EXPECT_FALSE(ParseGuid(text).has_value()) << ToUtf8(text);
  }
  std::u16string withNul(u"{20F58816-51E4-418D-92DD-8390021DCDCA}");
  withNul[5] = u'\0';
  EXPECT_FALSE(ParseGuid(withNul).has_value());
  // A character whose low byte is a hex digit must not pass as that digit.
  std::u16string wide(u"{20F58816-51E4-418D-92DD-8390021DCDCA}");
  wide[1] = static_cast<char16_t>(0x0132);
  EXPECT_FALSE(ParseGuid(wide).has_value());
}

TEST(GuidBytes, AreThePhonesLittleEndianLayout) {
  uint8_t bytes[kGuidByteSize];
  GuidToBytes(kRuleClient, bytes);
  const uint8_t expected[kGuidByteSize] = {0x16, 0x88, 0xF5, 0x20, 0xE4, 0x51, 0x8D, 0x41,
                                           0x92, 0xDD, 0x83, 0x90, 0x02, 0x1D, 0xCD, 0xCA};
  EXPECT_EQ(std::memcmp(bytes, expected, kGuidByteSize), 0);
  EXPECT_EQ(GuidFromBytes(expected), kRuleClient);
  // The struct handed to libraries in memory holds the same bytes.
  EXPECT_EQ(std::memcmp(&kRuleClient, expected, kGuidByteSize), 0);
}

TEST(GuidOrder, SeparatesValuesThatDifferInAnyField) {
  GUID a = kRuleClient;
  GUID b = kRuleClient;
  b.Data4[7] ^= 1;
  EXPECT_NE(a, b);
  GUID c = kRuleClient;
  c.Data3 ^= 1;
  std::map<GUID, int> byGuid{{a, 1}, {b, 2}, {c, 3}};
  EXPECT_EQ(byGuid.size(), 3u);
  EXPECT_EQ(byGuid.at(b), 2);
  EXPECT_NE(IID_IUnknown, IID_IClassFactory);
}

TEST(ResultCodes, SuccessIsNotNegative) {
  EXPECT_TRUE(SUCCEEDED(S_OK));
  EXPECT_TRUE(SUCCEEDED(S_FALSE));
  EXPECT_FALSE(FAILED(S_FALSE));
  for (HRESULT failure : {E_FAIL, E_NOINTERFACE, E_POINTER, E_OUTOFMEMORY, E_INVALIDARG,
                          E_NOTIMPL, CLASS_E_NOAGGREGATION, CLASS_E_CLASSNOTAVAILABLE,
                          REGDB_E_CLASSNOTREG, SELFREG_E_CLASS, CO_E_DLLNOTFOUND}) {
    EXPECT_TRUE(FAILED(failure)) << failure;
    EXPECT_FALSE(SUCCEEDED(failure)) << failure;
  }
  EXPECT_EQ(static_cast<uint32_t>(E_FAIL), 0x80004005u);
  EXPECT_EQ(HRESULT_FROM_WIN32(0), S_OK);
  EXPECT_EQ(static_cast<uint32_t>(HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND)), 0x8007007Eu);
}

}  // namespace
}  // namespace brevalo
