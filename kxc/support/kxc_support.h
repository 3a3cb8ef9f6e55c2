#pragma once
// What translated programs share beyond the runtime's entry points: the
// dialect's arithmetic (overflow is error 6, a division by zero error 11,
// conversions to integers round to nearest with ties to even), the routine
// frame that restores the runtime's marks on the way out, PRINT's number
// form, and the jump that RESUME with a target makes across procedures.
// Generated code includes this header; the runtime never does.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <limits>
#include <type_traits>

#include "base/error.h"
#include "base/flags.h"
#include "frame/statement_check.h"
#include "screen/text/print.h"
#include "screen/images/color_statements.h"
#include "values/array_dimension.h"
#include "values/arrays.h"
#include "values/byte_element.h"
#include "values/conventional_memory.h"
#include "values/hex_oct.h"
#include "values/math_functions.h"
#include "values/mem_blocks.h"
#include "values/mem_lock.h"
#include "values/number_to_text.h"
#include "values/rounding.h"
#include "values/static_pool.h"
#include "values/string_assign.h"
#include "values/string_create.h"
#include "values/string_extract.h"
#include "values/string_lists.h"
#include "values/string_release.h"

namespace kxc {

// The statement check's test and the pending error's test. The application
// thread only polls these flags (other threads set kxevent and then its
// own flag), so a plain load serves, and lets the compiler keep the
// program's variables in registers across it.
[[gnu::always_inline]] inline bool event_pending() { return kxevent.load(std::memory_order_relaxed) != 0; }
[[gnu::always_inline]] inline bool failed() { return new_error.load(std::memory_order_relaxed) != 0; }

// ---- overflow and conversions -------------------------------------------------

[[gnu::cold, gnu::noinline]] inline int64_t overflowed() {
  error(err::overflow);
  return 0;
}

// An integer result checked against the range of T.
template <typename T>
[[gnu::always_inline]] inline T fit(int64_t v) {
  if (v < static_cast<int64_t>(std::numeric_limits<T>::min()) ||
      v > static_cast<int64_t>(std::numeric_limits<T>::max())) [[unlikely]] {
    return static_cast<T>(overflowed());
  }
  return static_cast<T>(v);
}
template <>
inline int64_t fit<int64_t>(int64_t v) { return v; }
template <>
inline uint64_t fit<uint64_t>(int64_t v) { return static_cast<uint64_t>(v); }

// A value of any type stored into T: floating values round to nearest, ties
// to even; anything out of T's range is error 6.
template <typename T, typename S>
[[gnu::always_inline]] inline T to(S v) {
  if constexpr (std::is_floating_point_v<T>) {
    return static_cast<T>(v);
  } else if constexpr (std::is_floating_point_v<S>) {
    const long double x = static_cast<long double>(v);
    if constexpr (std::is_same_v<T, uint64_t>) {
      if (!(x > -0.5L && x < 18446744073709551615.5L)) return static_cast<T>(overflowed());
      return static_cast<T>(kxr(x));
    } else {
      if (!(x >= static_cast<long double>(std::numeric_limits<T>::min()) - 0.5L &&
            x < static_cast<long double>(std::numeric_limits<T>::max()) + 0.5L)) [[unlikely]] {
        return static_cast<T>(overflowed());
      }
      const int64_t r = static_cast<int64_t>(std::nearbyint(x));
      return fit<T>(r);
    }
  } else if constexpr (std::is_same_v<S, uint64_t>) {
    if constexpr (std::is_same_v<T, uint64_t>) return v;
    if (v > static_cast<uint64_t>(std::numeric_limits<T>::max())) return static_cast<T>(overflowed());
    return static_cast<T>(v);
  } else {
    return fit<T>(static_cast<int64_t>(v));
  }
}

// Integer operations of type T, worked in 64 bits and checked.
template <typename T>
[[gnu::always_inline]] inline T add(T a, T b) {
  if constexpr (sizeof(T) < 8) {
    return fit<T>(int64_t{a} + int64_t{b});
  } else {
    T r;
    if (__builtin_add_overflow(a, b, &r)) [[unlikely]] return static_cast<T>(overflowed());
    return r;
  }
}
template <typename T>
[[gnu::always_inline]] inline T sub(T a, T b) {
  if constexpr (sizeof(T) < 8) {
    return fit<T>(int64_t{a} - int64_t{b});
  } else {
    T r;
    if (__builtin_sub_overflow(a, b, &r)) [[unlikely]] return static_cast<T>(overflowed());
    return r;
  }
}
template <typename T>
[[gnu::always_inline]] inline T mul(T a, T b) {
  if constexpr (sizeof(T) < 8) {
    return fit<T>(int64_t{a} * int64_t{b});
  } else {
    T r;
    if (__builtin_mul_overflow(a, b, &r)) [[unlikely]] return static_cast<T>(overflowed());
    return r;
  }
}
template <typename T>
[[gnu::always_inline]] inline T neg(T a) {
  if constexpr (std::is_floating_point_v<T>) {
    return -a;
  } else {
    return sub<T>(T{0}, a);
  }
}

[[gnu::cold, gnu::noinline]] inline int64_t divided_by_zero() {
  error_division_by_zero_in_expression();
  return 0;
}

// a / b in floating point.
template <typename T>
[[gnu::always_inline]] inline T divide(T a, T b) {
  if (b == 0) [[unlikely]] return static_cast<T>(divided_by_zero());
  return a / b;
}
// a \ b and a MOD b on integers (the operands already rounded).
template <typename T>
[[gnu::always_inline]] inline T int_divide(T a, T b) {
  if (b == 0) [[unlikely]] return static_cast<T>(divided_by_zero());
  if constexpr (std::is_signed_v<T>) {
    if (b == -1) return neg<T>(a);
  }
  return a / b;
}
template <typename T>
[[gnu::always_inline]] inline T modulo(T a, T b) {
  if (b == 0) [[unlikely]] return static_cast<T>(divided_by_zero());
  if constexpr (std::is_signed_v<T>) {
    if (b == -1) return 0;
  }
  return a % b;
}

// a ^ b.
template <typename T>
inline T power(T a, T b) {
  if (a == 0 && b < 0) return static_cast<T>(divided_by_zero());
  return static_cast<T>(std::pow(a, b));
}

// Truth values of relations and tests.
[[gnu::always_inline]] inline int16_t truth(bool b) { return b ? -1 : 0; }

// INT, FIX, SGN, ABS.
template <typename T>
inline T int_of(T v) {
  if constexpr (std::is_floating_point_v<T>) return std::floor(v);
  return v;
}
template <typename T>
inline T fix_of(T v) {
  if constexpr (std::is_floating_point_v<T>) return std::trunc(v);
  return v;
}
template <typename T>
inline int16_t sgn_of(T v) { return v > 0 ? 1 : v < 0 ? -1 : 0; }
template <typename T>
inline T abs_of(T v) {
  if constexpr (std::is_floating_point_v<T>) return std::fabs(v);
  else if constexpr (std::is_unsigned_v<T>) return v;
  else return v < 0 ? neg<T>(v) : v;
}

// EXP: error 6 past the largest result of the type.
inline double exp_of(double x) { return func_exp_single(x); }

// An array index: a whole number, rounded.
template <typename T>
[[gnu::always_inline]] inline int64_t index(T v) {
  if constexpr (std::is_floating_point_v<T>) return to<int64_t>(v);
  else return static_cast<int64_t>(v);
}

// The offset of an element of a many-dimensional array (error 9 outside).
inline uint64_t offset(const int64_t* array, int dimensions, std::initializer_list<int64_t> indexes) {
  return kx::array_offset(array, dimensions, indexes.begin());
}

// The dimensions of an array passed whole to a procedure, read from its
// descriptor's size: the procedure does not know them.
inline int32_t dimensions_of(const int64_t* array) { return static_cast<int32_t>(array[kx::array_dimensions_word]); }

// ---- strings ------------------------------------------------------------------

inline kxs* text(const char* bytes, int32_t length) { return kxs_new_txt_len(bytes, length); }

// A temporary copy: a string in parentheses passed to a procedure, which
// may change the copy but not the variable.
inline kxs* copy(kxs* s) {
  kxs* t = kxs_new(s->length, 1);
  if (s->length > 0) std::memcpy(t->chars, s->chars, static_cast<size_t>(s->length));
  return t;
}

// HEX$ and OCT$ of an integer of any width, or of a floating value (rounded).
template <typename T>
inline kxs* hex(T v) {
  if constexpr (std::is_floating_point_v<T>) return func_hex_float(static_cast<kx_float>(v));
  else return func_hex(static_cast<int64_t>(v), sizeof(T) <= 2 ? 4 : sizeof(T) <= 4 ? 8 : 16);
}
template <typename T>
inline kxs* oct(T v) {
  if constexpr (std::is_floating_point_v<T>) return func_oct_float(static_cast<kx_float>(v));
  else return func_oct(static_cast<int64_t>(v), static_cast<int32_t>(sizeof(T) * 8));
}

// _ERRORMESSAGE$[(n)]: the message of error n, or of the last error.
inline kxs* error_message(int32_t n, int32_t given) {
  const std::string_view text = error_text(given ? static_cast<uint32_t>(n) : get_error_err());
  return kxs_new_txt_len(text.data(), static_cast<int32_t>(text.size()));
}

inline int32_t asc(kxs* s, int32_t position, int32_t given) { return given ? kxs_asc(s, position) : kxs_asc(s); }

// PRINT of a number: its STR$ text and one blank, kept on one line.
template <typename T>
inline void print_number(T v) {
  kxs* s = kxs_add(kxs_str(v), kxs_new_txt_len(" ", 1));
  makefit(s);
  kxs_print(s, 0);
}

// ---- bytes of variables and arrays ------------------------------------------------

// An array's bytes from the element at address first to its end (GET, PUT
// and PALETTE USING): nothing when it is not dimensioned.
inline byte_element_struct* array_bytes(const int64_t* array, int dimensions, uint64_t first, uint64_t element_bytes,
                                        byte_element_struct* info) {
  uint64_t count = (array[kx::array_flags_word] & 1) ? 1 : 0;
  for (int k = 1; k <= dimensions; ++k) count *= static_cast<uint64_t>(array[kx::array_block_word(k) + 1]);
  const uint64_t end = static_cast<uint64_t>(array[kx::array_data_word]) + count * element_bytes;
  const uint64_t length = end > first ? end - first : 0;
  return byte_element(first, static_cast<int32_t>(std::min<uint64_t>(length, INT32_MAX)), info);
}

// The bytes of a fixed-length string (a variable, field or element).
inline byte_element_struct* string_bytes(kxs* s, byte_element_struct* info) {
  return byte_element(reinterpret_cast<uint64_t>(s->chars), s->length, info);
}

// PALETTE USING array(first): the elements from there on, of 16 or 32 bits.
inline void palette_using(byte_element_struct* b, int32_t element_bits) {
  sub_paletteusing(reinterpret_cast<const void*>(b->address), b->length / (element_bits / 8), element_bits);
}

// _RGB32 and _RGBA32: each component clamped to 0-255.
inline uint32_t rgb32(int32_t r, int32_t g, int32_t b, int32_t a) {
  const auto c = [](int32_t v) { return static_cast<uint32_t>(v < 0 ? 0 : v > 255 ? 255 : v); };
  return c(a) << 24 | c(r) << 16 | c(g) << 8 | c(b);
}

// ---- _MEM values ---------------------------------------------------------------

}  // namespace kxc

