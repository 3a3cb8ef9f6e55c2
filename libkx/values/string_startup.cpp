#include "values/string_startup.h"

#include <cstring>

#include "values/conventional_memory.h"
#include "values/string_create.h"
#include "values/string_lists.h"
#include "values/string_pools.h"

uint8_t* nothingvalue = nullptr;
kxs* nothingstring = nullptr;
kxs* singlespace = nullptr;

namespace {
constexpr uint32_t nothingvalue_bytes = 8;
}

void kxs_init() {
  kx::descriptor_storage_init();
  kx::string_pools_init();
  kx::string_lists_init();
  cmem_sp -= nothingvalue_bytes;
  nothingvalue = dblock + cmem_sp;
  std::memset(nothingvalue, 0, nothingvalue_bytes);
  nothingstring = kxs_new_cmem(0, 0);
  singlespace = kxs_new_cmem(1, 0);
  singlespace->chars[0] = ' ';
}
