// A BASIC program translated by kxc, in a real window: keys typed at its
// INPUT, its text read back from the screen, the close button noticed
// through _EXIT, and a clean exit.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "e2e_support.h"
#include "screen_reader.h"

namespace {

using namespace e2e;
namespace sr = kx::screen_reader;

std::string trimmed(std::string s) {
  while (!s.empty() && s.back() == ' ') s.pop_back();
  return s;
}

TEST(Translated, TypedInputPrintedTextAndTheCloseButton) {
  xvfb server;
  ASSERT_TRUE(server.ok());
  process program(program_path("greeting"), {});
  const std::optional<unsigned long> window = wait_for_window("kxc greeting", 20s);
  ASSERT_TRUE(window) << program.errors();
  move_to_origin(*window);
  ASSERT_TRUE(focus_window(*window));
  // The prompt is on the screen before the keys go.
  ASSERT_TRUE(eventually([&] {
    const auto rows = read_screen_rows(*window);
    return rows.size() == 25 && trimmed(rows[1].cp437) == "Name?";
  }, 15s));
  type_keys(*window, {"B", "o", "b", "Return"});
  std::vector<std::string> text;
  const bool shown = eventually([&] {
    text.clear();
    for (const auto& row : read_screen_rows(*window)) text.push_back(trimmed(row.cp437));
    return text.size() == 25 && text[4] == "Waiting for the close button";
  }, 15s);
  ASSERT_TRUE(shown) << program.errors();
  EXPECT_EQ(text[0], "Type a name:");
  EXPECT_EQ(text[1], "Name? Bob");
  EXPECT_EQ(text[2], "Hello, Bob!");
  EXPECT_EQ(text[3], " 1  2  3");
  for (size_t row = 5; row < 25; ++row) EXPECT_EQ(text[row], "") << row;
  int sent = -1;
  run_tool({wm_delete_path(), std::to_string(*window)}, &sent);
  ASSERT_EQ(sent, 0);
  EXPECT_EQ(program.wait_exit(10s), 0);
  EXPECT_FALSE(has_sanitizer_report(program.errors())) << program.errors();
}

}  // namespace
