#pragma once
// What the whole-program tests need: a private X server, child processes
// with their output captured, and the X tools that find, measure, click and
// photograph windows.
#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>

#include "screen_reader.h"
#include <string>
#include <vector>

namespace e2e {

using namespace std::chrono_literals;

// Paths of the programs under test.
std::string halcyonix_path();
std::string program_path(const std::string& name);  // a test program in e2e-bin
std::string wm_delete_path();
std::string wm_watch_path();  // prints the requests sent to a window manager
std::string clip_peer_path();  // a clipboard requestor and owner that misbehave

// A folder of its own below the system's temporary directory, removed with
// everything in it when the object goes.
class temp_folder {
 public:
  explicit temp_folder(const std::string& stem);
  ~temp_folder();
  temp_folder(const temp_folder&) = delete;
  temp_folder& operator=(const temp_folder&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// Copies halcyonix into root/folder/halcyonix (making the folders) and
// returns its path.
std::string install_halcyonix(const std::string& root, const std::string& folder);

// A private X server on a display number it chooses itself; DISPLAY points
// at it while it lives.
class xvfb {
 public:
  xvfb();
  ~xvfb();
  xvfb(const xvfb&) = delete;
  xvfb& operator=(const xvfb&) = delete;
  bool ok() const { return pid_ > 0; }
  const std::string& display() const { return display_; }

 private:
  pid_t pid_ = -1;
  std::string display_;
};

// A child process whose standard output and error go to files.
class process {
 public:
  process(const std::string& path, const std::vector<std::string>& args, const std::string& cwd = "",
          const std::vector<std::string>& extra_env = {});  // NAME=value sets, a bare NAME unsets
  ~process();
  process(const process&) = delete;
  process& operator=(const process&) = delete;
  bool started() const { return pid_ > 0; }
  pid_t pid() const { return pid_; }
  // The exit status once it has exited within the time, or nothing (-1 for
  // death by a signal).
  std::optional<int> wait_exit(std::chrono::milliseconds timeout);
  bool running();
  void kill_now();
  std::string output() const;
  std::string errors() const;

 private:
  pid_t pid_ = -1;
  std::optional<int> status_;
  std::string out_path_;
  std::string err_path_;
};

// The lines of text that start with prefix, each without it, in order.
std::vector<std::string> lines_starting(const std::string& text, const std::string& prefix);

// Runs a tool to completion; returns its standard output and sets the exit
// status.
std::string run_tool(const std::vector<std::string>& argv, int* exit_status = nullptr);

// The first window whose name is exactly name, waited for up to the timeout.
std::optional<unsigned long> wait_for_window(const std::string& name, std::chrono::milliseconds timeout);
bool window_gone(unsigned long id);

struct geometry {
  int x = 0, y = 0, width = 0, height = 0;
};
std::optional<geometry> window_geometry(unsigned long id);

// Moves a window to the screen's origin. Without a window manager a new
// window sits at (-1, -1), a pixel off the screen, and a capture would lose
// its first row and column.
void move_to_origin(unsigned long id);

// A screenshot of the window, or nothing when it cannot be taken.
std::optional<kx::screen_reader::Image> capture_window(unsigned long id);

// The pixel (x, y) of the shown page as 0xRRGGBB, read from a screenshot
// of a window that shows the page scaled by whole factors.
using page_pixel = std::function<uint32_t(int x, int y)>;
// Photographs the window of a width x height page until compare, given its
// pixels, names no wrong pixel (or the time is up). compare returns how many
// pixels are wrong and describes the first few in report.
bool page_matches(unsigned long id, int width, int height,
                  const std::function<int(const page_pixel& at, std::string& report)>& compare, std::string& report,
                  std::chrono::milliseconds timeout);

// The text cells of a screenshot of the window: one row per text row, empty
// when no screenshot could be taken or read.
std::vector<kx::screen_reader::Row> read_screen_rows(unsigned long id, int cell_width = 8, int cell_height = 16);

// Waits until the window is mapped and on screen; false when it is not
// within the timeout. A window is found by its name before it is mapped, and
// pointer motion over it or a focus set on it before then is lost.
bool wait_until_viewable(unsigned long id, std::chrono::milliseconds timeout = std::chrono::seconds(20));

// Gives the window the keyboard focus once it is on screen, and checks that
// it has it: a window found by name may not be mapped yet, and a focus set
// on it then fails and the keys typed next go to the root window. False when
// the window never took the focus within the timeout.
bool focus_window(unsigned long id, std::chrono::milliseconds timeout = std::chrono::seconds(20));

// Focuses the window and types X key names (xdotool's names: "space",
// "Return", "ctrl+a") into it, one after another.
void type_keys(unsigned long id, const std::vector<std::string>& keys);

// User plus system processor time a process has used, in seconds.
double cpu_seconds(pid_t pid);

// Clicks button number index (0 = leftmost) of the message box titled
// caption. Returns false when no such box or button appears in time.
bool answer_message_box(const std::string& caption, int index, std::chrono::milliseconds timeout);

// An instrumented build's report in a child's standard error.
bool has_sanitizer_report(const std::string& errors);

// The window of a starting test program once it is on screen and the
// program has printed "ready", or nothing when either does not come in time.
std::optional<unsigned long> wait_until_ready(const process& program, const std::string& window_name = "Untitled");

// Microseconds of the monotonic clock, the clock the latency programs stamp
// their events with.
long long monotonic_us();
// The p-quantile (0 ... 1) of the values, by nearest rank.
double percentile(std::vector<double> values, double p);

// Polls until the predicate holds or the time is up.
template <typename Predicate>
bool eventually(Predicate predicate, std::chrono::milliseconds timeout);

}  // namespace e2e

#include <thread>

template <typename Predicate>
bool e2e::eventually(Predicate predicate, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    if (predicate()) return true;
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(50ms);
  }
}
