// Keys typed into the real window with xdotool reach INKEY$ and _KEYHIT.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <utility>
#include <string>
#include <vector>

#include "e2e_support.h"

namespace {

using namespace e2e;

class Input : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(server_.ok()) << "Xvfb did not start"; }
  // Starts the echo program and waits until its window is up and it reads
  // keys.
  void launch(const std::vector<std::string>& args) {
    program_ = std::make_unique<process>(program_path("input_echo"), args);
    ASSERT_TRUE(program_->started());
    const auto window = wait_for_window("Untitled", 20s);
    ASSERT_TRUE(window) << program_->errors();
    window_ = *window;
    ASSERT_TRUE(wait_until_viewable(window_));
    ASSERT_TRUE(eventually([&] { return program_->output().find("ready") != std::string::npos; }, 10s));
  }
  process& program() { return *program_; }

  xvfb server_;
  std::unique_ptr<process> program_;
  unsigned long window_ = 0;
};

// Types keys 30 ms apart, as a quick typist would.
void type_quickly(unsigned long window, const std::vector<std::string>& keys) {
  EXPECT_TRUE(focus_window(window));
  for (const auto& k : keys) run_tool({"xdotool", "key", "--delay", "30", k});
}

TEST_F(Input, TypedKeysArriveAsInkeyStringsInOrder) {
  ASSERT_NO_FATAL_FAILURE(launch({}));
  std::vector<std::string> keys{"a", "shift+b", "5", "Return", "BackSpace", "Up", "Down", "Left", "Right",
                                "F1",  "shift+F1", "F12", "ctrl+a", "ctrl+shift+z", "Delete"};
  std::vector<std::string> expected{" 97",   " 66",   " 53", " 13", " 8",    " 0 72", " 0 80", " 0 75",
                                    " 0 77", " 0 59", " 0 84", " 0 134", " 1", " 26", " 0 83"};
  // F2-F11: extended codes 60-68, then 133.
  for (int f = 2; f <= 11; ++f) {
    keys.push_back("F" + std::to_string(f));
    expected.push_back(" 0 " + std::to_string(f <= 10 ? 58 + f : 133));
  }
  keys.push_back("q");
  expected.push_back(" 113");
  type_quickly(window_, keys);
  ASSERT_EQ(program().wait_exit(20s), 0) << program().output() << program().errors();
  EXPECT_EQ(lines_starting(program().output(), "inkey"), expected) << program().output();
  const auto hits = lines_starting(program().output(), "hit ");
  // Presses and releases, the release of a key negated.
  EXPECT_NE(std::find(hits.begin(), hits.end(), "97"), hits.end());
  EXPECT_NE(std::find(hits.begin(), hits.end(), "-97"), hits.end());
  EXPECT_NE(std::find(hits.begin(), hits.end(), "15104"), hits.end());
  EXPECT_NE(std::find(hits.begin(), hits.end(), "100304"), hits.end());  // left Shift
  EXPECT_FALSE(has_sanitizer_report(program().errors())) << program().errors();
}

TEST_F(Input, TypeAheadKeepsFifteenKeysWhileKeyHitSeesThemAll) {
  ASSERT_NO_FATAL_FAILURE(launch({"hold"}));
  std::vector<std::string> keys;
  const std::string letters = "abcdefghijklmnopqrstuvwxyzabcd";  // 30 keys
  for (char c : letters) keys.emplace_back(1, c);
  type_quickly(window_, keys);
  // Once the program reads again, only the first 15 are in the buffer.
  ASSERT_TRUE(eventually([&] { return lines_starting(program().output(), "inkey").size() >= 15; }, 15s));
  type_quickly(window_, {"q"});
  ASSERT_EQ(program().wait_exit(20s), 0) << program().errors();
  const auto inkeys = lines_starting(program().output(), "inkey");
  ASSERT_EQ(inkeys.size(), 16u) << program().output();
  for (size_t i = 0; i < 15; ++i) EXPECT_EQ(inkeys[i], " " + std::to_string(letters[i]));
  const auto hits = lines_starting(program().output(), "hit ");
  int presses = 0, releases = 0;
  for (const auto& h : hits) (h[0] == '-' ? releases : presses)++;
  EXPECT_EQ(presses, 31);
  EXPECT_GE(releases, 30);  // the program may end before the release of "q" arrives
  EXPECT_FALSE(has_sanitizer_report(program().errors())) << program().errors();
}

TEST_F(Input, CtrlBreakEndsAProgramThatNeverPolledExit) {
  ASSERT_NO_FATAL_FAILURE(launch({}));
  type_quickly(window_, {"ctrl+Scroll_Lock"});
  EXPECT_EQ(program().wait_exit(15s), 0) << program().output();
  EXPECT_FALSE(has_sanitizer_report(program().errors())) << program().errors();
}

