// CALL INTERRUPT and CALL INTERRUPTX: the register records, and the mouse
// driver behind INT &H33 reading the mouse message queue.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>

#include "input/mouse_position.h"
#include "input/mouse_queues.h"
#include "legacy/cpu.h"
#include "legacy/interrupts.h"
#include "screen/fresh_screen.h"
#include "screen/images/screen_modes.h"
#include "values/byte_element.h"

namespace {

// A register record: AX BX CX DX BP SI DI FLAGS, then DS ES for the X form.
using record = std::array<uint16_t, 10>;

byte_element_struct view(record& r, int32_t bytes) {
  return byte_element_struct{reinterpret_cast<uint64_t>(r.data()), bytes};
}

class interrupts : public fresh_screen {
 protected:
  void SetUp() override {
    fresh_screen::SetUp();
    cpu_registers_init();
    kx::mouse_queues_init();
    picture(640, 400);
  }
  void TearDown() override {
    window_exists = 0;
    fresh_screen::TearDown();
  }
  // The picture fills the window at scale 1.
  static void picture(int32_t w, int32_t h) {
    environment_2d__screen_width = w;
    environment_2d__screen_height = h;
    environment_2d__screen_scaled_width = w;
    environment_2d__screen_scaled_height = h;
    environment_2d__screen_x1 = 0;
    environment_2d__screen_y1 = 0;
    environment_2d__screen_x_scale = 1.0;
    environment_2d__screen_y_scale = 1.0;
  }
  // INT &H33 through CALL INTERRUPT: AX in, the whole record out.
  static record mouse(uint16_t function) {
    record in{function, 0x1111, 0x2222, 0x3333, 0, 0, 0, 0};
    record out{};
    auto i = view(in, 16), o = view(out, 16);
    call_interrupt(0x33, &i, &o);
    return out;
  }
};

TEST_F(interrupts, records_carry_the_registers_in_their_order_and_leave_flags_alone) {
  record in{0x0101, 0x0202, 0x0303, 0x0404, 0x0505, 0x0606, 0x0707, 0xF00F, 0x0808, 0x0909};
  record out;
  out.fill(0xEEEE);
  cpu.eax = 0xABCD0000;
  auto i = view(in, 16), o = view(out, 16);
  call_interrupt(0x21, &i, &o);  // no handler: the registers pass through
  EXPECT_EQ(cpu.eax, 0xABCD0101u);  // only AX of EAX is loaded
  EXPECT_EQ(cpu.ebx & 0xFFFF, 0x0202u);
  EXPECT_EQ(cpu.ecx & 0xFFFF, 0x0303u);
  EXPECT_EQ(cpu.edx & 0xFFFF, 0x0404u);
  EXPECT_EQ(cpu.ebp & 0xFFFF, 0x0505u);
  EXPECT_EQ(cpu.esi & 0xFFFF, 0x0606u);
  EXPECT_EQ(cpu.edi & 0xFFFF, 0x0707u);
  EXPECT_EQ(cpu.ds, 0);  // the short form leaves the segments
  EXPECT_EQ(out, (record{0x0101, 0x0202, 0x0303, 0x0404, 0x0505, 0x0606, 0x0707, 0xEEEE, 0xEEEE, 0xEEEE}));

  out.fill(0xEEEE);
  i = view(in, 20);
  o = view(out, 20);
  call_interruptx(0x10, &i, &o);
  EXPECT_EQ(cpu.ds, 0x0808);
  EXPECT_EQ(cpu.es, 0x0909);
  EXPECT_EQ(out, (record{0x0101, 0x0202, 0x0303, 0x0404, 0x0505, 0x0606, 0x0707, 0xEEEE, 0x0808, 0x0909}));
  EXPECT_EQ(take_error(), 0u);

  // A record too short for its form: error 5 and nothing runs.
  in[0] = 0;  // the mouse reset, had it run, would write AX
  const record before = out;
  struct lengths {
    int32_t in, out;
    bool x;
  };
  for (const lengths& l : {lengths{16, 15, false}, lengths{15, 16, false}, lengths{20, 16, true},
                           lengths{16, 20, true}, lengths{0, 0, false}}) {
    SCOPED_TRACE(std::to_string(l.in) + " " + std::to_string(l.out));
    i = view(in, l.in);
    o = view(out, l.out);
    l.x ? call_interruptx(0x33, &i, &o) : call_interrupt(0x33, &i, &o);
    EXPECT_EQ(take_error(), uint32_t{err::illegal_function_call});
    EXPECT_EQ(out, before);
    EXPECT_EQ(cpu.eax & 0xFFFF, 0x0101u);
  }
  call_interrupt(0x33, nullptr, nullptr);
  EXPECT_EQ(take_error(), uint32_t{err::illegal_function_call});

  // A pending error stops the call before it reads anything.
  new_error = 11;
  i = view(in, 16);
  o = view(out, 16);
  call_interrupt(0x33, &i, &o);
  EXPECT_EQ(take_error(), 11u);
  EXPECT_EQ(out, before);
}

TEST_F(interrupts, the_mouse_driver_resets_and_reports_the_newest_message_in_text_cells) {
  // Function 0: a driver with two buttons; the other registers stay.
  EXPECT_EQ(mouse(0), (record{0xFFFF, 2, 0x2222, 0x3333, 0, 0, 0, 0}));
  // Functions beyond 3 change nothing.
  EXPECT_EQ(mouse(7), (record{7, 0x1111, 0x2222, 0x3333, 0, 0, 0, 0}));

  // Function 3 on the 80 x 25 text screen: window pixel (100, 100) is
  // column 13, row 7, reported as 8 per cell from the cell's middle.
  kx::mouse_position_event(10, 10);
  ASSERT_EQ(func__mouseinput(0, 0), -1);
  ASSERT_EQ(func__mouseinput(0, 0), -1);
  kx::mouse_position_event(100, 100);
  kx::mouse_button_event(1, true);
  const int32_t pending = kx::mouse_pending_messages(mouse_message_queue_default);
  EXPECT_EQ(mouse(3), (record{3, 1, 8 * 13 - 4, 8 * 7 - 4, 0, 0, 0, 0}));
  // The read position has not moved: the program still reads the old one.
  EXPECT_EQ(kx::mouse_pending_messages(mouse_message_queue_default), pending);
  EXPECT_EQ(func__mousex(0, 0), 2);
  EXPECT_EQ(func__mousey(0, 0), 1);

  // Right is bit 1, the middle button is not reported.
  kx::mouse_button_event(3, true);
  EXPECT_EQ(mouse(3)[1], 3);
  kx::mouse_button_event(1, false);
  kx::mouse_button_event(3, false);
  kx::mouse_button_event(2, true);
  EXPECT_EQ(mouse(3)[1], 0);
  kx::mouse_position_event(639, 399);
  EXPECT_EQ(mouse(3), (record{3, 0, 8 * 80 - 4, 8 * 25 - 4, 0, 0, 0, 0}));

  // Functions 1 and 2 ask the window for the default cursor and for none.
  window_exists = 1;
  int32_t cursor = 0;
  (void)kx::take_cursor_request(&cursor);
  mouse(1);
  ASSERT_TRUE(kx::take_cursor_request(&cursor));
  EXPECT_EQ(cursor, mouse_cursor_style);
  mouse(2);
  ASSERT_TRUE(kx::take_cursor_request(&cursor));
  EXPECT_EQ(cursor, cursor_none);
  EXPECT_EQ(take_error(), 0u);
}

TEST_F(interrupts, the_mouse_driver_counts_640_pixels_across_320_pixel_screens) {
  kxg_screen(13, 0, 0, 0, 1);
  picture(320, 200);
  kx::mouse_position_event(319, 199);
  EXPECT_EQ(mouse(3), (record{3, 0, 638, 199, 0, 0, 0, 0}));
  kx::mouse_position_event(0, 0);
  EXPECT_EQ(mouse(3)[2], 0);
  kx::mouse_position_event(157, 3);
  EXPECT_EQ(mouse(3)[2], 314);

  kxg_screen(12, 0, 0, 0, 1);
  picture(640, 480);
  kx::mouse_position_event(157, 479);
  EXPECT_EQ(mouse(3), (record{3, 0, 157, 479, 0, 0, 0, 0}));

  // Through CALL INTERRUPTX the segments pass unchanged.
  record in{3, 0, 0, 0, 0, 0, 0, 0, 0x1234, 0x5678}, out{};
  auto i = view(in, 20), o = view(out, 20);
  call_interruptx(0x33, &i, &o);
  EXPECT_EQ(out, (record{3, 0, 157, 479, 0, 0, 0, 0, 0x1234, 0x5678}));
  EXPECT_EQ(take_error(), 0u);
}

}  // namespace
