#pragma once
// The image table: every image and screen page is a record addressed by an
// index that never moves while the image lives. Programs name images by
// negative handles (-index) and screen pages by non-negative page numbers.
#include <array>
#include <atomic>
#include <cstdint>

#include "screen/images/image_record.h"
#include "values/growable_array.h"

namespace kx {

// Records are kept in blocks that never move, so pointers to images (the
// current pages, the composer's display page) stay valid while the table
// grows on the application thread.
class image_table {
 public:
  static constexpr int32_t block_size = 4096;
  static constexpr int32_t max_blocks = 2048;  // indices stay above SOFTWARE_IMG_HANDLE_MIN

  img_struct& operator[](int32_t index) { return blocks_[index / block_size][index % block_size]; }
  int32_t capacity() const { return block_count_ * block_size; }
  // Adds one zeroed block; false when memory or the index range is exhausted.
  bool grow();
  // The index of a record of this table, or 0 for any other address.
  int32_t index_of(const img_struct* record) const;
  // Zeroes every record, keeping one block.
  void reset();
  ~image_table();

 private:
  std::array<img_struct*, max_blocks> blocks_{};
  int32_t block_count_ = 0;
};

}  // namespace kx

inline constexpr int32_t HARDWARE_IMG_HANDLE_OFFSET = -16777216;
inline constexpr int32_t SOFTWARE_IMG_HANDLE_MIN = -8388608;

// Application thread only, except where noted.
extern kx::image_table img;
extern int32_t nimg;     // records the table holds
extern int32_t nextimg;  // next never-used index
extern kx::growable_array<int32_t> fimg;  // freed indices, most recent on top
extern int32_t nfimg;
extern int32_t lastfimg;  // top of fimg, -1 when empty

// Screen pages: page number -> image index, 0 = not created yet.
extern kx::growable_array<int32_t> page;
extern int32_t pages;

extern img_struct* write_page;  // _DEST: all drawing and printing
extern int32_t write_page_index;
extern img_struct* read_page;  // _SOURCE: POINT, SCREEN(), GET
extern int32_t read_page_index;
// The shown page. Written by the application thread, read by the composer
// on the main-loop thread.
extern std::atomic<img_struct*> display_page;
extern std::atomic<int32_t> display_page_index;

// A valid index (the most recently freed first); 0 after error 502 or 503.
int32_t newimg();
// 1 if the record was valid and is now free, else 0.
int32_t freeimg(int32_t index);

// Start-up: zeroes the table and reserves indices 0 and 1, so no image has
// them and the handle -1 never names an image.
void image_table_init();

namespace kx {

// The image a negative handle names, or null after error 258.
img_struct* image_from_handle(int32_t handle);
// An image handle or a page number, as every statement with an image
// argument takes it: pages are made on demand. Null after an error.
img_struct* image_or_page(int32_t handle_or_page, int32_t* index = nullptr);
// The index of a record of the table.
int32_t image_index(const img_struct* image);

}  // namespace kx
