#pragma once
// The window's place on the desktop, and the window statements that have
// nothing to act on in this system. The window thread moves the window: the
// application thread leaves it a request.
#include <cstdint>

struct kxs;

// _SCREENMOVE x, y (form 2) and _SCREENMOVE _MIDDLE (form 1).
void sub__screenmove(int32_t x, int32_t y, int32_t form);
// _SCREENX, _SCREENY: always 0.
int32_t func__screenx();
int32_t func__screeny();
// _SCREENCLICK, _SCREENPRINT and _PRINTIMAGE do nothing on this platform.
void sub__screenclick(int32_t x, int32_t y, int32_t button, int32_t passed);
void sub__screenprint(kxs* text);
void sub__printimage(int32_t image);

namespace kx {
struct screenmove_request {
  bool middle = false;
  int32_t x = 0, y = 0;
};
// Window thread: a move to carry out; false when none waits.
bool take_screenmove_request(screenmove_request* request);
}  // namespace kx
