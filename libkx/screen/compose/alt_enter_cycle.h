#pragma once
// Alt+Enter's walk through the full-screen modes, registered with the
// keyboard layer at start-up.

namespace kx {

// Steps to the next allowed of the five states windowed, stretched,
// stretched smoothly, square pixels, square pixels smoothly, and requests
// its mode. False (nothing changed) when _ALLOWFULLSCREEN forbids the
// switch. Window thread (the keyboard callback); the application thread
// may read the state meanwhile, which is why every value is atomic.
bool cycle_full_screen();

}  // namespace kx
