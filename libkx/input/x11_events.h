#pragma once
// The runtime's hooks inside the window toolkit's X event pump. Xlib types
// stay out of this header: the display is passed as an opaque pointer.
#include <cstdint>

// Installs the filter on the toolkit's display connection (window thread,
// once the window exists). From then on the window manager's request to
// close the window reaches tarn_custom_event(1) and never closes it.
void install_x11_event_hooks(void* x11_display);

// Custom events: kind 1 is the window's close request (bit 1 of
// exit_value), kind 4 is accepted and does nothing. Returns 0 when the
// event was taken, -1 otherwise.
int32_t tarn_custom_event(int32_t kind, int64_t a = 0, int64_t b = 0);
