#pragma once
// Making, resetting and freeing images, and the screen pages made on demand.
#include <cstdint>

#include "screen/images/image_record.h"

// The largest width or height an image record can hold.
inline constexpr int64_t image_size_max = 65535;

// A record over an existing buffer (not owned); 0 for a size of 0 or less
// or above image_size_max, another mode than 0, 1, 2, 7-13, 32 and 256, or
// exhausted memory.
int32_t imgframe(uint8_t* data, int32_t width, int32_t height, int32_t mode);
// imgframe with a buffer of its own: zeroed pixels, or blank text cells.
int32_t imgnew(int32_t width, int32_t height, int32_t mode);
// The creation defaults of the image's mode again, and a cleared buffer.
void imgrevert(int32_t index);
// Sets the font, puts the cursor at 1,1 and the viewport at rows 1 to
// rows - 1 (at least 1).
void selectfont(int32_t font, img_struct* image);
// COLOR back to the mode's defaults on the write page.
void defaultcolors();
// Creates screen page n if it does not exist yet; false after an error.
bool validatepage(int32_t n);

namespace kx {

// Text rows and columns of an image: its cells, or its pixels divided by
// its font's cell (a proportional font counts pixel columns).
int32_t text_rows(const img_struct& image);
int32_t text_columns(const img_struct& image);
// Puts the cursor, viewport and graphics state of a new or reset image.
void reset_cursor_and_viewport(img_struct& image);
// The mode's colours on the image, with draw_color following.
void default_colours_of(img_struct& image);
// Frees the image's buffer (if owned), palette (if owned) and record.
void free_image(int32_t index);
// Frees every valid image: the state before start-up.
void release_all_images();
// Fills the whole buffer: pixels 0, text cells blank.
void clear_buffer(img_struct& image);

}  // namespace kx
