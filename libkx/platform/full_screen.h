#pragma once
// Taking the window to full screen and back (window thread only). A window
// manager that knows the full-screen state does it; without one (a bare X
// server) the window itself is placed over the whole screen.
#include <cstdint>

namespace kx {

void enter_full_screen();
// Back to a window of width x height.
void leave_full_screen(int32_t width, int32_t height);

}  // namespace kx
