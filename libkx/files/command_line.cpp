#include "files/command_line.h"

#include "files/launch_info.h"
#include "files/string_transfer.h"

kxs* func_command(int32_t n, int32_t n_given) {
  if (!n_given) return kx::new_temporary(func_command_str);
  if (n < 0 || n >= func_command_count || !func_command_array || !func_command_array[n]) return kx::new_temporary("");
  return kx::new_temporary(func_command_array[n]);
}

int32_t func__commandcount() { return func_command_count > 0 ? func_command_count - 1 : 0; }
