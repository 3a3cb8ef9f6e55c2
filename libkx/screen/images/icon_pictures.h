#pragma once
// The program's icons, 0xAARRGGBB, rows top first: a white "H" on a deep
// blue tile with a lighter rim, the machine's colours.
#include <array>
#include <cstdint>

namespace kx {

template <int N>
constexpr std::array<uint32_t, N * N> halcyonix_icon() {
  std::array<uint32_t, N * N> p{};
  constexpr uint32_t tile = 0xFF0000AA, rim = 0xFF5555FF, ink = 0xFFFFFFFF;
  const int stroke = N / 8;
  for (int y = 0; y < N; ++y) {
    for (int x = 0; x < N; ++x) {
      uint32_t c = tile;
      if (x == 0 || y == 0 || x == N - 1 || y == N - 1) c = rim;
      const bool upright = (x >= 2 * stroke && x < 3 * stroke) || (x >= N - 3 * stroke && x < N - 2 * stroke);
      const bool bar = y >= N / 2 - stroke / 2 && y < N / 2 + (stroke + 1) / 2 &&
                       x >= 2 * stroke && x < N - 2 * stroke;
      if (y >= 2 * stroke && y < N - 2 * stroke && (upright || bar)) c = ink;
      p[static_cast<size_t>(y * N + x)] = c;
    }
  }
  return p;
}

}  // namespace kx

inline constexpr auto image_kxicon16 = kx::halcyonix_icon<16>();
inline constexpr auto image_kxicon32 = kx::halcyonix_icon<32>();
