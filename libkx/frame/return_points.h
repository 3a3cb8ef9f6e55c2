#pragma once
// The GOSUB return-point stack. GOSUB pushes the number of the place to
// come back to (growing the stack when it is full); RETURN pops it.
#include <cstdint>

extern uint32_t* return_point;
extern int32_t return_points;       // capacity in entries; 16384 at start
extern int32_t next_return_point;   // entries in use

// Doubles the stack. A capacity that would pass the 32-bit count or the
// address space, or memory that cannot be had, is critical error 256.
void more_return_points();

// GOSUB's push as compiled code performs it.
inline void push_return_point(uint32_t place) {
  if (next_return_point >= return_points) more_return_points();
  return_point[next_return_point++] = place;
}
