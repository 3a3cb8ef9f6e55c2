#pragma once
// The C++ of a checked program: one translation unit on the runtime. Every
// BASIC statement becomes one block with its source line in a comment,
// followed by its statement check; routines are C++ functions named by the
// runtime's conventions (KXMAIN, SUB_name, FUNC_name), shared variables are
// named by type and name (__SINGLE_X, __STRING_A$ as __STRING_A), and the
// program describes itself to the runtime with a kx_program.
#include <string>

#include "kxc/check/checked_program.h"
#include "kxc/source/source_program.h"

namespace kxc {

struct emit_options {
  std::string source_name;  // for the heading comment
  program_options build;    // metacommands and command-line options together
  const source_program* source = nullptr;  // for the source lines in comments
  bool without_main = false;  // no main(): the program is linked into another (the boot shell's tests)
};

std::string emit_program(const checked_program& program, const emit_options& options);

}  // namespace kxc
