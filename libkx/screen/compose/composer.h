#pragma once
// The software frame composer: turns the shown page into a 32-bit frame at
// the page's own pixel size and hands it to the renderer through the frame
// slots. Runs on the main-loop thread (and on the application thread for
// _DISPLAY while automatic display is off); skips work when nothing visible
// changed.
#include <cstdint>

// Composes one frame of display_page if needed.
void display();

// Exchanges red and blue in the composer's palette copy, for a renderer
// that wants RGBA; this system's composer always produces BGRA.
void swap_paldata_BGRA_with_RGBA();

namespace kx {
// Forgets everything the composer remembers between calls (start-up and
// tests).
void composer_reset();
// The composer's copy of the last palette (256 entries).
const uint32_t* composer_paldata();
}  // namespace kx
