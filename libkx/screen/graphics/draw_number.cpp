// DRAW's number reader.
#include <cmath>
#include <cstring>

#include "screen/graphics/draw.h"
#include "screen/graphics/draw_position.h"
#include "values/conventional_memory.h"

int32_t draw_num_invalid;
int32_t draw_num_undefined;

namespace {

// Variable types a "=" pointer may name, by their type byte.
enum class variable_type : uint8_t {
  int8 = 1,
  uint8 = 129,
  int16 = 2,
  uint16 = 130,
  int32 = 20,
  uint32 = 148,
  int64 = 5,
  uint64 = 133,
  single = 4,
  double_ = 8,
  extended = 6,
};

template <class T>
double load(const uint8_t* at) {
  T v;
  std::memcpy(&v, at, sizeof v);
  return static_cast<double>(v);
}

// The value of the variable at offset in the data segment; false for an
// unknown type byte.
bool variable_value(uint8_t type, uint16_t offset, double& value) {
  const uint8_t* at = dblock + offset;  // every type fits: cmem runs far past the segment
  switch (static_cast<variable_type>(type)) {
    case variable_type::int8: value = load<int8_t>(at); return true;
    case variable_type::uint8: value = load<uint8_t>(at); return true;
    case variable_type::int16: value = load<int16_t>(at); return true;
    case variable_type::uint16: value = load<uint16_t>(at); return true;
    case variable_type::int32: value = load<int32_t>(at); return true;
    case variable_type::uint32: value = load<uint32_t>(at); return true;
    case variable_type::int64: value = load<int64_t>(at); return true;
    case variable_type::uint64: value = load<uint64_t>(at); return true;
    case variable_type::single: value = load<float>(at); return true;
    case variable_type::double_: value = load<double>(at); return true;
    case variable_type::extended: {
      long double v = 0;
      std::memcpy(&v, at, 10);
      value = static_cast<double>(v);
      return true;
    }
  }
  return false;
}

}  // namespace

double draw_num() {
  auto& s = kx::draw_position;
  draw_num_undefined = 1;
  draw_num_invalid = 0;
  double value = 0, sign = 1, place = 0.1;
  bool digits = false, point = false, anything = false;
  while (s.index < s.length) {
    const uint8_t c = s.text[s.index];
    if (c == ' ' || c == '\t') {
      ++s.index;
      continue;
    }
    if (c >= '0' && c <= '9') {
      if (point) {
        value += (c - '0') * place;
        place /= 10;
      } else {
        value = value * 10 + (c - '0');
      }
      digits = true;
      draw_num_undefined = 0;
      draw_num_invalid = 0;
    } else if ((c == '-' || c == '+') && !digits && !point) {
      if (c == '-') sign = -sign;
      draw_num_invalid = 1;
    } else if (c == '.' && !point) {
      point = true;
      if (digits) draw_num_invalid = 1;
    } else if (c == '=' && !anything) {
      ++s.index;
      if (s.length - s.index < 3) {
        s.index = s.length;
        draw_num_invalid = 1;
        return 0;
      }
      const uint8_t* p = s.text + s.index;
      s.index += 3;
      if (!variable_value(p[0], static_cast<uint16_t>(p[1] | p[2] << 8), value)) {
        draw_num_invalid = 1;
        return 0;
      }
      draw_num_undefined = 0;
      return value;
    } else {
      break;
    }
    anything = true;
    ++s.index;
  }
  return sign * value;
}
