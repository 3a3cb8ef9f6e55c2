// Image copies against plain code doing the same work: _PUTIMAGE 1:1 of a
// 640 x 480 32-bit image against memcpy, with alpha blending against a
// plain loop applying the blend formula, and GET followed by PUT of a
// 320 x 200 region in SCREEN 13 against memcpy of its rows out and back.
#include <benchmark/benchmark.h>

#include "bench_screen.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "base/flags.h"
#include "screen/copy/graphics_get_put.h"
#include "screen/copy/putimage.h"
#include "screen/images/blend.h"
#include "screen/images/image_statements.h"
#include "screen/images/image_table.h"
#include "screen/images/screen_modes.h"
#include "screen/screen_startup.h"
#include "values/byte_element.h"
#include "values/memory_startup.h"
#include "values/string_startup.h"

namespace {

constexpr int32_t w = 640, h = 480;


// A destination page and a source image of 640 x 480 32-bit pixels, all of
// the given alpha.
struct images32 {
  int32_t dst, src;
};
images32 make_images(uint32_t alpha) {
  bench::start_screen();
  images32 i{func__newimage(w, h, 32, 1), func__newimage(w, h, 32, 1)};
  uint32_t* s = kx::pixels32(img[-i.src]);
  uint32_t* d = kx::pixels32(img[-i.dst]);
  for (int32_t p = 0; p < w * h; ++p) {
    s[p] = alpha << 24 | uint32_t(p * 2654435761u) >> 8;
    d[p] = 0xFF000000u | uint32_t(p * 40503u) >> 8;
  }
  return i;
}

void BM_Memcpy640x480x32(benchmark::State& state) {
  std::vector<uint32_t> from(w * h, 0xFF123456u), to(w * h);
  for (auto _ : state) {
    std::memcpy(to.data(), from.data(), from.size() * 4);
    benchmark::DoNotOptimize(to.data());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_Memcpy640x480x32);

// _PUTIMAGE of the whole source at (0, 0) of the destination, again and
// again.
void put_whole(const images32& i) {
  sub__putimage(0, 0, 0, 0, i.src, i.dst, 0, 0, 0, 0, putimage_dest_first | putimage_source_image | putimage_dest_image);
}

void put_repeatedly(benchmark::State& state, uint32_t alpha) {
  const images32 i = make_images(alpha);
  uint32_t* d = kx::pixels32(img[-i.dst]);
  const uint32_t* s = kx::pixels32(img[-i.src]);
  const std::vector<uint32_t> before(d, d + w * h);
  for (auto _ : state) {
    put_whole(i);
    benchmark::DoNotOptimize(img[-i.dst].data);
    benchmark::ClobberMemory();
  }
  // One more copy onto the destination as it first was must give the
  // blend of every pixel pair.
  std::copy(before.begin(), before.end(), d);
  put_whole(i);
  for (int32_t p = 0; p < w * h; ++p) {
    if (d[p] != kx::blend_pixel(before[p], s[p])) {
      state.SkipWithError("_PUTIMAGE did not give the blend of source and destination");
      break;
    }
  }
  sub__freeimage(i.src, 1);
  sub__freeimage(i.dst, 1);
}

void BM_PutImage1to1Opaque640x480x32(benchmark::State& state) { put_repeatedly(state, 255); }
BENCHMARK(BM_PutImage1to1Opaque640x480x32);

// The baseline: the blend formula itself in a plain loop over the whole
// image, each channel d * (255 - a) + s * a rounded to the nearest
// 255th, the alpha 255 - (255 - a)(255 - b) the same way.
void BM_PlainAlphaBlendLoop640x480(benchmark::State& state) {
  const images32 i = make_images(100);
  const uint32_t* s = kx::pixels32(img[-i.src]);
  uint32_t* d = kx::pixels32(img[-i.dst]);
  for (auto _ : state) {
    for (int32_t p = 0; p < w * h; ++p) {
      const uint32_t a = s[p] >> 24, old = d[p];
      uint32_t out = (255 - ((255 - (old >> 24)) * (255 - a) + 127) / 255) << 24;
      for (int shift = 0; shift <= 16; shift += 8) {
        const uint32_t sc = (s[p] >> shift) & 0xFF, dc = (old >> shift) & 0xFF;
        out |= ((dc * (255 - a) + sc * a + 127) / 255) << shift;
      }
      d[p] = out;
    }
    benchmark::DoNotOptimize(d);
    benchmark::ClobberMemory();
  }
  sub__freeimage(i.src, 1);
  sub__freeimage(i.dst, 1);
}
BENCHMARK(BM_PlainAlphaBlendLoop640x480);

void BM_PutImage1to1Blended640x480x32(benchmark::State& state) { put_repeatedly(state, 100); }
BENCHMARK(BM_PutImage1to1Blended640x480x32);

void BM_MemcpyRowsOutAndBack320x200(benchmark::State& state) {
  std::vector<uint8_t> screen(320 * 200, 7), rows(320 * 200);
  for (auto _ : state) {
    for (int y = 0; y < 200; ++y) std::memcpy(rows.data() + y * 320, screen.data() + y * 320, 320);
    for (int y = 0; y < 200; ++y) std::memcpy(screen.data() + y * 320, rows.data() + y * 320, 320);
    benchmark::DoNotOptimize(screen.data());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_MemcpyRowsOutAndBack320x200);

void BM_GetThenPut320x200Screen13(benchmark::State& state) {
  bench::start_screen();
  kxg_screen(13, 0, 0, 0, 1);
  sub__dest(0);  // SCREEN with the mode already current leaves both where they were
  sub__source(0);
  std::vector<uint8_t> array(4 + 320 * 200);
  byte_element_struct bytes{reinterpret_cast<uint64_t>(array.data()), int32_t(array.size())};
  for (auto _ : state) {
    sub_graphics_get(&bytes, 0, 0, 0, 0, 319, 199);
    sub_graphics_put(&bytes, 1, 0, 0, 0, 0);
    benchmark::DoNotOptimize(write_page->data);
    benchmark::ClobberMemory();
  }
  if (write_page->width != 320 || write_page->height != 200 || write_page->bytes_per_pixel != 1) {
    state.SkipWithError("GET and PUT did not work on the SCREEN 13 page");
  }
}
BENCHMARK(BM_GetThenPut320x200Screen13);

}  // namespace
