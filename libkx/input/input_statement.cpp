#include "input/input_statement.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "base/clock.h"
#include "base/error.h"
#include "base/flags.h"
#include "input/inkey.h"
#include "input/input_checks.h"
#include "screen/fonts/fonts.h"
#include "screen/images/image_statements.h"
#include "screen/images/image_table.h"
#include "screen/text/console_output.h"
#include "screen/text/print.h"
#include "values/string_assign.h"
#include "values/string_create.h"
#include "values/string_release.h"
#include "values/type_codes.h"

int32_t kxs_input_variabletypes[kxs_input_variables_max + 1];
void* kxs_input_variableoffsets[kxs_input_variables_max + 1];
kxs* kxs_input_arguements[kxs_input_variables_max + 1];

namespace {

namespace tc = kx::type_code;

constexpr size_t line_max = 255;
constexpr uint32_t key_poll_ms = 10;
constexpr int tab_width = 8;
constexpr int64_t blink_bit = 512;
constexpr uint32_t colour_bits = 0x00FFFFFF;

void print_byte(uint8_t c) {
  const uint32_t mark = kxs_tmp_list_nexti;
  kxs* s = kxs_new(1, 1);
  s->chars[0] = c;
  kxs_print(s, 0);
  kxs_cleanup(mark, 0);
}

// Splits the line into the texts of its arguments; false when the line
// cannot be valid (text after a closing quotation mark, more arguments
// than variables).
bool split(std::string_view line, bool line_input, int32_t count, std::vector<std::string>* arguments) {
  arguments->clear();
  if (line_input) {
    arguments->emplace_back(line);
    return true;
  }
  size_t i = 0;
  for (;;) {
    std::string text;
    if (i < line.size() && line[i] == '"') {
      const size_t close = line.find('"', i + 1);
      text = line.substr(i + 1, close == std::string_view::npos ? std::string_view::npos : close - i - 1);
      i = close == std::string_view::npos ? line.size() : close + 1;
      if (i < line.size() && line[i] != ',') return false;
    } else {
      const size_t comma = std::min(line.find(',', i), line.size());
      text = line.substr(i, comma - i);
      i = comma;
    }
    arguments->push_back(std::move(text));
    if (static_cast<int32_t>(arguments->size()) > count) return false;
    if (i >= line.size()) return true;
    ++i;  // the comma: another argument follows, perhaps empty
  }
}

template <typename T>
void store_as(void* address, T value) {
  std::memcpy(address, &value, sizeof value);
}

// Checks the text for variable i and stores its value when valid.
bool check_and_store(int32_t i, const std::string& text) {
  const int32_t type = kxs_input_variabletypes[i];
  void* address = kxs_input_variableoffsets[i];
  kxs_set(kxs_input_arguements[i], kxs_new_txt_len(text.data(), static_cast<int32_t>(text.size())));
  if (type & tc::is_string) {
    auto* target = static_cast<kxs*>(address);
    if (target->is_fixed && static_cast<int32_t>(text.size()) > target->length) return false;
    kxs_set(target, kxs_new_txt_len(text.data(), static_cast<int32_t>(text.size())));
    return true;
  }
  const int32_t bits = tc::bits(type);
  kx::input_value value;
  if (type & tc::is_floating) {
    if (!kx::check_input_floating(text, type, &value)) return false;
    if (bits == tc::single_bits) store_as(address, static_cast<float>(value.number));
    else if (bits == tc::double_bits) store_as(address, static_cast<double>(value.number));
    else store_as(address, value.number);
    return true;
  }
  const bool wide = bits == 64;
  if (!(wide ? kx::check_input_integer64(text, type, &value) : kx::check_input_integer(text, type, &value))) {
    return false;
  }
  if (!(type & tc::not_stored)) std::memcpy(address, &value.pattern, static_cast<size_t>(bits / 8));
  return true;
}

void clear_variable(int32_t i) {
  const int32_t type = kxs_input_variabletypes[i];
  void* address = kxs_input_variableoffsets[i];
  if (type & tc::is_string) {
    auto* target = static_cast<kxs*>(address);
    if (target->is_fixed) std::memset(target->chars, ' ', static_cast<size_t>(target->length));
    else kxs_set(target, kxs_new(0, 1));
    return;
  }
  if (type & tc::not_stored) return;
  // _FLOAT is held in the C++ extended type, whatever its nominal size.
  const size_t bytes = tc::bits(type) == tc::float_bits && (type & tc::is_floating)
                           ? sizeof(kx_float)
                           : static_cast<size_t>(tc::storage_bytes(type));
  std::memset(address, 0, bytes);
}

// The cursor INPUT draws itself on pixel images, by inverting the pixels
// of the character cell at the text cursor with the current colour.
class drawn_cursor {
 public:
  explicit drawn_cursor(img_struct& image) : image_(image) {}
  ~drawn_cursor() { hide(); }
  drawn_cursor(const drawn_cursor&) = delete;
  drawn_cursor& operator=(const drawn_cursor&) = delete;

