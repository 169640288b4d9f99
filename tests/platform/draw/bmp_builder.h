#pragma once
// Builds small BMP files byte by byte, so the reader is tested on files we know exactly.
#include <cstdint>
#include <vector>

namespace drawtest {

struct BmpSpec {
  int width = 2, height = 2;
  int bpp = 24;
  bool topDown = false;
  int headerSize = 40;                 // 12 (core), 40, 108 or 124
  std::vector<uint32_t> palette;       // 0x00RRGGBB
  // Row-major, top row first: palette indices for bpp <= 8, else 0x00RRGGBB.
  std::vector<uint32_t> pixels;
};

inline void Put16(std::vector<uint8_t>& v, size_t at, uint32_t x) {
  v[at] = x & 0xFF;
  v[at + 1] = (x >> 8) & 0xFF;
}
inline void Put32(std::vector<uint8_t>& v, size_t at, uint32_t x) {
  Put16(v, at, x & 0xFFFF);
  Put16(v, at + 2, x >> 16);
}

inline std::vector<uint8_t> BuildBmp(const BmpSpec& s) {
  const size_t rowBytes = ((static_cast<size_t>(s.width) * s.bpp + 31) / 32) * 4;
  const size_t palEntry = s.headerSize == 12 ? 3 : 4;
  const size_t palBytes = s.palette.size() * palEntry;
  const size_t offset = 14 + s.headerSize + palBytes;
  std::vector<uint8_t> v(offset + rowBytes * s.height, 0);
  v[0] = 'B';
  v[1] = 'M';
  Put32(v, 2, static_cast<uint32_t>(v.size()));
  Put32(v, 10, static_cast<uint32_t>(offset));
  Put32(v, 14, s.headerSize);
  if (s.headerSize == 12) {
    Put16(v, 18, s.width);
    Put16(v, 20, s.topDown ? -s.height : s.height);
    Put16(v, 22, 1);
    Put16(v, 24, s.bpp);
  } else {
    Put32(v, 18, s.width);
    Put32(v, 22, static_cast<uint32_t>(s.topDown ? -s.height : s.height));
    Put16(v, 26, 1);
    Put16(v, 28, s.bpp);
    Put32(v, 46, static_cast<uint32_t>(s.palette.size()));
  }
  for (size_t i = 0; i < s.palette.size(); ++i) {
    uint8_t* e = v.data() + 14 + s.headerSize + i * palEntry;
    e[0] = s.palette[i] & 0xFF;
    e[1] = (s.palette[i] >> 8) & 0xFF;
    e[2] = (s.palette[i] >> 16) & 0xFF;
  }
  for (int y = 0; y < s.height; ++y) {
    int fileRow = s.topDown ? y : s.height - 1 - y;
    uint8_t* row = v.data() + offset + rowBytes * fileRow;
    for (int x = 0; x < s.width; ++x) {
      uint32_t p = s.pixels[static_cast<size_t>(y) * s.width + x];
      if (s.bpp <= 8) {
        int bit = x * s.bpp;
        row[bit / 8] |= static_cast<uint8_t>(p << (8 - s.bpp - bit % 8));
      } else if (s.bpp == 24) {
        row[x * 3] = p & 0xFF;
        row[x * 3 + 1] = (p >> 8) & 0xFF;
        row[x * 3 + 2] = (p >> 16) & 0xFF;
      } else if (s.bpp == 32) {
        row[x * 4] = p & 0xFF;
        row[x * 4 + 1] = (p >> 8) & 0xFF;
        row[x * 4 + 2] = (p >> 16) & 0xFF;
      } else if (s.bpp == 16) {  // 5-5-5
        uint32_t r = (p >> 19) & 31, g = (p >> 11) & 31, b = (p >> 3) & 31;
        Put16(v, static_cast<size_t>(row - v.data()) + x * 2, (r << 10) | (g << 5) | b);
      }
    }
  }
  return v;
}

}  // namespace drawtest
