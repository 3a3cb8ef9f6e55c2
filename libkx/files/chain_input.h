#pragma once
// Receiving a chained program's state at the start of the main routine: a
// chain tag at the end of the command line names a state file, which is
// read, applied and deleted.
#include <cstdint>
#include <span>
#include <string>

// Called once at the start of the main routine's body. Without a chain
// tag it does nothing.
void chain_input();

namespace kx {

// What a state file's screen blocks do to the screen. The screen layer
// provides the real one; each call does what the block's statement does
// and answers false when the screen refused it.
class chain_screen_target {
 public:
  virtual ~chain_screen_target() = default;
  virtual bool screen_mode(int32_t mode) = 0;                               // 256: SCREEN mode
  virtual bool width(int32_t columns, int32_t rows) = 0;                    // 258: WIDTH columns, rows
  virtual bool new_image_screen(int32_t bits, int32_t width, int32_t height) = 0;  // 257
  virtual bool font(int32_t font) = 0;                                      // 259: _FONT
  // 260: makes the page exist and answers its pixel bytes (width x height x
  // bytes per pixel), or -1 when it cannot be made.
  virtual int64_t page_pixel_bytes(int32_t page) = 0;
  // The size of a saved page record.
  virtual int64_t page_record_size() = 0;
  // 260: puts the saved pixels on the page and takes the record's plain
  // state (cursor, colours, viewport, a valid font). Answers false, leaving
  // the page as it was, when the record's size or mode does not match.
  virtual bool restore_page(int32_t page, std::span<const uint8_t> pixels, std::span<const uint8_t> record) = 0;
  virtual bool pages(int32_t active, int32_t visual) = 0;  // 261: SCREEN , , active, visual
  virtual bool palette_colour(int32_t index, uint32_t colour) = 0;  // 262: _PALETTECOLOR
};

// The screen layer's target.
chain_screen_target* chain_default_screen_target();

// Reads the screen blocks of handle h up to the end marker (which it
// consumes) and applies them. False when the file ends early or a block is
// refused; the blocks before it stay applied.
bool chain_restore_screen_state(int32_t h, chain_screen_target& target);

// The state file named by a command line's chain tag, or empty.
std::string chain_state_file_name(const std::string& command_line);

// The directory length a state file may record (the buffer holds 4095
// bytes and a terminating zero).
inline constexpr int32_t chain_directory_limit = 4095;

// chain_input with an explicit screen target (null: the screen blocks
// are not read).
void chain_input_with(chain_screen_target* target);

}  // namespace kx

// The screen state from handle h, through the screen layer's target.
void chain_restorescreenstate(int32_t h);
