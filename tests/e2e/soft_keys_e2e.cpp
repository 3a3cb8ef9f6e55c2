// The key line, soft keys typed with function keys, KEY LIST, a user-defined
// trap key and _PRINTSTRING, in a real window read back from screenshots.
#include <gtest/gtest.h>

#include <string>

#include "e2e_support.h"
#include "screen_reader.h"

namespace {

using namespace e2e;
namespace sr = kx::screen_reader;

class SoftKeysWindow : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(server_.ok()) << "Xvfb did not start"; }
  xvfb server_;
};

// The program on one scene, its window found and its screen drawn.
struct scene {
  explicit scene(const std::string& name, const std::string& kind)
      : program(program_path("soft_keys_show"), {name, kind}) {
    window = wait_for_window("Untitled", 20s);
    ready = window && eventually([&] { return said("ready"); }, 20s);
    if (window) move_to_origin(*window);
  }
  bool said(const std::string& line) const { return program.output().find(line + "\n") != std::string::npos; }
  // Waits until the screen's rows, read with the given cell, satisfy test.
  template <typename Test>
  bool screen_shows(int cell_width, int cell_height, Test test) {
    return eventually(
        [&] {
          rows = read_screen_rows(*window, cell_width, cell_height);
          return !rows.empty() && test(rows);
        },
        15s);
  }
  void quit() {
    type_keys(*window, {"q"});
    EXPECT_EQ(program.wait_exit(15s), 0) << program.output() << program.errors();
    EXPECT_FALSE(has_sanitizer_report(program.errors())) << program.errors();
  }
  process program;
  std::optional<unsigned long> window;
  bool ready = false;
  std::vector<sr::Row> rows;
};

std::string dump(const std::vector<sr::Row>& rows) {
  std::string s;
  for (const auto& r : rows) s += "|" + r.cp437 + "|\n";
  return s;
}

// KEY ON, F1, KEY LIST and KEY OFF on one screen kind.
void key_line_scene(const std::string& kind, int cell_width, size_t columns, size_t bottom) {
  scene s("keys", kind);
  ASSERT_TRUE(s.ready) << s.program.output() << s.program.errors();
  const std::string line = std::string("1HELLO  2RUN\x1B   3       4       5       6       7       8       9       10")
                               .substr(0, columns - 8);
  ASSERT_TRUE(s.screen_shows(cell_width, 16, [&](const auto& rows) {
    return rows.size() == bottom + 1 && rows[bottom].cp437.substr(0, line.size()) == line;
  })) << dump(s.rows);
  EXPECT_EQ(s.rows[bottom].cp437.size(), columns);
  if (kind != "12") {
    EXPECT_EQ(s.rows[bottom].cells[1].fg_index, 0);  // the texts in reverse
    EXPECT_EQ(s.rows[bottom].cells[1].bg_index, 7);
  }

  type_keys(*s.window, {"F1"});
  EXPECT_TRUE(eventually([&] { return s.said("typed HELLO"); }, 15s)) << s.program.output();

  type_keys(*s.window, {"l"});
  ASSERT_TRUE(eventually([&] { return s.said("listed"); }, 15s)) << s.program.output();
  EXPECT_TRUE(s.screen_shows(cell_width, 16, [&](const auto& rows) {
    return rows[0].cp437.rfind("F1  HELLO ", 0) == 0 && rows[1].cp437.rfind("F2  RUN  ", 0) == 0 &&
           rows[9].cp437.rfind("F10  ", 0) == 0 && rows[11].cp437.rfind("F12  ", 0) == 0;
  })) << dump(s.rows);

  type_keys(*s.window, {"o"});
  ASSERT_TRUE(eventually([&] { return s.said("off"); }, 15s)) << s.program.output();
  EXPECT_TRUE(s.screen_shows(cell_width, 16, [&](const auto& rows) {
    return rows[bottom].cp437 == std::string(columns, ' ');
  })) << dump(s.rows);
  s.quit();
}

TEST_F(SoftKeysWindow, KeyLineIn80Columns) { key_line_scene("80", 8, 80, 24); }
TEST_F(SoftKeysWindow, KeyLineIn40Columns) { key_line_scene("40", 16, 40, 24); }
TEST_F(SoftKeysWindow, KeyLineOnAGraphicsScreen) { key_line_scene("12", 8, 80, 29); }

TEST_F(SoftKeysWindow, UserDefinedKeyTrapsThroughOnKey) {
  scene s("trap", "");
  ASSERT_TRUE(s.ready) << s.program.output() << s.program.errors();
  type_keys(*s.window, {"a"});
  EXPECT_TRUE(eventually([&] { return s.said("key15"); }, 15s)) << s.program.output();
  s.quit();
}

// FILL at cell (1, 1) in yellow on blue, KEEP over the red band with the
// glyphs only, BACK over the green band with the paper only.
void print_modes_scene(const std::string& kind, int cell_height) {
  scene s("print", kind);
  ASSERT_TRUE(s.ready) << s.program.output() << s.program.errors();
  ASSERT_TRUE(s.screen_shows(8, cell_height, [&](const auto& rows) {
    return rows.size() > 4 && rows[1].cp437.substr(1, 4) == "FILL" && rows[2].cp437.substr(2, 4) == "KEEP" &&
           rows[3].cp437.substr(3, 4) == "BACK";
  })) << dump(s.rows);
  EXPECT_EQ(s.rows[1].cells[1].fg_index, 14);
  EXPECT_EQ(s.rows[1].cells[1].bg_index, 1);
  EXPECT_EQ(s.rows[2].cells[2].fg_index, 14);
  EXPECT_EQ(s.rows[2].cells[2].bg_index, 4);  // the band stays behind the glyphs
  EXPECT_EQ(s.rows[3].cells[3].fg_index, 2);  // the band shows through as ink
  EXPECT_EQ(s.rows[3].cells[3].bg_index, 1);
  EXPECT_EQ(s.rows[1].cp437[0], ' ');
  s.quit();
}

TEST_F(SoftKeysWindow, PrintStringInEveryModeOnScreen12) { print_modes_scene("12", 16); }
TEST_F(SoftKeysWindow, PrintStringInEveryModeOnScreen13) { print_modes_scene("13", 8); }
TEST_F(SoftKeysWindow, PrintStringInEveryModeOnA32BitPage) { print_modes_scene("32", 16); }

TEST_F(SoftKeysWindow, PrintStringOnATextPageKeepsTheCursor) {
  scene s("print", "0");
  ASSERT_TRUE(s.ready) << s.program.output() << s.program.errors();
  EXPECT_TRUE(s.screen_shows(8, 16, [&](const auto& rows) {
    return rows.size() == 25 && rows[4].cp437.substr(9, 2) == "AT" && rows[2].cp437.substr(3, 1) == "X";
  })) << dump(s.rows);
  s.quit();
}

}  // namespace
