#pragma once
// SCREEN and WIDTH: building the pages of each legacy screen mode.
#include <atomic>
#include <cstdint>

struct img_struct;

// Set at start: LOCATE to a row below the viewport may then open an 80 x 50
// screen once. Cleared by WIDTH and every SCREEN but a plain SCREEN 0.
extern int32_t width8050switch;
// WIDTH LPRINT: the printer's line width.
extern int32_t width_lprint;

// SCREEN mode, , apage, vpage: passed bits 1 mode, 2 (unused second
// argument), 4 active page, 8 visual page. A negative mode is an image
// handle that becomes the screen.
void kxg_screen(int32_t mode, int32_t unused, int32_t apage, int32_t vpage, int32_t passed);

// WIDTH. Option kx_width_screen: columns, rows (passed bits 1 and 2);
// kx_width_lprint: WIDTH LPRINT columns; any other device form is error 5.
inline constexpr int32_t kx_width_screen = 0;
inline constexpr int32_t kx_width_lprint = 1;
inline constexpr int32_t kx_width_device = 2;
void kxsub_width(int32_t option, int32_t columns, int32_t rows, int32_t passed);

namespace kx {

// What WIDTH leaves for the next SCREEN 0 (0 = none).
struct width_pending {
  int32_t columns = 0;
  int32_t rows = 0;
  int32_t font = 0;
};
extern width_pending pending_width;

// Page 0 is an application image made the screen by SCREEN handle: a mode
// change gives it back instead of freeing it.
extern bool screen_page_is_application_image;

// Forces the composer's next frame to be composed in full.
void screen_last_valid_reset();

// The text font for a screen of that many columns and rows.
int32_t text_font_for(int32_t columns, int32_t rows);

// The screen's active page (SCREEN's apage): where the screen's own lines,
// such as the soft-key line, are drawn. Null before the screen exists.
img_struct* active_screen_page();

}  // namespace kx
