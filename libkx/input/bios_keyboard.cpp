#include "input/bios_keyboard.h"

bool bios_keyboard_put(uint8_t character, uint8_t scan) {
  auto tail = bios_word(bios_keyboard_tail);
  const uint16_t t = tail.load(std::memory_order_relaxed);
  const uint16_t next = bios_keyboard_next(t);
  if (next == bios_word(bios_keyboard_head).load(std::memory_order_acquire)) return false;
  cmem[bios_data_area + t] = character;
  cmem[bios_data_area + t + 1] = scan;
  tail.store(next, std::memory_order_release);
  return true;
}

bool bios_keyboard_take(uint8_t* character, uint8_t* scan) {
  auto head = bios_word(bios_keyboard_head);
  const uint16_t h = head.load(std::memory_order_relaxed);
  if (h == bios_word(bios_keyboard_tail).load(std::memory_order_acquire)) return false;
  *character = cmem[bios_data_area + h];
  *scan = cmem[bios_data_area + h + 1];
  head.store(bios_keyboard_next(h), std::memory_order_release);
  return true;
}

bool bios_keyboard_waiting() {
  return bios_word(bios_keyboard_head).load(std::memory_order_acquire) !=
         bios_word(bios_keyboard_tail).load(std::memory_order_acquire);
}

void bios_keyboard_clear() {
  bios_word(bios_keyboard_head).store(bios_keyboard_first);
  bios_word(bios_keyboard_tail).store(bios_keyboard_first);
}
