#pragma once
// Reads typed values off the front of a fuzzer's input; past its end every
// read gives zeros.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "base/error.h"
#include "values/memory_startup.h"
#include "values/string_startup.h"

class fuzz_input {
 public:
  fuzz_input(const uint8_t* data, size_t size) : data_(data), size_(size) {}

  template <class T>
  T take() {
    T v{};
    const size_t n = sizeof v < size_ ? sizeof v : size_;
    std::memcpy(&v, data_, n);
    data_ += n;
    size_ -= n;
    return v;
  }
  // Up to n bytes (all that is left when n is larger).
  std::string_view bytes(size_t n) {
    if (n > size_) n = size_;
    std::string_view r(reinterpret_cast<const char*>(data_), n);
    data_ += n;
    size_ -= n;
    return r;
  }
  std::string_view rest() { return bytes(size_); }
  size_t left() const { return size_; }

 private:
  const uint8_t* data_;
  size_t size_;
};

// The memory model and string pools, made once per process.
inline void fuzz_runtime_once() {
  static const bool ready = [] {
    mem_init();
    kxs_init();
    return true;
  }();
  (void)ready;
}

// A failed property: abort so that libFuzzer keeps the input.
inline void fuzz_check(bool ok) {
  if (!ok) __builtin_trap();
}
