#include <gtest/gtest.h>

#include "fresh_memory.h"
#include "values/cmem_dynamic.h"
#include "values/def_seg.h"

#include <vector>

using conventional_memory = fresh_memory;

TEST_F(conventional_memory, LayoutAtStartUp) {
  EXPECT_EQ(dblock, cmem + 1280);
  EXPECT_EQ(defseg, dblock);
  EXPECT_EQ(cmem_static_pointer, cmem + 66816);
  // 8 bytes of nothingvalue, then the legacy descriptors of nothingstring
  // and singlespace, taken from the top of the data segment.
  EXPECT_EQ(nothingvalue, dblock + 65528);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(nothingvalue[i], 0);
  EXPECT_EQ(cmem_sp, 65528u - 8u);
  EXPECT_EQ(kxs_cmem_sp, 257u);
}

TEST_F(conventional_memory, DefSegPeekPokeWrapAround) {
  sub_defseg(-1, 1);
  EXPECT_EQ(defseg, cmem + 0xFFFF * 16);
  sub_poke(-1, 300);  // offset FFFF, low 8 bits of 300
  EXPECT_EQ(cmem[0xFFFF * 16 + 0xFFFF], 44);
  EXPECT_EQ(func_peek(-1), 44);
  EXPECT_EQ(func_peek(65535), 44);
  sub_poke(0, -1);
  EXPECT_EQ(func_peek(0), 255);  // unsigned byte
  sub_defseg(65535, 1);
  EXPECT_EQ(defseg, cmem + 0xFFFF * 16);
  sub_defseg(-65536, 1);
  EXPECT_EQ(defseg, cmem);
  sub_defseg(0x40, 1);
  sub_poke(0x1A, 0x1E);
  EXPECT_EQ(cmem[0x41A], 0x1E);
  sub_defseg(0, 0);
  EXPECT_EQ(defseg, dblock);
  EXPECT_EQ(new_error, 0u);
}

TEST_F(conventional_memory, OutOfRangeArgumentsRaiseOverflow) {
  sub_defseg(0x40, 1);
  sub_defseg(65536, 1);
  EXPECT_EQ(new_error, 6u);
  EXPECT_EQ(defseg, cmem + 0x400);
  new_error = 0;
  sub_defseg(-65537, 1);
  EXPECT_EQ(new_error, 6u);
  new_error = 0;

  sub_poke(5, 9);
  EXPECT_EQ(func_peek(65536), 0);
  EXPECT_EQ(new_error, 6u);
  new_error = 0;
  EXPECT_EQ(func_peek(-65537), 0);
  EXPECT_EQ(new_error, 6u);
  new_error = 0;
  sub_poke(65536, 1);
  EXPECT_EQ(new_error, 6u);

  // With an error pending, POKE and DEF SEG do nothing and PEEK gives 0,
  // leaving the pending error as it was.
  sub_poke(5, 77);
  sub_defseg(0, 0);
  EXPECT_EQ(func_peek(5), 0);
  EXPECT_EQ(func_peek(65536), 0);
  EXPECT_EQ(new_error, 6u);
  new_error = 0;
  EXPECT_EQ(func_peek(5), 9);
  EXPECT_EQ(defseg, cmem + 0x400);
}

TEST_F(conventional_memory, DynamicBlocksPlacedFromTheTopAndReused) {
  uint8_t* top = cmem + 655360;
  EXPECT_EQ(cmem_dynamic_malloc(0), top);
  EXPECT_EQ(cmem_dynamic_link_first, nullptr);  // nothing allocated
  cmem_dynamic_free(top);                        // and nothing released
  EXPECT_EQ(cmem_dynamic_free_link, 0);

  uint8_t* a = cmem_dynamic_malloc(20);  // rounded to 32
  EXPECT_EQ(a, cmem + 655328);
  uint8_t* b = cmem_dynamic_malloc(100);  // 112
  EXPECT_EQ(b, a - 112);
  uint8_t* c = cmem_dynamic_malloc(16);
  EXPECT_EQ(c, b - 16);
  EXPECT_EQ(cmem_dynamic_base, c);
  EXPECT_EQ(cmem_dynamic_next_link, 3);

  cmem_dynamic_free(a);
  EXPECT_EQ(cmem_dynamic_free_link, 1);
  // A block of up to 32 bytes goes back into the freed place at the top,
  // taking the recycled link.
  EXPECT_EQ(cmem_dynamic_malloc(32), a);
  EXPECT_EQ(cmem_dynamic_free_link, 0);
  EXPECT_EQ(cmem_dynamic_next_link, 3);

  // A gap too small for the request is passed over.
  cmem_dynamic_free(b);
  uint8_t* d = cmem_dynamic_malloc(128);
  EXPECT_EQ(d, c - 128);
  EXPECT_EQ(cmem_dynamic_base, d);
  // A smaller block fits into the gap, right below its upper bound.
  uint8_t* e = cmem_dynamic_malloc(48);
  EXPECT_EQ(e, a - 48);

  // The chain runs in descending address order.
  const cmem_dynamic_link_type* link = cmem_dynamic_link_first;
  std::vector<uint8_t*> order;
  for (; link; link = link->next) order.push_back(link->start);
  EXPECT_EQ(order, (std::vector<uint8_t*>{a, e, c, d}));

  cmem_dynamic_free(cmem + 12345);  // not a block start: ignored
  cmem_dynamic_free(nullptr);
  EXPECT_EQ(cmem_dynamic_free_link, 0);
}

TEST_F(conventional_memory, DynamicAreaEndsAtTheStaticArea) {
  // 655,360 - 66,816 = 588,544 bytes: eight blocks of 64 KiB fit.
  for (int i = 0; i < 8; ++i) ASSERT_NE(cmem_dynamic_malloc(65536), nullptr);
  EXPECT_GE(cmem_dynamic_base, cmem_static_pointer);
  // What is left still serves smaller blocks.
  const auto left = static_cast<uint32_t>(cmem_dynamic_base - cmem_static_pointer);
  EXPECT_EQ(cmem_dynamic_malloc(left & ~15u), cmem_static_pointer + (left & 15u));
}
