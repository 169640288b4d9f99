#include "tools/printersim/builtin_font.h"

#include <array>
#include <string>

#include "platform/ui/draw/bitmap.h"
#include "platform/ui/draw/dc.h"

namespace printersim {

namespace {

using Cell = std::array<uint8_t, kFontHeight>;  // one byte a row, bit 7 the left-most column

std::array<Cell, 256> MakeFont() {
  std::array<Cell, 256> font{};
  draw::Bitmap bmp = draw::Bitmap::CreateMonochrome(kFontWidth, kFontHeight);
  if (!bmp) return font;
  draw::DC dc(bmp);
  dc.SelectFont(draw::Font("Courier New", -13, draw::kFontWeightBold));
  dc.SetTextColor(draw::kBlack);
  dc.SetBkMode(draw::BkMode::Transparent);
  for (int code = 0x21; code < 0x7F; ++code) {
    dc.FillSolidRect(draw::Rect(0, 0, kFontWidth, kFontHeight), draw::kWhite);
    draw::Rect r(0, 1, kFontWidth, kFontHeight);
    dc.DrawText(std::string(1, static_cast<char>(code)), &r, draw::kDtCenter | draw::kDtNoPrefix | draw::kDtSingleLine);
    dc.Flush();
    for (int y = 0; y < kFontHeight; ++y) {
      for (int x = 0; x < kFontWidth; ++x) {
        if ((bmp.GetPixel(x, y) & 0xFFFFFF) != draw::kWhite) font[static_cast<size_t>(code)][static_cast<size_t>(y)] |= static_cast<uint8_t>(0x80u >> x);
      }
    }
  }
  for (int code = 0x80; code < 0x100; ++code) {
    Cell& c = font[static_cast<size_t>(code)];
    c[3] = c[12] = 0x7E;
    for (int y = 4; y < 12; ++y) c[static_cast<size_t>(y)] = 0x42;
  }
  return font;
}

}  // namespace

bool BuiltinFontDot(uint8_t code, int x, int y) {
  static const std::array<Cell, 256> font = MakeFont();
  if (x < 0 || x >= kFontWidth || y < 0 || y >= kFontHeight) return false;
  return (font[code][static_cast<size_t>(y)] >> (7 - x)) & 1u;
}

}  // namespace printersim
