#include "screen/copy/putimage.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

#include "base/error.h"
#include "screen/copy/copy_rectangles.h"
#include "screen/fonts/fonts.h"
#include "screen/graphics/coordinates.h"
#include "screen/images/blend.h"
#include "screen/images/hardware_images.h"
#include "screen/images/image_create.h"
#include "screen/images/image_statements.h"
#include "screen/images/image_table.h"

namespace {

bool is_hardware_handle(int32_t handle) { return handle < SOFTWARE_IMG_HANDLE_MIN; }

// Which destination pixels of one axis are written, and the source pixel
// each one reads.
struct axis_map {
  int64_t first = 0;           // first destination pixel
  std::vector<int32_t> source;  // source pixel of first, first + 1, ...
  bool contiguous = false;      // source runs upward one by one
};

// The nearest source pixel of every destination pixel inside both images:
// unscaled copies step one by one (backwards when mirrored); stretched ones
// sample the source range widened by just under half a pixel at each end.
axis_map map_axis(double d1, double d2, double s1, double s2, bool stretch, int64_t dst_size, int64_t src_size) {
  const bool mirrored = (d2 < d1) != (s2 < s1);
  const int64_t lo_d = static_cast<int64_t>(std::min(d1, d2)), hi_d = static_cast<int64_t>(std::max(d1, d2));
  const int64_t lo_s = static_cast<int64_t>(std::min(s1, s2)), hi_s = static_cast<int64_t>(std::max(s1, s2));
  axis_map m;
  int64_t from = std::max<int64_t>(lo_d, 0), to = std::min<int64_t>(hi_d, dst_size - 1);
  if (from > to) return m;
  const double start = mirrored ? double(hi_s) + 0.499999 : double(lo_s) - 0.499999;
  const double end = mirrored ? double(lo_s) - 0.499999 : double(hi_s) + 0.499999;
  const double step = (end - start) / double(hi_d - lo_d + 1);
  auto source_of = [&](int64_t d) -> int64_t {
    const int64_t i = d - lo_d;
    if (!stretch) return mirrored ? hi_s - i : lo_s + i;
    return static_cast<int64_t>(std::floor(start + step * (double(i) + 0.5) + 0.5));
  };
  // The source side is monotonic: trim the ends that fall outside it.
  auto outside = [&](int64_t d) {
    const int64_t s = source_of(d);
    return s < 0 || s >= src_size;
  };
  while (from <= to && outside(from)) ++from;
  while (to >= from && outside(to)) --to;
  m.first = from;
  if (from <= to) m.source.reserve(static_cast<size_t>(to - from + 1));
  for (int64_t d = from; d <= to; ++d) m.source.push_back(static_cast<int32_t>(source_of(d)));
  m.contiguous = !stretch && !mirrored;
  return m;
}

uint32_t blend_into(uint32_t d, uint32_t s) {
  const uint32_t a = s >> 24;
  if (a == 255) return s;
  if (a == 0) return d;
  return kx::blend_pixel(d, s);
}

// One run of 32-bit pixels onto another image, blended. The source is read
// once: a block of pixels is loaded, tested for alpha 255 together and,
// when all are opaque (the common case of a picture without transparency),
// stored as it is; otherwise the block is blended pixel by pixel. Where the
// processor has AVX2 the blocks are 32 pixels in four 256-bit registers,
// else 16 in four 128-bit ones.
#if defined(__x86_64__)
// t / 255 for 16-bit lanes t up to 65,407: (t + 1 + (t >> 8)) >> 8 gives
// the same quotient for every such t.
[[gnu::target("avx2")]] inline __m256i divide_by_255(__m256i t) {
  return _mm256_srli_epi16(_mm256_add_epi16(_mm256_add_epi16(t, _mm256_set1_epi16(1)), _mm256_srli_epi16(t, 8)), 8);
}

// Four pixels widened to 16-bit channels (two per 128-bit half) blended as
// blend_pixel does, before the rule for alpha 127 and 128: each colour
// channel (d (255 - a) + s a + 127) / 255, the alpha 255 - ((255 - b)
// (255 - a) + 127) / 255. With alpha 255 this gives the source and with
// alpha 0 the destination, exactly.
[[gnu::target("avx2")]] inline __m256i blend_wide(__m256i d, __m256i s) {
  const __m256i full = _mm256_set1_epi16(255), half = _mm256_set1_epi16(127);
  const __m256i a = _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(s, 0xFF), 0xFF);  // each pixel's alpha, 4 times
  const __m256i b = _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(d, 0xFF), 0xFF);
  const __m256i ia = _mm256_sub_epi16(full, a);
  const __m256i colour = divide_by_255(
      _mm256_add_epi16(_mm256_add_epi16(_mm256_mullo_epi16(d, ia), _mm256_mullo_epi16(s, a)), half));
  const __m256i alpha =
      _mm256_sub_epi16(full, divide_by_255(_mm256_add_epi16(_mm256_mullo_epi16(_mm256_sub_epi16(full, b), ia), half)));
  const __m256i alpha_word = _mm256_set1_epi64x(int64_t(0xFFFF000000000000ull));
  return _mm256_blendv_epi8(colour, alpha, alpha_word);
}

