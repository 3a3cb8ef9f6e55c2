#pragma once
// BASIC source to C++: the phases in order, as the driver and the tests run
// them.
#include <string>

#include "kxc/parse/ast.h"
#include "kxc/source/source_program.h"

namespace kxc {

struct translation {
  bool ok = false;
  std::string cpp;          // the C++ translation unit, when ok
  std::string diagnostics;  // every located message
  int errors = 0;
  program_options options;  // metacommands merged with the command line's
};

// Translates a loaded program; command-line options are added to the
// metacommands' (an option can switch a feature on, never off).
translation translate(const source_program& source, const program_options& command_line, bool without_main = false);

}  // namespace kxc
