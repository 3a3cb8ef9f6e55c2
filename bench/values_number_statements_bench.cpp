// STR$ of SINGLE and DOUBLE, and the two statement loops that spend most
// of their time in it, against the same work in plain C++ in the same run:
//   str_single / str_double           STR$ against std::to_chars
//   print_number_loop                 PRINT #1, I (SINGLE I) against
//                                     std::to_chars + fwrite and fprintf
//   left_plus_str_loop                B$ = LEFT$(A$, 5) + STR$(I) against
//                                     std::string
// Each "printf_str" case runs the printf-based conversion that STR$ used
// before, through the same string protocol, as the "before" figure.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <charconv>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "../tests/values/printf_number_text.h"
#include "files/file_open_close.h"
#include "files/file_print.h"
#include "files/files_startup.h"
#include "values/memory_startup.h"
#include "values/number_to_text.h"
#include "values/string_assign.h"
#include "values/string_create.h"
#include "values/string_extract.h"
#include "values/string_lists.h"
#include "values/string_release.h"
#include "values/string_results.h"
#include "values/string_startup.h"

namespace {

constexpr int loop_count = 2'000'000;
constexpr size_t value_count = 1'000'000;

void fresh_runtime() {
  mem_init();
  kxs_init();
  files_init();
}

std::string scratch_file(const char* name) {
  return (std::filesystem::temp_directory_path() / (std::string(name) + std::to_string(getpid()))).string();
}

// Values a program commonly shows: uniform in -1e6 to 1e6.
template <class T>
const std::vector<T>& everyday() {
  static const std::vector<T> values = [] {
    std::mt19937_64 rng(2);
    std::uniform_real_distribution<double> d(-1e6, 1e6);
    std::vector<T> v(value_count);
    for (T& x : v) x = static_cast<T>(d(rng));
    return v;
  }();
  return values;
}

// STR$ the way it was built before: the printf-based text, then a string.
kxs* printf_str(float v) {
  char text[32];
  return kx::text_result(text, static_cast<size_t>(printf_number_text::single_text(v, text)));
}
kxs* printf_str(double v) {
  char text[32];
  return kx::text_result(text, static_cast<size_t>(printf_number_text::double_text(v, text)));
}

template <class T, kxs* (*Str)(T)>
void run_str(benchmark::State& state) {
  fresh_runtime();
  const uint32_t mark = kxs_tmp_list_nexti;
  for (auto _ : state) {
    for (T v : everyday<T>()) {
      kxs* s = Str(v);
      benchmark::DoNotOptimize(s->chars);
      kxs_cleanup(mark, 0);
    }
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * value_count));
}

template <class T>
void run_to_chars(benchmark::State& state, int precision) {
  char text[48];
  for (auto _ : state) {
    for (T v : everyday<T>()) {
      benchmark::DoNotOptimize(std::to_chars(text, text + sizeof text, v, std::chars_format::scientific, precision).ptr);
      benchmark::ClobberMemory();
    }
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * value_count));
}

// The conversion alone, without making a string: the share of STR$ that
// is not the string protocol.
template <class T, int (*Text)(T, char*)>
void run_text(benchmark::State& state) {
  char text[32];
  for (auto _ : state) {
    for (T v : everyday<T>()) {
      benchmark::DoNotOptimize(Text(v, text));
      benchmark::ClobberMemory();
    }
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * value_count));
}
void text_single(benchmark::State& state) { run_text<float, kx::single_text>(state); }
void text_double(benchmark::State& state) { run_text<double, kx::double_text>(state); }
BENCHMARK(text_single)->Unit(benchmark::kMillisecond);
BENCHMARK(text_double)->Unit(benchmark::kMillisecond);

kxs* str_of_single(float v) { return kxs_str(v); }
kxs* str_of_double(double v) { return kxs_str(v); }

void str_single(benchmark::State& state) { run_str<float, str_of_single>(state); }
void printf_str_single(benchmark::State& state) { run_str<float, printf_str>(state); }
void to_chars_single(benchmark::State& state) { run_to_chars<float>(state, 6); }
void str_double(benchmark::State& state) { run_str<double, str_of_double>(state); }
void printf_str_double(benchmark::State& state) { run_str<double, printf_str>(state); }
void to_chars_double(benchmark::State& state) { run_to_chars<double>(state, 15); }
BENCHMARK(str_single)->Unit(benchmark::kMillisecond);
BENCHMARK(printf_str_single)->Unit(benchmark::kMillisecond);
BENCHMARK(to_chars_single)->Unit(benchmark::kMillisecond);
BENCHMARK(str_double)->Unit(benchmark::kMillisecond);
BENCHMARK(printf_str_double)->Unit(benchmark::kMillisecond);
BENCHMARK(to_chars_double)->Unit(benchmark::kMillisecond);

