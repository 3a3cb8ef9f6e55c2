#include "screen/copy/pcopy.h"

#include <cstring>

#include "base/error.h"
#include "screen/images/image_create.h"
#include "screen/images/image_table.h"

namespace {

// A page (made on demand) or a valid image; null after an error, which is
// error 5 for a handle that names no image.
img_struct* page_or_image(int32_t n) {
  if (n >= 0) {
    if (!validatepage(n)) return nullptr;
    return &img[page[static_cast<uint64_t>(n)]];
  }
  if (n == INT32_MIN || -n >= nextimg || !img[-n].valid) {
    error(err::illegal_function_call);
    return nullptr;
  }
  return &img[-n];
}

}  // namespace

void sub_pcopy(int32_t src, int32_t dst) {
  if (new_error.load()) return;
  img_struct* from = page_or_image(src);
  if (!from) return;
  img_struct* to = page_or_image(dst);
  if (!to || from == to) return;
  if (from->bytes_per_pixel != to->bytes_per_pixel || from->width != to->width || from->height != to->height ||
      from->text != to->text || (from->bytes_per_pixel == 1 && !from->text && to->mask < from->mask)) {
    error(err::illegal_function_call);
    return;
  }
  std::memcpy(to->data, from->data, kx::image_bytes(*from));
}
