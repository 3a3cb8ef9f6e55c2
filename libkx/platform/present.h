#pragma once
// Presentation: the toolkit's display and reshape callbacks (window
// thread). The display callback shows the newest composed frame, scaled
// and placed as the resize and full-screen settings say, keeps the window
// at the frame's size under snapback, and replays the hardware layers.
#include <atomic>
#include <cstdint>

void GLUT_DISPLAY_REQUEST();
void GLUT_RESHAPE_FUNC(int width, int height);

// Start-up: forgets every cached renderer state.
void renderer_reset();

namespace kx {
// Set by the idle callback when it asks for a redisplay, which it does only
// when there is something new to show; a display call without it comes
// from the window system (an exposed window) and always redraws. Window
// thread only.
extern bool redisplay_requested_by_idle;
// A newer composed frame, a full-screen change or a new window size waits.
bool renderer_has_news();
}  // namespace kx
