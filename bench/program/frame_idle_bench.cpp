// The program's processor use while it sits idle with its window open:
// halcyonix runs in a private X server, and its user and system time over
// ten seconds are reported as a percentage of one core.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "e2e_support.h"

namespace {

// User plus system time of a process, in seconds.
double cpu_seconds(pid_t pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
  // Fields after the command name, which is in parentheses.
  std::istringstream fields(text.substr(text.rfind(')') + 2));
  std::string field;
  long long utime = 0, stime = 0;
  for (int i = 3; i <= 15 && fields >> field; ++i) {
    if (i == 14) utime = std::stoll(field);
    if (i == 15) stime = std::stoll(field);
  }
  return static_cast<double>(utime + stime) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

void BM_IdleWindowCpu(benchmark::State& state) {
  e2e::xvfb server;
  if (!server.ok()) {
    state.SkipWithError("Xvfb did not start");
    return;
  }
  e2e::process program(e2e::halcyonix_path(), {});
  if (!e2e::wait_for_window("Untitled", std::chrono::seconds(20))) {
    state.SkipWithError("no window");
    return;
  }
  std::this_thread::sleep_for(std::chrono::seconds(1));  // past start-up
  constexpr double seconds = 10.0;
  double percent = 0;
  for (auto _ : state) {
    const double before = cpu_seconds(program.pid());
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    const double used = cpu_seconds(program.pid()) - before;
    percent = 100.0 * used / seconds;
    state.SetIterationTime(seconds);
  }
  state.counters["cpu_percent_of_one_core"] = percent;
}
BENCHMARK(BM_IdleWindowCpu)->UseManualTime()->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace

BENCHMARK_MAIN();
