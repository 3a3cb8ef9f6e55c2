// The statement check when nothing is pending: the compiled code's test of
// kxevent after every statement, against the same loop without it.
#include <benchmark/benchmark.h>

#include "frame/statement_check.h"

namespace {

void BM_StatementsWithoutCheck(benchmark::State& state) {
  int64_t x = 0;
  for (auto _ : state) {
    ++x;
    benchmark::DoNotOptimize(x);
  }
}
BENCHMARK(BM_StatementsWithoutCheck);

void BM_StatementsWithCheck(benchmark::State& state) {
  int64_t x = 0;
  for (auto _ : state) {
    do {
      ++x;
      benchmark::DoNotOptimize(x);
      if (!kxevent) break;
      evnt(1);
    } while (r);
  }
}
BENCHMARK(BM_StatementsWithCheck);

}  // namespace
