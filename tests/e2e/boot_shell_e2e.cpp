// The HALCYONIX boot shell as a user runs it: copied into a layout of its
// own, started from another working directory, its screen read back from
// the window, its files checked on disk.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "e2e_support.h"
#include "screen_reader.h"

namespace {

using namespace e2e;
namespace fs = std::filesystem;
namespace sr = kx::screen_reader;

class BootShell : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server_.ok()) << "Xvfb did not start";
    fs::create_directories(elsewhere_);
  }

  // Puts the program into folder/halcyonix below the root.
  fs::path install(const fs::path& folder) { return install_halcyonix(root_.string(), folder.string()); }

  // Puts the test build that raises an error into SYSTEM below the root.
  fs::path install_raising_build() {
    const fs::path exe = root_ / "SYSTEM" / "boot_shell_raise";
    fs::create_directories(exe.parent_path());
    fs::copy_file(program_path("boot_shell_raise"), exe, fs::copy_options::overwrite_existing);
    return exe;
  }

  // Starts the program from the folder "elsewhere" and waits for its
  // window; false when none appears.
  bool start(const fs::path& exe, const std::vector<std::string>& args = {}, const std::string& title = "HALCYONIX") {
    program_.emplace(exe.string(), args, elsewhere_.string());
    window_ = wait_for_window(title, 20s);
    if (window_) move_to_origin(*window_);
    return window_.has_value();
  }

  // The text rows of the window, once they satisfy done (25 rows), or
  // whatever was read last.
  template <typename Done>
  std::vector<sr::Row> screen_when(Done done) {
    std::vector<sr::Row> rows;
    eventually(
        [&] {
          rows = read_screen_rows(*window_);
          return rows.size() == 25 && done(rows);
        },
        15s);
    return rows;
  }

  // The text of the rows once row 25 shows END's prompt.
  std::vector<std::string> screen_at_prompt() {
    std::vector<std::string> text;
    for (const auto& row : screen_when([](const std::vector<sr::Row>& rows) { return at_prompt(rows[24].cp437); }))
      text.push_back(trimmed(row.cp437));
    return text;
  }

  static bool at_prompt(const std::string& row) { return row.rfind("Press any key to continue", 0) == 0; }

  // A key press ends the program with status 0, cleanly.
  void end_with_key() {
    type_keys(*window_, {"space"});
    EXPECT_EQ(program_->wait_exit(10s), 0);
    EXPECT_FALSE(has_sanitizer_report(program_->errors())) << program_->errors();
    EXPECT_TRUE(fs::is_empty(elsewhere_)) << "the launch folder was written to";
  }

  static std::string trimmed(std::string s) {
    while (!s.empty() && s.back() == ' ') s.pop_back();
    return s;
  }

  static std::string contents(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  }

  xvfb server_;
  temp_folder folder_{"kx_boot"};
  fs::path root_{folder_.path()};
  fs::path elsewhere_{root_ / "elsewhere"};
  std::optional<process> program_;
  std::optional<unsigned long> window_;
};

TEST_F(BootShell, NoBootScriptShowsTheBannerAndThePrompt) {
  ASSERT_TRUE(start(install("SYSTEM")));
  const auto text = screen_at_prompt();
  ASSERT_EQ(text.size(), 25u) << program_->errors();
  EXPECT_EQ(run_tool({"xdotool", "getwindowname", std::to_string(*window_)}), "HALCYONIX\n");
  EXPECT_EQ(text[0], "Halcyonix Operating System v0.0.0.1 rBeta");
  EXPECT_EQ(text[1], "Looking for boot script...");
  for (size_t row = 2; row < 24; ++row) EXPECT_EQ(text[row], "") << row;
  end_with_key();
  // Nothing was created anywhere.
  EXPECT_EQ(std::distance(fs::directory_iterator(root_ / "SYSTEM"), fs::directory_iterator{}), 1);
  EXPECT_EQ(std::distance(fs::directory_iterator(root_), fs::directory_iterator{}), 2);
}

TEST_F(BootShell, AutoexecInTheParentIsOpenedInsideSystem) {
  const fs::path exe = install("SYSTEM");
  std::ofstream(root_ / "AUTOEXEC.EBF") << "boot\r\n";
  std::ofstream(root_ / "AUTORUN.EBF") << "other\r\n";
  std::ofstream(root_ / "SYSTEM" / "AUTORUN.EBF") << "left alone";
  ASSERT_TRUE(start(exe));
  const auto text = screen_at_prompt();
  ASSERT_EQ(text.size(), 25u) << program_->errors();
  EXPECT_EQ(text[2], "");  // no error line
  end_with_key();
  // AUTOEXEC.EBF won: it was opened FOR BINARY inside SYSTEM, created empty.
  EXPECT_TRUE(fs::exists(root_ / "SYSTEM" / "AUTOEXEC.EBF"));
  EXPECT_EQ(fs::file_size(root_ / "SYSTEM" / "AUTOEXEC.EBF"), 0u);
  EXPECT_EQ(contents(root_ / "SYSTEM" / "AUTORUN.EBF"), "left alone");
}

