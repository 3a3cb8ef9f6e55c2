#pragma once
// One image: a screen page or an off-screen image made by the program.
// Text images hold two bytes per cell (code page 437 character, then the
// attribute: bits 0-3 foreground, 4-6 background, 7 blink); pixel images
// hold palette indexes (one byte) or 0xAARRGGBB colours (four bytes).
#include <cstdint>
#include <cstring>

struct mem_lock;

// Bits of img_struct::flags.
inline constexpr uint32_t img_owns_palette = 0x1;
inline constexpr uint32_t img_screen_page = 0x2;
inline constexpr uint32_t img_owns_data = 0x4;
// The runtime's own images (the printer page, the icons): CLEAR keeps them
// and _FREEIMAGE refuses them, so no pointer the runtime keeps to one can
// come to point at an image the program makes later.
inline constexpr uint32_t img_runtime_owned = 0x8;

// The blank text cell: a space in grey on black.
inline constexpr uint16_t blank_text_cell = 0x0720;

// How text is drawn on pixel images.
inline constexpr uint8_t print_mode_keep_background = 1;
inline constexpr uint8_t print_mode_only_background = 2;
inline constexpr uint8_t print_mode_fill_background = 3;

struct img_struct {
  mem_lock* lock;
  uint64_t lock_id;
  uint8_t valid;
  uint8_t text;
  uint8_t console;
  uint16_t width;   // pixels, or columns of a text image
  uint16_t height;  // pixels, or rows of a text image
  uint8_t bytes_per_pixel;
  uint8_t bits_per_pixel;
  uint32_t mask;  // colour numbers are ANDed with it in one-byte pixels
  uint16_t mode;  // 0, 1, 2, 7-13, 256 or 32
  uint32_t color;
  uint32_t background_color;
  uint32_t draw_color;
  uint32_t font;
  // The text viewport (VIEW PRINT) and the cursor, 1-based. Kept in 32 bits
  // so that no cell position of a 65535-column image can overflow.
  int32_t top_row, bottom_row;
  int32_t cursor_x, cursor_y;
  uint8_t cursor_show;
  uint8_t cursor_first_line, cursor_last_line;
  uint8_t* data;
  uint32_t flags;
  uint32_t* pal;  // 256 entries 0xAARRGGBB; null for 32-bit images
  int32_t transparent_color;
  uint8_t alpha_disabled;
  uint8_t holding_cursor;  // 0, 1 (after PRINT ";" in the last column), 2
  uint8_t print_mode;
  // The graphics state, copied as one block when the active page changes.
  struct graphics_state {
    int32_t view_x1, view_y1, view_x2, view_y2;
    int32_t view_offset_x, view_offset_y;
    float x, y;
    uint8_t clipping_or_scaling;  // 0 none, 1 viewport clipping, 2 WINDOW scaling
    float scaling_x, scaling_y, scaling_offset_x, scaling_offset_y;
    float window_x1, window_y1, window_x2, window_y2;
    double draw_angle;
    double draw_scale;
  } graphics;
};

namespace kx {

// Bytes of the image's buffer.
inline uint64_t image_bytes(const img_struct& image) {
  return uint64_t{image.width} * image.height * image.bytes_per_pixel;
}

// Cell i of a text image as character | attribute << 8. Text pages may lie
// in the emulated memory's byte array, so cells are copied, never aliased.
inline uint16_t cell_at(const img_struct& image, uint64_t i) {
  uint16_t cell;
  std::memcpy(&cell, image.data + 2 * i, 2);
  return cell;
}
inline void set_cell(img_struct& image, uint64_t i, uint16_t cell) { std::memcpy(image.data + 2 * i, &cell, 2); }
inline void fill_cells(img_struct& image, uint64_t first, uint64_t count, uint16_t cell) {
  uint8_t* p = image.data + 2 * first;
  for (uint64_t i = 0; i < count; ++i, p += 2) std::memcpy(p, &cell, 2);
}
inline uint16_t text_cell(uint8_t character, uint8_t attribute) {
  return static_cast<uint16_t>(character | attribute << 8);
}

// 32-bit images always own a heap buffer, which may be viewed as colours.
inline uint32_t* pixels32(const img_struct& image) { return reinterpret_cast<uint32_t*>(image.data); }

}  // namespace kx
