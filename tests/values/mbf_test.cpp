#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstring>
#include <limits>

#include "string_kinds.h"
#include "values/mbf.h"

using mbf = fresh_memory;

namespace {

uint64_t pattern_of(const kxs* s) {
  uint64_t p = 0;
  std::memcpy(&p, s->chars, static_cast<size_t>(s->length));
  return p;
}

}  // namespace

TEST_F(mbf, SingleLayoutOfKnownValues) {
  EXPECT_EQ(text_of(func_mksmbf(1.0f)), bytes({0, 0, 0, 129}));
  EXPECT_EQ(func_cvsmbf(literal_of(bytes({0, 0, 0, 129}))), 1.0f);
  EXPECT_EQ(text_of(func_mksmbf(-0.5f)), bytes({0, 0, 0x80, 128}));
  EXPECT_EQ(text_of(func_mksmbf(10.0f)), bytes({0, 0, 0x20, 132}));
  EXPECT_EQ(text_of(func_mksmbf(0.0f)), bytes({0, 0, 0, 0}));
  // An exponent byte of 0 is zero whatever the other bytes hold.
  EXPECT_EQ(func_cvsmbf(literal_of(bytes({0xFF, 0xFF, 0xFF, 0}))), 0.0f);
}

TEST_F(mbf, EverySingleWhoseExponentFitsRoundTrips) {
  for (uint32_t exponent = 1; exponent < 254; ++exponent) {
    for (uint32_t sign = 0; sign < 2; ++sign) {
      const uint32_t mark = kxs_tmp_list_nexti;
      for (uint32_t mantissa = 0; mantissa < (1u << 23); mantissa += 4093) {
        const uint32_t bits = sign << 31 | exponent << 23 | (mantissa ^ (exponent * 77));
        const float x = std::bit_cast<float>(bits & 0xFFFFFFFFu);
        kxs* s = func_mksmbf(x);
        ASSERT_EQ(s->length, 4);
        ASSERT_EQ(s->chars[3], exponent + 2);
        ASSERT_EQ(std::bit_cast<uint32_t>(func_cvsmbf(s)), std::bit_cast<uint32_t>(x)) << std::hex << bits;
      }
      kxs_cleanup(mark, 0);
    }
  }
  EXPECT_EQ(new_error.load(), 0u);
}

TEST_F(mbf, SinglesThatDoNotFit) {
  // Too large: 2^127 and up, infinities, NaN.
  for (float x : {std::ldexp(1.0f, 127), -std::numeric_limits<float>::max(), std::numeric_limits<float>::infinity(),
                  std::numeric_limits<float>::quiet_NaN()}) {
    EXPECT_EQ(func_mksmbf(x)->length, 0) << x;
    EXPECT_EQ(take_error(), 5u);
  }
  EXPECT_EQ(func_mksmbf(std::ldexp(1.9f, 126))->length, 4);
  // Negative zero and values below 2^-128 are the zero bytes, as +0 is.
  EXPECT_EQ(text_of(func_mksmbf(-0.0f)), bytes({0, 0, 0, 0}));
  EXPECT_EQ(text_of(func_mksmbf(std::ldexp(1.0f, -129))), bytes({0, 0, 0, 0}));
  EXPECT_EQ(text_of(func_mksmbf(-std::numeric_limits<float>::denorm_min())), bytes({0, 0, 0, 0}));
  // Subnormal singles from 2^-128 up have an exact MBF form.
  for (float x : {std::ldexp(1.0f, -128), std::ldexp(-1.5f, -128), std::ldexp(1.75f, -127)}) {
    kxs* s = func_mksmbf(x);
    ASSERT_EQ(s->length, 4);
    EXPECT_EQ(func_cvsmbf(s), x);
  }
  EXPECT_EQ(func_mksmbf(std::ldexp(1.0f, -128))->chars[3], 1);
  EXPECT_EQ(new_error.load(), 0u);
  // An MBF exponent of 1 with a full mantissa rounds to the nearest subnormal.
  const float nearest = static_cast<float>(std::ldexp(static_cast<double>(0xFFFFFF), -128 - 23));
  EXPECT_EQ(func_cvsmbf(literal_of(bytes({0xFF, 0xFF, 0x7F, 1}))), nearest);
}