// OPEN ... FOR OUTPUT AS #1: FOR I = 1 TO 2000000: PRINT #1, I: NEXT: CLOSE
template <kxs* (*Str)(float)>
void run_print_number_loop(benchmark::State& state) {
  fresh_runtime();
  const std::string name = scratch_file("kx_numbers_");
  for (auto _ : state) {
    const uint32_t mark = kxs_tmp_list_nexti;
    sub_open(kxs_new_txt_len(name.data(), static_cast<int32_t>(name.size())), 4, 0, 0, 1, 0, 0);
    kxs_cleanup(mark, 0);
    for (int i = 1; i <= loop_count; ++i) {
      sub_file_print(1, Str(static_cast<float>(i)), 1, 0, 1);  // a number is followed by a blank
      kxs_cleanup(mark, 0);
    }
    sub_close(1, 1);
  }
  std::filesystem::remove(name);
  state.SetItemsProcessed(state.iterations() * loop_count);
}
void print_number_loop_kx(benchmark::State& state) { run_print_number_loop<str_of_single>(state); }
void print_number_loop_printf_str(benchmark::State& state) { run_print_number_loop<printf_str>(state); }

void print_number_loop_to_chars(benchmark::State& state) {
  const std::string name = scratch_file("c_numbers_");
  char text[48];
  for (auto _ : state) {
    FILE* f = std::fopen(name.c_str(), "wb");
    for (int i = 1; i <= loop_count; ++i) {
      text[0] = ' ';
      char* end = std::to_chars(text + 1, text + sizeof text, static_cast<float>(i)).ptr;
      std::memcpy(end, " \r\n", 3);
      std::fwrite(text, 1, static_cast<size_t>(end + 3 - text), f);
    }
    std::fclose(f);
  }
  std::filesystem::remove(name);
  state.SetItemsProcessed(state.iterations() * loop_count);
}

void print_number_loop_fprintf(benchmark::State& state) {
  const std::string name = scratch_file("c_numbers_");
  for (auto _ : state) {
    FILE* f = std::fopen(name.c_str(), "wb");
    for (int i = 1; i <= loop_count; ++i) std::fprintf(f, "% g\r\n", static_cast<double>(static_cast<float>(i)));
    std::fclose(f);
  }
  std::filesystem::remove(name);
  state.SetItemsProcessed(state.iterations() * loop_count);
}
BENCHMARK(print_number_loop_kx)->Unit(benchmark::kMillisecond);
BENCHMARK(print_number_loop_printf_str)->Unit(benchmark::kMillisecond);
BENCHMARK(print_number_loop_to_chars)->Unit(benchmark::kMillisecond);
BENCHMARK(print_number_loop_fprintf)->Unit(benchmark::kMillisecond);

// A$ = "HELLO WORLD": FOR I = 1 TO 2000000: B$ = LEFT$(A$, 5) + STR$(I): NEXT
template <kxs* (*Str)(float)>
void run_left_plus_str_loop(benchmark::State& state) {
  fresh_runtime();
  kxs* a = kxs_new(0, 0);
  kxs* b = kxs_new(0, 0);
  kxs_set(a, kxs_new_txt_len("HELLO WORLD", 11));
  const uint32_t mark = kxs_tmp_list_nexti;
  for (auto _ : state) {
    for (int i = 1; i <= loop_count; ++i) {
      kxs_set(b, kxs_add(kxs_left(a, 5), Str(static_cast<float>(i))));
      kxs_cleanup(mark, 0);
    }
  }
  benchmark::DoNotOptimize(b->chars);
  state.SetItemsProcessed(state.iterations() * loop_count);
}
void left_plus_str_loop_kx(benchmark::State& state) { run_left_plus_str_loop<str_of_single>(state); }
void left_plus_str_loop_printf_str(benchmark::State& state) { run_left_plus_str_loop<printf_str>(state); }

void left_plus_str_loop_std(benchmark::State& state) {
  const std::string a = "HELLO WORLD";
  std::string b;
  char text[48];
  for (auto _ : state) {
    for (int i = 1; i <= loop_count; ++i) {
      text[0] = ' ';
      char* end = std::to_chars(text + 1, text + sizeof text, static_cast<float>(i)).ptr;
      b = a.substr(0, 5) + std::string(text, end);
      benchmark::DoNotOptimize(b.data());
    }
  }
  state.SetItemsProcessed(state.iterations() * loop_count);
}
BENCHMARK(left_plus_str_loop_kx)->Unit(benchmark::kMillisecond);
BENCHMARK(left_plus_str_loop_printf_str)->Unit(benchmark::kMillisecond);
BENCHMARK(left_plus_str_loop_std)->Unit(benchmark::kMillisecond);

}  // namespace
