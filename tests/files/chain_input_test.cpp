// A chained start: the state file named by the command line's tag is read,
// applied and deleted.
#include <vector>

#include "file_fixture.h"
#include "files/chain_input.h"
#include "files/launch_info.h"

namespace {

class ChainInput : public file_test {
 protected:
  void SetUp() override {
    file_test::SetUp();
    saved_command_ = func_command_str;
  }
  void TearDown() override {
    func_command_str = saved_command_;
    file_test::TearDown();
  }
  std::string saved_command_;
};

constexpr std::string_view tag = "(unique-tag:=/@*$+-)";

void put(std::string& out, int32_t v) {
  for (int i = 0; i < 4; ++i) out += static_cast<char>(static_cast<uint32_t>(v) >> (8 * i));
}

std::string state_file(const std::string& directory, const std::string& screen_blocks) {
  std::string out;
  put(out, 1);
  put(out, static_cast<int32_t>(directory.size()));
  out += directory;
  out += screen_blocks;
  put(out, 0);
  return out;
}

// Records what the state file asks of the screen.
struct recording_target : kx::chain_screen_target {
  std::vector<std::string> calls;
  int64_t pixels = 4;
  int64_t record_bytes = 8;
  bool accept = true;
  bool screen_mode(int32_t m) override { return record("screen " + std::to_string(m)); }
  bool width(int32_t c, int32_t r) override { return record("width " + std::to_string(c) + "," + std::to_string(r)); }
  bool new_image_screen(int32_t b, int32_t w, int32_t h) override {
    return record("newimage " + std::to_string(b) + " " + std::to_string(w) + "x" + std::to_string(h));
  }
  bool font(int32_t f) override { return record("font " + std::to_string(f)); }
  int64_t page_pixel_bytes(int32_t page) override {
    calls.push_back("page " + std::to_string(page));
    return pixels;
  }
  int64_t page_record_size() override { return record_bytes; }
  bool restore_page(int32_t, std::span<const uint8_t> p, std::span<const uint8_t> r) override {
    calls.push_back("restore " + std::string(p.begin(), p.end()) + "/" + std::string(r.begin(), r.end()));
    return accept;
  }
  bool pages(int32_t a, int32_t v) override { return record("pages " + std::to_string(a) + "," + std::to_string(v)); }
  bool palette_colour(int32_t i, uint32_t c) override {
    if (i == 0 || i == 255) calls.push_back("palette " + std::to_string(i) + "=" + std::to_string(c));
    return true;
  }
  bool record(const std::string& call) {
    calls.push_back(call);
    return call != refuse;
  }
  std::string refuse;  // the call the screen refuses
};

TEST_F(ChainInput, TagNamesTheStateFile) {
  EXPECT_EQ(kx::chain_state_file_name("x " + std::string(tag) + "chain123.tmp"), "chain123.tmp");
  EXPECT_EQ(kx::chain_state_file_name(std::string(tag) + "chain123.tmp"), "chain123.tmp");
  EXPECT_EQ(kx::chain_state_file_name(std::string(tag) + "chain123.txt"), "");
  EXPECT_EQ(kx::chain_state_file_name(std::string(tag) + "chair123.tmp"), "");
  EXPECT_EQ(kx::chain_state_file_name("(unique-tag:=/@*$+_)chain123.tmp"), "");
  EXPECT_EQ(kx::chain_state_file_name("short.tmp"), "");
  // Without a tag nothing happens.
  func_command_str = "just arguments chain000.tmp";
  kx::chain_input_with(nullptr);
  EXPECT_EQ(func_command_str, "just arguments chain000.tmp");
}

TEST_F(ChainInput, StateIsAppliedAndTheFileDeleted) {
  std::filesystem::create_directory("target dir");
  const std::string target = (dir_ / "target dir").string();
  std::string blocks;
  put(blocks, 256);
  put(blocks, 12);
  put(blocks, 258);
  put(blocks, 80);
  put(blocks, 50);
  put(blocks, 259);
  put(blocks, 16);
  put(blocks, 260);
  put(blocks, 0);
  blocks += "PIXRECORD123";  // 4 pixel bytes, 8 record bytes
  put(blocks, 261);
  put(blocks, 1);
  put(blocks, 0);
  put(blocks, 262);
  for (int i = 0; i < 256; ++i) put(blocks, i * 3);
  put(blocks, 511);
  write_file("chainAB1.tmp", state_file(target, blocks));
  func_command_str = "first second " + std::string(tag) + "chainAB1.tmp";
  recording_target screen;
  kx::chain_input_with(&screen);
  EXPECT_EQ(func_command_str, "first second");
  EXPECT_FALSE(std::filesystem::exists(dir_ / "chainAB1.tmp"));
  EXPECT_EQ(std::filesystem::current_path(), std::filesystem::path(target));
  const std::vector<std::string> expected{"screen 12", "width 80,50", "font 16",      "page 0",
                                          "restore PIXR/ECORD123", "pages 1,0", "palette 0=0", "palette 255=765"};
  EXPECT_EQ(screen.calls, expected);
  EXPECT_TRUE(gfs_fileno.empty());
}

TEST_F(ChainInput, OverlongDirectoryIsRefusedCleanly) {
  const std::string start = std::filesystem::current_path().string();
  std::string contents;
  put(contents, 1);
  put(contents, 100000);  // far beyond the 4095-byte buffer
  contents += std::string(100000, '/');
  write_file("chainXY2.tmp", contents);
  func_command_str = std::string(tag) + "chainXY2.tmp";
  recording_target screen;
  kx::chain_input_with(&screen);
  EXPECT_EQ(func_command_str, "");
  EXPECT_FALSE(std::filesystem::exists("chainXY2.tmp"));
  EXPECT_EQ(std::filesystem::current_path().string(), start);
  EXPECT_TRUE(screen.calls.empty());
  EXPECT_TRUE(gfs_fileno.empty());
  EXPECT_EQ(gfs_freed.size(), gfs_file.size());
  EXPECT_EQ(new_error.load(), 0u);
}

TEST_F(ChainInput, TruncatedOrRefusedScreenBlocksStopTheRestore) {
  std::string blocks;
  put(blocks, 260);
  put(blocks, 2);
  blocks += "PIXRECORD123";
  put(blocks, 256);
  put(blocks, 13);
  put(blocks, 511);
  write_file("chainQQ3.tmp", state_file(dir_.string(), blocks));
  func_command_str = "arg " + std::string(tag) + "chainQQ3.tmp";
  recording_target screen;
  screen.accept = false;  // the record does not match the page
  kx::chain_input_with(&screen);
  EXPECT_EQ((std::vector<std::string>{"page 2", "restore PIXR/ECORD123"}), screen.calls);
  EXPECT_FALSE(std::filesystem::exists("chainQQ3.tmp"));
  EXPECT_EQ(func_command_str, "arg");

  // A file that ends inside a block: what was read stays applied.
  std::string cut;
  put(cut, 256);
  put(cut, 7);
  put(cut, 258);
  put(cut, 40);
  std::string file;
  put(file, 1);
  put(file, 0);
  file += cut;
  write_file("chainQQ4.tmp", file);
  func_command_str = std::string(tag) + "chainQQ4.tmp";
  recording_target second;
  kx::chain_input_with(&second);
  EXPECT_EQ(second.calls, std::vector<std::string>{"screen 7"});
  EXPECT_FALSE(std::filesystem::exists("chainQQ4.tmp"));

  // A block the screen refuses ends the restore there.
  std::string refused;
  put(refused, 256);
  put(refused, 99);
  put(refused, 259);
  put(refused, 8);
  put(refused, 511);
  write_file("chainQQ5.tmp", state_file(dir_.string(), refused));
  func_command_str = std::string(tag) + "chainQQ5.tmp";
  recording_target third;
  third.refuse = "screen 99";
  kx::chain_input_with(&third);
  EXPECT_EQ(third.calls, std::vector<std::string>{"screen 99"});
  EXPECT_FALSE(std::filesystem::exists("chainQQ5.tmp"));
}

}  // namespace
