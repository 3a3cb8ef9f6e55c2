#include "values/random_numbers.h"

#include <cstring>

#include "base/error.h"

uint32_t rnd_seed = rnd_seed_initial;
uint32_t rnd_seed_first = rnd_seed_initial;

namespace {

constexpr uint32_t multiplier = 16598013;
constexpr uint32_t increment = 12820163;
constexpr uint32_t state_mask = 0xFFFFFF;
constexpr uint32_t low_byte = 0xFF;
constexpr uint32_t seed_bits = 0xFFFF00;
constexpr double state_span = 16777216.0;

void set_high_bits(uint32_t low_from, uint32_t pattern) {
  rnd_seed = (low_from & low_byte) | ((pattern << 8) & seed_bits);
}

}  // namespace

float func_rnd(float n, int32_t given) {
  if (new_error) return 0;
  if (!given) n = 1;
  if (n < 0) {
    uint32_t bits;
    std::memcpy(&bits, &n, sizeof bits);
    // The mantissa's bits plus the sign and high exponent bits as a number.
    rnd_seed = (bits & state_mask) + (bits >> 24);
  }
  // Modulo 2^24 of the 32-bit product is that of the full product.
  if (n != 0) rnd_seed = (rnd_seed * multiplier + increment) & state_mask;
  return static_cast<float>(static_cast<double>(rnd_seed) / state_span);
}

namespace kx {

void seed_random(double seed, bool restart) {
  uint64_t bits;
  std::memcpy(&bits, &seed, sizeof bits);
  auto m = static_cast<uint32_t>(bits >> 32);
  m ^= m >> 16;
  set_high_bits(restart ? rnd_seed_first : rnd_seed, m);
}

void seed_random_bits(int16_t seed) { set_high_bits(rnd_seed, static_cast<uint16_t>(seed)); }

void reset_random() { rnd_seed = rnd_seed_first; }

}  // namespace kx
