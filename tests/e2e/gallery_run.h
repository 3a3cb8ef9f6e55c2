#pragma once
// A gallery program run in one screen mode: started with the mode as its
// argument in the test's own X server, its page compared with what the test
// computed, ended with a key.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "e2e_support.h"

namespace e2e {

// compare returns how many page pixels are wrong and names a few in its
// report.
using page_compare = std::function<int(const page_pixel& at, std::string& report)>;

inline void run_gallery(const std::string& name, const std::string& mode, int width, int height,
                        const page_compare& compare) {
  xvfb server;
  ASSERT_TRUE(server.ok()) << "Xvfb did not start";
  process program(program_path(name), {mode});
  const auto window = wait_for_window("Untitled", 20s);
  ASSERT_TRUE(window) << program.errors();
  move_to_origin(*window);
  ASSERT_TRUE(eventually([&] { return program.output().find("ready") != std::string::npos; }, 20s))
      << program.output() << program.errors();
  std::string report;
  EXPECT_TRUE(page_matches(*window, width, height, compare, report, 20s)) << mode << ": " << report;
  type_keys(*window, {"space"});
  EXPECT_EQ(program.wait_exit(10s), 0) << program.errors();
  EXPECT_FALSE(has_sanitizer_report(program.errors())) << program.errors();
}

// The report's account of a wrong pixel.
inline std::string pixel_name(int x, int y) { return "(" + std::to_string(x) + "," + std::to_string(y) + ") "; }

}  // namespace e2e
