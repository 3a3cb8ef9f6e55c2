#include "base/arithmetic_fault.h"

#include <ucontext.h>

#include <cstdint>
#include <cstdlib>

#include "base/error.h"
#include "base/termination_signals.h"

namespace {

[[noreturn]] void raise_division_by_zero() {
  error(err::division_by_zero);  // critical: shows its box and ends the process
  std::abort();
}

}  // namespace

void division_by_zero_handler(int signal, siginfo_t* info, void* context) {
  // Only a fault raised by an instruction is a division by zero; SIGFPE sent
  // by another process (kill, sigqueue) asks the program to end, as SIGTERM
  // does. The request goes on through an asynchronous signal: this
  // handler may have interrupted any code, a sanitizer's own locks included.
  if (info && info->si_code <= 0) {
    kx::forward_termination(signal);
    return;
  }
  auto* interrupted = static_cast<ucontext_t*>(context);
  auto& registers = interrupted->uc_mcontext.gregs;
  // Leave the red zone below the stack pointer alone and enter the function
  // with the stack aligned as after a call.
  constexpr greg_t red_zone = 128;
  greg_t sp = registers[REG_RSP] - 2 * red_zone;
  sp = (sp & ~greg_t{15}) - static_cast<greg_t>(sizeof(void*));
  registers[REG_RSP] = sp;
  registers[REG_RIP] = reinterpret_cast<greg_t>(&raise_division_by_zero);
}

void install_division_by_zero_handler() {
  struct sigaction action {};
  action.sa_sigaction = division_by_zero_handler;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_SIGINFO;
  sigaction(SIGFPE, &action, nullptr);
}
