#pragma once
// The packed picture format of graphics GET and PUT: a 4-byte header (a
// width field and the height, 16 bits each) and rows top to bottom, packed
// by the image's bits per pixel.
#include <cstdint>
#include <optional>

namespace kx {

struct packed_layout {
  int32_t bits;          // 1, 2, 4, 8 or 32
  uint64_t width;        // pixels
  uint64_t height;       // pixels
  uint64_t row_bytes;    // bytes of one row (all four planes at 4 bits)
  uint64_t plane_bytes;  // bytes of one plane of a row (4 bits only)
  uint64_t width_field;  // what the header's first field holds
  uint64_t total;        // header and rows
};

inline constexpr uint64_t packed_header_bytes = 4;
inline constexpr uint64_t packed_field_max = 65535;

// The layout of a w x h picture, in 64-bit arithmetic: no size wraps.
packed_layout packed_layout_of(int32_t bits, uint64_t width, uint64_t height);
// The layout a header describes, read as unsigned fields; nothing when the
// width field does not fit the depth (odd at 2 bits, not a multiple of 8
// at 8 bits).
std::optional<packed_layout> packed_layout_from_header(int32_t bits, const uint8_t* header);
// Writes the header of a layout whose fields fit in 16 bits.
void write_packed_header(const packed_layout& layout, uint8_t* header);

// Pixel x of a packed row, and its store (the row must start zeroed for
// the packed depths).
uint32_t packed_pixel(const packed_layout& layout, const uint8_t* row, uint64_t x);
void put_packed_pixel(const packed_layout& layout, uint8_t* row, uint64_t x, uint32_t colour);

}  // namespace kx
