#pragma once
// A heap array of trivially copyable values that grows by realloc and reports
// failure instead of throwing, so each caller can raise its own numbered
// critical error. Owns its storage.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <type_traits>

namespace kx {

template <class T>
class growable_array {
  static_assert(std::is_trivially_copyable_v<T>);

 public:
  growable_array() = default;
  growable_array(const growable_array&) = delete;
  growable_array& operator=(const growable_array&) = delete;
  ~growable_array() { std::free(data_); }

  T* data() const { return data_; }
  uint64_t capacity() const { return capacity_; }
  T& operator[](uint64_t i) { return data_[i]; }
  const T& operator[](uint64_t i) const { return data_[i]; }

  // Grows (or first allocates) to n elements; new elements are zero bytes.
  // Returns false, keeping the old contents, when memory is exhausted or the
  // byte count would not fit in 64 bits.
  bool resize(uint64_t n) {
    if (n <= capacity_) return true;
    if (n > UINT64_MAX / sizeof(T)) return false;
    void* grown = std::realloc(data_, n * sizeof(T));
    if (!grown) return false;
    data_ = static_cast<T*>(grown);
    std::memset(static_cast<void*>(data_ + capacity_), 0, (n - capacity_) * sizeof(T));
    capacity_ = n;
    return true;
  }

  void release() {
    std::free(data_);
    data_ = nullptr;
    capacity_ = 0;
  }

 private:
  T* data_ = nullptr;
  uint64_t capacity_ = 0;
};

}  // namespace kx
