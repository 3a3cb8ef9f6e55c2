// A compiled program that changes its environment from its first statement,
// while the window thread starts the toolkit and draws its first frames,
// both of which read the process environment: "many" sets 1,000 variables,
// "large" one of 1 MB and 20,000 others. Once the window exists it prints
// how many it set and the last one's value, and ends.
#include <cstdio>
#include <string>

#include "base/clock.h"
#include "base/flags.h"
#include "files/environment.h"
#include "files/launch_info.h"
#include "files/program_environment.h"
#include "frame/shutdown.h"
#include "frame/startup.h"
#include "values/string_create.h"
#include "values/string_release.h"

namespace {

void set_variable(const std::string& entry) {
  kxs* text = kxs_new_txt_len(entry.data(), static_cast<int32_t>(entry.size()));
  sub_environ(text);
  kxs_free(text);
}

void KXMAIN(void*) {
  const bool large = func_command_str == "large";
  if (large) set_variable("KX_FLOOD_LARGE=" + std::string(1 << 20, 'x'));
  const int count = large ? 20000 : 1000;
  for (int i = 0; i < count; ++i) set_variable("KX_FLOOD_" + std::to_string(i) + "=" + std::to_string(i));
  while (!window_exists.load()) Sleep(10);
  const std::string last = "KX_FLOOD_" + std::to_string(count - 1);
  const std::string value(kx::program_environment_value(last).value_or("none"));
  std::printf("set %d, last %s\n", count, value.c_str());
  std::fflush(stdout);
  sub_system();
}

}  // namespace

int main(int argc, char** argv) { return kx_main(argc, argv, kx_program{KXMAIN}); }
