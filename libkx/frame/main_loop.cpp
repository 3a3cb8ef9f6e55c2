#include "frame/main_loop.h"

#include <atomic>

#include "base/clock.h"
#include "base/flags.h"
#include "base/process_exit.h"
#include "frame/threads.h"
#include "screen/compose/composer.h"
#include "screen/text/lprint.h"
#include "values/conventional_memory.h"

namespace {

constexpr int64_t ms_per_day = 86'400'000;
constexpr uint32_t pass_sleep_ms = 15;
constexpr uint32_t retrace_ms = 1;
constexpr uint32_t shell_idle_ms = 64;
constexpr uint32_t exit_poll_ms = 16;

[[noreturn]] void exit_path() {
  stop_program = 1;
  kxevent = 1;  // the application thread reaches its check, and from there end()
  wake_timer_thread();
  while (exit_ok.load() != 3) Sleep(exit_poll_ms);
  kx::printer_page_flush_at_exit();
  kx_close_all_files_at_exit();
  kx_exit_process(exit_code.load());
}

// One composition pass. The composer is called here while automatic
// display is on; the pass is counted either way.
void compose_frame() {
  if (autodisplay.load() != 0) display();
  frame.fetch_add(1);
}

// The tick counter at 0040:006C that old programs PEEK: its low three
// bytes, low byte first. Only this thread writes them.
void update_bios_tick() {
  constexpr uint32_t tick_counter = 1132;
  const uint32_t ticks = bios_tick_count(GetTicks(), clock_firsttimervalue.load(), tarn_firsttimervalue.load());
  for (uint32_t i = 0; i < 3; ++i) {
    std::atomic_ref<uint8_t>(cmem[tick_counter + i]).store(static_cast<uint8_t>(ticks >> (8 * i)), std::memory_order_relaxed);
  }
}

}  // namespace

uint32_t bios_tick_count(int64_t now_ms, int64_t first_ticks_ms, uint32_t midnight_offset_ms) {
  int64_t t = (now_ms - first_ticks_ms + midnight_offset_ms) % ms_per_day;
  if (t < 0) t += ms_per_day;
  return static_cast<uint32_t>(static_cast<double>(t) * 0.0182);
}

void MAIN_LOOP() {
  int toggle = 0;
  for (;;) {
    if (exit_value.load() != 0 && exit_blocked.load() == 0) exit_path();
    update_bios_tick();
    const int32_t shell = shell_call_in_progress.load();
    if (shell == -1) {
      Sleep(shell_idle_ms);
      continue;
    }
    if (shell != 0) {
      // A child process has just started: one last frame, then idle. Only a
      // SHELL still running is moved to idling; one that ended meanwhile has
      // set 0 and keeps it, so the screen goes on updating.
      int32_t running = shell;
      if (shell_call_in_progress.compare_exchange_strong(running, -1)) compose_frame();
    } else {
      Sleep(pass_sleep_ms);
      vertical_retrace_happened = 1;
      vertical_retrace_in_progress = 1;
      Sleep(retrace_ms);
      if (close_program.load()) exit_path();
      toggle ^= 1;
      // A printer page goes out ten seconds after the last LPRINT.
      kx::printer_page_flush_idle();
      if (toggle) compose_frame();
    }
    vertical_retrace_in_progress = 0;
  }
}
