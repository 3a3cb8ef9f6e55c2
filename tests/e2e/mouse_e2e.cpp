// The pointer and the clipboard in a real X server: xdotool moves and
// clicks reach the mouse functions, _MOUSEMOVE moves the X pointer, and
// text crosses the clipboard to and from xclip.
#include <gtest/gtest.h>

#include <X11/Xlib.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "e2e_support.h"

namespace {

using namespace e2e;

class Mouse : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(server_.ok()) << "Xvfb did not start"; }
  void launch(const std::string& mode) {
    program_ = std::make_unique<process>(program_path("mouse_probe"), std::vector<std::string>{mode});
    ASSERT_TRUE(program_->started());
    const auto window = wait_until_ready(*program_);
    ASSERT_TRUE(window) << program_->errors();
    window_ = *window;
    move_to_origin(window_);
  }
  std::vector<std::string> messages() const { return lines("m "); }
  // The program's output lines that start with prefix, without it.
  std::vector<std::string> lines(const std::string& prefix) const { return lines_starting(program_->output(), prefix); }
  std::string last_message() const {
    const auto m = messages();
    return m.empty() ? std::string() : m.back();
  }
  void pointer_to(int x, int y) {
    run_tool({"xdotool", "mousemove", "--window", std::to_string(window_), "--sync", std::to_string(x),
              std::to_string(y)});
  }
  void quit() {
    EXPECT_TRUE(focus_window(window_));
    run_tool({"xdotool", "key", "q"});
    ASSERT_EQ(program_->wait_exit(20s), 0) << program_->errors();
    EXPECT_FALSE(has_sanitizer_report(program_->errors())) << program_->errors();
  }

  xvfb server_;
  std::unique_ptr<process> program_;
  unsigned long window_ = 0;
};

TEST_F(Mouse, MovesClicksAndWheelStepsReachTheTextScreen) {
  ASSERT_NO_FATAL_FAILURE(launch("text"));
  pointer_to(12, 40);
  EXPECT_TRUE(eventually([&] { return last_message() == "2 3 0 0 0 0"; }, 10s)) << program_->output();
  pointer_to(100, 100);
  EXPECT_TRUE(eventually([&] { return last_message() == "13 7 0 0 0 0"; }, 10s)) << program_->output();
  const size_t before = messages().size();
  run_tool({"xdotool", "click", "1"});
  ASSERT_TRUE(eventually([&] { return messages().size() >= before + 2; }, 10s)) << program_->output();
  auto m = messages();
  EXPECT_EQ(m[before], "13 7 -1 0 0 0");
  EXPECT_EQ(m[before + 1], "13 7 0 0 0 0");
  run_tool({"xdotool", "click", "3"});
  ASSERT_TRUE(eventually([&] { return messages().size() >= before + 4; }, 10s)) << program_->output();
  m = messages();
  EXPECT_EQ(m[before + 2], "13 7 0 -1 0 0");
  // Button 5 of the X server is one wheel step towards the user.
  run_tool({"xdotool", "click", "5"});
  ASSERT_TRUE(eventually([&] { return messages().size() >= before + 6; }, 10s)) << program_->output();
  m = messages();
  EXPECT_EQ(m[before + 4], "13 7 0 0 0 1");
  EXPECT_EQ(m[before + 5], "13 7 0 0 0 0");
  ASSERT_NO_FATAL_FAILURE(quit());
}

TEST_F(Mouse, PixelsOnAGraphicsScreenAndCellsInAStretchedWindow) {
  ASSERT_NO_FATAL_FAILURE(launch("graphics"));
  ASSERT_TRUE(eventually([&] {
    const auto g = window_geometry(window_);
    return g && g->width == 640 && g->height == 480;
  }, 10s));
  pointer_to(321, 477);
  EXPECT_TRUE(eventually([&] { return last_message() == "321 477 0 0 0 0"; }, 10s)) << program_->output();
  ASSERT_NO_FATAL_FAILURE(quit());

  ASSERT_NO_FATAL_FAILURE(launch("stretched"));
  run_tool({"xdotool", "windowsize", "--sync", std::to_string(window_), "1280", "800"});
  // The picture is drawn twice as large: window pixel (100, 100) is
  // picture pixel (50, 50), the cell in column 7 of row 4.
  EXPECT_TRUE(eventually([&] {
    pointer_to(100, 100);
    pointer_to(101, 100);
    pointer_to(100, 100);
    return last_message() == "7 4 0 0 0 0";
  }, 15s)) << program_->output();
  ASSERT_NO_FATAL_FAILURE(quit());
}

