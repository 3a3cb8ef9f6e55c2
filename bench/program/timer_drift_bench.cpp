// ON TIMER(1) over ten seconds in a running program: when each event's
// handler runs, measured from TIMER ON. Reports the first event's delay,
// the mean period and the tenth event's lateness against 10 s, the figure
// that shows drift.
#include <benchmark/benchmark.h>

#include <sstream>
#include <string>
#include <vector>

#include "e2e_support.h"

namespace {

using namespace std::chrono_literals;

void BM_OnTimerOneSecondOverTenSeconds(benchmark::State& state) {
  e2e::xvfb server;
  if (!server.ok()) {
    state.SkipWithError("Xvfb did not start");
    return;
  }
  std::vector<long> times;
  for (auto _ : state) {
    e2e::process program(e2e::program_path("timer_traps"), {"tick"});
    if (program.wait_exit(40s) != 0) {
      state.SkipWithError("the program did not end");
      return;
    }
    std::istringstream in(program.output());
    std::string line;
    while (std::getline(in, line)) {
      if (line.rfind("timer ", 0) == 0) times.push_back(std::stol(line.substr(6)));
    }
  }
  if (times.size() != 10) {
    state.SkipWithError("not ten events");
    return;
  }
  state.counters["first_ms"] = static_cast<double>(times.front());
  state.counters["mean_period_ms"] = static_cast<double>(times.back() - times.front()) / 9.0;
  state.counters["tenth_late_ms"] = static_cast<double>(times.back() - 10'000);
  state.counters["tenth_vs_10s"] = static_cast<double>(times.back()) / 10'000.0;
}
BENCHMARK(BM_OnTimerOneSecondOverTenSeconds)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace

BENCHMARK_MAIN();
