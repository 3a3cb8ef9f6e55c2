// What the window shows: screens drawn by small compiled programs, read
// back from screenshots of the real window in a private X server.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <thread>

#include "e2e_support.h"
#include "screen_reader.h"

namespace {

using namespace e2e;
namespace sr = kx::screen_reader;

class Screen : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(server_.ok()) << "Xvfb did not start"; }
  xvfb server_;
};

std::vector<sr::Row> read_text(unsigned long window, int cell_width = 8, int cell_height = 16) {
  return read_screen_rows(window, cell_width, cell_height);
}

// Starts the test program on a scene and waits for its window and its
// "ready".
struct scene {
  scene(const std::string& name, const std::string& title = "Untitled")
      : program(program_path("screen_show"), split(name)) {
    window = wait_for_window(title, 20s);
    ready = window && eventually([&] { return program.output().find("ready") != std::string::npos; }, 10s);
    if (window) move_to_origin(*window);
  }
  static std::vector<std::string> split(const std::string& name) {
    std::vector<std::string> words;
    std::istringstream in(name);
    for (std::string w; in >> w;) words.push_back(w);
    return words;
  }
  // Types a key into the window; the program then ends with status 0.
  void press_key_and_expect_exit() {
    type_keys(*window, {"space"});
    EXPECT_EQ(program.wait_exit(10s), 0) << program.output() << program.errors();
    EXPECT_FALSE(has_sanitizer_report(program.errors())) << program.errors();
  }
  process program;
  std::optional<unsigned long> window;
  bool ready = false;
};

TEST_F(Screen, TextInColoursReadsBackFromTheWindowAndTheTitleIsSet) {
  scene s("colours", "Screen Colours");
  ASSERT_TRUE(s.ready) << s.program.output() << s.program.errors();
  const std::string title = run_tool({"xprop", "-id", std::to_string(*s.window), "WM_NAME"});
  EXPECT_NE(title.find("\"Screen Colours\""), std::string::npos) << title;
  std::vector<sr::Row> rows;
  ASSERT_TRUE(eventually(
      [&] {
        rows = read_text(*s.window);
        return rows.size() == 25 && rows[24].cp437.rfind("Press any key to continue", 0) == 0;
      },
      10s));
  EXPECT_EQ(rows[0].cp437.substr(0, 15), "Yellow on blue ");
  EXPECT_EQ(rows[0].cells[0].fg_index, 14);
  EXPECT_EQ(rows[0].cells[0].bg_index, 1);
  EXPECT_EQ(rows[1].cp437.substr(0, 8), "Red text");
  EXPECT_EQ(rows[1].cells[0].fg_index, 12);
  EXPECT_EQ(rows[1].cells[0].bg_index, 1);  // COLOR 12 kept the background
  EXPECT_EQ(rows[9].cp437.substr(29, 14), "White on green");
  EXPECT_EQ(rows[9].cells[29].fg_index, 15);
  EXPECT_EQ(rows[9].cells[29].bg_index, 2);
  EXPECT_EQ(rows[9].cells[28].bg_index, 0);
  for (int column = 0; column < 14; ++column) EXPECT_GT(rows[9].cells[size_t(29 + column)].confidence, 0.99) << column;
  s.press_key_and_expect_exit();
}

TEST_F(Screen, ScreenModesResizeTheWindowToTheirFrame) {
  for (const auto& [mode, width, height] : {std::tuple{"12", 640, 480}, std::tuple{"13", 320, 200}}) {
    scene s(std::string("mode ") + mode);
    ASSERT_TRUE(s.ready) << mode << s.program.errors();
    EXPECT_TRUE(eventually(
        [&] {
          const auto g = window_geometry(*s.window);
          return g && g->width == width && g->height == height;
        },
        10s))
        << "SCREEN " << mode;
    // The pixel page's text reads back like text, with the mode's font.
    std::vector<sr::Row> rows;
    EXPECT_TRUE(eventually(
        [&] {
          rows = read_text(*s.window, 8, std::string(mode) == "13" ? 8 : 16);
          return !rows.empty() && rows[0].cp437.rfind("mode", 0) == 0;
        },
        10s))
        << "SCREEN " << mode;
    s.press_key_and_expect_exit();
  }
}

TEST_F(Screen, FortyColumnsShowDoubledGlyphs) {
  scene s("forty");
  ASSERT_TRUE(s.ready) << s.program.errors();
  std::vector<sr::Row> rows;
  ASSERT_TRUE(eventually(
      [&] {
        rows = read_text(*s.window, 16, 16);
        return rows.size() == 25 && rows[0].cp437.rfind("FORTY COLUMNS", 0) == 0;
      },
      10s));
  ASSERT_EQ(rows[0].cells.size(), 40u);
  EXPECT_EQ(rows[0].cells[0].fg_index, 11);
  EXPECT_TRUE(rows[0].cells[0].exact);
  s.press_key_and_expect_exit();
}

