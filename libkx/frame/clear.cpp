#include "frame/clear.h"

#include "base/process_exit.h"
#include "frame/program.h"
#include "frame/return_points.h"
#include "frame/statement_check.h"
#include "screen/images/image_statements.h"
#include "values/read_data.h"

void sub_clear(int32_t, int32_t, int32_t, int32_t) {
  if (auto reset = kx_current_program().clear_shared_variables) reset();
  data_offset = 0;
  freeallimages();
  kx_close_all_files();
  next_return_point = 0;
  error_goto_line = 0;
  error_handling = 0;
}
