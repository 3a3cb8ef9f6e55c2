// _MEMFILL and _MEMCOPY: the checks that keep every write inside its block,
// and the moves themselves.
#include <cstring>

#include "base/error.h"
#include "values/mem_blocks.h"

namespace {

// Fills count bytes at to with the source repeated. The first copy comes
// from the source; every later one doubles what is already in place.
void fill_repeated(uint8_t* to, uint64_t count, const uint8_t* source, uint64_t source_size) {
  if (count == 0) return;
  if (source_size == 1) {
    std::memset(to, source[0], count);
    return;
  }
  uint64_t done = source_size < count ? source_size : count;
  std::memcpy(to, source, done);
  while (done < count) {
    const uint64_t step = done < count - done ? done : count - done;
    std::memcpy(to + done, to, step);
    done += step;
  }
}

template <class T>
void fill_with(const mem_block* m, intptr_t offset, intptr_t size, T value) {
  sub__memfill(m, offset, size, &value, sizeof value);
}

template <class T>
void fill_with_nochecks(intptr_t offset, intptr_t size, T value) {
  sub__memfill_nochecks(offset, size, &value, sizeof value);
}

// _FLOAT's scratch: the value's bytes, zero-padded.
struct float_scratch {
  uint8_t bytes[kx::mem_float_bytes] = {};
  explicit float_scratch(kx_float value) {
    static_assert(sizeof value <= kx::mem_float_bytes);
    std::memcpy(bytes, &value, sizeof value);
  }
};

}  // namespace

void sub__memfill_nochecks(intptr_t offset, intptr_t size, const void* source, intptr_t source_size) {
  if (size <= 0 || source_size <= 0) return;
  fill_repeated(reinterpret_cast<uint8_t*>(offset), static_cast<uint64_t>(size), static_cast<const uint8_t*>(source),
                static_cast<uint64_t>(source_size));
}

void sub__memfill(const mem_block* m, intptr_t offset, intptr_t size, const void* source, intptr_t source_size) {
  if (new_error) return;
  if (!m->lock) return error(err::memory_not_initialized);
  if (!kx::mem_lock_current(*m)) return error(err::memory_freed);
  if (size < 0 || source_size <= 0) return error(err::invalid_size);
  if (!kx::mem_range_inside(*m, offset, size)) return error(err::memory_region_out_of_range);
  sub__memfill_nochecks(offset, size, source, source_size);
}

void sub__memfill_1(const mem_block* m, intptr_t offset, intptr_t size, int8_t value) { fill_with(m, offset, size, value); }
void sub__memfill_2(const mem_block* m, intptr_t offset, intptr_t size, int16_t value) { fill_with(m, offset, size, value); }
void sub__memfill_4(const mem_block* m, intptr_t offset, intptr_t size, int32_t value) { fill_with(m, offset, size, value); }
void sub__memfill_8(const mem_block* m, intptr_t offset, intptr_t size, int64_t value) { fill_with(m, offset, size, value); }
void sub__memfill_SINGLE(const mem_block* m, intptr_t offset, intptr_t size, float value) {
  fill_with(m, offset, size, value);
}
void sub__memfill_DOUBLE(const mem_block* m, intptr_t offset, intptr_t size, double value) {
  fill_with(m, offset, size, value);
}
void sub__memfill_OFFSET(const mem_block* m, intptr_t offset, intptr_t size, intptr_t value) {
  fill_with(m, offset, size, value);
}
void sub__memfill_FLOAT(const mem_block* m, intptr_t offset, intptr_t size, kx_float value) {
  const float_scratch scratch(value);
  sub__memfill(m, offset, size, scratch.bytes, kx::mem_float_bytes);
}

void sub__memfill_nochecks_1(intptr_t offset, intptr_t size, int8_t value) { fill_with_nochecks(offset, size, value); }
void sub__memfill_nochecks_2(intptr_t offset, intptr_t size, int16_t value) { fill_with_nochecks(offset, size, value); }
void sub__memfill_nochecks_4(intptr_t offset, intptr_t size, int32_t value) { fill_with_nochecks(offset, size, value); }
void sub__memfill_nochecks_8(intptr_t offset, intptr_t size, int64_t value) { fill_with_nochecks(offset, size, value); }
void sub__memfill_nochecks_SINGLE(intptr_t offset, intptr_t size, float value) {
  fill_with_nochecks(offset, size, value);
}
void sub__memfill_nochecks_DOUBLE(intptr_t offset, intptr_t size, double value) {
  fill_with_nochecks(offset, size, value);
}
void sub__memfill_nochecks_OFFSET(intptr_t offset, intptr_t size, intptr_t value) {
  fill_with_nochecks(offset, size, value);
}
void sub__memfill_nochecks_FLOAT(intptr_t offset, intptr_t size, kx_float value) {
  const float_scratch scratch(value);
  sub__memfill_nochecks(offset, size, scratch.bytes, kx::mem_float_bytes);
}

void sub__memcopy(const mem_block* source, intptr_t source_offset, intptr_t size, const mem_block* dest,
                  intptr_t dest_offset) {
  if (new_error) return;
  const bool source_locked = source->lock != nullptr, dest_locked = dest->lock != nullptr;
  if (!source_locked && !dest_locked) return error(err::source_and_destination_memory_not_initialized);
  if (!source_locked) return error(err::source_memory_not_initialized);
  if (!dest_locked) return error(err::destination_memory_not_initialized);
  const bool source_current = kx::mem_lock_current(*source), dest_current = kx::mem_lock_current(*dest);
  if (!source_current && !dest_current) return error(err::source_and_destination_memory_freed);
  if (!source_current) return error(err::source_memory_freed);
  if (!dest_current) return error(err::destination_memory_freed);
  if (size < 0) return error(err::invalid_size);
  const bool source_inside = kx::mem_range_inside(*source, source_offset, size);
  const bool dest_inside = kx::mem_range_inside(*dest, dest_offset, size);
  if (!source_inside && !dest_inside) return error(err::source_and_destination_memory_regions_out_of_range);
  if (!source_inside) return error(err::source_memory_region_out_of_range);
  if (!dest_inside) return error(err::destination_memory_region_out_of_range);
  if (size > 0) std::memmove(reinterpret_cast<void*>(dest_offset), reinterpret_cast<const void*>(source_offset),
                             static_cast<size_t>(size));
}
