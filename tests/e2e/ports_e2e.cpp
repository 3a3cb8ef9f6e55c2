// The emulated ports and the mouse driver in a real X server: colour
// register writes show on screen, WAIT follows the composed frames, the
// keyboard port sees xdotool's keys, and INT &H33 reports the pointer.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "e2e_support.h"

namespace {

using namespace e2e;
namespace sr = kx::screen_reader;

class Ports : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(server_.ok()) << "Xvfb did not start"; }
  void launch(const std::vector<std::string>& args) {
    program_ = std::make_unique<process>(program_path("ports_probe"), args);
    ASSERT_TRUE(program_->started());
    const auto window = wait_until_ready(*program_);
    ASSERT_TRUE(window) << program_->output() << program_->errors();
    window_ = *window;
    move_to_origin(window_);
  }
  bool window_is(int width, int height) {
    return eventually([&] {
      const auto g = window_geometry(window_);
      return g && g->width == width && g->height == height;
    }, 10s);
  }
  // The program's output lines that start with prefix, without it.
  std::vector<std::string> lines(const std::string& prefix) const { return lines_starting(program_->output(), prefix); }
  std::string last(const std::string& prefix) const {
    const auto l = lines(prefix);
    return l.empty() ? std::string() : l.back();
  }
  void key(const std::string& name) {
    EXPECT_TRUE(focus_window(window_));
    run_tool({"xdotool", "key", name});
  }
  void pointer_to(int x, int y) {
    run_tool({"xdotool", "mousemove", "--window", std::to_string(window_), "--sync", std::to_string(x),
              std::to_string(y)});
  }
  void expect_clean_exit() {
    EXPECT_EQ(program_->wait_exit(20s), 0) << program_->output() << program_->errors();
    EXPECT_FALSE(has_sanitizer_report(program_->errors())) << program_->errors();
  }
  // Photographs the window until the pixels are the colours given.
  bool shows(const std::vector<std::pair<std::pair<int, int>, sr::Rgb>>& pixels, std::string& seen) {
    return eventually([&] {
      const auto shot = capture_window(window_);
      if (!shot) return false;
      seen.clear();
      bool all = true;
      for (const auto& [at, colour] : pixels) {
        const sr::Rgb c = shot->at(at.first, at.second);
        seen += std::to_string(c.r) + "," + std::to_string(c.g) + "," + std::to_string(c.b) + " ";
        all = all && c == colour;
      }
      return all;
    }, 10s);
  }

  xvfb server_;
  std::unique_ptr<process> program_;
  unsigned long window_ = 0;
};

TEST_F(Ports, ColourRegisterWritesChangeTheColoursOnScreen) {
  const sr::Rgb black{0, 0, 0}, dark_red{0xAA, 0, 0}, green{0, 0xFF, 0}, blue{0, 0, 0xFF};
  for (const auto& [mode, width, height] : {std::tuple{"13", 320, 200}, std::tuple{"12", 640, 480}}) {
    SCOPED_TRACE(std::string("SCREEN ") + mode);
    ASSERT_NO_FATAL_FAILURE(launch({"palette", mode}));
    ASSERT_TRUE(window_is(width, height));
    std::string seen;
    EXPECT_TRUE(shows({{{40, 40}, dark_red}, {{100, 100}, black}, {{19, 40}, black}}, seen)) << seen;
    key("o");
    ASSERT_TRUE(eventually([&] { return !lines("changed").empty(); }, 10s)) << program_->output();
    EXPECT_TRUE(shows({{{40, 40}, blue}, {{100, 100}, green}, {{19, 40}, green}, {{width - 1, height - 1}, green}},
                      seen))
        << seen;
    key("q");
    expect_clean_exit();
  }
}

TEST_F(Ports, WaitOnTheRetraceBitFollowsTheMainLoopAndEndsWithTheProcess) {
  ASSERT_NO_FATAL_FAILURE(launch({"wait"}));
  // Each round waits for the bit to drop and rise again: a pass of the main
  // loop of its own, and the main loop composes a frame every second pass.
  ASSERT_TRUE(eventually([&] { return !lines("waited ").empty(); }, 60s)) << program_->output();
  EXPECT_GE(std::stoi(last("waited ")), 10) << program_->output();
  // WAIT &H3DA, 0 never ends by itself; the close button ends it.
  EXPECT_FALSE(program_->wait_exit(300ms));
  int sent = -1;
  run_tool({wm_delete_path(), std::to_string(window_)}, &sent);
  ASSERT_EQ(sent, 0);
  expect_clean_exit();
  EXPECT_TRUE(lines("not reached").empty());
}

TEST_F(Ports, TheKeyboardPortReadsMakeAndBreakCodes) {
  ASSERT_NO_FATAL_FAILURE(launch({"keys"}));
  EXPECT_TRUE(eventually([&] { return last("scan ") == "129"; }, 10s)) << program_->output();
  key("a");
  EXPECT_TRUE(eventually([&] { return last("scan ") == "158"; }, 10s)) << program_->output();
  key("Escape");
  EXPECT_TRUE(eventually([&] { return last("scan ") == "129"; }, 10s)) << program_->output();
  key("q");
  expect_clean_exit();
  EXPECT_EQ(lines("scan "), (std::vector<std::string>{"129", "30", "158", "1", "129", "16"}));
}

TEST_F(Ports, TheMouseDriverCountsEightPerCellOnTheTextScreen) {
  ASSERT_NO_FATAL_FAILURE(launch({"mouse", "text"}));
  EXPECT_EQ(lines("reset "), std::vector<std::string>{"-1 2"});
  // Window pixel (100, 100) is column 13, row 7: the cell's middle at 8
  // per cell.
  pointer_to(100, 100);
  EXPECT_TRUE(eventually([&] { return last("pos ") == "0 100 52"; }, 10s)) << program_->output();
  run_tool({"xdotool", "mousedown", "1"});
  EXPECT_TRUE(eventually([&] { return last("pos ") == "1 100 52"; }, 10s)) << program_->output();
  run_tool({"xdotool", "mousedown", "3"});
  EXPECT_TRUE(eventually([&] { return last("pos ") == "3 100 52"; }, 10s)) << program_->output();
  run_tool({"xdotool", "mouseup", "1"});
  EXPECT_TRUE(eventually([&] { return last("pos ") == "2 100 52"; }, 10s)) << program_->output();
  run_tool({"xdotool", "mouseup", "3"});
  pointer_to(639, 399);
  EXPECT_TRUE(eventually([&] { return last("pos ") == "0 636 196"; }, 10s)) << program_->output();
  key("q");
  expect_clean_exit();
}

TEST_F(Ports, TheMouseDriverDoublesXOnA320PixelScreen) {
  ASSERT_NO_FATAL_FAILURE(launch({"mouse", "13"}));
  EXPECT_EQ(lines("reset "), std::vector<std::string>{"-1 2"});
  ASSERT_TRUE(window_is(320, 200));
  pointer_to(157, 99);
  EXPECT_TRUE(eventually([&] { return last("pos ") == "0 314 99"; }, 10s)) << program_->output();
  pointer_to(319, 199);
  EXPECT_TRUE(eventually([&] { return last("pos ") == "0 638 199"; }, 10s)) << program_->output();
  run_tool({"xdotool", "mousedown", "1"});
  EXPECT_TRUE(eventually([&] { return last("pos ") == "1 638 199"; }, 10s)) << program_->output();
  run_tool({"xdotool", "mouseup", "1"});
  EXPECT_TRUE(eventually([&] { return last("pos ") == "0 638 199"; }, 10s)) << program_->output();
  key("q");
  expect_clean_exit();
}

}  // namespace
