#pragma once
// Wakes the window thread out of its idle wait. The idle callback waits on
// the X connection and on this descriptor; a thread that leaves work for
// the window (the composer with a new frame, the program with a window
// request) wakes it, so an idle window needs no fixed-rate polling.

namespace kx {

// The descriptor the idle wait polls (an eventfd, made on first use).
int window_wake_fd();
// Any thread: the next idle wait returns at once.
void wake_window_thread();
// Window thread: clears the wake-up once the wait has seen it.
void drain_window_wake();

}  // namespace kx
