// Reading the cells of a text screen picture.
//
// A composed text cell has exactly two colours: the background and the ink
// (the glyph, and the cursor bar, which the composer draws in the cell's
// foreground colour). So each cell is split into its two most frequent
// colours, both ways round are tried as ink, and the ink bitmap is matched
// against the glyph set. Whatever does not fit that model (a third colour,
// doubled pixels that disagree, no exact glyph) lowers the confidence
// instead of being read as valid text.
#include <algorithm>
#include <utility>

#include "glyph_matcher.h"
#include "screen_reader.h"

namespace kx::screen_reader {
namespace {

int colour_distance(Rgb a, Rgb b) {
  const int dr = a.r - b.r, dg = a.g - b.g, db = a.b - b.b;
  return dr * dr + dg * dg + db * db;
}

// One way of reading a cell: which colour is ink, and the glyph that fits.
struct Reading {
  Rgb fg, bg;
  Match match;
  bool exact = false;
  int band_first = -1, band_last = -1;  // rows taken for the cursor
  double confidence = 0;

  // Lower is better: an exact glyph, then an exact glyph under the shortest
  // cursor bar, then the fewest differing pixels.
  std::pair<int, int> rank() const {
    if (exact && band_first < 0) return {0, 0};
    if (exact) return {1, band_last - band_first};
    return {2, match.distance};
  }
};

Reading read_as(const Bitmap& ink, Rgb fg, Rgb bg, const GlyphMatcher& glyphs) {
  const int h = glyphs.height();
  const uint32_t all_rows = (1u << h) - 1;
  Reading r{fg, bg, glyphs.nearest(ink, all_rows)};
  if (r.match.distance == 0) {
    r.exact = true;
    r.confidence = 1;
    return r;
  }
  // A cursor is a run of rows that are ink across the whole cell. Try the
  // shortest such bands first: hidden rows are rows we cannot check.
  for (int length = 1; length <= h; ++length) {
    for (int first = 0; first + length <= h; ++first) {
      bool full = true;
      for (int y = first; y < first + length && full; ++y) full = ink.rows[y] == 0xFF;
      if (!full) continue;
      const uint32_t band = ((1u << length) - 1) << first;
      const Match m = glyphs.nearest(ink, all_rows & ~band);
      if (m.distance == 0) {
        r.match = m;
        r.exact = true;
        r.band_first = first;
        r.band_last = first + length - 1;
        r.confidence = 1.0 - 0.5 * length / h;
        return r;
      }
    }
  }
  const int ink_pixels = ink_count(ink, h, all_rows);
  r.confidence = 1.0 - static_cast<double>(r.match.distance) / std::max(1, ink_pixels + r.match.glyph_ink);
  return r;
}

// A cell read both ways round, before the row decides ambiguous ones.
struct Candidate {
  Reading chosen;
  Reading other;
  bool ambiguous = false;
  bool blank = false;
  int stray = 0;
};

Candidate read_cell(const Image& image, int x0, int y0, const CellGeometry& g, const GlyphMatcher& glyphs) {
  std::vector<std::pair<Rgb, int>> colours;
  for (int y = 0; y < g.cell_height; ++y) {
    for (int x = 0; x < g.cell_width; ++x) {
      const Rgb c = image.at(x0 + x, y0 + y);
      auto it = std::find_if(colours.begin(), colours.end(), [&](const auto& e) { return e.first == c; });
      if (it == colours.end()) colours.emplace_back(c, 1);
      else ++it->second;
    }
  }
  Candidate cand;
  if (colours.size() == 1) {
    cand.blank = true;
    cand.chosen = {colours[0].first, colours[0].first, {32, 0, 0}, true, -1, -1, 1.0};
    return cand;
  }
  std::stable_sort(colours.begin(), colours.end(), [](const auto& a, const auto& b) { return a.second > b.second; });
  const Rgb major = colours[0].first, minor = colours[1].first;
  auto is_minor = [&](Rgb c) { return c == minor || (c != major && colour_distance(c, minor) < colour_distance(c, major)); };

  const int scale = g.cell_width / 8;
  Bitmap minor_ink;
  for (int y = 0; y < g.cell_height; ++y) {
    uint8_t bits = 0;
    for (int gx = 0; gx < 8; ++gx) {
      const Rgb first = image.at(x0 + gx * scale, y0 + y);
      if (first != major && first != minor) ++cand.stray;
      for (int k = 1; k < scale; ++k) {
        const Rgb c = image.at(x0 + gx * scale + k, y0 + y);
        if (c != major && c != minor) ++cand.stray;
        else if (c != first) ++cand.stray;  // a doubled pixel whose halves differ
      }
      if (is_minor(first)) bits |= static_cast<uint8_t>(0x80 >> gx);
    }
    minor_ink.rows[y] = bits;
  }
  Bitmap major_ink;
  for (int y = 0; y < g.cell_height; ++y) major_ink.rows[y] = static_cast<uint8_t>(~minor_ink.rows[y]);

  const Reading usual = read_as(minor_ink, minor, major, glyphs);  // ink is the rarer colour
  const Reading swapped = read_as(major_ink, major, minor, glyphs);
  const bool swap_better = swapped.rank() < usual.rank();
  cand.chosen = swap_better ? swapped : usual;
  cand.other = swap_better ? usual : swapped;
  cand.ambiguous = usual.exact && swapped.rank() == usual.rank();
  const double clean = 1.0 - static_cast<double>(cand.stray) / (g.cell_width * g.cell_height);
  cand.chosen.confidence *= clean;
  cand.other.confidence *= clean;
  return cand;
}

Cell to_cell(const Candidate& c, bool guessed) {
  Cell cell;
  const Reading& r = c.chosen;
  cell.code = static_cast<uint8_t>(r.match.code);
  cell.fg = r.fg;
  cell.bg = r.bg;
  cell.fg_index = text_palette_index(r.fg);
  cell.bg_index = text_palette_index(r.bg);
  cell.blank = c.blank;
  cell.exact = r.exact && c.stray == 0;
  cell.cursor = r.band_first >= 0;
  cell.cursor_first_row = r.band_first;
  cell.cursor_last_row = r.band_last;
  cell.polarity_guessed = guessed;
  cell.distance = r.match.distance;
  cell.stray_pixels = c.stray;
  cell.confidence = r.confidence;
  return cell;
}

}  // namespace

std::string geometry_error(const Image& image, const CellGeometry& g) {
  if (g.cell_width != 8 && g.cell_width != 16) return "cell width must be 8 or 16";
  if (g.cell_height != 8 && g.cell_height != 14 && g.cell_height != 16) return "cell height must be 8, 14 or 16";
  if (g.columns < 0 || g.rows < 0) return "columns and rows must not be negative";
  if (g.origin_x < 0 || g.origin_y < 0 || g.origin_x >= image.width || g.origin_y >= image.height)
    return "origin lies outside the image";
  const int fit_columns = (image.width - g.origin_x) / g.cell_width;
  const int fit_rows = (image.height - g.origin_y) / g.cell_height;
  if (fit_columns == 0 || fit_rows == 0) return "not one whole cell fits in the image";
  if (g.columns > fit_columns || g.rows > fit_rows) return "the requested cells do not fit in the image";
  return {};
}

std::vector<Row> read_cells(const Image& image, const CellGeometry& g) {
  if (!geometry_error(image, g).empty()) return {};
  const int columns = g.columns ? g.columns : (image.width - g.origin_x) / g.cell_width;
  const int rows = g.rows ? g.rows : (image.height - g.origin_y) / g.cell_height;
  const GlyphMatcher glyphs(g.cell_height);
  std::vector<Row> out(static_cast<size_t>(rows));
  for (int row = 0; row < rows; ++row) {
    std::vector<Candidate> cands;
    cands.reserve(static_cast<size_t>(columns));
    for (int col = 0; col < columns; ++col)
      cands.push_back(read_cell(image, g.origin_x + col * g.cell_width, g.origin_y + row * g.cell_height, g, glyphs));

    // Cells whose colours could be either way round (half blocks, say) take
    // the background most of the row's other cells show.
    std::vector<std::pair<Rgb, int>> backgrounds;
    for (const Candidate& c : cands) {
      if (c.ambiguous) continue;
      auto it = std::find_if(backgrounds.begin(), backgrounds.end(), [&](const auto& e) { return e.first == c.chosen.bg; });
      if (it == backgrounds.end()) backgrounds.emplace_back(c.chosen.bg, 1);
      else ++it->second;
    }
    const auto usual_bg = std::max_element(backgrounds.begin(), backgrounds.end(),
                                           [](const auto& a, const auto& b) { return a.second < b.second; });
    Row& r = out[static_cast<size_t>(row)];
    for (Candidate& c : cands) {
      if (c.ambiguous && usual_bg != backgrounds.end() && c.other.bg == usual_bg->first) std::swap(c.chosen, c.other);
      r.cells.push_back(to_cell(c, c.ambiguous));
      r.cp437 += static_cast<char>(r.cells.back().code);
    }
    r.utf8 = cp437_to_utf8(r.cp437);
  }
  return out;
}

Summary summarize(const std::vector<Row>& rows) {
  Summary s;
  for (size_t y = 0; y < rows.size(); ++y) {
    for (size_t x = 0; x < rows[y].cells.size(); ++x) {
      const Cell& c = rows[y].cells[x];
      ++s.cells;
      if (!c.exact) ++s.inexact;
      if (c.cursor) {
        if (s.cursor_cells++ == 0) {
          s.cursor_column = static_cast<int>(x);
          s.cursor_row = static_cast<int>(y);
        }
      }
      s.min_confidence = std::min(s.min_confidence, c.confidence);
    }
  }
  return s;
}

}  // namespace kx::screen_reader
