// _MEMGET, _MEMFILL and _MEMCOPY with any offsets and sizes over two blocks
// of exactly their own size (so AddressSanitizer sees any byte outside).
// Each access must be refused exactly when its range leaves its block,
// with the right error, and an allowed one must do what a plain model of
// the bytes does.
#include <cstdlib>
#include <cstring>
#include <vector>

#include "fuzz_input.h"
#include "values/mem_blocks.h"

namespace {

// Whether first .. first + count lies inside the block, in exact arithmetic.
bool inside(const mem_block& m, intptr_t first, intptr_t count) {
  const __int128 start = m.offset, end = static_cast<__int128>(m.offset) + m.size;
  return count >= 0 && first >= start && static_cast<__int128>(first) + count <= end;
}

// An offset near the block (the usual case) or anywhere at all.
intptr_t offset_for(fuzz_input& in, const mem_block& m) {
  const auto raw = in.take<int64_t>();
  if (in.take<uint8_t>() & 1) return static_cast<intptr_t>(raw);
  return m.offset + static_cast<intptr_t>(raw % 80);
}
intptr_t size_for(fuzz_input& in) {
  const auto raw = in.take<int64_t>();
  return (in.take<uint8_t>() & 1) ? static_cast<intptr_t>(raw) : static_cast<intptr_t>(raw % 80);
}

uint8_t* at(intptr_t address) { return reinterpret_cast<uint8_t*>(address); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz_runtime_once();
  fuzz_input in(data, size);
  new_error = 0;
  mem_block blocks[2] = {func__memnew(1 + in.take<uint8_t>() % 64), func__memnew(in.take<uint8_t>() % 64)};
  std::vector<uint8_t> model[2];
  for (int b = 0; b < 2; ++b) {
    model[b].assign(static_cast<size_t>(blocks[b].size), 0);
    if (blocks[b].size) std::memset(at(blocks[b].offset), 0, static_cast<size_t>(blocks[b].size));
  }
  for (int step = 0; step < 16 && in.left(); ++step) {
    const uint8_t op = in.take<uint8_t>();
    const int b = op >> 7, other = 1 - b;
    mem_block& m = blocks[b];
    const intptr_t offset = offset_for(in, m);
    switch (op % 3) {
      case 0: {
        // Reads are of a type's size: the scratch must be allocatable.
        const intptr_t count = in.take<uint8_t>() % 40;
        const auto* p = static_cast<const uint8_t*>(func__memget(&m, offset, count));
        const bool ok = inside(m, offset, count);
        fuzz_check((new_error == 0) == ok);
        fuzz_check(ok || new_error == err::memory_region_out_of_range);
        for (intptr_t i = 0; i < count; ++i)
          fuzz_check(p[i] == (ok ? model[b][static_cast<size_t>(offset - m.offset + i)] : 0));
        break;
      }
      case 1: {
        const intptr_t count = size_for(in);
        const uint8_t source[3] = {in.take<uint8_t>(), in.take<uint8_t>(), in.take<uint8_t>()};
        const intptr_t source_size = in.take<uint8_t>() % 4;
        sub__memfill(&m, offset, count, source, source_size);
        uint32_t expected = 0;
        if (count < 0 || source_size == 0) expected = err::invalid_size;
        else if (!inside(m, offset, count)) expected = err::memory_region_out_of_range;
        fuzz_check(new_error == expected);
        if (!expected) {
          for (intptr_t i = 0; i < count; ++i)
            model[b][static_cast<size_t>(offset - m.offset + i)] = source[i % source_size];
        }
        break;
      }
      default: {
        const mem_block& d = (op & 8) ? blocks[other] : m;
        const int db = (op & 8) ? other : b;
        const intptr_t dest_offset = offset_for(in, d);
        const intptr_t count = size_for(in);
        sub__memcopy(&m, offset, count, &d, dest_offset);
        const bool s_in = inside(m, offset, count), d_in = inside(d, dest_offset, count);
        uint32_t expected = 0;
        if (count < 0) expected = err::invalid_size;
        else if (!s_in && !d_in) expected = err::source_and_destination_memory_regions_out_of_range;
        else if (!s_in) expected = err::source_memory_region_out_of_range;
        else if (!d_in) expected = err::destination_memory_region_out_of_range;
        fuzz_check(new_error == expected);
        if (!expected && count > 0) {
          const std::vector<uint8_t> moved(model[b].begin() + (offset - m.offset),
                                           model[b].begin() + (offset - m.offset + count));
          std::copy(moved.begin(), moved.end(), model[db].begin() + (dest_offset - d.offset));
        }
        break;
      }
    }
    new_error = 0;
    for (int k = 0; k < 2; ++k) {
      if (blocks[k].size) fuzz_check(std::memcmp(at(blocks[k].offset), model[k].data(), model[k].size()) == 0);
    }
  }
  for (auto& m : blocks) sub__memfree(&m);
  fuzz_check(new_error == 0);
  return 0;
}
