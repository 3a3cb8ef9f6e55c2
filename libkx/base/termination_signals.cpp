#include "base/termination_signals.h"

#include <signal.h>
#include <sys/syscall.h>
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

// The real-time signal that carries a forwarded request; 0 until the
// handlers are installed. Written once, before any other thread starts.
int forwarding_signal = 0;

void forwarded_handler(int, siginfo_t* info, void*) { kx::request_termination(info->si_value.sival_int); }

}  // namespace

void kx::request_termination(int signal) {
  const size_t slot = signal > 0 && signal < static_cast<int>(termination_requested.size()) ? signal : 0;
  if (termination_requested[slot].exchange(true)) _exit(termination_status(signal));
  exit_code = termination_status(signal);
  close_program = 1;
  kxevent = 1;
}

void kx::forward_termination(int signal) {
  const int carrier = forwarding_signal;
  if (carrier == 0) _exit(termination_status(signal));
  siginfo_t info{};
  info.si_signo = carrier;
  info.si_code = SI_QUEUE;
  info.si_pid = getpid();
  info.si_uid = getuid();
  info.si_value.sival_int = signal;
  // The system call itself, not a library wrapper that a sanitizer might
  // intercept.
  if (syscall(SYS_rt_sigqueueinfo, getpid(), carrier, &info) != 0) _exit(termination_status(signal));
}

void install_termination_handlers() {
  struct sigaction action {};
  action.sa_handler = termination_handler;
  sigemptyset(&action.sa_mask);
  // Interrupted reads and writes of the program's files carry on: a signal
  // must not turn a PRINT # under way into a lost line.
  action.sa_flags = SA_RESTART;
  for (int signal : {SIGTERM, SIGINT, SIGHUP}) sigaction(signal, &action, nullptr);

  struct sigaction forwarded {};
  forwarded.sa_sigaction = forwarded_handler;
  sigemptyset(&forwarded.sa_mask);
  forwarded.sa_flags = SA_SIGINFO | SA_RESTART;
  const int carrier = SIGRTMIN;
  if (sigaction(carrier, &forwarded, nullptr) == 0) forwarding_signal = carrier;
}
