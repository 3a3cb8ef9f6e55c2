// Memory-model pieces against plain C++ doing the same work in the same
// run: packed bit-array access against shifts and masks on a std::vector
// of 64-bit words, and conventional-memory blocks against malloc/free.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <vector>

#include "values/bit_arrays.h"
#include "values/cmem_dynamic.h"
#include "values/memory_startup.h"

namespace {

constexpr int64_t elements = 4096;

// Writes then reads back every element of a packed array of the given width.
void bits_set_get(benchmark::State& state) {
  const auto width = static_cast<uint32_t>(state.range(0));
  std::vector<uint8_t> storage(static_cast<size_t>(elements * width / 8 + 1));
  for (auto _ : state) {
    for (int64_t i = 0; i < elements; ++i) setbits(width, storage.data(), i, i * 7);
    uint64_t sum = 0;
    for (int64_t i = 0; i < elements; ++i) sum += getubits(width, storage.data(), i);
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * elements * 2);
}
BENCHMARK(bits_set_get)->Arg(1)->Arg(4)->Arg(13)->Arg(57);

// The same elements kept unpacked, one per 64-bit word, masked to width.
void words_set_get(benchmark::State& state) {
  const auto width = static_cast<uint32_t>(state.range(0));
  const uint64_t mask = (uint64_t{1} << width) - 1;
  std::vector<uint64_t> storage(elements);
  for (auto _ : state) {
    for (int64_t i = 0; i < elements; ++i) storage[static_cast<size_t>(i)] = static_cast<uint64_t>(i * 7) & mask;
    benchmark::ClobberMemory();
    uint64_t sum = 0;
    for (int64_t i = 0; i < elements; ++i) sum += storage[static_cast<size_t>(i)];
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * elements * 2);
}
BENCHMARK(words_set_get)->Arg(1)->Arg(4)->Arg(13)->Arg(57);

// A SUB's dynamic arrays: take eight blocks, release them in reverse.
void cmem_blocks(benchmark::State& state) {
  mem_init();
  for (auto _ : state) {
    uint8_t* blocks[8];
    for (int i = 0; i < 8; ++i) blocks[i] = cmem_dynamic_malloc(static_cast<uint32_t>(64 + 32 * i));
    benchmark::DoNotOptimize(blocks);
    for (int i = 7; i >= 0; --i) cmem_dynamic_free(blocks[i]);
  }
}
BENCHMARK(cmem_blocks);

void heap_blocks(benchmark::State& state) {
  for (auto _ : state) {
    void* blocks[8];
    for (int i = 0; i < 8; ++i) blocks[i] = std::malloc(static_cast<size_t>(64 + 32 * i));
    benchmark::DoNotOptimize(blocks);
    for (int i = 7; i >= 0; --i) std::free(blocks[i]);
  }
}
BENCHMARK(heap_blocks);

}  // namespace
