// Image copies on image buffers: graphics GET and PUT in the packed format
// of every depth, _PUTIMAGE's stretching, mirroring, transparency and
// blending, self-copies, hardware destinations, and PCOPY.
#include <cstring>
#include <functional>
#include <vector>

#include "graphics_screen.h"
#include "hardware_commands.h"
#include "screen/copy/graphics_get_put.h"
#include "screen/copy/pcopy.h"
#include "screen/copy/putimage.h"
#include "screen/graphics/coordinates.h"
#include "screen/images/blend.h"
#include "screen/images/hardware_images.h"
#include "values/byte_element.h"
#include "values/handle_list.h"

namespace {

class ImageCopy : public graphics_screen {
 protected:
  // An array's bytes as compiled code hands them over.
  struct packed_array {
    std::vector<uint8_t> bytes;
    byte_element_struct view{};
    explicit packed_array(size_t n) : bytes(n) { view = {reinterpret_cast<uint64_t>(bytes.data()), int32_t(n)}; }
    uint32_t width_field() const { return bytes[0] | bytes[1] << 8; }
    uint32_t height_field() const { return bytes[2] | bytes[3] << 8; }
  };
  static void get(packed_array& a, float x1, float y1, float x2, float y2, int32_t passed = 0, uint32_t off = 0) {
    sub_graphics_get(&a.view, off, passed, x1, y1, x2, y2);
  }
  static void put(packed_array& a, float x, float y, int32_t action, int32_t options = 0, uint32_t clear = 0) {
    sub_graphics_put(&a.view, action, clear, options, x, y);
  }
  static void set(int32_t x, int32_t y, uint32_t c) {
    img_struct& i = *write_page;
    const uint64_t p = uint64_t(y) * i.width + x;
    if (i.bytes_per_pixel == 1) {
      i.data[p] = uint8_t(c);
    } else {
      kx::pixels32(i)[p] = c;
    }
  }
  static uint32_t& px32(int32_t handle, int32_t x, int32_t y) {
    img_struct& i = img[-handle];
    return kx::pixels32(i)[uint64_t(y) * i.width + x];
  }
  static int32_t image32(int32_t w, int32_t h) { return func__newimage(w, h, 32, 1); }
  // Every 32-bit pixel of the image given a distinct opaque colour.
  static void number_pixels(int32_t handle) {
    const img_struct& i = img[-handle];
    for (int32_t y = 0; y < i.height; ++y)
      for (int32_t x = 0; x < i.width; ++x) px32(handle, x, y) = 0xFF000000u | uint32_t(y << 8 | x);
  }
};

struct depth_case {
  int32_t mode;          // 0 for a 32-bit page
  uint32_t colours;      // colours to cycle through
  uint32_t width_field;  // of a 13-pixel-wide rectangle
  size_t total;          // bytes of a 13 x 3 rectangle
};

TEST_F(ImageCopy, GetAndPutRoundTripInEveryDepthWithItsHeaderAndSizeCheck) {
  const depth_case cases[] = {
      {2, 2, 13, 4 + 3 * 2},        // 1 bit
      {1, 4, 26, 4 + 3 * 4},        // 2 bits
      {12, 16, 13, 4 + 4 * 3 * 2},  // 4 bits, four planes
      {13, 256, 104, 4 + 13 * 3},   // 8 bits
      {0, 0, 13, 4 + 4 * 13 * 3},   // 32 bits
  };
  for (const depth_case& c : cases) {
    SCOPED_TRACE(c.mode);
    if (c.mode) {
      screen(c.mode);
    } else {
      page32(64, 32);
    }
    auto colour = [&](int32_t x, int32_t y) {
      const uint32_t n = uint32_t(x * 7 + y * 3 + 1);
      return c.colours ? n % c.colours : 0xFF000000u | n * 0x010203u;
    };
    for (int32_t y = 0; y < 3; ++y)
      for (int32_t x = 0; x < 13; ++x) set(5 + x, 4 + y, colour(x, y));
    packed_array small(c.total - 1);
    get(small, 5, 4, 17, 6);
    EXPECT_EQ(take_error(), 5u);
    EXPECT_EQ(small.width_field(), 0u) << "nothing is written when the check fails";
    packed_array a(c.total);
    get(a, 17, 6, 5, 4);  // corners in either order
    ASSERT_EQ(take_error(), 0u);
    EXPECT_EQ(a.width_field(), c.width_field);
    EXPECT_EQ(a.height_field(), 3u);
    if (c.mode == 2) {  // the leftmost pixel in bit 7
      EXPECT_EQ(a.bytes[4] >> 7, colour(0, 0));
    }
    clear();
    put(a, 30, 20, 1);
    ASSERT_EQ(take_error(), 0u);
    for (int32_t y = 0; y < 3; ++y)
      for (int32_t x = 0; x < 13; ++x) EXPECT_EQ(at(30 + x, 20 + y), colour(x, y)) << x << "," << y;
    EXPECT_EQ(at(29, 20), 0u);
    EXPECT_EQ(at(43, 22), 0u);
  }
}

// The array of every depth, built here from the format table, against what
// GET writes byte for byte; PUT of the array built here draws the picture
// back: a program's saved sprites and DATA pictures are read the same way.
TEST_F(ImageCopy, GetWritesAndPutReadsTheArrayOfTheFormatTableByteForByte) {
  constexpr int32_t w = 11, h = 3, left = 6, top = 2;
  const int32_t modes[] = {2, 1, 12, 13, 0};
  for (const int32_t mode : modes) {
    SCOPED_TRACE(mode);
    if (mode) {
      screen(mode);
    } else {
      page32(32, 16);
    }
    const int32_t bits = mode == 2 ? 1 : mode == 1 ? 2 : mode == 12 ? 4 : mode == 13 ? 8 : 32;
    auto colour = [&](int32_t x, int32_t y) -> uint32_t {
      const uint32_t n = uint32_t(x * 5 + y * 7 + x * y + 3);
      return bits == 32 ? 0x01000000u * (n & 0xFF) + 0x10203u * n : n % (1u << bits);
    };
    std::vector<uint8_t> expected = {uint8_t(bits == 2 ? 2 * w : bits == 8 ? 8 * w : w), 0, uint8_t(h), 0};
    for (int32_t y = 0; y < h; ++y) {
      const size_t row = expected.size();
      if (bits == 1 || bits == 2) {
        const int32_t per_byte = 8 / bits;
        expected.resize(row + (w + per_byte - 1) / per_byte);
        for (int32_t x = 0; x < w; ++x)
          expected[row + x / per_byte] |= uint8_t(colour(x, y) << (8 - bits - bits * (x % per_byte)));
      } else if (bits == 4) {
        const int32_t plane = (w + 7) / 8;
        expected.resize(row + 4 * plane);
        for (int32_t bit = 0; bit < 4; ++bit)
          for (int32_t x = 0; x < w; ++x)
            if (colour(x, y) >> bit & 1) expected[row + bit * plane + x / 8] |= uint8_t(0x80 >> (x % 8));
      } else {
        for (int32_t x = 0; x < w; ++x)
          for (int32_t byte = 0; byte < bits / 8; ++byte) expected.push_back(uint8_t(colour(x, y) >> 8 * byte));
      }
    }
    for (int32_t y = 0; y < h; ++y)
      for (int32_t x = 0; x < w; ++x) set(left + x, top + y, colour(x, y));
    packed_array a(expected.size());
    get(a, left, top, left + w - 1, top + h - 1);
    ASSERT_EQ(take_error(), 0u);
    EXPECT_EQ(a.bytes, expected);
    clear();
    packed_array b(expected.size());
    b.bytes = expected;
    b.view = {reinterpret_cast<uint64_t>(b.bytes.data()), int32_t(b.bytes.size())};
    put(b, 1, 1, 1);
    ASSERT_EQ(take_error(), 0u);
    // The whole region, with a frame of untouched pixels around it.
    for (int32_t y = 0; y < h + 2; ++y)
      for (int32_t x = 0; x < w + 2; ++x) {
        const bool inside = x >= 1 && x <= w && y >= 1 && y <= h;
        EXPECT_EQ(at(x, y), inside ? colour(x - 1, y - 1) : 0u) << x << "," << y;
      }
  }
}

TEST_F(ImageCopy, PutOutsideTheImageNeedsClipAndTheFiveActionsCombinePixels) {
  screen(13);
  for (int32_t y = 0; y < 10; ++y)
    for (int32_t x = 0; x < 10; ++x) set(x, y, uint32_t(10 * y + x));
  packed_array a(104);
  get(a, 0, 0, 9, 9);
  ASSERT_EQ(take_error(), 0u);
  EXPECT_EQ(a.width_field(), 80u);
  put(a, 315, 195, 1);
  EXPECT_EQ(take_error(), 5u);
  EXPECT_EQ(at(315, 195), 0u);
  put(a, 315, 195, 1, 2);
  ASSERT_EQ(take_error(), 0u);
  EXPECT_EQ(at(315, 195), 0u);
  EXPECT_EQ(at(319, 199), 44u);
  put(a, -3, -3, 1, 2);  // clipped at the top left as well
  EXPECT_EQ(take_error(), 0u);
  EXPECT_EQ(at(0, 0), 33u);

  clear();
  for (int32_t x = 100; x < 110; ++x) set(x, 50, 0x5A);
  put(a, 100, 50, 0);
  EXPECT_EQ(at(103, 50), 0x5Au ^ 3);
  put(a, 100, 50, 5);  // XOR again restores the picture
  EXPECT_EQ(at(103, 50), 0x5Au);
  put(a, 100, 50, 3);
  EXPECT_EQ(at(103, 50), 0x5Au & 3);
  put(a, 100, 50, 4);
  EXPECT_EQ(at(104, 50), (0x5Au & 4) | 4);
  put(a, 100, 50, 2);
  EXPECT_EQ(at(107, 50), uint32_t(~7u & 0xFF));
  set(105, 50, 0x77);
  put(a, 100, 50, 1, 4, 5);  // transparent colour 5 is skipped
  EXPECT_EQ(at(105, 50), 0x77u);
  EXPECT_EQ(at(106, 50), 6u);
  put(a, 100, 50, 7);
  EXPECT_EQ(take_error(), 5u);

  // On 32-bit pixels the actions take the whole value, alpha included.
  page32(20, 20);
  packed_array b(4 + 4);
  set(0, 0, 0x80FF00FFu);
  get(b, 0, 0, 0, 0);
  set(1, 1, 0xFF00FF00u);
  put(b, 1, 1, 0);
  EXPECT_EQ(at(1, 1), 0x7FFFFFFFu);
  put(b, 1, 1, 2);
  EXPECT_EQ(at(1, 1), 0x7F00FF00u);
}

TEST_F(ImageCopy, SizesThatTheHeaderCannotHoldAreRefusedWithoutWrapping) {
  page32(64, 64);
  // 65,536 pixels wide would store 0 in the width field.
  packed_array a(4 + 4 * 65536 + 16);
  get(a, 0, 0, 65535, 0, 4, 7);
  EXPECT_EQ(take_error(), 5u);
  EXPECT_EQ(a.height_field(), 0u);
  // Needs 4 + 4 x 40,001 x 40,001 bytes: more than 32 bits hold.
  get(a, 0, 0, 40000, 40000, 4, 7);
  EXPECT_EQ(take_error(), 5u);
  // With an off-screen colour the rectangle may leave the image.
  packed_array b(4 + 4 * 4);
  get(b, -1, -1, 0, 0, 4, 0x12345678u);
  ASSERT_EQ(take_error(), 0u);
  uint32_t outside;
  std::memcpy(&outside, b.bytes.data() + 4, 4);
  EXPECT_EQ(outside, 0x12345678u);
  // PUT reads its header's fields as unsigned: 65535 x 65535 needs far
  // more bytes than the array has.
  screen(13);
  packed_array c(64);
  c.bytes[0] = 0xF8, c.bytes[1] = 0xFF, c.bytes[2] = 0xFF, c.bytes[3] = 0xFF;
  put(c, 0, 0, 1, 2);
  EXPECT_EQ(take_error(), 5u);
  c.bytes[0] = 3, c.bytes[1] = 0, c.bytes[2] = 1, c.bytes[3] = 0;  // not a multiple of 8 at 8 bits
  put(c, 0, 0, 1);
  EXPECT_EQ(take_error(), 5u);
  // A picture 0 pixels wide and 3 high, clipped or not, changes nothing.
  set(0, 0, 9);
  c.bytes[0] = 0, c.bytes[1] = 0, c.bytes[2] = 3, c.bytes[3] = 0;
  put(c, -20, 0, 1, 2);
  put(c, 0, 0, 1);
  EXPECT_EQ(take_error(), 0u);
  EXPECT_EQ(at(0, 0), 9u);
  packed_array tiny(3);
  put(tiny, 0, 0, 1);
  EXPECT_EQ(take_error(), 5u);
}

TEST_F(ImageCopy, PutImageStretchesByNearestPixelAndMirrorsInEachAxis) {
  const int32_t dst = page32(40, 40);
  const int32_t src = image32(4, 3);
  number_pixels(src);
  // The whole source stretched over a rectangle twice its size.
  sub__putimage(10, 10, 17, 15, src, 0, 0, 0, 0, 0, putimage_dest_first | putimage_dest_second | putimage_source_image);
  ASSERT_EQ(take_error(), 0u);
  for (int32_t y = 0; y < 6; ++y)
    for (int32_t x = 0; x < 8; ++x) EXPECT_EQ(at(10 + x, 10 + y), px32(src, x / 2, y / 2)) << x << "," << y;
  EXPECT_EQ(at(18, 10), 0u);
  // Destination corners swapped: mirrored horizontally, then vertically.
  clear();
  sub__putimage(3, 0, 0, 2, src, 0, 0, 0, 3, 2,
                putimage_dest_first | putimage_dest_second | putimage_source_image | putimage_source_first |
                    putimage_source_second);
  for (int32_t y = 0; y < 3; ++y)
    for (int32_t x = 0; x < 4; ++x) EXPECT_EQ(at(x, y), px32(src, 3 - x, y));
  clear();
  sub__putimage(0, 2, 3, 0, src, 0, 0, 0, 0, 0, putimage_dest_first | putimage_dest_second | putimage_source_image);
  for (int32_t y = 0; y < 3; ++y)
    for (int32_t x = 0; x < 4; ++x) EXPECT_EQ(at(x, y), px32(src, x, 2 - y));
  // The cursor follows the second destination corner; the source's goes
  // to its size.
  EXPECT_EQ(img[-dst].graphics.x, 3);
  EXPECT_EQ(img[-src].graphics.x, 4);
  // A point only: unscaled, clipped at the image's edge.
  clear();
  sub__putimage(38, 5, 0, 0, src, 0, 0, 0, 0, 0, putimage_dest_first | putimage_source_image);
  EXPECT_EQ(at(39, 5), px32(src, 1, 0));
  EXPECT_EQ(img[-dst].graphics.x, 42);
  // A first source corner alone is refused.
  sub__putimage(0, 0, 0, 0, src, 0, 1, 1, 0, 0, putimage_dest_first | putimage_source_image | putimage_source_first);
  EXPECT_EQ(take_error(), 5u);
}

// A reversed source rectangle mirrors, a destination that starts left of
// and above the page reads the source from the matching offset, and a source
// marked _DONTBLEND replaces instead of blending: every pixel of the page.
TEST_F(ImageCopy, PutImageMirrorsAReversedSourceAndClipsADestinationOffThePage) {
  page32(12, 10);
  const int32_t src = image32(6, 5);
  number_pixels(src);
  auto expect_page = [&](const std::function<uint32_t(int32_t, int32_t)>& want) {
    for (int32_t y = 0; y < 10; ++y)
      for (int32_t x = 0; x < 12; ++x) EXPECT_EQ(at(x, y), want(x, y)) << x << "," << y;
  };
  // Source corners right to left and bottom to top, unscaled.
  sub__putimage(2, 1, 7, 5, src, 0, 5, 4, 0, 0,
                putimage_dest_first | putimage_dest_second | putimage_source_image | putimage_source_first |
                    putimage_source_second);
  ASSERT_EQ(take_error(), 0u);
  expect_page([&](int32_t x, int32_t y) {
    const bool inside = x >= 2 && x <= 7 && y >= 1 && y <= 5;
    return inside ? px32(src, 5 - (x - 2), 4 - (y - 1)) : 0u;
  });
  // Only the source's x reversed: a horizontal mirror only.
  clear();
  sub__putimage(0, 0, 5, 4, src, 0, 5, 0, 0, 4,
                putimage_dest_first | putimage_dest_second | putimage_source_image | putimage_source_first |
                    putimage_source_second);
  expect_page([&](int32_t x, int32_t y) { return x <= 5 && y <= 4 ? px32(src, 5 - x, y) : 0u; });
  // Three columns left of the page and two rows above it.
  clear();
  sub__putimage(-3, -2, 0, 0, src, 0, 0, 0, 0, 0, putimage_dest_first | putimage_source_image);
  ASSERT_EQ(take_error(), 0u);
  expect_page([&](int32_t x, int32_t y) { return x <= 2 && y <= 2 ? px32(src, x + 3, y + 2) : 0u; });
  // The same with a source rectangle, mirrored.
  clear();
  sub__putimage(-3, -2, 2, 2, src, 0, 5, 0, 0, 4,
                putimage_dest_first | putimage_dest_second | putimage_source_image | putimage_source_first |
                    putimage_source_second);
  expect_page([&](int32_t x, int32_t y) { return x <= 2 && y <= 2 ? px32(src, 5 - (x + 3), y + 2) : 0u; });

  // Half-transparent pixels: blended, unless the source is marked.
  for (int32_t y = 0; y < 5; ++y)
    for (int32_t x = 0; x < 6; ++x) px32(src, x, y) = 0x80000000u | uint32_t(x * 40) << 16 | uint32_t(y * 50);
  auto fill_page = [&] {
    for (int32_t y = 0; y < 10; ++y)
      for (int32_t x = 0; x < 12; ++x) set(x, y, 0xFF204060u);
  };
  fill_page();
  sub__putimage(1, 1, 0, 0, src, 0, 0, 0, 0, 0, putimage_dest_first | putimage_source_image);
  EXPECT_EQ(at(1, 1), kx::blend_pixel(0xFF204060u, px32(src, 0, 0)));
  EXPECT_NE(at(1, 1), px32(src, 0, 0));
  fill_page();
  sub__dontblend(src, 1);
  sub__putimage(1, 1, 0, 0, src, 0, 0, 0, 0, 0, putimage_dest_first | putimage_source_image);
  ASSERT_EQ(take_error(), 0u);
  expect_page([&](int32_t x, int32_t y) {
    const bool inside = x >= 1 && x <= 6 && y >= 1 && y <= 5;
    return inside ? px32(src, x - 1, y - 1) : 0xFF204060u;
  });
}

TEST_F(ImageCopy, PutImageBlendsTransparentAndPaletteSourcesByTheirRules) {
  page32(8, 8);
  const int32_t src = image32(4, 1);
  px32(src, 0, 0) = 0x00FFFFFFu;  // alpha 0: leaves the destination
  px32(src, 1, 0) = 0x80FF0000u;  // 128: averaged
  px32(src, 2, 0) = 0x400000FFu;  // others: the blend formula
  px32(src, 3, 0) = 0xFF00FF00u;  // opaque: replaces
  for (int32_t x = 0; x < 4; ++x) set(x, 0, 0xFF204060u);
  sub__putimage(0, 0, 0, 0, src, 0, 0, 0, 0, 0, putimage_dest_first | putimage_source_image);
  EXPECT_EQ(at(0, 0), 0xFF204060u);
  EXPECT_EQ((at(1, 0) >> 16) & 0xFF, (0x20u + 0xFFu) / 2);
  const uint32_t blue = at(2, 0) & 0xFF;
  EXPECT_NEAR(double(blue), 0x60 * (1 - 64 / 255.0) + 255 * 64 / 255.0, 0.5);
  EXPECT_EQ((at(2, 0) >> 16) & 0xFF, uint32_t(0x20 * (1 - 64 / 255.0) + 0.5));
  EXPECT_EQ(at(3, 0), 0xFF00FF00u);
  sub__dontblend(0, 0);
  sub__putimage(0, 1, 0, 0, src, 0, 0, 0, 0, 0, putimage_dest_first | putimage_source_image);
  EXPECT_EQ(at(0, 1), 0x00FFFFFFu);

  // Palette sources: indexes copied onto palette images (not masked),
  // palette colours onto 32-bit ones; the transparent index is skipped.
  const int32_t pal = func__newimage(3, 1, 13, 1);
  img[-pal].data[0] = 1, img[-pal].data[1] = 200, img[-pal].data[2] = 4;
  img[-pal].transparent_color = 4;
  set(2, 2, 0xFF010203u);
  sub__putimage(0, 2, 0, 0, pal, 0, 0, 0, 0, 0, putimage_dest_first | putimage_source_image);
  EXPECT_EQ(at(0, 2), img[-pal].pal[1]);
  EXPECT_EQ(at(1, 2), img[-pal].pal[200]);
  EXPECT_EQ(at(2, 2), 0xFF010203u);
  screen(12);
  set(2, 0, 9);
  sub__putimage(0, 0, 0, 0, pal, 0, 0, 0, 0, 0, putimage_dest_first | putimage_source_image);
  EXPECT_EQ(at(1, 0), 200u);
  EXPECT_EQ(at(2, 0), 9u);
  // 32-bit onto a palette image, and text on either side, are refused.
  sub__putimage(0, 0, 0, 0, src, 0, 0, 0, 0, 0, putimage_dest_first | putimage_source_image);
  EXPECT_EQ(take_error(), 5u);
  const int32_t text = func__newimage(80, 25, 0, 1);
  sub__putimage(0, 0, 0, 0, text, 0, 0, 0, 0, 0, putimage_dest_first | putimage_source_image);
  EXPECT_EQ(take_error(), 5u);
  sub__putimage(0, 0, 0, 0, pal, text, 0, 0, 0, 0, putimage_dest_first | putimage_source_image | putimage_dest_image);
  EXPECT_EQ(take_error(), 5u);
}

TEST_F(ImageCopy, SelfCopiesReadThePixelsAsTheyWereBeforeTheStatement) {
  const int32_t handle = page32(16, 4);
  number_pixels(handle);
  const int32_t images = valid_images();
  std::vector<uint32_t> before(kx::pixels32(img[-handle]), kx::pixels32(img[-handle]) + 64);
  // Rightwards by 3, overlapping: a forward copy would smear.
  sub__putimage(3, 0, 0, 0, handle, handle, 0, 0, 9, 3,
                putimage_dest_first | putimage_source_image | putimage_dest_image | putimage_source_first |
                    putimage_source_second);
  ASSERT_EQ(take_error(), 0u);
  for (int32_t y = 0; y < 4; ++y)
    for (int32_t x = 3; x <= 12; ++x) EXPECT_EQ(at(x, y), before[size_t(y * 16 + x - 3)]);
  // Mirrored onto itself in place.
  std::vector<uint32_t> now(kx::pixels32(img[-handle]), kx::pixels32(img[-handle]) + 64);
  sub__putimage(15, 0, 0, 3, 0, 0, 0, 0, 0, 0, putimage_dest_first | putimage_dest_second);
  for (int32_t x = 0; x < 16; ++x) EXPECT_EQ(at(x, 1), now[size_t(16 + 15 - x)]);
  EXPECT_EQ(valid_images(), images) << "the temporary copy is freed";
}

TEST_F(ImageCopy, HardwareCopiesGoThroughTheCommandQueue) {
  kx::first_hardware_command = kx::last_hardware_command = 0;
  kx::last_rendered_hardware_order = 0;
  std::vector<uint32_t> pixels(64, 0xFF445566u);  // enough for both
  const int32_t hw = hardware_img_from_pixels(4, 4, pixels.data());
  const int32_t hw2 = hardware_img_from_pixels(8, 8, pixels.data());
  // Onto the second window layer, the whole image at a point.
  sub__putimage(10, 20, 0, 0, hw, 1, 0, 0, 0, 0, putimage_dest_first | putimage_source_image | putimage_dest_image);
  ASSERT_EQ(take_error(), 0u);
  hardware_img_set_blend(hw2, false);
  // Onto another hardware image, stretched over it: no blending.
  sub__putimage(0, 0, 0, 0, hw, hw2, 0, 0, 0, 0, putimage_source_image | putimage_dest_image | putimage_smooth);
  ASSERT_EQ(take_error(), 0u);
  // A software image onto a hardware one goes as a temporary texture.
  const int32_t soft = image32(2, 2);
  sub__putimage(1, 1, 0, 0, soft, hw2, 0, 0, 0, 0, putimage_dest_first | putimage_source_image | putimage_dest_image);
  ASSERT_EQ(take_error(), 0u);
  const auto list = queued_hardware_commands();
  ASSERT_GE(list.size(), 3u);
  EXPECT_EQ(list[0].kind, hardware_command_kind::put_image);
  EXPECT_EQ(list[0].dst, hardware_target_second_layer);
  EXPECT_EQ(list[0].dst_x1, 10);
  EXPECT_EQ(list[0].dst_x2, 13);
  EXPECT_EQ(list[0].src_y2, 3);
  EXPECT_EQ(list[0].use_alpha, 1);
  EXPECT_EQ(list[1].dst, int64_t{hw2} - HARDWARE_IMG_HANDLE_OFFSET);
  EXPECT_EQ(list[1].dst_x2, 7);
  EXPECT_EQ(list[1].src_x2, 3);
  EXPECT_EQ(list[1].use_alpha, 0);
  EXPECT_EQ(list[1].smooth, 1);
  EXPECT_EQ(list[2].dst_x2, 2);
  EXPECT_NE(list[2].src, list[0].src);
  // Refused: a window layer beyond the second, a software destination for
  // a hardware source.
  sub__putimage(0, 0, 0, 0, hw, 2, 0, 0, 0, 0, putimage_source_image | putimage_dest_image);
  EXPECT_EQ(take_error(), 5u);
  sub__putimage(0, 0, 0, 0, hw, soft, 0, 0, 0, 0, putimage_source_image | putimage_dest_image);
  EXPECT_EQ(take_error(), 258u);
  EXPECT_EQ(queued_hardware_commands().size(), list.size());
}

TEST_F(ImageCopy, PcopyCopiesBetweenPagesOfTheSameShapeOnly) {
  screen(13);
  set(5, 5, 77);
  sub_pcopy(0, 1);
  ASSERT_EQ(take_error(), 0u);
  EXPECT_EQ(img[page[1]].data[5 * 320 + 5], 77);
  const int32_t same = func__newimage(320, 200, 13, 1);
  sub_pcopy(1, same);
  EXPECT_EQ(take_error(), 0u);
  EXPECT_EQ(img[-same].data[5 * 320 + 5], 77);
  const int32_t other = func__newimage(320, 201, 13, 1);
  sub_pcopy(0, other);
  EXPECT_EQ(take_error(), 5u);
  const int32_t shallow = func__newimage(320, 200, 7, 1);  // 16 colours in bytes
  sub_pcopy(0, shallow);
  EXPECT_EQ(take_error(), 5u);
  sub_pcopy(shallow, 0);
  EXPECT_EQ(take_error(), 0u);
  EXPECT_EQ(at(5, 5), 0u);
  sub_pcopy(0, -12345);
  EXPECT_EQ(take_error(), 5u);
  sub_pcopy(0, 0);
  EXPECT_EQ(take_error(), 0u);
}


// An unscaled copy stores opaque blocks of the source whole and blends the
// rest pixel by pixel: translucent and clear pixels at the ends of blocks,
// alone in a block, in the tail after the last whole block, on a
// destination offset by a few pixels, give what the pixel write gives.
TEST_F(ImageCopy, PutImageBlendsEveryPixelThatIsNotOpaqueWhereverItLies) {
  const int32_t w = 100, h = 4;
  const int32_t src = image32(w, h), dst = image32(w + 9, h);
  std::vector<uint32_t> before(size_t(w + 9) * h);
  for (int32_t y = 0; y < h; ++y) {
    for (int32_t x = 0; x < w; ++x) px32(src, x, y) = 0xFF000000u | uint32_t(x * 2654435761u >> 8);
    for (int32_t x = 0; x < w + 9; ++x) px32(dst, x, y) = before[size_t(y) * (w + 9) + x] = 0x7F000000u | uint32_t(x * 40503u);
  }
  // Row 0 stays opaque; the others get pixels that need blending.
  for (const int32_t x : {0, 15, 16, 31}) px32(src, x, 1) = 0x40123456u;
  for (const int32_t x : {32, 63, 64}) px32(src, x, 2) = 0x00ABCDEFu;
  for (const int32_t x : {96, 97, 99}) px32(src, x, 3) = 0x80FEDCBAu;
  px32(src, 5, 3) = 0x7F00FF00u;
  sub__putimage(7, 0, 0, 0, src, dst, 0, 0, 0, 0, putimage_dest_first | putimage_source_image | putimage_dest_image);
  ASSERT_EQ(take_error(), 0u);
  for (int32_t y = 0; y < h; ++y) {
    for (int32_t x = 0; x < w + 9; ++x) {
      const uint32_t old = before[size_t(y) * (w + 9) + x];
      const uint32_t want = x < 7 || x >= 7 + w ? old : kx::blend_pixel(old, px32(src, x - 7, y));
      ASSERT_EQ(px32(dst, x, y), want) << x << ", " << y;
    }
  }
  EXPECT_EQ(px32(dst, 7, 0), px32(src, 0, 0));  // opaque: the source pixel itself
  // Every alpha (the column) over every destination alpha (the row), with
  // random colours, gives what the pixel write gives.
  const int32_t from = image32(256, 256), onto = image32(256, 256);
  ASSERT_LT(from, -1);
  ASSERT_LT(onto, -1);
  std::vector<uint32_t> under(256 * 256);
  uint32_t seed = 12345;
  auto next = [&] { return seed = seed * 1664525u + 1013904223u; };
  for (int32_t y = 0; y < 256; ++y) {
    for (int32_t x = 0; x < 256; ++x) {
      px32(from, x, y) = uint32_t(x) << 24 | (next() >> 8);
      px32(onto, x, y) = under[size_t(y) * 256 + x] = uint32_t(y) << 24 | (next() >> 8);
    }
  }
  sub__putimage(0, 0, 0, 0, from, onto, 0, 0, 0, 0, putimage_dest_first | putimage_source_image | putimage_dest_image);
  for (int32_t y = 0; y < 256; ++y) {
    for (int32_t x = 0; x < 256; ++x) {
      ASSERT_EQ(px32(onto, x, y), kx::blend_pixel(under[size_t(y) * 256 + x], px32(from, x, y))) << x << ", " << y;
    }
  }
  EXPECT_EQ(px32(dst, 7 + 32, 2), before[size_t(2) * (w + 9) + 7 + 32]);  // clear: left as it was
}

}  // namespace
