// Reading and writing bitmap files.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "bmp_builder.h"
#include "platform/ui/draw/bitmap.h"

using namespace draw;
using drawtest::BmpSpec;
using drawtest::BuildBmp;

namespace {
constexpr uint32_t kR = 0xFF0000, kG = 0x00FF00, kB = 0x0000FF, kM = 0xFF00FF, kW = 0xFFFFFF, kK = 0;
Color ToColor(uint32_t rgb) { return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF); }

std::string TempPath(const char* name) {
  return std::string(::testing::TempDir()) + "/" + std::to_string(getpid()) + "_" + name;
}
}  // namespace

TEST(BmpReader, ReadsEveryLayoutOfTheSamePicture) {
  // A 3x2 picture: top row red, green, blue; bottom row magenta, white, black.
  const std::vector<uint32_t> rgb = {kR, kG, kB, kM, kW, kK};
  const std::vector<uint32_t> pal = {kK, kR, kG, kB, kM, kW};
  const std::vector<uint32_t> idx = {1, 2, 3, 4, 5, 0};
  struct Case {
    const char* name;
    BmpSpec spec;
  } cases[] = {
      {"8-bit palette", {3, 2, 8, false, 40, pal, idx}},
      {"4-bit palette", {3, 2, 4, false, 40, pal, idx}},
      {"8-bit palette, core header", {3, 2, 8, false, 12, pal, idx}},
      {"24-bit bottom-up", {3, 2, 24, false, 40, {}, rgb}},
      {"24-bit top-down", {3, 2, 24, true, 40, {}, rgb}},
      {"32-bit", {3, 2, 32, false, 40, {}, rgb}},
      {"32-bit, v5 header", {3, 2, 32, true, 124, {}, rgb}},
      {"16-bit 5-5-5", {3, 2, 16, false, 40, {}, rgb}},
  };
  for (const auto& k : cases) {
    std::vector<uint8_t> file = BuildBmp(k.spec);
    std::string err;
    Bitmap b = Bitmap::LoadMemory(file.data(), file.size(), &err);
    ASSERT_FALSE(b.IsNull()) << k.name << ": " << err;
    EXPECT_EQ(b.GetSize(), Size(3, 2)) << k.name;
    EXPECT_FALSE(b.HasAlpha()) << k.name;
    for (int y = 0; y < 2; ++y)
      for (int x = 0; x < 3; ++x) EXPECT_EQ(b.GetPixel(x, y), ToColor(rgb[y * 3 + x])) << k.name << " " << x << "," << y;
  }
}

TEST(BmpReader, OneBitRowsArePadded) {
  BmpSpec s{9, 3, 1, false, 40, {kK, kW}, {}};
  for (int i = 0; i < 27; ++i) s.pixels.push_back(i % 2);
  std::vector<uint8_t> file = BuildBmp(s);
  Bitmap b = Bitmap::LoadBmp(file.data(), file.size());
  ASSERT_FALSE(b.IsNull());
  for (int i = 0; i < 27; ++i) EXPECT_EQ(b.GetPixel(i % 9, i / 9), i % 2 ? kWhite : kBlack) << i;
}

TEST(BmpReader, RefusesBadFilesSafely) {
  const BmpSpec good{4, 4, 8, false, 40, {kK, kW}, std::vector<uint32_t>(16, 1)};
  const std::vector<uint8_t> base = BuildBmp(good);
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
  };
  std::vector<Case> cases;
  auto with = [&](const char* name, auto change) {
    std::vector<uint8_t> b = base;
    change(b);
    cases.push_back({name, b});
  };
  with("empty", [](auto& b) { b.clear(); });
  with("header only", [](auto& b) { b.resize(20); });
  with("truncated pixels", [](auto& b) { b.resize(b.size() - 3); });
  with("truncated palette", [](auto& b) { b.resize(14 + 40 + 4); });
  with("pixel offset past the end", [](auto& b) { drawtest::Put32(b, 10, 0x7FFFFFF0); });
  with("huge width", [](auto& b) { drawtest::Put32(b, 18, 0x40000000); });
  with("negative width", [](auto& b) { drawtest::Put32(b, 18, 0xFFFFFFFC); });
  with("zero height", [](auto& b) { drawtest::Put32(b, 22, 0); });
  with("height overflowing when negated", [](auto& b) { drawtest::Put32(b, 22, 0x80000000); });
  with("bad bit depth", [](auto& b) { drawtest::Put16(b, 28, 7); });
  with("run-length compressed", [](auto& b) { drawtest::Put32(b, 30, 1); });
  with("palette larger than the depth", [](auto& b) { drawtest::Put32(b, 46, 300); });
  with("header size past the end", [](auto& b) { drawtest::Put32(b, 14, 5000); });
  with("not a bitmap", [](auto& b) { b[0] = 'X'; });
  for (const auto& k : cases) {
    std::string err;
    Bitmap b = Bitmap::LoadMemory(k.bytes.data(), k.bytes.size(), &err);
    EXPECT_TRUE(b.IsNull()) << k.name;
    EXPECT_FALSE(err.empty()) << k.name;
  }
  EXPECT_TRUE(Bitmap::LoadMemory(nullptr, 0).IsNull());
  EXPECT_FALSE(Bitmap::LoadMemory(base.data(), base.size()).IsNull());  // the unchanged file is fine
}

TEST(BitmapFiles, PngAndBmpRoundTripThroughFiles) {
  Bitmap b = Bitmap::Create(5, 4, kWhite);
  b.SetPixel(0, 0, kMagenta);
  b.SetPixel(4, 3, RGB(1, 2, 3));
  for (const char* ext : {"png", "bmp"}) {
    std::string path = TempPath((std::string("round.") + ext).c_str());
    std::string err;
    ASSERT_TRUE(std::string(ext) == "png" ? b.SavePng(path, &err) : b.SaveBmp(path, &err)) << err;
    Bitmap r = Bitmap::LoadFile(path, &err);
    ASSERT_FALSE(r.IsNull()) << ext << ": " << err;
    EXPECT_EQ(r.GetSize(), Size(5, 4));
    EXPECT_FALSE(r.HasAlpha());
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 5; ++x) EXPECT_EQ(r.GetPixel(x, y), b.GetPixel(x, y)) << ext << " " << x << "," << y;
    std::remove(path.c_str());
  }
  std::string err;
  EXPECT_TRUE(Bitmap::LoadFile(TempPath("missing.bmp"), &err).IsNull());
  EXPECT_FALSE(err.empty());
  EXPECT_FALSE(b.SavePng("/nonexistent-dir/x.png", &err));
}

TEST(BitmapFiles, CopiesShareAndClonesDoNot) {
  Bitmap a = Bitmap::Create(2, 2, kBlack);
  Bitmap shared = a;
  Bitmap clone = a.Clone();
  a.SetPixel(1, 1, kWhite);
  EXPECT_EQ(shared.GetPixel(1, 1), kWhite);
  EXPECT_EQ(clone.GetPixel(1, 1), kBlack);
  EXPECT_TRUE(Bitmap::Create(0, 5).IsNull());
  EXPECT_TRUE(Bitmap::Create(100000, 5).IsNull());
  EXPECT_EQ(a.GetPixel(-1, 0), kInvalidColor);
}
