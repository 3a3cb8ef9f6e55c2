#include "screen/images/mem_image.h"

#include "base/error.h"
#include "screen/images/image_table.h"

mem_block func__memimage(int32_t handle, int32_t passed) {
  if (new_error) return kx::mem_block_invalid();
  int32_t index = 0;
  img_struct* image = nullptr;
  if (passed) {
    image = kx::image_or_page(handle, &index);
  } else {
    image = write_page;
    index = write_page_index;
  }
  if (!image) return kx::mem_block_invalid();
  if (!image->lock) {
    new_mem_lock();
    mem_lock_tmp->type = mem_lock_image;
    mem_lock_tmp->memory = nullptr;
    image->lock = mem_lock_tmp;
    image->lock_id = mem_lock_tmp->id;
  }
  mem_block m{};
  m.offset = reinterpret_cast<intptr_t>(image->data);
  m.size = static_cast<intptr_t>(kx::image_bytes(*image));
  m.lock = image->lock;
  m.lock_id = static_cast<int64_t>(image->lock_id);
  m.type = mem_type_image + image->bytes_per_pixel;
  m.elementsize = image->bytes_per_pixel;
  m.image = -index;
  return m;
}
