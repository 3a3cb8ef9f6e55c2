#pragma once
// Reads a picture of a text screen back into characters and colours, so that
// end-to-end tests can check what the window shows. The picture is matched
// cell by cell against the runtime's own built-in glyph sets.
#include <cstdint>
#include <istream>
#include <optional>
#include <string>
#include <vector>

namespace kx::screen_reader {

struct Rgb {
  uint8_t r = 0, g = 0, b = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

// A picture in memory, rows top first, three bytes per pixel.
struct Image {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgb;

  Image() = default;
  Image(int w, int h, Rgb fill = {});
  Rgb at(int x, int y) const;
  void set(int x, int y, Rgb colour);
};

// Parses a binary PPM (P6; samples of other depths than 8 bits are scaled). On failure returns nothing and, when
// error is given, says why.
std::optional<Image> read_ppm(std::istream& in, std::string* error = nullptr);
// Writes a binary PPM (P6).
void write_ppm(std::ostream& out, const Image& image);

// Where the text cells are. Cell width 8 reads 80-column screens, 16 the
// doubled glyphs of 40-column ones; cell height 8, 14 or 16 picks the glyph
// set. Columns or rows 0 mean as many whole cells as fit.
struct CellGeometry {
  int cell_width = 8;
  int cell_height = 16;
  int origin_x = 0;
  int origin_y = 0;
  int columns = 0;
  int rows = 0;
};

// Empty when the geometry can be read from the image, else the reason.
std::string geometry_error(const Image& image, const CellGeometry& geometry);

struct Cell {
  uint8_t code = 32;         // code page 437
  Rgb fg, bg;                // fg == bg for a blank (one-colour) cell
  int fg_index = -1;         // entry of the default 16-colour text palette, or -1
  int bg_index = -1;
  bool blank = false;        // the cell holds a single colour
  bool exact = false;        // every visible glyph pixel matched
  bool cursor = false;       // a full-width ink bar was taken for the cursor
  int cursor_first_row = -1; // rows of that bar within the cell
  int cursor_last_row = -1;
  bool polarity_guessed = false;  // either colour could be the ink; the row's
                                  // usual background decided
  int distance = 0;          // glyph pixels that differ (visible rows only)
  int stray_pixels = 0;      // pixels of neither colour, or doubled pixels
                             // that disagree: noise or a wrong geometry
  double confidence = 0;     // 1 for an exact reading, lower as evidence fails
};

struct Row {
  std::vector<Cell> cells;
  std::string cp437;  // one byte per cell
  std::string utf8;   // the same through the code page table
};

// Reads every cell of the geometry; empty when geometry_error is not empty.
std::vector<Row> read_cells(const Image& image, const CellGeometry& geometry);

struct Summary {
  int cells = 0;
  int inexact = 0;            // cells without an exact reading
  int cursor_cells = 0;
  double min_confidence = 1;
  int cursor_column = -1;     // 0-based position of the first cursor cell
  int cursor_row = -1;
};
Summary summarize(const std::vector<Row>& rows);

// The 16 colours text pages show by default (palette entries 0-15).
int text_palette_index(Rgb colour);
Rgb text_palette_colour(int index);

// UTF-8 for code page 437 bytes, through codepage437_to_unicode16.
std::string cp437_to_utf8(const std::string& cp437);

}  // namespace kx::screen_reader