// The _MEM type as programs see it: the runtime's mem_block under the field
// names BASIC uses, laid out alike, so that its address is a mem_block's.
struct UDT__MEM {
  int64_t OFFSET;
  int64_t SIZE;
  int64_t LOCK_ID;
  int64_t LOCK_OFFSET;
  int64_t TYPE;
  int64_t ELEMENTSIZE;
  int32_t IMAGE;
  UDT__MEM() = default;
  UDT__MEM(const mem_block& b) { std::memcpy(static_cast<void*>(this), &b, sizeof b); }
};
static_assert(sizeof(UDT__MEM) == sizeof(mem_block) && offsetof(UDT__MEM, IMAGE) == offsetof(mem_block, image));

namespace kxc {

// The lock of the program's own variables: made once, never released.
inline mem_lock* program_lock() {
  static mem_lock* lock = [] {
    new_mem_lock();
    mem_lock_tmp->type = mem_lock_plain;
    return mem_lock_tmp;
  }();
  return lock;
}

// _MEM(variable or array).
inline mem_block mem_of(byte_element_struct* bytes, int64_t element_bytes, int64_t flags, mem_lock* lock) {
  return func__mem(static_cast<intptr_t>(bytes->address), bytes->length, element_bytes + flags, element_bytes, lock);
}

// _MEMGET block, offset, variable: the variable's bytes read from the block.
inline void mem_get(const mem_block* m, intptr_t offset, byte_element_struct* into) {
  std::memcpy(reinterpret_cast<void*>(into->address), func__memget(m, offset, into->length),
              static_cast<size_t>(into->length));
}

// _MEMGET(block, offset, type).
template <class T>
inline T mem_read(const mem_block* m, intptr_t offset) {
  T v;
  std::memcpy(&v, func__memget(m, offset, sizeof(T)), sizeof(T));
  return v;
}
inline kxs* mem_read_string(const mem_block* m, intptr_t offset, int32_t length) {
  return kxs_new_txt_len(static_cast<const char*>(func__memget(m, offset, length)), length);
}

// _MEMPUT block, offset, value: the value's bytes (a string's characters)
// written into the block, through the same range check as a read.
template <class T>
inline void mem_put(const mem_block* m, intptr_t offset, T v) {
  std::memcpy(func__memget(m, offset, sizeof(T)), &v, sizeof(T));
}
inline void mem_put(const mem_block* m, intptr_t offset, kxs* s) {
  std::memcpy(func__memget(m, offset, s->length), s->chars, static_cast<size_t>(s->length));
}

// _MEMFILL block, offset, size, value: the value's bytes repeated.
template <class T>
inline void mem_fill(const mem_block* m, intptr_t offset, intptr_t size, T v) {
  if constexpr (std::is_same_v<T, float>) sub__memfill_SINGLE(m, offset, size, v);
  else if constexpr (std::is_same_v<T, double>) sub__memfill_DOUBLE(m, offset, size, v);
  else if constexpr (std::is_same_v<T, long double>) sub__memfill_FLOAT(m, offset, size, v);
  else if constexpr (sizeof(T) == 1) sub__memfill_1(m, offset, size, static_cast<int8_t>(v));
  else if constexpr (sizeof(T) == 2) sub__memfill_2(m, offset, size, static_cast<int16_t>(v));
  else if constexpr (sizeof(T) == 4) sub__memfill_4(m, offset, size, static_cast<int32_t>(v));
  else sub__memfill_8(m, offset, size, static_cast<int64_t>(v));
}
inline void mem_fill(const mem_block* m, intptr_t offset, intptr_t size, kxs* s) {
  sub__memfill(m, offset, size, s->chars, s->length);
}

// ---- procedures ---------------------------------------------------------------

// What a SUB or FUNCTION records on entry and gives back on the way out:
// the temporary-string mark, the static-memory pointer, the conventional-
// memory stack pointer, the routine's memory lock, its local strings and
// arrays. A normal exit calls leave(). The frame has no destructor, so that
// the compiler needs no cleanup path at every statement check (one would
// keep the routine's variables out of registers); RESUME with a target,
// which leaves procedures by unwinding, first has every live frame leave
// (leave_all_frames), while their stacks still stand.
class routine_frame;
inline routine_frame* innermost_frame = nullptr;

class routine_frame {
 public:
  routine_frame() : tmp_mark_(kxs_tmp_list_nexti), static_mark_(mem_static_pointer), cmem_mark_(cmem_sp) {
    new_mem_lock();
    lock_ = mem_lock_tmp;
    lock_->type = mem_lock_scope;
    outer_ = innermost_frame;
    innermost_frame = this;
  }
  routine_frame(const routine_frame&) = delete;
  routine_frame& operator=(const routine_frame&) = delete;

