// Placement, window sizing and the presentation statements, without a window.
#include "base/hooks.h"
#include "fresh_screen.h"
#include "input/keyboard.h"
#include "screen/compose/alt_enter_cycle.h"
#include "screen/compose/presentation_statements.h"
#include "screen/compose/row_band.h"

#include <vector>

namespace {

class Presentation : public fresh_screen {
 protected:
  void TearDown() override {
    full_screen_set = -1;
    full_screen = 0;
    resize_auto = 0;
    resize_snapback = 1;
    sub__displayorder(1, 2, 3, 4, 15);
    fullscreen_smooth = 0;
    fullscreen_allowed_mode = 0;
    fullscreen_allowed_smooth = 0;
    force_display_update = 0;
    fresh_screen::TearDown();
  }
};

TEST_F(Presentation, FramesArePlacedScaledOrLetterboxed) {
  auto p = kx::prepare_environment_2d(640, 400, 640, 400, 0, 1, 0);
  EXPECT_EQ(p.x2, 640);
  EXPECT_DOUBLE_EQ(p.x_scale, 1);
  EXPECT_FALSE(p.smooth);
  // Windowed without scaling: 1:1 at the top left, cropped or bordered.
  p = kx::prepare_environment_2d(640, 400, 1280, 800, 0, 0, 0);
  EXPECT_EQ(p.x2, 640);
  EXPECT_DOUBLE_EQ(p.y_scale, 1);
  p = kx::prepare_environment_2d(640, 400, 1280, 800, 0, 1, 0);
  EXPECT_EQ(p.x2, 1280);
  EXPECT_DOUBLE_EQ(p.x_scale, 2);
  EXPECT_FALSE(p.smooth);
  EXPECT_TRUE(kx::prepare_environment_2d(640, 400, 1280, 800, 0, 2, 0).smooth);
  // Square pixels on a 16:9 screen: bars left and right.
  p = kx::prepare_environment_2d(640, 400, 1920, 1080, 2, 0, 0);
  EXPECT_EQ(p.letterbox, 1);
  EXPECT_EQ(p.x2 - p.x1, 1728);
  EXPECT_EQ(p.x1, 96);
  EXPECT_EQ(p.y2, 1080);
  p = kx::prepare_environment_2d(640, 400, 1000, 1000, 2, 0, 1);
  EXPECT_EQ(p.letterbox, 2);
  EXPECT_EQ(p.y2 - p.y1, 625);
  EXPECT_TRUE(p.smooth);
  // Stretched full screen fills the window.
  p = kx::prepare_environment_2d(640, 400, 1920, 1080, 1, 0, 0);
  EXPECT_EQ(p.letterbox, 0);
  EXPECT_EQ(p.x2, 1920);
  EXPECT_EQ(p.y2, 1080);
}

// The renderer presents only the rows in which a new frame differs from the
// one on show.
TEST(ChangedRows, FindTheBandBetweenTheFirstAndLastDifferingRow) {
  constexpr int32_t w = 5, h = 7;
  std::vector<uint32_t> before(w * h, 0xFF000000u), after = before;
  kx::row_band band = kx::changed_rows(before.data(), after.data(), w, h);
  EXPECT_TRUE(band.empty());
  EXPECT_TRUE(band.compared);
  after[3 * w + 4] = 0xFFFFFFFFu;  // the last pixel of row 3
  band = kx::changed_rows(before.data(), after.data(), w, h);
  EXPECT_EQ(band.first, 3);
  EXPECT_EQ(band.last, 3);
  after[1 * w] = 0xFF0000AAu;  // the first pixel of row 1
  band = kx::changed_rows(before.data(), after.data(), w, h);
  EXPECT_EQ(band.first, 1);
  EXPECT_EQ(band.last, 3);
  after[0] = after[(h - 1) * w + 2] = 1;
  band = kx::changed_rows(before.data(), after.data(), w, h);
  EXPECT_EQ(band.first, 0);
  EXPECT_EQ(band.last, h - 1);
}

TEST_F(Presentation, TheWindowFollowsTheFrameUnderSnapback) {
  kx::window_sizing s;
  auto r = kx::decide_window_size(s, 640, 400, 640, 400, false, true);
  EXPECT_FALSE(r.reshape);
  r = kx::decide_window_size(s, 640, 480, 640, 400, false, true);
  EXPECT_TRUE(r.reshape);
  EXPECT_EQ(r.width, 640);
  EXPECT_EQ(r.height, 480);
  // Without snapback a user's size stays until the frame size changes.
  r = kx::decide_window_size(s, 640, 480, 800, 700, false, false);
  EXPECT_FALSE(r.reshape);
  r = kx::decide_window_size(s, 320, 200, 800, 700, false, false);
  EXPECT_TRUE(r.reshape);
  EXPECT_EQ(r.width, 320);
  // Automatic scaling keeps the frame's aspect, following the dimension the
  // user changed.
  kx::window_sizing a;
  a.accept_aspect = 1.6;
  r = kx::decide_window_size(a, 640, 400, 640, 600, true, false);
  EXPECT_TRUE(r.reshape);
  EXPECT_EQ(r.width, 960);
  EXPECT_EQ(r.height, 600);
}

TEST_F(Presentation, DisplayOrderAndGlRender) {
  sub__displayorder(1, 1, 0, 0, 3);
  EXPECT_EQ(take_error(), 5u);
  EXPECT_EQ(displayorder_screen.load(), 1);
  sub__displayorder(2, 1, 0, 0, 3);
  EXPECT_EQ(displayorder_hardware.load(), 1);
  EXPECT_EQ(displayorder_screen.load(), 2);
  EXPECT_EQ(displayorder_glrender.load(), 0);
  sub__glrender(1);
  EXPECT_EQ(displayorder_glrender.load(), 1);
  EXPECT_EQ(displayorder_screen.load(), 2);
  EXPECT_EQ(displayorder_hardware.load(), 3);
  EXPECT_EQ(displayorder_hardware1.load(), 4);
  sub__glrender(3);
  EXPECT_EQ(displayorder_screen.load(), 0);
  // With the software screen not shown, only a first composition is made.
  display();
  const display_frame_record* first = kx::newest_composed_frame();
  ASSERT_NE(first, nullptr);
  print("hidden");
  display();
  EXPECT_EQ(kx::newest_composed_frame(), first);
}

// Alt+Enter walks windowed, stretched, stretched smoothly, square pixels,
// square pixels smoothly, within what _ALLOWFULLSCREEN allows.
TEST_F(Presentation, AltEnterCyclesTheAllowedFullScreenModes) {
  ASSERT_EQ(kx::hooks.full_screen_key.load(), &kx::cycle_full_screen);
  // Each step's request taken into force, as the renderer does.
  const auto step = [] {
    const bool done = kx::cycle_full_screen();
    if (full_screen_set.load() != -1) full_screen = full_screen_set.exchange(-1);
    return done;
  };
  const std::pair<int32_t, int32_t> walk[] = {{1, 0}, {1, 1}, {2, 0}, {2, 1}, {0, 0}};
  for (const auto& [mode, smooth] : walk) {
    force_display_update = 0;
    ASSERT_TRUE(step());
    EXPECT_EQ(full_screen.load(), mode);
    EXPECT_EQ(fullscreen_smooth.load(), smooth);
    EXPECT_EQ(force_display_update.load(), 1);
  }
  // From stretched, smoothing only changes the flag: no mode request.
  full_screen = 1;
  ASSERT_TRUE(kx::cycle_full_screen());
  EXPECT_EQ(full_screen_set.load(), -1);
  EXPECT_EQ(fullscreen_smooth.load(), 1);
  full_screen = 0;
  fullscreen_smooth = 0;
  // Square pixels only, smoothed only: windowed <-> state 4.
  sub__allowfullscreen(2, 1, 3);
  ASSERT_TRUE(step());
  EXPECT_EQ(full_screen.load(), 2);
  EXPECT_EQ(fullscreen_smooth.load(), 1);
  ASSERT_TRUE(step());
  EXPECT_EQ(full_screen.load(), 0);
  // Stretched, unsmoothed only.
  sub__allowfullscreen(1, 2, 3);
  ASSERT_TRUE(step());
  EXPECT_EQ(full_screen.load(), 1);
  EXPECT_EQ(fullscreen_smooth.load(), 0);
  ASSERT_TRUE(step());
  EXPECT_EQ(full_screen.load(), 0);
  // OFF: the key is not taken and nothing changes.
  sub__allowfullscreen(3, 0, 1);
  force_display_update = 0;
  EXPECT_FALSE(kx::cycle_full_screen());
  EXPECT_EQ(full_screen_set.load(), -1);
  EXPECT_EQ(force_display_update.load(), 0);
  // A pending request is where the walk starts from.
  sub__allowfullscreen(4, 0, 3);
  full_screen_set = 2;
  ASSERT_TRUE(kx::cycle_full_screen());
  EXPECT_EQ(full_screen_set.load(), 2);
  EXPECT_EQ(fullscreen_smooth.load(), 1);
}

TEST_F(Presentation, FullScreenResizeAndTitleRequests) {
  sub__fullscreen(3, 1, 3);
  EXPECT_EQ(full_screen_set.load(), 2);
  EXPECT_EQ(func__fullscreen(), 2);
  EXPECT_EQ(func__fullscreensmooth(), -1);
  EXPECT_EQ(force_display_update.load(), 1);
  sub__fullscreen(9, 0, 1);
  EXPECT_EQ(take_error(), 5u);
  sub__allowfullscreen(5, 3, 3);
  EXPECT_EQ(fullscreen_allowed_mode.load(), -1);
  EXPECT_EQ(fullscreen_allowed_smooth.load(), 0);
  sub__resize(1, 2, 3);
  EXPECT_EQ(resize_snapback.load(), 0);
  EXPECT_EQ(resize_auto.load(), 2);
  resize_event = -1;
  EXPECT_EQ(func__resize(), -1);
  EXPECT_EQ(func__resize(), 0);
  const uint32_t mark = kxs_tmp_list_nexti;
  sub__title(kxs_new_txt("HALCYONIX"));
  kxs_cleanup(mark, 0);
  EXPECT_EQ(window_title_text(), "HALCYONIX");
  std::string applied;
  EXPECT_TRUE(kx::take_title_request(&applied));
  EXPECT_EQ(applied, "HALCYONIX");
  EXPECT_FALSE(kx::take_title_request(&applied));
}

TEST_F(Presentation, DisplayComposesOnTheCallingThreadWhenAutomaticDisplayIsOff) {
  autodisplay = 0;
  print("now");
  sub__display();
  const display_frame_record* f = kx::newest_composed_frame();
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(f->w, 640);
  EXPECT_EQ(display_called.load(), 1);
  EXPECT_EQ(func__autodisplay(), 0);
  sub__autodisplay();
  EXPECT_EQ(func__autodisplay(), -1);
}

}  // namespace