  // Shows or hides the cursor for this moment (a blinking one changes every
  // 512 ms).
  void update() {
    if (image_.text) return;
    const bool thin = image_.bytes_per_pixel == 4 || image_.mode == 256 ||
                      image_.font >= first_loaded_font;
    const bool want = !thin || (GetTicks() & blink_bit) == 0;
    if (want == shown_) return;
    if (want) {
      const int32_t font = static_cast<int32_t>(image_.font);
      const int32_t width = fontwidth[font];
      w_ = thin ? 1 : std::max(width, 1);
      h_ = fontheight[font];
      x_ = width ? (image_.cursor_x - 1) * width : image_.cursor_x - 1;
      y_ = (image_.cursor_y - 1) * h_;
    }
    invert();
    shown_ = want;
  }
  void hide() {
    if (shown_) invert();
    shown_ = false;
  }

 private:
  void invert() {
    const int32_t x_end = std::min<int32_t>(x_ + w_, image_.width);
    const int32_t y_end = std::min<int32_t>(y_ + h_, image_.height);
    for (int32_t y = std::max(y_, 0); y < y_end; ++y) {
      for (int32_t x = std::max(x_, 0); x < x_end; ++x) {
        const size_t at = static_cast<size_t>(y) * image_.width + static_cast<size_t>(x);
        if (image_.bytes_per_pixel == 4) {
          // The colour bits only: an inverted alpha would make the cell
          // transparent.
          kx::pixels32(image_)[at] ^= image_.color & colour_bits;
        } else {
          image_.data[at] ^= static_cast<uint8_t>(image_.color & image_.mask);
        }
      }
    }
  }

  img_struct& image_;
  bool shown_ = false;
  int32_t x_ = 0, y_ = 0, w_ = 0, h_ = 0;
};

// One INPUT statement's editing state and what it restores at the end.
class line_editor {
 public:
  line_editor(int32_t count, bool line_input) : count_(count), line_input_(line_input) {}

  // Copies the screen and remembers the cursor; false after a critical
  // error (which ends the program).
  bool begin() {
    dest_handle_ = func__dest();
    dest_ = write_page;
    snapshot_ = func__copyimage(dest_handle_, 0, 1);
    if (snapshot_ >= -1) {
      snapshot_ = 0;
      error(err::out_of_memory_input_snapshot);
      return false;
    }
    scratch_ = func__copyimage(dest_handle_, 0, 1);
    if (scratch_ >= -1) {
      scratch_ = 0;
      error(err::out_of_memory_input_scratch);
      return false;
    }
    cursor_x_ = dest_->cursor_x;
    cursor_y_ = dest_->cursor_y;
    holding_ = dest_->holding_cursor;
    return true;
  }

  ~line_editor() {
    if (scratch_) sub__freeimage(scratch_, 1);
    if (snapshot_) sub__freeimage(snapshot_, 1);
  }
  line_editor(const line_editor&) = delete;
  line_editor& operator=(const line_editor&) = delete;

  img_struct& destination() { return *dest_; }

  // A typed character: appended, shown and checked.
  void type(uint8_t c) {
    if (line_.size() >= line_max) return;
    line_ += static_cast<char>(c);
    print_byte(c);
    settle();
  }

  void backspace() {
    if (line_.empty()) return;
    line_.pop_back();
    redraw();
    settle();
  }

  size_t length() const { return line_.size(); }

 private:
  // Checks the line; while it is invalid its last character goes.
  void settle() {
    while (!valid()) {
      line_.pop_back();
      redraw();
    }
  }

  bool valid() {
    if (!split(line_, line_input_, count_, &arguments_)) return false;
    const auto last = static_cast<int32_t>(arguments_.size());
    return check_and_store(last, arguments_.back());
  }

  // The screen as it was before typing, with the line printed again on it:
  // printing on a copy keeps every effect of the line's characters
  // (wrapping, scrolling) exactly as typing them had.
  void redraw() {
    img_struct* snapshot = kx::image_from_handle(snapshot_);
    img_struct* scratch = kx::image_from_handle(scratch_);
    if (!snapshot || !scratch) return;
    std::memcpy(scratch->data, snapshot->data, kx::image_bytes(*snapshot));
    scratch->cursor_x = cursor_x_;
    scratch->cursor_y = cursor_y_;
    scratch->holding_cursor = holding_;
    sub__dest(scratch_);
    for (char c : line_) print_byte(static_cast<uint8_t>(c));
    sub__dest(dest_handle_);
    std::memcpy(dest_->data, scratch->data, kx::image_bytes(*scratch));
    dest_->cursor_x = scratch->cursor_x;
    dest_->cursor_y = scratch->cursor_y;
    dest_->holding_cursor = scratch->holding_cursor;
  }

