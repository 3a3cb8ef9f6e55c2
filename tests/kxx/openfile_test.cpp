// FUNC_OPENFILE as the boot shell calls it, driven directly: the channel it
// claims, the five modes, and the errors that reach the program's handler.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "files/file_fixture.h"
#include "files/file_open_close.h"
#include "files/file_position.h"
#include "frame/program.h"
#include "frame/statement_check.h"
#include "kxx/kxmain.h"

namespace {

// What the handler saw: each trapped error's number, resumed at once.
std::vector<uint32_t> trapped;

void recording_handler(void*) {
  error_handling = 1;
  trapped.push_back(get_error_err());
  resume_next();
}

class OpenFile : public file_test {
 protected:
  void SetUp() override {
    file_test::SetUp();
    trapped.clear();
    kx_set_program(kx_program{recording_handler});
    sub_on_error_goto(1);
  }
  void TearDown() override {
    sub_on_error_goto(0);
    file_test::TearDown();
  }
  // Calls the routine as line 18 does, with the channel and mode in
  // temporaries; returns the result and the channel chosen.
  std::pair<float, int> open(const char* name, int channel, float mode) {
    uint8_t filenum = static_cast<uint8_t>(channel);
    const float result = FUNC_OPENFILE(s(name), &filenum, &mode);
    return {result, filenum};
  }
};

// One test: the shared variables are allocated once per process.
TEST_F(OpenFile, ClaimsChannelsAndOpensInEachMode) {
  allocate_shared_variables();
  std::ofstream("present.txt") << "line\r\n";

  // Mode 0 opens BINARY on the requested channel, creating the file.
  EXPECT_EQ(open("boot.ebf", 255, 0), std::make_pair(0.0f, 255));
  EXPECT_TRUE(trapped.empty());
  EXPECT_TRUE(std::filesystem::exists("boot.ebf"));
  EXPECT_EQ(func_lof(255), 0);

  // Channel 255 is claimed now: the search starts at 0, and OPEN on #0
  // fails with 52 ("Bad file name or number") through the handler.
  EXPECT_EQ(open("other.ebf", 255, 0), std::make_pair(0.0f, 0));
  EXPECT_EQ(trapped, std::vector<uint32_t>{52});
  EXPECT_FALSE(std::filesystem::exists("other.ebf"));
  trapped.clear();

  // 0 stays claimed after its failed OPEN, so the next search finds 1.
  // Mode 1 on a missing file: -1, the channel claimed, nothing opened.
  EXPECT_EQ(open("missing.txt", 255, 1), std::make_pair(-1.0f, 1));
  EXPECT_TRUE(trapped.empty());
  EXPECT_FALSE(std::filesystem::exists("missing.txt"));
  func_eof(1);
  EXPECT_EQ(take_error(), 52u) << "channel 1 must not be open";

  // Mode 1 on a present file opens it FOR INPUT on the next free channel.
  EXPECT_EQ(open("present.txt", 255, 1), std::make_pair(0.0f, 2));
  EXPECT_EQ(func_lof(2), 6);
  EXPECT_EQ(func_eof(2), 0);

  // Mode 2 OUTPUT truncates, mode 3 APPEND keeps, mode 4 RANDOM opens with
  // records of 128 bytes.
  std::ofstream("out.txt") << "old";
  std::ofstream("log.txt") << "kept";
  EXPECT_EQ(open("out.txt", 255, 2), std::make_pair(0.0f, 3));
  EXPECT_EQ(open("log.txt", 255, 3), std::make_pair(0.0f, 4));
  EXPECT_EQ(open("records.dat", 255, 4), std::make_pair(0.0f, 5));
  EXPECT_TRUE(trapped.empty());
  EXPECT_EQ(func_lof(3), 0);
  EXPECT_EQ(func_lof(4), 4);
  EXPECT_EQ(func_loc(5), 1);  // RANDOM: position / record length + 1
  EXPECT_TRUE(std::filesystem::exists("records.dat"));

  // Any other mode claims the channel and opens nothing.
  EXPECT_EQ(open("never.txt", 255, 7), std::make_pair(0.0f, 6));
  EXPECT_FALSE(std::filesystem::exists("never.txt"));

  // A folder in the script's place: OPEN's error 75 reaches the handler.
  std::filesystem::create_directory("folder.ebf");
  EXPECT_EQ(open("folder.ebf", 255, 0), std::make_pair(0.0f, 7));
  EXPECT_EQ(trapped, std::vector<uint32_t>{75});
}

}  // namespace
