#pragma once
// Software interrupts: INT from machine code and CALL INTERRUPT[X] from
// compiled code. Only the mouse driver (&H33) answers; every other
// interrupt leaves the registers as they were.
#include <cstdint>

struct byte_element_struct;

// Runs interrupt intno on the register file `cpu`.
void call_int(int32_t intno);

// CALL INTERRUPT: the records hold AX BX CX DX BP SI DI FLAGS as 16-bit
// fields (16 bytes); the X form adds DS and ES (20 bytes). FLAGS is
// neither read nor written.
void call_interrupt(int32_t intno, byte_element_struct* inregs, byte_element_struct* outregs);
void call_interruptx(int32_t intno, byte_element_struct* inregs, byte_element_struct* outregs);
