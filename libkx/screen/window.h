#pragma once
// The program's one window: created on the window thread, which then runs
// the toolkit's main loop for good.
#include <string>

// The title the window is created with, or gets when _TITLE changes it.
// Any thread may read it.
std::string window_title_text();

// Creates the 640x400 window and runs the toolkit's event loop; returns
// only if that loop ever returns. Ends the process with status 1 when the
// display cannot give the double-buffered RGBA mode.
int run_window(int& argc, char** argv);
