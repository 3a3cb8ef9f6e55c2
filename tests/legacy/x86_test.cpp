// The emulated processor runs routines assembled from x86_routines.s: every
// addressing form, operand size, segment rule, PUSH and POP form, INT &H33,
// RETF with a count, and the endings that do not return.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <vector>

#include "base/error.h"
#include "legacy/call_absolute.h"
#include "legacy/cpu.h"
#include "legacy/x86_decode.h"
#include "legacy/x86_instructions.h"
#include "values/conventional_memory.h"
#include "values/def_seg.h"

namespace {

using kx::x86::linear;
using kx::x86::stop;

constexpr uint16_t code_segment = 0x2000;
constexpr uint16_t data_segment = 0x50;
constexpr uint16_t stack_segment = 0xFFFF;

std::vector<uint8_t> assembled_routines() {
  std::ifstream in(KX_X86_ROUTINES, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A value of bytes little-endian bytes at seg:offset.
uint32_t at(uint16_t seg, uint16_t offset, int bytes) {
  uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | cmem[linear(seg, offset) + i];
  return v;
}
uint32_t word(uint16_t seg, uint16_t offset) { return at(seg, offset, 2); }

uint16_t ax() { return *reg16[0]; }
uint16_t sp() { return *reg16[4]; }

class X86 : public ::testing::Test {
 protected:
  void SetUp() override {
    kx::conventional_memory_init();
    cpu_registers_init();
    new_error = 0;
    const std::vector<uint8_t> code = assembled_routines();
    ASSERT_GT(code.size(), 0x5A0u) << "no routines at " << KX_X86_ROUTINES;
    std::copy(code.begin(), code.end(), cmem + linear(code_segment, 0));
    sub_defseg(code_segment, 1);
  }
  void TearDown() override {
    sub_defseg(0, 0);
    new_error = 0;
  }

  // CALL ABSOLUTE's set-up, then at most budget instructions.
  static kx::x86::outcome run(uint16_t offset, const std::vector<uint16_t>& arguments = {},
                              uint64_t budget = 10000) {
    std::copy(arguments.begin(), arguments.end(), call_absolute_offsets.begin());
    EXPECT_TRUE(kx::call_absolute_setup(static_cast<int32_t>(arguments.size()), offset));
    return kx::x86::run_instructions(cpu.cs, budget);
  }
};

void expect_returned(const kx::x86::outcome& out) {
  EXPECT_EQ(out.stop, stop::retf) << "stopped on byte " << int{out.byte};
}

TEST_F(X86, SixteenBitAddressingFormsInEveryOperandSize) {
  expect_returned(run(0x000));
  const uint16_t ds = data_segment, ss = stack_segment;
  // [BX+SI] [BX+DI] [BP+SI] [BP+DI] [SI] [DI] disp16 [BX], then with
  // 8- and 16-bit displacements; BP-based ones in SS.
  EXPECT_EQ(word(ds, 0x0110), 0xA001u);
  EXPECT_EQ(word(ds, 0x0120), 0xA002u);
  EXPECT_EQ(word(ss, 0x0210), 0xA003u);
  EXPECT_EQ(word(ss, 0x0220), 0xA004u);
  EXPECT_EQ(word(ds, 0x0010), 0xA005u);
  EXPECT_EQ(word(ds, 0x0020), 0xA006u);
  EXPECT_EQ(word(ds, 0x0330), 0xA007u);
  EXPECT_EQ(word(ds, 0x0100), 0xA008u);
  EXPECT_EQ(word(ss, 0x0204), 0xA009u);
  EXPECT_EQ(word(ds, 0x010E), 0xA00Au);
  EXPECT_EQ(word(ds, 0x1100), 0xA00Bu);
  EXPECT_EQ(word(ss, 0x1200), 0xA00Cu);
  EXPECT_EQ(word(ds, 0x0210), 0u) << "[BP+SI] went to DS";
  // Immediates and registers of all three sizes, both directions.
  EXPECT_EQ(at(ds, 0x0150, 4), 0x11223344u);
  EXPECT_EQ(at(ds, 0x0180, 1), 0x55u);
  EXPECT_EQ(at(ds, 0x0181, 1), 0x9Au);
  EXPECT_EQ(word(ds, 0x0182), 0xA00Bu);
  EXPECT_EQ(at(ds, 0x0184, 4), 0x11223344u);
  EXPECT_EQ(cpu.ecx, 0x9A44u);
  EXPECT_EQ(cpu.edx, 0x11224444u);
  // Offsets wrap to 16 bits: FFFF + 2 is 0001, 0000 - 1 is FFFF.
  EXPECT_EQ(at(ds, 0x0001, 1), 0x77u);
  EXPECT_EQ(at(ds, 0xFFFF, 1), 0x66u);
  EXPECT_EQ(cmem[linear(ds, 0) + 0x10001], 0) << "an offset did not wrap";
  // MOV to and from a direct offset: A0 to A3, also with 32 bits.
  EXPECT_EQ(at(ds, 0x0340, 1), 0x0Bu);
  EXPECT_EQ(word(ds, 0x0342), 0xA00Bu);
  EXPECT_EQ(at(ds, 0x0344, 4), 0x11224444u);
  EXPECT_EQ(cpu.edi, 0x11223344u);
  EXPECT_EQ(cpu.eax, 0x1122A0A0u);
  EXPECT_EQ(sp(), 0) << "RETF took the far return address off";
}

TEST_F(X86, ThirtyTwoBitAddressingWithAndWithoutSib) {
  expect_returned(run(0x100));
  const uint16_t ds = data_segment, ss = stack_segment;
  EXPECT_EQ(word(ds, 0x0140), 0xB001u);  // [EBX+EAX*4]
  EXPECT_EQ(word(ds, 0x0128), 0xB002u);  // [EBX+EAX*2+8]
  EXPECT_EQ(word(ds, 0x0010), 0xB003u);  // [EAX]
  EXPECT_EQ(word(ds, 0x0380), 0xB004u);  // [EAX*8+300], no base
  EXPECT_EQ(word(ss, 0x0504), 0xB005u);  // [EBP+4] in SS
  EXPECT_EQ(word(ds, 0x0020), 0xB006u);  // [ESI] = 10020 wraps
  EXPECT_EQ(word(ds, 0x1100), 0xB007u);  // [EBX+1000]
  EXPECT_EQ(word(ss, 0x0510), 0xB008u);  // [EBP+EAX] in SS
  EXPECT_EQ(word(ss, 0x001C), 0xB009u);  // [ESP+20] in SS, wrapped
  EXPECT_EQ(word(ds, 0x0600), 0xB00Au);  // disp32 alone
  EXPECT_EQ(at(ds, 0x0740, 4), 0x100u);  // 66 and 67 together
  EXPECT_EQ(word(ds, 0x0744), 0x10u);    // A3 with a 32-bit offset, wrapped
  EXPECT_EQ(cpu.eax, 0xB001u);           // 66 67 A1
}

TEST_F(X86, SegmentOverridesAndSegmentRegisterLoads) {
  expect_returned(run(0x200));
  EXPECT_EQ(word(0x3000, 0x0010), 0xC001u);
  EXPECT_EQ(word(0x3100, 0x0010), 0xC002u);
  EXPECT_EQ(word(0x3200, 0x0010), 0xC003u);
  EXPECT_EQ(word(data_segment, 0x0020), 0xC004u) << "DS: must replace SS for [BP]";
  EXPECT_EQ(word(stack_segment, 0x0010), 0xC005u);
  EXPECT_EQ(word(stack_segment, 0x0020), 0xC006u);
  EXPECT_EQ(cpu.ecx, 0xC0DEu) << "CS: reads the code segment";
  EXPECT_EQ(at(0x3000, 0x0014, 4), 0x12345678u);  // 66 26
  EXPECT_EQ(at(0x3000, 0x0018, 4), 0x3200u);      // 66 26 67
  // MOV DS from memory and POP DS both move later operands at once.
  EXPECT_EQ(word(0x3300, 0x0010), 0xC007u);
  EXPECT_EQ(word(0x3400, 0x0010), 0xC008u);
  EXPECT_EQ(cpu.edx, 0x3400u);
  EXPECT_EQ(word(0x3400, 0x0012), 0x3000u);
  // MOV SS moves the stack; MOV CS loads the register, and the routine
  // went on in its own segment to the end.
  EXPECT_EQ(word(0x3500, 0xFFFA), 0xC009u);
  EXPECT_EQ(word(0x3500, 0xFFF8), 0x3600u);
  EXPECT_EQ(cpu.esi, 0x1234u);
}

TEST_F(X86, PushAndPopInEveryForm) {
  expect_returned(run(0x300));
  const uint16_t ds = data_segment;
  EXPECT_EQ(cpu.ecx, 0x1234u);
  EXPECT_EQ(cpu.esi, 0xFFFEu) << "PUSH imm8 is sign-extended";
  EXPECT_EQ(cpu.edi, 0xFFFFFFFDu);
  EXPECT_EQ(word(ds, 0x0102), 0xD001u);
  EXPECT_EQ(word(ds, 0x0104), 0xD002u) << "FF pushes whatever its reg field";
  EXPECT_EQ(at(ds, 0x010C, 4), 0xFEEDBEEFu);
  EXPECT_EQ(word(stack_segment, 0x0200), 0x7777u);
  EXPECT_EQ(cpu.fs, 0x3700u);
  EXPECT_EQ(cpu.gs, 0x3700u);
  EXPECT_EQ(cpu.ds, 0x3700u);
  EXPECT_EQ(cpu.es, code_segment);
  EXPECT_EQ(cpu.ebp, 0xFFFFu);
  EXPECT_EQ(cpu.eax, 0x3700u) << "a 32-bit PUSH DS";
  EXPECT_EQ(cpu.edx, 0x89ABFFFCu) << "PUSH SP stores SP from before the push";
  EXPECT_EQ(sp(), 0) << "pushes and pops did not balance";
}

TEST_F(X86, CallAbsoluteHandsArgumentsToTheRoutineAndRetfCountReleasesThem) {
  // Two BASIC variables in the data segment; the routine writes the mouse
  // driver's reset answer through their offsets.
  constexpr uint16_t first = 0xF000, second = 0xF002;
  dblock[first] = dblock[second] = 0x11;
  call_absolute_offsets[0] = first;
  call_absolute_offsets[1] = second;
  call_absolute(2, 0x400);
  EXPECT_EQ(word(data_segment, first), 0xFFFFu);
  EXPECT_EQ(word(data_segment, second), 2u);
  EXPECT_EQ(sp(), 0) << "RETF 4 released both arguments";
  EXPECT_EQ(cpu.cs, 0xFFFF);
  EXPECT_EQ(cpu.ip, 0xFFFF);
  // The stack as the routine found it: the arguments in order, then the
  // far return address.
  EXPECT_EQ(word(stack_segment, 0xFFFE), first);
  EXPECT_EQ(word(stack_segment, 0xFFFC), second);
  EXPECT_EQ(at(stack_segment, 0xFFF8, 4), 0xFFFFFFFFu);
  EXPECT_EQ(new_error, 0u);

  // A count the table cannot hold runs nothing.
  cpu.eax = 0x5555;
  call_absolute(call_absolute_max_arguments + 1, 0x400);
  EXPECT_EQ(new_error, uint32_t{err::illegal_function_call});
  EXPECT_EQ(cpu.eax, 0x5555u);
  new_error = 0;
  call_absolute(-1, 0x400);
  EXPECT_EQ(new_error, uint32_t{err::illegal_function_call});
}

TEST_F(X86, RoutinesThatDoNotReturnSayWhy) {
  struct ending {
    uint16_t offset;
    stop why;
    uint8_t byte;
  };
  cmem[0] = 42;
  const ending endings[] = {
      {0x500, stop::unknown_opcode, 0xF4}, {0x510, stop::unknown_opcode, 0x05},
      {0x520, stop::unknown_opcode, 0x66}, {0x530, stop::unknown_opcode, 0x66},
      {0x540, stop::unknown_opcode, 0x26}, {0x550, stop::unknown_opcode, 0x3E},
      {0x560, stop::unknown_opcode, 0x66}, {0x570, stop::unknown_opcode, 0x8C},
      {0x580, stop::unknown_opcode, 0x8E}, {0x590, stop::zero_byte, 42},
  };
  for (const ending& e : endings) {
    const auto out = run(e.offset);
    EXPECT_EQ(out.stop, e.why) << "routine " << std::hex << e.offset;
    EXPECT_EQ(out.byte, e.byte) << "routine " << std::hex << e.offset;
  }
  EXPECT_EQ(cpu.eax & 0xFF, 5u) << "the instruction before the zero byte ran";

  // The budget stops between instructions, and the routine can go on.
  auto out = run(0x5A0, {}, 3);
  EXPECT_EQ(out.stop, stop::budget);
  EXPECT_EQ(cpu.ip, 0x5A3);
  EXPECT_EQ(sp(), 0xFFF6);
  out = kx::x86::run_instructions(code_segment, 10);
  EXPECT_EQ(out.stop, stop::retf);
  EXPECT_EQ(run(0x5A0, {}, 0).stop, stop::budget);
}

TEST_F(X86, CodeAndDataStayInsideConventionalMemoryAtTheTopOfTheSegments) {
  // An instruction whose immediate runs over the end of its segment takes
  // the rest from offset 0: IP wraps.
  constexpr uint16_t seg = 0x4000;
  const uint8_t wrapping[] = {0x34, 0x12, 0xCB};  // ..., 1234, RETF
  cmem[linear(seg, 0xFFFF)] = 0xB8;                 // MOV AX, imm16
  std::copy(std::begin(wrapping), std::end(wrapping), cmem + linear(seg, 0));
  sub_defseg(seg, 1);
  expect_returned(run(0xFFFF));
  EXPECT_EQ(ax(), 0x1234);

  // A 32-bit value at FFFF:FFFF, the highest address there is, read and
  // written, and the stack's highest word.
  const uint8_t top[] = {
      0xB8, 0xFF, 0xFF,        // MOV AX, FFFF
      0x8E, 0xD8,              // MOV DS, AX
      0x66, 0xA1, 0xFF, 0xFF,  // MOV EAX, [FFFF]
      0x66, 0x89, 0xC1,        // MOV ECX, EAX
      0x66, 0xB8, 0x04, 0x03, 0x02, 0x01,  // MOV EAX, 01020304
      0x66, 0xA3, 0xFF, 0xFF,  // MOV [FFFF], EAX
      0xCB};
  std::copy(std::begin(top), std::end(top), cmem + linear(seg, 0x100));
  ASSERT_TRUE(kx::call_absolute_setup(0, 0x100));
  // After the set-up, whose far return address ends at FFFF:FFFF too.
  for (uint8_t i = 0; i < 4; ++i) cmem[linear(0xFFFF, 0xFFFF) + i] = static_cast<uint8_t>(0xA0 + i);
  expect_returned(kx::x86::run_instructions(seg, 100));
  EXPECT_EQ(cpu.ecx, 0xA3A2A1A0u);
  EXPECT_EQ(at(0xFFFF, 0xFFFF, 4), 0x01020304u);
}

}  // namespace
