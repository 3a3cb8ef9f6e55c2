#pragma once
// The boot shell's routines, as kxc translates them from HALCYONIX.BAS.
#include <cstdint>

#include "frame/program.h"

struct kxs;

void KXMAIN(void* unused);

// Claims a free file channel (filenum, replaced by the channel chosen) and
// opens file on it: mode 0 BINARY, 1 INPUT when the file exists (else the
// result is -1), 2 OUTPUT, 3 APPEND, 4 RANDOM.
float FUNC_OPENFILE(kxs* file, uint8_t* filenum, float* mode);

// Allocates the shared variables; KXMAIN does it on its first entry.
void allocate_shared_variables();

// The translated program as the runtime sees it: its main routine, CLEAR's
// reset of its shared variables, and its (empty) trap dispatch.
const kx_program& kx_translated_program();
inline const kx_program& halcyonix_program() { return kx_translated_program(); }