TEST_F(Mouse, MousemoveWarpsTheXPointerAndScreenmoveCentresTheWindow) {
  auto location = [] {
    const std::string shell = run_tool({"xdotool", "getmouselocation", "--shell"});
    std::istringstream in(shell);
    std::string line, x, y;
    while (std::getline(in, line)) {
      if (line.rfind("X=", 0) == 0) x = line.substr(2);
      if (line.rfind("Y=", 0) == 0) y = line.substr(2);
    }
    return x + " " + y;
  };
  auto warp = [&] {
    EXPECT_TRUE(focus_window(window_));
    run_tool({"xdotool", "key", "w"});
  };
  ASSERT_NO_FATAL_FAILURE(launch("text"));
  pointer_to(300, 200);
  ASSERT_EQ(location(), "300 200");
  // Column 1, row 1 is the centre of the top-left cell: pixel (4, 8).
  warp();
  EXPECT_TRUE(eventually([&] { return location() == "4 8"; }, 10s)) << location();
  EXPECT_TRUE(eventually([&] { return last_message() == "1 1 0 0 0 0"; }, 10s)) << program_->output();

  // _SCREENMOVE _MIDDLE centres the window on the desktop.
  std::istringstream desktop(run_tool({"xdotool", "getdisplaygeometry"}));
  int desktop_w = 0, desktop_h = 0;
  desktop >> desktop_w >> desktop_h;
  EXPECT_TRUE(focus_window(window_));
  run_tool({"xdotool", "key", "c"});
  EXPECT_TRUE(eventually([&] {
    const auto g = window_geometry(window_);
    return g && g->x == (desktop_w - 640) / 2 && g->y == (desktop_h - 400) / 2;
  }, 10s)) << desktop_w << "x" << desktop_h;
  ASSERT_NO_FATAL_FAILURE(quit());

  ASSERT_NO_FATAL_FAILURE(launch("graphics"));
  pointer_to(300, 200);
  warp();
  EXPECT_TRUE(eventually([&] { return location() == "100 50"; }, 10s)) << location();
  EXPECT_TRUE(eventually([&] { return last_message() == "100 50 0 0 0 0"; }, 10s)) << program_->output();
  ASSERT_NO_FATAL_FAILURE(quit());
}

// The program reads fast enough: every move gives its two messages.
TEST_F(Mouse, NoMessageIsLostWhileThePointerMovesQuickly) {
  ASSERT_NO_FATAL_FAILURE(launch("text"));
  pointer_to(5, 5);
  ASSERT_TRUE(eventually([&] { return last_message() == "1 1 0 0 0 0"; }, 10s)) << program_->output();
  const size_t before = messages().size();
  constexpr int moves = 300;
  std::string script;
  for (int i = 1; i <= moves; ++i) {
    script += "mousemove --window " + std::to_string(window_) + " " + std::to_string(10 + i % 600) + " " +
              std::to_string(20 + i % 300) + "\n";
  }
  run_tool({"sh", "-c", "printf '" + script + "' | xdotool -"});
  EXPECT_TRUE(eventually([&] { return messages().size() >= before + 2 * moves; }, 20s))
      << messages().size() - before;
  EXPECT_EQ(messages().size(), before + 2 * moves);
  ASSERT_NO_FATAL_FAILURE(quit());
}

std::string write_file(const temp_folder& folder, const std::string& name, const std::string& bytes) {
  const std::string path = folder.path() + "/" + name;
  std::ofstream(path, std::ios::binary) << bytes;
  return path;
}

