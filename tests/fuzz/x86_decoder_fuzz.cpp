// Any bytes as a CALL ABSOLUTE routine, anywhere in conventional memory, run
// for a bounded number of instructions: every run ends in RETF, a zero
// byte, an unknown opcode or the budget, never reaches outside conventional
// memory (AddressSanitizer watches cmem's edges), and reports only what is
// true of the memory it stopped on.
#include <cstring>

#include "base/error.h"
#include "base/flags.h"
#include "fuzz_input.h"
#include "legacy/call_absolute.h"
#include "legacy/cpu.h"
#include "legacy/x86_decode.h"
#include "legacy/x86_instructions.h"
#include "values/conventional_memory.h"
#include "values/def_seg.h"

namespace {

constexpr uint64_t budget = 4096;

// Opcodes the processor always runs: none of them may be reported as
// unknown. (8C and 8E may, for a reg field that names no segment register;
// the prefixes may, when they come twice or out of order.)
constexpr bool always_known(uint8_t op) {
  if ((op >= 0x50 && op <= 0x5F) || (op >= 0xB0 && op <= 0xBF) || (op >= 0xA0 && op <= 0xA3)) return true;
  switch (op) {
    case 0x88: case 0x89: case 0x8A: case 0x8B: case 0xC6: case 0xC7: case 0x68: case 0x6A:
    case 0x06: case 0x0E: case 0x16: case 0x1E: case 0x07: case 0x17: case 0x1F:
    case 0x8F: case 0xFF: case 0xCD: case 0xCB: case 0xCA:
      return true;
    default:
      return false;
  }
}

// How many prefix bytes open the instruction whose bytes byte_at gives: at
// most one &H66, one segment override and one &H67, in that order.
template <class Bytes>
int prefix_length(const Bytes& byte_at) {
  int n = 0;
  if (byte_at(n) == 0x66) ++n;
  switch (byte_at(n)) {
    case 0x26: case 0x2E: case 0x36: case 0x3E: case 0x64: case 0x65: ++n; break;
    default: break;
  }
  if (byte_at(n) == 0x67) ++n;
  return n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool ready = [] {
    fuzz_runtime_once();
    cpu_registers_init();
    // INT &H33 may ask for the mouse cursor; with no window it must not wait.
    screen_hide = 1;
    return true;
  }();
  (void)ready;

  fuzz_input in(data, size);
  const auto seg = in.take<uint16_t>();
  const auto offset = in.take<uint16_t>();
  const auto arguments = in.take<uint8_t>() % 4;
  const std::string_view code = in.rest();

  std::memset(cmem, 0, cmem_size);
  for (size_t i = 0; i < code.size() && i < 0x10000; ++i) {
    cmem[kx::x86::linear(seg, static_cast<uint16_t>(offset + i))] = static_cast<uint8_t>(code[i]);
  }
  for (int32_t i = 0; i < arguments; ++i) call_absolute_offsets[static_cast<size_t>(i)] = static_cast<uint16_t>(i * 2);
  new_error = 0;
  sub_defseg(seg, 1);
  fuzz_check(kx::call_absolute_setup(arguments, offset));
  fuzz_check(cpu.cs == seg && cpu.ip == offset);

  // One instruction at a time, so that the last one's first byte is known.
  kx::x86::outcome out;
  uint16_t start = cpu.ip;
  for (uint64_t n = 0; n < budget; ++n) {
    start = cpu.ip;
    out = kx::x86::run_instructions(seg, 1);
    if (out.stop != kx::x86::stop::budget) break;
  }
  const auto byte_at = [&](int i) { return cmem[kx::x86::linear(seg, static_cast<uint16_t>(start + i))]; };
  switch (out.stop) {
    case kx::x86::stop::retf:
      fuzz_check(byte_at(prefix_length(byte_at)) == 0xCB || byte_at(prefix_length(byte_at)) == 0xCA);
      break;
    case kx::x86::stop::budget:
      break;
    case kx::x86::stop::zero_byte:
      fuzz_check(out.byte == cmem[0]);
      fuzz_check(cmem[kx::x86::linear(seg, cpu.ip)] == 0);
      break;
    case kx::x86::stop::unknown_opcode: {
      // The opcode after the prefixes that the processor accepts; after
      // &H0F the byte that follows it.
      const int at = prefix_length(byte_at);
      const uint8_t op = byte_at(at);
      if (op == 0x0F) {
        const uint8_t second = byte_at(at + 1);
        fuzz_check(out.byte == second && second != 0xA0 && second != 0xA1 && second != 0xA8 && second != 0xA9);
      } else {
        fuzz_check(out.byte == op && !always_known(op));
      }
      break;
    }
    default:
      fuzz_check(false);
  }
  new_error = 0;
  return 0;
}
