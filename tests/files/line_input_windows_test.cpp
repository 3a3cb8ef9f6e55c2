// LINE INPUT # and INPUT # on INPUT files whose lines, items and line ends
// fall across the edges of the stream's read window, compared with a plain
// reading of the same bytes.
#include <random>
#include <string>
#include <vector>

#include "file_fixture.h"
#include "files/file_input.h"
#include "files/file_position.h"

namespace {

using LineInputWindows = file_test;

// The lines of text as LINE INPUT # gives them: CR LF, LF CR, CR and LF
// each end one line, and byte 26 ends the text.
std::vector<std::string> plain_lines(const std::string& text) {
  std::vector<std::string> lines;
  const size_t end = std::min(text.find('\x1A'), text.size());
  size_t i = 0;
  while (i < end) {
    std::string line;
    while (i < end && text[i] != '\r' && text[i] != '\n') line += text[i++];
    if (i < end) {
      const char first = text[i++];
      if (i < end && (text[i] == '\r' || text[i] == '\n') && text[i] != first) ++i;
    }
    lines.push_back(line);
  }
  return lines;
}

std::string random_text(std::mt19937& rng, size_t size) {
  static constexpr const char* ends[] = {"\r\n", "\n", "\r", "\n\r", "\r\n\r\n"};
  std::string text;
  while (text.size() < size) {
    // Mostly short lines, now and then one longer than any window.
    const size_t length = rng() % 50 == 0 ? rng() % 70000 : rng() % 90;
    for (size_t i = 0; i < length; ++i) text += static_cast<char>('a' + rng() % 26);
    text += ends[rng() % 5];
  }
  return text;
}

}  // namespace

TEST_F(LineInputWindows, EveryLineMatchesAPlainReading) {
  std::mt19937 rng(4);
  for (int round = 0; round < 6; ++round) {
    std::string text = random_text(rng, 300000);
    if (round % 2) text += "no line end at the last line";
    if (round == 4) text.insert(text.size() / 2, "\x1A");
    write_file("lines", text);
    open("lines", INPUT, 1);
    kxs* v = var();
    const std::vector<std::string> expected = plain_lines(text);
    for (size_t i = 0; i < expected.size(); ++i) {
      ASSERT_EQ(func_eof(1), 0) << "round " << round << " line " << i;
      sub_file_line_input_string(1, v);
      ASSERT_EQ(take_error(), 0u);
      ASSERT_EQ(text_of(v), expected[i]) << "round " << round << " line " << i;
    }
    EXPECT_EQ(func_eof(1), -1) << "round " << round;
    sub_file_line_input_string(1, v);
    EXPECT_EQ(take_error(), 62u);
    sub_close(1, 1);
  }
}

TEST_F(LineInputWindows, LineEndPairsSplitAtTheFirstWindowEdge) {
  // The first read fills 4096 bytes: put the CR of a CR LF, and of a lone
  // CR followed by byte 26, as the window's last byte.
  for (const std::string& after : {std::string("\n"), std::string("x\r\n"), std::string("\x1A")}) {
    std::string text(4095, 'a');
    text += '\r';
    text += after;
    write_file("edge", text);
    open("edge", INPUT, 1);
    kxs* v = var();
    sub_file_line_input_string(1, v);
    ASSERT_EQ(take_error(), 0u);
    EXPECT_EQ(text_of(v), std::string(4095, 'a'));
    const bool more = after == "x\r\n";
    EXPECT_EQ(func_eof(1), more ? 0 : -1);
    if (more) {
      sub_file_line_input_string(1, v);
      EXPECT_EQ(text_of(v), "x");
      EXPECT_EQ(func_eof(1), -1);
    }
    sub_close(1, 1);
  }
}

TEST_F(LineInputWindows, InputItemsAcrossWindowEdges) {
  // INPUT # of unquoted items with blanks and tabs around them, separated
  // by commas and line ends; some items are longer than any window.
  std::mt19937 rng(5);
  static constexpr const char* separators[] = {",", "\r\n", "\n", ","};
  std::vector<std::string> words;
  std::string text;
  while (text.size() < 200000) {
    std::string word;
    const size_t length = rng() % 80 == 0 ? rng() % 70000 : rng() % 12;
    for (size_t i = 0; i < length; ++i) word += static_cast<char>(rng() % 3 ? 'a' + rng() % 26 : ' ');
    while (!word.empty() && word.back() == ' ') word.pop_back();
    while (!word.empty() && word.front() == ' ') word.erase(0, 1);
    text += std::string(rng() % 3, ' ') + (rng() % 4 ? "" : "\t") + word + std::string(rng() % 3, ' ');
    text += rng() % 5 ? "" : "\t";
    text += separators[rng() % 4];
    words.push_back(word);
  }
  text += "last\r\n";
  words.emplace_back("last");
  write_file("items", text);
  open("items", INPUT, 1);
  kxs* v = var();
  for (size_t i = 0; i < words.size(); ++i) {
    sub_file_input_string(1, v);
    ASSERT_EQ(take_error(), 0u) << i;
    ASSERT_EQ(text_of(v), words[i]) << "item " << i;
  }
  EXPECT_EQ(func_eof(1), -1);
  sub_file_input_string(1, v);
  EXPECT_EQ(take_error(), 62u);
}
