// INPUT and LINE INPUT in the real window: keys typed with xdotool, the
// values that reach the variables, and the echo read back from the screen.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "e2e_support.h"
#include "screen_reader.h"

namespace {

using namespace e2e;
namespace sr = kx::screen_reader;

class InputLine : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(server_.ok()) << "Xvfb did not start"; }

  void launch(const std::vector<std::string>& args) {
    program_ = std::make_unique<process>(program_path("input_line"), args);
    ASSERT_TRUE(program_->started());
    const auto window = wait_for_window("Untitled", 20s);
    ASSERT_TRUE(window) << program_->errors();
    window_ = *window;
    move_to_origin(window_);
    ASSERT_TRUE(eventually([&] { return has_output("ready"); }, 10s));
  }
  bool has_output(const std::string& line) { return program_->output().find(line + "\n") != std::string::npos; }
  // Waits until the screen's row (0-based) reads text and the extra check
  // holds; the rows last read are kept for the checks that follow. A
  // refused key is echoed and then taken away again, so a screenshot may
  // catch it for a moment: only the settled row counts.
  bool row_shows(int row_index, const std::string& text, const std::function<bool()>& extra = {}) {
    return eventually(
        [&] {
          rows_ = read_screen_rows(window_, 8, 16);
          return row(row_index) == text && (!extra || extra());
        },
        20s);
  }
  std::string row(int i) const {
    if (static_cast<int>(rows_.size()) <= i) return "";
    const std::string& t = rows_[i].cp437;
    return t.substr(0, t.find_last_not_of(' ') + 1);
  }

  // The three statements of the program, typed key by key with the refused
  // keys among them; checks the echo before each ENTER.
  void type_the_three_lines(bool graphics) {
    // INPUT a%, d#, s$: the 8 would overflow the INTEGER, the x is no part
    // of a number, and nothing may follow a closing quotation mark.
    type_keys(window_, {"3", "2", "7", "6", "8", "comma", "minus", "1", "period", "5", "e", "x", "2", "comma",
                        "quotedbl", "A", "comma", "B", "quotedbl", "z"});
    // On a graphics screen the drawn cursor: the black cell after the text
    // is inverted with the white of the current colour, one solid colour.
    const auto cursor_drawn = [&] {
      if (!graphics) return true;
      if (rows_.empty() || rows_[0].cells.size() <= 19) return false;
      const auto& cell = rows_[0].cells[19];
      return cell.blank && cell.bg_index == 15;
    };
    ASSERT_TRUE(row_shows(0, "? 3276,-1.5e2,\"A,B\"", cursor_drawn))
        << row(0) << (cursor_drawn() ? "" : " (no cursor drawn after the text)");
    type_keys(window_, {"Return"});
    ASSERT_TRUE(eventually([&] { return has_output("first 3276 -150 A,B"); }, 20s)) << program_->output();
    // INPUT h&: a radix literal, its refused g, and Backspace.
    type_keys(window_, {"ampersand", "H", "1", "g", "F", "BackSpace", "0"});
    ASSERT_TRUE(row_shows(1, "? &H10")) << row(1);
    type_keys(window_, {"Return"});
    ASSERT_TRUE(eventually([&] { return has_output("second 16"); }, 20s)) << program_->output();
    // LINE INPUT keeps commas and quotation marks as typed.
    type_keys(window_, {"a", "comma", "quotedbl", "b", "quotedbl", "space", "c", "Return"});
    ASSERT_TRUE(eventually([&] { return has_output("line a,\"b\" c"); }, 20s)) << program_->output();
    ASSERT_TRUE(row_shows(2, "a,\"b\" c")) << row(2);
    EXPECT_EQ(row(0), "? 3276,-1.5e2,\"A,B\"");
    // The drawn cursor was taken away again.
    EXPECT_TRUE(rows_[0].cells.at(19).blank && rows_[0].cells.at(19).bg_index == 0);
    type_keys(window_, {"space"});
    EXPECT_EQ(program_->wait_exit(20s), 0) << program_->errors();
    EXPECT_FALSE(has_sanitizer_report(program_->errors())) << program_->errors();
  }

  xvfb server_;
  std::unique_ptr<process> program_;
  unsigned long window_ = 0;
  std::vector<sr::Row> rows_;
};

}  // namespace

TEST_F(InputLine, TextScreenEchoesAcceptedKeysOnly) {
  ASSERT_NO_FATAL_FAILURE(launch({}));
  type_the_three_lines(false);
}

TEST_F(InputLine, GraphicsScreenDrawsItsOwnCursor) {
  ASSERT_NO_FATAL_FAILURE(launch({"graphics"}));
  type_the_three_lines(true);
}
