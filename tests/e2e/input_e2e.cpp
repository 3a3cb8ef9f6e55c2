// Keys typed into the real window with xdotool reach INKEY$ and _KEYHIT.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "e2e_support.h"

namespace {

using namespace e2e;

class Input : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(server_.ok()) << "Xvfb did not start"; }
  xvfb server_;
};

std::vector<std::string> lines_starting(const std::string& text, const std::string& prefix) {
  std::vector<std::string> out;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind(prefix, 0) == 0) out.push_back(line.substr(prefix.size()));
  }
  return out;
}

void type_keys(unsigned long window, const std::vector<std::string>& keys) {
  run_tool({"xdotool", "windowfocus", "--sync", std::to_string(window)});
  for (const auto& k : keys) run_tool({"xdotool", "key", "--delay", "30", k});
}

TEST_F(Input, TypedKeysArriveAsInkeyStringsInOrder) {
  process program(program_path("input_echo"), {});
  ASSERT_TRUE(program.started());
  const auto window = wait_for_window("Untitled", 20s);
  ASSERT_TRUE(window) << program.errors();
  ASSERT_TRUE(eventually([&] { return program.output().find("ready") != std::string::npos; }, 10s));
  type_keys(*window, {"a", "shift+b", "5", "Return", "BackSpace", "Up", "F1", "shift+F1", "F12", "ctrl+a",
                      "Delete", "q"});
  ASSERT_EQ(program.wait_exit(20s), 0) << program.errors();
  const std::vector<std::string> expected{" 97",    " 66",    " 53",    " 13",    " 8", " 0 72", " 0 59",
                                          " 0 84", " 0 134", " 1",     " 0 83", " 113"};
  EXPECT_EQ(lines_starting(program.output(), "inkey"), expected) << program.output();
  const auto hits = lines_starting(program.output(), "hit ");
  // Presses and releases, the release of a key negated.
  EXPECT_NE(std::find(hits.begin(), hits.end(), "97"), hits.end());
  EXPECT_NE(std::find(hits.begin(), hits.end(), "-97"), hits.end());
  EXPECT_NE(std::find(hits.begin(), hits.end(), "15104"), hits.end());
  EXPECT_NE(std::find(hits.begin(), hits.end(), "100304"), hits.end());  // left Shift
  EXPECT_FALSE(has_sanitizer_report(program.errors())) << program.errors();
}

TEST_F(Input, TypeAheadKeepsFifteenKeysWhileKeyHitSeesThemAll) {
  process program(program_path("input_echo"), {"hold"});
  ASSERT_TRUE(program.started());
  const auto window = wait_for_window("Untitled", 20s);
  ASSERT_TRUE(window) << program.errors();
  ASSERT_TRUE(eventually([&] { return program.output().find("ready") != std::string::npos; }, 10s));
  std::vector<std::string> keys;
  const std::string letters = "abcdefghijklmnopqrstuvwxyzabcd";  // 30 keys
  for (char c : letters) keys.emplace_back(1, c);
  type_keys(*window, keys);
  // Once the program reads again, only the first 15 are in the buffer.
  ASSERT_TRUE(eventually([&] { return lines_starting(program.output(), "inkey").size() >= 15; }, 15s));
  type_keys(*window, {"q"});
  ASSERT_EQ(program.wait_exit(20s), 0) << program.errors();
  const auto inkeys = lines_starting(program.output(), "inkey");
  ASSERT_EQ(inkeys.size(), 16u) << program.output();
  for (size_t i = 0; i < 15; ++i) EXPECT_EQ(inkeys[i], " " + std::to_string(letters[i]));
  const auto hits = lines_starting(program.output(), "hit ");
  int presses = 0, releases = 0;
  for (const auto& h : hits) (h[0] == '-' ? releases : presses)++;
  EXPECT_EQ(presses, 31);
  EXPECT_GE(releases, 30);  // the program may end before the release of "q" arrives
}

TEST_F(Input, CtrlBreakEndsAProgramThatNeverPolledExit) {
#if defined(__SANITIZE_THREAD__)
  // Under ThreadSanitizer the Scroll Lock press is not seen in time; this
  // is open and under investigation, so the test runs in the plain build.
  GTEST_SKIP() << "Ctrl+Scroll Lock is not delivered under ThreadSanitizer yet";
#endif
  process program(program_path("input_echo"), {});
  ASSERT_TRUE(program.started());
  const auto window = wait_for_window("Untitled", 20s);
  ASSERT_TRUE(window);
  ASSERT_TRUE(eventually([&] { return program.output().find("ready") != std::string::npos; }, 10s));
  type_keys(*window, {"ctrl+Scroll_Lock"});
  EXPECT_EQ(program.wait_exit(15s), 0) << program.output();
}

}  // namespace
