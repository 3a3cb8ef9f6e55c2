#pragma once
// Releasing strings, one by one or as a statement's temporaries.
#include <cstdint>

#include "values/string_descriptor.h"

// Set by the file layer: detaches a string from its FIELD and releases the
// link record. While unset, a field link is simply dropped.
inline void (*kxs_field_link_detach)(kxs* s) = nullptr;

// Releases the descriptor, its temporary slot and its pool slot.
void kxs_free(kxs* s);

namespace kx {
// Frees every temporary at or above mark (never slot 0).
void sweep_temporaries(uint32_t mark);
}  // namespace kx

// Sweeps the temporaries of a statement and passes value through unchanged,
// so compiled code can wrap a condition or result that used temporaries.
template <class T>
T kxs_cleanup(uint32_t mark, T value) {
  kx::sweep_temporaries(mark);
  return value;
}
