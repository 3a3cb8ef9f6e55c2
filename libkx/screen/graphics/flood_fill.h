#pragma once
// The floods under PAINT, over any pixel buffer. span_fill fills whole runs
// of a row at a time and serves the numeric PAINTs; flood_fill, breadth
// first, serves the tiled one. Both fill the same region, the 4-connected
// pixels that do not stop the fill around the start, each pixel written
// once, so a numeric PAINT leaves the same picture by either.
//
// flood_fill: two frontier
// queues alternate: each pass visits the neighbours of every pixel the
// previous pass filled, so the region grows in rings from the start pixel.
// A done map (one byte per pixel) lets each pixel be examined once, so a
// fill that does not change a pixel's colour (a translucent one) still ends.
// Coordinates are 32-bit and sizes 64-bit; the queues grow as the frontier
// does, and exhausted memory is the critical error of PAINT's storage.
#include <cstdint>
#include <cstring>
#include <utility>

#include "base/error_numbers.h"
#include "values/growable_array.h"
#include "values/out_of_memory.h"

namespace kx {

// Direction bits of a frontier entry: the sides still to look at.
inline constexpr uint8_t paint_left = 1, paint_right = 2, paint_up = 4, paint_down = 8;

struct paint_entry {
  int32_t x, y;
  uint8_t mask;
};

// The inclusive pixel rectangle the fill may not leave.
struct paint_bounds {
  int32_t left, top, right, bottom;
};

// Work storage, allocated on first use and kept for the process's life so
// that a fill allocates nothing once it has grown to the largest frontier.
struct paint_storage {
  growable_array<paint_entry> queue[2];
  growable_array<uint8_t> done;
};
paint_storage& paint_work();

// Grows an array to at least n elements or ends the process.
template <class T>
void paint_reserve(growable_array<T>& array, uint64_t n) {
  if (array.capacity() >= n) return;
  uint64_t size = array.capacity() ? array.capacity() : 65536;
  while (size < n) size *= 2;
  if (!array.resize(size)) out_of_memory(err::out_of_memory_paint);
}

// Fills the 4-connected region of (x, y) inside bounds on an image of the
// given width. stops(x, y) tells a pixel the fill may not enter (examined
// once per pixel); fill(x, y) writes one. The start pixel must lie inside
// bounds and not stop the fill.
template <class Stops, class Fill>
void flood_fill(uint64_t width, const paint_bounds& bounds, int32_t x, int32_t y, Stops stops, Fill fill) {
  paint_storage& work = paint_work();
  const uint64_t map_bytes = (uint64_t(bounds.bottom) + 1) * width;
  paint_reserve(work.done, map_bytes < 640 * 480 ? 640 * 480 : map_bytes);
  paint_reserve(work.queue[0], 1);
  paint_reserve(work.queue[1], 1);
  uint8_t* done = work.done.data();
  int current = 0;
  uint64_t count = 1;
  work.queue[0][0] = {x, y, paint_left | paint_right | paint_up | paint_down};
  done[uint64_t(y) * width + uint64_t(x)] = 1;
  fill(x, y);
  while (count) {
    growable_array<paint_entry>& from = work.queue[current];
    growable_array<paint_entry>& to = work.queue[current ^ 1];
    uint64_t added = 0;
    auto visit = [&](int32_t nx, int32_t ny, uint8_t mask) {
      uint8_t& mark = done[uint64_t(ny) * width + uint64_t(nx)];
      if (mark) return;
      mark = 1;
      if (stops(nx, ny)) return;
      fill(nx, ny);
      if (added == to.capacity()) paint_reserve(to, added + 1);
      to[added++] = {nx, ny, mask};
    };
    for (uint64_t i = 0; i < count; ++i) {
      const paint_entry e = from[i];
      if ((e.mask & paint_left) && e.x - 1 >= bounds.left) visit(e.x - 1, e.y, paint_left | paint_up | paint_down);
      if ((e.mask & paint_right) && e.x + 1 <= bounds.right) visit(e.x + 1, e.y, paint_right | paint_up | paint_down);
      if ((e.mask & paint_up) && e.y - 1 >= bounds.top) visit(e.x, e.y - 1, paint_left | paint_right | paint_up);
      if ((e.mask & paint_down) && e.y + 1 <= bounds.bottom) visit(e.x, e.y + 1, paint_left | paint_right | paint_down);
    }
    current ^= 1;
    count = added;
  }
  // Only rows inside the bounds were marked.
  const uint64_t first = uint64_t(bounds.top) * width;
  std::memset(done + first, 0, map_bytes - first);
}

// Fills the same region as flood_fill, a run of a row at a time: the run
// through a seed is widened left and right to the first pixel that is done
// or stops the fill, filled with fill_span(x1, x2, y), and every run of
// open pixels above and below it becomes a seed. Each pixel is filled once
// and, not being done before, still holds its first colour when stops()
// looks at it; a pixel that stops the fill may be looked at more than once.
template <class Stops, class FillSpan>
void span_fill(uint64_t width, const paint_bounds& bounds, int32_t x, int32_t y, Stops stops, FillSpan fill_span) {
  paint_storage& work = paint_work();
  const uint64_t map_bytes = (uint64_t(bounds.bottom) + 1) * width;
  paint_reserve(work.done, map_bytes < 640 * 480 ? 640 * 480 : map_bytes);
  growable_array<paint_entry>& seeds = work.queue[0];
  paint_reserve(seeds, 1);
  uint8_t* done = work.done.data();
  uint64_t count = 0;
  auto push = [&](int32_t sx, int32_t sy) {
    if (count == seeds.capacity()) paint_reserve(seeds, count + 1);
    seeds[count++] = {sx, sy, 0};
  };
  // Seeds every run of open pixels of row ny between x1 and x2.
  auto seed_row = [&](int32_t x1, int32_t x2, int32_t ny) {
    const uint8_t* row = done + uint64_t(ny) * width;
    for (int32_t i = x1; i <= x2; ++i) {
      if (row[i] || stops(i, ny)) continue;
      push(i, ny);
      while (i + 1 <= x2 && !row[i + 1] && !stops(i + 1, ny)) ++i;
    }
  };
  push(x, y);
  while (count) {
    const paint_entry e = seeds[--count];
    uint8_t* row = done + uint64_t(e.y) * width;
    if (row[e.x]) continue;
    int32_t left = e.x, right = e.x;
    while (left - 1 >= bounds.left && !row[left - 1] && !stops(left - 1, e.y)) --left;
    while (right + 1 <= bounds.right && !row[right + 1] && !stops(right + 1, e.y)) ++right;
    std::memset(row + left, 1, size_t(right - left) + 1);
    fill_span(left, right, e.y);
    if (e.y - 1 >= bounds.top) seed_row(left, right, e.y - 1);
    if (e.y + 1 <= bounds.bottom) seed_row(left, right, e.y + 1);
  }
  const uint64_t first = uint64_t(bounds.top) * width;
  std::memset(done + first, 0, map_bytes - first);
}

}  // namespace kx
