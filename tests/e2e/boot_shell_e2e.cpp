// The HALCYONIX boot shell as a user runs it: copied into a layout of its
// own, its screen read back from the window, its files checked on disk.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
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

  // The text rows of the window, once row 25 shows the prompt.
  std::vector<std::string> screen_when_prompting(unsigned long window) {
    move_to_origin(window);
    std::vector<std::string> text;
    eventually(
        [&] {
          text.clear();
          for (const auto& row : read_screen_rows(window)) text.push_back(row.cp437);
          return text.size() == 25 && text[24].rfind("Press any key to continue", 0) == 0;
        },
        15s);
    return text;
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

}  // namespace
