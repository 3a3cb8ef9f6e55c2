// OUT, INP and WAIT on the emulated VGA colour registers, the retrace bit
// and the keyboard port, driven as compiled statements drive them.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "base/clock.h"
#include "input/key_rings.h"
#include "input/inkey.h"
#include "legacy/ports.h"
#include "screen/fresh_screen.h"
#include "screen/images/image_statements.h"
#include "screen/images/screen_modes.h"
#include "screen/text/text_switches.h"

namespace {

constexpr int32_t attribute_port = 0x3C0;
constexpr int32_t read_index_port = 0x3C7;
constexpr int32_t write_index_port = 0x3C8;
constexpr int32_t data_port = 0x3C9;
constexpr int32_t status_port = 0x3DA;
constexpr int32_t keyboard_port = 0x60;

class ports : public fresh_screen {
 protected:
  void SetUp() override {
    fresh_screen::SetUp();
    kx::ports_reset();
    port60h.reset();
    vertical_retrace_happened = 0;
    vertical_retrace_in_progress = 0;
    stop_program = 0;
  }
  void TearDown() override {
    stop_program = 0;
    vertical_retrace_happened = 0;
    vertical_retrace_in_progress = 0;
    H3C0_blink_enable = 1;
    fresh_screen::TearDown();
  }
  // Three OUT &H3C9 writes: red, green and blue.
  static void write_rgb(int32_t r, int32_t g, int32_t b) {
    sub_out(data_port, r);
    sub_out(data_port, g);
    sub_out(data_port, b);
  }
  static std::vector<int32_t> read_levels(int32_t n) {
    std::vector<int32_t> out;
    for (int32_t i = 0; i < n; ++i) out.push_back(func_inp(data_port));
    return out;
  }
};

struct palette_target {
  const char* name;
  int32_t screen_mode;  // 0: a 256-colour _NEWIMAGE made the destination
};

TEST_F(ports, colour_registers_write_and_read_back_in_every_mode_with_a_palette) {
  const palette_target targets[] = {{"SCREEN 1", 1},   {"SCREEN 2", 2},   {"SCREEN 7", 7},  {"SCREEN 8", 8},
                                    {"SCREEN 9", 9},   {"SCREEN 10", 10}, {"SCREEN 11", 11}, {"SCREEN 12", 12},
                                    {"SCREEN 13", 13}, {"_NEWIMAGE 256", 0}};
  for (const palette_target& t : targets) {
    SCOPED_TRACE(t.name);
    kx::ports_reset();
    if (t.screen_mode) {
      kxg_screen(t.screen_mode, 0, 0, 0, 1);
    } else {
      kxg_screen(13, 0, 0, 0, 1);
      sub__dest(func__newimage(64, 32, 256, 1));
    }
    ASSERT_EQ(take_error(), 0u);
    uint32_t* pal = write_page->pal;
    ASSERT_NE(pal, nullptr);
    pal[1] = 0x12345678;  // an alpha byte that the writes must keep
    const uint32_t untouched = pal[3];

    // Three writes fill entry 1; a fourth starts on entry 2.
    sub_out(write_index_port, 1);
    write_rgb(63, 0, 32 + 64);  // only the low six bits count
    sub_out(data_port, 63);
    EXPECT_EQ(pal[1], 0x12FF0082u);
    EXPECT_EQ(pal[2] >> 16 & 0xFF, 0xFFu);
    EXPECT_EQ(pal[3], untouched);

    // From entry 255 the writes wrap to entry 0.
    sub_out(write_index_port, 255 + 256);
    write_rgb(1, 2, 3);
    write_rgb(61, 62, 63);
    EXPECT_EQ(pal[255] & 0xFFFFFF, 0x04080Cu);
    EXPECT_EQ(pal[0] & 0xFFFFFF, 0xF7FBFFu);
    EXPECT_EQ(H3C8_palette_register_index, 1);

    // Reads give the six-bit levels back, wrapping the same way.
    sub_out(read_index_port, 255);
    EXPECT_EQ(read_levels(7), (std::vector<int32_t>{1, 2, 3, 61, 62, 63, 63}));
    EXPECT_EQ(H3C9_read_next, 1);
    EXPECT_EQ(H3C7_palette_register_read_index, 1);

    // Every level survives a write and a read; OUT &H3C7 restarts at red.
    std::vector<int32_t> levels, back;
    for (int32_t v = 0; v < 64; ++v) {
      sub_out(write_index_port, 7);
      write_rgb(v, 63 - v, v);
      sub_out(read_index_port, 7);
      const std::vector<int32_t> rgb = read_levels(3);
      levels.insert(levels.end(), {v, 63 - v, v});
      back.insert(back.end(), rgb.begin(), rgb.end());
    }
    EXPECT_EQ(back, levels);
    EXPECT_EQ(take_error(), 0u);
  }
}

TEST_F(ports, a_32_bit_destination_has_no_colour_registers_but_the_counters_still_move) {
  kxg_screen(13, 0, 0, 0, 1);
  const int32_t screen = func__dest();
  uint32_t* screen_pal = write_page->pal;
  const int32_t truecolour = func__newimage(8, 8, 32, 1);
  sub__dest(truecolour);
  ASSERT_EQ(write_page->pal, nullptr);
  const std::vector<uint8_t> pixels(write_page->data, write_page->data + kx::image_bytes(*write_page));

  sub_out(read_index_port, 9);
  EXPECT_EQ(read_levels(4), (std::vector<int32_t>{0, 0, 0, 0}));
  EXPECT_EQ(H3C7_palette_register_read_index, 9);
  EXPECT_EQ(H3C9_read_next, 0);

  sub_out(write_index_port, 5);
  write_rgb(63, 63, 63);
  sub_out(data_port, 63);
  EXPECT_EQ(H3C8_palette_register_index, 6);
  EXPECT_EQ(H3C9_next, 1);
  EXPECT_EQ(std::vector<uint8_t>(write_page->data, write_page->data + pixels.size()), pixels);
  const uint32_t entry5 = screen_pal[5];

  // Back on the screen the next write sets green of entry 6.
  sub__dest(screen);
  sub_out(data_port, 0);
  EXPECT_EQ(screen_pal[5], entry5);
  EXPECT_EQ(screen_pal[6] & 0xFF00, 0u);
  EXPECT_EQ(take_error(), 0u);
}

TEST_F(ports, the_retrace_bit_follows_the_main_loop_and_wait_sees_it) {
  EXPECT_EQ(func_inp(status_port), 0);
  vertical_retrace_happened = 1;
  EXPECT_EQ(func_inp(status_port), 8);
  EXPECT_EQ(func_inp(status_port), 0);  // a retrace is reported once
  vertical_retrace_in_progress = 1;
  EXPECT_EQ(func_inp(status_port), 8);
  EXPECT_EQ(func_inp(status_port), 8);  // and for as long as it lasts
  EXPECT_EQ(func_inp(status_port - 65536), 8);
  vertical_retrace_in_progress = 0;
  EXPECT_EQ(unsupported_port_accessed, 0);

  // WAIT &H3DA, 8 holds until another thread raises the retrace.
  std::atomic<bool> waited{false};
  std::thread main_loop([&] {
    while (!waited.load()) {
      vertical_retrace_happened = 1;
      Sleep(2);
    }
  });
  sub_wait(status_port, 8, 0, 0);
  waited = true;
  main_loop.join();

  // WAIT &H3DA, 8, 8 waits for the bit to be clear: at once when it is.
  vertical_retrace_happened = 0;
  sub_wait(status_port, 8, 8, 1);
  // The XOR mask counts only when given.
  vertical_retrace_happened = 1;
  sub_wait(status_port, 8, 8, 0);
  EXPECT_EQ(vertical_retrace_happened.load(), 0);

  // A wait that nothing would end gives way when the process stops.
  std::thread stopper([] {
    Sleep(20);
    stop_program = 1;
  });
  sub_wait(status_port, 8, 0, 0);
  stopper.join();
  EXPECT_EQ(take_error(), 0u);
}

TEST_F(ports, the_keyboard_port_reads_the_scan_code_queue_and_keeps_its_last_code) {
  EXPECT_EQ(func_inp(keyboard_port), 0x81);  // before any key
  port60h.push_make(30);
  EXPECT_EQ(func_inp(keyboard_port), 30);
  EXPECT_EQ(func_inp(keyboard_port), 30);
  EXPECT_EQ(port60h.count(), 0u);
  port60h.push_break(30);
  port60h.push_make(31);
  EXPECT_EQ(func_inp(keyboard_port), 158);
  EXPECT_EQ(func_inp(keyboard_port), 31);
  EXPECT_EQ(func_inp(keyboard_port), 31);
  // WAIT &H60, &H80 ends on a break code, which then stays readable.
  port60h.push_break(31);
  sub_wait(keyboard_port, 0x80, 0, 0);
  EXPECT_EQ(func_inp(keyboard_port), 159);
  EXPECT_EQ(unsupported_port_accessed, 0);
}

TEST_F(ports, other_ports_do_nothing_and_bad_numbers_raise_error_6) {
  // OUT &H3C0 sets the blink switch from bit 3.
  sub_out(attribute_port, 0xF7);
  EXPECT_EQ(H3C0_blink_enable.load(), 0);
  EXPECT_EQ(func__blink(), 0);
  sub_out(attribute_port, 8);
  EXPECT_EQ(func__blink(), -1);

  // The port is a 16-bit number: &H3C8 + 65536 is &H3C8.
  sub_out(write_index_port + 65536, 4);
  EXPECT_EQ(H3C8_palette_register_index, 4);
  EXPECT_EQ(unsupported_port_accessed, 0);
  sub_out(0x378, 1);
  EXPECT_EQ(unsupported_port_accessed, 1);
  EXPECT_EQ(H3C8_palette_register_index, 4);
  EXPECT_EQ(func_inp(0x3C8), 0);
  EXPECT_EQ(unsupported_port_accessed, 1);
  EXPECT_EQ(func_inp(-65536), 0);  // port 0
  EXPECT_EQ(unsupported_port_accessed, 1);
  sub_wait(0x201, 0xFF, 0, 0);  // returns at once
  EXPECT_EQ(unsupported_port_accessed, 1);
  EXPECT_EQ(take_error(), 0u);

  struct bad_wait {
    int32_t port, andmask, xormask, passed;
  };
  for (const bad_wait& w : {bad_wait{65536, 8, 0, 0}, bad_wait{-65537, 8, 0, 0}, bad_wait{status_port, 65536, 0, 0},
                            bad_wait{status_port, -32769, 0, 0}, bad_wait{status_port, 8, 65536, 1},
                            bad_wait{status_port, 8, -32769, 1}}) {
    SCOPED_TRACE(std::to_string(w.port) + " " + std::to_string(w.andmask) + " " + std::to_string(w.xormask));
    sub_wait(w.port, w.andmask, w.xormask, w.passed);  // would wait for ever if not refused
    EXPECT_EQ(take_error(), uint32_t{err::overflow});
  }
  // Masks at the ends of the range are accepted, and only their low bytes
  // count; an XOR mask not given is not checked.
  vertical_retrace_happened = 1;
  sub_wait(status_port, 65535, 99999, 0);
  EXPECT_EQ(take_error(), 0u);
  vertical_retrace_happened = 1;
  sub_wait(-65536 + status_port, -32768 + 8, -32768, 1);
  EXPECT_EQ(take_error(), 0u);
  EXPECT_EQ(func_inp(65536), 0);
  EXPECT_EQ(take_error(), uint32_t{err::overflow});
  EXPECT_EQ(func_inp(-65537), 0);
  EXPECT_EQ(take_error(), uint32_t{err::overflow});

  // While an error waits, OUT and WAIT do nothing and INP reads nothing.
  new_error = 7;
  sub_out(write_index_port, 9);
  EXPECT_EQ(H3C8_palette_register_index, 4);
  sub_wait(status_port, 8, 0, 0);  // would wait for ever if it ran
  port60h.push_make(44);
  EXPECT_EQ(func_inp(keyboard_port), 0);
  EXPECT_EQ(take_error(), 7u);
  EXPECT_EQ(func_inp(keyboard_port), 44);
}

}  // namespace
