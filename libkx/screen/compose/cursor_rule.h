#pragma once
// The hardware-style text cursor: which scan lines of a cell of height h
// the cursor shape (first line, last line) covers.
#include <cstdint>

struct cursor_rows {
  int32_t first = 0;  // first row drawn, 0 = top of the cell
  int32_t count = 0;  // rows drawn; 0 = no cursor
  friend bool operator==(const cursor_rows&, const cursor_rows&) = default;
};

cursor_rows cursor_scan_lines(int32_t first_line, int32_t last_line, int32_t cell_height);
