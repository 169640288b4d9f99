// Block transfers between bitmaps and DCs.
#include <gtest/gtest.h>

#include "canvas.h"

using namespace draw;
using drawtest::Canvas;

namespace {
constexpr Color kA = RGB(0x0F, 0xF0, 0x33);
constexpr Color kB = RGB(0x55, 0x0F, 0xF0);
Color Bits(Color c) { return c & 0xFFFFFF; }
}  // namespace

TEST(Blit, RasterOperationsCombineBits) {
  struct Case {
    const char* name;
    uint32_t rop;
    Color expect;
  } cases[] = {
      {"copy", kSrcCopy, kB},
      {"or", kSrcPaint, Bits(kA | kB)},
      {"and", kSrcAnd, Bits(kA & kB)},
      {"xor", kSrcInvert, Bits(kA ^ kB)},
      {"invert destination", kDstInvert, Bits(~kA)},
      {"not source", kNotSrcCopy, Bits(~kB)},
      {"blackness", kBlackness, kBlack},
      {"whiteness", kWhiteness, kWhite},
  };
  for (const auto& k : cases) {
    Canvas dst(10, 10, kA);
    Canvas src(10, 10, kB);
    ASSERT_TRUE(dst.dc.BitBlt(2, 2, 4, 4, src.dc, 0, 0, k.rop)) << k.name;
    EXPECT_EQ(dst.At(3, 3), k.expect) << k.name;
    EXPECT_EQ(dst.At(6, 6), kA) << k.name;  // outside the block untouched
    EXPECT_EQ(dst.At(1, 1), kA) << k.name;
  }
}

TEST(Blit, PatBltUsesTheBrush) {
  Canvas c(10, 10, kA);
  c.dc.SelectBrush(Brush::Solid(kB));
  ASSERT_TRUE(c.dc.PatBlt(0, 0, 5, 5, kPatCopy));
  EXPECT_EQ(c.At(0, 0), kB);
  ASSERT_TRUE(c.dc.PatBlt(0, 0, 5, 5, kPatInvert));
  EXPECT_EQ(c.At(0, 0), kBlack);
  EXPECT_FALSE(c.dc.PatBlt(0, 0, 5, 5, kSrcCopy));  // needs a source
}

TEST(Blit, XorBlitTwiceRestores) {
  Canvas dst(20, 20, kA);
  dst.dc.FillRect(Rect(5, 5, 15, 15), Brush::Solid(kB));
  Bitmap before = dst.bmp.Clone();
  Bitmap sprite = Bitmap::Create(8, 8, RGB(200, 100, 50));
  dst.dc.BitBlt(3, 3, 8, 8, sprite, 0, 0, kSrcInvert);
  EXPECT_NE(dst.At(4, 4), before.GetPixel(4, 4));
  dst.dc.BitBlt(3, 3, 8, 8, sprite, 0, 0, kSrcInvert);
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 20; ++x) ASSERT_EQ(dst.At(x, y), before.GetPixel(x, y));
}

TEST(Blit, SourceOffsetAndMemoryDc) {
  Bitmap pic = Bitmap::Create(4, 4, kWhite);
  pic.SetPixel(2, 1, kB);
  DC mem = DC::CreateCompatible(nullptr);
  Bitmap old = mem.SelectBitmap(pic);
  EXPECT_EQ(old.GetSize(), Size(1, 1));
  EXPECT_TRUE(mem.GetBitmap().SameAs(pic));
  mem.SetPixel(0, 0, kA);  // drawing on the memory DC changes the bitmap
  EXPECT_EQ(pic.GetPixel(0, 0), kA);
  Canvas c(10, 10, kBlack);
  c.dc.BitBlt(5, 5, 2, 2, mem, 1, 0);
  EXPECT_EQ(c.At(6, 6), kB);   // source (2,1) lands at (6,6)
  EXPECT_EQ(c.At(5, 5), kWhite);
  EXPECT_EQ(c.At(7, 7), kBlack);
}

