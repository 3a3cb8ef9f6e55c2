#pragma once
// What a compiled program hands the runtime: its main routine, the reset of
// its shared variables for CLEAR, and the dispatch from trap handler ids to
// its handler routines. Every program linked with the runtime (the boot
// shell, the test programs) describes itself with one of these.
#include <cstdint>

#include "base/build_options.h"

// Runs the handler with the given id, passing the trap entry's argument.
// Returns false when the program has no handler of that id.
using trap_dispatch = bool (*)(int32_t handler_id, int64_t argument);

struct kx_program {
  // The compiled main routine, entered once on the application thread and
  // again, nested, for every trapped error.
  void (*main_routine)(void* unused) = nullptr;
  // CLEAR: resets every variable shared by the program's routines.
  void (*clear_shared_variables)() = nullptr;
  trap_dispatch on_key = nullptr;
  trap_dispatch on_strig = nullptr;
  trap_dispatch on_timer = nullptr;
  // The options it was built with: a console, console only, assertions, a
  // resizable window, starting hidden.
  kx::build_options options{};
};

// The program that is running; set once by kx_main (tests set their own).
void kx_set_program(const kx_program& program);
const kx_program& kx_current_program();
