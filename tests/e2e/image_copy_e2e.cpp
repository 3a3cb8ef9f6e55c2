// The image copy gallery in SCREEN 13, SCREEN 12 and on a 32-bit page,
// read back from the window and compared pixel for pixel with pictures
// computed here: nearest-pixel stretching, mirroring, the five PUT
// actions, transparency and alpha blending by the formula.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>

#include "gallery_run.h"

namespace {

using namespace e2e;

uint32_t colour32(uint32_t v) {
  return 0xFF000000u | (v * 17 & 0xFF) << 16 | ((255 - v * 17) & 0xFF) << 8 | (v * 50 & 0xFF);
}

uint32_t source(int x, int y) { return 1 + uint32_t(x + 2 * y) % 15; }

// One channel of a translucent pixel over an opaque one.
uint32_t over(uint32_t d, uint32_t s, uint32_t a) {
  if (a == 128) return ((d & 0xFE) + (s & 0xFE)) >> 1;
  return uint32_t(std::nearbyint(d * (1 - a / 255.0) + s * (a / 255.0)));
}

struct mode_size {
  const char* mode;
  int width, height;
  uint32_t mask;  // 0 on the 32-bit page
};

// The gallery as colour values: palette indexes, or 32-bit colours.
std::map<std::pair<int, int>, uint32_t> gallery(const mode_size& m) {
  std::map<std::pair<int, int>, uint32_t> want;
  const bool tc = m.mask == 0;
  auto v = [&](uint32_t i) { return tc ? colour32(i) : i; };
  for (int y = 0; y < 70; ++y)
    for (int x = 0; x < 120; ++x) want[{x, y}] = 0;
  for (int y = 50; y <= 59; ++y)
    for (int x = 100; x <= 109; ++x) want[{x, y}] = v(7);
  for (int y = 0; y < 6; ++y) {
    for (int x = 0; x < 8; ++x) {
      const uint32_t c = v(source(x, y));
      want[{10 + x, 10 + y}] = c;
      want[{50 + 7 - x, 10 + y}] = c;
      want[{60 + x, 10 + 5 - y}] = c;
      want[{10 + x, 30 + y}] = c;
      want[{20 + x, 30 + y}] = c ^ v(5);
      want[{30 + x, 30 + y}] = c & v(5);
      want[{40 + x, 30 + y}] = c | v(5);
      want[{50 + x, 30 + y}] = tc ? ~c : ~c & m.mask;
      if (!tc) want[{70 + x, 30 + y}] = source(x, y) == 3 ? 5 : c;
    }
  }
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 16; ++x) want[{30 + x, 10 + y}] = v(source(x / 2, y / 2));
  if (tc) {
    const uint32_t alphas[] = {0, 128, 64, 200};
    for (int x = 0; x < 4; ++x) {
      const uint32_t d = colour32(5), s = 0xFF8040u;
      uint32_t rgb = 0;
      for (int shift = 0; shift <= 16; shift += 8) {
        rgb |= over((d >> shift) & 0xFF, (s >> shift) & 0xFF, alphas[x]) << shift;
      }
      want[{70 + x, 30}] = alphas[x] ? 0xFF000000u | rgb : d;
    }
  }
  return want;
}

class ImageCopyGallery : public ::testing::TestWithParam<mode_size> {};

TEST_P(ImageCopyGallery, MatchesThePicturesComputedHere) {
  const mode_size m = GetParam();
  const auto want = gallery(m);
  run_gallery("image_copy_gallery", m.mode, m.width, m.height, [&](const page_pixel& at, std::string& report) {
    // Palette screens: each index's colour as the strip of PSETs at row 190
    // shows it.
    auto shown = [&](uint32_t value) { return m.mask ? at(10 + int(value & m.mask), 190) : value & 0xFFFFFF; };
    int wrong = 0;
    for (const auto& [p, value] : want) {
      if (at(p.first, p.second) != shown(value) && ++wrong <= 5) report += pixel_name(p.first, p.second);
    }
    return wrong;
  });
}

INSTANTIATE_TEST_SUITE_P(CopyModes, ImageCopyGallery,
                         ::testing::Values(mode_size{"13", 320, 200, 255}, mode_size{"12", 640, 480, 15},
                                           mode_size{"32", 320, 200, 0}),
                         [](const auto& info) { return std::string("mode_") + info.param.mode; });

}  // namespace
