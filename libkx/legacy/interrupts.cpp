#include "legacy/interrupts.h"

#include <algorithm>
#include <cstring>

#include "base/error.h"
#include "input/mouse_position.h"
#include "input/mouse_queues.h"
#include "legacy/cpu.h"
#include "screen/images/image_table.h"
#include "values/byte_element.h"

namespace {

constexpr int32_t mouse_driver = 0x33;

uint16_t& ax() { return *reg16[0]; }
uint16_t& cx() { return *reg16[1]; }
uint16_t& dx() { return *reg16[2]; }
uint16_t& bx() { return *reg16[3]; }

// Function 3: the newest mouse message, left button in bit 0 and right in
// bit 1, position in the driver's virtual 640-pixel-wide or 8-per-cell
// coordinates.
void mouse_position_and_buttons() {
  mouse_message m{};
  if (!kx::mouse_newest_message(0, 0, &m)) return;
  bx() = static_cast<uint16_t>((m.buttons & 1u) | ((m.buttons & 4u) ? 2u : 0u));
  int32_t x = static_cast<int32_t>(kx::mouse_message_x(m));
  int32_t y = static_cast<int32_t>(kx::mouse_message_y(m));
  const img_struct* page = display_page.load();
  if (page && page->text) {
    x = std::clamp(8 * (x - 1) + 4, 0, 8 * page->width - 1);
    y = std::clamp(8 * (y - 1) + 4, 0, 8 * page->height - 1);
  } else if (page && (page->mode == 1 || page->mode == 7 || page->mode == 13)) {
    x *= 2;
  }
  cx() = static_cast<uint16_t>(x);
  dx() = static_cast<uint16_t>(y);
}

void mouse_driver_function() {
  switch (ax()) {
    case 0:  // reset: driver present, two buttons
      ax() = 0xFFFF;
      bx() = 2;
      break;
    case 1:
      sub__mouseshow(nullptr, 0);
      break;
    case 2:
      sub__mousehide();
      break;
    case 3:
      mouse_position_and_buttons();
      break;
    default:
      break;
  }
}

// The register records, field by field in record order.
constexpr int record_fields = 8;  // AX BX CX DX BP SI DI FLAGS
constexpr int record_bytes = 2 * record_fields;
constexpr int record_bytes_x = record_bytes + 4;  // DS ES

uint16_t* record_register(int field) {
  switch (field) {
    case 0: return reg16[0];  // AX
    case 1: return reg16[3];  // BX
    case 2: return reg16[1];  // CX
    case 3: return reg16[2];  // DX
    case 4: return reg16[5];  // BP
    case 5: return reg16[6];  // SI
    case 6: return reg16[7];  // DI
    case 8: return &cpu.ds;
    case 9: return &cpu.es;
    default: return nullptr;  // FLAGS
  }
}

void interrupt_through_records(int32_t intno, byte_element_struct* inregs, byte_element_struct* outregs,
                               int32_t bytes) {
  if (new_error.load()) return;
  if (!outregs || outregs->length < bytes || !inregs || inregs->length < bytes) {
    error(err::illegal_function_call);
    return;
  }
  const int fields = bytes / 2;
  const auto* in = reinterpret_cast<const uint8_t*>(inregs->address);
  for (int f = 0; f < fields; ++f) {
    if (uint16_t* r = record_register(f)) std::memcpy(r, in + 2 * f, 2);
  }
  call_int(intno);
  auto* out = reinterpret_cast<uint8_t*>(outregs->address);
  for (int f = 0; f < fields; ++f) {
    if (const uint16_t* r = record_register(f)) std::memcpy(out + 2 * f, r, 2);
  }
}

}  // namespace

void call_int(int32_t intno) {
  if (intno == mouse_driver) mouse_driver_function();
}

void call_interrupt(int32_t intno, byte_element_struct* inregs, byte_element_struct* outregs) {
  interrupt_through_records(intno, inregs, outregs, record_bytes);
}

void call_interruptx(int32_t intno, byte_element_struct* inregs, byte_element_struct* outregs) {
  interrupt_through_records(intno, inregs, outregs, record_bytes_x);
}
