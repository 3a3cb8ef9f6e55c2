// The HALCYONIX boot shell as a user runs it: copied into a layout of its
// own, its screen read back from the window, its files checked on disk.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "e2e_support.h"
#include "screen_reader.h"

namespace {

using namespace e2e;
namespace fs = std::filesystem;
namespace sr = kx::screen_reader;

class BootShell : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(server_.ok()) << "Xvfb did not start"; }

  // Puts the program into folder/halcyonix below the root.
  fs::path install(const fs::path& folder) { return install_halcyonix(root_.string(), folder.string()); }

  // The text rows of the window, once they satisfy done.
  template <typename Done>
  std::vector<sr::Row> screen_when(unsigned long window, Done done) {
    move_to_origin(window);
    std::vector<sr::Row> rows;
    eventually(
        [&] {
          rows = read_screen_rows(window);
          return rows.size() == 25 && done(rows);
        },
        15s);
    return rows;
  }

  // The text of the rows, once row 25 shows the prompt.
  std::vector<std::string> screen_when_prompting(unsigned long window) {
    std::vector<std::string> text;
    for (const auto& row : screen_when(window, [](const std::vector<sr::Row>& rows) {
           return rows[24].cp437.rfind("Press any key to continue", 0) == 0;
         }))
      text.push_back(row.cp437);
    return text;
  }

  // Starts the installed program from another working directory.
  process launch_elsewhere(const fs::path& exe, const std::vector<std::string>& args = {}) {
    const auto elsewhere = root_ / "elsewhere";
    fs::create_directories(elsewhere);
    return process(exe.string(), args, elsewhere.string());
  }

  static void press_key(unsigned long window) { type_keys(window, {"space"}); }

  static std::string trimmed(std::string s) {
    while (!s.empty() && s.back() == ' ') s.pop_back();
    return s;
  }

  xvfb server_;
  temp_folder folder_{"kx_boot"};
  fs::path root_{folder_.path()};
};

TEST_F(BootShell, NoBootScriptShowsTheBannerAndThePrompt) {
  const fs::path exe = install("SYSTEM");
  const auto launch = root_ / "elsewhere";
  fs::create_directories(launch);
  process program(exe.string(), {}, launch.string());
  const auto window = wait_for_window("HALCYONIX", 20s);
  ASSERT_TRUE(window) << program.errors();
  const auto text = screen_when_prompting(*window);
  ASSERT_EQ(text.size(), 25u);
  EXPECT_EQ(trimmed(text[0]), "Halcyonix Operating System v0.0.0.1 rBeta");
  EXPECT_EQ(trimmed(text[1]), "Looking for boot script...");
  for (int row = 2; row < 24; ++row) EXPECT_EQ(trimmed(text[static_cast<size_t>(row)]), "") << row;
  press_key(*window);
  EXPECT_EQ(program.wait_exit(10s), 0);
  // Nothing was created anywhere.
  EXPECT_EQ(std::distance(fs::directory_iterator(root_ / "SYSTEM"), fs::directory_iterator{}), 1);
  EXPECT_TRUE(fs::is_empty(launch));
  EXPECT_FALSE(has_sanitizer_report(program.errors())) << program.errors();
}

TEST_F(BootShell, AutoexecInTheParentIsOpenedInsideSystem) {
  const fs::path exe = install("SYSTEM");
  std::ofstream(root_ / "AUTOEXEC.EBF") << "boot\r\n";
  std::ofstream(root_ / "AUTORUN.EBF") << "other\r\n";
  {
    std::ofstream kept(root_ / "SYSTEM" / "AUTORUN.EBF");
    kept << "left alone";
  }
  process program(exe.string(), {});
  const auto window = wait_for_window("HALCYONIX", 20s);
  ASSERT_TRUE(window) << program.errors();
  const auto text = screen_when_prompting(*window);
  ASSERT_EQ(text.size(), 25u);
  EXPECT_EQ(trimmed(text[2]), "");  // no error line
  // AUTOEXEC.EBF won: it was opened FOR BINARY inside SYSTEM, created empty.
  EXPECT_TRUE(fs::exists(root_ / "SYSTEM" / "AUTOEXEC.EBF"));
  EXPECT_EQ(fs::file_size(root_ / "SYSTEM" / "AUTOEXEC.EBF"), 0u);
  EXPECT_EQ(fs::file_size(root_ / "SYSTEM" / "AUTORUN.EBF"), 10u);
  press_key(*window);
  EXPECT_EQ(program.wait_exit(10s), 0);
}

