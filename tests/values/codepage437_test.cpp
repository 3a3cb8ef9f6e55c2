// The code page table and its reverse lookup.
#include <gtest/gtest.h>

#include "values/codepage437.h"

namespace {

TEST(Codepage437, HoldsTheScreensMapping) {
  EXPECT_EQ(codepage437_to_unicode16[0x00], 0x0020);
  EXPECT_EQ(codepage437_to_unicode16[0x01], 0x263A);
  EXPECT_EQ(codepage437_to_unicode16[0x0D], 0x266A);
  EXPECT_EQ(codepage437_to_unicode16[0x10], 0x25BA);
  EXPECT_EQ(codepage437_to_unicode16[0x1F], 0x25BC);
  EXPECT_EQ(codepage437_to_unicode16[0x41], 'A');
  EXPECT_EQ(codepage437_to_unicode16[0x7E], '~');
  EXPECT_EQ(codepage437_to_unicode16[0x7F], 0x2302);
  EXPECT_EQ(codepage437_to_unicode16[0x80], 0x00C7);
  EXPECT_EQ(codepage437_to_unicode16[0x9E], 0x20A7);
  EXPECT_EQ(codepage437_to_unicode16[0xB0], 0x2591);
  EXPECT_EQ(codepage437_to_unicode16[0xC9], 0x2554);
  EXPECT_EQ(codepage437_to_unicode16[0xDB], 0x2588);
  EXPECT_EQ(codepage437_to_unicode16[0xE1], 0x00DF);
  EXPECT_EQ(codepage437_to_unicode16[0xFE], 0x25A0);
  EXPECT_EQ(codepage437_to_unicode16[0xFF], 0x0020);
}

TEST(Codepage437, ReverseLookupGivesTheFirstPositionHoldingTheCode) {
  for (int p = 0; p < 256; ++p) {
    const uint16_t code = codepage437_to_unicode16[p];
    int first = 0;
    while (codepage437_to_unicode16[first] != code) ++first;
    EXPECT_EQ(unicode_to_cp437(code), first) << "position " << p;
    // Only the blanks share a code point, so everything else comes back.
    if (p != 32 && p != 255) {
      EXPECT_EQ(unicode_to_cp437(code), p);
    }
  }
  EXPECT_EQ(unicode_to_cp437(' '), 0);
}

TEST(Codepage437, CodesOutsideTheTableGiveZero) {
  EXPECT_EQ(unicode_to_cp437(0x0A), 0);      // control characters are symbols here
  EXPECT_EQ(unicode_to_cp437(0x7F), 0);
  EXPECT_EQ(unicode_to_cp437(0x00A0), 0);    // the no-break space at 255 is blank
  EXPECT_EQ(unicode_to_cp437(0x4E00), 0);
  EXPECT_EQ(unicode_to_cp437(0x12554), 0);   // not truncated to U+2554
}

}  // namespace
