#pragma once
// The boot shell's compiled routines.
#include "frame/program.h"

void KXMAIN(void* unused);

// The boot shell as the runtime sees it: its main routine, CLEAR's reset of
// its shared variables, and its (empty) trap dispatch.
const kx_program& halcyonix_program();
