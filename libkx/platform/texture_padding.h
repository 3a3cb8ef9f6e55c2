#pragma once
// The copy of an image that a renderer without non-power-of-two textures
// is given: padded to powers of two, with the last column and row repeated
// once so that filtering at the edge does not pick up undefined pixels.
// Kept apart from the GL calls so that its layout and its failure can be
// checked without a GL context.
#include <cstdint>
#include <memory>

namespace kx {

struct padded_pixels {
  std::unique_ptr<uint32_t[]> pixels;  // null when the copy could not be made
  uint32_t width = 0, height = 0;
};

// The padded copy of w x h pixels (w, h > 0). Never throws: a copy that
// memory cannot hold comes back without pixels, for the caller to report.
padded_pixels pad_to_powers_of_two(const uint32_t* pixels, int32_t w, int32_t h) noexcept;

}  // namespace kx
