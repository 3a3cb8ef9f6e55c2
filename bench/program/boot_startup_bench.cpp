// How fast the boot shell comes up and how much memory it holds: ten starts
// in a temporary layout, each timed from the spawn to the first frame on
// screen that shows the banner (polled straight from the X server every
// millisecond). Start-up waits for the next whole second of the wall clock
// by design, so the time after that second began is reported too. The peak
// resident size is read once the prompt is up.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <fstream>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "e2e_support.h"

namespace {

using namespace std::chrono_literals;
using clock_type = std::chrono::steady_clock;

constexpr int starts = 10;

std::optional<Window> find_window(Display* display, const char* name) {
  Window root = 0, parent = 0, *children = nullptr;
  unsigned count = 0;
  if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count)) return std::nullopt;
  std::optional<Window> found;
  for (unsigned i = 0; i < count && !found; ++i) {
    char* title = nullptr;
    if (XFetchName(display, children[i], &title) && title) {
      if (std::string(title) == name) found = children[i];
      XFree(title);
    }
  }
  if (children) XFree(children);
  return found;
}

// True once the window shows anything but black: the banner's first row of
// text lies in its top sixteen pixel rows. Without a window manager the
// window sits at (-1, -1), and only what is on the screen can be read, so
// the reading starts one pixel in.
bool shows_text(Display* display, Window window) {
  XWindowAttributes attributes;
  if (!XGetWindowAttributes(display, window, &attributes) || attributes.map_state != IsViewable) return false;
  const int width = std::min(attributes.width, 640) - 1;
  XImage* image = XGetImage(display, window, 1, 1, static_cast<unsigned>(width), 15, AllPlanes, ZPixmap);
  if (!image) return false;
  bool lit = false;
  for (int y = 0; y < 15 && !lit; ++y)
    for (int x = 0; x < width && !lit; ++x) lit = (XGetPixel(image, x, y) & 0xFFFFFF) != 0;
  XDestroyImage(image);
  return lit;
}

int error_handler(Display*, XErrorEvent*) { return 0; }  // a window may vanish mid-poll

long peak_resident_kib(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
  return -1;
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return (values[values.size() / 2] + values[(values.size() - 1) / 2]) / 2;
}

void BM_BootShellStartToBanner(benchmark::State& state) {
  e2e::xvfb server;
  Display* display = server.ok() ? XOpenDisplay(server.display().c_str()) : nullptr;
  if (!display) {
    state.SkipWithError("Xvfb did not start");
    return;
  }
  XSetErrorHandler(error_handler);
  std::vector<double> totals, after_second;
  long peak_kib = 0;
  for (auto _ : state) {
    for (int run = 0; run < starts; ++run) {
      const e2e::temp_folder root("kx_boot_bench");
      const auto exe = e2e::install_halcyonix(root.path(), "SYSTEM");
      const auto wall = std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count();
      const auto spawned = clock_type::now();
      e2e::process program(exe, {}, root.path());
      std::optional<double> shown;
      while (!shown && clock_type::now() - spawned < 20s) {
        if (const auto window = find_window(display, "HALCYONIX"); window && shows_text(display, *window))
          shown = std::chrono::duration<double>(clock_type::now() - spawned).count();
        else
          std::this_thread::sleep_for(1ms);
      }
      if (!shown) {
        state.SkipWithError("the banner never showed");
        XCloseDisplay(display);
        return;
      }
      totals.push_back(*shown);
      // The wait ends when the wall clock reaches the next whole second.
      after_second.push_back(*shown - (std::floor(wall) + 1 - wall));
      std::this_thread::sleep_for(500ms);  // the prompt is up
      peak_kib = std::max(peak_kib, peak_resident_kib(program.pid()));
      program.kill_now();
    }
  }
  XCloseDisplay(display);
  state.counters["median_start_to_banner_ms"] = 1000 * median(totals);
  state.counters["median_after_whole_second_ms"] = 1000 * median(after_second);
  state.counters["max_start_to_banner_ms"] = 1000 * *std::max_element(totals.begin(), totals.end());
  state.counters["peak_resident_kib"] = static_cast<double>(peak_kib);
}
BENCHMARK(BM_BootShellStartToBanner)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace

BENCHMARK_MAIN();
