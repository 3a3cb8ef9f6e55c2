#include "base/process_exit.h"

#include <cstdio>
#include <cstdlib>

#include "base/hooks.h"

void kx_close_all_files() { kx::hooks.close_all_files.load()(); }

void kx_close_all_files_at_exit() { kx::hooks.close_all_files_at_exit.load()(); }

void kx_exit_process(int status) {
  kx::hooks.flush_all_files.load()();
  std::fflush(nullptr);
  // The other threads are parked or still running; static destructors must
  // not run underneath them, so the process ends without them.
  std::_Exit(status);
}
