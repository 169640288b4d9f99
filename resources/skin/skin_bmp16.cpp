// Sixteen-colour BMP files: a palette of up to 16 entries and two pixels a byte, rows bottom-up
// and padded to four bytes, as the stand-by picture is stored.
#include <algorithm>
#include <vector>

#include "resources/skin/skin_paint.h"

namespace skin {

namespace {

void Put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

}  // namespace

std::vector<uint8_t> EncodeBmp16(const draw::Bitmap& bmp) {
  if (bmp.IsNull()) return {};
  const int w = bmp.Width(), h = bmp.Height();
  std::vector<draw::Color> palette;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const draw::Color c = bmp.GetPixel(x, y);
      if (std::find(palette.begin(), palette.end(), c) != palette.end()) continue;
      if (palette.size() == 16) return {};
      palette.push_back(c);
    }
  std::sort(palette.begin(), palette.end());  // the same picture always gives the same file
  const uint32_t rowBytes = ((static_cast<uint32_t>(w) * 4 + 31) / 32) * 4;
  const uint32_t offset = 14 + 40 + 16 * 4, size = offset + rowBytes * static_cast<uint32_t>(h);
  std::vector<uint8_t> out;
  out.reserve(size);
  out.push_back('B');
  out.push_back('M');
  Put32(out, size);
  Put32(out, 0);
  Put32(out, offset);
  Put32(out, 40);
  Put32(out, static_cast<uint32_t>(w));
  Put32(out, static_cast<uint32_t>(h));
  Put16(out, 1);
  Put16(out, 4);
  Put32(out, 0);  // uncompressed
  Put32(out, rowBytes * static_cast<uint32_t>(h));
  Put32(out, 2835);  // 72 dots per inch
  Put32(out, 2835);
  Put32(out, 16);
  Put32(out, 0);
  for (size_t i = 0; i < 16; ++i) {
    const draw::Color c = i < palette.size() ? palette[i] : draw::kBlack;
    out.push_back(static_cast<uint8_t>(draw::GetBValue(c)));
    out.push_back(static_cast<uint8_t>(draw::GetGValue(c)));
    out.push_back(static_cast<uint8_t>(draw::GetRValue(c)));
    out.push_back(0);
  }
  for (int y = h - 1; y >= 0; --y) {
    std::vector<uint8_t> row(rowBytes, 0);
    for (int x = 0; x < w; ++x) {
      const auto index = static_cast<uint8_t>(
          std::find(palette.begin(), palette.end(), bmp.GetPixel(x, y)) - palette.begin());
      row[static_cast<size_t>(x / 2)] |= static_cast<uint8_t>(x % 2 ? index : index << 4);
    }
    out.insert(out.end(), row.begin(), row.end());
  }
  return out;
}

}  // namespace skin
