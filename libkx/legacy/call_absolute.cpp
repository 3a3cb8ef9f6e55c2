#include "legacy/call_absolute.h"

#include <string>

#include "base/error.h"
#include "base/flags.h"
#include "base/hooks.h"
#include "base/message_box.h"
#include "legacy/cpu.h"
#include "legacy/x86_decode.h"
#include "legacy/x86_instructions.h"
#include "values/conventional_memory.h"
#include "values/def_seg.h"

std::array<uint16_t, call_absolute_max_arguments> call_absolute_offsets{};

namespace {

namespace x86 = kx::x86;

constexpr uint16_t stack_segment = 0xFFFF;
constexpr uint16_t data_segment = 0x50;
constexpr uint32_t far_return_address = 0xFFFFFFFF;
constexpr int unknown_opcode_status = 86;
// How many instructions run between looks at whether the program is being
// stopped. A routine without RETF or a zero byte never ends by itself (IP
// wraps around its segment), and the exit path waits for this thread.
constexpr uint64_t instructions_between_stop_checks = 1 << 16;

// The application thread asks the main-loop thread to end the process with
// this status, which closes every file first, and parks meanwhile.
[[noreturn]] void end_program(int status) {
  exit_code = status;
  close_program = 1;
  kx::park_application_thread();
}

std::string unknown_opcode_text(uint8_t byte) {
  constexpr char digits[] = "0123456789ABCDEF";
  std::string text = unknown_opcode_mess;
  const size_t blanks = text.find("  ");
  text[blanks] = digits[byte >> 4];
  text[blanks + 1] = digits[byte & 15];
  return text;
}

}  // namespace

bool kx::call_absolute_setup(int32_t argcount, int32_t offset) {
  if (argcount < 0 || argcount > call_absolute_max_arguments) {
    error(err::illegal_function_call);
    return false;
  }
  cpu = {};
  cpu.cs = static_cast<uint16_t>((defseg - cmem) / 16);
  cpu.ip = static_cast<uint16_t>(offset);  // its low 16 bits, as PEEK and POKE take offsets
  cpu.ss = stack_segment;
  cpu.ds = data_segment;
  for (int32_t i = 0; i < argcount; ++i) x86::push(call_absolute_offsets[static_cast<size_t>(i)], 16);
  x86::push(far_return_address, 32);
  return true;
}

void call_absolute(int32_t argcount, int32_t offset) {
  if (kx::call_absolute_setup(argcount, offset)) cpu_call();
}

void cpu_call() {
  const uint16_t code_seg = cpu.cs;
  for (;;) {
    const x86::outcome out = x86::run_instructions(code_seg, instructions_between_stop_checks);
    switch (out.stop) {
      case x86::stop::retf:
        return;
      case x86::stop::budget:
        if (stop_program.load()) kx::park_application_thread();
        break;
      case x86::stop::unknown_opcode:
        MessageBox(0, unknown_opcode_text(out.byte), "X86 Error", MB_OK);
        end_program(unknown_opcode_status);
      case x86::stop::zero_byte:
        end_program(out.byte);
    }
  }
}
