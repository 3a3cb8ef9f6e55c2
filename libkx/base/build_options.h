#pragma once
// The build options a compiled program is made with. The program hands them
// to the runtime at start-up, before any other thread runs; afterwards they
// are only read.
namespace kx {

struct build_options {
  // A console image exists; PRINT to it goes to standard output.
  bool console = false;
  // The console is the program's destination and no window is ever made,
  // so the program runs in a terminal or a pipe without an X server.
  bool console_only = false;
  // _ASSERT checks its condition.
  bool asserts = false;
  // The window may be resized freely.
  bool resizable = false;
  // The window is not shown until _SCREENSHOW.
  bool start_hidden = false;
};

inline build_options program_options;

// A console-only program that ends on an unhandled error: its report went
// to standard error, and the status tells whatever started it.
inline constexpr int exit_status_unhandled_error = 2;

}  // namespace kx
