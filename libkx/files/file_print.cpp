#include "files/file_print.h"

#include <array>
#include <cstring>

#include "base/error.h"
#include "files/file_errors.h"
#include "files/file_handles.h"
#include "screen/text/print.h"
#include "values/string_create.h"
#include "values/string_descriptor.h"

namespace {

constexpr int64_t print_zone_width = 14;
// The blanks that padding is written from.
constexpr std::array<uint8_t, 32> blanks = [] {
  std::array<uint8_t, 32> b{};
  b.fill(' ');
  return b;
}();
constexpr uint8_t line_end[] = {13, 10};
// Items up to this long are written together with what follows them.
constexpr int32_t short_item = 64;

// The column after writing bytes: CR returns to 1, LF keeps it.
int64_t column_after(int64_t column, const uint8_t* bytes, int64_t count) {
  for (int64_t i = 0; i < count; ++i) {
    if (bytes[i] == 13)
      column = 1;
    else if (bytes[i] != 10)
      ++column;
  }
  return column;
}

}  // namespace

void sub_file_print(int32_t n, kxs* text, int32_t extra_space, int32_t tab, int32_t newline) {
  if (new_error) return;
  if (n < 0) return;  // network connections print nothing
  const int32_t h = kx::handle_of_number(n);
  if (h < 0) {
    error(err::bad_file_name_or_number);
    return;
  }
  gfs_file_struct& record = gfs_file[static_cast<size_t>(h)];
  if (record.is_screen) {
    // The screen device: the text goes to the screen as PRINT writes it.
    kxs_print(text, newline ? 1 : 0);
    return;
  }
  if (record.file_type != file_type_output) {
    error(err::bad_file_mode);
    return;
  }
  if (!record.can_write) {
    error(err::path_file_access_error);
    return;
  }
  const int64_t column = column_after(record.column, text->chars, text->length);
  int64_t padding = 0;
  if (extra_space) padding = 1;
  if (tab) {
    ++padding;
    const int64_t offset = (column + padding - 1) % print_zone_width;
    if (offset) padding += print_zone_width - offset;
  }
  // The item, its padding and the line end go out in one write when they
  // fit in a short buffer, as a printed number always does.
  std::array<uint8_t, short_item + blanks.size() + sizeof line_end> out;
  int64_t tail = 0;
  const auto add = [&](const uint8_t* bytes, int64_t count) {
    std::memcpy(out.data() + tail, bytes, static_cast<size_t>(count));
    tail += count;
  };
  if (text->length <= short_item) {
    add(text->chars, text->length);
  } else {
    const int32_t result = gfs_write(h, -1, text->chars, text->length);
    if (result != gfs_ok) {
      kx::raise_data_error(result);
      return;
    }
    record.column = column;
  }
  add(blanks.data(), padding);
  if (newline) add(line_end, sizeof line_end);
  if (tail) {
    const int32_t result = gfs_write(h, -1, out.data(), tail);
    if (result != gfs_ok) {
      kx::raise_data_error(result);
      return;
    }
  }
  record.column = newline ? 1 : column + padding;
}

namespace {

// The open sequential output channel n, or null.
const gfs_file_struct* output_channel(int32_t n) {
  if (n < 0) return nullptr;
  const int32_t h = kx::handle_of_number(n);
  return h < 0 ? nullptr : &gfs_file[static_cast<size_t>(h)];
}

}  // namespace

kxs* func_tab_file(int32_t n, int32_t file_number) {
  if (new_error) return kxs_new(0, 1);
  const gfs_file_struct* record = output_channel(file_number);
  if (!record) return kxs_new(0, 1);
  if (record->is_screen) return func_tab(n);
  return kx::tab_text(n, static_cast<int32_t>(record->column), 0, true);
}

kxs* func_spc_file(int32_t n, int32_t file_number) {
  if (new_error) return kxs_new(0, 1);
  const gfs_file_struct* record = output_channel(file_number);
  if (!record) return kxs_new(0, 1);
  if (record->is_screen) return func_spc(n);
  return kx::spc_text(n, static_cast<int32_t>(record->column), 0, true);
}