// Eight pixels blended as blend_pixel blends them.
[[gnu::target("avx2")]] inline __m256i blend_eight(__m256i d, __m256i s) {
  const __m256i zero = _mm256_setzero_si256();
  const __m256i low = blend_wide(_mm256_unpacklo_epi8(d, zero), _mm256_unpacklo_epi8(s, zero));
  const __m256i high = blend_wide(_mm256_unpackhi_epi8(d, zero), _mm256_unpackhi_epi8(s, zero));
  const __m256i general = _mm256_packus_epi16(low, high);
  // Alpha 127 and 128 average the colours and keep the general alpha.
  const __m256i a = _mm256_srli_epi32(s, 24);
  const __m256i halfway = _mm256_or_si256(_mm256_cmpeq_epi32(a, _mm256_set1_epi32(127)),
                                          _mm256_cmpeq_epi32(a, _mm256_set1_epi32(128)));
  const __m256i even = _mm256_set1_epi32(0xFEFEFE);
  const __m256i average = _mm256_or_si256(
      _mm256_srli_epi32(_mm256_add_epi32(_mm256_and_si256(d, even), _mm256_and_si256(s, even)), 1),
      _mm256_and_si256(general, _mm256_set1_epi32(static_cast<int32_t>(0xFF000000u))));
  return _mm256_blendv_epi8(general, average, halfway);
}

[[gnu::target("avx2")]] size_t put_blocks_avx2(uint32_t* d, const uint32_t* s, size_t n) {
  const __m256i opaque = _mm256_set1_epi32(static_cast<int32_t>(0xFF000000u));
  size_t i = 0;
  for (; i + 32 <= n; i += 32) {
    const __m256i p0 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i));
    const __m256i p1 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i + 8));
    const __m256i p2 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i + 16));
    const __m256i p3 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i + 24));
    const __m256i all = _mm256_and_si256(_mm256_and_si256(p0, p1), _mm256_and_si256(p2, p3));
    if (_mm256_movemask_epi8(_mm256_cmpeq_epi32(_mm256_and_si256(all, opaque), opaque)) == -1) {
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + i), p0);
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + i + 8), p1);
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + i + 16), p2);
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + i + 24), p3);
    } else {
      for (size_t k = i; k < i + 32; k += 8) {
        __m256i* to = reinterpret_cast<__m256i*>(d + k);
        const __m256i from = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + k));
        _mm256_storeu_si256(to, blend_eight(_mm256_loadu_si256(to), from));
      }
    }
  }
  return i;
}

