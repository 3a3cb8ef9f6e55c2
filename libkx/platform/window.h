#pragma once
// The program's one window: created on the window thread, which then runs
// the toolkit's main loop for good.

// Creates the 640x400 window and runs the toolkit's event loop; returns
// only if that loop ever returns. Ends the process with status 1 when the
// display cannot give the double-buffered RGBA mode.
int run_window(int& argc, char** argv);
