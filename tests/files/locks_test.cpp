// LOCK and UNLOCK take real advisory locks over the record or byte range:
// a second opening of the file, in this process or another, is refused
// with 70 "Permission denied" until UNLOCK or CLOSE releases the range.
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include "file_fixture.h"
#include "files/file_position.h"

namespace {

class Locks : public file_test {};

constexpr int32_t start_given = 1, end_given = 2, both_given = 3;

// Opens path and takes a process-owned write lock on count bytes from
// first (count 0: to the end and beyond), as another program would.
bool write_lock(const char* path, off_t first, off_t count) {
  const int fd = ::open(path, O_RDWR);
  struct flock range {};
  range.l_type = F_WRLCK;
  range.l_whence = SEEK_SET;
  range.l_start = first;
  range.l_len = count;
  return fd >= 0 && ::fcntl(fd, F_SETLK, &range) == 0;
}

// Whether another process can lock those bytes.
bool other_process_can_lock(const char* path, off_t first, off_t count) {
  const pid_t child = fork();
  if (child == 0) _exit(write_lock(path, first, count) ? 0 : 1);
  int status = 0;
  waitpid(child, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST_F(Locks, RangesAreCheckedAndBindNothingOnFailure) {
  open("l.dat", RANDOM, 1, 16, 1);
  sub_lock(1, 2, 3, both_given);
  sub_unlock(1, 2, 0, start_given);  // record 2 only: record 3 stays locked
  EXPECT_EQ(take_error(), 0u);
  EXPECT_TRUE(other_process_can_lock("l.dat", 16, 16));
  EXPECT_FALSE(other_process_can_lock("l.dat", 32, 16));
  sub_unlock(1, 3, 0, start_given);
  sub_lock(1, 0, 3, both_given);
  EXPECT_EQ(take_error(), 5u);
  sub_lock(1, 1, 0, end_given);
  EXPECT_EQ(take_error(), 5u);
  sub_lock(1, 5, 3, both_given);  // a range that ends before it starts
  EXPECT_EQ(take_error(), 5u);
  sub_lock(2, 1, 1, both_given);
  EXPECT_EQ(take_error(), 52u);
  sub_lock(-3, 1, 1, both_given);
  EXPECT_EQ(take_error(), 52u);
  // None of the refused statements left a lock behind.
  EXPECT_TRUE(other_process_can_lock("l.dat", 0, 0));
}

TEST_F(Locks, TwoOpeningsInOneProcessConflictOverRecords) {
  open("l.dat", RANDOM, 1, 16, 1);
  open("l.dat", RANDOM, 2, 16, 1);
  sub_lock(1, 2, 3, both_given);  // bytes 16-47
  ASSERT_EQ(take_error(), 0u);
  sub_lock(2, 3, 0, start_given);
  EXPECT_EQ(take_error(), 70u);
  sub_lock(2, 1, 0, start_given);  // bytes 0-15 are free
  sub_lock(2, 4, 0, start_given);  // and so are 48-63
  EXPECT_EQ(take_error(), 0u);
  sub_lock(1, 0, 0, 0);  // the whole file: #2 holds parts of it
  EXPECT_EQ(take_error(), 70u);
  sub_unlock(1, 2, 3, both_given);
  ASSERT_EQ(take_error(), 0u);
  sub_lock(2, 2, 3, both_given);
  EXPECT_EQ(take_error(), 0u);
  // CLOSE releases every lock the file held.
  sub_close(2, 1);
  sub_lock(1, 0, 0, 0);
  EXPECT_EQ(take_error(), 0u);
}

TEST_F(Locks, BinaryBytesAndSequentialFilesAgainstAnotherProcess) {
  write_file("b.dat", std::string(100, 'x'));
  open("b.dat", BINARY, 1);
  sub_lock(1, 11, 20, both_given);  // bytes 10-19
  ASSERT_EQ(take_error(), 0u);
  EXPECT_FALSE(other_process_can_lock("b.dat", 19, 1));
  EXPECT_FALSE(other_process_can_lock("b.dat", 10, 1));
  EXPECT_TRUE(other_process_can_lock("b.dat", 20, 5));
  EXPECT_TRUE(other_process_can_lock("b.dat", 0, 10));
  sub_unlock(1, 11, 20, both_given);
  ASSERT_EQ(take_error(), 0u);
  EXPECT_TRUE(other_process_can_lock("b.dat", 10, 10));

  // An INPUT file locks the whole file whatever range is named; a reading
  // lock still keeps writers out.
  open("b.dat", INPUT, 2);
  sub_lock(2, 50, 60, both_given);
  ASSERT_EQ(take_error(), 0u);
  EXPECT_FALSE(other_process_can_lock("b.dat", 0, 1));
  EXPECT_FALSE(other_process_can_lock("b.dat", 5000, 1));
  sub_lock(1, 1, 0, start_given);
  EXPECT_EQ(take_error(), 70u);
  sub_close(2, 1);
  EXPECT_TRUE(other_process_can_lock("b.dat", 0, 0));
}

TEST_F(Locks, ALockHeldByAnotherProcessRefusesUntilItEnds) {
  write_file("c.dat", std::string(64, 'y'));
  int ready[2], release[2];
  ASSERT_EQ(pipe(ready), 0);
  ASSERT_EQ(pipe(release), 0);
  const pid_t child = fork();
  if (child == 0) {
    const char answer = write_lock("c.dat", 16, 16) ? 'y' : 'n';
    (void)!write(ready[1], &answer, 1);
    char ignored;
    (void)!read(release[0], &ignored, 1);
    _exit(0);
  }
  char answer = 0;
  ASSERT_EQ(read(ready[0], &answer, 1), 1);
  ASSERT_EQ(answer, 'y');
  open("c.dat", RANDOM, 1, 16, 1);
  sub_lock(1, 2, 0, start_given);  // bytes 16-31, held by the child
  EXPECT_EQ(take_error(), 70u);
  sub_lock(1, 1, 0, start_given);
  EXPECT_EQ(take_error(), 0u);
  (void)!write(release[1], "x", 1);
  int status = 0;
  waitpid(child, &status, 0);
  sub_lock(1, 2, 0, start_given);
  EXPECT_EQ(take_error(), 0u);
  for (const int fd : {ready[0], ready[1], release[0], release[1]}) ::close(fd);
}

}  // namespace
