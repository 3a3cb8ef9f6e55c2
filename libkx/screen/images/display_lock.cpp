#include "screen/images/display_lock.h"

#include "base/clock.h"
#include "base/flags.h"
#include "base/hooks.h"

std::mutex& kx::composer_mutex() {
  static std::mutex m;
  return m;
}

bool kx::display_lock_answer() {
  int32_t expected = 1;
  if (lock_display.compare_exchange_strong(expected, 2)) Sleep(0);
  return lock_display.load() != 0;
}

kx::display_lock::display_lock() {
  if (autodisplay.load() != 0 && lock_display_required.load() != 0) {
    requested_ = true;
    lock_display = 1;
    while (lock_display.load() != 2) {
      if (stop_program.load()) {
        lock_display = 0;
        kx::park_application_thread();
      }
      Sleep(1);
    }
  }
  composing_ = std::unique_lock<std::mutex>(composer_mutex());
}

kx::display_lock::~display_lock() {
  composing_.unlock();
  if (requested_) lock_display = 0;
}
