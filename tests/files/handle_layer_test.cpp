// The handle layer beneath the file statements: records, file numbers,
// result codes, the serial-name checker and the stream's single position.
#include <sys/stat.h>
#include <algorithm>
#include <sys/wait.h>

#include "file_fixture.h"
#include "files/file_position.h"
#include "files/file_print.h"
#include "files/file_records.h"
#include "files/serial_syntax.h"
#include "values/byte_element.h"

namespace {

using HandleLayer = file_test;

TEST_F(HandleLayer, FileNumbersFreeFileAndHugeLookups) {
  open("a", OUTPUT, 1);
  open("b", OUTPUT, 2);
  open("c", OUTPUT, 3);
  ASSERT_EQ(take_error(), 0u);
  EXPECT_EQ(gfs_fileno_freefile(), 4);
  sub_close(2, 1);
  EXPECT_EQ(gfs_fileno_freefile(), 2);
  EXPECT_EQ(gfs_fileno_valid(0), -2);
  EXPECT_EQ(gfs_fileno_valid(-5), -2);
  // Asking about a huge number answers "not open" and binds nothing.
  EXPECT_EQ(gfs_fileno_valid(2000000000), 0);
  EXPECT_EQ(func_eof(2000000000), 0);
  EXPECT_EQ(take_error(), 52u);
  EXPECT_EQ(gfs_fileno.size(), 2u);
  // OPEN may use any positive number.
  open("d", OUTPUT, 2000000000);
  EXPECT_EQ(take_error(), 0u);
  EXPECT_EQ(gfs_fileno_valid(2000000000), 1);
  EXPECT_EQ(gfs_fileno_freefile(), 2);
}

TEST_F(HandleLayer, RecordsAreReusedWithNewIdsAndClosedHandlesAreInvalid) {
  const int32_t a = gfs_open(s("one"), 3, 0, 1);
  ASSERT_GE(a, 0);
  const int64_t first_id = gfs_file[static_cast<size_t>(a)].record_id;
  EXPECT_EQ(gfs_close(a), 0);
  EXPECT_EQ(gfs_close(a), gfs_bad_handle);
  uint8_t byte = 0;
  EXPECT_EQ(gfs_read(a, 0, &byte, 1), gfs_bad_handle);
  EXPECT_EQ(gfs_write(a, 0, &byte, 1), gfs_bad_handle);
  EXPECT_EQ(gfs_lof(a), gfs_bad_handle);
  EXPECT_EQ(gfs_setpos(a, 0), gfs_bad_handle);
  EXPECT_EQ(gfs_validhandle(-1), 0);
  EXPECT_EQ(gfs_validhandle(100000), 0);
  const int32_t b = gfs_open(s("two"), 3, 0, 1);
  EXPECT_EQ(b, a);  // the freed record is taken again
  EXPECT_GT(gfs_file[static_cast<size_t>(b)].record_id, first_id);
  gfs_close(b);
}

TEST_F(HandleLayer, ShortReadZeroFillsAndSetsTheEndFlagUntilAFullRead) {
  write_file("data", "ABCDEFGHIJKLMN");
  const int32_t h = gfs_open(s("data"), 1, 0, 0);
  ASSERT_GE(h, 0);
  uint8_t buffer[10];
  std::memset(buffer, 0xEE, sizeof buffer);
  EXPECT_EQ(gfs_read(h, 10, buffer, 10), gfs_short_read);
  EXPECT_EQ(gfs_read_bytes(), 4);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), 10), std::string("KLMN\0\0\0\0\0\0", 10));
  EXPECT_EQ(gfs_eof_passed(h), 1);
  EXPECT_EQ(gfs_getpos(h), 14);
  EXPECT_EQ(gfs_eof_reached(h), 1);
  EXPECT_EQ(gfs_read(h, 0, buffer, 3), 0);
  EXPECT_EQ(gfs_eof_passed(h), 0);
  EXPECT_EQ(gfs_read(h, -1, buffer, -1), gfs_bad_argument);
  EXPECT_EQ(gfs_setpos(h, -1), gfs_bad_argument);
  EXPECT_EQ(gfs_write(h, 0, buffer, 1), gfs_access_denied);
  EXPECT_EQ(gfs_lock(h, -2, 0), gfs_bad_argument);
  EXPECT_EQ(gfs_lock(h, -1, -1), 0);
  EXPECT_EQ(gfs_unlock(h, 0, 10), 0);
  gfs_close(h);
}

