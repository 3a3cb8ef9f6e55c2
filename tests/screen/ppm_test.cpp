// The PPM form of window captures.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "screen_reader.h"

namespace {

using namespace kx::screen_reader;

TEST(Ppm, WritesAndReadsBackTheSamePixels) {
  Image image(3, 2, Rgb{1, 2, 3});
  image.set(2, 1, Rgb{250, 128, 0});
  std::stringstream buffer;
  write_ppm(buffer, image);
  std::string error;
  const auto back = read_ppm(buffer, &error);
  ASSERT_TRUE(back) << error;
  EXPECT_EQ(back->width, 3);
  EXPECT_EQ(back->height, 2);
  EXPECT_EQ(back->rgb, image.rgb);
  EXPECT_EQ(back->at(2, 1), (Rgb{250, 128, 0}));
}

TEST(Ppm, AcceptsHeaderComments) {
  std::stringstream in(std::string("P6\n# made by a capture tool\n2 1\n# depth\n255\n") + std::string("\x0A\x0B\x0C\xFF\x00\x80", 6));
  const auto image = read_ppm(in);
  ASSERT_TRUE(image);
  EXPECT_EQ(image->at(0, 0), (Rgb{10, 11, 12}));
  EXPECT_EQ(image->at(1, 0), (Rgb{255, 0, 128}));
}

TEST(Ppm, ScalesSixteenBitSamples) {
  // ImageMagick's 16-bit output stores an 8-bit colour c as c * 257.
  std::stringstream in(std::string("P6\n2 1\n65535\n") + std::string("\xAA\xAA\x55\x55\xFF\xFF\x00\x00\x7F\x7F\x01\x01", 12));
  const auto image = read_ppm(in);
  ASSERT_TRUE(image);
  EXPECT_EQ(image->at(0, 0), (Rgb{0xAA, 0x55, 0xFF}));
  EXPECT_EQ(image->at(1, 0), (Rgb{0x00, 0x7F, 0x01}));
}

TEST(Ppm, RejectsWhatItCannotRead) {
  using namespace std::string_literals;
  const std::string bad[] = {
      "P3\n1 1\n255\n0 0 0\n"s,               // ASCII form
      "P6\n1 1\n0\n\0\0\0"s,                  // no depth
      "P6\n1 1\n100\n\0\x65\0"s,              // sample above maxval
      "P6\n2 2\n255\n\1\2\3"s,                // truncated pixels
      "P6\n0 4\n255\n"s,                      // no pixels
      "P6\nx 4\n255\n"s,                      // not a number
  };
  for (const std::string& text : bad) {
    std::stringstream in(text);
    std::string error;
    EXPECT_FALSE(read_ppm(in, &error)) << text;
    EXPECT_FALSE(error.empty()) << text;
  }
}

}  // namespace
