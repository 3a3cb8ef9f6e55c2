#include "screen/images/image_table.h"

#include <cstdlib>
#include <new>

#include "base/error.h"
#include "screen/images/image_create.h"
#include "values/mem_lock.h"

kx::image_table img;
int32_t nimg = 0;
int32_t nextimg = 0;
kx::growable_array<int32_t> fimg;
int32_t nfimg = 0;
int32_t lastfimg = -1;
kx::growable_array<int32_t> page;
int32_t pages = 0;
img_struct* write_page = nullptr;
int32_t write_page_index = 0;
img_struct* read_page = nullptr;
int32_t read_page_index = 0;
std::atomic<img_struct*> display_page{nullptr};
std::atomic<int32_t> display_page_index{0};

namespace {
constexpr int32_t table_step = 4096;
constexpr int32_t reserved_indices = 2;
}  // namespace

bool kx::image_table::grow() {
  if (block_count_ == max_blocks) return false;
  auto* block = static_cast<img_struct*>(std::calloc(block_size, sizeof(img_struct)));
  if (!block) return false;
  blocks_[block_count_++] = block;
  return true;
}

void kx::image_table::reset() {
  for (int32_t b = 1; b < block_count_; ++b) {
    std::free(blocks_[b]);
    blocks_[b] = nullptr;
  }
  block_count_ = block_count_ ? 1 : 0;
  if (block_count_ == 0) {
    grow();
  } else {
    for (int32_t i = 0; i < block_size; ++i) blocks_[0][i] = img_struct{};
  }
}

kx::image_table::~image_table() {
  // Only a process that ends through its static destructors (one that never
  // started the program's threads) gets here: the buffers the records still
  // own go with them, since nothing else refers to them.
  for (int32_t b = 0; b < block_count_; ++b) {
    for (int32_t i = 0; i < block_size; ++i) {
      const img_struct& record = blocks_[b][i];
      if (!record.valid) continue;
      if (record.flags & img_owns_data) std::free(record.data);
      if (record.flags & img_owns_palette) std::free(record.pal);
    }
    std::free(blocks_[b]);
  }
}

int32_t kx::image_table::index_of(const img_struct* record) const {
  for (int32_t b = 0; b < block_count_; ++b) {
    const img_struct* first = blocks_[b];
    if (record >= first && record < first + block_size) return b * block_size + static_cast<int32_t>(record - first);
  }
  return 0;
}

int32_t kx::image_index(const img_struct* image) { return image ? img.index_of(image) : 0; }

int32_t newimg() {
  int32_t index;
  if (lastfimg >= 0) {
    index = fimg[static_cast<uint64_t>(lastfimg--)];
  } else {
    if (nextimg >= nimg) {
      if (!img.grow()) {
        error(err::out_of_memory_image_table);
        return 0;
      }
      nimg = img.capacity();
    }
    index = nextimg++;
  }
  img[index] = img_struct{};
  img[index].valid = 1;
  return index;
}

int32_t freeimg(int32_t index) {
  if (index < 0 || index >= nextimg || !img[index].valid) return 0;
  img_struct& record = img[index];
  if (record.lock_id && record.lock) free_mem_lock(record.lock);
  record = img_struct{};
  if (lastfimg + 1 >= nfimg) {
    if (!fimg.resize(static_cast<uint64_t>(nfimg) + table_step)) {
      error(err::out_of_memory_free_images);
      return 1;
    }
    nfimg += table_step;
  }
  fimg[static_cast<uint64_t>(++lastfimg)] = index;
  return 1;
}

void image_table_init() {
  img.reset();
  nimg = img.capacity();
  nextimg = 0;
  if (fimg.capacity() < table_step) fimg.resize(table_step);
  nfimg = static_cast<int32_t>(fimg.capacity());
  lastfimg = -1;
  if (page.capacity() == 0) page.resize(1);
  for (uint64_t i = 0; i < page.capacity(); ++i) page[i] = 0;
  pages = 0;
  write_page = read_page = nullptr;
  write_page_index = read_page_index = 0;
  display_page = nullptr;
  display_page_index = 0;
  for (int32_t i = 0; i < reserved_indices; ++i) {
    newimg();
    img[i].valid = 0;
  }
}

img_struct* kx::image_from_handle(int32_t handle) {
  if (handle >= 0 || handle == INT32_MIN || -handle >= nextimg || !img[-handle].valid) {
    error(err::invalid_handle);
    return nullptr;
  }
  return &img[-handle];
}

img_struct* kx::image_or_page(int32_t handle_or_page, int32_t* index) {
  int32_t i;
  if (handle_or_page < 0) {
    if (!image_from_handle(handle_or_page)) return nullptr;
    i = -handle_or_page;
  } else {
    if (!validatepage(handle_or_page)) return nullptr;
    i = page[static_cast<uint64_t>(handle_or_page)];
  }
  if (index) *index = i;
  return &img[i];
}
