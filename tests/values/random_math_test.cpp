// RND, the seeding of RANDOMIZE, and the checked mathematical functions.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "base/error.h"
#include "values/math_functions.h"
#include "values/random_numbers.h"

namespace {

uint32_t take_error() { return new_error.exchange(0); }

class random_math : public ::testing::Test {
 protected:
  void SetUp() override {
    new_error = 0;
    rnd_seed = rnd_seed_first = rnd_seed_initial;
  }
  void TearDown() override { new_error = 0; }
};

float next(uint32_t* seed) {
  *seed = static_cast<uint32_t>((uint64_t{*seed} * 16598013 + 12820163) % 16777216);
  return static_cast<float>(*seed / 16777216.0);
}

}  // namespace

TEST_F(random_math, SequenceFromTheStartValue) {
  EXPECT_EQ(func_rnd(0, 1), 327680 / 16777216.0f);  // RND(0) before any other
  uint32_t seed = 327680;
  const float first = next(&seed);
  EXPECT_EQ(func_rnd(0, 0), first);
  EXPECT_EQ(first, static_cast<float>((327680ull * 16598013 + 12820163) % 16777216 / 16777216.0));
  for (int i = 0; i < 1000; ++i) {
    const float r = func_rnd(1, 1);
    EXPECT_EQ(r, next(&seed));
    EXPECT_GE(r, 0.0f);
    EXPECT_LT(r, 1.0f);
  }
  const float last = func_rnd(5, 1);
  EXPECT_EQ(func_rnd(0, 1), last);
  EXPECT_EQ(func_rnd(0, 1), last);
  new_error = 5;
  EXPECT_EQ(func_rnd(1, 1), 0);
}

TEST_F(random_math, NegativeArgumentsReseedFromTheirBits) {
  const float a = func_rnd(-1, 1);
  func_rnd(1, 1);
  EXPECT_EQ(func_rnd(-1, 1), a);
  // -1.0f is 0xBF800000: low 24 bits 0x800000 plus top byte 0xBF.
  uint32_t seed = 0x800000 + 0xBF;
  EXPECT_EQ(a, next(&seed));
  EXPECT_NE(func_rnd(-2, 1), a);
  // An undefined value advances too.
  const uint32_t before = rnd_seed;
  func_rnd(std::numeric_limits<float>::quiet_NaN(), 1);
  EXPECT_NE(rnd_seed, before);
}

TEST_F(random_math, RandomizeKinds) {
  // Seed 1.0: high word 0x3FF00000, xor its top half gives 0x3FF03FF0; bits
  // 8-23 take 0xF03FF0 << 8 & 0xFFFF00 = 0x3FF000.
  rnd_seed = 0x123456;
  kx::seed_random(1.0, false);
  EXPECT_EQ(rnd_seed, 0x3FF056u);
  kx::seed_random(1.0, true);
  EXPECT_EQ(rnd_seed, 0x3FF000u | (rnd_seed_first & 0xFF));
  // Kind 3 restarts one sequence whatever came before.
  float first[3], again[3];
  kx::seed_random(42.5, true);
  for (float& r : first) r = func_rnd(1, 1);
  func_rnd(1, 1);
  kx::seed_random(42.5, true);
  for (float& r : again) r = func_rnd(1, 1);
  EXPECT_EQ(first[0], again[0]);
  EXPECT_EQ(first[2], again[2]);
  // A seed typed at the keyboard: its 16-bit pattern.
  rnd_seed = 0x0000AB;
  kx::seed_random_bits(-2);
  EXPECT_EQ(rnd_seed, 0xFFFEABu);
  kx::reset_random();
  EXPECT_EQ(rnd_seed, rnd_seed_initial);
}

