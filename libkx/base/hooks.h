#pragma once
// Every call from a lower layer up to a higher one. Includes point down
// only, so when a statement deep in the runtime must ask the top to act (park
// the application thread, run the statement check), or one middle layer must
// reach the one that answers for it (a string overwriting a file field, the
// screen asking the renderer for a texture), it calls through this table.
// The layer that answers fills its entries in once at start-up; until then
// each entry holds a harmless default, so tests that drive one layer alone
// need no stand-ins. This file is the one place that shows every upward call.
//
// Each entry is atomic: it is written at start-up (or by a test) and called
// from whichever thread the comment names.
#include <atomic>
#include <cstdint>

#include "base/clock.h"

struct kxs;
struct hardware_img_struct;

namespace kx {

struct runtime_hooks {
  // Filled by: frame (end). Called on the application thread by waits in the
  // screen layer when the process is stopping. Must not return. Default:
  // sleeps for good, as a parked thread does.
  std::atomic<void (*)()> park_application_thread{[] {
    for (;;) Sleep(1000);
  }};

  // Filled by: frame (evnt). Called on the application thread by waits below
  // the frame (INPUT$ from the keyboard) while kxevent is set, so that traps
  // run and errors are handled while they wait. Default: nothing.
  std::atomic<void (*)(uint32_t line)> statement_check{[](uint32_t) {}};

  // Filled by: files. CLOSE with no arguments (END, CLEAR, the exit path),
  // and the flush of every open file before the process ends (critical
  // errors). Default: nothing, as with no file layer there are no files.
  std::atomic<void (*)()> close_all_files{[] {}};
  // The same at an exit (END, SYSTEM, the close button, a signal), where no
  // error can be raised any more: a failure is written to standard error.
  std::atomic<void (*)()> close_all_files_at_exit{[] {}};
  std::atomic<void (*)()> flush_all_files{[] {}};

  // Filled by: files (FIELD). Called by the string layer: a string bound to a
  // record buffer by FIELD is released, or its text was overwritten in place
  // by LSET or RSET and the buffer must follow. Default: nothing.
  std::atomic<void (*)(kxs* s)> field_unbind{[](kxs*) {}};
  std::atomic<void (*)(kxs* s)> field_overwritten{[](kxs*) {}};

  // Filled by: screen (the Alt+Enter cycle of full-screen modes). Called on
  // the window thread by the keyboard layer for Alt+Enter; true when the key
  // was taken. Default: false, the key passes on as an ordinary press.
  std::atomic<bool (*)()> full_screen_key{[] { return false; }};

  // Filled by: platform (the renderer). Called on the window thread when a
  // hardware image made there needs its texture. Default: nothing, the
  // image has no texture, as without a window.
  std::atomic<void (*)(hardware_img_struct& image, const uint32_t* pixels)> upload_texture{
      [](hardware_img_struct&, const uint32_t*) {}};

  // Filled by: input (the soft-key line). Called on the application thread
  // by the screen layer after SCREEN, WIDTH, CLS and VIEW PRINT, so that a
  // shown key line is drawn again. Default: nothing, as with no line shown.
  std::atomic<void (*)()> key_line_redraw{[] {}};
};

inline runtime_hooks hooks;

// The application thread parks for good; the main-loop thread ends the
// process meanwhile.
[[noreturn]] inline void park_application_thread() {
  hooks.park_application_thread.load()();
  for (;;) Sleep(1000);
}

}  // namespace kx
