// The stand-by picture: a sixteen-colour file, and a plain middle where the stand-by screen
// writes its olive "Stand by..." text in every language at both layout scales.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/ui/draw/dc.h"
#include "resources/skin/skin_ids.h"
#include "resources/skin/skin_paint.h"

namespace {

using draw::Color;
using draw::RGB;

double Luminance(Color c) {
  auto lin = [](int v) {
    const double s = v / 255.0;
    return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * lin(draw::GetRValue(c)) + 0.7152 * lin(draw::GetGValue(c)) + 0.0722 * lin(draw::GetBValue(c));
}

TEST(StandByPicture, TextAreaIsPlainAndTheTextReadsOnIt) {
  const skin::SkinBitmap* e = skin::FindSkinBitmap(358);
  ASSERT_NE(e, nullptr);
  const draw::Bitmap pic = skin::Paint(*e);
  ASSERT_EQ(pic.GetSize(), draw::Size(800, 600));
  const Color under = pic.GetPixel(400, 300);
  const Color text = RGB(128, 128, 0);
  const double hi = std::max(Luminance(under), Luminance(text)), lo = std::min(Luminance(under), Luminance(text));
  EXPECT_GE((hi + 0.05) / (lo + 0.05), 3.0) << "olive text must read on the picture";

  draw::Bitmap scratch = draw::Bitmap::Create(10, 10);
  draw::DC dc(scratch);
  const char* texts[] = {"待机中...", "Stand by...", "En veille...", "Очікування"};
  for (int height : {30, 37}) {  // layout scale 1.0 and 1.25
    dc.SelectFont(draw::Font("Arial", height));
    for (const char* t : texts) {
      const draw::Size ext = dc.GetTextExtent(t);
      const int x0 = (800 - ext.cx) / 2 - 24, y0 = (600 - ext.cy) / 2 - 16;
      for (int y = y0; y < y0 + ext.cy + 32; ++y)
        for (int x = x0; x < x0 + ext.cx + 48; ++x)
          ASSERT_EQ(pic.GetPixel(x, y), under) << t << " at " << height << ": " << x << "," << y;
    }
  }
}

TEST(StandByPicture, WrittenAsFourBitFileWithTheSamePixels) {
  const auto dir = std::filesystem::temp_directory_path() / ("qx_skin_standby_" + std::to_string(::getpid()));
  std::string error;
  ASSERT_TRUE(skin::WriteAll(dir.string(), &error)) << error;
  const skin::SkinBitmap* e = skin::FindSkinBitmap(358);
  std::ifstream in(dir / e->file, std::ios::binary);
  const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_GT(bytes.size(), 54u);
  EXPECT_EQ(bytes[28] | bytes[29] << 8, 4);
  EXPECT_EQ(bytes.size(), 14u + 40 + 64 + 400 * 600);
  const draw::Bitmap loaded = draw::Bitmap::LoadBmp(bytes.data(), bytes.size(), &error);
  ASSERT_FALSE(loaded.IsNull()) << error;
  const draw::Bitmap painted = skin::Paint(*e);
  EXPECT_EQ(loaded.EncodeBmp(), painted.EncodeBmp());
  std::filesystem::remove_all(dir);
}

TEST(SixteenColourFiles, OddWidthsRoundTripAndSeventeenColoursAreRefused) {
  struct Case { int w, h, colours; };
  for (const Case& c : {Case{1, 1, 1}, Case{3, 2, 3}, Case{9, 3, 16}, Case{8, 2, 16}}) {
    draw::Bitmap b = draw::Bitmap::Create(c.w, c.h);
    for (int y = 0; y < c.h; ++y)
      for (int x = 0; x < c.w; ++x) b.SetPixel(x, y, RGB(((x + y * c.w) % c.colours) * 15, 40, 200));
    const std::vector<uint8_t> file = skin::EncodeBmp16(b);
    ASSERT_FALSE(file.empty()) << c.w << "x" << c.h;
    EXPECT_EQ(file[28], 4);
    std::string error;
    const draw::Bitmap back = draw::Bitmap::LoadBmp(file.data(), file.size(), &error);
    ASSERT_FALSE(back.IsNull()) << error;
    EXPECT_EQ(back.EncodeBmp(), b.EncodeBmp()) << c.w << "x" << c.h;
  }
  draw::Bitmap many = draw::Bitmap::Create(17, 1);
  for (int x = 0; x < 17; ++x) many.SetPixel(x, 0, RGB(x, x, x));
  EXPECT_TRUE(skin::EncodeBmp16(many).empty());
  EXPECT_TRUE(skin::EncodeBmp16(draw::Bitmap()).empty());
}

}  // namespace
