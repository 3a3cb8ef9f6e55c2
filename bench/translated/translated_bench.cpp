// BASIC translated by kxc against the same loops written in C++, in one
// process: the workloads are SUBs of workloads.bas, called directly. The
// bwbasic cases run the interpreter on the same loops as whole processes,
// to compare with the translated loops of the same length.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "../bench_screen.h"
#include "screen/graphics/pixels.h"
#include "screen/images/image_statements.h"
#include "screen/images/screen_modes.h"
#include "values/memory_startup.h"
#include "values/number_to_text.h"
#include "values/string_assign.h"
#include "values/string_create.h"
#include "values/string_case.h"
#include "values/string_extract.h"
#include "values/string_search.h"
#include "values/string_lists.h"
#include "values/string_release.h"
#include "values/string_startup.h"

extern char** environ;

// The translated SUBs (workloads.bas).
void SUB_NUMERICLOOP(int32_t* n, double* s);
void SUB_SIEVE(int16_t* primes);
void SUB_GOSUBLOOP(int32_t* n, int32_t* total);
void SUB_STRINGLOOP(int32_t* n, kxs* a, kxs* b);
void SUB_APPENDLOOP(int32_t* n, kxs* s, kxs* x);
void SUB_MANDELBROT(int32_t* count);
void SUB_PSETLOOP(int32_t* n);
void SUB_TEXTSEARCH(int32_t* n, int32_t* found, int32_t* total);

