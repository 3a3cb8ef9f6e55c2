#pragma once
// Where the pointer is in the program's terms, and the statements that
// move it and change its shape. The window thread carries out moves and
// shape changes: the application thread only leaves requests for it.
#include <cstdint>

struct kxs;
struct mouse_message;

float func__mousex(int32_t q, int32_t given);
float func__mousey(int32_t q, int32_t given);
void sub__mousemove(float x, float y);
void sub__mouseshow(kxs* style, int32_t given);
void sub__mousehide();

// The toolkit's cursor numbers.
inline constexpr int32_t cursor_default = 1;
inline constexpr int32_t cursor_none = 101;
// The style _MOUSESHOW chose last (application thread).
extern int32_t mouse_cursor_style;

namespace kx {

// A window-pixel coordinate as a picture pixel: the inverse of the frame's
// placement (origin, scale), clamped to the picture (size) and below the
// display page's own size in pixels (page_pixels).
int32_t window_to_picture(int32_t window_pos, int32_t origin, double scale, int32_t size, int32_t page_pixels);

// A message's pointer position in the program's terms: pixels of the
// display page on graphics pages, 1-based columns and rows on text pages.
float mouse_message_x(const mouse_message& m);
float mouse_message_y(const mouse_message& m);

// The pointer as the mouse device's axes: -1 ... +1 across the picture.
struct device_axes {
  float x, y;
};
device_axes mouse_device_axes(int32_t window_x, int32_t window_y);

// Window thread: a pointer warp (window pixels) or cursor shape to apply;
// false when none waits.
bool take_mouse_warp_request(int32_t* x, int32_t* y);
bool take_cursor_request(int32_t* cursor);

}  // namespace kx
