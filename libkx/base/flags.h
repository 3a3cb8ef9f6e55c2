#pragma once
// The flags through which the four threads meet. Each is atomic; the comment
// at each declaration says which thread writes it. Threads poll these with
// short sleeps: there are no condition variables in the frame.
#include <atomic>
#include <cstdint>

// Anyone (error raiser, trap sources, main-loop thread): the application
// thread's next statement check must call evnt.
inline std::atomic<int32_t> kxevent{0};
// Application thread (END, SYSTEM, RUN, "No" in an error box) and the
// keyboard layer (Ctrl+Break): the program has asked to end.
inline std::atomic<uint8_t> close_program{0};
// Main-loop thread only: the process is ending; every wait winds down.
inline std::atomic<uint8_t> stop_program{0};
// Window thread (close button: bit 1), keyboard layer (break while blocked:
// bit 2); func__exit reads and clears it.
inline std::atomic<int32_t> exit_value{0};
// func__exit sets it, sub_end clears it.
inline std::atomic<int32_t> exit_blocked{0};
// Acknowledgements ORed in: application thread parked in end (1), timer
// thread finished (2). The process exits only at 3.
inline std::atomic<int32_t> exit_ok{0};
// The process exit status of the orderly paths.
inline std::atomic<int32_t> exit_code{0};
// Keyboard layer (Pause): the application thread is held at its next check.
inline std::atomic<uint8_t> suspend_program{0};
// main and _SCREENSHOW: the window may be created.
inline std::atomic<int32_t> create_window{0};
// Window thread: the window has been created.
inline std::atomic<int32_t> window_exists{0};
// main, _SCREENHIDE/_SCREENSHOW: no window is shown.
inline std::atomic<int32_t> screen_hide{0};
// SHELL (1 while a child runs, 0 after) and the main-loop thread (-1).
inline std::atomic<int32_t> shell_call_in_progress{0};
// Main-loop thread raises both; INP clears the first.
inline std::atomic<int32_t> vertical_retrace_happened{0};
inline std::atomic<int32_t> vertical_retrace_in_progress{0};
// _AUTODISPLAY/_DISPLAY and sub_end: frames are composed automatically.
inline std::atomic<int32_t> autodisplay{1};
// Main-loop thread: count of composition passes.
inline std::atomic<int64_t> frame{0};
// Printer page handshake between LPRINT and the main-loop thread.
inline std::atomic<int32_t> lprint{0};
inline std::atomic<int32_t> lprint_locked{0};
inline std::atomic<int32_t> lprint_buffered{0};
inline std::atomic<double> lprint_last{0.0};
inline std::atomic<int32_t> lprint_image{0};
// X11 access handshake: the application thread requests, the window
// thread's idle callback grants and waits until released.
inline std::atomic<int32_t> x11_lock_request{0};
inline std::atomic<int32_t> x11_locked{0};
// _FPS: frame rate of the window thread's idle callback.
inline std::atomic<double> max_fps{60.0};
// Keyboard layer and the trap dispatcher: a running SLEEP must end.
inline std::atomic<int32_t> sleep_break{0};
// Application thread: SUB _GL may no longer be called (set by end).
inline std::atomic<int32_t> dont_call_sub_gl{0};
// main (step 21): SCREEN and WIDTH must take the display lock from now on.
inline std::atomic<int32_t> lock_display_required{0};
// main: the bases from which TIMER and the emulated BIOS tick count.
// Kept in 64 bits so that the clock does not wrap after 49.7 days.
inline std::atomic<int64_t> clock_firsttimervalue{0};
inline std::atomic<uint32_t> tarn_firsttimervalue{0};
