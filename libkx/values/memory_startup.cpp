#include "values/memory_startup.h"

#include "values/cmem_dynamic.h"
#include "values/conventional_memory.h"
#include "values/def_seg.h"
#include "values/mem_lock.h"
#include "values/static_pool.h"

void mem_init() {
  kx::mem_static_init();
  kx::conventional_memory_init();
  kx::cmem_dynamic_reset();
  defseg = dblock;
  kx::mem_lock_init();
}
