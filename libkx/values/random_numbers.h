#pragma once
// RND and the seeding behind RANDOMIZE: a 24-bit linear congruential
// generator, so that a program's sequence is the same on every run.
#include <cstdint>

inline constexpr uint32_t rnd_seed_initial = 327680;

// The generator state; only the low 24 bits are used.
extern uint32_t rnd_seed;
// The initial seed, kept for restarting the sequence.
extern uint32_t rnd_seed_first;

// RND [(n)]: n < 0 reseeds from n's bits, n = 0 repeats the last number,
// anything else (or no argument, given = 0) advances. Result in [0, 1).
float func_rnd(float n, int32_t given);

namespace kx {
// RANDOMIZE with a seed: bits 8 to 23 of the state come from the seed's
// bits; the low 8 bits stay, or with restart come from the initial seed,
// so that one seed always restarts the same sequence.
void seed_random(double seed, bool restart);
// RANDOMIZE's answer at the keyboard: its 16-bit pattern into bits 8 to 23.
void seed_random_bits(int16_t seed);
// RUN: the sequence starts again.
void reset_random();
}  // namespace kx