  int32_t count_;
  bool line_input_;
  std::string line_;
  std::vector<std::string> arguments_;
  int32_t dest_handle_ = 0;
  img_struct* dest_ = nullptr;
  int32_t snapshot_ = 0, scratch_ = 0;
  int32_t cursor_x_ = 1, cursor_y_ = 1;
  uint8_t holding_ = 0;
};

// The key the editor handles next, or 0 while none has come; -1 when the
// program is being stopped.
int32_t next_key(drawn_cursor& cursor, int32_t* pending_blanks, uint32_t mark) {
  if (*pending_blanks > 0) {
    --*pending_blanks;
    return ' ';
  }
  for (;;) {
    if (stop_program.load()) return -1;
    cursor.update();
    Sleep(key_poll_ms);
    kxs* key = kxs_inkey();
    const int32_t length = key->length;
    const uint8_t c = length ? key->chars[0] : 0;
    kxs_cleanup(mark, 0);
    // Extended keys (two bytes) have no place in the line.
    if (length == 1) {
      cursor.hide();
      return c;
    }
  }
}

// Restores what the statement changed outside the line.
class statement_state {
 public:
  statement_state() : autodisplay_(autodisplay.load()), source_(func__source()) {
    autodisplay = 1;
    sub__source(func__dest());
  }
  ~statement_state() {
    if (autodisplay_ == 0) {
      // One frame with the finished line, then the display is off again.
      autodisplay = -1;
      while (autodisplay.load() != 0 && !stop_program.load()) Sleep(1);
    }
    sub__source(source_);
  }
  statement_state(const statement_state&) = delete;
  statement_state& operator=(const statement_state&) = delete;

 private:
  int32_t autodisplay_;
  int32_t source_;
};

// INPUT on the console image: the line comes from standard input. Each
// byte is kept only while the line stays valid, as the editor keeps typed
// keys; the terminal has echoed the line already. At the end of the input
// (a closed pipe, a file read to its end) nothing more can come, so the
// statement fails with error 62 rather than waiting for ever.
void console_input(int32_t count, bool line_input) {
  for (int32_t i = 1; i <= count; ++i) {
    kxs_input_arguements[i] = kxs_new(0, 0);
    clear_variable(i);
  }
  std::string line;
  std::vector<std::string> arguments;
  bool any = false;
  for (;;) {
    const int c = std::getchar();
    if (c == EOF) {
      if (!any) error(err::input_past_end_of_file);
      break;
    }
    any = true;
    if (c == '\n') break;
    if (c == '\r' || line.size() >= line_max) continue;
    line += static_cast<char>(c);
    if (!split(line, line_input, count, &arguments) ||
        !check_and_store(static_cast<int32_t>(arguments.size()), arguments.back())) {
      line.pop_back();
    }
  }
  for (int32_t i = 1; i <= count; ++i) {
    kxs_free(kxs_input_arguements[i]);
    kxs_input_arguements[i] = nullptr;
  }
  kx::console_line_started(*write_page);
}

}  // namespace

void kxs_input(int32_t count, uint8_t newline) {
  if (new_error) return;
  if (count < 1 || count > kxs_input_variables_max) {
    error(err::illegal_function_call);
    return;
  }
  const uint32_t mark = kxs_tmp_list_nexti;
  if (write_page->console) {
    const int32_t first = kxs_input_variabletypes[1];
    const bool line_input = (first & tc::is_string) && (first & tc::line_input);
    if (line_input) kxs_input_variabletypes[1] = first & ~tc::line_input;
    console_input(count, line_input);
    kxs_cleanup(mark, 0);
    return;
  }
  statement_state restore;
  const int32_t first = kxs_input_variabletypes[1];
  const bool line_input = (first & tc::is_string) && (first & tc::line_input);
  if (line_input) kxs_input_variabletypes[1] = first & ~tc::line_input;
  line_editor editor(count, line_input);
  if (!editor.begin()) return;
  img_struct& dest = editor.destination();
  const uint8_t cursor_shown = dest.cursor_show;
  dest.cursor_show = 1;
  for (int32_t i = 1; i <= count; ++i) {
    kxs_input_arguements[i] = kxs_new(0, 0);
    clear_variable(i);
  }
  drawn_cursor cursor(dest);
  int32_t pending_blanks = 0;
  for (;;) {
    const int32_t key = next_key(cursor, &pending_blanks, mark);
    if (key < 0 || key == 13) break;
    switch (key) {
      case 7:
        print_byte(7);
        break;
      case 10: case 11: case 12: case 28: case 29: case 30: case 31:
        break;
      case 9:
        pending_blanks = tab_width - static_cast<int32_t>(editor.length() % tab_width);
        break;
      case 8:
        editor.backspace();
        break;
      default:
        editor.type(static_cast<uint8_t>(key));
    }
    kxs_cleanup(mark, 0);
  }
  for (int32_t i = 1; i <= count; ++i) {
    kxs_free(kxs_input_arguements[i]);
    kxs_input_arguements[i] = nullptr;
  }
  if (stop_program.load()) return;
  if (newline && !dest.console) kxs_print(kxs_new(0, 1), 1);
  dest.cursor_show = cursor_shown;
  kxs_cleanup(mark, 0);
}

