#include "screen/copy/copy_rectangles.h"

#include <cmath>

std::optional<kx::copy_plan> kx::plan_copy(const corner_pair& d, const corner_pair& s, double dst_w, double dst_h,
                                           double src_w, double src_h) {
  if (s.first && !s.second && !d.second) return std::nullopt;
  copy_plan p{};
  const auto whole_source = [&] { p.sx1 = 0, p.sy1 = 0, p.sx2 = src_w - 1, p.sy2 = src_h - 1; };
  const auto whole_dest = [&] { p.dx1 = 0, p.dy1 = 0, p.dx2 = dst_w - 1, p.dy2 = dst_h - 1; };
  // The destination at its first corner, as large as the source rectangle.
  const auto placed = [&] {
    p.dx1 = d.x1, p.dy1 = d.y1;
    p.dx2 = d.x1 + std::fabs(p.sx2 - p.sx1), p.dy2 = d.y1 + std::fabs(p.sy2 - p.sy1);
  };
  const auto same_size = [&] {
    return std::fabs(p.dx2 - p.dx1) == std::fabs(p.sx2 - p.sx1) && std::fabs(p.dy2 - p.dy1) == std::fabs(p.sy2 - p.sy1);
  };
  if (s.second) {
    p.sx1 = s.x1, p.sy1 = s.y1, p.sx2 = s.x2, p.sy2 = s.y2;
    if (d.second) {
      p.dx1 = d.x1, p.dy1 = d.y1, p.dx2 = d.x2, p.dy2 = d.y2;
    } else if (d.first) {
      placed();
    } else {
      whole_dest();
    }
  } else if (d.second) {
    p.dx1 = d.x1, p.dy1 = d.y1, p.dx2 = d.x2, p.dy2 = d.y2;
    if (s.first) {
      p.sx1 = s.x1, p.sy1 = s.y1;
      p.sx2 = s.x1 + std::fabs(d.x2 - d.x1), p.sy2 = s.y1 + std::fabs(d.y2 - d.y1);
    } else {
      whole_source();
    }
  } else {
    whole_source();
    if (d.first) {
      placed();
    } else {
      whole_dest();
    }
  }
  p.stretch = !same_size();
  return p;
}