TEST_F(random_math, CheckedFunctionsRaiseAndReturnZero) {
  EXPECT_EQ(func_log(0), 0);
  EXPECT_EQ(take_error(), 5u);
  EXPECT_EQ(func_log(-1), 0);
  EXPECT_EQ(take_error(), 5u);
  EXPECT_DOUBLE_EQ(func_log(std::exp(2.0)), 2.0);
  EXPECT_EQ(func_sqr(-0.5), 0);
  EXPECT_EQ(take_error(), 5u);
  EXPECT_EQ(func_sqr(0), 0);
  EXPECT_EQ(func_sqr(2.25), 1.5);
  EXPECT_EQ(func_exp_single(88.03), 0);
  EXPECT_EQ(take_error(), 6u);
  EXPECT_DOUBLE_EQ(func_exp_single(88.0), std::exp(88.0));
  EXPECT_EQ(func_exp_float(709.8L), 0);
  EXPECT_EQ(take_error(), 6u);
  EXPECT_EQ(func_exp_float(1), std::exp(1.0L));
  EXPECT_EQ(func_fix_double(-2.7), -2);
  EXPECT_EQ(func_fix_double(2.7), 2);
  EXPECT_EQ(func_fix_float(-0.5L), 0);
  EXPECT_EQ(pow2(-8, 1.0L / 3), 0);
  EXPECT_EQ(take_error(), 5u);
  EXPECT_EQ(pow2(-8, 3), -512);
  EXPECT_EQ(pow2(2, 0.5L), std::sqrt(2.0L));
  EXPECT_EQ(take_error(), 0u);
}

TEST_F(random_math, AnglesAndReciprocalFunctions) {
  EXPECT_EQ(func_pi(0, 0), 3.141592653589793);
  EXPECT_EQ(func_pi(2, 1), 2 * 3.141592653589793);
  EXPECT_DOUBLE_EQ(func_deg2rad(180), 3.141592653589793);
  EXPECT_DOUBLE_EQ(func_rad2deg(3.141592653589793), 180);
  EXPECT_DOUBLE_EQ(func_deg2grad(90), 100);
  EXPECT_DOUBLE_EQ(func_grad2deg(100), 90);
  EXPECT_DOUBLE_EQ(func_rad2grad(3.141592653589793), 200);
  EXPECT_DOUBLE_EQ(func_grad2rad(200), 3.141592653589793);
  EXPECT_DOUBLE_EQ(func_sec(1), 1 / std::cos(1.0));
  EXPECT_DOUBLE_EQ(func_csc(1), 1 / std::sin(1.0));
  EXPECT_DOUBLE_EQ(func_cot(1), 1 / std::tan(1.0));
  EXPECT_EQ(take_error(), 0u);
  EXPECT_EQ(func_csc(0), 0);
  EXPECT_EQ(take_error(), 5u);
  EXPECT_EQ(func_cot(0), 0);
  EXPECT_EQ(take_error(), 5u);
  EXPECT_DOUBLE_EQ(func_arcsec(2), std::acos(0.5));
  EXPECT_DOUBLE_EQ(func_arccsc(-2), std::asin(-0.5));
  EXPECT_EQ(func_arcsec(0.5), 0);
  EXPECT_EQ(take_error(), 5u);
  EXPECT_EQ(func_arccsc(0), 0);
  EXPECT_EQ(take_error(), 5u);
  EXPECT_DOUBLE_EQ(func_arccot(1), 3.141592653589793 / 4);
  EXPECT_DOUBLE_EQ(func_sech(1), 2 / (std::exp(1.0) + std::exp(-1.0)));
  EXPECT_DOUBLE_EQ(func_csch(1), 2 / (std::exp(1.0) - std::exp(-1.0)));
  EXPECT_DOUBLE_EQ(func_coth(1), std::cosh(1.0) / std::sinh(1.0));
  EXPECT_EQ(take_error(), 0u);
  // Large arguments of either sign are tiny values, not errors.
  EXPECT_GT(func_sech(100), 0);
  EXPECT_EQ(func_sech(100), func_sech(-100));
  EXPECT_EQ(func_sech(1000), 0);
  EXPECT_EQ(func_csch(100), -func_csch(-100));
  EXPECT_EQ(func_csch(1000), 0);
  EXPECT_EQ(take_error(), 0u);
  EXPECT_EQ(func_csch(0), 0);
  EXPECT_EQ(take_error(), 5u);
  EXPECT_EQ(func_coth(0), 0);
  EXPECT_EQ(take_error(), 5u);
}
