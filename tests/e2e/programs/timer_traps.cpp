// A compiled program with ON TIMER and ON KEY traps, one line of output per
// trap that runs. COMMAND$ picks the scene:
//  "tick":  ON TIMER(1) GOSUB t: TIMER ON: DO: _DELAY 0.05: LOOP UNTIL n = 10
//           (t prints the milliseconds since TIMER ON)
//  "order": ON KEY(1) and ON TIMER(1) armed, then no statement check until
//           the F1 press and the timer event are both pending (a minute at
//           most), so both wait when the next check comes
//  "error": ON TIMER(0.1) running while an ON ERROR handler spends a second
//           in _DELAY
//  "sleep": SLEEP with no count, ended by a key (which INKEY$ then reads),
//           then SLEEP ended by an ON TIMER(1) event
#include <cstdio>
#include <string>

#include "program_text.h"

#include "base/clock.h"
#include "files/launch_info.h"
#include "frame/shutdown.h"
#include "frame/startup.h"
#include "frame/statement_check.h"
#include "frame/timing.h"
#include "frame/traps.h"
#include "input/inkey.h"
#include "values/string_release.h"

namespace {

constexpr int32_t key_handler = 1;
constexpr int32_t timer_handler = 2;
constexpr int32_t error_resume = 1;

int64_t timer_on_ms = 0;
int ticks = 0;

bool on_key(int32_t id, int64_t) {
  if (id != key_handler) return false;
  say("key");
  return true;
}

bool on_timer(int32_t id, int64_t) {
  if (id != timer_handler) return false;
  ++ticks;
  say("timer " + std::to_string(GetTicks() - timer_on_ms) + " handling " + std::to_string(error_handling));
  return true;
}

void check(uint32_t line) {
  if (kxevent) evnt(line);
}

void tick_scene() {
  ontimer_setup(0, 1.0, timer_handler, 0);
  timer_on_ms = GetTicks();
  sub_timer(0, 1, 0);
  while (ticks < 10) {
    sub__delay(0.05);
    check(3);
  }
}

void order_scene() {
  onkey_setup(1, key_handler, 0);
  sub_key(1, 1);
  ontimer_setup(0, 1.0, timer_handler, 0);
  timer_on_ms = GetTicks();
  sub_timer(0, 1, 0);
  say("armed");
  // No statement check here: both events wait. The key comes from outside,
  // so the wait is for the condition, however busy the machine is.
  constexpr int64_t longest_wait_ms = 60000;
  while ((ontimer[0].pending.load() == 0 || onkey[1].pending.load() == 0) &&
         GetTicks() - timer_on_ms < longest_wait_ms)
    Sleep(10);
  say("timer pending " + std::to_string(ontimer[0].pending.load()) + ", key pending " +
      std::to_string(onkey[1].pending.load()));
  check(4);
  sub__delay(0.2);
}

// The error handler: traps stay quiet while it runs, though its _DELAY
// keeps running statement checks.
void error_handler() {
  error_occurred = 0;
  error_handling = 1;
  say("handler start");
  sub__delay(1.0);
  say("handler end");
  resume_next();
}

void error_scene() {
  sub_on_error_goto(error_resume);
  ontimer_setup(0, 0.1, timer_handler, 0);
  timer_on_ms = GetTicks();
  sub_timer(0, 1, 0);
  sub__delay(0.6);
  error(5);
  evnt(5);
  say("resumed");
  sub__delay(0.6);
}

void sleep_scene() {
  say("sleeping");
  int64_t start = GetTicks();
  sub_sleep(0, 0);
  const std::string key = take_key();
  say("woke after " + std::to_string(GetTicks() - start) + " with key " + key);
  ontimer_setup(0, 1.0, timer_handler, 0);
  start = timer_on_ms = GetTicks();
  sub_timer(0, 1, 0);
  sub_sleep(0, 0);
  say("woke by the timer after " + std::to_string(GetTicks() - start));
}

void KXMAIN(void*) {
  if (error_occurred) {
    error_handler();
    return;  // RESUME NEXT: back into the statement check
  }
  const std::string scene = func_command_str;
  if (scene == "tick") {
    tick_scene();
  } else if (scene == "order") {
    order_scene();
  } else if (scene == "error") {
    error_scene();
  } else if (scene == "sleep") {
    sleep_scene();
  }
  say("done");
  sub_system();
}

}  // namespace

int main(int argc, char** argv) {
  kx_program program{KXMAIN};
  program.on_key = on_key;
  program.on_timer = on_timer;
  return kx_main(argc, argv, program);
}
