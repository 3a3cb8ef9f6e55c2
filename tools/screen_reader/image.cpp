// The in-memory picture and its binary PPM form, which ImageMagick's
// "import -window ID ppm:-" produces for a window capture.
#include <cctype>
#include <ostream>

#include "screen_reader.h"

namespace kx::screen_reader {

Image::Image(int w, int h, Rgb fill) : width(w), height(h), rgb(static_cast<size_t>(w) * h * 3) {
  for (size_t i = 0; i < rgb.size(); i += 3) {
    rgb[i] = fill.r;
    rgb[i + 1] = fill.g;
    rgb[i + 2] = fill.b;
  }
}

Rgb Image::at(int x, int y) const {
  const size_t i = (static_cast<size_t>(y) * width + x) * 3;
  return {rgb[i], rgb[i + 1], rgb[i + 2]};
}

void Image::set(int x, int y, Rgb colour) {
  const size_t i = (static_cast<size_t>(y) * width + x) * 3;
  rgb[i] = colour.r;
  rgb[i + 1] = colour.g;
  rgb[i + 2] = colour.b;
}

namespace {

// Reads one header number, skipping white space and '#' comments.
bool read_header_number(std::istream& in, long& value) {
  int c = in.get();
  while (c != EOF && (std::isspace(c) || c == '#')) {
    if (c == '#') {
      while (c != EOF && c != '\n') c = in.get();
    }
    c = in.get();
  }
  if (c == EOF || !std::isdigit(c)) return false;
  value = 0;
  while (c != EOF && std::isdigit(c)) {
    value = value * 10 + (c - '0');
    if (value > 1000000) return false;
    c = in.get();
  }
  // Exactly one white-space byte ends the header's last number.
  return c != EOF && std::isspace(c);
}

std::optional<Image> fail(std::string* error, const char* why) {
  if (error) *error = why;
  return std::nullopt;
}

}  // namespace

std::optional<Image> read_ppm(std::istream& in, std::string* error) {
  char magic[2] = {};
  if (!in.read(magic, 2) || magic[0] != 'P' || magic[1] != '6') return fail(error, "not a binary PPM (P6)");
  long width = 0, height = 0, maxval = 0;
  if (!read_header_number(in, width) || !read_header_number(in, height) ||
      !read_header_number(in, maxval))
    return fail(error, "malformed PPM header");
  if (width <= 0 || height <= 0) return fail(error, "PPM image has no pixels");
  if (maxval < 1 || maxval > 65535) return fail(error, "PPM maxval must be 1 to 65535");
  Image image(static_cast<int>(width), static_cast<int>(height));
  if (maxval == 255) {
    if (!in.read(reinterpret_cast<char*>(image.rgb.data()), static_cast<std::streamsize>(image.rgb.size())))
      return fail(error, "PPM pixel data is truncated");
    return image;
  }
  // Other depths (ImageMagick's Q16 build writes 16-bit samples unless told
  // -depth 8) are scaled to 8 bits; 8-bit colours stored as 16 bits come
  // back exactly.
  const int sample_bytes = maxval > 255 ? 2 : 1;
  std::vector<unsigned char> raw(image.rgb.size() * sample_bytes);
  if (!in.read(reinterpret_cast<char*>(raw.data()), static_cast<std::streamsize>(raw.size())))
    return fail(error, "PPM pixel data is truncated");
  for (size_t i = 0; i < image.rgb.size(); ++i) {
    const long v = sample_bytes == 2 ? (raw[2 * i] << 8 | raw[2 * i + 1]) : raw[i];
    if (v > maxval) return fail(error, "PPM sample exceeds maxval");
    image.rgb[i] = static_cast<uint8_t>((v * 255 + maxval / 2) / maxval);
  }
  return image;
}

void write_ppm(std::ostream& out, const Image& image) {
  out << "P6\n" << image.width << ' ' << image.height << "\n255\n";
  out.write(reinterpret_cast<const char*>(image.rgb.data()), static_cast<std::streamsize>(image.rgb.size()));
}

}  // namespace kx::screen_reader
