#pragma once
// Colours as the screens quote them: 0x00BBGGRR, red in the low byte.
#include <cstdint>

namespace draw {

using Color = uint32_t;

constexpr Color RGB(int r, int g, int b) {
  return static_cast<Color>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int GetRValue(Color c) { return static_cast<int>(c & 0xFF); }
constexpr int GetGValue(Color c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int GetBValue(Color c) { return static_cast<int>((c >> 16) & 0xFF); }

// Returned where there is no colour to report (a pixel outside the surface).
constexpr Color kInvalidColor = 0xFFFFFFFFu;

constexpr Color kBlack = RGB(0, 0, 0);
constexpr Color kWhite = RGB(255, 255, 255);
// The key colour of every skin bitmap: these pixels are see-through.
constexpr Color kMagenta = RGB(255, 0, 255);

}  // namespace draw
