// kxc: the HALCYONIX BASIC translator's command line.
#include <string>
#include <vector>

#include "kxc/driver/driver.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  return kxc::run_driver(args);
}
