#include "frame/program.h"

namespace {
kx_program current_program;
}

void kx_set_program(const kx_program& program) { current_program = program; }

const kx_program& kx_current_program() { return current_program; }