TEST_F(Screen, TheCursorBlinksOnItsScanLine) {
  scene s("cursor");
  ASSERT_TRUE(s.ready) << s.program.errors();
  std::set<bool> seen;
  int cursor_row = -1, cursor_column = -1, first_line = -1, last_line = -1;
  eventually(
      [&] {
        const auto rows = read_text(*s.window);
        if (rows.size() != 25) return false;
        const auto summary = sr::summarize(rows);
        const bool shown = summary.cursor_cells > 0;
        seen.insert(shown);
        if (shown) {
          cursor_row = summary.cursor_row;
          cursor_column = summary.cursor_column;
          const auto& c = rows[size_t(cursor_row)].cells[size_t(cursor_column)];
          first_line = c.cursor_first_row;
          last_line = c.cursor_last_row;
        }
        return seen.size() == 2;
      },
      10s);
  EXPECT_EQ(seen.size(), 2u) << "the cursor should be seen both on and off";
  EXPECT_EQ(cursor_row, 4);
  EXPECT_EQ(cursor_column, 9);
  EXPECT_EQ(first_line, 14);
  EXPECT_EQ(last_line, 14);
  s.press_key_and_expect_exit();
}

TEST_F(Screen, BlinkingAttributesBlinkOrShowABrightBackground) {
  {
    scene s("blink on");
    ASSERT_TRUE(s.ready) << s.program.errors();
    std::set<std::string> seen;
    eventually(
        [&] {
          const auto rows = read_text(*s.window);
          if (rows.size() != 25) return false;
          seen.insert(rows[0].cp437.substr(0, 5));
          return seen.size() >= 2;
        },
        10s);
    EXPECT_TRUE(seen.count("BLINK")) << "the text should show";
    EXPECT_TRUE(seen.count("     ")) << "the text should vanish in the off phase";
    s.press_key_and_expect_exit();
  }
  {
    scene s("blink off");
    ASSERT_TRUE(s.ready) << s.program.errors();
    std::vector<sr::Row> rows;
    ASSERT_TRUE(eventually(
        [&] {
          rows = read_text(*s.window);
          return rows.size() == 25 && rows[0].cp437.rfind("BLINK", 0) == 0;
        },
        10s));
    EXPECT_EQ(rows[0].cells[0].fg_index, 15);
    EXPECT_EQ(rows[0].cells[0].bg_index, 8);
    // It stays that way: no phase hides it.
    for (int i = 0; i < 10; ++i) {
      std::this_thread::sleep_for(60ms);
      const auto again = read_text(*s.window);
      ASSERT_EQ(again.size(), 25u);
      EXPECT_EQ(again[0].cp437.substr(0, 5), "BLINK");
    }
    s.press_key_and_expect_exit();
  }
}

}  // namespace

namespace {

const sr::Rgb black{0, 0, 0};
const sr::Rgb blue{0, 0, 0xAA};

// The X server's screen size.
std::pair<int, int> desktop_size() {
  std::istringstream in(run_tool({"xdotool", "getdisplaygeometry"}));
  int w = 0, h = 0;
  in >> w >> h;
  return {w, h};
}

bool has_size(unsigned long window, int width, int height) {
  const auto g = window_geometry(window);
  return g && g->width == width && g->height == height;
}

}  // namespace

// Built with the resizable-window option and stretching, the window takes
// any size and the frame is scaled into it with nearest-neighbour pixels.
TEST_F(Screen, AResizableWindowShowsTheFrameStretched) {
  scene s("resize");
  ASSERT_TRUE(s.ready) << s.program.output() << s.program.errors();
  run_tool({"xdotool", "windowsize", "--sync", std::to_string(*s.window), "1280", "800"});
  ASSERT_TRUE(eventually([&] { return has_size(*s.window, 1280, 800); }, 10s));
  // Every second pixel of the doubled picture is the frame itself.
  std::vector<sr::Row> rows;
  ASSERT_TRUE(eventually(
      [&] {
        const auto shot = capture_window(*s.window);
        if (!shot || shot->width != 1280 || shot->height != 800) return false;
        sr::Image frame(640, 400);
        bool doubled = true;
        for (int y = 0; y < 400; ++y) {
          for (int x = 0; x < 640; ++x) {
            const sr::Rgb p = shot->at(2 * x, 2 * y);
            frame.set(x, y, p);
            doubled = doubled && shot->at(2 * x + 1, 2 * y + 1) == p;
          }
        }
        rows = sr::read_cells(frame, sr::CellGeometry{});
        return doubled && !rows.empty() && rows[0].cp437.rfind("SCALED", 0) == 0;
      },
      10s));
  EXPECT_EQ(rows[0].cells[0].fg, (sr::Rgb{0xFF, 0xFF, 0x55}));
  EXPECT_EQ(rows[0].cells[0].bg, blue);
  // Snapback is off: the window keeps the size it was given.
  std::this_thread::sleep_for(500ms);
  EXPECT_TRUE(has_size(*s.window, 1280, 800));
  s.press_key_and_expect_exit();
}

