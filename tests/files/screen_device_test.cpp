// The file layer meeting the screen: PRINT # to "SCRN:" and the chained
// screen state applied to real pages.
#include "base/flags.h"
#include "file_fixture.h"
#include "files/chain_input.h"
#include "files/file_position.h"
#include "files/file_print.h"
#include "files/launch_info.h"
#include "screen/compose/frame_slots.h"
#include "screen/images/image_create.h"
#include "screen/images/image_table.h"
#include "screen/screen_startup.h"

namespace {

class ScreenDevice : public file_test {
 protected:
  void SetUp() override {
    file_test::SetUp();
    lock_display_required = 0;
    screen_start_without_window();
    ASSERT_EQ(new_error.load(), 0u);
  }
  void TearDown() override {
    kx::release_all_images();
    frame_slots_reset();
    file_test::TearDown();
  }
  static uint8_t character_at(const img_struct& page, int cell) { return page.data[2 * cell]; }

  // Starts as a program chained with a state file of these 32-bit values
  // after the recorded directory (the current one).
  void chain_start(const std::string& file, std::initializer_list<int32_t> blocks) {
    const std::string directory = std::filesystem::current_path().string();
    std::string bytes;
    const auto put = [&](int32_t v) {
      for (int i = 0; i < 4; ++i) bytes += static_cast<char>(static_cast<uint32_t>(v) >> (8 * i));
    };
    put(1);
    put(static_cast<int32_t>(directory.size()));
    bytes += directory;
    for (const int32_t v : blocks) put(v);
    put(0);
    write_file(file, bytes);
    const std::string saved = func_command_str;
    func_command_str = "(unique-tag:=/@*$+-)" + file;
    chain_input();
    func_command_str = saved;
  }
};

TEST_F(ScreenDevice, PrintToScrnWritesOnTheScreen) {
  open("scrn:", OUTPUT, 1);
  ASSERT_EQ(take_error(), 0u);
  sub_file_print(1, s("HI"), 0, 0, 1);
  EXPECT_EQ(take_error(), 0u);
  EXPECT_EQ(character_at(*write_page, 0), 'H');
  EXPECT_EQ(character_at(*write_page, 1), 'I');
  EXPECT_EQ(write_page->cursor_y, 2);
  func_eof(1);
  EXPECT_EQ(take_error(), 5u);
  func_lof(1);
  EXPECT_EQ(take_error(), 5u);
  EXPECT_EQ(func_seek(1), 0);
}

TEST_F(ScreenDevice, SavedPagesGiveOnlyTheirPlainState) {
  kx::chain_screen_target& target = *kx::chain_default_screen_target();
  const int64_t pixel_bytes = target.page_pixel_bytes(0);
  ASSERT_EQ(pixel_bytes, 80 * 25 * 2);
  img_struct saved = *write_page;
  saved.cursor_x = 10;
  saved.cursor_y = 5;
  saved.color = 14;
  saved.data = reinterpret_cast<uint8_t*>(0x1234);  // another process's pointers
  saved.pal = reinterpret_cast<uint32_t*>(0x5678);
  saved.lock = reinterpret_cast<mem_lock*>(0x9abc);
  std::vector<uint8_t> pixels(static_cast<size_t>(pixel_bytes));
  for (size_t i = 0; i < pixels.size(); i += 2) {
    pixels[i] = 'Z';
    pixels[i + 1] = 0x1E;
  }
  std::vector<uint8_t> record(sizeof saved);
  std::memcpy(record.data(), &saved, sizeof saved);
  uint8_t* const own_data = write_page->data;
  uint32_t* const own_palette = write_page->pal;
  ASSERT_TRUE(target.restore_page(0, pixels, record));
  EXPECT_EQ(write_page->data, own_data);
  EXPECT_EQ(write_page->pal, own_palette);
  EXPECT_EQ(write_page->cursor_x, 10);
  EXPECT_EQ(write_page->cursor_y, 5);
  EXPECT_EQ(write_page->color, 14u);
  EXPECT_EQ(character_at(*write_page, 79), 'Z');

  // A record of another size of page is refused and changes nothing.
  saved.width = 40;
  saved.cursor_x = 3;
  std::memcpy(record.data(), &saved, sizeof saved);
  pixels.assign(pixels.size(), 0);
  EXPECT_FALSE(target.restore_page(0, pixels, record));
  EXPECT_EQ(write_page->cursor_x, 10);
  EXPECT_EQ(character_at(*write_page, 79), 'Z');
  EXPECT_FALSE(target.restore_page(0, std::span<const uint8_t>(pixels).first(10), record));
  // A screen the state file asks for that does not exist is refused
  // without leaving an error behind.
  EXPECT_FALSE(target.screen_mode(5));
  EXPECT_EQ(new_error.load(), 0u);
  EXPECT_FALSE(target.font(1000));
}

TEST_F(ScreenDevice, ChainedFontIsAppliedWhenItIsBuiltIn) {
  chain_start("chainFN1.tmp", {256, 12, 259, 8, 511});
  EXPECT_FALSE(std::filesystem::exists("chainFN1.tmp"));
  ASSERT_EQ(write_page->mode, 12);
  EXPECT_EQ(write_page->font, 8u);
  EXPECT_EQ(kx::text_rows(*write_page), 60);  // 480 rows of pixels in 8-pixel cells
  // A loaded font's number belongs to the process that loaded it, and a
  // number that is no font at all is refused: the font stays.
  chain_start("chainFN2.tmp", {259, 40, 511});
  EXPECT_EQ(write_page->font, 8u);
  chain_start("chainFN3.tmp", {259, -3, 511});
  EXPECT_EQ(write_page->font, 8u);
  chain_start("chainFN4.tmp", {259, 14, 511});
  EXPECT_EQ(write_page->font, 14u);
  EXPECT_EQ(new_error.load(), 0u);
  EXPECT_FALSE(std::filesystem::exists("chainFN4.tmp"));
}

}  // namespace
