#include "base/termination_signals.h"

#include <signal.h>
#include <unistd.h>

#include <array>
#include <atomic>

#include "base/flags.h"

namespace {

// One flag a signal number: whether its orderly exit is already under way.
std::array<std::atomic<bool>, 65> termination_requested{};
static_assert(std::atomic<bool>::is_always_lock_free && std::atomic<int32_t>::is_always_lock_free,
              "the signal handler may only touch lock-free atomics");

constexpr int termination_status(int signal) { return 128 + signal; }

void termination_handler(int signal) { kx::request_termination(signal); }

}  // namespace

void kx::request_termination(int signal) {
  const size_t slot = signal > 0 && signal < static_cast<int>(termination_requested.size()) ? signal : 0;
  if (termination_requested[slot].exchange(true)) _exit(termination_status(signal));
  exit_code = termination_status(signal);
  close_program = 1;
  kxevent = 1;
}

void install_termination_handlers() {
  struct sigaction action {};
  action.sa_handler = termination_handler;
  sigemptyset(&action.sa_mask);
  // Interrupted reads and writes of the program's files carry on: a signal
  // must not turn a PRINT # under way into a lost line.
  action.sa_flags = SA_RESTART;
  for (int signal : {SIGTERM, SIGINT, SIGHUP}) sigaction(signal, &action, nullptr);
}
