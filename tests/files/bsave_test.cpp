// BSAVE and BLOAD: the 7-byte header, round trips, and ranges that would
// leave emulated memory.
#include "file_fixture.h"
#include "files/bsave.h"
#include "values/conventional_memory.h"
#include "values/def_seg.h"

namespace {

using Bsave = file_test;

TEST_F(Bsave, HeaderBytesAndRoundTrip) {
  sub_defseg(0xB800, 1);
  for (int i = 0; i < 16; ++i) sub_poke(0x10 + i, 0xA0 + i);
  sub_bsave(s("pic.bsv"), 0x10, 16);
  ASSERT_EQ(take_error(), 0u);
  const std::string bytes = read_file("pic.bsv");
  ASSERT_EQ(bytes.size(), 23u);
  EXPECT_EQ(bytes.substr(0, 7), std::string("\xFD\x00\xB8\x10\x00\x10\x00", 7));
  EXPECT_EQ(static_cast<uint8_t>(bytes[7]), 0xA0);
  EXPECT_EQ(static_cast<uint8_t>(bytes[22]), 0xAF);
  // Back to where it came from...
  for (int i = 0; i < 16; ++i) sub_poke(0x10 + i, 0);
  sub_defseg(0, 0);
  sub_bload(s("pic.bsv"), 0, 0);
  ASSERT_EQ(take_error(), 0u);
  EXPECT_EQ(cmem[0xB8000 + 0x10], 0xA0);
  EXPECT_EQ(cmem[0xB8000 + 0x1F], 0xAF);
  // ...or to DEF SEG and a given offset.
  sub_defseg(0x2000, 1);
  sub_bload(s("pic.bsv"), -1, 1);  // -1 is offset FFFF
  EXPECT_EQ(cmem[0x20000 + 0xFFFF], 0xA0);
  EXPECT_EQ(cmem[0x20000 + 0xFFFF + 15], 0xAF);
}

TEST_F(Bsave, WholeSegmentsUseLengthZero) {
  sub_defseg(0x3000, 1);
  for (uint32_t i = 0; i < 65536; ++i) cmem[0x30000 + i] = static_cast<uint8_t>(i * 7);
  sub_bsave(s("seg.bsv"), 0, 65536);
  ASSERT_EQ(take_error(), 0u);
  const std::string bytes = read_file("seg.bsv");
  ASSERT_EQ(bytes.size(), 7u + 65536u);
  EXPECT_EQ(bytes.substr(5, 2), std::string("\0\0", 2));
  std::fill(cmem + 0x30000, cmem + 0x40000, 0);
  sub_bload(s("seg.bsv"), 0, 0);
  ASSERT_EQ(take_error(), 0u);
  EXPECT_EQ(cmem[0x30000 + 65535], static_cast<uint8_t>(65535 * 7));
  EXPECT_EQ(cmem[0x30000 + 1000], static_cast<uint8_t>(1000 * 7));
}

TEST_F(Bsave, BadArgumentsAndFilesChangeNothing) {
  sub_bsave(s("x"), 65536, 1);
  EXPECT_EQ(take_error(), 6u);
  sub_bsave(s("x"), 0, 65537);
  EXPECT_EQ(take_error(), 6u);
  EXPECT_FALSE(std::filesystem::exists("x"));
  // FFFF:FFFF plus 64 KiB runs past the end of emulated memory.
  sub_defseg(0xFFFF, 1);
  sub_bsave(s("x"), -1, 65536);
  EXPECT_EQ(take_error(), 5u);
  EXPECT_FALSE(std::filesystem::exists("x"));
  // A header that names such a place is refused before anything is written.
  write_file("far.bsv", std::string("\xFD\xFF\xFF\xFF\xFF\x00\x00", 7) + std::string(65536, 'F'));
  const uint8_t last = cmem[cmem_size - 1];
  sub_bload(s("far.bsv"), 0, 0);
  EXPECT_EQ(take_error(), 5u);
  EXPECT_EQ(cmem[cmem_size - 1], last);
  sub_bload(s("missing.bsv"), 0, 0);
  EXPECT_EQ(take_error(), 53u);
  write_file("short.bsv", std::string("\xFD\x00\x30\x00\x00\x10\x00", 7) + "abc");
  sub_bload(s("short.bsv"), 0, 0);
  EXPECT_EQ(take_error(), 54u);
  EXPECT_EQ(cmem[0x30000], 0);
  write_file("tag.bsv", std::string("\xFE\x00\x30\x00\x00\x01\x00", 7) + "a");
  sub_bload(s("tag.bsv"), 0, 0);
  EXPECT_EQ(take_error(), 54u);
  sub_bsave(s("nodir/x"), 0, 1);
  EXPECT_EQ(take_error(), 64u);
  sub_bload(s("x"), 65536, 1);
  EXPECT_EQ(take_error(), 6u);
}

}  // namespace
