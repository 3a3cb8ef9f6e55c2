#include "screen/images/console_image.h"

#include "screen/images/image_create.h"
#include "screen/images/image_statements.h"
#include "screen/images/image_table.h"

namespace {
constexpr int32_t console_columns = 80;
constexpr int32_t console_rows = 25;
constexpr int32_t text_mode = 0;
}  // namespace

bool kx::console_image_create(bool make_destination) {
  const int32_t index = imgnew(console_columns, console_rows, text_mode);
  if (!index) return false;
  img[index].console = 1;
  // CLEAR frees the program's images, never this one.
  img[index].flags |= img_runtime_owned;
  console_image_handle = -index;
  if (make_destination) sub__dest(console_image_handle);
  return true;
}
