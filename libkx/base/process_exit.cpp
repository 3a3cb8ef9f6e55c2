#include "base/process_exit.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>

namespace {
std::atomic<file_layer_action> close_all_files{nullptr};
std::atomic<file_layer_action> flush_all_files{nullptr};
}  // namespace

void kx_register_file_layer(file_layer_action close_all, file_layer_action flush_all) {
  close_all_files = close_all;
  flush_all_files = flush_all;
}

void kx_close_all_files() {
  if (auto close_all = close_all_files.load()) close_all();
}

void kx_exit_process(int status) {
  if (auto flush_all = flush_all_files.load()) flush_all();
  std::fflush(nullptr);
  // The other threads are parked or still running; static destructors must
  // not run underneath them, so the process ends without them.
  std::_Exit(status);
}
