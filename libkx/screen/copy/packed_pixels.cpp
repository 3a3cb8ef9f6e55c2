#include "screen/copy/packed_pixels.h"

#include <cstring>

namespace {

uint64_t bytes_for_bits(uint64_t pixels, uint64_t per_byte) { return (pixels + per_byte - 1) / per_byte; }

uint16_t read16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
void write16(uint8_t* p, uint64_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}

}  // namespace

kx::packed_layout kx::packed_layout_of(int32_t bits, uint64_t width, uint64_t height) {
  packed_layout l{bits, width, height, 0, 0, width, 0};
  switch (bits) {
    case 1:
      l.row_bytes = bytes_for_bits(width, 8);
      break;
    case 2:
      l.row_bytes = bytes_for_bits(width, 4);
      l.width_field = 2 * width;
      break;
    case 4:
      l.plane_bytes = bytes_for_bits(width, 8);
      l.row_bytes = 4 * l.plane_bytes;
      break;
    case 8:
      l.row_bytes = width;
      l.width_field = 8 * width;
      break;
    default:
      l.row_bytes = 4 * width;
      break;
  }
  l.total = packed_header_bytes + height * l.row_bytes;
  return l;
}

std::optional<kx::packed_layout> kx::packed_layout_from_header(int32_t bits, const uint8_t* header) {
  uint64_t width = read16(header);
  const uint64_t height = read16(header + 2);
  if (bits == 2) {
    if (width % 2) return std::nullopt;
    width /= 2;
  } else if (bits == 8) {
    if (width % 8) return std::nullopt;
    width /= 8;
  }
  return packed_layout_of(bits, width, height);
}

void kx::write_packed_header(const packed_layout& layout, uint8_t* header) {
  write16(header, layout.width_field);
  write16(header + 2, layout.height);
}

uint32_t kx::packed_pixel(const packed_layout& l, const uint8_t* row, uint64_t x) {
  switch (l.bits) {
    case 1:
      return (row[x >> 3] >> (7 - (x & 7))) & 1u;
    case 2:
      return (row[x >> 2] >> (6 - 2 * (x & 3))) & 3u;
    case 4: {
      uint32_t c = 0;
      for (uint32_t plane = 0; plane < 4; ++plane) {
        c |= ((row[plane * l.plane_bytes + (x >> 3)] >> (7 - (x & 7))) & 1u) << plane;
      }
      return c;
    }
    case 8:
      return row[x];
    default: {
      uint32_t c;
      std::memcpy(&c, row + 4 * x, 4);
      return c;
    }
  }
}

void kx::put_packed_pixel(const packed_layout& l, uint8_t* row, uint64_t x, uint32_t c) {
  switch (l.bits) {
    case 1:
      row[x >> 3] |= static_cast<uint8_t>((c & 1u) << (7 - (x & 7)));
      return;
    case 2:
      row[x >> 2] |= static_cast<uint8_t>((c & 3u) << (6 - 2 * (x & 3)));
      return;
    case 4:
      for (uint32_t plane = 0; plane < 4; ++plane) {
        row[plane * l.plane_bytes + (x >> 3)] |= static_cast<uint8_t>(((c >> plane) & 1u) << (7 - (x & 7)));
      }
      return;
    case 8:
      row[x] = static_cast<uint8_t>(c);
      return;
    default:
      std::memcpy(row + 4 * x, &c, 4);
      return;
  }
}
