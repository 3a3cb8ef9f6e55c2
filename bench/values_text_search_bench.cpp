// INSTR over a 1 MB string against the C library's memmem on the same
// bytes, in the same run; _INSTRREV for comparison.
#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <string>

#include "values/memory_startup.h"
#include "values/string_create.h"
#include "values/string_search.h"
#include "values/string_startup.h"

namespace {

constexpr int32_t text_size = 1 << 20;
constexpr char needle[] = "QUICKFOX";  // upper case: never among the random letters

// Random lower-case letters with the needle once at the very end.
std::string haystack() {
  std::mt19937 rng(5);
  std::string s(text_size, 'a');
  for (char& c : s) c = static_cast<char>('a' + rng() % 26);
  std::memcpy(s.data() + text_size - (sizeof needle - 1), needle, sizeof needle - 1);
  return s;
}

void instr_1mb(benchmark::State& state) {
  mem_init();
  kxs_init();
  const std::string text = haystack();
  kxs* s = kxs_new(text_size, 0);
  std::memcpy(s->chars, text.data(), text.size());
  kxs* t = kxs_new_txt_len(needle, sizeof needle - 1);
  for (auto _ : state) benchmark::DoNotOptimize(func_instr(1, s, t, 0));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * text_size);
}

void memmem_1mb(benchmark::State& state) {
  const std::string text = haystack();
  for (auto _ : state) benchmark::DoNotOptimize(memmem(text.data(), text.size(), needle, sizeof needle - 1));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * text_size);
}

void instrrev_1mb(benchmark::State& state) {
  mem_init();
  kxs_init();
  std::string text = haystack();
  // The needle at the very start: the last occurrence is found last.
  std::memmove(text.data() + sizeof needle - 1, text.data(), text.size() - (sizeof needle - 1));
  std::memcpy(text.data(), needle, sizeof needle - 1);
  kxs* s = kxs_new(text_size, 0);
  std::memcpy(s->chars, text.data(), text.size());
  kxs* t = kxs_new_txt_len(needle, sizeof needle - 1);
  for (auto _ : state) benchmark::DoNotOptimize(func__instrrev(0, s, t, 0));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * text_size);
}

BENCHMARK(instr_1mb)->Unit(benchmark::kMicrosecond);
BENCHMARK(memmem_1mb)->Unit(benchmark::kMicrosecond);
BENCHMARK(instrrev_1mb)->Unit(benchmark::kMicrosecond);

}  // namespace