TEST_F(mbf, DoubleLayoutAndRoundTrips) {
  EXPECT_EQ(text_of(func_mkdmbf(1.0)), bytes({0, 0, 0, 0, 0, 0, 0, 129}));
  EXPECT_EQ(text_of(func_mkdmbf(-2.0)), bytes({0, 0, 0, 0, 0, 0, 0x80, 130}));
  for (double x : {0.1, -0.1, 1.0 / 3.0, 123456789.123, 1e-38, 1.7e38, std::ldexp(1.0, -128)}) {
    kxs* s = func_mkdmbf(x);
    ASSERT_EQ(s->length, 8) << x;
    EXPECT_EQ(pattern_of(s) & 7, 0u);  // the low 3 mantissa bits are 0
    EXPECT_EQ(func_cvdmbf(s), x);
  }
  EXPECT_EQ(new_error.load(), 0u);
}

TEST_F(mbf, DoublesThatDoNotFit) {
  EXPECT_EQ(func_mkdmbf(std::ldexp(1.0, 127))->length, 0);
  EXPECT_EQ(take_error(), 5u);
  EXPECT_EQ(func_mkdmbf(std::numeric_limits<double>::quiet_NaN())->length, 0);
  EXPECT_EQ(take_error(), 5u);
  // Negative zero and values too small for MBF are the zero bytes.
  EXPECT_EQ(text_of(func_mkdmbf(-0.0)), std::string(8, '\0'));
  EXPECT_EQ(text_of(func_mkdmbf(1e-300)), std::string(8, '\0'));
  EXPECT_EQ(new_error.load(), 0u);
}

TEST_F(mbf, DoublesOfOldFilesRoundTheirExtraMantissaBits) {
  // 0.1 as a 55-bit MBF mantissa: ...CCCCCD at full precision, more bits
  // than a double holds. Old programs stored it this way.
  const uint64_t exponent = 125;  // 0.1 = 1.6 * 2^-4
  const uint64_t mantissa55 = 0x4CCCCCCCCCCCCDull;  // 1.6 rounded to 55 bits, hidden bit dropped
  const uint64_t stored = exponent << 56 | mantissa55;
  std::string s(8, '\0');
  std::memcpy(s.data(), &stored, 8);
  EXPECT_EQ(func_cvdmbf(literal_of(s)), 0.1);
  EXPECT_EQ(new_error.load(), 0u);

  auto read = [](uint64_t pattern) {
    std::string b(8, '\0');
    std::memcpy(b.data(), &pattern, 8);
    return func_cvdmbf(literal_of(b));
  };
  const uint64_t one = uint64_t{129} << 56;
  EXPECT_EQ(read(one | 0x3), 1.0);                       // below half: down
  EXPECT_EQ(read(one | 0x4), 1.0);                       // half, even: stays
  EXPECT_EQ(read(one | 0xC), 1.0 + std::ldexp(1.0, -51));  // half, odd: up to even
  EXPECT_EQ(read(one | 0x5), 1.0 + std::ldexp(1.0, -52));  // above half: up
  // All mantissa bits set: the carry moves into the exponent.
  EXPECT_EQ(read(one | ((uint64_t{1} << 55) - 1)), 2.0);
  EXPECT_EQ(read(uint64_t{255} << 56 | ((uint64_t{1} << 55) - 1) | uint64_t{1} << 55), -std::ldexp(1.0, 127));
  EXPECT_EQ(new_error.load(), 0u);
  EXPECT_EQ(read(0x00FFFFFFFFFFFFFFull), 0.0);  // exponent byte 0
  EXPECT_EQ(func_cvdmbf(literal_of("1234567")), 0.0);
  EXPECT_EQ(take_error(), 5u);
  EXPECT_EQ(func_cvsmbf(literal_of("123")), 0.0f);
  EXPECT_EQ(take_error(), 5u);
}
