#pragma once
// The emulated I/O ports: the VGA attribute and colour registers (&H3C0,
// &H3C7-&H3C9), the input status register with its vertical-retrace bit
// (&H3DA) and the keyboard controller's data port (&H60). Every other port
// reads 0 and ignores writes. Application thread only.
#include <cstdint>

// The colour registers: the next palette entry that &H3C9 reads or
// writes, and which of its red, green and blue components comes next.
extern uint8_t H3C7_palette_register_read_index;
extern uint8_t H3C8_palette_register_index;
extern int32_t H3C9_next;
extern int32_t H3C9_read_next;
// 1 when the last INP or OUT named a port that is not emulated, else 0.
extern int32_t unsupported_port_accessed;

// OUT port, value. The port is taken as a 16-bit number.
void sub_out(int32_t port, int32_t value);

// INP(port): error 6 for a port outside -65536 ... 65535.
int32_t func_inp(int32_t port);

// WAIT port, andmask[, xormask]: reads the port every millisecond until
// (value XOR xormask) AND andmask is non-zero. It also ends on a port that
// is not emulated and when the process is stopping. passed says whether
// xormask was given.
void sub_wait(int32_t port, int32_t andmask, int32_t xormask, int32_t passed);

namespace kx {

// Tests: the colour registers back at entry 0, red (the program starts so).
void ports_reset();

}  // namespace kx