// Built with smooth stretching, the doubled picture blends neighbouring
// pixels: along the glyphs' edges lie colours between the ink and the
// background, which nearest-neighbour scaling never makes.
TEST_F(Screen, ASmoothlyResizedWindowBlendsNeighbouringPixels) {
  scene s("resize smooth");
  ASSERT_TRUE(s.ready) << s.program.output() << s.program.errors();
  run_tool({"xdotool", "windowsize", "--sync", std::to_string(*s.window), "1280", "800"});
  ASSERT_TRUE(eventually([&] { return has_size(*s.window, 1280, 800); }, 10s));
  const sr::Rgb yellow{0xFF, 0xFF, 0x55};
  int blended = 0, foreign = 0;
  ASSERT_TRUE(eventually(
      [&] {
        const auto shot = capture_window(*s.window);
        if (!shot || shot->width != 1280 || shot->height != 800) return false;
        // "SCALED" covers 6 cells of 8 x 16, doubled; stay clear of its
        // right-hand and bottom edges, where black blends in.
        blended = foreign = 0;
        bool inked = false;
        for (int y = 0; y < 30; ++y) {
          for (int x = 0; x < 6 * 16 - 2; ++x) {
            const sr::Rgb p = shot->at(x, y);
            if (p == yellow) {
              inked = true;
              continue;
            }
            if (p == blue) continue;
            // Between blue (0, 0, AA) and yellow (FF, FF, 55) channel by
            // channel.
            const bool between = p.r == p.g && p.b >= 0x55 && p.b <= 0xAA;
            between ? ++blended : ++foreign;
          }
        }
        return inked && blended > 50;
      },
      10s))
      << blended << " blended pixels";
  EXPECT_EQ(foreign, 0);
  s.press_key_and_expect_exit();
}

// The window's functions answer from the real window: it exists, the
// desktop is the X server's screen, a reshape by the user shows once in
// _RESIZE with its size, and _SCREENICON asks the window manager to iconify.
TEST_F(Screen, WindowFunctionsAnswerFromTheRealWindow) {
  process watcher(wm_watch_path(), {"60"});
  ASSERT_TRUE(eventually([&] { return watcher.output().find("watching") != std::string::npos; }, 10s));
  scene s("queries");
  ASSERT_TRUE(s.ready) << s.program.output() << s.program.errors();
  const auto [dw, dh] = desktop_size();
  EXPECT_NE(s.program.output().find("exists -1 desktop " + std::to_string(dw) + "x" + std::to_string(dh)),
            std::string::npos)
      << s.program.output();
  run_tool({"xdotool", "windowsize", "--sync", std::to_string(*s.window), "1000", "700"});
  ASSERT_TRUE(eventually([&] { return s.program.output().find("icon ") != std::string::npos; }, 10s))
      << s.program.output();
  // _RESIZE answered -1 once, then 0.
  EXPECT_NE(s.program.output().find("resized 1000x700 scaled 1000x700 again 0"), std::string::npos)
      << s.program.output();
  EXPECT_NE(s.program.output().find("icon 0"), std::string::npos) << s.program.output();
  ASSERT_TRUE(eventually(
      [&] { return watcher.output().find("WM_CHANGE_STATE " + std::to_string(*s.window) + " 3") != std::string::npos; },
      10s))
      << watcher.output();
  s.press_key_and_expect_exit();
}

