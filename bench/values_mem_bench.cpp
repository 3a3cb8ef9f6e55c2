// _MEMCOPY of 1 MB against memmove, and a million 4-byte _MEMGET reads
// against plain pointer reads, in the same run.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "base/error.h"
#include "values/mem_blocks.h"
#include "values/memory_startup.h"

namespace {

constexpr intptr_t megabyte = 1 << 20;
constexpr int64_t reads = 1000000;

// Two _MEMNEW blocks for one benchmark, freed at its end.
struct two_blocks {
  mem_block a, b;
  explicit two_blocks(intptr_t size) {
    new_error = 0;
    mem_init();
    a = func__memnew(size);
    b = func__memnew(size);
    std::memset(reinterpret_cast<void*>(a.offset), 1, static_cast<size_t>(size));
    std::memset(reinterpret_cast<void*>(b.offset), 2, static_cast<size_t>(size));
  }
  ~two_blocks() {
    sub__memfree(&a);
    sub__memfree(&b);
  }
};

void memcopy_megabyte(benchmark::State& state) {
  two_blocks blocks(megabyte);
  for (auto _ : state) {
    sub__memcopy(&blocks.a, blocks.a.offset, megabyte, &blocks.b, blocks.b.offset);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * megabyte);
}
BENCHMARK(memcopy_megabyte);

void memmove_megabyte(benchmark::State& state) {
  two_blocks blocks(megabyte);
  for (auto _ : state) {
    std::memmove(reinterpret_cast<void*>(blocks.b.offset), reinterpret_cast<const void*>(blocks.a.offset), megabyte);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * megabyte);
}
BENCHMARK(memmove_megabyte);

// Reads cycle through 4096 values of the block, as a loop over an array
// would. Compiled programs read one value per statement, so neither loop is
// left to the vectoriser, which would turn the plain one into wide loads.
constexpr intptr_t values = 4096;

[[gnu::optimize("no-tree-vectorize", "align-loops=32")]] void memget_million(benchmark::State& state) {
  two_blocks blocks(values * 4);
  const mem_block* m = &blocks.a;
  benchmark::DoNotOptimize(m);
  for (auto _ : state) {
    int32_t sum = 0;
    for (int64_t i = 0; i < reads; ++i) {
      const intptr_t at = m->offset + (i & (values - 1)) * 4;
      int32_t v;
      std::memcpy(&v, func__memget(m, at, 4), 4);
      sum += v;
    }
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * reads);
}
BENCHMARK(memget_million);

[[gnu::optimize("no-tree-vectorize", "align-loops=32")]] void pointer_million(benchmark::State& state) {
  two_blocks blocks(values * 4);
  const auto* base = reinterpret_cast<const uint8_t*>(blocks.a.offset);
  benchmark::DoNotOptimize(base);
  for (auto _ : state) {
    int32_t sum = 0;
    for (int64_t i = 0; i < reads; ++i) {
      int32_t v;
      std::memcpy(&v, base + (i & (values - 1)) * 4, 4);
      sum += v;
    }
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * reads);
}
BENCHMARK(pointer_million);

}  // namespace
