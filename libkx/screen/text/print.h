#pragma once
// PRINT and its companions: text written at the destination's cursor, with
// control characters, wrapping, the held cursor, scrolling inside VIEW
// PRINT and print zones. Text images get cells, pixel images glyphs.
#include <atomic>
#include <cstdint>

struct kxs;
struct img_struct;

// _CONTROLCHR OFF (application thread).
extern int32_t no_control_characters2;
// Set by the soft-key line while it prints its labels (application thread).
extern int32_t no_control_characters;

// PRINT item: newline = 1 ends the line after it.
void kxs_print(kxs* s, uint8_t newline);
// Before a PRINT item: a new line if s does not fit on the current one.
void makefit(kxs* s);
// PRINT's comma: to the next print zone.
void tab();
// Draws one character at the write page's cursor without moving it.
void printchr(int32_t c);
// Pixel width of c in the write page's font.
int32_t chrwidth(uint32_t c);
// Cursor to column 1 of the next row, scrolling the viewport if needed.
void newline();

// TAB(n) and SPC(n) on the screen: the text PRINT then prints.
kxs* func_tab(int32_t n);
kxs* func_spc(int32_t n);

namespace kx {

// Where and how one PRINT writes: the image, its line width in characters
// and whether it is the printer page (which is printed, not scrolled).
struct print_target {
  img_struct* image;
  int32_t last_column;
  bool printer;
};
print_target screen_target();

// The text of PRINT for bytes of any source (LPRINT reuses it).
void print_bytes(const print_target& to, const uint8_t* bytes, int32_t length, bool end_line);
void new_line(const print_target& to);
// makefit for the bytes of one item.
void fit(const print_target& to, const uint8_t* bytes, int32_t length);
// Width of the bytes in the image's units of placement: characters on a
// text image, pixels on a pixel image (a loaded font's glyph widths).
int32_t text_pixel_width(const img_struct& image, const uint8_t* bytes, int32_t length);
void next_zone(const print_target& to);
// The column POS reports: 1 while the cursor is held.
int32_t reported_column(const img_struct& image);

// TAB and SPC as text for a line of width columns with the next character
// going to column (1-based); files pass their own column and end lines
// with CR LF. Error 7 outside -32768..32767.
kxs* tab_text(int32_t n, int32_t column, int32_t width, bool crlf);
kxs* spc_text(int32_t n, int32_t column, int32_t width, bool unlimited);

// The attribute of a blank cell filled with the given background under the
// image's foreground (blink bit included).
uint8_t fill_attribute(const img_struct& image, uint32_t background);
// Scrolls text rows top+1..bottom of the image up one row and blanks the
// bottom one.
void scroll_up(img_struct& image);

}  // namespace kx
