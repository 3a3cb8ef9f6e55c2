#include "screen/text/console_output.h"

#include <cstdio>

#include "screen/images/image_create.h"
#include "screen/images/image_record.h"

namespace {

constexpr int32_t zone_width = 14;
constexpr uint8_t carriage_return = 13;
constexpr uint8_t line_feed = 10;

void line_break(img_struct& console) {
  std::fputc('\n', stdout);
  console.cursor_x = 1;
  console.holding_cursor = 0;
}

// One byte at the column. Past the last column the cursor is held, as on the
// screen: the line wraps only when another character comes, so a line of
// exactly 80 characters and its line end make one line, not two.
void put(img_struct& console, uint8_t c, bool* after_return) {
  if (c == line_feed && *after_return) {  // CR LF is one line end
    *after_return = false;
    return;
  }
  *after_return = c == carriage_return;
  if (c == carriage_return || c == line_feed) {
    line_break(console);
    return;
  }
  if (console.holding_cursor) line_break(console);
  std::fputc(c, stdout);
  if (console.cursor_x >= kx::text_columns(console)) {
    console.holding_cursor = 1;
  } else {
    ++console.cursor_x;
  }
}

}  // namespace

void kx::console_print(img_struct& console, const uint8_t* bytes, int32_t length, bool end_line) {
  bool after_return = false;
  for (int32_t i = 0; i < length; ++i) put(console, bytes[i], &after_return);
  if (end_line) line_break(console);
  std::fflush(stdout);
}

void kx::console_fit(img_struct& console, int32_t length) {
  if (console.holding_cursor || console.cursor_x == 1) return;
  if (console.cursor_x + length - 1 > text_columns(console)) line_break(console);
}

void kx::console_next_zone(img_struct& console) {
  const int32_t columns = text_columns(console);
  bool after_return = false;
  for (;;) {
    put(console, ' ', &after_return);
    const int32_t x = console.holding_cursor ? columns : console.cursor_x;
    if (x == 1 || x == columns || ((x - 1) % zone_width == 0 && x < columns - 12)) break;
  }
  std::fflush(stdout);
}

void kx::console_line_started(img_struct& console) {
  console.cursor_x = 1;
  console.holding_cursor = 0;
}
