// The 32-bit pixel blend computed per pixel against the same blend read
// from the 16 MB lookup tables, and the cost of building those tables,
// which every start-up paid before they were left to whoever asks.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <random>
#include <vector>

#include "screen/images/blend.h"

namespace {

constexpr size_t pixel_count = 1 << 20;

struct pixel_pair {
  uint32_t old;
  uint32_t colour;
};

// Random pixels with every alpha but the two shortcuts (0 and 255).
const std::vector<pixel_pair>& pairs() {
  static const std::vector<pixel_pair> v = [] {
    std::mt19937 rng(3);
    std::vector<pixel_pair> p(pixel_count);
    for (auto& x : p) x = {static_cast<uint32_t>(rng()), static_cast<uint32_t>((rng() % 254 + 1) << 24 | (rng() & 0xFFFFFF))};
    return p;
  }();
  return v;
}

uint32_t table_blend(uint32_t old, uint32_t colour) {
  const uint32_t a = colour >> 24;
  if (a == 255) return colour;
  if (a == 0) return old;
  const uint32_t old_alpha = old >> 24;
  if (a == 127 || a == 128) {
    const uint8_t* row = a == 127 ? ablend127 : ablend128;
    return (((old & 0xFEFEFE) + (colour & 0xFEFEFE)) >> 1) | uint32_t{row[old_alpha]} << 24;
  }
  const uint8_t* table = cblend + (a << 16);
  uint32_t result = uint32_t{ablend[(old_alpha << 8) | a]} << 24;
  for (int shift = 0; shift <= 16; shift += 8) {
    result |= uint32_t{table[(((colour >> shift) & 0xFF) << 8) | ((old >> shift) & 0xFF)]} << shift;
  }
  return result;
}

template <uint32_t (*Blend)(uint32_t, uint32_t)>
void run_blend(benchmark::State& state) {
  const auto& p = pairs();
  uint32_t sum = 0;
  for (auto _ : state) {
    for (const pixel_pair& x : p) sum += Blend(x.old, x.colour);
  }
  benchmark::DoNotOptimize(sum);
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * pixel_count));
}

void blend_computed(benchmark::State& state) { run_blend<kx::blend_pixel>(state); }
void blend_from_tables(benchmark::State& state) {
  if (!init_blend()) state.SkipWithError("no memory for the tables");
  run_blend<table_blend>(state);
}
BENCHMARK(blend_computed)->Unit(benchmark::kMillisecond);
BENCHMARK(blend_from_tables)->Unit(benchmark::kMillisecond);

// What the first 32-bit image cost every program before.
void build_blend_tables(benchmark::State& state) {
  for (auto _ : state) {
    init_blend();
    state.PauseTiming();
    std::free(cblend);
    std::free(ablend);
    cblend = ablend = ablend127 = ablend128 = nullptr;
    state.ResumeTiming();
  }
}
BENCHMARK(build_blend_tables)->Unit(benchmark::kMillisecond);

}  // namespace