size_t put_blocks_sse2(uint32_t* d, const uint32_t* s, size_t n) {
  const __m128i opaque = _mm_set1_epi32(static_cast<int32_t>(0xFF000000u));
  size_t i = 0;
  for (; i + 16 <= n; i += 16) {
    const __m128i p0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
    const __m128i p1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i + 4));
    const __m128i p2 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i + 8));
    const __m128i p3 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i + 12));
    const __m128i all = _mm_and_si128(_mm_and_si128(p0, p1), _mm_and_si128(p2, p3));
    if (_mm_movemask_epi8(_mm_cmpeq_epi32(_mm_and_si128(all, opaque), opaque)) == 0xFFFF) {
      _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), p0);
      _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i + 4), p1);
      _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i + 8), p2);
      _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i + 12), p3);
    } else {
      for (size_t k = i; k < i + 16; ++k) d[k] = blend_into(d[k], s[k]);
    }
  }
  return i;
}

const bool has_avx2 = __builtin_cpu_supports("avx2");
#endif

void put_run(uint32_t* d, const uint32_t* s, size_t n) {
  size_t i = 0;
#if defined(__x86_64__)
  i = has_avx2 ? put_blocks_avx2(d, s, n) : put_blocks_sse2(d, s, n);
#endif
  for (; i < n; ++i) d[i] = blend_into(d[i], s[i]);
}

// Copies the mapped pixels: 32 to 32 bits replaced or blended, palette
// indexes copied, palette colours written onto 32-bit pixels; the source's
// transparent index is skipped.
void copy_pixels(const img_struct& src, img_struct& dst, const axis_map& xs, const axis_map& ys) {
  const size_t n = xs.source.size();
  if (!n) return;
  const bool keyed = src.bytes_per_pixel == 1 && src.transparent_color >= 0;
  const uint32_t key = static_cast<uint32_t>(src.transparent_color);
  const bool replace = src.alpha_disabled || dst.alpha_disabled;
  for (size_t row = 0; row < ys.source.size(); ++row) {
    const uint64_t s_line = uint64_t(ys.source[row]) * src.width;
    const uint64_t d_line = uint64_t(ys.first + int64_t(row)) * dst.width + uint64_t(xs.first);
    if (src.bytes_per_pixel == 4) {
      const uint32_t* s = kx::pixels32(src) + s_line;
      uint32_t* d = kx::pixels32(dst) + d_line;
      if (xs.contiguous) {
        s += xs.source[0];
        if (replace) {
          std::memmove(d, s, n * 4);
        } else {
          put_run(d, s, n);
        }
      } else if (replace) {
        for (size_t i = 0; i < n; ++i) d[i] = s[xs.source[i]];
      } else {
        for (size_t i = 0; i < n; ++i) d[i] = blend_into(d[i], s[xs.source[i]]);
      }
      continue;
    }
    const uint8_t* s = src.data + s_line;
    if (dst.bytes_per_pixel == 1) {
      uint8_t* d = dst.data + d_line;
      if (xs.contiguous && !keyed) {
        std::memmove(d, s + xs.source[0], n);
        continue;
      }
      for (size_t i = 0; i < n; ++i) {
        const uint8_t c = s[xs.source[i]];
        if (!keyed || c != key) d[i] = c;
      }
      continue;
    }
    uint32_t* d = kx::pixels32(dst) + d_line;
    for (size_t i = 0; i < n; ++i) {
      const uint8_t c = s[xs.source[i]];
      if (!keyed || c != key) d[i] = src.pal[c];
    }
  }
}

// A corner pair given by the program, with STEP applied: the first corner
// relative to the image's graphics cursor, the second to the first.
kx::corner_pair given_corners(float x1, float y1, float x2, float y2, int32_t passed, int32_t first, int32_t first_step,
                              int32_t second, int32_t second_step, const img_struct* image) {
  kx::corner_pair c;
  c.first = passed & first;
  c.second = c.first && (passed & second);
  if (c.first && (passed & first_step) && image) {
    x1 += image->graphics.x;
    y1 += image->graphics.y;
  }
  if (c.second && (passed & second_step)) {
    x2 += x1;
    y2 += y1;
  }
  c.x1 = x1, c.y1 = y1, c.x2 = x2, c.y2 = y2;
  return c;
}

