#pragma once
// Exhausted memory is always a critical error: error() shows the box and
// ends the process. Callers rely on never coming back, so a null block is
// never used; the abort only runs if the process somehow survived the box.
#include <cstdint>
#include <cstdlib>

#include "base/error.h"

namespace kx {

[[noreturn]] inline void out_of_memory(int32_t n) {
  error(n);
  std::abort();
}

}  // namespace kx
