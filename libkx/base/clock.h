#pragma once
// The runtime's only time primitives.
#include <cstdint>

// One nanosleep of ms milliseconds, not resumed when interrupted; Sleep(0)
// yields the processor.
void Sleep(uint32_t ms);

// Milliseconds of the monotonic clock.
int64_t GetTicks();
