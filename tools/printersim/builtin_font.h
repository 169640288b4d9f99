#pragma once
// The simulated printer's own 8 x 16 character set: printable ASCII drawn once from the
// monospace face; bytes from 0x80 show as a hollow box.
#include <cstdint>

namespace printersim {

constexpr int kFontWidth = 8;
constexpr int kFontHeight = 16;

// Ink at column x (0..7, from the left), row y (0..15, from the top) of character `code`.
bool BuiltinFontDot(uint8_t code, int x, int y);

}  // namespace printersim
