// Processor use of a program that sits idle with its window open: each
// benchmark starts a program in a private X server, waits until it has
// settled, and reports its user and system time over ten seconds as a
// percentage of one core.
#include <benchmark/benchmark.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "e2e_support.h"

namespace {

using namespace std::chrono_literals;

constexpr double measured_seconds = 10.0;

void measure_idle(benchmark::State& state, const std::string& path, const std::vector<std::string>& args,
                  const std::string& title, const std::string& cwd) {
  e2e::xvfb server;
  if (!server.ok()) {
    state.SkipWithError("Xvfb did not start");
    return;
  }
  e2e::process program(path, args, cwd);
  if (!e2e::wait_for_window(title, 20s)) {
    state.SkipWithError("no window");
    return;
  }
  std::this_thread::sleep_for(3s);  // past start-up and the first frames
  double percent = 0;
  for (auto _ : state) {
    const double before = e2e::cpu_seconds(program.pid());
    std::this_thread::sleep_for(std::chrono::duration<double>(measured_seconds));
    percent = 100.0 * (e2e::cpu_seconds(program.pid()) - before) / measured_seconds;
    state.SetIterationTime(measured_seconds);
  }
  state.counters["cpu_percent_of_one_core"] = percent;
}

// The screen test program's LOCATE 5, 10, 1 and key wait: a blinking cursor
// on an otherwise still text screen.
void BM_IdleBlinkingCursorCpu(benchmark::State& state) {
  measure_idle(state, e2e::program_path("screen_show"), {"cursor"}, "Untitled", "");
}
BENCHMARK(BM_IdleBlinkingCursorCpu)->UseManualTime()->Iterations(1)->Unit(benchmark::kSecond);

// The boot shell in a layout without a boot script, waiting at its
// "Press any key to continue" prompt.
void BM_IdleBootShellPromptCpu(benchmark::State& state) {
  const e2e::temp_folder root("kx_idle_boot");
  const auto exe = e2e::install_halcyonix(root.path(), "SYSTEM");
  measure_idle(state, exe, {}, "HALCYONIX", root.path());
}
BENCHMARK(BM_IdleBootShellPromptCpu)->UseManualTime()->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace

BENCHMARK_MAIN();
