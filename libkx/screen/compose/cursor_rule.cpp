#include "screen/compose/cursor_rule.h"

namespace {

// The bottom row a shape counts up from: the cell's last row, except on a
// 16-row cell, where the old cards left row 15 blank and drew row 14.
int32_t bottom_row(int32_t h) { return h - 1 == 15 ? 14 : h - 1; }

cursor_rows from_bottom(int32_t rows, int32_t h) { return {bottom_row(h) - rows + 1, rows}; }

cursor_rows to_cell_end(int32_t first, int32_t h) { return {first, h - first}; }

cursor_rows shape(int32_t f, int32_t l, int32_t h) {
  if (f == 0 && l == 0) return {0, 1};
  if (f > 0 && l == 0) return {};
  if (l < f) return to_cell_end(l, h);
  if (f == l) return f <= 3 ? cursor_rows{f, 1} : cursor_rows{bottom_row(h), 1};
  if (f <= 1) return l <= 3 ? cursor_rows{f, l - f + 1} : to_cell_end(f, h);
  if (f == 2) {
    if (l == 3) return {2, 2};
    if (l == 4) return from_bottom(3, h);
    return to_cell_end(2, h);
  }
  if (l == f + 1) return from_bottom(2, h);
  if (l == f + 2) return from_bottom(3, h);
  return {h - h / 2, h / 2};  // the bottom half, down to the cell's last row
}

}  // namespace

cursor_rows cursor_scan_lines(int32_t first_line, int32_t last_line, int32_t cell_height) {
  cursor_rows r = shape(first_line, last_line, cell_height);
  if (r.count <= 0) return {};
  // Rows outside the cell are never drawn; a start at or past the bottom
  // draws nothing.
  if (r.first < 0) {
    r.count += r.first;
    r.first = 0;
  }
  if (r.first >= cell_height) return {};
  if (r.first + r.count > cell_height) r.count = cell_height - r.first;
  if (r.count <= 0) return {};
  return r;
}