  // Local strings are freed with the frame.
  kxs* local(kxs* s) {
    if (locals_ < locals_max) local_strings_[locals_++] = s;
    return s;
  }
  // A local array is erased with the frame.
  void local_array(int64_t* descriptor, int dimensions, uint32_t element_bytes, kx::array_elements elements) {
    if (arrays_ < arrays_max) array_entries_[arrays_++] = {descriptor, dimensions, element_bytes, elements};
  }
  uint32_t tmp_mark() const { return tmp_mark_; }
  // The lock of the routine's local variables (_MEM of one of them).
  mem_lock* lock() const { return lock_; }

  void leave() {
    if (left_) return;
    left_ = true;
    for (int i = 0; i < arrays_; ++i) {
      const array_entry& a = array_entries_[i];
      kx::array_erase(a.descriptor, a.dimensions, a.element_bytes, a.elements);
    }
    for (int i = 0; i < locals_; ++i) kxs_free(local_strings_[i]);
    free_mem_lock(lock_);
    kxs_cleanup(tmp_mark_, 0);
    mem_static_restore(static_mark_ < mem_static || static_mark_ > mem_static_limit ? mem_static : static_mark_);
    cmem_sp = cmem_mark_;
    innermost_frame = outer_;
  }

 private:
  struct array_entry {
    int64_t* descriptor;
    int dimensions;
    uint32_t element_bytes;
    kx::array_elements elements;
  };
  static constexpr int locals_max = 256;
  static constexpr int arrays_max = 64;
  uint32_t tmp_mark_;
  uint8_t* static_mark_;
  uint32_t cmem_mark_;
  mem_lock* lock_ = nullptr;
  routine_frame* outer_ = nullptr;
  kxs* local_strings_[locals_max];
  array_entry array_entries_[arrays_max];
  int locals_ = 0;
  int arrays_ = 0;
  bool left_ = false;
};

// Before RESUME unwinds to the main module: every procedure still running
// gives back what it holds, innermost first.
inline void leave_all_frames() {
  while (innermost_frame) innermost_frame->leave();
}

// A string argument that a procedure may change: a temporary or constant
// text is worked on as a private copy, so the caller's text stays.
inline kxs* private_string(kxs* s, routine_frame& frame) {
  if (!s->is_temp && !s->is_readonly) return s;
  kxs* copy = frame.local(kxs_new(0, 0));
  kxs_set(copy, s);
  return copy;
}

// RESUME with a target: the handler has finished; the main routine's first
// entry catches this and goes on at the target, leaving every procedure
// between (their frames unwind).
struct resume_at {
  int32_t entry;
};

}  // namespace kxc

namespace kxc {

// ERROR n: error 11 is the ordinary division by zero a program may trap,
// not the processor's critical fault.
inline void raise(int32_t n) {
  if (n == err::division_by_zero) {
    error_division_by_zero_in_expression();
    return;
  }
  if (n < 1 || n > 255) {
    error(err::illegal_function_call);
    return;
  }
  error(n);
}

}  // namespace kxc