TEST_F(Mouse, ClipboardTextReachesXclipAsUtf8) {
  ASSERT_NO_FATAL_FAILURE(launch("copy"));
  const std::string expected = "\u2554\u2550\u2557 caf\u00e9 na\u00efve \u03b1=1 \u00fcber\r\nline 2";
  std::string got;
  EXPECT_TRUE(eventually([&] {
    got = run_tool({"sh", "-c", "timeout 5 xclip -o -selection clipboard"});
    return got == expected;
  }, 10s)) << got;
  const std::string targets = run_tool({"sh", "-c", "timeout 5 xclip -o -selection clipboard -t TARGETS"});
  EXPECT_NE(targets.find("UTF8_STRING"), std::string::npos) << targets;
  EXPECT_NE(targets.find("COMPOUND_TEXT"), std::string::npos) << targets;
  EXPECT_NE(targets.find("STRING"), std::string::npos) << targets;
  // A target not offered gets no text.
  int status = 0;
  run_tool({"sh", "-c", "timeout 5 xclip -o -selection clipboard -t TEXT >/dev/null 2>&1"}, &status);
  EXPECT_NE(status, 0);
  // Compound text cannot hold the CR and every box-drawing character: it is
  // refused rather than sent with them missing.
  status = 0;
  const std::string compound =
      run_tool({"sh", "-c", "timeout 5 xclip -o -selection clipboard -t COMPOUND_TEXT 2>/dev/null"}, &status);
  EXPECT_NE(status, 0) << compound;
  EXPECT_EQ(compound, "");

  // A requestor that is gone before its answer comes does not end the program.
  Display* d = XOpenDisplay(server_.display().c_str());
  ASSERT_TRUE(d);
  const Window w = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, 1, 1, 0, 0, 0);
  XConvertSelection(d, XInternAtom(d, "CLIPBOARD", False), XInternAtom(d, "UTF8_STRING", False),
                    XInternAtom(d, "KX_PROBE", False), w, CurrentTime);
  XDestroyWindow(d, w);
  XCloseDisplay(d);
  got.clear();
  EXPECT_TRUE(eventually([&] {
    got = run_tool({"sh", "-c", "timeout 5 xclip -o -selection clipboard"});
    return got == expected;
  }, 10s)) << got;
  EXPECT_TRUE(program_->running());
  ASSERT_NO_FATAL_FAILURE(quit());
}

// A text too large for one reply goes in pieces.
TEST_F(Mouse, ALargeClipboardTextReachesXclipWhole) {
  ASSERT_NO_FATAL_FAILURE(launch("copybig"));
  std::string expected;
  for (int i = 0; i < 300000; ++i) expected += "a\u2500";
  std::string got;
  EXPECT_TRUE(eventually([&] {
    got = run_tool({"sh", "-c", "timeout 10 xclip -o -selection clipboard"});
    return got.size() == expected.size();
  }, 20s)) << got.size();
  EXPECT_TRUE(got == expected);
  ASSERT_NO_FATAL_FAILURE(quit());
}

// A requestor that leaves a transfer in pieces in the middle, or asks again
// in the middle of one, takes nothing from the next request: the next xclip
// (which the server gives the dead requestor's window id, into the same
// property) and the requestor asking again get the whole text.
TEST_F(Mouse, AnAbandonedTransferInPiecesLeavesTheNextRequestTheWholeText) {
  ASSERT_NO_FATAL_FAILURE(launch("copybig"));
  std::string expected;
  for (int i = 0; i < 300000; ++i) expected += "a\u2500";
  std::string got;
  ASSERT_TRUE(eventually([&] {
    got = run_tool({"sh", "-c", "timeout 10 xclip -o -selection clipboard"});
    return got.size() == expected.size();
  }, 20s)) << got.size();
  for (int trial = 0; trial < 3; ++trial) {
    int status = 1;
    EXPECT_EQ(run_tool({clip_peer_path(), "take", "2"}, &status), "took 524288\n");
    EXPECT_EQ(status, 0);
    got = run_tool({"sh", "-c", "timeout 10 xclip -o -selection clipboard"});
    EXPECT_TRUE(got == expected) << "trial " << trial << ": " << got.size() << " bytes";
  }
  got = run_tool({clip_peer_path(), "take", "2", "again"});
  EXPECT_TRUE(got == "took 524288\n" + expected) << got.size() << " bytes";
  ASSERT_NO_FATAL_FAILURE(quit());
}

