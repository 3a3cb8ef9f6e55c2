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

#include "values/memory_startup.h"
#include "values/number_to_text.h"
#include "values/string_assign.h"
#include "values/string_create.h"
#include "values/string_extract.h"
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
