// Sequential files: OPEN modes, PRINT # with print zones, INPUT # items,
// LINE INPUT #, INPUT$, and EOF/LOF/LOC/SEEK for INPUT, OUTPUT and APPEND.
#include <fstream>

#include "file_fixture.h"
#include "files/file_input.h"
#include "files/file_position.h"
#include "files/file_print.h"

namespace {

using SequentialFiles = file_test;

TEST_F(SequentialFiles, OpenModesAndTheirErrors) {
  open("x", INPUT, 1);
  EXPECT_EQ(take_error(), 53u);
  EXPECT_FALSE(std::filesystem::exists("x"));
  open("x", OUTPUT, 1);
  EXPECT_EQ(take_error(), 0u);
  EXPECT_TRUE(std::filesystem::exists("x"));
  EXPECT_EQ(std::filesystem::file_size("x"), 0u);
  open("y", OUTPUT, 1);
  EXPECT_EQ(take_error(), 55u);
  open("y", OUTPUT, 0);
  EXPECT_EQ(take_error(), 52u);
  EXPECT_FALSE(std::filesystem::exists("y"));
  open("y", 9, 2);
  EXPECT_EQ(take_error(), 54u);
  open("y", RANDOM, 2, 0, 1);
  EXPECT_EQ(take_error(), 5u);
  open("y", RANDOM, 2, -2, 1);
  EXPECT_EQ(take_error(), 5u);
  // OUTPUT ACCESS READ has no stream mode: refused as a bad file name,
  // nothing created, an existing file left whole.
  sub_open(s("y"), OUTPUT, 2, 0, 2, 0, 0);
  EXPECT_EQ(take_error(), 64u);
  EXPECT_FALSE(std::filesystem::exists("y"));
  { std::ofstream("kept.txt") << "kept"; }
  sub_open(s("kept.txt"), OUTPUT, 2, 0, 2, 0, 0);
  EXPECT_EQ(take_error(), 64u);
  EXPECT_EQ(read_file("kept.txt"), "kept");
  // The short form: OPEN "I", #2, "x" is OPEN "x" FOR INPUT AS #2.
  sub_open_shortform(s("i"), 2, s("x"), 0, 0);
  EXPECT_EQ(take_error(), 0u);
  EXPECT_EQ(gfs_file[static_cast<size_t>(kx::handle_of_number(2))].file_type, file_type_input);
  sub_open_shortform(s("Q"), 3, s("x"), 0, 0);
  EXPECT_EQ(take_error(), 54u);
  sub_open_shortform(s(""), 3, s("x"), 0, 0);
  EXPECT_EQ(take_error(), 54u);
  // CLOSE of a number not in use is no error.
  sub_close(77, 1);
  EXPECT_EQ(take_error(), 0u);
}

TEST_F(SequentialFiles, PrintWritesCrLfLinesAndFourteenColumnZones) {
  open("out.txt", OUTPUT, 1);
  sub_file_print(1, s("ab"), 0, 1, 0);  // PRINT #1, "ab",
  EXPECT_EQ(gfs_file[static_cast<size_t>(kx::handle_of_number(1))].column, 15);
  sub_file_print(1, s("c"), 0, 0, 1);
  sub_file_print(1, s("-5"), 1, 0, 0);  // a number's trailing blank
  sub_file_print(1, s("d"), 0, 0, 1);
  sub_file_print(1, s("12345678901234"), 0, 1, 0);  // ends exactly on a zone edge
  sub_file_print(1, s("e\rfg"), 0, 1, 1);  // CR returns the column to 1
  sub_file_print(1, s(""), 0, 0, 1);
  EXPECT_EQ(take_error(), 0u);
  sub_close(1, 1);
  const std::string expected = "ab" + std::string(12, ' ') + "c\r\n" + "-5 d\r\n" + "12345678901234" +
                               std::string(14, ' ') + "e\rfg" + std::string(12, ' ') + "\r\n\r\n";
  EXPECT_EQ(read_file("out.txt"), expected);

  // PRINT # to a file not open for output.
  open("out.txt", INPUT, 1);
  sub_file_print(1, s("x"), 0, 0, 1);
  EXPECT_EQ(take_error(), 54u);
  open("r.dat", RANDOM, 2);
  sub_file_print(2, s("x"), 0, 0, 1);
  EXPECT_EQ(take_error(), 54u);
  sub_file_print(3, s("x"), 0, 0, 1);
  EXPECT_EQ(take_error(), 52u);
  sub_file_print(-1, s("x"), 0, 0, 1);
  EXPECT_EQ(take_error(), 0u);
}

// TAB and SPC in PRINT # count from the file's column, with no line width:
// PRINT #1, "ab"; TAB(10); "x"; SPC(3); "y"; TAB(2); "z"; TAB(100); SPC(100); "w"
TEST_F(SequentialFiles, TabAndSpcMeasureAgainstTheFilesColumn) {
  open("tab.txt", OUTPUT, 1);
  const auto item = [&](kxs* text, int32_t newline = 0) { sub_file_print(1, text, 0, 0, newline); };
  item(s("ab"));
  item(func_tab_file(10, 1));
  item(s("x"));
  item(func_spc_file(3, 1));
  item(s("y"));
  item(func_tab_file(2, 1));  // behind the column: a new line, then one blank
  item(s("z"), 1);
  item(func_tab_file(100, 1));  // no line width: nothing is taken modulo 80
  item(func_spc_file(100, 1));
  item(s("w"), 1);
  EXPECT_EQ(take_error(), 0u);
  // A channel that is not open gives nothing; PRINT # then reports it.
  EXPECT_EQ(func_tab_file(5, 9)->length, 0);
  EXPECT_EQ(take_error(), 0u);
  sub_close(1, 1);
  EXPECT_EQ(read_file("tab.txt"),
            "ab       x   y\r\n z\r\n" + std::string(99, ' ') + std::string(100, ' ') + "w\r\n");
}

TEST_F(SequentialFiles, AppendAddsAtTheEndAndOutputTruncates) {
  write_file("log", "old\r\n");
  open("log", APPEND, 1);
  EXPECT_EQ(func_seek(1), 6);
  sub_file_print(1, s("new"), 0, 0, 1);
  sub_close(1, 1);
  EXPECT_EQ(read_file("log"), "old\r\nnew\r\n");
  open("log", OUTPUT, 1);
  EXPECT_EQ(func_lof(1), 0);
  sub_close(1, 1);
  EXPECT_EQ(read_file("log"), "");
}

TEST_F(SequentialFiles, InputItemsQuotesAndLineEnds) {
  write_file("items", "a, b\r\nc\n\"x, \"\"y\" junk,  last  \rnext\n\rz");
  open("items", INPUT, 1);
  kxs* v = var();
  const char* expected[] = {"a", "b", "c", "x, ", "last", "next", "z"};
  for (const char* e : expected) {
    sub_file_input_string(1, v);
    ASSERT_EQ(take_error(), 0u) << e;
    EXPECT_EQ(text_of(v), e);
  }
  EXPECT_EQ(func_eof(1), -1);
  sub_file_input_string(1, v);
  EXPECT_EQ(take_error(), 62u);
  EXPECT_EQ(text_of(v), "");
}

TEST_F(SequentialFiles, LineInputReadsEachKindOfLineEnd) {
  write_file("lines", "one\r\ntwo\nthree\rfour\n\rfive\r\n\r\nlast");
  open("lines", INPUT, 1);
  kxs* v = var();
  const char* expected[] = {"one", "two", "three", "four", "five", "", "last"};
  for (const char* e : expected) {
    EXPECT_EQ(func_eof(1), 0);
    sub_file_line_input_string(1, v);
    ASSERT_EQ(take_error(), 0u) << e;
    EXPECT_EQ(text_of(v), e);
  }
  EXPECT_EQ(func_eof(1), -1);
  sub_file_line_input_string(1, v);
  EXPECT_EQ(take_error(), 62u);
  open("other", OUTPUT, 2);
  sub_file_line_input_string(2, v);
  EXPECT_EQ(take_error(), 75u);  // not readable
}

TEST_F(SequentialFiles, TheEndOfFileByteEndsTheText) {
  write_file("empty", "\x1A" "after");
  open("empty", INPUT, 1);
  EXPECT_EQ(func_eof(1), -1);
  write_file("tail", "text\x1A" "hidden");
  open("tail", INPUT, 2);
  kxs* v = var();
  sub_file_line_input_string(2, v);
  EXPECT_EQ(text_of(v), "text");
  EXPECT_EQ(func_eof(2), -1);
  sub_file_line_input_string(2, v);
  EXPECT_EQ(take_error(), 62u);
}

TEST_F(SequentialFiles, InputDollarFromFilesTurnsEofTrueAtTheLastByte) {
  write_file("bytes", "abcdef");
  open("bytes", INPUT, 1);
  kxs* v = var();
  kxs_set(v, func_input(4, 1, 1));
  EXPECT_EQ(text_of(v), "abcd");
  EXPECT_EQ(func_eof(1), 0);
  kxs_set(v, func_input(2, 1, 1));
  EXPECT_EQ(text_of(v), "ef");
  EXPECT_EQ(func_eof(1), -1);
  kxs_set(v, func_input(1, 1, 1));
  EXPECT_EQ(take_error(), 62u);
  kxs_set(v, func_input(-1, 1, 1));
  EXPECT_EQ(take_error(), 52u);
  open("bytes", BINARY, 2);
  kxs_set(v, func_input(10, 2, 1));
  EXPECT_EQ(text_of(v), "abcdef");  // as many as there are
  open("out", OUTPUT, 3);
  kxs_set(v, func_input(1, 3, 1));
  EXPECT_EQ(take_error(), 62u);
}

// A read that fails (not the end of the file) is error 75, whatever the
// system's reason: the process's own memory file opens (its length is 0, so
// nothing is read ahead) and then fails every read at its unmapped first
// byte.
TEST_F(SequentialFiles, InputDollarThatCannotReadIsAPathFileAccessError) {
  open("/proc/self/mem", INPUT, 1);
  ASSERT_EQ(take_error(), 0u);
  kxs* v = kxs_new(0, 0);
  kxs_set(v, func_input(3, 1, 1));
  EXPECT_EQ(take_error(), 75u);
  EXPECT_EQ(text_of(v), "");
}

TEST_F(SequentialFiles, PositionFunctionsInSequentialModes) {
  open("pos", OUTPUT, 1);
  EXPECT_EQ(func_loc(1), 1);
  EXPECT_EQ(func_seek(1), 1);
  const std::string line(198, 'x');
  sub_file_print(1, s(line), 0, 0, 1);
  EXPECT_EQ(func_loc(1), 2);
  EXPECT_EQ(func_seek(1), 201);
  EXPECT_EQ(func_lof(1), 200);
  sub_close(1, 1);
  open("pos", INPUT, 1);
  EXPECT_EQ(func_lof(1), 200);
  sub_seek(1, 199);
  kxs* v = var();
  sub_file_line_input_string(1, v);
  EXPECT_EQ(text_of(v), "");  // the CR LF pair
  EXPECT_EQ(func_eof(1), -1);
  sub_seek(1, 0);
  EXPECT_EQ(take_error(), 63u);
  sub_lock(1, 5, 9, 3);  // ranges are ignored for sequential files
  EXPECT_EQ(take_error(), 0u);
  EXPECT_EQ(func_lof(9), 0);
  EXPECT_EQ(take_error(), 52u);
}

}  // namespace
