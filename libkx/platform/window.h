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

// Registers the toolkit callbacks of the current window: display, idle,
// keyboard, mouse and reshape.
void reinit_glut_callbacks();
// The native window, stored for the clipboard and the X event hooks.
void TARN_Window_Handle(unsigned long handle);
// Whether the user may resize the window (the program's resize option).
bool TARN_Resizable();
