// Numbers written with PRINT #, read back with LINE INPUT # and joined with
// the in-place append, a 32-bit image blended, all shown in the window.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "e2e_support.h"
#include "screen_reader.h"

namespace {

using namespace e2e;

// STR$ of i / 2 for i = 1 to 2000 and its trailing blank, as PRINT # writes
// it: a blank for the sign, no "0" before the point.
std::string printed_half(int i) {
  const std::string whole = i >= 2 ? std::to_string(i / 2) : "";
  return " " + whole + (i % 2 ? ".5" : "") + " ";
}

TEST(NumberLines, WrittenReadBackJoinedAndBlendedOnScreen) {
  xvfb server;
  ASSERT_TRUE(server.ok()) << "Xvfb did not start";
  const temp_folder folder("kx_number_lines");
  process program(program_path("number_lines"), {folder.path()});
  ASSERT_TRUE(program.started());
  const auto window = wait_for_window("Untitled", 20s);
  ASSERT_TRUE(window) << program.errors();
  move_to_origin(*window);
  ASSERT_TRUE(eventually([&] { return program.output().find("done\n") != std::string::npos; }, 60s))
      << program.errors();

  std::string file, joined;
  for (int i = 1; i <= 2000; ++i) {
    file += printed_half(i) + "\r\n";
    joined += printed_half(i);
  }
  std::ifstream in(std::filesystem::path(folder.path()) / "numbers.txt", std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), file);

  const std::string expected[] = {"lines 2000 length " + std::to_string(joined.size()), "last  1000",
                                  "third  .3333333333333333", "blend 90900000"};
  std::vector<kx::screen_reader::Row> rows;
  const auto row = [&](size_t i) {
    if (rows.size() <= i) return std::string();
    const std::string& t = rows[i].cp437;
    return t.substr(0, t.find_last_not_of(' ') + 1);
  };
  ASSERT_TRUE(eventually(
      [&] {
        rows = read_screen_rows(*window, 8, 16);
        return row(3) == expected[3];
      },
      20s))
      << row(0) << " | " << row(1) << " | " << row(2) << " | " << row(3);
  for (size_t i = 0; i < 4; ++i) EXPECT_EQ(row(i), expected[i]);
  type_keys(*window, {"space"});
  EXPECT_EQ(program.wait_exit(20s), 0) << program.errors();
  EXPECT_FALSE(has_sanitizer_report(program.errors())) << program.errors();
}

}  // namespace
