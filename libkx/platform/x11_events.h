#pragma once
// The runtime's hooks inside the window toolkit's X event pump. Xlib types
// stay out of this header: the display and events are opaque pointers.
#include <atomic>
#include <cstdint>

// Installs the hooks on the toolkit's display connection (window thread,
// once the window exists), as Xlib's wire-to-event conversions of our own:
// from then on every X event is given to tarn_os_event_linux with stage 1
// as Xlib takes it from the connection, before the toolkit handles it, and
// with stage 2 once the toolkit has handled it (from the next key callback
// for the events before the key, else from x11_events_after in the idle
// callback). The window manager's request to close the window reaches
// tarn_custom_event(1) and never reaches the toolkit. The keyboard
// extension is asked for its lock-state events, which keep _CAPSLOCK and
// _NUMLOCK current.
void install_x11_event_hooks(void* x11_display);

// Delivers stage 2 for the events the toolkit has handled since the last
// call (from the idle callback).
void x11_events_after();

// Waits up to ms milliseconds, returning as soon as X events arrive on the
// toolkit's connection (window thread, from the idle callback in place of
// a plain sleep), so that a key is handled when it comes rather than after
// the rest of a frame period. Before the hooks are installed it sleeps.
void x11_wait_for_events(uint32_t ms, int wake_fd = -1);

// Called by the toolkit's key callbacks with what the toolkit reported: a
// press or release, from the character callbacks (text) or the special
// ones, and the code that report maps to. Finds the X event being handled,
// delivers the events handled before it, among them the keys the toolkit
// has no callback for (lock keys, Pause, Break), so that they keep their
// place among the other keys, and returns the code of the key being
// handled: the keypad's own codes for keypad keys, else toolkit_code.
uint32_t x11_key_callback_code(bool pressed, bool text, uint32_t toolkit_code);

// The X event hook: stage 1 before the toolkit handles the event, 2 after.
// A hook that sets *stage to 3 would stop the pump's pass; these never do.
void tarn_os_event_linux(void* event, void* display, int* stage);

// Custom events: kind 1 is the window's close request (bit 1 of
// exit_value); kind 2 a Pause (100019) or Break (100318) key event, a = code,
// b > 0 a press; kind 3 a relative pointer movement; kind 4 does nothing.
// Returns 0 when the event was taken, -1 otherwise.
int32_t tarn_custom_event(int32_t kind, int64_t a = 0, int64_t b = 0);

// The program's X display and window, taken from the first event.
inline std::atomic<void*> X11_display{nullptr};
inline std::atomic<unsigned long> X11_window{0};
