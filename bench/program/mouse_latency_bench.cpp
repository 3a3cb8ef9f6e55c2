// Latency from an X pointer motion to _MOUSEX seeing it: 1,000 moves sent
// through the X test extension (xdotool reading commands from a pipe, so no
// process starts per move) to a program that polls _MOUSEINPUT and stamps
// each new position on the same monotonic clock. Reports the median and the
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

constexpr int move_count = 1000;

struct seen_move {
  int x;
  long long at;
};

std::vector<seen_move> moves(const std::string& output) {
  std::vector<seen_move> out;
  std::istringstream in(output);
  std::string word;
  seen_move m{};
  while (in >> word) {
    if (word == "move" && in >> m.x >> m.at) out.push_back(m);
  }
  return out;
}

void BM_MouseMoveToMousex(benchmark::State& state) {
  e2e::xvfb server;
  if (!server.ok()) {
    state.SkipWithError("Xvfb did not start");
    return;
  }
  e2e::process program(e2e::program_path("mouse_latency"), {});
  const auto window = e2e::wait_until_ready(program);
  if (!window) {
    state.SkipWithError("no window");
    return;
  }
  e2e::move_to_origin(*window);
  e2e::run_tool({"xdotool", "windowfocus", "--sync", std::to_string(*window)});
  std::this_thread::sleep_for(1s);
  FILE* xdotool = popen("xdotool -", "w");
  if (!xdotool) {
    state.SkipWithError("xdotool did not start");
    return;
  }
  const size_t before = moves(program.output()).size();
  std::vector<long long> sent;
  std::vector<int> sent_x;
  // Moves come at uneven gaps, so that they meet the window thread at
  // every point of its cycle; each goes to a new column.
  std::mt19937 random(7);
  std::uniform_int_distribution<int> gap_us(20'000, 30'000);
  for (auto _ : state) {
    for (int i = 0; i < move_count; ++i) {
      const int x = 20 + (i % 2 ? 300 : 0) + i % 290;
      sent_x.push_back(x);
      sent.push_back(monotonic_us());
      std::fprintf(xdotool, "mousemove %d %d\n", x, 100 + i % 200);
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
  auto received = moves(program.output());
  received.erase(received.begin(), received.begin() + static_cast<long>(std::min(before, received.size())));
  if (received.size() != sent.size()) {
    state.SkipWithError(
        ("moves lost: " + std::to_string(received.size()) + " of " + std::to_string(sent.size())).c_str());
    return;
  }
  std::vector<double> latency_ms;
  for (size_t i = 0; i < sent.size(); ++i) {
    if (received[i].x != sent_x[i]) {
      state.SkipWithError("moves out of order");
      return;
    }
    latency_ms.push_back(static_cast<double>(received[i].at - sent[i]) / 1000.0);
  }
  state.counters["median_ms"] = percentile(latency_ms, 0.5);
  state.counters["p99_ms"] = percentile(latency_ms, 0.99);
  state.counters["max_ms"] = percentile(latency_ms, 1.0);
  state.counters["median_vs_2ms_target"] = percentile(latency_ms, 0.5) / 2.0;
}
BENCHMARK(BM_MouseMoveToMousex)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
BENCHMARK_MAIN();
