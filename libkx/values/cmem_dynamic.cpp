#include "values/cmem_dynamic.h"

#include <cstddef>

#include "base/error_numbers.h"
#include "values/conventional_memory.h"
#include "values/out_of_memory.h"

cmem_dynamic_link_type cmem_dynamic_link[cmem_dynamic_links];
cmem_dynamic_link_type* cmem_dynamic_link_first = nullptr;
int32_t cmem_dynamic_next_link = 0;
int32_t cmem_dynamic_free_list[cmem_dynamic_links + 1];
int32_t cmem_dynamic_free_link = 0;
uint8_t* cmem_dynamic_base = cmem + cmem_dynamic_top;

namespace {

constexpr uint32_t largest_block = 65536;

uint8_t* top_of_dynamic_area() { return cmem + cmem_dynamic_top; }

cmem_dynamic_link_type* take_link() {
  if (cmem_dynamic_free_link > 0) return &cmem_dynamic_link[cmem_dynamic_free_list[cmem_dynamic_free_link--]];
  if (cmem_dynamic_next_link >= cmem_dynamic_links) kx::out_of_memory(err::out_of_memory_cmem_links);
  cmem_dynamic_link_type* link = &cmem_dynamic_link[cmem_dynamic_next_link];
  link->index = cmem_dynamic_next_link++;
  return link;
}

}  // namespace

uint8_t* cmem_dynamic_malloc(uint32_t size) {
  if (size > largest_block) kx::out_of_memory(err::out_of_memory_cmem_oversized);
  if (size == 0) return top_of_dynamic_area();
  size = (size + 15) & ~uint32_t{15};

  // First gap from the top that holds the block; it goes right below the
  // upper bound of that gap.
  uint8_t* upper = top_of_dynamic_area();
  cmem_dynamic_link_type* above = nullptr;
  cmem_dynamic_link_type* below = cmem_dynamic_link_first;
  while (below && static_cast<size_t>(upper - below->end) < size) {
    upper = below->start;
    above = below;
    below = below->next;
  }
  if (!below) {
    if (upper - cmem_static_pointer < static_cast<ptrdiff_t>(size)) kx::out_of_memory(err::out_of_memory_cmem_full);
    cmem_dynamic_base = upper - size;
  }

  cmem_dynamic_link_type* link = take_link();
  link->start = upper - size;
  link->end = upper;
  link->size = size;
  link->next = below;
  if (above)
    above->next = link;
  else
    cmem_dynamic_link_first = link;
  return link->start;
}

void cmem_dynamic_free(uint8_t* address) {
  if (!cmem_dynamic_link_first || !address || address == top_of_dynamic_area()) return;
  cmem_dynamic_link_type* above = nullptr;
  for (cmem_dynamic_link_type* link = cmem_dynamic_link_first; link; above = link, link = link->next) {
    if (link->start != address) continue;
    if (above)
      above->next = link->next;
    else
      cmem_dynamic_link_first = link->next;
    cmem_dynamic_free_list[++cmem_dynamic_free_link] = link->index;
    return;
  }
}

namespace kx {

void cmem_dynamic_reset() {
  cmem_dynamic_link_first = nullptr;
  cmem_dynamic_next_link = 0;
  cmem_dynamic_free_link = 0;
  cmem_dynamic_base = top_of_dynamic_area();
}

}  // namespace kx