// _FULLSCREEN _SQUAREPIXELS on a screen less wide than 16:10 (the test
// server's is 5:4): the 640 x 400 frame fills the width, with black bars of
// equal height above and below.
TEST_F(Screen, SquarePixelsFullScreenIsLetterboxed) {
  scene s("square");
  ASSERT_TRUE(s.ready) << s.program.output() << s.program.errors();
  const auto [dw, dh] = desktop_size();
  ASSERT_LT(double(dw) / dh, 1.6);
  ASSERT_TRUE(eventually([&] { return has_size(*s.window, dw, dh); }, 10s));
  const int shown_h = dw * 400 / 640;
  const int top = dh / 2 - shown_h / 2, bottom = top + shown_h;  // bottom exclusive
  ASSERT_TRUE(eventually(
      [&] {
        const auto shot = capture_window(*s.window);
        if (!shot || shot->width != dw || shot->height != dh) return false;
        for (int x : {0, dw / 2, dw - 1}) {
          if (!(shot->at(x, 0) == black && shot->at(x, top - 1) == black && shot->at(x, top) == blue &&
                shot->at(x, bottom - 1) == blue && shot->at(x, bottom) == black && shot->at(x, dh - 1) == black)) {
            return false;
          }
        }
        return true;
      },
      10s));
  s.press_key_and_expect_exit();
}

// Alt+Enter steps through stretched, stretched smoothly, square pixels and
// square pixels smoothly back to the window at its own size.
TEST_F(Screen, AltEnterCyclesFullScreenModes) {
  scene s("cursor");
  ASSERT_TRUE(s.ready) << s.program.output() << s.program.errors();
  ASSERT_TRUE(eventually([&] { return has_size(*s.window, 640, 400); }, 10s));
  const auto [dw, dh] = desktop_size();
  type_keys(*s.window, {"alt+Return"});
  ASSERT_TRUE(eventually([&] { return has_size(*s.window, dw, dh); }, 10s));
  type_keys(*s.window, {"alt+Return", "alt+Return", "alt+Return"});
  std::this_thread::sleep_for(500ms);
  EXPECT_TRUE(has_size(*s.window, dw, dh));
  type_keys(*s.window, {"alt+Return"});
  EXPECT_TRUE(eventually([&] { return has_size(*s.window, 640, 400); }, 10s));
  // The key went to the full-screen switch, not to the program.
  EXPECT_TRUE(s.program.running());
  s.press_key_and_expect_exit();
}

// Hardware images drawn by the renderer's command queue: one put into
// another off screen, that one into the window, and a textured triangle.
TEST_F(Screen, HardwareImagesDrawIntoEachOtherAndTheWindow) {
  scene s("hardware");
  ASSERT_TRUE(s.ready) << s.program.output() << s.program.errors();
  const sr::Rgb red{0xFF, 0, 0}, pure_blue{0, 0, 0xFF};
  std::string seen;
  const bool drawn = eventually(
      [&] {
        const auto shot = capture_window(*s.window);
        if (!shot || shot->width != 640) return false;
        const auto is = [&](int x, int y, sr::Rgb c) { return shot->at(x, y) == c; };
        seen = std::to_string(shot->at(101, 101).r) + "," + std::to_string(shot->at(101, 101).b) + " " +
               std::to_string(shot->at(160, 160).r) + "," + std::to_string(shot->at(160, 160).b);
        return is(100, 100, red) && is(131, 162, red) && is(132, 100, pure_blue) && is(163, 163, pure_blue) &&
               is(99, 99, black) && is(164, 130, black) &&
               // The triangle: its corner in, the far corner of its square out.
               is(302, 102, red) && is(340, 110, red) && is(360, 160, black);
      },
      10s);
  EXPECT_TRUE(drawn) << seen;
  s.press_key_and_expect_exit();
}

// _SCREENHIDE unmaps the window and _SCREENSHOW maps it again, redrawn.
TEST_F(Screen, ScreenHideAndShowUnmapAndMapTheWindow) {
  process program(program_path("screen_show"), {"hide"});
  const auto window = wait_for_window("Hide Me", 20s);
  ASSERT_TRUE(window) << program.output() << program.errors();
  const auto map_state = [&] { return run_tool({"xwininfo", "-id", std::to_string(*window)}); };
  ASSERT_TRUE(eventually([&] { return program.output().find("hidden") != std::string::npos; }, 10s));
  EXPECT_TRUE(eventually([&] { return map_state().find("IsUnMapped") != std::string::npos; }, 20s)) << map_state();
  const std::string seen = "/tmp/kx_show_" + std::to_string(program.pid());
  { std::ofstream(seen) << "unmapped"; }
  ASSERT_TRUE(eventually([&] { return program.output().find("shown") != std::string::npos; }, 10s));
  EXPECT_TRUE(eventually([&] { return map_state().find("IsViewable") != std::string::npos; }, 20s)) << map_state();
  std::remove(seen.c_str());
  type_keys(*window, {"space"});
  EXPECT_EQ(program.wait_exit(10s), 0) << program.output() << program.errors();
  EXPECT_FALSE(has_sanitizer_report(program.errors())) << program.errors();
}
