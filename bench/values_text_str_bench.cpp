// STR$ of a million doubles against the C library's "%.15g" of the same
// values in the same run. STR$ follows the statement protocol: its
// temporary is swept after each value.
#include <benchmark/benchmark.h>

#include <bit>
#include <cmath>
#include <cstdio>
#include <random>
#include <vector>

#include "values/memory_startup.h"
#include "values/number_to_text.h"
#include "values/string_lists.h"
#include "values/string_release.h"
#include "values/string_startup.h"

namespace {

constexpr size_t value_count = 1000000;

// Random bit patterns: every exponent, so mostly exponent notation.
const std::vector<double>& any_doubles() {
  static const std::vector<double> values = [] {
    std::mt19937_64 rng(1);
    std::vector<double> v;
    while (v.size() < value_count) {
      const double d = std::bit_cast<double>(rng());
      if (std::isfinite(d)) v.push_back(d);
    }
    return v;
  }();
  return values;
}

// Values a program commonly prints: uniform in -1e6 to 1e6.
const std::vector<double>& everyday_doubles() {
  static const std::vector<double> values = [] {
    std::mt19937_64 rng(2);
    std::uniform_real_distribution<double> d(-1e6, 1e6);
    std::vector<double> v(value_count);
    for (double& x : v) x = d(rng);
    return v;
  }();
  return values;
}

void run_str(benchmark::State& state, const std::vector<double>& values) {
  mem_init();
  kxs_init();
  const uint32_t mark = kxs_tmp_list_nexti;
  for (auto _ : state) {
    for (double v : values) {
      kxs* s = kxs_str(v);
      benchmark::DoNotOptimize(s->chars);
      kxs_cleanup(mark, 0);
    }
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * values.size()));
}

void run_snprintf(benchmark::State& state, const std::vector<double>& values) {
  char text[32];
  for (auto _ : state) {
    for (double v : values) {
      benchmark::DoNotOptimize(std::snprintf(text, sizeof text, "%.15g", v));
      benchmark::ClobberMemory();
    }
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * values.size()));
}

void str_any_doubles(benchmark::State& state) { run_str(state, any_doubles()); }
void snprintf_any_doubles(benchmark::State& state) { run_snprintf(state, any_doubles()); }
void str_everyday_doubles(benchmark::State& state) { run_str(state, everyday_doubles()); }
void snprintf_everyday_doubles(benchmark::State& state) { run_snprintf(state, everyday_doubles()); }

BENCHMARK(str_any_doubles)->Unit(benchmark::kMillisecond);
BENCHMARK(snprintf_any_doubles)->Unit(benchmark::kMillisecond);
BENCHMARK(str_everyday_doubles)->Unit(benchmark::kMillisecond);
BENCHMARK(snprintf_everyday_doubles)->Unit(benchmark::kMillisecond);

}  // namespace
