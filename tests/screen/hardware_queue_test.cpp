// The application side of the hardware command queue, without a window:
// what is queued for which frame, what is refused, and how frees wait for
// the frames that used an image.
#include <vector>

#include "fresh_screen.h"
#include "hardware_commands.h"
#include "screen/images/hardware_images.h"
#include "values/handle_list.h"

namespace {

class HardwareQueue : public fresh_screen {
 protected:
  void SetUp() override {
    fresh_screen::SetUp();
    kx::first_hardware_command = kx::last_hardware_command = 0;
    kx::last_rendered_hardware_order = 0;
  }
  static int32_t image(int32_t w, int32_t h) {
    std::vector<uint32_t> pixels(size_t(w) * h, 0xFF112233u);
    return hardware_img_from_pixels(w, h, pixels.data());
  }
};

TEST_F(HardwareQueue, DrawingsAreQueuedForTheNextFrameAndBadHandlesRefused) {
  const int32_t a = image(4, 4), b = image(8, 8);
  ASSERT_LT(a, -8388608);
  ASSERT_NE(a, b);
  const int64_t next = display_frame_order_next.load();
  EXPECT_TRUE(kx::hardware_put(a, b, 0, 0, 3, 7, 0, 0, 3, 3, true, false));
  EXPECT_TRUE(kx::hardware_put(b, -1, 10, 10, 17, 17, 0, 0, 7, 7, false, true));
  const float corners[9] = {0, 0, 0.5f, 4, 0, 0.5f, 0, 4, 0.5f};
  const float source[6] = {0, 0, 3, 0, 0, 3};
  EXPECT_TRUE(kx::hardware_triangle(a, 0, corners, source, true, false, false));
  EXPECT_TRUE(kx::hardware_clear_depth(b));
  // Refused: a software image handle, a freed hardware image, a page number.
  EXPECT_FALSE(kx::hardware_put(-2, 0, 0, 0, 1, 1, 0, 0, 1, 1, false, false));
  EXPECT_FALSE(kx::hardware_put(a, 5, 0, 0, 1, 1, 0, 0, 1, 1, false, false));
  const int32_t gone = image(2, 2);
  ASSERT_TRUE(hardware_img_request_free(gone));
  EXPECT_FALSE(hardware_img_request_free(gone));
  EXPECT_FALSE(kx::hardware_put(gone, 0, 0, 0, 1, 1, 0, 0, 1, 1, false, false));
  EXPECT_FALSE(kx::hardware_clear_depth(gone));

  const auto list = queued_hardware_commands();
  ASSERT_EQ(list.size(), 5u);
  EXPECT_EQ(list[0].kind, hardware_command_kind::put_image);
  EXPECT_EQ(list[0].dst, int64_t{b} - HARDWARE_IMG_HANDLE_OFFSET);
  EXPECT_EQ(list[0].src_y2, 3);
  EXPECT_EQ(list[0].use_alpha, 1);
  EXPECT_EQ(list[1].dst, hardware_target_second_layer);
  EXPECT_EQ(list[1].smooth, 1);
  EXPECT_EQ(list[2].kind, hardware_command_kind::triangle_3d);
  EXPECT_FLOAT_EQ(list[2].triangle_dst[5], 0.5f);
  EXPECT_FLOAT_EQ(list[2].triangle_src[4], 0);
  EXPECT_EQ(list[3].kind, hardware_command_kind::clear_depth);
  EXPECT_EQ(list[4].kind, hardware_command_kind::free_requested);
  for (const auto& c : list) EXPECT_EQ(c.order, next);
  EXPECT_TRUE(kx::hardware_commands_between(next - 1, next));
  EXPECT_FALSE(kx::hardware_commands_between(next, next + 5));
  EXPECT_TRUE(kx::hardware_commands_queued());

  // Once the renderer has drawn a later frame, the next queuing drops the
  // old commands and turns the free request into a free for the next frame.
  kx::last_rendered_hardware_order = next + 1;
  display_frame_order_next = next + 2;
  EXPECT_TRUE(kx::hardware_put(a, 0, 0, 0, 1, 1, 0, 0, 1, 1, false, false));
  const auto after = queued_hardware_commands();
  ASSERT_EQ(after.size(), 2u);
  EXPECT_EQ(after[0].kind, hardware_command_kind::free_image);
  EXPECT_EQ(after[0].src, int64_t{gone} - HARDWARE_IMG_HANDLE_OFFSET);
  EXPECT_EQ(after[1].kind, hardware_command_kind::put_image);
}

TEST_F(HardwareQueue, TheOverlayHookTakesOnlyValidImagesAndForgetsFreedOnes) {
  const int32_t a = image(2, 2);
  EXPECT_FALSE(kx::set_overlay_image(-2));
  EXPECT_FALSE(kx::overlay_requested());
  EXPECT_TRUE(kx::set_overlay_image(a));
  EXPECT_TRUE(kx::overlay_requested());
  EXPECT_EQ(kx::overlay_image_index(), int64_t{a} - HARDWARE_IMG_HANDLE_OFFSET);
  ASSERT_TRUE(hardware_img_request_free(a));
  EXPECT_FALSE(kx::overlay_requested());
  EXPECT_TRUE(kx::set_overlay_image(0));
}

}  // namespace
