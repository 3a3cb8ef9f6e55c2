// Latency from an X key event to INKEY$ returning the key: 1,000 key
// presses sent through the X test extension (xdotool reading commands from
// a pipe, so no process starts per key) to a program that polls INKEY$ and
// stamps each key on the same monotonic clock. Reports the median and the
// 99th percentile in milliseconds.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "e2e_support.h"

namespace {

using namespace std::chrono_literals;
using e2e::monotonic_us;
using e2e::percentile;

constexpr int key_count = 1000;

// The "key CODE TIME" lines of the program's output, as times.
std::vector<long long> key_times(const std::string& output) {
  std::vector<long long> times;
  std::istringstream in(output);
  std::string word;
  unsigned code = 0;
  long long at = 0;
  while (in >> word) {
    if (word == "key" && in >> code >> at && code != 27) times.push_back(at);
  }
  return times;
}

void BM_KeyEventToInkey(benchmark::State& state) {
  e2e::xvfb server;
  if (!server.ok()) {
    state.SkipWithError("Xvfb did not start");
    return;
  }
  e2e::process program(e2e::program_path("input_latency"), {});
  const auto window = e2e::wait_until_ready(program);
  if (!window) {
    state.SkipWithError("no window");
    return;
  }
  e2e::run_tool({"xdotool", "windowfocus", "--sync", std::to_string(*window)});
  std::this_thread::sleep_for(1s);
  FILE* xdotool = popen("xdotool -", "w");
  if (!xdotool) {
    state.SkipWithError("xdotool did not start");
    return;
  }
  std::vector<long long> sent;
  // Keys come at uneven gaps, so that they meet the window thread at every
  // point of its cycle.
  std::mt19937 random(7);
  std::uniform_int_distribution<int> gap_us(20'000, 30'000);
  for (auto _ : state) {
    for (int i = 0; i < key_count; ++i) {
      const char letter = static_cast<char>('a' + i % 26);
      sent.push_back(monotonic_us());
      std::fprintf(xdotool, "key %c\n", letter);
      std::fflush(xdotool);
      std::this_thread::sleep_for(std::chrono::microseconds(gap_us(random)));
    }
    std::fprintf(xdotool, "key Escape\n");
    std::fflush(xdotool);
  }
  pclose(xdotool);
  if (program.wait_exit(20s) != 0) {
    state.SkipWithError("the program did not end");
    return;
  }
  const auto received = key_times(program.output());
  if (received.size() != sent.size()) {
    state.SkipWithError(("keys lost: " + std::to_string(received.size()) + " of " + std::to_string(sent.size()))
                            .c_str());
    return;
  }
  std::vector<double> latency_ms;
  for (size_t i = 0; i < sent.size(); ++i) latency_ms.push_back(static_cast<double>(received[i] - sent[i]) / 1000.0);
  state.counters["median_ms"] = percentile(latency_ms, 0.5);
  state.counters["p99_ms"] = percentile(latency_ms, 0.99);
  state.counters["max_ms"] = percentile(latency_ms, 1.0);
  state.counters["median_vs_2ms_target"] = percentile(latency_ms, 0.5) / 2.0;
}
BENCHMARK(BM_KeyEventToInkey)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
BENCHMARK_MAIN();