TEST_F(BootShell, WithoutASystemFolderTheErrorLineAppearsAndTheProgramGoesOn) {
  const fs::path exe = install("apps");
  process program(exe.string(), {});
  const auto window = wait_for_window("HALCYONIX", 20s);
  ASSERT_TRUE(window) << program.errors();
  const auto text = screen_when_prompting(*window);
  ASSERT_EQ(text.size(), 25u);
  EXPECT_EQ(trimmed(text[1]), "Looking for boot script...");
  EXPECT_EQ(text[2].substr(0, 17), "ERROR 004C while ");
  // Closing the window while the prompt waits ends the process.
  run_tool({wm_delete_path(), std::to_string(*window)});
  EXPECT_EQ(program.wait_exit(10s), 0);
}

TEST_F(BootShell, WithOnlyAutorunThatOneIsOpened) {
  const fs::path exe = install("SYSTEM");
  std::ofstream(root_ / "AUTORUN.EBF") << "boot\r\n";
  process program = launch_elsewhere(exe);
  const auto window = wait_for_window("HALCYONIX", 20s);
  ASSERT_TRUE(window) << program.errors();
  const auto text = screen_when_prompting(*window);
  ASSERT_EQ(text.size(), 25u);
  EXPECT_EQ(trimmed(text[2]), "");  // no error line
  EXPECT_TRUE(fs::exists(root_ / "SYSTEM" / "AUTORUN.EBF"));
  EXPECT_EQ(fs::file_size(root_ / "SYSTEM" / "AUTORUN.EBF"), 0u);
  EXPECT_FALSE(fs::exists(root_ / "SYSTEM" / "AUTOEXEC.EBF"));
  EXPECT_TRUE(fs::is_empty(root_ / "elsewhere"));
  press_key(*window);
  EXPECT_EQ(program.wait_exit(10s), 0);
}

TEST_F(BootShell, APresentScriptIsLeftByteForByteIntact) {
  const fs::path exe = install("SYSTEM");
  std::ofstream(root_ / "AUTOEXEC.EBF") << "boot\r\n";
  const std::string script("REM kept\r\n\0\xff\x1a end", 15);
  std::ofstream(root_ / "SYSTEM" / "AUTOEXEC.EBF", std::ios::binary) << script;
  process program = launch_elsewhere(exe);
  const auto window = wait_for_window("HALCYONIX", 20s);
  ASSERT_TRUE(window) << program.errors();
  const auto text = screen_when_prompting(*window);
  ASSERT_EQ(text.size(), 25u);
  EXPECT_EQ(trimmed(text[2]), "");
  press_key(*window);
  EXPECT_EQ(program.wait_exit(10s), 0);
  std::ifstream kept(root_ / "SYSTEM" / "AUTOEXEC.EBF", std::ios::binary);
  EXPECT_EQ(std::string((std::istreambuf_iterator<char>(kept)), std::istreambuf_iterator<char>()), script);
}