namespace {

constexpr int32_t loop_count = 1'000'000;
constexpr int32_t string_count = 200'000;

void fresh_runtime() {
  mem_init();
  kxs_init();
}

void numeric_translated(benchmark::State& state) {
  fresh_runtime();
  for (auto _ : state) {
    int32_t n = loop_count;
    double s = 0;
    SUB_NUMERICLOOP(&n, &s);
    benchmark::DoNotOptimize(s);
  }
}
BENCHMARK(numeric_translated)->Unit(benchmark::kMillisecond);

void numeric_cpp(benchmark::State& state) {
  for (auto _ : state) {
    int32_t n = loop_count;
    benchmark::DoNotOptimize(n);
    double s = 0;
    for (int32_t i = 1; i <= n; ++i) s += i * 2;
    benchmark::DoNotOptimize(s);
  }
}
BENCHMARK(numeric_cpp)->Unit(benchmark::kMillisecond);

void sieve_translated(benchmark::State& state) {
  fresh_runtime();
  for (auto _ : state) {
    int16_t primes = 0;
    SUB_SIEVE(&primes);
    if (primes != 1899) state.SkipWithError("wrong count of primes");
    benchmark::DoNotOptimize(primes);
  }
}
BENCHMARK(sieve_translated)->Unit(benchmark::kMicrosecond);

void sieve_cpp(benchmark::State& state) {
  for (auto _ : state) {
    std::vector<int16_t> flags(8191);
    int16_t primes = 0;
    for (int16_t i = 0; i <= 8190; ++i) flags[static_cast<size_t>(i)] = -1;
    for (int16_t i = 0; i <= 8190; ++i) {
      if (flags[static_cast<size_t>(i)]) {
        const int16_t p = static_cast<int16_t>(i + i + 3);
        for (int32_t k = i + p; k <= 8190; k += p) flags[static_cast<size_t>(k)] = 0;
        ++primes;
      }
    }
    if (primes != 1899) state.SkipWithError("wrong count of primes");
    benchmark::DoNotOptimize(primes);
  }
}
BENCHMARK(sieve_cpp)->Unit(benchmark::kMicrosecond);

void gosub_translated(benchmark::State& state) {
  fresh_runtime();
  for (auto _ : state) {
    int32_t n = loop_count, total = 0;
    SUB_GOSUBLOOP(&n, &total);
    benchmark::DoNotOptimize(total);
  }
}
BENCHMARK(gosub_translated)->Unit(benchmark::kMillisecond);

[[gnu::noinline]] void add_one(int32_t* total) { ++*total; }

void gosub_cpp(benchmark::State& state) {
  for (auto _ : state) {
    int32_t n = loop_count, total = 0;
    benchmark::DoNotOptimize(n);
    for (int32_t i = 1; i <= n; ++i) add_one(&total);
    benchmark::DoNotOptimize(total);
  }
}
BENCHMARK(gosub_cpp)->Unit(benchmark::kMillisecond);

void strings_translated(benchmark::State& state) {
  fresh_runtime();
  kxs* a = kxs_new(0, 0);
  kxs* b = kxs_new(0, 0);
  kxs_set(a, kxs_new_txt("HELLO WORLD"));
  for (auto _ : state) {
    int32_t n = string_count;
    SUB_STRINGLOOP(&n, a, b);
    benchmark::DoNotOptimize(b->length);
  }
}
BENCHMARK(strings_translated)->Unit(benchmark::kMillisecond);

// The same runtime calls, compiled by hand, with the statement's sweep.
void strings_calls(benchmark::State& state) {
  fresh_runtime();
  kxs* a = kxs_new(0, 0);
  kxs* b = kxs_new(0, 0);
  kxs_set(a, kxs_new_txt("HELLO WORLD"));
  for (auto _ : state) {
    const uint32_t mark = kxs_tmp_list_nexti;
    for (int32_t i = 1; i <= string_count; ++i) {
      kxs_set(b, kxs_add(kxs_left(a, 5), kxs_str(i)));
      kxs_cleanup(mark, 0);
    }
    benchmark::DoNotOptimize(b->length);
  }
}
BENCHMARK(strings_calls)->Unit(benchmark::kMillisecond);

void append_translated(benchmark::State& state) {
  fresh_runtime();
  kxs* s = kxs_new(0, 0);
  kxs* x = kxs_new(0, 0);
  kxs_set(x, kxs_new_txt("x"));
  for (auto _ : state) {
    kxs_set(s, kxs_new(0, 1));
    int32_t n = 100'000;
    SUB_APPENDLOOP(&n, s, x);
    if (s->length != 100'000) state.SkipWithError("wrong length");
  }
}
BENCHMARK(append_translated)->Unit(benchmark::kMicrosecond);

void append_std_string(benchmark::State& state) {
  for (auto _ : state) {
    std::string s;
    const std::string x = "x";
    for (int32_t i = 1; i <= 100'000; ++i) s += x;
    benchmark::DoNotOptimize(s.data());
  }
}
BENCHMARK(append_std_string)->Unit(benchmark::kMicrosecond);

// bwbasic running a listing of the same loop (when it is installed).
void bwbasic_run(benchmark::State& state, const char* listing) {
  const std::string path = std::string(KX_BENCH_BASIC) + "/" + listing;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    char* argv[] = {const_cast<char*>("bwbasic"), const_cast<char*>(path.c_str()), nullptr};
    const int spawned = posix_spawnp(&pid, "bwbasic", &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
      state.SkipWithError("bwbasic is not installed");
      return;
    }
    int status = 0;
    waitpid(pid, &status, 0);
    state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
}
BENCHMARK_CAPTURE(bwbasic_run, numeric_1e6, "bw_numeric.bas")->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK_CAPTURE(bwbasic_run, sieve_10_rounds, "bw_sieve.bas")->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK_CAPTURE(bwbasic_run, gosub_1e6, "bw_gosub.bas")->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK_CAPTURE(bwbasic_run, strings_2e5, "bw_strings.bas")->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

// The Mandelbrot set and a PSET loop on the SCREEN 13 page, translated and
// as the same calls written by hand; each sets up its own page.
void screen_13() {
  bench::start_screen();
  kxg_screen(13, 0, 0, 0, 1);
  sub__dest(0);
  sub__source(0);
}

// The iterations of the whole picture, counted by the plain loop once.
int32_t mandelbrot_iterations();

void mandelbrot_translated(benchmark::State& state) {
  screen_13();
  for (auto _ : state) {
    int32_t count = 0;
    SUB_MANDELBROT(&count);
    if (count != mandelbrot_iterations()) state.SkipWithError("wrong count of iterations");
  }
}
BENCHMARK(mandelbrot_translated)->Unit(benchmark::kMillisecond);

// The picture by hand: the same SINGLE arithmetic and the same PSETs.
int32_t mandelbrot_by_hand() {
  int32_t count = 0;
  for (int16_t py = 0; py <= 199; ++py) {
    const float y0 = static_cast<float>(py - 100) / 80;
    for (int16_t px = 0; px <= 319; ++px) {
      const float x0 = static_cast<float>(px - 215) / 90;
      float x = 0, y = 0;
      int16_t n = 0;
      while (x * x + y * y <= 4 && n < 256) {
        const float xt = x * x - y * y + x0;
        y = 2 * x * y + y0;
        x = xt;
        ++n;
      }
      sub_pset(px, py, static_cast<uint32_t>(n & 255), 2);
      count += n;
    }
  }
  return count;
}

int32_t mandelbrot_iterations() {
  static const int32_t count = [] {
    screen_13();
    return mandelbrot_by_hand();
  }();
  return count;
}

void mandelbrot_cpp(benchmark::State& state) {
  screen_13();
  for (auto _ : state) benchmark::DoNotOptimize(mandelbrot_by_hand());
}
BENCHMARK(mandelbrot_cpp)->Unit(benchmark::kMillisecond);

constexpr int32_t pset_count = 100'000;

void pset_translated(benchmark::State& state) {
  screen_13();
  for (auto _ : state) {
    int32_t n = pset_count;
    SUB_PSETLOOP(&n);
  }
}
BENCHMARK(pset_translated)->Unit(benchmark::kMicrosecond);

void pset_cpp(benchmark::State& state) {
  screen_13();
  for (auto _ : state) {
    int32_t n = pset_count;
    benchmark::DoNotOptimize(n);
    for (int32_t i = 1; i <= n; ++i) sub_pset(static_cast<float>(i % 320), static_cast<float>((i / 320) % 200), i & 255, 2);
  }
}
BENCHMARK(pset_cpp)->Unit(benchmark::kMicrosecond);

// A 100,000-line text built and searched, translated and as the runtime's
// string calls written by hand.
constexpr int32_t text_lines = 100'000;

void text_translated(benchmark::State& state) {
  fresh_runtime();
  for (auto _ : state) {
    int32_t n = text_lines, found = 0, total = 0;
    SUB_TEXTSEARCH(&n, &found, &total);
    benchmark::DoNotOptimize(found);
    benchmark::DoNotOptimize(total);
  }
}
BENCHMARK(text_translated)->Unit(benchmark::kMillisecond);

void text_cpp(benchmark::State& state) {
  fresh_runtime();
  for (auto _ : state) {
    const uint32_t mark = kxs_tmp_list_nexti;
    std::vector<kxs*> lines(text_lines);
    for (int32_t i = 0; i < text_lines; ++i) {
      lines[static_cast<size_t>(i)] = kxs_new(0, 0);
      kxs_set(lines[static_cast<size_t>(i)],
              kxs_add(kxs_add(kxs_new_txt_len("line", 4), kxs_str(static_cast<int32_t>(i + 1))),
                      kxs_new_txt_len(" of the text", 12)));
      kxs_cleanup(mark, 0);
    }
    int32_t found = 0, total = 0;
    kxs* needle = kxs_new(0, 0);
    kxs_set(needle, kxs_new_txt_len("77", 2));
    for (kxs* line : lines) {
      if (func_instr(0, line, needle, 0)) ++found;
      total += kxs_len(kxs_ucase(line));
      kxs_cleanup(mark, 0);
    }
    for (kxs* line : lines) kxs_free(line);
    kxs_free(needle);
    benchmark::DoNotOptimize(found);
    benchmark::DoNotOptimize(total);
  }
}
BENCHMARK(text_cpp)->Unit(benchmark::kMillisecond);