TEST(Blit, StretchDoublesPixels) {
  Bitmap pic = Bitmap::Create(2, 2, kWhite);
  pic.SetPixel(1, 0, kB);
  Canvas c(10, 10, kBlack);
  ASSERT_TRUE(c.dc.StretchBlt(0, 0, 4, 4, pic, 0, 0, 2, 2));
  EXPECT_EQ(c.CountNot(kWhite, Rect(2, 0, 4, 2)), 4);
  EXPECT_EQ(c.At(2, 0), kB);
  EXPECT_EQ(c.At(3, 1), kB);
  EXPECT_EQ(c.At(1, 1), kWhite);
  EXPECT_EQ(c.At(3, 2), kWhite);
  EXPECT_EQ(c.Ink(kBlack), Rect(0, 0, 4, 4));
  // Shrinking picks whole source pixels.
  Canvas s(10, 10, kBlack);
  Bitmap big = Bitmap::Create(8, 8, kB);
  s.dc.StretchBlt(0, 0, 2, 2, big, 0, 0, 8, 8);
  EXPECT_EQ(s.Ink(kBlack), Rect(0, 0, 2, 2));
}

TEST(Blit, TransparentBlitLeavesTheKeyColourOut) {
  // A skin-style picture: a blue disc on magenta.
  Bitmap skin = Bitmap::Create(10, 10, kMagenta);
  for (int y = 3; y < 7; ++y)
    for (int x = 3; x < 7; ++x) skin.SetPixel(x, y, kB);
  Canvas c(30, 30, kA);
  ASSERT_TRUE(c.dc.TransparentBlt(0, 0, 10, 10, skin, 0, 0, 10, 10, kMagenta));
  EXPECT_EQ(c.CountNot(kA), 16);
  EXPECT_EQ(c.At(4, 4), kB);
  // Stretched and from a memory DC alike.
  DC mem(skin);
  ASSERT_TRUE(c.dc.TransparentBlt(10, 10, 20, 20, mem, 0, 0, 10, 10));
  EXPECT_EQ(c.CountNot(kA, Rect(10, 10, 30, 30)), 64);
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 30; ++x) ASSERT_NE(c.At(x, y), kMagenta);
}

TEST(Blit, ClipAndDeviceOriginApply) {
  Canvas c(20, 20, kBlack);
  Bitmap pic = Bitmap::Create(10, 10, kWhite);
  c.dc.SetDeviceOrigin(5, 5);
  c.dc.IntersectClipRect(Rect(0, 0, 4, 10));
  c.dc.BitBlt(0, 0, 10, 10, pic, 0, 0);
  EXPECT_EQ(c.Ink(kBlack), Rect(5, 5, 9, 15));
}

TEST(Blit, AlphaBitmapsDrawOverTheBackground) {
  Bitmap icon = Bitmap::CreateWithAlpha(4, 4);
  {
    DC dc(icon);
    dc.FillRect(Rect(1, 1, 3, 3), Brush::Solid(kB));
  }
  EXPECT_TRUE(icon.HasAlpha());
  Canvas c(10, 10, kA);
  c.dc.DrawBitmap(2, 2, icon);
  EXPECT_EQ(c.At(2, 2), kA);  // transparent corner
  EXPECT_EQ(c.At(3, 3), kB);
  EXPECT_EQ(c.CountNot(kA), 4);
}