// Logical corners to the image's pixels.
kx::corner_pair mapped(const kx::corner_pair& c, const img_struct& image) {
  kx::corner_pair m = c;
  const auto a = kx::to_pixel(image.graphics, float(c.x1), float(c.y1));
  const auto b = kx::to_pixel(image.graphics, float(c.x2), float(c.y2));
  m.x1 = a.x, m.y1 = a.y, m.x2 = b.x, m.y2 = b.y;
  return m;
}

void move_cursors(img_struct& src, img_struct& dst, const kx::corner_pair& d, const kx::corner_pair& s) {
  auto& dg = dst.graphics;
  if (d.second) {
    dg.x = float(d.x2), dg.y = float(d.y2);
  } else if (!d.first) {
    dg.x = dst.width, dg.y = dst.height;
  } else {
    const double w = s.second ? std::fabs(s.x2 - s.x1) : src.width - (s.first ? s.x1 : 0);
    const double h = s.second ? std::fabs(s.y2 - s.y1) : src.height - (s.first ? s.y1 : 0);
    dg.x = float(d.x1 + w), dg.y = float(d.y1 + h);
  }
  auto& sg = src.graphics;
  if (s.second) {
    sg.x = float(s.x2), sg.y = float(s.y2);
  } else {
    sg.x = src.width, sg.y = src.height;
  }
}

// The size the window's hardware layers have: the display page's pixels.
std::pair<int32_t, int32_t> layer_size() {
  const img_struct& shown = *display_page.load();
  if (!shown.text) return {shown.width, shown.height};
  return {shown.width * fontwidth[shown.font], shown.height * fontheight[shown.font]};
}

// A hardware source: only a "put" command for the next frame is queued.
void put_hardware(int32_t src, int32_t dst, bool dst_given, float dx1, float dy1, float dx2, float dy2, float sx1,
                  float sy1, float sx2, float sy2, int32_t passed) {
  int32_t target = 0;
  std::pair<int32_t, int32_t> dst_size;
  if (!dst_given || dst == 0 || dst == 1) {
    target = dst_given && dst == 1 ? static_cast<int32_t>(hardware_target_second_layer) : 0;
    dst_size = layer_size();
  } else if (dst > 1) {
    error(err::illegal_function_call);
    return;
  } else {
    const auto size = is_hardware_handle(dst) ? hardware_img_size(dst) : std::nullopt;
    if (!size) {
      error(err::invalid_handle);
      return;
    }
    target = dst;
    dst_size = *size;
  }
  const auto src_size = hardware_img_size(src);
  if (!src_size) {
    error(err::invalid_handle);
    return;
  }
  // Hardware images have no graphics cursor: STEP adds nothing to a first
  // corner.
  const auto d = given_corners(dx1, dy1, dx2, dy2, passed, putimage_dest_first, 0, putimage_dest_second,
                               putimage_dest_second_step, nullptr);
  const auto s = given_corners(sx1, sy1, sx2, sy2, passed, putimage_source_first, 0, putimage_source_second,
                               putimage_source_second_step, nullptr);
  const auto plan = kx::plan_copy(d, s, dst_size.first, dst_size.second, src_size->first, src_size->second);
  if (!plan) {
    error(err::illegal_function_call);
    return;
  }
  // The window's layers always blend; images unless _DONTBLEND.
  const bool blend = hardware_img_blends(src) && (!is_hardware_handle(target) || hardware_img_blends(target));
  if (!kx::hardware_put(src, target, float(plan->dx1), float(plan->dy1), float(plan->dx2), float(plan->dy2),
                        float(plan->sx1), float(plan->sy1), float(plan->sx2), float(plan->sy2), blend,
                        passed & putimage_smooth)) {
    error(err::invalid_handle);
  }
}