TEST_F(HandleLayer, OneStreamPositionServesReadsAndWritesInAnyOrder) {
  const int32_t h = gfs_open(s("mix"), 3, 0, 2);
  ASSERT_GE(h, 0);
  const std::string first = "0123456789";
  ASSERT_EQ(gfs_write(h, 0, reinterpret_cast<const uint8_t*>(first.data()), 10), 0);
  uint8_t two[2];
  // Read two bytes, then write where reading stopped, then read on: each
  // step happens exactly at the one position.
  ASSERT_EQ(gfs_read(h, 2, two, 2), 0);
  ASSERT_EQ(gfs_write(h, -1, reinterpret_cast<const uint8_t*>("xy"), 2), 0);
  ASSERT_EQ(gfs_read(h, -1, two, 2), 0);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(two), 2), "67");
  ASSERT_EQ(gfs_write(h, 20, reinterpret_cast<const uint8_t*>("Z"), 1), 0);
  EXPECT_EQ(gfs_lof(h), 21);
  ASSERT_EQ(gfs_close(h), 0);
  EXPECT_EQ(read_file("mix"), std::string("0123xy6789") + std::string(10, '\0') + "Z");
}

TEST_F(HandleLayer, ScreenDeviceAndSerialNames) {
  const int32_t h = gfs_open(s("scrn:"), 3, 0, 1);
  ASSERT_GE(h, 0);
  EXPECT_EQ(gfs_file[static_cast<size_t>(h)].is_screen, 1);
  EXPECT_EQ(gfs_lof(h), gfs_bad_argument);
  gfs_close(h);
  EXPECT_FALSE(std::filesystem::exists("scrn:"));

  gfs_file_struct record;
  EXPECT_EQ(gfs_open_com_syntax("COM1:9600,N,8,1", record), 1);
  EXPECT_EQ(record.port, 1);
  EXPECT_EQ(record.baud, 9600);
  EXPECT_EQ(record.parity, 0);
  EXPECT_EQ(record.data_bits, 8);
  EXPECT_EQ(record.stop_bits, 10);
  EXPECT_EQ(gfs_open_com_syntax("COM0:", record), -1);
  EXPECT_EQ(gfs_open_com_syntax("COM256:", record), -1);
  EXPECT_EQ(gfs_open_com_syntax("COM1X:", record), 0);
  EXPECT_EQ(gfs_open_com_syntax("COM01:", record), 0);
  EXPECT_EQ(gfs_open_com_syntax("COM1", record), 0);
  EXPECT_EQ(gfs_open_com_syntax("com2:1200,,7", record), 1);
  EXPECT_EQ(record.parity, 1);
  EXPECT_EQ(record.stop_bits, 10);
  EXPECT_EQ(gfs_open_com_syntax("COM2:110", record), 1);
  EXPECT_EQ(record.stop_bits, 20);
  EXPECT_EQ(gfs_open_com_syntax("COM2:110,,5", record), 1);
  EXPECT_EQ(record.stop_bits, 15);
  EXPECT_EQ(gfs_open_com_syntax("COM2:300,,,1.5", record), 1);
  EXPECT_EQ(record.stop_bits, 15);
  EXPECT_EQ(gfs_open_com_syntax("COM1:,,,,CD100,DS50", record), 1);
  EXPECT_EQ(record.op_ms, 1000);
  EXPECT_EQ(record.cd_ms, 100);
  EXPECT_EQ(record.cs_ms, 1000);
  EXPECT_EQ(gfs_open_com_syntax("COM1:,,,,LF", record), 1);
  EXPECT_EQ(record.lf_mode, 0);
  EXPECT_EQ(gfs_open_com_syntax("COM1:,,,,ASC,LF", record), 1);
  EXPECT_EQ(record.lf_mode, 1);
  EXPECT_EQ(gfs_open_com_syntax("COM1:,,,,ASC,BIN", record), -1);  // one field, given twice
  EXPECT_EQ(gfs_open_com_syntax("COM1:,,,,CD65536", record), -1);
  EXPECT_EQ(gfs_open_com_syntax("COM1:0300", record), -1);
  EXPECT_EQ(gfs_open_com_syntax("COM1:9600,X", record), -1);
  EXPECT_EQ(gfs_open_com_syntax("COM1:9600,N,9", record), -1);
  EXPECT_EQ(gfs_open_com_syntax("COM1:9600,N,8,3", record), -1);
  EXPECT_EQ(gfs_open_com_syntax("COM1:,,,,ABCD", record), -1);
  EXPECT_EQ(gfs_open_com_syntax("COM1:,,,,12", record), -1);
  EXPECT_EQ(gfs_open_com_syntax("COM1:,,,,RS,RS", record), -1);

  // A valid serial name opens a file of that name; a malformed one is a bad name.
  open("COM1:9600,N,8,1", OUTPUT, 1);
  EXPECT_EQ(take_error(), 0u);
  EXPECT_TRUE(std::filesystem::exists("COM1:9600,N,8,1"));
  open("COM0:", OUTPUT, 2);
  EXPECT_EQ(take_error(), 64u);
  EXPECT_EQ(gfs_fileno_valid(2), 0);
}

