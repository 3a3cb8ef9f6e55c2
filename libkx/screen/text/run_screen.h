#pragma once
// What END and RUN do to the screen.

namespace kx {
// END: on the last text row of the shown page, after an empty line,
// "Press any key to continue" without a line end.
void show_press_any_key();
// RUN without a file: SCREEN 0, WIDTH 80, 25, VIEW PRINT over the whole
// screen, the default palette, COLOR 7, 0.
void reset_screen_for_run();
}  // namespace kx