TEST(Blit, MonochromeMaskTechniqueMatchesTheTransparentBlit) {
  // A picture with magenta where it is see-through.
  Bitmap pic = Bitmap::Create(6, 6, kMagenta);
  for (int y = 1; y < 5; ++y)
    for (int x = 2; x < 5; ++x) pic.SetPixel(x, y, kB);
  pic.SetPixel(0, 5, kA);

  // 1. The mask: the picture's magenta becomes white, the rest black.
  DC image(pic.Clone());
  image.SetBkColor(kMagenta);
  Bitmap maskBmp = Bitmap::CreateMonochrome(6, 6);
  DC mask(maskBmp);
  ASSERT_TRUE(mask.BitBlt(0, 0, 6, 6, image, 0, 0, kSrcCopy));
  EXPECT_EQ(maskBmp.GetPixel(0, 0), kWhite);
  EXPECT_EQ(maskBmp.GetPixel(3, 3), kBlack);
  // 2. The picture's see-through pixels cleared: white mask pixels AND black.
  image.SetBkColor(kBlack);
  image.SetTextColor(kWhite);
  image.BitBlt(0, 0, 6, 6, mask, 0, 0, kSrcAnd);
  EXPECT_EQ(image.GetPixel(0, 0), kBlack);
  EXPECT_EQ(image.GetPixel(3, 3), kB);
  // 3. The background ANDed with the mask (white keeps it), then ORed with the picture.
  Canvas c(10, 10, kA);
  c.dc.BitBlt(2, 2, 6, 6, mask, 0, 0, kSrcAnd);
  c.dc.BitBlt(2, 2, 6, 6, image, 0, 0, kSrcPaint);

  Canvas expect(10, 10, kA);
  expect.dc.TransparentBlt(2, 2, 6, 6, pic, 0, 0, 6, 6, kMagenta);
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 10; ++x) ASSERT_EQ(c.At(x, y), expect.At(x, y)) << x << "," << y;
}

TEST(Blit, UnscaledCopiesMatchThePixelRule) {
  // Every destination pixel worked out by the rule: the source pixel at the same offset, left
  // out when it has the key colour or lies outside the source bitmap, and nothing outside the
  // clip; under a device origin, with source rectangles reaching past the bitmap's edges.
  Bitmap pic = Bitmap::Create(12, 9, kWhite);
  for (int y = 0; y < 9; ++y)
    for (int x = 0; x < 12; ++x) pic.SetPixel(x, y, (x + y) % 3 == 0 ? kMagenta : RGB(10 * x, 20 * y, 7 * (x + y)));
  struct Case {
    int x, y, w, h, sx, sy;
    bool keyed;
    Point origin;
    Rect clip;  // in logical coordinates
  } cases[] = {
      {2, 3, 12, 9, 0, 0, true, {0, 0}, Rect(0, 0, 40, 30)},
      {2, 3, 12, 9, 0, 0, false, {0, 0}, Rect(0, 0, 40, 30)},
      {0, 0, 8, 6, 6, 5, true, {0, 0}, Rect(0, 0, 40, 30)},     // reaches past the right and bottom
      {5, 5, 10, 10, -3, -2, false, {0, 0}, Rect(0, 0, 40, 30)},  // starts before the left and top
      {1, 1, 12, 9, 0, 0, true, {7, 4}, Rect(3, 2, 9, 7)},
      {-4, -3, 12, 9, 0, 0, false, {0, 0}, Rect(0, 0, 40, 30)},  // partly off the canvas
  };
  for (const Case& k : cases) {
    Canvas c(40, 30, kA);
    c.dc.SetDeviceOrigin(k.origin.x, k.origin.y);
    c.dc.IntersectClipRect(k.clip);
    if (k.keyed)
      ASSERT_TRUE(c.dc.TransparentBlt(k.x, k.y, k.w, k.h, pic, k.sx, k.sy, k.w, k.h, kMagenta));
    else
      ASSERT_TRUE(c.dc.BitBlt(k.x, k.y, k.w, k.h, pic, k.sx, k.sy));
    for (int py = 0; py < 30; ++py) {
      for (int px = 0; px < 40; ++px) {
        const int lx = px - k.origin.x, ly = py - k.origin.y;  // logical position of the pixel
        Color want = kA;
        const bool inClip = lx >= k.clip.left && lx < k.clip.right && ly >= k.clip.top && ly < k.clip.bottom;
        const bool inDest = lx >= k.x && lx < k.x + k.w && ly >= k.y && ly < k.y + k.h;
        const int sx = k.sx + lx - k.x, sy = k.sy + ly - k.y;
        if (inClip && inDest && sx >= 0 && sx < 12 && sy >= 0 && sy < 9) {
          const Color s = pic.GetPixel(sx, sy);
          if (!(k.keyed && s == kMagenta)) want = s;
        }
        ASSERT_EQ(c.At(px, py), want) << "case at " << k.x << "," << k.y << " pixel " << px << "," << py;
      }
    }
  }
}
