// String operations of compiled statements against the same work done with
// std::string in the same run. Each kxs case follows the statement
// protocol: the statement's temporaries are swept at its end.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

#include "values/memory_startup.h"
#include "values/string_append.h"
#include "values/string_assign.h"
#include "values/string_create.h"
#include "values/string_lists.h"
#include "values/string_pools.h"
#include "values/string_release.h"
#include "values/string_startup.h"

namespace {

constexpr char short_text[] = "HELLO WORLD";  // 11 bytes: inside std::string's inline buffer
constexpr int32_t short_length = sizeof short_text - 1;
constexpr char long_text[] = "THE QUICK BROWN FOX JUMPS";  // 25 bytes: std::string allocates
constexpr int32_t long_length = sizeof long_text - 1;

void fresh_strings() {
  mem_init();
  kxs_init();
}

// a$ = "HELLO WORLD"
void kxs_assign_literal(benchmark::State& state) {
  fresh_strings();
  kxs* a = kxs_new(0, 0);
  const uint32_t mark = kxs_tmp_list_nexti;
  for (auto _ : state) {
    kxs_set(a, kxs_new_txt_len(short_text, short_length));
    kxs_cleanup(mark, 0);
    benchmark::DoNotOptimize(a->chars);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(kxs_assign_literal);

// The same statement in std::string terms: a temporary from the literal,
// assigned to the variable, and the temporary gone at the statement's end.
void std_assign_literal(benchmark::State& state) {
  std::string a;
  for (auto _ : state) {
    a = std::string(short_text, short_length);
    benchmark::DoNotOptimize(a.data());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(std_assign_literal);

// Copying the literal straight into the variable, which compiled BASIC
// cannot express, for scale.
void std_assign_in_place(benchmark::State& state) {
  std::string a;
  for (auto _ : state) {
    a.assign(short_text, short_length);
    benchmark::DoNotOptimize(a.data());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(std_assign_in_place);

// c$ = a$ + b$
void kxs_concatenate(benchmark::State& state) {
  fresh_strings();
  kxs* a = kxs_new(0, 0);
  kxs* b = kxs_new(0, 0);
  kxs* c = kxs_new(0, 0);
  kxs_set(a, kxs_new_txt("HELLO "));
  kxs_set(b, kxs_new_txt("WORLD"));
  const uint32_t mark = kxs_tmp_list_nexti;
  for (auto _ : state) {
    kxs_set(c, kxs_add(a, b));
    kxs_cleanup(mark, 0);
    benchmark::DoNotOptimize(c->chars);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(kxs_concatenate);

void std_concatenate(benchmark::State& state) {
  std::string a = "HELLO ";
  std::string b = "WORLD";
  std::string c;
  for (auto _ : state) {
    c = a + b;
    benchmark::DoNotOptimize(c.data());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(std_concatenate);

// A statement that makes five temporaries of the given text, then the sweep.
void kxs_five_temporaries(benchmark::State& state, const char* text, int32_t length) {
  fresh_strings();
  const uint32_t mark = kxs_tmp_list_nexti;
  for (auto _ : state) {
    for (int i = 0; i < 5; ++i) {
      kxs* t = kxs_new(length, 1);
      std::memcpy(t->chars, text, static_cast<size_t>(length));
      benchmark::DoNotOptimize(t);
    }
    kxs_cleanup(mark, 0);
    benchmark::ClobberMemory();
  }
}
BENCHMARK_CAPTURE(kxs_five_temporaries, short, short_text, short_length);
BENCHMARK_CAPTURE(kxs_five_temporaries, long, long_text, long_length);

void std_five_temporaries(benchmark::State& state, const char* text, int32_t length) {
  for (auto _ : state) {
    std::string t1(text, static_cast<size_t>(length));
    std::string t2(text, static_cast<size_t>(length));
    std::string t3(text, static_cast<size_t>(length));
    std::string t4(text, static_cast<size_t>(length));
    std::string t5(text, static_cast<size_t>(length));
    benchmark::DoNotOptimize(t1.data());
    benchmark::DoNotOptimize(t2.data());
    benchmark::DoNotOptimize(t3.data());
    benchmark::DoNotOptimize(t4.data());
    benchmark::DoNotOptimize(t5.data());
    benchmark::ClobberMemory();
  }
}
BENCHMARK_CAPTURE(std_five_temporaries, short, short_text, short_length);
BENCHMARK_CAPTURE(std_five_temporaries, long, long_text, long_length);

// For scale: only the bookkeeping that the string model requires of every
// temporary, on the runtime's own arrays: a descriptor off the free stack,
// the fill level, a slot on the main and on the temporary list with their
// ends, and in the sweep the descriptor back on the stack. The descriptor is
// neither written nor read and nothing is checked, so no statement that
// makes five temporaries can run faster than this.
void floor_five_temporaries(benchmark::State& state, const char* text, int32_t length) {
  fresh_strings();
  const uint32_t mark = kxs_tmp_list_nexti;
  for (int i = 0; i < 5; ++i) kxs_new(0, 1);
  kxs_cleanup(mark, 0);  // five descriptors on the free stack
  const uint32_t list_start = kxs_list_nexti;
  const uint64_t sp_start = kxs_sp;
  for (auto _ : state) {
    for (int i = 0; i < 5; ++i) {
      const uint64_t sp = kxs_sp;
      const uint32_t slot = kxs_list_nexti;
      const uint32_t temp = kxs_tmp_list_nexti;
      kxs* s = kxs_malloc_freed[--kxs_malloc_freed_num];
      kxs_sp = sp + static_cast<uint64_t>(length) + kxs_slack;
      kxs_list[slot] = s;
      kxs_list_nexti = slot + 1;
      kxs_tmp_list[temp] = s;
      kxs_tmp_list_nexti = temp + 1;
      std::memcpy(kxs_data + sp, text, static_cast<size_t>(length));
      benchmark::DoNotOptimize(s);
    }
    while (kxs_tmp_list_nexti > mark) kxs_malloc_freed[kxs_malloc_freed_num++] = kxs_tmp_list[--kxs_tmp_list_nexti];
    kxs_list_nexti = list_start;
    kxs_sp = sp_start;
    benchmark::ClobberMemory();
  }
}
BENCHMARK_CAPTURE(floor_five_temporaries, short, short_text, short_length);

// s$ = s$ + "x", 100,000 times.
constexpr int appends = 100000;

// One statement form, appended `appends` times to a string in a fresh pool.
template <void (*Append)(kxs*)>
void run_append(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();  // a fresh pool for every string, outside the count
    fresh_strings();
    kxs* s = kxs_new(0, 0);
    state.ResumeTiming();
    const uint32_t mark = kxs_tmp_list_nexti;
    for (int i = 0; i < appends; ++i) {
      Append(s);
      kxs_cleanup(mark, 0);
    }
    benchmark::DoNotOptimize(s->chars);
    if (s->length != appends) state.SkipWithError("wrong length");
  }
}

// The plain form: s$ = s$ + "x" as a sum, then an assignment.
void plain_form(kxs* s) { kxs_set(s, kxs_add(s, kxs_new_txt_len("x", 1))); }
// The same statement compiled to the in-place append.
void append_entry(kxs* s) { kxs_append(s, kxs_new_txt_len("x", 1)); }
// And to the append of a literal, which needs no temporary at all.
void append_literal(kxs* s) { kxs_append_txt_len(s, "x", 1); }

void kxs_append_character(benchmark::State& state) { run_append<plain_form>(state); }
void kxs_append_entry_character(benchmark::State& state) { run_append<append_entry>(state); }
void kxs_append_literal_character(benchmark::State& state) { run_append<append_literal>(state); }
BENCHMARK(kxs_append_character)->Unit(benchmark::kMillisecond);
BENCHMARK(kxs_append_entry_character)->Unit(benchmark::kMillisecond);
BENCHMARK(kxs_append_literal_character)->Unit(benchmark::kMillisecond);

void std_append_character(benchmark::State& state) {
  for (auto _ : state) {
    std::string s;
    for (int i = 0; i < appends; ++i) s = s + "x";
    benchmark::DoNotOptimize(s.data());
  }
}
BENCHMARK(std_append_character)->Unit(benchmark::kMillisecond);

// The C++ in-place append, of a character and of a one-character string
// (the statement's own form): what kxs_append is measured against.
template <class Piece>
void std_append_in_place(benchmark::State& state, Piece piece) {
  for (auto _ : state) {
    std::string s;
    for (int i = 0; i < appends; ++i) s += piece;
    benchmark::DoNotOptimize(s.data());
  }
}
BENCHMARK_CAPTURE(std_append_in_place, character, 'x')->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(std_append_in_place, literal, "x")->Unit(benchmark::kMillisecond);

// s$ = s$ + x$ with x$ a one-character variable, 100,000 times: the append
// of a string operand, against std::string += of a string.
void kxs_append_string_variable(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    fresh_strings();
    kxs* s = kxs_new(0, 0);
    kxs* x = kxs_new(0, 0);
    kxs_set(x, kxs_new_txt_len("x", 1));
    state.ResumeTiming();
    const uint32_t mark = kxs_tmp_list_nexti;
    for (int i = 0; i < appends; ++i) {
      kxs_append(s, x);
      kxs_cleanup(mark, 0);
    }
    benchmark::DoNotOptimize(s->chars);
    if (s->length != appends) state.SkipWithError("wrong length");
  }
}
BENCHMARK(kxs_append_string_variable)->Unit(benchmark::kMillisecond);

void std_append_string_variable(benchmark::State& state) {
  const std::string x = "x";
  benchmark::DoNotOptimize(x.data());
  for (auto _ : state) {
    std::string s;
    for (int i = 0; i < appends; ++i) s += x;
    benchmark::DoNotOptimize(s.data());
  }
}
BENCHMARK(std_append_string_variable)->Unit(benchmark::kMillisecond);

// s$ = s$ + "x": t$ = <a function's one-character result>, 100,000 times:
// the other variable takes the pool's place right behind the growing one
// at every statement.
void kxs_append_then_assign(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    fresh_strings();
    kxs* s = kxs_new(0, 0);
    kxs* t = kxs_new(0, 0);
    state.ResumeTiming();
    const uint32_t mark = kxs_tmp_list_nexti;
    for (int i = 0; i < appends; ++i) {
      kxs_append_txt_len(s, "x", 1);
      kxs_cleanup(mark, 0);
      kxs* result = kxs_new(1, 1);
      result->chars[0] = static_cast<uint8_t>('A' + i % 26);
      kxs_set(t, result);
      kxs_cleanup(mark, 0);
    }
    benchmark::DoNotOptimize(s->chars);
    if (s->length != appends || t->length != 1) state.SkipWithError("wrong length");
  }
}
BENCHMARK(kxs_append_then_assign)->Unit(benchmark::kMillisecond);

void std_append_then_assign(benchmark::State& state) {
  for (auto _ : state) {
    std::string s, t;
    for (int i = 0; i < appends; ++i) {
      s += 'x';
      t = std::string(1, static_cast<char>('A' + i % 26));
      benchmark::DoNotOptimize(t.data());
    }
    benchmark::DoNotOptimize(s.data());
  }
}
BENCHMARK(std_append_then_assign)->Unit(benchmark::kMillisecond);

uint64_t status_kib(const char* field) {
  std::ifstream status("/proc/self/status");
  std::string key;
  uint64_t kib = 0;
  while (status >> key) {
    if (key == field) {
      status >> kib;
      break;
    }
  }
  return kib;
}

// Ten million temporaries, five per statement, each statement swept: the
// resident size and the peak after the first million and after all ten
// must be equal.
void kxs_ten_million_temporaries(benchmark::State& state) {
  for (auto _ : state) {
    fresh_strings();
    const uint32_t mark = kxs_tmp_list_nexti;
    constexpr int statements = 2000000;
    uint64_t after_first_million = 0;
    uint64_t peak_first_million = 0;
    for (int n = 0; n < statements; ++n) {
      for (int i = 0; i < 5; ++i) {
        kxs* t = kxs_new(long_length, 1);
        std::memcpy(t->chars, long_text, long_length);
        benchmark::DoNotOptimize(t);
      }
      kxs_cleanup(mark, 0);
      if (n == statements / 10 - 1) {
        after_first_million = status_kib("VmRSS:");
        peak_first_million = status_kib("VmHWM:");
      }
    }
    const uint64_t after_all = status_kib("VmRSS:");
    state.counters["peak_1M_KiB"] = static_cast<double>(peak_first_million);
    state.counters["peak_10M_KiB"] = static_cast<double>(status_kib("VmHWM:"));
    state.counters["rss_1M_KiB"] = static_cast<double>(after_first_million);
    state.counters["rss_10M_KiB"] = static_cast<double>(after_all);
    state.counters["growth_KiB"] = static_cast<double>(after_all) - static_cast<double>(after_first_million);
    state.counters["pool_bytes"] = static_cast<double>(kxs_data_size);
    state.counters["tmp_slots"] = static_cast<double>(kxs_tmp_list_lasti + 1);
  }
}
BENCHMARK(kxs_ten_million_temporaries)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
