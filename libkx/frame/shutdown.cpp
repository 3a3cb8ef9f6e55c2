#include "frame/shutdown.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstdio>
#include <string>

#include "base/clock.h"
#include "base/error.h"
#include "base/flags.h"
#include "base/process_exit.h"
#include "files/program_environment.h"
#include "frame/traps.h"
#include "input/inkey.h"
#include "screen/images/console_image.h"
#include "screen/text/run_screen.h"
#include "values/random_numbers.h"

namespace {
// A pause between polls of the exit flags.
constexpr uint32_t park_poll_ms = 16;
constexpr uint32_t key_wait_poll_ms = 100;
}  // namespace

void end() {
  dont_call_sub_gl = 1;
  exit_ok.fetch_or(1);
  while (!stop_program.load()) Sleep(park_poll_ms);
  for (;;) Sleep(park_poll_ms);
}

void sub_end() {
  // SUB _GL does not exist in this system, so critical error 271 cannot arise.
  dont_call_sub_gl = 1;
  kx_close_all_files_at_exit();
  exit_blocked = 0;
  if (screen_hide.load() == 0) {
    kx::show_press_any_key();
    // A key that was already waiting is discarded and does not end the wait.
    while (inkey_take_key()) Sleep(0);
    autodisplay = 1;  // the message shows even after _DISPLAY switched it off
    do {
      Sleep(key_wait_poll_ms);
      if (stop_program.load()) end();
    } while (!inkey_take_key());
  } else if (kx::console_image_handle != 0) {
    std::fputs("\nPress enter to continue", stdout);
    std::fflush(stdout);
    std::getchar();
  }
  close_program = 1;
  end();
}

void sub_system() {
  close_program = 1;
  end();
}

int32_t func__exit() {
  exit_blocked = 1;
  return exit_value.exchange(0);
}

int kx::run_program_file(std::string_view file) {
  std::string program(file);
  for (char& c : program) {
    if (c == '\\') c = '/';
  }
  // The name is one word: it is started directly, never read by a shell, so
  // blanks and ';' in it are part of the name.
  char* argv[] = {program.data(), nullptr};
  pid_t pid = 0;
  // The program's environment, with ENVIRON's changes.
  if (posix_spawnp(&pid, program.c_str(), nullptr, nullptr, argv, kx::program_environment_block()) != 0) return -1;
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return -1;
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void sub_run(std::string_view file) {
  if (new_error.load() != 0) return;
  kx::run_program_file(file);
  close_program = 1;
  end();
}

void sub_run_init() {
  for (int i = 1; i < onkey_entries; ++i) {
    onkey[i].id = 0;
    onkey[i].state = trap_off;
    onkey[i].pending = 0;
  }
  onkey_inprogress = 0;
  kx::reset_screen_for_run();
  kx::reset_random();
  // Keys typed before the restart are not read after it: the type-ahead
  // buffer, the _KEYHIT ring and the port-60h queue all start empty. Keys
  // held down stay held, as the hardware still has them down.
  sub__keyclear(0, 0);
}
