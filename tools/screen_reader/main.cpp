// screen_reader: prints the text a screenshot of the window shows.
//
//   import -window "$(xdotool search --name HALCYONIX | head -1)" ppm:- | screen_reader
//   xwd -id WINDOW_ID -silent -nobdrs | convert xwd:- ppm:- | screen_reader --colours
//
// (xwd without -nobdrs adds the window border: read it with --origin 2,2
// --grid 80x25.)
//
// Options:
//   --cell WxH          cell size in pixels: 8x16 (default, 80x25), 8x14, 8x8,
//                       or 16x16, 16x14, 16x8 for the 40-column screens
//   --origin X,Y        top-left pixel of the text area (default 0,0)
//   --grid CxR          columns and rows to read (default: all whole cells)
//   --colours           after each text row, one "BF" pair per cell: background
//                       and foreground palette index in hex, '?' for a colour
//                       outside the 16-colour palette, '.' for no foreground
//   --rgb               after each text row, every cell's colours as
//                       RRGGBB/RRGGBB (background/foreground)
//   --cp437             print the rows as raw code page 437 bytes, not UTF-8
//   --report            print a summary (cells, inexact cells, lowest
//                       confidence, cursor position) to standard error
//   --min-confidence X  exit with status 1 when a cell reads below X
//
// The image is a binary PPM from the file named last, or standard input.
// Exit status: 0 read, 1 below --min-confidence, 2 bad arguments or input.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>
#include <string_view>

#include "screen_reader.h"

namespace {

using namespace kx::screen_reader;

int usage(const char* why) {
  std::cerr << "screen_reader: " << why << "\n"
            << "usage: screen_reader [--cell WxH] [--origin X,Y] [--grid CxR] [--colours] [--rgb]\n"
            << "                     [--cp437] [--report] [--min-confidence X] [FILE.ppm|-]\n";
  return 2;
}

bool parse_pair(const std::string& text, char separator, int& a, int& b) {
  const size_t at = text.find(separator);
  if (at == std::string::npos) return false;
  char* end = nullptr;
  a = static_cast<int>(std::strtol(text.c_str(), &end, 10));
  if (end != text.c_str() + at) return false;
  b = static_cast<int>(std::strtol(text.c_str() + at + 1, &end, 10));
  return *end == '\0' && at + 1 < text.size();
}

char hex_digit(int index) { return index < 0 ? '?' : "0123456789ABCDEF"[index]; }

std::string rgb_text(Rgb c) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "%02X%02X%02X", c.r, c.g, c.b);
  return buf;
}

}  // namespace

int main(int argc, char** argv) {
  CellGeometry geometry;
  bool colours = false, rgb = false, raw = false, report = false;
  double min_confidence = -1;
  std::string path = "-";
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    const bool has_value = i + 1 < argc;
    if (arg == "--cell" && has_value) {
      if (!parse_pair(argv[++i], 'x', geometry.cell_width, geometry.cell_height)) return usage("bad --cell");
    } else if (arg == "--origin" && has_value) {
      if (!parse_pair(argv[++i], ',', geometry.origin_x, geometry.origin_y)) return usage("bad --origin");
    } else if (arg == "--grid" && has_value) {
      if (!parse_pair(argv[++i], 'x', geometry.columns, geometry.rows)) return usage("bad --grid");
    } else if (arg == "--min-confidence" && has_value) {
      min_confidence = std::strtod(argv[++i], nullptr);
    } else if (arg == "--colours" || arg == "--colors") {
      colours = true;
    } else if (arg == "--rgb") {
      rgb = true;
    } else if (arg == "--cp437") {
      raw = true;
    } else if (arg == "--report") {
      report = true;
    } else if (arg == "-" || arg.substr(0, 1) != "-") {
      path = arg;
    } else {
      return usage("unknown option");
    }
  }

  std::string error;
  std::optional<Image> image;
  if (path == "-") {
    image = read_ppm(std::cin, &error);
  } else {
    std::ifstream file(path, std::ios::binary);
    if (!file) return usage("cannot open the image file");
    image = read_ppm(file, &error);
  }
  if (!image) return usage(error.c_str());
  if (const std::string bad = geometry_error(*image, geometry); !bad.empty()) return usage(bad.c_str());

  const std::vector<Row> rows = read_cells(*image, geometry);
  for (const Row& row : rows) {
    std::cout << (raw ? row.cp437 : row.utf8) << '\n';
    if (colours) {
      std::string line;
      for (const Cell& c : row.cells) {
        if (!line.empty()) line += ' ';
        line += hex_digit(c.bg_index);
        line += c.blank ? '.' : hex_digit(c.fg_index);
      }
      std::cout << line << '\n';
    }
    if (rgb) {
      std::string line;
      for (const Cell& c : row.cells) {
        if (!line.empty()) line += ' ';
        line += rgb_text(c.bg) + '/' + (c.blank ? std::string("------") : rgb_text(c.fg));
      }
      std::cout << line << '\n';
    }
  }
  const Summary s = summarize(rows);
  if (report) {
    std::cerr << "cells " << s.cells << ", inexact " << s.inexact << ", lowest confidence " << s.min_confidence;
    if (s.cursor_cells) std::cerr << ", cursor at column " << s.cursor_column + 1 << " row " << s.cursor_row + 1;
    std::cerr << '\n';
  }
  return min_confidence >= 0 && s.min_confidence < min_confidence ? 1 : 0;
}