TEST_F(Input, KeypadKeysFollowNumLock) {
  ASSERT_NO_FATAL_FAILURE(launch({}));
  // The X server starts with Num Lock off. The keys are named by their
  // Num-Lock-off symbols throughout, as they are engraved.
  type_quickly(window_, {"KP_End", "KP_Up", "KP_Begin", "KP_Delete", "KP_Divide", "Num_Lock", "KP_End", "KP_Up",
                         "KP_Delete", "KP_Add", "KP_Enter", "shift+KP_End", "Num_Lock", "KP_Home", "q"});
  ASSERT_EQ(program().wait_exit(20s), 0) << program().errors();
  const std::vector<std::string> expected{" 0 79", " 0 72", " 0 76", " 0 83", " 47",   " 49",   " 56",
                                          " 46",   " 43",   " 13",   " 0 79", " 0 71", " 113"};
  EXPECT_EQ(lines_starting(program().output(), "inkey"), expected) << program().output();
  // _KEYHIT names the keys the keypad keys stand for.
  const auto hits = lines_starting(program().output(), "hit ");
  std::vector<std::string> presses;
  for (const auto& h : hits) {
    if (h[0] != '-' && h != "100300" && h != "100304") presses.push_back(h);
  }
  const std::vector<std::string> expected_presses{"20224", "18432", "19456", "21248", "47", "49", "56",
                                                  "46",    "43",    "13",    "49",    "18176", "113"};
  EXPECT_EQ(presses, expected_presses) << program().output();
  EXPECT_NE(std::find(hits.begin(), hits.end(), "100300"), hits.end()) << "Num Lock's own press";
  EXPECT_FALSE(has_sanitizer_report(program().errors())) << program().errors();
}

TEST_F(Input, LockFunctionsFollowTheLockKeys) {
  ASSERT_NO_FATAL_FAILURE(launch({}));
  // _CAPSLOCK; _NUMLOCK; _SCROLLLOCK as the program last printed them.
  auto locks = [&] {
    const auto all = lines_starting(program().output(), "locks ");
    return all.empty() ? std::string() : all.back();
  };
  ASSERT_TRUE(eventually([&] { return locks() == "0 0 0"; }, 5s)) << program().output();
  // Each lock shows as soon as its key goes down, before any other event.
  const std::vector<std::pair<std::string, std::string>> steps{
      {"Caps_Lock", "-1 0 0"}, {"Caps_Lock", "0 0 0"},  {"Num_Lock", "0 -1 0"},
      {"Scroll_Lock", "0 -1 -1"}, {"Num_Lock", "0 0 -1"}, {"Scroll_Lock", "0 0 0"}};
  for (const auto& [key, state] : steps) {
    type_quickly(window_, {key});
    EXPECT_TRUE(eventually([&] { return locks() == state; }, 5s)) << key << " " << state << "\n" << program().output();
    if (key == "Caps_Lock" && state == "-1 0 0") {
      // Caps Lock on turns "a" into "A", as the window system types it.
      type_quickly(window_, {"a"});
      EXPECT_TRUE(eventually([&] { return lines_starting(program().output(), "inkey") ==
                                              std::vector<std::string>{" 65"}; }, 5s)) << program().output();
    }
  }
  type_quickly(window_, {"q"});
  ASSERT_EQ(program().wait_exit(20s), 0) << program().errors();
  EXPECT_FALSE(has_sanitizer_report(program().errors())) << program().errors();
}

TEST_F(Input, KeyDownFollowsHeldKeysAndThePointerLeavingReleasesModifiers) {
  ASSERT_NO_FATAL_FAILURE(launch({}));
  move_to_origin(window_);
  const std::string id = std::to_string(window_);
  run_tool({"xdotool", "mousemove", "--sync", "100", "100"});
  EXPECT_TRUE(focus_window(window_));
  auto last_down = [&] {
    const auto downs = lines_starting(program().output(), "down ");
    return downs.empty() ? std::string() : downs.back();
  };
  // _KEYDOWN(a, A, left Shift, Up)
  ASSERT_TRUE(eventually([&] { return last_down() == "0 0 0 0"; }, 5s)) << program().output();
  run_tool({"xdotool", "keydown", "Up"});
  EXPECT_TRUE(eventually([&] { return last_down() == "0 0 0 -1"; }, 5s)) << program().output();
  run_tool({"xdotool", "keyup", "Up"});
  run_tool({"xdotool", "keydown", "a"});
  EXPECT_TRUE(eventually([&] { return last_down() == "-1 0 0 0"; }, 5s)) << program().output();
  run_tool({"xdotool", "keyup", "a"});
  run_tool({"xdotool", "keydown", "shift"});
  EXPECT_TRUE(eventually([&] { return last_down() == "0 0 -1 0"; }, 5s)) << program().output();
  // The pointer leaves while Shift is still down: Shift is released.
  run_tool({"xdotool", "mousemove", "--sync", "900", "700"});
  EXPECT_TRUE(eventually([&] { return last_down() == "0 0 0 0"; }, 5s)) << program().output();
  const auto hits = lines_starting(program().output(), "hit ");
  EXPECT_NE(std::find(hits.begin(), hits.end(), "-100304"), hits.end()) << program().output();
  run_tool({"xdotool", "keyup", "shift"});
  run_tool({"xdotool", "mousemove", "--sync", "100", "100"});
  type_quickly(window_, {"q"});
  ASSERT_EQ(program().wait_exit(20s), 0) << program().errors();
  EXPECT_FALSE(has_sanitizer_report(program().errors())) << program().errors();
}

}  // namespace
