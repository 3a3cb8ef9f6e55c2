#pragma once
// The hardware command queue read back in order, for tests.
#include <vector>

#include "screen/images/hardware_images.h"
#include "values/handle_list.h"

inline std::vector<hardware_graphics_command> queued_hardware_commands() {
  std::vector<hardware_graphics_command> out;
  for (int64_t i = kx::first_hardware_command; i;) {
    const auto* c = static_cast<hardware_graphics_command*>(list_get(hardware_graphics_command_handles, i));
    out.push_back(*c);
    i = c->next;
  }
  return out;
}
