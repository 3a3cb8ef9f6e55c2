// The 32-bit pixel blend, computed per pixel, against the rounded
// floating-point formulas it stands for, over every alpha and component.
#include <cmath>

#include "fresh_screen.h"
#include "screen/graphics/pixels.h"
#include "screen/images/blend.h"
#include "screen/images/image_statements.h"
#include "values/rounding.h"

namespace {

class BlendMath : public fresh_screen {};

uint32_t formula_channel(int a, int s, int d) {
  const double weight = a / 255.0;
  return static_cast<uint32_t>(kxr(d * (1 - weight) + weight * s));
}

uint32_t formula_alpha(int a, int b) {
  return static_cast<uint32_t>(kxr(255.0 * (1 - (1 - a / 255.0) * (1 - b / 255.0))));
}

}  // namespace

TEST_F(BlendMath, EveryAlphaSourceAndDestinationComponent) {
  for (int a = 1; a < 255; ++a) {
    if (a == 127 || a == 128) continue;  // averaged, checked below
    for (int s = 0; s < 256; ++s) {
      for (int d = 0; d < 256; ++d) {
        // The same component in all three channels with different partners
        // catches a channel mixed up with another.
        const auto colour = static_cast<uint32_t>(a << 24 | s << 16 | (255 - s) << 8 | s);
        const auto old = static_cast<uint32_t>(d << 24 | d << 16 | (255 - d) << 8 | d);
        const uint32_t got = kx::blend_pixel(old, colour);
        const uint32_t want = formula_alpha(d, a) << 24 | formula_channel(a, s, d) << 16 |
                              formula_channel(a, 255 - s, 255 - d) << 8 | formula_channel(a, s, d);
        ASSERT_EQ(got, want) << "a " << a << " s " << s << " d " << d;
      }
    }
  }
}

TEST_F(BlendMath, HalfAlphaAveragesAndTheEndsReplaceOrKeep) {
  for (const uint32_t a : {127u, 128u}) {
    for (int old_alpha = 0; old_alpha < 256; ++old_alpha) {
      const uint32_t old = static_cast<uint32_t>(old_alpha) << 24 | 0x103050;
      const uint32_t got = kx::blend_pixel(old, a << 24 | 0x305071);
      EXPECT_EQ(got, formula_alpha(old_alpha, static_cast<int>(a)) << 24 | 0x204060) << a << " " << old_alpha;
    }
  }
  EXPECT_EQ(kx::blend_pixel(0x12345678, 0xFFABCDEF), 0xFFABCDEFu);
  EXPECT_EQ(kx::blend_pixel(0x12345678, 0x00ABCDEF), 0x12345678u);
}

TEST_F(BlendMath, MakingAndDrawingOnA32BitImageBuildsNoTable) {
  const int32_t handle = func__newimage(64, 64, 32, 1);
  ASSERT_LT(handle, -1);
  sub__dest(handle);
  sub__source(handle);
  pset(1, 1, 0x90FF0000u);  // blended onto transparent black
  EXPECT_EQ(new_error.load(), 0u);
  EXPECT_EQ(point(1, 1), 0x90900000u);
  EXPECT_EQ(cblend, nullptr);
  EXPECT_EQ(ablend, nullptr);
}