TEST_F(BootShell, AScriptThatCannotBeOpenedShowsItsErrorLineThenThePrompt) {
  const fs::path exe = install("SYSTEM");
  std::ofstream(root_ / "AUTOEXEC.EBF") << "boot\r\n";
  // The script's place inside SYSTEM is taken by a folder.
  fs::create_directories(root_ / "SYSTEM" / "AUTOEXEC.EBF");
  process program = launch_elsewhere(exe);
  const auto window = wait_for_window("HALCYONIX", 20s);
  ASSERT_TRUE(window) << program.errors();
  const auto text = screen_when_prompting(*window);
  ASSERT_EQ(text.size(), 25u);
  EXPECT_EQ(trimmed(text[1]), "Looking for boot script...");
  // 75 (hexadecimal 4B): "Path/File access error".
  EXPECT_EQ(text[2].substr(0, 17), "ERROR 004B while ");
  EXPECT_EQ(trimmed(text[3]), "");
  EXPECT_TRUE(fs::is_directory(root_ / "SYSTEM" / "AUTOEXEC.EBF"));
  press_key(*window);
  EXPECT_EQ(program.wait_exit(10s), 0);
}

// Errors 1 to 51 take the handler's red path: the screen is cleared to red
// and "ERROR: " with the padded number is printed in black; a key ends the
// program.
TEST_F(BootShell, ErrorsUpTo51TurnTheScreenRed) {
  for (const int number : {1, 5, 51}) {
    SCOPED_TRACE(number);
    const fs::path exe = root_ / "SYSTEM" / "boot_shell_raise";
    fs::create_directories(exe.parent_path());
    fs::copy_file(program_path("boot_shell_raise"), exe, fs::copy_options::overwrite_existing);
    process program = launch_elsewhere(exe, {std::to_string(number)});
    const auto window = wait_for_window("Untitled", 20s);
    ASSERT_TRUE(window) << program.errors();
    char expected[32];
    std::snprintf(expected, sizeof expected, "ERROR: %04X while ", static_cast<unsigned>(number));
    const auto rows = screen_when(*window, [&](const std::vector<sr::Row>& r) {
      return r[0].cp437.rfind(expected, 0) == 0;
    });
    ASSERT_EQ(rows.size(), 25u) << program.errors();
    EXPECT_EQ(rows[0].cp437.substr(0, 18), expected);
    for (size_t column = 0; column < 17; ++column) {
      EXPECT_EQ(rows[0].cells[column].bg_index, 4) << column;
      if (!rows[0].cells[column].blank) EXPECT_EQ(rows[0].cells[column].fg_index, 0) << column;
    }
    // Everything else is red and empty.
    for (size_t row = 1; row < 25; ++row)
      for (const auto& cell : rows[row].cells) {
        EXPECT_TRUE(cell.blank && cell.bg_index == 4) << row;
        if (!(cell.blank && cell.bg_index == 4)) break;
      }
    EXPECT_FALSE(program.wait_exit(300ms)) << "ended without a key";
    press_key(*window);
    EXPECT_EQ(program.wait_exit(10s), 0);
    EXPECT_FALSE(has_sanitizer_report(program.errors())) << program.errors();
    EXPECT_TRUE(fs::is_empty(root_ / "elsewhere"));
  }
}

// 52 and above print their line and resume; before line 8 has set INCON the
// handler ends the program instead, with END's prompt and no red screen.
TEST_F(BootShell, Error52BeforeTheConsoleIsSetEndsWithoutTheRedScreen) {
  const fs::path exe = root_ / "SYSTEM" / "boot_shell_raise";
  fs::create_directories(exe.parent_path());
  fs::copy_file(program_path("boot_shell_raise"), exe);
  process program = launch_elsewhere(exe, {"52"});
  const auto window = wait_for_window("Untitled", 20s);
  ASSERT_TRUE(window) << program.errors();
  const auto rows = screen_when(*window, [](const std::vector<sr::Row>& r) {
    return r[24].cp437.rfind("Press any key to continue", 0) == 0;
  });
  ASSERT_EQ(rows.size(), 25u);
  EXPECT_EQ(trimmed(rows[0].cp437), "");
  EXPECT_NE(rows[0].cells[0].bg_index, 4);
  press_key(*window);
  EXPECT_EQ(program.wait_exit(10s), 0);
}

}  // namespace