// A software source onto a hardware destination: the source goes to the
// renderer as a temporary hardware image (palette colours looked up, the
// transparent index see-through), freed once its frames are drawn.
void put_software_on_hardware(const img_struct& source, int32_t dst, float dx1, float dy1, float dx2, float dy2,
                              float sx1, float sy1, float sx2, float sy2, int32_t passed) {
  int32_t temporary;
  if (source.bytes_per_pixel == 4) {
    temporary = hardware_img_from_pixels(source.width, source.height, kx::pixels32(source));
  } else {
    std::vector<uint32_t> colours(uint64_t{source.width} * source.height);
    for (size_t i = 0; i < colours.size(); ++i) {
      const uint8_t c = source.data[i];
      colours[i] = int32_t{c} == source.transparent_color ? 0 : source.pal[c];
    }
    temporary = hardware_img_from_pixels(source.width, source.height, colours.data());
  }
  if (temporary == -1) {
    error(err::out_of_memory);
    return;
  }
  put_hardware(temporary, dst, true, dx1, dy1, dx2, dy2, sx1, sy1, sx2, sy2, passed & ~putimage_source_first_step);
  hardware_img_request_free(temporary);
}

}  // namespace

void sub__putimage(float dx1, float dy1, float dx2, float dy2, int32_t src, int32_t dst, float sx1, float sy1,
                   float sx2, float sy2, int32_t passed) {
  if (new_error.load()) return;
  const bool src_given = passed & putimage_source_image, dst_given = passed & putimage_dest_image;
  if (src_given && is_hardware_handle(src)) {
    put_hardware(src, dst, dst_given, dx1, dy1, dx2, dy2, sx1, sy1, sx2, sy2, passed);
    return;
  }
  img_struct* source = src_given ? kx::image_or_page(src) : read_page;
  if (!source) return;
  if (dst_given && is_hardware_handle(dst)) {
    if (source->text) {
      error(err::illegal_function_call);
      return;
    }
    put_software_on_hardware(*source, dst, dx1, dy1, dx2, dy2, sx1, sy1, sx2, sy2, passed);
    return;
  }
  img_struct* dest = dst_given ? kx::image_or_page(dst) : write_page;
  if (!dest) return;
  if (source->text || dest->text || (source->bytes_per_pixel == 4 && dest->bytes_per_pixel == 1)) {
    error(err::illegal_function_call);
    return;
  }
  const auto d = given_corners(dx1, dy1, dx2, dy2, passed, putimage_dest_first, putimage_dest_first_step,
                               putimage_dest_second, putimage_dest_second_step, dest);
  const auto s = given_corners(sx1, sy1, sx2, sy2, passed, putimage_source_first, putimage_source_first_step,
                               putimage_source_second, putimage_source_second_step, source);
  const auto plan = kx::plan_copy(mapped(d, *dest), mapped(s, *source), dest->width, dest->height, source->width,
                                  source->height);
  if (!plan) {
    error(err::illegal_function_call);
    return;
  }
  move_cursors(*source, *dest, d, s);
  const axis_map xs = map_axis(plan->dx1, plan->dx2, plan->sx1, plan->sx2, plan->stretch, dest->width, source->width);
  const axis_map ys = map_axis(plan->dy1, plan->dy2, plan->sy1, plan->sy2, plan->stretch, dest->height, source->height);
  if (xs.source.empty() || ys.source.empty()) return;
  // Onto itself: read from a copy, so overlapping rectangles see the pixels
  // as they were before the statement.
  if (source == dest) {
    const int32_t copy = func__copyimage(-kx::image_index(source), 0, 1);
    if (copy >= -1) {
      if (!new_error.load()) error(err::out_of_memory);
      return;
    }
    copy_pixels(img[-copy], *dest, xs, ys);
    kx::free_image(-copy);
    return;
  }
  copy_pixels(*source, *dest, xs, ys);
}