// An owner whose transfer never ends: the paste gives up at its limit with
// the empty text; and the window keeps taking events while a paste runs, so
// the close button ends that paste at once and a key typed then is read.
TEST_F(Mouse, APasteFromAnEndlessOwnerGivesUpAndTheWindowStaysAlive) {
  ASSERT_NO_FATAL_FAILURE(launch("paste"));
  process owner(clip_peer_path(), {"serve"});
  ASSERT_TRUE(eventually([&] { return owner.output() == "serving\n"; }, 10s)) << owner.errors();
  EXPECT_TRUE(focus_window(window_));
  run_tool({"xdotool", "key", "p"});
  std::vector<std::string> pasted;
  EXPECT_TRUE(eventually([&] { return !(pasted = lines("paste ")).empty(); }, 40s));
  ASSERT_FALSE(pasted.empty());
  EXPECT_EQ(pasted[0].substr(0, 2), "0 ") << pasted[0];
  // The next paste is under way (for several seconds more) when the close
  // button is pressed and "q" typed.
  run_tool({"xdotool", "key", "p"});
  std::this_thread::sleep_for(1s);
  run_tool({wm_delete_path(), std::to_string(window_)});
  run_tool({"xdotool", "key", "q"});
  EXPECT_EQ(program_->wait_exit(5s), 0) << program_->output();
  pasted = lines("paste ");
  ASSERT_EQ(pasted.size(), 2u) << program_->output();
  EXPECT_EQ(pasted[1].substr(0, 2), "0 ") << pasted[1];
}

TEST_F(Mouse, ClipboardTextFromXclipIsReadAsCodePage437) {
  ASSERT_NO_FATAL_FAILURE(launch("paste"));
  auto paste = [&](size_t index) {
    EXPECT_TRUE(focus_window(window_));
    run_tool({"xdotool", "key", "p"});
    std::vector<std::string> p;
    eventually([&] { return (p = lines("paste ")).size() > index; }, 20s);
    return p.size() > index ? p[index] : std::string();
  };
  // Nobody owns the clipboard: "".
  std::istringstream none(paste(0));
  int length = -1;
  std::string sum, head;
  none >> length;
  EXPECT_EQ(length, 0);
  // xclip keeps the selection from a child of its own; the paste waits
  // until that child answers.
  auto offered = [](const std::string& path) {
    return eventually([&] {
      int status = 1;
      run_tool({"sh", "-c", "timeout 5 xclip -o -selection clipboard | cmp -s - " + path}, &status);
      return status == 0;
    }, 10s);
  };

  temp_folder folder("mouse_clip");
  const std::string small = write_file(folder, "small", "\u2554\u2550\u2557 caf\u00e9");
  run_tool({"sh", "-c", "xclip -i -selection clipboard " + small + " >/dev/null 2>&1"});
  ASSERT_TRUE(offered(small));
  // C9 CD BB 20 63 61 66 82: the same text in code page 437.
  std::istringstream one(paste(1));
  one >> length >> sum >> head;
  EXPECT_EQ(length, 8);
  EXPECT_EQ(head, "C9CDBB2063616682");

  std::string big;
  uint64_t big_sum = 0;
  for (int i = 0; big.size() < 1024 * 1024; ++i) big += static_cast<char>('a' + i % 26);
  for (unsigned char c : big) big_sum += c;
  const std::string big_path = write_file(folder, "big", big);
  run_tool({"sh", "-c", "xclip -i -selection clipboard " + big_path + " >/dev/null 2>&1"});
  ASSERT_TRUE(offered(big_path));
  std::istringstream two(paste(2));
  two >> length >> sum;
  EXPECT_EQ(length, 1024 * 1024);
  EXPECT_EQ(sum, std::to_string(big_sum));
  // The program's own copy comes back as it was copied, and xclip sees it.
  EXPECT_TRUE(focus_window(window_));
  run_tool({"xdotool", "key", "k"});
  EXPECT_TRUE(eventually([&] { return !lines("copied ").empty(); }, 10s));
  std::istringstream own(paste(3));
  own >> length >> sum >> head;
  EXPECT_EQ(length, 7);
  EXPECT_EQ(head, "6B7820636F7079");
  EXPECT_EQ(run_tool({"sh", "-c", "timeout 5 xclip -o -selection clipboard"}), "kx copy");
  ASSERT_NO_FATAL_FAILURE(quit());
}

}  // namespace
