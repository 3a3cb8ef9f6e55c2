// RANDOM and BINARY files: GET and PUT of fixed data and strings, record
// positions, FIELD with LSET/RSET, and the position functions.
#include "file_fixture.h"
#include "files/file_fields.h"
#include "files/file_input.h"
#include "files/file_position.h"
#include "files/file_records.h"
#include "values/byte_element.h"
#include "values/string_release.h"

namespace {

using RecordFiles = file_test;

byte_element_struct element(void* data, int32_t length) {
  return byte_element_struct{reinterpret_cast<uint64_t>(data), length};
}

TEST_F(RecordFiles, RandomRecordsSitAtTheirNumberedPlaces) {
  open("r.dat", RANDOM, 1, 16, 1);
  int32_t value = 0x11223344;
  auto v = element(&value, 4);
  sub_put(1, 3, &v, 1);
  EXPECT_EQ(func_seek(1), 4);  // the next record
  EXPECT_EQ(func_loc(1), 4);
  value = 0x55;
  sub_put(1, 0, &v, 0);  // no number: the current record, 4
  EXPECT_EQ(take_error(), 0u);
  EXPECT_EQ(func_lof(1), 52);
  int32_t back = 0;
  auto b = element(&back, 4);
  sub_get(1, 3, &b, 1);
  EXPECT_EQ(back, 0x11223344);
  sub_get(1, 0, &b, 1);
  EXPECT_EQ(take_error(), 63u);
  sub_get(1, -4, &b, 1);
  EXPECT_EQ(take_error(), 63u);
  char big[20] = {};
  auto too_long = element(big, 20);
  sub_put(1, 1, &too_long, 1);
  EXPECT_EQ(take_error(), 59u);
  // Past the end: zeros, and the end is noted.
  back = -1;
  sub_get(1, 10, &b, 1);
  EXPECT_EQ(take_error(), 0u);
  EXPECT_EQ(back, 0);
  EXPECT_EQ(func_eof(1), -1);
  sub_close(1, 1);
  const std::string bytes = read_file("r.dat");
  ASSERT_EQ(bytes.size(), 52u);
  EXPECT_EQ(bytes.substr(32, 4), std::string("\x44\x33\x22\x11", 4));
  EXPECT_EQ(bytes.substr(48, 4), std::string("\x55\0\0\0", 4));
  EXPECT_EQ(bytes.substr(0, 32), std::string(32, '\0'));
  // Without LEN records are 128 bytes long.
  open("r2.dat", RANDOM, 2);
  sub_put(2, 2, &v, 1);
  EXPECT_EQ(func_lof(2), 132);
}

TEST_F(RecordFiles, VariableLengthStringsCarryALengthPrefix) {
  open("s.dat", RANDOM, 1, 16, 1);
  sub_put2(1, 1, s("fourteen bytes"), 1);
  EXPECT_EQ(take_error(), 0u);
  sub_put2(1, 2, s("twenty bytes, too long"), 1);
  EXPECT_EQ(take_error(), 59u);
  sub_put2(1, 2, s("ab"), 1);
  kxs* v = var("old");
  sub_get2(1, 1, v, 1);
  EXPECT_EQ(text_of(v), "fourteen bytes");
  sub_get2(1, 0, v, 0);  // the next record
  EXPECT_EQ(text_of(v), "ab");
  sub_close(1, 1);
  const std::string bytes = read_file("s.dat");
  EXPECT_EQ(bytes.substr(0, 16), std::string("\x0E\x00", 2) + "fourteen bytes");
  EXPECT_EQ(bytes.substr(16, 4), std::string("\x02\x00", 2) + "ab");

  // A long string's 8-byte prefix: low 15 bits with bit 15 set, then the rest.
  open("long.dat", RANDOM, 2, 40008, 1);
  const std::string text(40000, 'q');
  sub_put2(2, 1, s(text), 1);
  kxs* w = var();
  sub_get2(2, 1, w, 1);
  EXPECT_EQ(take_error(), 0u);
  EXPECT_EQ(text_of(w), text);
  sub_close(2, 1);
  const std::string stored = read_file("long.dat");
  EXPECT_EQ(stored.substr(0, 8), std::string("\x40\x9C\x01\0\0\0\0\0", 8));  // 40000 = 0x9C40

  // A prefix that claims more than the record holds is refused, position kept.
  write_file("bad.dat", std::string("\x20\x00", 2) + std::string(14, 'z'));
  open("bad.dat", RANDOM, 3, 16, 1);
  sub_get2(3, 1, w, 1);
  EXPECT_EQ(take_error(), 59u);
  EXPECT_EQ(func_seek(3), 1);
  open("one.dat", RANDOM, 4, 1, 1);
  sub_get2(4, 1, w, 1);
  EXPECT_EQ(take_error(), 59u);
}

TEST_F(RecordFiles, BinaryGetAndPutAtBytePositions) {
  open("b.bin", BINARY, 1);
  sub_put2(1, 5, s("WXYZ"), 1);
  EXPECT_EQ(func_loc(1), 8);
  EXPECT_EQ(func_seek(1), 9);
  kxs* v = var("12");  // GET reads as many bytes as the string holds
  sub_get2(1, 6, v, 1);
  EXPECT_EQ(text_of(v), "XY");
  sub_put2(1, 0, s("!"), 0);  // at the current position, right after the GET
  sub_get2(1, 1, v, 1);
  EXPECT_EQ(text_of(v), std::string(2, '\0'));
  sub_get2(1, 0, v, 1);
  EXPECT_EQ(take_error(), 63u);
  sub_close(1, 1);
  EXPECT_EQ(read_file("b.bin"), std::string(4, '\0') + "WXY!");
  open("b.bin", OUTPUT, 2);
  sub_get2(2, 1, v, 1);
  EXPECT_EQ(take_error(), 54u);
  open("b.bin", INPUT, 3);
  sub_put2(3, 1, v, 1);
  EXPECT_EQ(take_error(), 54u);
  sub_open(s("ro.bin"), BINARY, 2, 0, 4, 0, 0);  // ACCESS READ
  sub_put2(4, 1, s("x"), 1);
  EXPECT_EQ(take_error(), 75u);
}

TEST_F(RecordFiles, WriteOnlyRandomFilesStillWriteAtTheirRecord) {
  write_file("w.dat", std::string(8, '.'));
  sub_open(s("w.dat"), RANDOM, 3, 0, 1, 4, 1);  // ACCESS WRITE
  sub_put2(1, 1, s("ab"), 1);
  EXPECT_EQ(take_error(), 0u);
  sub_close(1, 1);
  EXPECT_EQ(read_file("w.dat"), std::string("\x02\x00", 2) + "ab....");
}

TEST_F(RecordFiles, LineInputOnBinaryFiles) {
  write_file("t.bin", std::string("first\r\n") + std::string(700, 'L') + "\nlast");
  open("t.bin", BINARY, 1);
  kxs* v = var();
  sub_file_line_input_string(1, v);
  EXPECT_EQ(text_of(v), "first");
  sub_file_line_input_string(1, v);
  EXPECT_EQ(text_of(v), std::string(700, 'L'));
  EXPECT_EQ(func_eof(1), 0);
  sub_file_line_input_string(1, v);
  EXPECT_EQ(text_of(v), "last");
  EXPECT_EQ(func_eof(1), -1);
  sub_file_line_input_string(1, v);
  EXPECT_EQ(take_error(), 62u);
  write_file("u.bin", "only\n");
  open("u.bin", BINARY, 2);
  sub_file_line_input_string(2, v);
  EXPECT_EQ(text_of(v), "only");
  EXPECT_EQ(func_eof(2), -1);
}

TEST_F(RecordFiles, FieldBuffersLsetRsetAndRecordTransfers) {
  open("f.dat", RANDOM, 1, 10, 1);
  kxs* name = var();
  kxs* code = var();
  field_new(1);
  field_add(name, 6);
  field_add(code, 4);
  ASSERT_EQ(take_error(), 0u);
  EXPECT_EQ(text_of(name), std::string(6, '\0'));
  // LSET pads on the right, RSET on the left, both cut to the width.
  kx::assign_bytes(name, reinterpret_cast<const uint8_t*>("Bob"), 3);
  lrset_field(name);
  kx::assign_bytes(code, reinterpret_cast<const uint8_t*>("   7"), 4);
  lrset_field(code);
  EXPECT_EQ(text_of(name), "Bob   ");
  field_put(1, 2, 1);
  kx::assign_bytes(name, reinterpret_cast<const uint8_t*>("Alexandra"), 9);
  lrset_field(name);
  EXPECT_EQ(text_of(name), "Alexan");
  field_put(1, 1, 1);
  EXPECT_EQ(take_error(), 0u);
  field_get(1, 2, 1);
  EXPECT_EQ(text_of(name), "Bob   ");
  EXPECT_EQ(text_of(code), "   7");
  field_get(1, 0, 1);
  EXPECT_EQ(take_error(), 63u);
  sub_close(1, 1);
  EXPECT_EQ(read_file("f.dat"), "Alexan   7Bob      7");

  // After CLOSE and a new OPEN on the same number the old link is stale:
  // LSET no longer reaches any buffer.
  open("g.dat", RANDOM, 1, 10, 1);
  kx::assign_bytes(name, reinterpret_cast<const uint8_t*>("zz"), 2);
  lrset_field(name);
  EXPECT_EQ(name->field_link, nullptr);
  field_put(1, 1, 1);
  sub_close(1, 1);
  EXPECT_EQ(read_file("g.dat"), std::string(10, '\0'));
  kxs_free(name);  // freeing a fielded string releases its link
  kxs_free(code);
}

TEST_F(RecordFiles, FieldOverflowStopsTheStatement) {
  open("f.dat", RANDOM, 1);  // 128-byte records
  kxs* a = var();
  kxs* b = var();
  kxs* c = var();
  field_new(1);
  field_add(a, 100);
  field_add(b, 30);
  EXPECT_EQ(take_error(), 50u);
  field_add(c, 1);  // the statement failed: later clauses do nothing
  EXPECT_NE(a->field_link, nullptr);
  EXPECT_EQ(b->field_link, nullptr);
  EXPECT_EQ(c->field_link, nullptr);
  field_new(2);
  EXPECT_EQ(take_error(), 52u);
  open("s.txt", OUTPUT, 2);
  field_new(2);
  EXPECT_EQ(take_error(), 54u);
  field_new(1);
  field_add(b, -1);
  EXPECT_EQ(take_error(), 5u);
  // Re-fielding moves a string; freeing one unbinds it from its file.
  field_new(1);
  field_add(b, 8);
  field_add(a, 8);
  EXPECT_EQ(take_error(), 0u);
  const auto& list = gfs_file[static_cast<size_t>(kx::handle_of_number(1))].field_list;
  EXPECT_EQ(list.size(), 2u);
  kxs_free(a);
  EXPECT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0], b);
  kxs_free(b);
  EXPECT_TRUE(list.empty());
}

}  // namespace