TEST_F(BootShell, WithOnlyAutorunThatOneIsOpened) {
  const fs::path exe = install("SYSTEM");
  std::ofstream(root_ / "AUTORUN.EBF") << "boot\r\n";
  ASSERT_TRUE(start(exe));
  const auto text = screen_at_prompt();
  ASSERT_EQ(text.size(), 25u) << program_->errors();
  EXPECT_EQ(text[2], "");
  end_with_key();
  EXPECT_TRUE(fs::exists(root_ / "SYSTEM" / "AUTORUN.EBF"));
  EXPECT_EQ(fs::file_size(root_ / "SYSTEM" / "AUTORUN.EBF"), 0u);
  EXPECT_FALSE(fs::exists(root_ / "SYSTEM" / "AUTOEXEC.EBF"));
}

TEST_F(BootShell, APresentScriptIsLeftByteForByteIntact) {
  const fs::path exe = install("SYSTEM");
  std::ofstream(root_ / "AUTOEXEC.EBF") << "boot\r\n";
  const std::string script("REM kept\r\n\0\xff\x1a end", 15);
  std::ofstream(root_ / "SYSTEM" / "AUTOEXEC.EBF", std::ios::binary) << script;
  ASSERT_TRUE(start(exe));
  const auto text = screen_at_prompt();
  ASSERT_EQ(text.size(), 25u) << program_->errors();
  EXPECT_EQ(text[2], "");
  end_with_key();
  EXPECT_EQ(contents(root_ / "SYSTEM" / "AUTOEXEC.EBF"), script);
}

TEST_F(BootShell, WithoutASystemFolderTheErrorLineAppearsAndTheProgramGoesOn) {
  ASSERT_TRUE(start(install("apps")));
  const auto text = screen_at_prompt();
  ASSERT_EQ(text.size(), 25u) << program_->errors();
  EXPECT_EQ(text[1], "Looking for boot script...");
  // 76 (hexadecimal 4C): "Path not found"; DBUG$ is empty.
  EXPECT_EQ(text[2], "ERROR 004C while");
  EXPECT_EQ(text[3], "");
  // Closing the window while the prompt waits ends the process.
  run_tool({wm_delete_path(), std::to_string(*window_)});
  EXPECT_EQ(program_->wait_exit(10s), 0);
}

TEST_F(BootShell, AScriptThatCannotBeOpenedShowsItsErrorLineThenThePrompt) {
  const fs::path exe = install("SYSTEM");
  std::ofstream(root_ / "AUTOEXEC.EBF") << "boot\r\n";
  // The script's place inside SYSTEM is taken by a folder.
  fs::create_directories(root_ / "SYSTEM" / "AUTOEXEC.EBF");
  ASSERT_TRUE(start(exe));
  const auto text = screen_at_prompt();
  ASSERT_EQ(text.size(), 25u) << program_->errors();
  EXPECT_EQ(text[1], "Looking for boot script...");
  // 75 (hexadecimal 4B): "Path/File access error".
  EXPECT_EQ(text[2], "ERROR 004B while");
  EXPECT_EQ(text[3], "");
  end_with_key();
  EXPECT_TRUE(fs::is_directory(root_ / "SYSTEM" / "AUTOEXEC.EBF"));
}

// Errors 1 to 51 take the handler's red path: the screen is cleared to red
// and "ERROR: " with the padded number is printed in black; a key ends the
// program. (11 is critical and never reaches the handler.)
TEST_F(BootShell, ErrorsUpTo51TurnTheScreenRed) {
  const fs::path exe = install_raising_build();
  for (const int number : {1, 5, 51}) {
    SCOPED_TRACE(number);
    ASSERT_TRUE(start(exe, {std::to_string(number)}, "Untitled"));
    char expected[32];
    std::snprintf(expected, sizeof expected, "ERROR: %04X while ", static_cast<unsigned>(number));
    const auto rows = screen_when([&](const std::vector<sr::Row>& r) { return r[0].cp437.rfind(expected, 0) == 0; });
    ASSERT_EQ(rows.size(), 25u) << program_->errors();
    EXPECT_EQ(rows[0].cp437.substr(0, 18), expected);
    for (size_t column = 0; column < 17; ++column) {
      EXPECT_EQ(rows[0].cells[column].bg_index, 4) << column;
      if (!rows[0].cells[column].blank) {
        EXPECT_EQ(rows[0].cells[column].fg_index, 0) << column;
      }
    }
    // Everything else is red and empty.
    size_t red_blank_cells = 0;
    for (size_t row = 1; row < 25; ++row)
      for (const auto& cell : rows[row].cells) red_blank_cells += cell.blank && cell.bg_index == 4;
    EXPECT_EQ(red_blank_cells, 24u * 80u);
    EXPECT_FALSE(program_->wait_exit(300ms)) << "ended without a key";
    end_with_key();
  }
}

// 52 and above print their line and resume, but before line 8 has set
// INCON the handler ends the program: END's prompt, no red screen.
TEST_F(BootShell, Error52BeforeTheConsoleIsSetEndsWithoutTheRedScreen) {
  ASSERT_TRUE(start(install_raising_build(), {"52"}, "Untitled"));
  const auto rows = screen_when([](const std::vector<sr::Row>& r) { return at_prompt(r[24].cp437); });
  ASSERT_EQ(rows.size(), 25u) << program_->errors();
  EXPECT_EQ(trimmed(rows[0].cp437), "");
  EXPECT_NE(rows[0].cells[0].bg_index, 4);
  end_with_key();
}

}  // namespace
