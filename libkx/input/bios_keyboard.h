#pragma once
// The BIOS keyboard data in cmem, at the addresses a PC keeps it: the
// type-ahead buffer and the keyboard status bytes. The buffer is a ring of
// two-byte slots (character, then scan code) between a head and a tail word.
// The window thread puts keys at the tail and the program thread takes them
// at the head; each publishes its own word with release and reads the
// other's with acquire, so a slot is written before the tail passes it and
// read before the head leaves it.
#include <atomic>
#include <cstdint>

#include "values/conventional_memory.h"

// The BIOS data area, segment 0040.
inline constexpr uint32_t bios_data_area = 0x400;

// The head and tail words hold slot offsets relative to the data area.
inline constexpr uint32_t bios_keyboard_head = bios_data_area + 0x1A;
inline constexpr uint32_t bios_keyboard_tail = bios_data_area + 0x1C;
// The first and last of the 16 slots. A full buffer keeps one slot free, so
// 15 keys fit.
inline constexpr uint16_t bios_keyboard_first = 0x1E;
inline constexpr uint16_t bios_keyboard_last = 0x3C;
inline constexpr uint16_t bios_keyboard_slot_bytes = 2;

// The status bytes: the shift keys and the toggles; the held left Ctrl and
// Alt, SysReq, Pause, Scroll Lock and Insert; the right Ctrl and Alt.
inline constexpr uint32_t bios_keyboard_flags = bios_data_area + 0x17;
inline constexpr uint32_t bios_keyboard_flags_1 = bios_data_area + 0x18;
inline constexpr uint32_t bios_keyboard_flags_3 = bios_data_area + 0x96;

// A 16-bit word of cmem, shared between the threads.
inline std::atomic_ref<uint16_t> bios_word(uint32_t offset) {
  return std::atomic_ref<uint16_t>(*reinterpret_cast<uint16_t*>(&cmem[offset]));
}

// The slot after slot offset: the last is followed by the first.
constexpr uint16_t bios_keyboard_next(uint16_t offset) {
  const auto next = static_cast<uint16_t>(offset + bios_keyboard_slot_bytes);
  return next > bios_keyboard_last ? bios_keyboard_first : next;
}

// Window thread: stores a key at the tail; false when the buffer is full and
// the key is dropped.
bool bios_keyboard_put(uint8_t character, uint8_t scan);

// Program thread: takes the key at the head; false when the buffer is empty.
bool bios_keyboard_take(uint8_t* character, uint8_t* scan);

// Whether a key waits, without taking it.
bool bios_keyboard_waiting();

// Empties the buffer: head and tail at the first slot.
void bios_keyboard_clear();
