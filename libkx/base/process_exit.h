#pragma once
// How the process ends. The file layer takes part through its two hooks
// (base/hooks.h): every open file is closed, or flushed, on the way out.

// CLOSE with no arguments, as END, CLEAR and the exit path perform it.
void kx_close_all_files();
// Closes every file at an exit; a final store that fails is written to
// standard error, as no statement is left to raise it.
void kx_close_all_files_at_exit();

// Flushes whatever the program wrote, then ends the process at once with
// the given status. Used by the orderly exit path (after closing the files)
// and by critical errors, which flush but do not close.
[[noreturn]] void kx_exit_process(int status);

namespace kx {
// The status a critical error ends the process with, after its box. No other
// exit uses it, so whatever started the program can tell the failure from
// an END (0), a window that could not be made (1) or a signal (128 + n).
// 70 is the conventional status of an internal software error.
inline constexpr int critical_error_status = 70;
}  // namespace kx
