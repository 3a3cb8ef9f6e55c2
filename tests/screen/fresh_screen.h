#pragma once
// Test fixture: memory, strings and the screen as start-up leaves them
// (SCREEN 0, 80 x 25, eight pages), rebuilt for every test, with no main
// loop or window running.
#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "base/error.h"
#include "base/flags.h"
#include "screen/compose/composer.h"
#include "screen/compose/frame_slots.h"
#include "screen/compose/presentation_state.h"
#include "screen/images/display_lock.h"
#include "screen/images/image_create.h"
#include "screen/images/image_table.h"
#include "screen/screen_startup.h"
#include "screen/text/print.h"
#include "screen/text/text_switches.h"
#include "values/memory_startup.h"
#include "values/string_create.h"
#include "values/string_lists.h"
#include "values/string_release.h"
#include "values/string_startup.h"

class fresh_screen : public ::testing::Test {
 protected:
  void SetUp() override {
    new_error = 0;
    kxevent = 0;
    lock_display_required = 0;
    lock_display = 0;
    autodisplay = 1;
    frame = 0;
    screen_hide = 0;
    force_display_update = 0;
    displayorder_screen = 1;
    H3C0_blink_enable = 1;
    no_control_characters2 = 0;
    mem_init();
    kxs_init();
    screen_start_without_window();
    ASSERT_EQ(new_error.load(), 0u);
  }
  void TearDown() override {
    new_error = 0;
    kx::release_all_images();
    frame_slots_reset();
  }

  // PRINT of text with or without the line end, as one statement.
  static void print(std::string_view text, bool end_line = true) {
    const uint32_t mark = kxs_tmp_list_nexti;
    kxs_print(kxs_new_txt_len(text.data(), static_cast<int32_t>(text.size())), end_line ? 1 : 0);
    kxs_cleanup(mark, 0);
  }
  // The characters of a text row of the write page (1-based).
  static std::string row_text(int32_t row, const img_struct* image = nullptr) {
    const img_struct& i = image ? *image : *write_page;
    std::string s;
    for (int32_t x = 0; x < i.width; ++x) s += static_cast<char>(kx::cell_at(i, uint64_t(row - 1) * i.width + x) & 0xFF);
    return s;
  }
  static uint16_t cell(int32_t row, int32_t column) {
    return kx::cell_at(*write_page, uint64_t(row - 1) * write_page->width + (column - 1));
  }
  static int32_t valid_images() {
    int32_t n = 0;
    for (int32_t i = 0; i < nextimg; ++i) n += img[i].valid;
    return n;
  }
  // Takes the error a call left, clearing it.
  static uint32_t take_error() { return new_error.exchange(0); }
};
