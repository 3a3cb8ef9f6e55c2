#include "frame/return_points.h"

#include <cstdlib>
#include <limits>

#include "base/error.h"

namespace {
constexpr int32_t initial_return_points = 16384;

uint32_t* allocate_initial_stack() {
  return static_cast<uint32_t*>(std::malloc(sizeof(uint32_t) * initial_return_points));
}
}  // namespace

uint32_t* return_point = allocate_initial_stack();
int32_t return_points = initial_return_points;
int32_t next_return_point = 0;

void more_return_points() {
  if (return_points > std::numeric_limits<int32_t>::max() / 2) {
    error(err::out_of_stack_space);
    return;
  }
  const int32_t doubled = return_points * 2;
  const size_t bytes = static_cast<size_t>(doubled) * sizeof(uint32_t);
  void* grown = std::realloc(return_point, bytes);
  if (!grown) {
    error(err::out_of_stack_space);
    return;
  }
  return_point = static_cast<uint32_t*>(grown);
  return_points = doubled;
}
