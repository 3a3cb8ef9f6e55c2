#include "screen/compose/composer.h"

#include <cstdlib>
#include <cstring>
#include <mutex>
#include <vector>

#include "base/clock.h"
#include "base/flags.h"
#include "base/message_box.h"
#include "base/window_wake.h"
#include "screen/compose/cursor_rule.h"
#include "screen/compose/frame_slots.h"
#include "screen/compose/presentation_state.h"
#include "screen/compose/race_tolerant_reads.h"
#include "screen/compose/row_band.h"
#include "screen/compose/text_raster.h"
#include "screen/fonts/fonts.h"
#include "screen/images/display_lock.h"
#include "screen/images/hardware_images.h"
#include "screen/images/image_table.h"
#include "screen/images/palette_tables.h"
#include "screen/text/text_switches.h"

namespace {

constexpr int32_t palette_entries = 256;
constexpr int64_t blink_phase_bit = 1 << 3;   // of frame: 8 frames on, 8 off
constexpr int64_t mode10_phase_bit = 1 << 9;  // of the millisecond clock

// How a text page was drawn into a frame, beyond its cells and palette.
struct text_look {
  uint32_t font = 0;
  int32_t columns = 0, rows = 0;
  bool flash = false;
  bool blink_enabled = true;
  size_t cursor_index = SIZE_MAX;  // the cell the cursor is drawn in, if any
  cursor_rows cursor_shape{};
};

// What a frame slot's buffer shows of a text page.
struct slot_contents {
  bool valid = false;
  std::vector<uint16_t> cells;
  uint32_t pal[palette_entries] = {};
  text_look look;
};

// The blink and cursor state of the last composed text frame.
struct text_phase {
  bool flash = false;
  int32_t cursor_x = -1, cursor_y = -1;
  bool cursor_drawn = false;
  bool blink_enabled = true;
  cursor_rows cursor_shape{};
};

enum class page_kind { none, text, palette, truecolour };

// What the last composed frame showed, so that the next one can tell the
// renderer the rows in which the two differ.
struct last_composition {
  int64_t order = 0;
  page_kind kind = page_kind::none;
  uint32_t font = 0;
  int32_t columns = 0, rows = 0;
};

// Kept between calls; touched only under the composer's mutex.
struct composer_memory {
  slot_contents slots[display_frame_count];
  std::vector<uint8_t> page_now;   // this call's copy of the page's pixels or cells
  std::vector<uint8_t> pixeldata;  // the last composed palette page
  bool pixeldata_valid = false;
  uint32_t paldata[palette_entries] = {};
  std::vector<uint16_t> screen_last;  // the last composed text page's cells
  uint32_t palette_now[palette_entries] = {};
  text_phase last;
  last_composition previous;
};

composer_memory memory;

enum class outcome { composed, skipped };

display_frame_record* take_frame() {
  display_frame_record* chosen = nullptr;
  for (auto& f : display_frame) {
    if (f.state.load(std::memory_order_acquire) == frame_state::free) chosen = &f;
  }
  if (chosen) {
    chosen->state.store(frame_state::composing, std::memory_order_relaxed);
    return chosen;
  }
  // Nothing free: take back the oldest frame the renderer has not taken.
  for (;;) {
    display_frame_record* oldest = nullptr;
    for (auto& f : display_frame) {
      if (f.state.load(std::memory_order_acquire) != frame_state::ready) continue;
      if (!oldest || f.order.load() < oldest->order.load()) oldest = &f;
    }
    if (!oldest) return nullptr;
    frame_state expected = frame_state::ready;
    if (oldest->state.compare_exchange_strong(expected, frame_state::composing)) return oldest;
  }
}

bool size_frame(display_frame_record& f, int32_t w, int32_t h) {
  const int64_t bytes = int64_t{w} * h * 4;
  if (f.bytes < bytes) {
    auto* grown = static_cast<uint32_t*>(std::malloc(static_cast<size_t>(bytes)));
    if (!grown) return false;
    std::free(f.bgra);
    f.bgra = grown;
    f.bytes = bytes;
  }
  f.w = w;
  f.h = h;
  return true;
}

bool software_screen_shown() { return displayorder_screen.load() != 0; }

// Tells the renderer the pixel rows, in bands of row_height, in which f
// differs from composition since; without a measured band it takes f as new.
void record_band(display_frame_record& f, const kx::row_band& rows, int64_t since, int32_t row_height) {
  if (!rows.compared || since == 0) {
    f.changed_since = 0;
    f.changed_first = 0;
    f.changed_last = f.h - 1;
    return;
  }
  f.changed_since = since;
  if (rows.empty()) {
    f.changed_first = 0;
    f.changed_last = -1;
  } else {
    f.changed_first = rows.first * row_height;
    f.changed_last = (rows.last + 1) * row_height - 1;
  }
}

outcome compose_32bit(display_frame_record& f, const img_struct& page_header) {
  const int64_t bytes = int64_t{page_header.width} * page_header.height * 4;
  const display_frame_record* previous = kx::newest_composed_frame(&f);
  if (!size_frame(f, page_header.width, page_header.height)) return outcome::skipped;
  // The page was copied straight into the frame.
  std::memcpy(f.bgra, memory.page_now.data(), static_cast<size_t>(bytes));
  const bool comparable = previous && previous->w == f.w && previous->h == f.h;
  kx::row_band band{0, f.h - 1, false};
  if (comparable && software_screen_shown()) band = kx::changed_rows(previous->bgra, f.bgra, f.w, f.h);
  if (!force_display_update.load() && screen_last_valid.load() && comparable &&
      (!software_screen_shown() || band.empty())) {
    return outcome::skipped;
  }
  record_band(f, band, comparable ? previous->order.load() : 0, 1);
  return outcome::composed;
}

outcome compose_palette(display_frame_record& f, const img_struct& page_header) {
  uint32_t* pal = memory.palette_now;
  if (page_header.mode == 10) {
    // SCREEN 10 shows attributes 0-3 through intensity pairs that alternate
    // every 512 ms. Applied to the composer's copy: the page's palette is
    // the application's.
    const int phase = (GetTicks() & mode10_phase_bit) ? 1 : 0;
    for (int n = 0; n < 4; ++n) {
      uint32_t pick = pal[4 + n];
      if (pick > 8) pick = 8;
      pal[n] = pal_mode10[phase][pick] | 0xFF000000u;
    }
  }
  const size_t bytes = size_t{page_header.width} * page_header.height;
  const size_t entries = page_header.bits_per_pixel >= 8 ? 256 : size_t{1} << page_header.bits_per_pixel;
  const bool must = !memory.pixeldata_valid || memory.pixeldata.size() != bytes;
  // The rows that differ from the last composed frame, when that showed
  // this page with the same palette.
  kx::row_band band{0, page_header.height - 1, false};
  if (!must) {
    const last_composition& was = memory.previous;
    const bool same_palette = std::memcmp(memory.paldata, pal, entries * 4) == 0;
    if (same_palette && was.kind == page_kind::palette && was.columns == page_header.width &&
        was.rows == page_header.height && software_screen_shown()) {
      band = kx::changed_rows(memory.pixeldata.data(), memory.page_now.data(), page_header.width,
                              page_header.height);
    }
    if (!force_display_update.load()) {
      const bool same = same_palette && screen_last_valid.load() &&
                        (band.compared ? band.empty()
                                       : std::memcmp(memory.pixeldata.data(), memory.page_now.data(), bytes) == 0);
      if (!software_screen_shown() || same) return outcome::skipped;
    }
  }
  if (!size_frame(f, page_header.width, page_header.height)) return outcome::skipped;
  record_band(f, band, memory.previous.order, 1);
  memory.pixeldata.swap(memory.page_now);
  memory.pixeldata_valid = true;
  std::memcpy(memory.paldata, pal, entries * 4);
  const uint8_t* src = memory.pixeldata.data();
  uint32_t* out = f.bgra;
  for (size_t i = 0; i < bytes; ++i) out[i] = memory.paldata[src[i]];
  return outcome::composed;
}

outcome compose_text(display_frame_record& f, const img_struct& page_header) {
  const uint32_t font = page_header.font;
  const int32_t cw = fontwidth[font], ch = fontheight[font];
  const int32_t columns = page_header.width, rows = page_header.height;
  const size_t cells = size_t(columns) * rows;
  bool check_last = screen_last_valid.load() != 0;
  if (memory.screen_last.size() != cells) {
    memory.screen_last.assign(cells, 0);
    check_last = false;
  }
  if (!software_screen_shown() && check_last) return outcome::skipped;
  if (!check_last) {
    std::memcpy(memory.paldata, memory.palette_now, sizeof memory.paldata);
  } else if (std::memcmp(memory.paldata, memory.palette_now, sizeof memory.paldata) != 0) {
    std::memcpy(memory.paldata, memory.palette_now, sizeof memory.paldata);
    check_last = false;
  }
  const bool blink_enabled = H3C0_blink_enable.load() != 0;
  // _BLINK changes what every blinking attribute looks like.
  if (force_display_update.load() || blink_enabled != memory.last.blink_enabled) check_last = false;

  const bool phase = (frame.load() & blink_phase_bit) != 0;
  int32_t cursor_x = page_header.cursor_x - 1, cursor_y = page_header.cursor_y - 1;
  if (page_header.holding_cursor == 2 && page_header.cursor_y != rows) {
    cursor_x = 0;
    cursor_y = page_header.cursor_y;
  }
  const cursor_rows shape = cursor_scan_lines(page_header.cursor_first_line, page_header.cursor_last_line, ch);
  const bool cursor_in_cell = cursor_x >= 0 && cursor_y >= 0 && cursor_x < columns && cursor_y < rows;
  const bool cursor_drawn = page_header.cursor_show && phase && shape.count > 0 && cursor_in_cell;

  uint16_t cell_now_storage;
  const auto cell_now = [&](size_t i) {
    std::memcpy(&cell_now_storage, memory.page_now.data() + 2 * i, 2);
    return cell_now_storage;
  };
  // Only a visible change makes a frame: a phase flip matters when a cell
  // blinks or the cursor shows.
  const bool flash_flipped = phase != memory.last.flash;
  const bool cursor_moved = cursor_x != memory.last.cursor_x || cursor_y != memory.last.cursor_y;
  const bool cursor_reshaped = cursor_drawn && memory.last.cursor_drawn && !(shape == memory.last.cursor_shape);
  bool changed = !check_last || cursor_drawn != memory.last.cursor_drawn || cursor_reshaped ||
                 (cursor_moved && (cursor_drawn || memory.last.cursor_drawn));
  if (!changed) {
    const bool any_cell_changed =
        std::memcmp(memory.screen_last.data(), memory.page_now.data(), cells * 2) != 0;
    changed = any_cell_changed;
    if (!changed && flash_flipped && blink_enabled) {
      for (size_t i = 0; i < cells && !changed; ++i) changed = (cell_now(i) & 0x8000) != 0;
    }
  }
  if (!changed) return outcome::skipped;

  // The cell rows in which this frame differs from the last composed one,
  // when that showed the same page layout. Measured only for a frame that
  // is made: an idle screen's skipped compositions cost no more than before.
  const last_composition& was = memory.previous;
  kx::row_band band{0, rows - 1, false};
  if (check_last && was.kind == page_kind::text && was.font == font && was.columns == columns && was.rows == rows) {
    band = kx::changed_rows(memory.screen_last.data(), memory.page_now.data(), size_t(columns) * 2, rows);
    if (flash_flipped && blink_enabled) {
      for (size_t i = 0; i < cells; ++i) {
        if (cell_now(i) & 0x8000) band.widen(static_cast<int32_t>(i / columns));
      }
    }
    if (memory.last.cursor_drawn) band.widen(memory.last.cursor_y);
    if (cursor_drawn) band.widen(cursor_y);
  }

  const size_t slot = static_cast<size_t>(&f - display_frame);
  slot_contents& had = memory.slots[slot];
  const int64_t bytes_before = f.bytes;
  if (!size_frame(f, columns * cw, rows * ch)) return outcome::skipped;
  // The frame buffer still holds the frame this slot showed last: only the
  // cells that differ from that one are drawn again.
  const text_look look{font, columns, rows, phase, blink_enabled,
                       cursor_drawn ? size_t(cursor_y) * columns + cursor_x : SIZE_MAX, shape};
  const bool incremental = check_last && had.valid && f.bytes == bytes_before && had.look.font == font &&
                           had.look.columns == columns && had.look.rows == rows &&
                           had.look.blink_enabled == blink_enabled &&
                           std::memcmp(had.pal, memory.paldata, sizeof had.pal) == 0;
  const kx::text_cell_style style{memory.paldata, blink_enabled, blink_enabled && phase};
  const size_t cursor_index = look.cursor_index;
  had.cells.resize(cells);
  for (int32_t y = 0; y < rows; ++y) {
    for (int32_t x = 0; x < columns; ++x) {
      const size_t i = size_t(y) * columns + x;
      const uint16_t cell = cell_now(i);
      const bool cursor_here = i == cursor_index;
      if (incremental && cell == had.cells[i] && (!(cell & 0x8000) || !blink_enabled || had.look.flash == phase) &&
          cursor_here == (i == had.look.cursor_index) && (!cursor_here || had.look.cursor_shape == shape)) {
        continue;
      }
      had.cells[i] = cell;
      kx::draw_text_cell(f.bgra, f.w, x, y, font, cell, style, cursor_here ? shape : cursor_rows{});
    }
  }
  had.valid = true;
  had.look = look;
  std::memcpy(had.pal, memory.paldata, sizeof had.pal);
  std::memcpy(memory.screen_last.data(), memory.page_now.data(), cells * 2);
  memory.last = text_phase{phase, cursor_x, cursor_y, cursor_drawn, blink_enabled, shape};
  record_band(f, band, was.order, ch);
  return outcome::composed;
}

// Copies the shown page into the composer's own buffers; false when there
// is nothing to show.
bool snapshot_page(img_struct* page_image, img_struct& header) {
  [[maybe_unused]] const kx::race_tolerant_reads tolerated;
  header = *page_image;
  if (!header.valid || !header.data || header.width == 0 || header.height == 0) return false;
  if (!header.text && header.bytes_per_pixel == 1 && !header.pal) return false;
  const size_t bytes = size_t{header.width} * header.height * header.bytes_per_pixel;
  if (header.bytes_per_pixel == 4) {
    memory.page_now.resize(bytes);
  } else {
    memory.page_now.resize(bytes);
    std::memcpy(memory.palette_now, header.pal, sizeof memory.palette_now);
  }
  std::memcpy(memory.page_now.data(), header.data, bytes);
  return true;
}

void compose_once() {
  display_frame_record* f = take_frame();
  if (!f) {
    alert("Software frame buffer: Failed to find available frame");
    return;
  }
  const int64_t order = display_frame_order_next.fetch_add(1);
  f->order.store(order);
  img_struct header{};
  outcome result = outcome::skipped;
  img_struct* shown = display_page.load();
  if (shown && snapshot_page(shown, header)) {
    if (header.text) {
      if (header.font < fontwidth.size() && fontwidth[header.font] > 0 && fontheight[header.font] > 0) {
        result = compose_text(*f, header);
      }
    } else if (header.bytes_per_pixel == 4) {
      result = compose_32bit(*f, header);
    } else {
      result = compose_palette(*f, header);
    }
  }
  if (result == outcome::composed) {
    const bool text = header.text != 0;
    memory.previous = last_composition{order,
                                       text ? page_kind::text
                                            : header.bytes_per_pixel == 4 ? page_kind::truecolour : page_kind::palette,
                                       header.font, header.width, header.height};
    f->state.store(frame_state::ready, std::memory_order_release);
    force_display_update = 0;
    screen_last_valid = 1;
  } else {
    f->state.store(frame_state::free, std::memory_order_release);
  }
  last_hardware_display_frame_order = order;
  if (result == outcome::composed || kx::hardware_commands_queued()) kx::wake_window_thread();
}

}  // namespace

void display() {
  kx::display_lock_answer();
  if (!screen_hide.load() && lock_display.load() == 0) {
    std::lock_guard<std::mutex> composing(kx::composer_mutex());
    compose_once();
  }
  kx::display_lock_answer();
  int32_t single = -1;
  autodisplay.compare_exchange_strong(single, 0);
  display_called = 1;
}

void swap_paldata_BGRA_with_RGBA() {
  std::lock_guard<std::mutex> composing(kx::composer_mutex());
  for (uint32_t& e : memory.paldata) e = (e & 0xFF00FF00u) | ((e >> 16) & 0xFF) | ((e & 0xFF) << 16);
}

void kx::composer_reset() {
  std::lock_guard<std::mutex> composing(composer_mutex());
  memory = composer_memory{};
}

const uint32_t* kx::composer_paldata() { return memory.paldata; }
