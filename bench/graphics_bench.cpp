// The graphics primitives against plain code doing the same work: a
// full-screen BF box in SCREEN 13 and on a 640 x 480 32-bit page against
// memset of the same bytes; PAINT of the whole 640 x 480 screen against a
// breadth-first flood fill over a byte array; 10,000 random LINEs against
// the same lines drawn by a plain Bresenham over the buffer.
#include <benchmark/benchmark.h>

#include "bench_screen.h"

#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

#include "base/error.h"
#include "base/flags.h"
#include "screen/graphics/box_fill.h"
#include "screen/graphics/lines.h"
#include "screen/graphics/paint.h"
#include "screen/images/image_create.h"
#include "screen/images/image_statements.h"
#include "screen/images/image_table.h"
#include "screen/images/screen_modes.h"
#include "screen/screen_startup.h"
#include "values/memory_startup.h"
#include "values/string_startup.h"

namespace {


// The screen in the given mode with page 0 as destination and source:
// SCREEN with the mode already current changes nothing, so _DEST may still
// name an image that an earlier benchmark drew on.
void screen_mode(int32_t mode) {
  bench::start_screen();
  kxg_screen(mode, 0, 0, 0, 1);
  sub__dest(0);
  sub__source(0);
}

// Ends the benchmark with an error unless every pixel of the whole write
// page holds the colour: a box or PAINT that drew somewhere else, or not at
// all, must not give a figure.
void expect_page_filled(benchmark::State& state, int32_t width, int32_t height, int32_t bytes, uint32_t colour) {
  const img_struct& page = *write_page;
  bool filled = page.width == width && page.height == height && page.bytes_per_pixel == bytes;
  for (int64_t p = 0; filled && p < int64_t(width) * height; ++p) {
    filled = bytes == 1 ? page.data[p] == colour : kx::pixels32(page)[p] == colour;
  }
  if (!filled) state.SkipWithError("the write page does not hold what was drawn");
}

void page32() {
  bench::start_screen();
  static int32_t handle = 0;
  if (!handle) handle = func__newimage(640, 480, 32, 1);
  sub__dest(handle);
  sub__source(handle);
}

// ---- BF box against memset ----

void BM_MemsetScreen13(benchmark::State& state) {
  std::vector<uint8_t> buffer(320 * 200);
  int c = 0;
  for (auto _ : state) {
    std::memset(buffer.data(), ++c & 15, buffer.size());
    benchmark::DoNotOptimize(buffer.data());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_MemsetScreen13);

void BM_BoxFillScreen13(benchmark::State& state) {
  screen_mode(13);
  uint32_t c = 0;
  for (auto _ : state) {
    sub_line(0, 0, 319, 199, ++c & 15, 2, 0, 1 | 8);
    benchmark::DoNotOptimize(write_page->data);
    benchmark::ClobberMemory();
  }
  expect_page_filled(state, 320, 200, 1, c & 15);
}
BENCHMARK(BM_BoxFillScreen13);

void BM_Memset32BitPage(benchmark::State& state) {
  std::vector<uint8_t> buffer(640 * 480 * 4);
  int c = 0;
  for (auto _ : state) {
    std::memset(buffer.data(), ++c & 0xFF, buffer.size());
    benchmark::DoNotOptimize(buffer.data());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_Memset32BitPage);

void BM_BoxFill32BitPage(benchmark::State& state) {
  page32();
  uint32_t c = 0;
  for (auto _ : state) {
    sub_line(0, 0, 639, 479, 0xFF000000u | (++c & 0xFFFFFF), 2, 0, 1 | 8);
    benchmark::DoNotOptimize(write_page->data);
    benchmark::ClobberMemory();
  }
  expect_page_filled(state, 640, 480, 4, 0xFF000000u | (c & 0xFFFFFF));
}
BENCHMARK(BM_BoxFill32BitPage);

// ---- PAINT against a plain breadth-first flood ----

// The reference: a queue of pixel offsets, four neighbours each, a byte
// array as both picture and border test.
void plain_flood(std::vector<uint8_t>& pixels, std::vector<uint32_t>& queue, int32_t w, int32_t h, uint8_t fill,
                 uint8_t border) {
  size_t head = 0, tail = 0;
  auto visit = [&](uint32_t p) {
    if (pixels[p] != border && pixels[p] != fill) {
      pixels[p] = fill;
      queue[tail++] = p;
    }
  };
  visit(uint32_t(h / 2) * w + w / 2);
  while (head < tail) {
    const uint32_t p = queue[head++];
    const int32_t x = int32_t(p % w), y = int32_t(p / w);
    if (x > 0) visit(p - 1);
    if (x < w - 1) visit(p + 1);
    if (y > 0) visit(p - w);
    if (y < h - 1) visit(p + w);
  }
}

void BM_PlainFloodFill640x480(benchmark::State& state) {
  std::vector<uint8_t> pixels(640 * 480);
  std::vector<uint32_t> queue(pixels.size());
  uint8_t fill = 1;
  for (auto _ : state) {
    fill = fill == 1 ? 2 : 1;  // every pass refills the whole picture
    plain_flood(pixels, queue, 640, 480, fill, 15);
    benchmark::DoNotOptimize(pixels.data());
  }
}
BENCHMARK(BM_PlainFloodFill640x480);

void BM_PaintWholeScreen640x480(benchmark::State& state) {
  screen_mode(12);
  sub_line(0, 0, 639, 479, 0, 2, 0, 1 | 8);  // no border colour left from another benchmark
  uint32_t fill = 1;
  for (auto _ : state) {
    fill = fill == 1 ? 2 : 1;
    // Border 15 appears nowhere: the whole screen is the region.
    sub_paint(320, 240, fill, 15u, nullptr, 2 | 4);
    benchmark::DoNotOptimize(write_page->data);
  }
  expect_page_filled(state, 640, 480, 1, fill);
}
BENCHMARK(BM_PaintWholeScreen640x480);

// ---- random LINEs against a plain Bresenham ----

struct segment {
  int32_t x1, y1, x2, y2;
};

const std::vector<segment>& random_segments() {
  static const std::vector<segment> lines = [] {
    std::mt19937 random(1234);
    std::uniform_int_distribution<int32_t> x(0, 639), y(0, 479);
    std::vector<segment> v(10000);
    for (auto& s : v) s = {x(random), y(random), x(random), y(random)};
    return v;
  }();
  return lines;
}

void bresenham(uint8_t* pixels, int32_t width, segment s, uint8_t colour) {
  const int32_t dx = std::abs(s.x2 - s.x1), dy = -std::abs(s.y2 - s.y1);
  const int32_t sx = s.x1 < s.x2 ? 1 : -1, sy = s.y1 < s.y2 ? 1 : -1;
  int32_t error = dx + dy, x = s.x1, y = s.y1;
  for (;;) {
    pixels[size_t(y) * width + x] = colour;
    if (x == s.x2 && y == s.y2) return;
    const int32_t e2 = 2 * error;
    if (e2 >= dy) {
      error += dy;
      x += sx;
    }
    if (e2 <= dx) {
      error += dx;
      y += sy;
    }
  }
}

void BM_PlainBresenham10000Lines(benchmark::State& state) {
  std::vector<uint8_t> pixels(640 * 480);
  const auto& lines = random_segments();
  uint8_t c = 0;
  for (auto _ : state) {
    ++c;
    for (const segment& s : lines) bresenham(pixels.data(), 640, s, c & 15);
    benchmark::DoNotOptimize(pixels.data());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_PlainBresenham10000Lines);

void BM_Line10000RandomLines(benchmark::State& state) {
  screen_mode(12);
  const auto& lines = random_segments();
  uint32_t c = 0;
  for (auto _ : state) {
    ++c;
    for (const segment& s : lines) {
      sub_line(float(s.x1), float(s.y1), float(s.x2), float(s.y2), c & 15, 0, 0, 1 | 8);
    }
    benchmark::DoNotOptimize(write_page->data);
    benchmark::ClobberMemory();
  }
  const img_struct& page = *write_page;
  const segment last = lines.back();
  if (page.width != 640 || page.height != 480 || page.bytes_per_pixel != 1 ||
      page.data[size_t(last.y2) * 640 + last.x2] != (c & 15)) {
    state.SkipWithError("the lines were not drawn on the SCREEN 12 page");
  }
}
BENCHMARK(BM_Line10000RandomLines);

}  // namespace
