// PRINT USING "#####.##" of a million SINGLE and DOUBLE values against the
// C library's "%8.2f" of the same values in the same run. The formatted
// text goes to a plain buffer, so that both sides measure the formatting.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <vector>

#include "values/memory_startup.h"
#include "values/print_using.h"
#include "values/string_create.h"
#include "values/string_startup.h"

namespace {

constexpr size_t value_count = 1000000;

// Values a program commonly prints: uniform in -1e5 to 1e5.
template <class T>
const std::vector<T>& everyday_values() {
  static const std::vector<T> values = [] {
    std::mt19937_64 rng(3);
    std::uniform_real_distribution<double> d(-1e5, 1e5);
    std::vector<T> v(value_count);
    for (T& x : v) x = static_cast<T>(d(rng));
    return v;
  }();
  return values;
}

// Keeps the last line, as a screen or file would take it.
class buffer_destination final : public kx::using_destination {
 public:
  void append(const uint8_t* bytes, size_t length) override {
    length_ = length < sizeof text_ ? length : sizeof text_;
    std::memcpy(text_, bytes, length_);
  }
  const char* text() const { return text_; }

 private:
  char text_[64] = {};
  size_t length_ = 0;
};

template <class T>
void print_using_values(benchmark::State& state) {
  mem_init();
  kxs_init();
  static constexpr char format_text[] = "#####.##";
  kxs* format = kxs_new(sizeof format_text - 1, 0);
  std::memcpy(format->chars, format_text, sizeof format_text - 1);
  buffer_destination line;
  const std::vector<T>& values = everyday_values<T>();
  for (auto _ : state) {
    for (T v : values) {
      if constexpr (sizeof(T) == 4)
        print_using_single(format, v, 0, line);
      else
        print_using_double(format, v, 0, line);
      benchmark::DoNotOptimize(line.text());
    }
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * values.size()));
}

template <class T>
void snprintf_values(benchmark::State& state) {
  const std::vector<T>& values = everyday_values<T>();
  char text[64];
  for (auto _ : state) {
    for (T v : values) {
      std::snprintf(text, sizeof text, "%8.2f", static_cast<double>(v));
      benchmark::DoNotOptimize(text);
    }
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * values.size()));
}

void print_using_single_values(benchmark::State& state) { print_using_values<float>(state); }
void print_using_double_values(benchmark::State& state) { print_using_values<double>(state); }
void snprintf_single_values(benchmark::State& state) { snprintf_values<float>(state); }
void snprintf_double_values(benchmark::State& state) { snprintf_values<double>(state); }
BENCHMARK(print_using_single_values)->Unit(benchmark::kMillisecond);
BENCHMARK(snprintf_single_values)->Unit(benchmark::kMillisecond);
BENCHMARK(print_using_double_values)->Unit(benchmark::kMillisecond);
BENCHMARK(snprintf_double_values)->Unit(benchmark::kMillisecond);

}  // namespace
