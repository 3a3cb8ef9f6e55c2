#include "frame/threads.h"

#include <thread>

#include "base/clock.h"
#include "base/flags.h"
#include "frame/main_loop.h"
#include "frame/program.h"
#include "frame/shutdown.h"
#include "frame/traps.h"

namespace {

void KXMAIN_LINUX() {
  kx_current_program().main_routine(nullptr);
  // Compiled programs end with END or SYSTEM; one that simply returns is
  // ended as by SYSTEM, so that the exit path still gets its acknowledgement.
  close_program = 1;
  end();
}

void TIMERTHREAD_LINUX() { TIMERTHREAD(); }

}  // namespace

namespace {
// Raised by every wake-up; the timer thread waits for it to change.
std::atomic<uint32_t> timer_wake_generation{0};
}  // namespace

void wake_timer_thread() {
  timer_wake_generation.fetch_add(1);
  timer_wake_generation.notify_all();
}

void TIMERTHREAD() {
  while (!stop_program.load()) {
    // Read the generation before looking at the table: an entry armed, a
    // growth asked for or a stop begun after the look changes it, and the
    // wait returns at once.
    const uint32_t seen = timer_wake_generation.load();
    int32_t lock = ontimerthread_lock.load();
    if (lock == 1) {
      ontimerthread_lock = 2;
      lock = 2;
    }
    if (lock == 0) {
      if (ontimer_armed.load() == 0) {
        if (!stop_program.load()) timer_wake_generation.wait(seen);
        continue;
      }
      timer_thread_pass(static_cast<double>(GetTicks()) * 0.001);
    }
    Sleep(1);
  }
  exit_ok.fetch_or(2);
}

void start_application_thread() { std::thread(KXMAIN_LINUX).detach(); }

void start_timer_thread() { std::thread(TIMERTHREAD_LINUX).detach(); }

void start_main_loop_thread() { std::thread(MAIN_LOOP).detach(); }
