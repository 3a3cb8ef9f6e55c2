#pragma once
// The main-loop thread: the emulated BIOS tick, the vertical retrace, frame
// composition every second pass, and the only orderly road out of the
// process.
#include <cstdint>

[[noreturn]] void MAIN_LOOP();

// The emulated BIOS tick count (18.2 a second, from local midnight) at
// monotonic time now_ms, from the two start-up bases.
uint32_t bios_tick_count(int64_t now_ms, int64_t first_ticks_ms, uint32_t midnight_offset_ms);
