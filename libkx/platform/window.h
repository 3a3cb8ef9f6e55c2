#pragma once
// The program's one window: created on the window thread, which then runs
// the toolkit's main loop for good.

// The window system's start-up step: the renderer's cached state back to
// "unknown", and the hooks through which the screen layer reaches the
// renderer.
void platform_init();

// Creates the 640x400 window and runs the toolkit's event loop; returns
// only if that loop ever returns. Ends the process with status 1 when the
// display cannot give the double-buffered RGBA mode.
int run_window(int& argc, char** argv);
