// Directory statements and name tests, with relative paths from a changed
// working directory.
#include "file_fixture.h"
#include "files/directories.h"
#include "files/launch_info.h"

namespace {

using Directories = file_test;

std::string cwd() { return std::filesystem::current_path().string(); }

TEST_F(Directories, ChdirMkdirRmdirWithRelativeAndBackslashedPaths) {
  sub_mkdir(s("SYSTEM"));
  sub_mkdir(s("SYSTEM\\SUB"));
  ASSERT_EQ(take_error(), 0u);
  EXPECT_TRUE(std::filesystem::is_directory("SYSTEM/SUB"));
  EXPECT_EQ(std::filesystem::status("SYSTEM").permissions() & std::filesystem::perms::others_all,
            std::filesystem::perms::none);
  sub_mkdir(s("SYSTEM"));
  EXPECT_EQ(take_error(), 75u);
  sub_mkdir(s("missing/child"));
  EXPECT_EQ(take_error(), 76u);
  const std::string top = cwd();
  sub_chdir(s("SYSTEM\\SUB"));
  EXPECT_EQ(cwd(), top + "/SYSTEM/SUB");
  sub_chdir(s(".."));
  EXPECT_EQ(cwd(), top + "/SYSTEM");
  kxs* where = func__cwd();
  EXPECT_EQ(text_of(where), top + "/SYSTEM");
  // Relative names now start from SYSTEM.
  write_file("here.txt", "h");
  EXPECT_EQ(func__fileexists(s("here.txt")), -1);
  EXPECT_EQ(func__fileexists(s("../SYSTEM/here.txt")), -1);
  EXPECT_EQ(func__fileexists(s("..\\SYSTEM\\here.txt")), -1);
  sub_chdir(s("nowhere"));
  EXPECT_EQ(take_error(), 76u);
  EXPECT_EQ(cwd(), top + "/SYSTEM");
  sub_chdir(s(std::string_view("SUB\0x", 5)));
  EXPECT_EQ(take_error(), 76u);
  sub_rmdir(s("SUB"));
  EXPECT_EQ(take_error(), 0u);
  EXPECT_FALSE(std::filesystem::exists("SUB"));
  sub_rmdir(s("SUB"));
  EXPECT_EQ(take_error(), 76u);
}

TEST_F(Directories, ExistenceTestsAreExactAndNeverRaise) {
  write_file("AUTORUN.EBF", "x");
  std::filesystem::create_directory("AUTOEXEC.EBF");
  EXPECT_EQ(func__fileexists(s("AUTORUN.EBF")), -1);
  EXPECT_EQ(func__fileexists(s("autorun.ebf")), 0);
  EXPECT_EQ(func__fileexists(s("AUTOEXEC.EBF")), 0);
  EXPECT_EQ(func__direxists(s("AUTOEXEC.EBF")), -1);
  EXPECT_EQ(func__direxists(s("AUTORUN.EBF")), 0);
  EXPECT_EQ(func__fileexists(s(std::string_view("AUTORUN.EBF\0junk", 16))), 0);
  EXPECT_EQ(func__fileexists(s("")), 0);
  EXPECT_EQ(take_error(), 0u);
  error(5);
  EXPECT_EQ(func__fileexists(s("AUTORUN.EBF")), 0);  // nothing while an error is pending
  take_error();
}

TEST_F(Directories, KillRemovesFilesOnlyWithOrWithoutWildcards) {
  write_file("a.tmp", "1");
  write_file("b.tmp", "2");
  write_file("c.txt", "3");
  write_file("noext", "4");
  write_file(".hidden.tmp", "5");
  std::filesystem::create_directory("d.tmp");
  sub_kill(s("c.txt"));
  EXPECT_EQ(take_error(), 0u);
  EXPECT_FALSE(std::filesystem::exists("c.txt"));
  sub_kill(s("c.txt"));
  EXPECT_EQ(take_error(), 53u);
  sub_kill(s("*.tmp"));
  EXPECT_EQ(take_error(), 0u);
  EXPECT_FALSE(std::filesystem::exists("a.tmp"));
  EXPECT_FALSE(std::filesystem::exists("b.tmp"));
  EXPECT_TRUE(std::filesystem::exists(".hidden.tmp"));
  EXPECT_TRUE(std::filesystem::is_directory("d.tmp"));
  EXPECT_TRUE(std::filesystem::exists("noext"));
  sub_kill(s("*.tmp"));
  EXPECT_EQ(take_error(), 53u);  // nothing left to match
  sub_kill(s("d.tmp"));
  EXPECT_EQ(take_error(), 75u);  // KILL never removes a directory
  EXPECT_TRUE(std::filesystem::is_directory("d.tmp"));
  std::filesystem::create_directory("sub");
  write_file("sub/x1", "");
  write_file("sub/x2", "");
  write_file("sub/y", "");
  sub_kill(s("sub\\x?"));
  EXPECT_EQ(take_error(), 0u);
  EXPECT_FALSE(std::filesystem::exists("sub/x1"));
  EXPECT_TRUE(std::filesystem::exists("sub/y"));
  sub_kill(s("*.*"));  // every file, extension or not
  EXPECT_EQ(take_error(), 0u);
  EXPECT_FALSE(std::filesystem::exists("noext"));
  EXPECT_TRUE(std::filesystem::exists(".hidden.tmp"));
  write_file("keep", "k");
  sub_kill(s(std::string_view("keep\0", 5)));
  EXPECT_EQ(take_error(), 64u);
  EXPECT_TRUE(std::filesystem::exists("keep"));
}

TEST_F(Directories, NameRenamesButNeverReplaces) {
  write_file("old", "o");
  write_file("taken", "t");
  sub_name(s("old"), s("taken"));
  EXPECT_EQ(take_error(), 58u);
  EXPECT_EQ(read_file("taken"), "t");
  EXPECT_EQ(read_file("old"), "o");
  sub_name(s("old"), s("new"));
  EXPECT_EQ(take_error(), 0u);
  EXPECT_EQ(read_file("new"), "o");
  EXPECT_FALSE(std::filesystem::exists("old"));
  sub_name(s("old"), s("other"));
  EXPECT_EQ(take_error(), 53u);
  sub_name(s("new"), s("nodir/new"));  // the new name's folder is missing
  EXPECT_EQ(take_error(), 5u);
  std::filesystem::create_directory("box");
  sub_name(s("new"), s("box\\new"));
  EXPECT_EQ(take_error(), 0u);
  EXPECT_EQ(read_file("box/new"), "o");
}

TEST_F(Directories, StartAndSpecialFolders) {
  startDir = "/launch/place";
  EXPECT_EQ(text_of(func__startdir()), "/launch/place");
  EXPECT_EQ(text_of(func__dir(s("desktop"))), "./");
  EXPECT_EQ(text_of(func__dir(s("no such folder"))), "./");
  sub_files(s("*.*"), 1);
  EXPECT_EQ(take_error(), 0u);
}

}  // namespace
