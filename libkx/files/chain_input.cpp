#include "files/chain_input.h"

#include <unistd.h>

#include <string_view>
#include <vector>

#include "files/file_handles.h"
#include "files/launch_info.h"

namespace {

constexpr std::string_view chain_tag = "(unique-tag:=/@*$+-)";
constexpr std::string_view file_prefix = "chain";
constexpr std::string_view file_suffix = ".tmp";
constexpr size_t tail_length = 32;  // the tag and the 12-character file name
constexpr size_t file_name_length = 12;

// Screen-state block tags.
constexpr int32_t tag_mode = 256;
constexpr int32_t tag_new_image = 257;
constexpr int32_t tag_width = 258;
constexpr int32_t tag_font = 259;
constexpr int32_t tag_page = 260;
constexpr int32_t tag_pages = 261;
constexpr int32_t tag_palette = 262;
constexpr int32_t palette_entries = 256;

bool read_int(int32_t h, int32_t& value) {
  uint8_t bytes[4];
  if (gfs_read(h, -1, bytes, 4) != gfs_ok) return false;
  value = static_cast<int32_t>(bytes[0] | uint32_t{bytes[1]} << 8 | uint32_t{bytes[2]} << 16 | uint32_t{bytes[3]} << 24);
  return true;
}

bool read_bytes(int32_t h, std::vector<uint8_t>& bytes, int64_t count) {
  bytes.resize(static_cast<size_t>(count));
  return gfs_read(h, -1, bytes.data(), count) == gfs_ok;
}

}  // namespace

namespace kx {

std::string chain_state_file_name(const std::string& command_line) {
  if (command_line.size() < tail_length) return std::string();
  const std::string_view tail = std::string_view(command_line).substr(command_line.size() - tail_length);
  if (!tail.starts_with(chain_tag)) return std::string();
  const std::string_view name = tail.substr(chain_tag.size());
  if (name.size() != file_name_length || !name.starts_with(file_prefix) || !name.ends_with(file_suffix))
    return std::string();
  return std::string(name);
}

bool chain_restore_screen_state(int32_t h, chain_screen_target& target) {
  std::vector<uint8_t> pixels;
  std::vector<uint8_t> record;
  for (;;) {
    int32_t tag = 0;
    if (!read_int(h, tag)) return false;
    switch (tag) {
      case tag_mode: {
        int32_t mode = 0;
        if (!read_int(h, mode)) return false;
        if (mode && !target.screen_mode(mode)) return false;
        break;
      }
      case tag_width: {
        int32_t columns = 0, rows = 0;
        if (!read_int(h, columns) || !read_int(h, rows)) return false;
        if (!target.width(columns, rows)) return false;
        break;
      }
      case tag_new_image: {
        int32_t bits = 0, width = 0, height = 0;
        if (!read_int(h, bits) || !read_int(h, width) || !read_int(h, height)) return false;
        if (!target.new_image_screen(bits, width, height)) return false;
        break;
      }
      case tag_font: {
        int32_t font = 0;
        if (!read_int(h, font)) return false;
        if (!target.font(font)) return false;
        break;
      }
      case tag_page: {
        // Pixels and record land in scratch space: nothing of another
        // process's memory (pointers, locks, flags) reaches a live page.
        int32_t page = 0;
        if (!read_int(h, page)) return false;
        const int64_t pixel_bytes = target.page_pixel_bytes(page);
        if (pixel_bytes < 0) return false;
        if (!read_bytes(h, pixels, pixel_bytes) || !read_bytes(h, record, target.page_record_size())) return false;
        if (!target.restore_page(page, pixels, record)) return false;
        break;
      }
      case tag_pages: {
        int32_t active = 0, visual = 0;
        if (!read_int(h, active) || !read_int(h, visual)) return false;
        if (!target.pages(active, visual)) return false;
        break;
      }
      case tag_palette:
        for (int32_t i = 0; i < palette_entries; ++i) {
          int32_t colour = 0;
          if (!read_int(h, colour)) return false;
          if (!target.palette_colour(i, static_cast<uint32_t>(colour))) return false;
        }
        break;
      default:
        return true;  // the end marker
    }
  }
}

void chain_input_with(chain_screen_target* target) {
  const std::string name = chain_state_file_name(func_command_str);
  if (name.empty()) return;
  // The tag goes from COMMAND$ whatever the state file holds, and the blank
  // before it too when anything is left.
  func_command_str.resize(func_command_str.size() - tail_length);
  if (!func_command_str.empty()) func_command_str.pop_back();

  const int32_t h = gfs_open_name(name, 3, 0, 0, false);
  if (h < 0) return;  // no state file: an ordinary start
  std::string directory;
  bool directory_ok = false;
  int32_t ignored = 0, length = 0;
  if (read_int(h, ignored) && read_int(h, length) && length >= 0 && length <= chain_directory_limit) {
    std::vector<uint8_t> bytes;
    if (read_bytes(h, bytes, length)) {
      directory.assign(bytes.begin(), bytes.end());
      directory_ok = directory.find('\0') == std::string::npos;
    }
  }
  // A directory that does not fit its buffer is refused: the program
  // starts as if unchained.
  if (directory_ok && target && chain_restore_screen_state(h, *target)) read_int(h, ignored);
  gfs_close(h);
  ::unlink(name.c_str());
  if (directory_ok && !directory.empty() && ::chdir(directory.c_str()) != 0) {
    // The recorded directory is gone: the program stays where it started.
  }
}

}  // namespace kx

void chain_input() { kx::chain_input_with(kx::chain_default_screen_target()); }

void chain_restorescreenstate(int32_t h) {
  if (kx::chain_screen_target* target = kx::chain_default_screen_target()) kx::chain_restore_screen_state(h, *target);
}
