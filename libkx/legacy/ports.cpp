#include "legacy/ports.h"

#include <algorithm>

#include "base/error.h"
#include "base/flags.h"
#include "input/inkey.h"
#include "screen/images/image_table.h"
#include "screen/text/text_switches.h"
#include "values/rounding.h"

uint8_t H3C7_palette_register_read_index = 0;
uint8_t H3C8_palette_register_index = 0;
int32_t H3C9_next = 0;
int32_t H3C9_read_next = 0;
int32_t unsupported_port_accessed = 0;

namespace {

constexpr int32_t attribute_controller = 0x3C0;
constexpr int32_t palette_read_index_port = 0x3C7;
constexpr int32_t palette_write_index_port = 0x3C8;
constexpr int32_t palette_data_port = 0x3C9;
constexpr int32_t input_status_port = 0x3DA;
constexpr int32_t keyboard_data_port = 0x60;

constexpr int32_t blink_bit = 8;
constexpr int32_t retrace_bit = 8;

// Palette entries are 0xAARRGGBB: red, green and blue lie this far up.
constexpr int component_shift[3] = {16, 8, 0};

// The VGA's 6-bit colour levels spread over 0 ... 255 and back, so that 63
// is full intensity either way and a written level reads back unchanged.
uint8_t level_to_component(int32_t value) {
  const int64_t c = kxr(static_cast<double>(value & 63) * 4.0634918212890625 - 0.49999991059303284);
  return static_cast<uint8_t>(std::clamp<int64_t>(c, 0, 255));
}
int32_t component_to_level(uint8_t c8) {
  const int64_t v = kxr(static_cast<double>(c8) / 3.984376 - 0.49999991059303284);
  return static_cast<int32_t>(std::clamp<int64_t>(v, 0, 63));
}

// Moves a component counter on; after blue the entry index moves on too.
void next_component(int32_t& counter, uint8_t& index) {
  if (++counter == 3) {
    counter = 0;
    ++index;  // wraps from 255 to 0
  }
}

void write_palette_component(int32_t value) {
  if (write_page && write_page->pal) {
    uint32_t& entry = write_page->pal[H3C8_palette_register_index];
    const int shift = component_shift[H3C9_next];
    entry = (entry & ~(uint32_t{0xFF} << shift)) | (uint32_t{level_to_component(value)} << shift);
  }
  next_component(H3C9_next, H3C8_palette_register_index);
}

int32_t read_palette_component() {
  if (!write_page || !write_page->pal) return 0;
  const uint32_t entry = write_page->pal[H3C7_palette_register_read_index];
  const auto c8 = static_cast<uint8_t>(entry >> component_shift[H3C9_read_next]);
  next_component(H3C9_read_next, H3C7_palette_register_read_index);
  return component_to_level(c8);
}

// The retrace bit is up while the main loop is in its retrace, and once
// more after each retrace that no read has seen yet.
int32_t input_status() {
  const bool happened = vertical_retrace_happened.exchange(0) != 0;
  return happened || vertical_retrace_in_progress.load() ? retrace_bit : 0;
}

}  // namespace

void kx::ports_reset() {
  H3C7_palette_register_read_index = 0;
  H3C8_palette_register_index = 0;
  H3C9_next = 0;
  H3C9_read_next = 0;
  unsupported_port_accessed = 0;
}

void sub_out(int32_t port, int32_t value) {
  if (new_error.load()) return;
  unsupported_port_accessed = 0;
  switch (port & 0xFFFF) {
    case attribute_controller:
      H3C0_blink_enable = value & blink_bit;
      break;
    case palette_read_index_port:
      H3C7_palette_register_read_index = static_cast<uint8_t>(value);
      H3C9_read_next = 0;
      break;
    case palette_write_index_port:
      H3C8_palette_register_index = static_cast<uint8_t>(value);
      H3C9_next = 0;
      break;
    case palette_data_port:
      write_palette_component(value);
      break;
    default:
      unsupported_port_accessed = 1;
      break;
  }
}

int32_t func_inp(int32_t port) {
  if (new_error.load()) return 0;
  unsupported_port_accessed = 0;
  if (port > 65535 || port < -65536) {
    error(err::overflow);
    return 0;
  }
  switch (port & 0xFFFF) {
    case palette_data_port:
      return read_palette_component();
    case input_status_port:
      return input_status();
    case keyboard_data_port:
      return keyboard_port60h_read();
    default:
      unsupported_port_accessed = 1;
      return 0;
  }
}
