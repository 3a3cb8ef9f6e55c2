#pragma once
// The command line of kxc: build, run and check BASIC programs. The C++
// compiler that builds the translated program, the runtime's headers and
// library, and the build cache of kxc run are the driver's.
#include <string>
#include <vector>

namespace kxc {

// Runs kxc with its arguments (without the program name); returns the
// process's exit status.
int run_driver(const std::vector<std::string>& args);

}  // namespace kxc
