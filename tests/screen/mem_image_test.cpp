// _MEMIMAGE over every kind of image: text pages, one-byte and four-byte
// pixel images, the destination and numbered pages, and what becomes of
// its values when the image is freed or its buffer replaced.
#include "fresh_screen.h"
#include "screen/images/image_statements.h"
#include "screen/images/mem_image.h"
#include "screen/images/screen_modes.h"

using MemImage = fresh_screen;

TEST_F(MemImage, EveryImageKindGivesItsPixelsUnderOneLock) {
  struct kind {
    int32_t width, height, mode, bytes_per_pixel;
  };
  for (const kind k : {kind{80, 25, 0, 2}, kind{320, 200, 13, 1}, kind{64, 48, 256, 1}, kind{33, 17, 32, 4},
                       kind{640, 480, 12, 1}}) {
    SCOPED_TRACE(k.mode);
    const int32_t handle = func__newimage(k.width, k.height, k.mode, 1);
    ASSERT_LT(handle, 0);
    const img_struct& image = img[-handle];
    mem_block m = func__memimage(handle, 1);
    EXPECT_EQ(take_error(), 0u);
    EXPECT_EQ(m.offset, reinterpret_cast<intptr_t>(image.data));
    EXPECT_EQ(m.size, intptr_t{k.width} * k.height * k.bytes_per_pixel);
    EXPECT_EQ(m.type, 3200 + k.bytes_per_pixel);
    EXPECT_EQ(m.elementsize, k.bytes_per_pixel);
    EXPECT_EQ(m.image, handle);
    ASSERT_NE(m.lock, nullptr);
    EXPECT_EQ(m.lock->type, mem_lock_image);
    // The same image, the same lock and id.
    mem_block again = func__memimage(handle, 1);
    EXPECT_EQ(again.lock, m.lock);
    EXPECT_EQ(again.lock_id, m.lock_id);
    // Writes land in the image; its last byte is reachable, one past is not.
    const uint8_t b = 0x5A;
    sub__memfill(&m, m.offset + m.size - 1, 1, &b, 1);
    EXPECT_EQ(image.data[m.size - 1], 0x5A);
    sub__memfill(&m, m.offset + m.size, 1, &b, 1);
    EXPECT_EQ(take_error(), 300u);
    // _MEMFREE of an image's value leaves the image's lock alone.
    mem_block kept = m;
    sub__memfree(&m);
    EXPECT_EQ(func__memexists(&kept), -1);
    // Freeing the image ends every value of it.
    sub__freeimage(handle, 1);
    EXPECT_EQ(func__memexists(&kept), 0);
    func__memget(&kept, kept.offset, 1);
    EXPECT_EQ(take_error(), 308u);
  }
}

TEST_F(MemImage, PagesTheDestinationAndBadHandles) {
  mem_block dest = func__memimage(0, 0);
  EXPECT_EQ(dest.offset, reinterpret_cast<intptr_t>(write_page->data));
  EXPECT_EQ(dest.size, 80 * 25 * 2);
  EXPECT_EQ(dest.type, 3202);
  EXPECT_EQ(dest.image, -write_page_index);
  mem_block page0 = func__memimage(0, 1);
  EXPECT_EQ(page0.lock, dest.lock);
  mem_block page3 = func__memimage(3, 1);
  EXPECT_EQ(take_error(), 0u);
  EXPECT_NE(page3.offset, dest.offset);
  EXPECT_NE(page3.lock, dest.lock);

  const int32_t freed = func__newimage(4, 4, 32, 1);
  sub__freeimage(freed, 1);
  for (const int32_t bad : {-5000, -1, freed, INT32_MIN}) {
    SCOPED_TRACE(bad);
    mem_block m = func__memimage(bad, 1);
    EXPECT_NE(take_error(), 0u);
    EXPECT_EQ(m.offset, 0);
    EXPECT_EQ(m.size, 0);
    EXPECT_EQ(m.type, 0);
    EXPECT_EQ(m.image, -1);
    EXPECT_EQ(func__memexists(&m), 0);
    sub__memfree(&m);
    EXPECT_EQ(take_error(), 307u);
  }
  EXPECT_EQ((func__memimage(-5000, 1), take_error()), 258u);

  // WIDTH remakes the page's buffer at a new size: values of the old one
  // are refused, and a new value covers the new size.
  kxsub_width(kx_width_screen, 40, 25, 3);
  ASSERT_EQ(take_error(), 0u);
  EXPECT_EQ(func__memexists(&dest), 0);
  const uint8_t b = 1;
  sub__memfill(&dest, dest.offset + 3000, 1, &b, 1);
  EXPECT_EQ(take_error(), 308u);
  mem_block now = func__memimage(0, 0);
  EXPECT_EQ(now.size, 40 * 25 * 2);
  EXPECT_EQ(func__memexists(&now), -1);
}
