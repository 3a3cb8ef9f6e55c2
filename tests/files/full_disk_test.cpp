// Writes on a disk that fills up: a small tmpfs of its own, mounted when the
// tests run as root (skipped otherwise). Every PRINT # whose bytes could not
// be stored is answered with "Disk full" no later than the statement whose
// bytes pushed the buffer out, nothing that was answered without an error is
// missing, and CLOSE reports what its final store could not keep.
#include <sys/mount.h>
#include <unistd.h>

#include "file_fixture.h"
#include "files/file_print.h"

namespace {

class FullDisk : public file_test {
 protected:
  void SetUp() override {
    file_test::SetUp();
    if (geteuid() != 0) GTEST_SKIP() << "mounting a small tmpfs needs root";
    mount_point_ = dir_ / "small";
    std::filesystem::create_directories(mount_point_);
    if (mount("tmpfs", mount_point_.c_str(), "tmpfs", 0, "size=64k") != 0) {
      GTEST_SKIP() << "no tmpfs could be mounted here";
    }
    mounted_ = true;
  }
  void TearDown() override {
    new_error = 0;
    kx::close_all_files();
    if (mounted_) umount2(mount_point_.c_str(), MNT_DETACH);
    file_test::TearDown();
  }
  static std::string line(int i) { return "line " + std::to_string(100000 + i) + " of the full disk"; }

  std::filesystem::path mount_point_;
  bool mounted_ = false;
};

TEST_F(FullDisk, EveryLineAnsweredWithoutAnErrorIsOnTheDisk) {
  open((mount_point_ / "lines.txt").string(), OUTPUT, 1);
  ASSERT_EQ(take_error(), 0u);
  int answered = 0;  // lines whose PRINT # raised nothing
  uint32_t failure = 0;
  for (int i = 0; i < 20000 && failure == 0; ++i) {
    sub_file_print(1, s(line(i)), 0, 0, 1);
    failure = take_error();
    if (failure == 0) ++answered;
  }
  ASSERT_EQ(failure, 61u) << "the disk never filled";
  // A later statement that does not fit fails too, at once.
  sub_file_print(1, s(std::string(5000, 'x')), 0, 0, 1);
  EXPECT_EQ(take_error(), 61u);
  sub_close(1, 1);
  const uint32_t at_close = take_error();
  const std::string stored = read_file(mount_point_ / "lines.txt");
  std::string expected;
  for (int i = 0; i < answered; ++i) expected += line(i) + "\r\n";
  // The disk holds exactly what was answered without an error, or CLOSE
  // says it could not keep the rest; what it holds is never other text.
  EXPECT_TRUE(stored == expected.substr(0, stored.size())) << stored.size() << " bytes stored";
  if (stored.size() < expected.size()) {
    EXPECT_EQ(at_close, 61u) << stored.size() << " of " << expected.size() << " bytes stored";
  }
  // No answered line is lost in silence: what CLOSE could not keep is less
  // than one line.
  EXPECT_LT(expected.size() - std::min(expected.size(), stored.size()), line(0).size() + 2)
      << answered << " lines answered, " << stored.size() << " bytes stored";
  EXPECT_EQ(gfs_fileno_valid(1), 0);
}

}  // namespace