TEST_F(HandleLayer, BadNamesAndPlacesGetTheirErrorsAndBindNothing) {
  open("missing", INPUT, 1);
  EXPECT_EQ(take_error(), 53u);
  open("nodir/file", OUTPUT, 1);
  EXPECT_EQ(take_error(), 76u);
  open("nodir/file", INPUT, 1);
  EXPECT_EQ(take_error(), 76u);
  std::filesystem::create_directory("folder");
  open("folder", INPUT, 1);
  EXPECT_EQ(take_error(), 75u);
  open("folder", BINARY, 1);
  EXPECT_EQ(take_error(), 75u);
  // A name with a zero byte would open the file named by its first part.
  write_file("abc", "keep");
  open(std::string_view("abc\0def", 7), OUTPUT, 1);
  EXPECT_EQ(take_error(), 64u);
  EXPECT_EQ(read_file("abc"), "keep");
  open("", OUTPUT, 1);
  EXPECT_EQ(take_error(), 64u);
  EXPECT_TRUE(gfs_fileno.empty());
  EXPECT_EQ(gfs_freed.size(), gfs_file.size());  // every failed open gave its record back
}

// Runs body in a child process without root's right to bypass file
// permissions; the child's exit status is body's result.
template <class Body>
int as_unprivileged(Body body) {
  const pid_t pid = fork();
  if (pid == 0) {
    if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(90);
    _exit(body());
  }
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 99;
}

TEST_F(HandleLayer, AFileThatCannotBeOpenedIsNeverTruncated) {
  std::filesystem::permissions(dir_, std::filesystem::perms::all);
  write_file("writeonly", "precious data");
  chmod("writeonly", 0222);
  write_file("readonly", "also precious");
  chmod("readonly", 0444);
  const int result = as_unprivileged([this] {
    // Reading and writing a file that may only be written: refused, kept.
    open("writeonly", BINARY, 1);
    if (take_error() != 70) return 1;
    open("writeonly", RANDOM, 1);
    if (take_error() != 70) return 2;
    open("readonly", OUTPUT, 1);
    if (take_error() != 70) return 3;
    open("readonly", APPEND, 1);
    if (take_error() != 70) return 4;
    if (!gfs_fileno.empty()) return 5;
    return 0;
  });
  EXPECT_EQ(result, 0);
  EXPECT_EQ(read_file("writeonly"), "precious data");
  EXPECT_EQ(read_file("readonly"), "also precious");
}

TEST_F(HandleLayer, CloseReportsAFinalWriteThatDidNotFit) {
  // /dev/full takes no bytes: the buffered line fails when CLOSE stores it.
  open("/dev/full", OUTPUT, 1);
  ASSERT_EQ(take_error(), 0u);
  sub_file_print(1, s("lost unless reported"), 0, 0, 1);
  EXPECT_EQ(take_error(), 0u);
  sub_close(1, 1);
  EXPECT_EQ(take_error(), 61u);
  EXPECT_EQ(gfs_fileno_valid(1), 0);  // the number is free all the same
  // Closing everything reports it too.
  open("/dev/full", OUTPUT, 2);
  sub_file_print(2, s("x"), 0, 0, 0);
  sub_close(0, 0);
  EXPECT_EQ(take_error(), 61u);
  // At an exit (END, SYSTEM) no statement is left to raise it: standard
  // error gets one line.
  open("/dev/full", OUTPUT, 2);
  open("kept.txt", OUTPUT, 4);
  sub_file_print(2, s("x"), 0, 0, 0);
  sub_file_print(4, s("kept"), 0, 0, 1);
  testing::internal::CaptureStderr();
  kx::close_all_files_at_exit();
  const std::string said = testing::internal::GetCapturedStderr();
  EXPECT_EQ(take_error(), 0u);
  EXPECT_NE(said.find(": the files could not be closed in full: Disk full (error 61)\n"), std::string::npos) << said;
  EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
  EXPECT_EQ(read_file("kept.txt"), "kept\r\n");
  EXPECT_EQ(gfs_fileno_valid(2), 0);
  // A write too large for the buffer fails at once.
  open("/dev/full", BINARY, 3);
  std::string big(100000, 'b');
  EXPECT_EQ(generic_put(3, -1, reinterpret_cast<const uint8_t*>(big.data()), 100000), gfs_disk_full);
  EXPECT_EQ(take_error(), 61u);
}

}  // namespace
