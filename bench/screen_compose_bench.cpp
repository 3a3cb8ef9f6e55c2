// The composer and PRINT against their baselines: composing an 80 x 25
// text frame with every cell changed and with one cell changed, each
// against a plain copy of the 640 x 400 frame buffer; PRINT of 80-character
// lines into a scrolling 80 x 25 page, in characters per second.
#include <benchmark/benchmark.h>

#include "bench_screen.h"

#include <cstring>
#include <vector>

#include "base/flags.h"
#include "screen/compose/composer.h"
#include "screen/compose/frame_slots.h"
#include "screen/images/image_table.h"
#include "screen/screen_startup.h"
#include "screen/text/print.h"
#include "values/memory_startup.h"
#include "values/string_create.h"
#include "values/string_lists.h"
#include "values/string_release.h"
#include "values/string_startup.h"

namespace {


// What the renderer does with each new frame: shows it, freeing the older.
void renderer_takes() {
  display_frame_record* best = nullptr;
  for (auto& f : display_frame) {
    if (f.state == frame_state::ready && (!best || f.order > best->order)) best = &f;
  }
  if (!best) return;
  for (auto& f : display_frame) {
    if (&f != best && (f.state == frame_state::ready || f.state == frame_state::shown)) f.state = frame_state::free;
  }
  best->state = frame_state::shown;
}

void BM_CopyFrameBuffer640x400(benchmark::State& state) {
  std::vector<uint32_t> from(640 * 400, 0x12345678), to(640 * 400);
  for (auto _ : state) {
    std::memcpy(to.data(), from.data(), from.size() * 4);
    benchmark::DoNotOptimize(to.data());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_CopyFrameBuffer640x400);

void BM_ComposeTextFrameEveryCellChanged(benchmark::State& state) {
  bench::start_screen();
  img_struct& page0 = *display_page.load();
  uint8_t c = 'A';
  for (auto _ : state) {
    c = c == 'Z' ? 'A' : static_cast<uint8_t>(c + 1);  // never what an older frame showed
    for (int i = 0; i < 80 * 25; ++i) kx::set_cell(page0, i, kx::text_cell(c, 0x1E));
    display();
    renderer_takes();
  }
}
BENCHMARK(BM_ComposeTextFrameEveryCellChanged);

void BM_ComposeTextFrameOneCellChanged(benchmark::State& state) {
  bench::start_screen();
  img_struct& page0 = *display_page.load();
  uint8_t c = 'A';
  for (auto _ : state) {
    c = c == 'Z' ? 'A' : static_cast<uint8_t>(c + 1);
    kx::set_cell(page0, 1000, kx::text_cell(c, 0x1E));
    display();
    renderer_takes();
  }
}
BENCHMARK(BM_ComposeTextFrameOneCellChanged);

void BM_PrintScrolling80ColumnLines(benchmark::State& state) {
  bench::start_screen();
  const std::string line(80, 'x');
  int64_t characters = 0;
  for (auto _ : state) {
    const uint32_t mark = kxs_tmp_list_nexti;
    kxs_print(kxs_new_txt_len(line.data(), 80), 1);
    kxs_cleanup(mark, 0);
    characters += 80;
  }
  state.SetItemsProcessed(characters);
}
BENCHMARK(BM_PrintScrolling80ColumnLines);

}  // namespace
