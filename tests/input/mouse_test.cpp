// The mouse message queues, the device list, STICK and STRIG, driven as the
// window thread's callbacks and the program would drive them.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <utility>

#include "input/devices.h"
#include "input/mouse_position.h"
#include "input/mouse_queues.h"
#include "screen/fresh_screen.h"
#include "screen/images/screen_modes.h"

namespace {

class mouse : public fresh_screen {
 protected:
  void SetUp() override {
    fresh_screen::SetUp();
    kx::mouse_queues_init();
    devices_init();
    environment_2d__screen_width = 640;
    environment_2d__screen_height = 400;
    environment_2d__screen_x1 = 0;
    environment_2d__screen_y1 = 0;
    environment_2d__screen_x_scale = 1.0;
    environment_2d__screen_y_scale = 1.0;
    environment_2d__screen_scaled_width = 640;
    environment_2d__screen_scaled_height = 400;
  }
  static int32_t take() { return func__mouseinput(0, 0); }
  // Takes every waiting message: the newest becomes current.
  static void take_all() {
    while (take()) {
    }
  }
  // _MOUSEX and _MOUSEY once the pointer is at window pixel (x, y).
  static std::pair<float, float> pointer_at(int32_t x, int32_t y) {
    kx::mouse_position_event(x, y);
    take_all();
    return {func__mousex(0, 0), func__mousey(0, 0)};
  }
};

TEST_F(mouse, a_click_and_a_wheel_step_each_give_two_messages) {
  kx::mouse_button_event(1, true);
  kx::mouse_button_event(1, false);
  EXPECT_EQ(take(), -1);
  EXPECT_EQ(func__mousebutton(1, 0, 0), -1);
  EXPECT_EQ(func__mousebutton(2, 0, 0), 0);
  EXPECT_EQ(take(), -1);
  EXPECT_EQ(func__mousebutton(1, 0, 0), 0);
  EXPECT_EQ(take(), 0);

  kx::mouse_wheel_event(-1);  // towards the user
  EXPECT_EQ(take(), -1);
  EXPECT_EQ(func__mousewheel(0, 0), 1);
  EXPECT_EQ(take(), -1);
  EXPECT_EQ(func__mousewheel(0, 0), 0);
  kx::mouse_wheel_event(1);
  EXPECT_EQ(take(), -1);
  EXPECT_EQ(func__mousewheel(0, 0), -1);

  // Right is button 2 and middle button 3, though the message keeps them
  // the other way round.
  kx::mouse_button_event(3, true);
  take_all();
  EXPECT_EQ(func__mousebutton(2, 0, 0), -1);
  EXPECT_EQ(func__mousebutton(3, 0, 0), 0);
  EXPECT_EQ(func__mousebutton(4, 0, 0), 0);
  EXPECT_EQ(take_error(), 0u);
  EXPECT_EQ(func__mousebutton(0, 0, 0), 0);
  EXPECT_EQ(take_error(), uint32_t{err::illegal_function_call});
  EXPECT_EQ(func__mouseinput(99, 1), 0);
  EXPECT_EQ(take_error(), uint32_t{err::invalid_handle});
  EXPECT_EQ(func__mousemovementx(99, 1), 0);
  EXPECT_EQ(take_error(), uint32_t{err::invalid_handle});
}

TEST_F(mouse, a_full_ring_drops_its_oldest_messages) {
  const int32_t q = mouse_message_queue_default;
  for (int32_t i = 0; i < 40000; ++i) kx::mouse_position_event(i % 640, 1);  // two messages each
  EXPECT_EQ(kx::mouse_pending_messages(q), mouse_queue_last_index);
  // The oldest kept message is the newest 65,535th: its position tells.
  ASSERT_EQ(take(), -1);
  const int32_t first_kept = 80000 - mouse_queue_last_index;  // message number, counting from 0
  mouse_message m{};
  ASSERT_TRUE(kx::mouse_current_message(q, 1, &m));
  EXPECT_EQ(m.x, (first_kept / 2) % 640);
  int32_t taken = 1;
  while (take()) ++taken;
  EXPECT_EQ(taken, mouse_queue_last_index);
  ASSERT_TRUE(kx::mouse_current_message(q, 1, &m));
  EXPECT_EQ(m.x, 39999 % 640);
}

TEST_F(mouse, positions_read_as_cells_on_text_pages_and_pixels_on_graphics_pages) {
  EXPECT_EQ(pointer_at(12, 40), std::make_pair(2.0f, 3.0f));
  // A window stretched to twice the size: the window pixel halves.
  environment_2d__screen_x_scale = 2.0;
  environment_2d__screen_y_scale = 2.0;
  EXPECT_EQ(pointer_at(1279, 799), std::make_pair(80.0f, 25.0f));
  EXPECT_EQ(kx::window_to_picture(-5, 0, 1.0, 640, 640), 0);
  EXPECT_EQ(kx::window_to_picture(700, 0, 1.0, 640, 320), 319);
  EXPECT_EQ(kx::window_to_picture(105, 100, 0.5, 640, 640), 10);

  kxg_screen(12, 0, 0, 0, 1);
  ASSERT_EQ(take_error(), 0u);
  environment_2d__screen_height = 480;
  environment_2d__screen_x_scale = 1.0;
  environment_2d__screen_y_scale = 1.0;
  EXPECT_EQ(pointer_at(321, 477), std::make_pair(321.0f, 477.0f));
}

TEST_F(mouse, a_relative_movement_gives_a_moving_and_a_still_message) {
  pointer_at(30, 40);
  kx::mouse_relative_event(-3, 7);
  ASSERT_EQ(take(), -1);
  EXPECT_EQ(func__mousemovementx(0, 0), -3.0f);
  EXPECT_EQ(func__mousemovementy(0, 0), 7.0f);
  EXPECT_EQ(func__mousex(0, 0), 4.0f);  // at the previous position
  ASSERT_EQ(take(), -1);
  EXPECT_EQ(func__mousemovementx(0, 0), 0.0f);
  EXPECT_EQ(func__mousemovementy(0, 0), 0.0f);
}

// The window thread carries out pointer moves and cursor changes; the
// statements check their arguments and leave it the request.
TEST_F(mouse, mousemove_and_cursor_statements_leave_requests_for_the_window) {
  window_exists = 1;
  int32_t x = 0, y = 0, cursor = 0;
  sub__mousemove(0, 0);
  EXPECT_EQ(take_error(), uint32_t{err::illegal_function_call});
  sub__mousemove(81, 1);
  EXPECT_EQ(take_error(), uint32_t{err::illegal_function_call});
  EXPECT_FALSE(kx::take_mouse_warp_request(&x, &y));
  sub__mousemove(1, 1);
  ASSERT_TRUE(kx::take_mouse_warp_request(&x, &y));
  EXPECT_EQ(std::make_pair(x, y), std::make_pair(4, 8));
  // Stretched twice, with the picture 10 pixels from the window's edge.
  environment_2d__screen_x_scale = 2.0;
  environment_2d__screen_y_scale = 2.0;
  environment_2d__screen_x1 = 10;
  sub__mousemove(80.5f, 25.5f);
  ASSERT_TRUE(kx::take_mouse_warp_request(&x, &y));
  EXPECT_EQ(std::make_pair(x, y), std::make_pair(10 + 2 * 639, 2 * 399));

  sub__mouseshow(kxs_new_txt("crossHair"), 1);
  ASSERT_TRUE(kx::take_cursor_request(&cursor));
  EXPECT_EQ(cursor, 9);
  sub__mousehide();
  ASSERT_TRUE(kx::take_cursor_request(&cursor));
  EXPECT_EQ(cursor, cursor_none);
  sub__mouseshow(nullptr, 0);  // the style chosen last
  ASSERT_TRUE(kx::take_cursor_request(&cursor));
  EXPECT_EQ(cursor, 9);
  sub__mouseshow(kxs_new_txt("POINTER"), 1);
  EXPECT_EQ(take_error(), uint32_t{err::illegal_function_call});
  EXPECT_FALSE(kx::take_cursor_request(&cursor));
  mouse_cursor_style = cursor_default;
  window_exists = 0;
}

TEST_F(mouse, pipes_take_new_messages_and_hand_them_down) {
  const int32_t pipe = func__mousepipeopen();
  ASSERT_GT(pipe, mouse_message_queue_default);
  EXPECT_EQ(mouse_message_queue_first(), pipe);
  kx::mouse_button_event(1, true);
  EXPECT_EQ(take(), 0);  // the default queue saw nothing
  ASSERT_EQ(func__mouseinput(pipe, 1), -1);
  sub__mouseinputpipe(pipe);
  ASSERT_EQ(take(), -1);
  EXPECT_EQ(func__mousebutton(1, 0, 0), -1);

  sub__mouseinputpipe(mouse_message_queue_default);
  EXPECT_EQ(take_error(), uint32_t{err::illegal_function_call});
  sub__mousepipeclose(mouse_message_queue_default);
  EXPECT_EQ(take_error(), uint32_t{err::illegal_function_call});
  sub__mousepipeclose(pipe + 7);
  EXPECT_EQ(take_error(), uint32_t{err::invalid_handle});

  // Closed, the pipe no longer takes events: they reach the default queue.
  sub__mousepipeclose(pipe);
  EXPECT_EQ(take_error(), 0u);
  EXPECT_EQ(mouse_message_queue_first(), mouse_message_queue_default);
  kx::mouse_button_event(1, false);
  EXPECT_EQ(func__mouseinput(pipe, 1), 0);
  ASSERT_EQ(take(), -1);
  EXPECT_EQ(func__mousebutton(1, 0, 0), 0);
}

TEST_F(mouse, the_device_list_reports_the_keyboard_and_the_mouse) {
  EXPECT_EQ(func__devices(), 2);
  auto text = [](kxs* s) { return std::string(reinterpret_cast<const char*>(s->chars), static_cast<size_t>(s->length)); };
  EXPECT_EQ(text(func__device(1, 1)), "[KEYBOARD][BUTTON]");
  EXPECT_EQ(text(func__device(2, 1)), "[MOUSE][BUTTON][AXIS][WHEEL]");
  EXPECT_EQ(text(func__device(3, 1)), "");
  EXPECT_EQ(take_error(), uint32_t{err::illegal_function_call});
  EXPECT_EQ(func__lastbutton(1, 1), 512);
  EXPECT_EQ(func__lastaxis(2, 1), 2);
  EXPECT_EQ(func__lastwheel(2, 1), 3);
  EXPECT_EQ(func__button(1, 1), 0);  // nothing selected yet
  EXPECT_EQ(take_error(), uint32_t{err::illegal_function_call});
  EXPECT_EQ(func__deviceinput(0, 0), 0);

  kx::mouse_button_event(1, true);
  kx::mouse_position_event(639, 0);
  EXPECT_EQ(func__deviceinput(0, 0), 2);
  EXPECT_EQ(func__buttonchange(1, 1), -1);
  EXPECT_EQ(func__button(1, 1), -1);
  EXPECT_EQ(func__deviceinput(2, 1), -1);
  EXPECT_EQ(func__buttonchange(1, 1), 0);
  EXPECT_EQ(func__axis(1, 1), 1.0f);
  EXPECT_EQ(func__axis(2, 1), -1.0f);
  EXPECT_EQ(func__axis(3, 1), 0.0f);
  EXPECT_EQ(take_error(), uint32_t{err::illegal_function_call});
  EXPECT_EQ(func__deviceinput(0, 0), 0);
  kx::mouse_button_event(1, false);
  kx::mouse_wheel_event(-1);
  EXPECT_EQ(func__deviceinput(0, 0), 2);
  EXPECT_EQ(func__buttonchange(1, 1), 1);
  EXPECT_EQ(func__deviceinput(0, 0), 2);
  EXPECT_EQ(func__wheel(3, 1), 1.0f);
  EXPECT_EQ(func__deviceinput(0, 0), 2);
  EXPECT_EQ(func__wheel(3, 1), 0.0f);
  EXPECT_EQ(func__deviceinput(5, 1), 0);
  EXPECT_EQ(take_error(), uint32_t{err::illegal_function_call});
}

TEST_F(mouse, a_device_keeps_at_most_its_limit_of_snapshots) {
  for (int32_t i = 0; i < 3000; ++i) kx::mouse_button_event(1, i % 2 == 0);
  const device_record& d = devices[2];
  EXPECT_EQ(d.max_events, device_event_limit);
  EXPECT_EQ(d.queued_events, device_event_limit);
  int32_t taken = 0;
  int64_t previous = 0;
  while (func__deviceinput(0, 0) == 2) {
    const int64_t number = getDeviceEventNumber(d, kx::device_snapshot(d, 1));
    EXPECT_GT(number, previous);
    previous = number;
    ++taken;
  }
  EXPECT_EQ(taken, device_event_limit - 2);
  EXPECT_EQ(previous, 3000);  // the newest survived
}

TEST_F(mouse, stick_and_strig_without_a_controller) {
  EXPECT_EQ(func_stick(0, 0, 0), 128);
  EXPECT_EQ(func_stick(3, 2, 1), 128);
  EXPECT_EQ(func_strig(1, 0, 0), 0);
  EXPECT_EQ(func_strig(0, 0, 0), 0);
  EXPECT_EQ(take_error(), 0u);
  EXPECT_EQ(func_stick(-1, 0, 0), 0);
  EXPECT_EQ(take_error(), uint32_t{err::illegal_function_call});
  EXPECT_EQ(func_stick(0, 0, 1), 0);
  EXPECT_EQ(take_error(), uint32_t{err::illegal_function_call});
  EXPECT_EQ(func_strig(65536, 0, 0), 0);
  EXPECT_EQ(take_error(), uint32_t{err::illegal_function_call});
}

TEST_F(mouse, stick_and_strig_read_a_controller) {
  device_record& c = devices[static_cast<size_t>(++device_last)];
  c = device_record{};
  c.used = 1;
  c.type = device_type::controller;
  c.lastbutton = 2;
  c.lastaxis = 2;
  c.event_size = device_snapshot_size(2, 2, 0);
  c.max_events = 2;
  c.queued_events = 2;
  c.events.assign(static_cast<size_t>(c.event_size) * 2, 0);
  kx::add_device_event(device_last, [](device_record& r, uint8_t* e) {
    setDeviceEventAxisValue(r, e, 1, 1.0f);
    setDeviceEventAxisValue(r, e, 2, -0.005f);
    setDeviceEventButtonValue(r, e, 1, 1);
  });
  c.STRIG_button_pressed[0] = 1;
  EXPECT_EQ(func_stick(0, 0, 0), 254);
  EXPECT_EQ(func_stick(1, 0, 0), 127);  // inside the dead zone
  EXPECT_EQ(func_stick(0, 2, 1), 128);  // no third axis
  EXPECT_EQ(func_strig(1, 0, 0), -1);   // held now
  EXPECT_EQ(func_strig(5, 0, 0), 0);
  EXPECT_EQ(func_strig(0, 0, 0), -1);   // pressed since the last look
  EXPECT_EQ(func_strig(0, 0, 0), 0);
  EXPECT_EQ(take_error(), 0u);
}

// The window thread appends while the program reads: no message is lost
// when the program keeps up, and none is read half-written.
TEST_F(mouse, events_from_another_thread_all_arrive) {
  constexpr int32_t moves = 20000;
  std::thread window([] {
    for (int32_t i = 1; i <= moves; ++i) kx::mouse_position_event(i % 600, i % 400);
  });
  int32_t seen = 0;
  while (seen < 2 * moves) {
    if (take()) {
      mouse_message m{};
      ASSERT_TRUE(kx::mouse_current_message(mouse_message_queue_default, 1, &m));
      ++seen;
      const int32_t i = (seen + 1) / 2;
      ASSERT_EQ(m.x, i % 600);
      ASSERT_EQ(m.y, i % 400);
    }
  }
  window.join();
  EXPECT_EQ(take(), 0);
}

}  // namespace
