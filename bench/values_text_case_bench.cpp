// UCASE$ of a 1 MB temporary, changed in place, against a plain byte loop
// over a buffer of the same bytes, in the same run.
#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <string>

#include "values/memory_startup.h"
#include "values/string_case.h"
#include "values/string_create.h"
#include "values/string_startup.h"

namespace {

constexpr int32_t text_size = 1 << 20;

std::string mixed_text() {
  std::mt19937 rng(9);
  std::string s(text_size, ' ');
  for (char& c : s) c = static_cast<char>(32 + rng() % 95);
  return s;
}

// Each pass turns the text to upper case and then to lower case, so both
// sides change every letter twice per pass.
void ucase_1mb_temporary(benchmark::State& state) {
  mem_init();
  kxs_init();
  const std::string text = mixed_text();
  kxs* s = kxs_new(text_size, 1);
  std::memcpy(s->chars, text.data(), text.size());
  for (auto _ : state) {
    s = kxs_lcase(kxs_ucase(s));
    benchmark::DoNotOptimize(s->chars);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * 2 * text_size);
}

void byte_loop_1mb(benchmark::State& state) {
  std::string text = mixed_text();
  for (auto _ : state) {
    for (char& c : text)
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    benchmark::ClobberMemory();
    for (char& c : text)
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    benchmark::DoNotOptimize(text.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * 2 * text_size);
}

BENCHMARK(ucase_1mb_temporary)->Unit(benchmark::kMicrosecond);
BENCHMARK(byte_loop_1mb)->Unit(benchmark::kMicrosecond);

}  // namespace
