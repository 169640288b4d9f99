// Text on a pixel canvas: glyphs in every language, measuring, and the formatted-text rules.
#include <gtest/gtest.h>

#include "canvas.h"

using namespace draw;
using drawtest::Canvas;

namespace {
Font Arial(int h = -16) { return Font("Arial", h); }
}  // namespace

TEST(DcText, EveryLanguageProducesGlyphs) {
  struct Case {
    const char* face;
    const char* text;
  } cases[] = {
      {"Arial", "Print"},
      {"宋体", "正在打印，请稍候"},
      {"Arial", "正在打印"},        // CJK through the fall-back face
      {"Arial", "Друк, їжак, Ґ"},   // Ukrainian letters
      {"黑体", "Impression"},
      {"No Such Face", "Imprimiendo"},
  };
  for (const auto& k : cases) {
    Canvas c(300, 40);
    c.dc.SelectFont(Font(k.face, -20));
    c.dc.SetBkMode(BkMode::Transparent);
    c.dc.TextOut(5, 5, k.text);
    Rect ink = c.Ink();
    EXPECT_GT(c.CountNot(kWhite), 40) << k.text;
    Size ext = c.dc.GetTextExtent(k.text);
    EXPECT_NEAR(ink.Width(), ext.cx, 4 + ext.cx / 10) << k.text;
    EXPECT_GE(ink.top, 5) << k.text;
    EXPECT_LE(ink.bottom, 5 + ext.cy + 1) << k.text;
  }
}

TEST(DcText, ExtentsGrowWithTextAndFontSize) {
  Canvas c;
  c.dc.SelectFont(Arial(-16));
  Size a = c.dc.GetTextExtent("WBC"), b = c.dc.GetTextExtent("WBC WBC"), cn = c.dc.GetTextExtent("白细胞");
  EXPECT_GT(a.cx, 20);
  EXPECT_GT(b.cx, 2 * a.cx);
  EXPECT_EQ(c.dc.GetTextExtent("").cx, 0);
  EXPECT_NEAR(cn.cx, 48, 4);  // three full-width characters of 16 pixels
  EXPECT_EQ(a.cy, b.cy);
  TextMetrics m = c.dc.GetTextMetrics();
  EXPECT_EQ(m.height, a.cy);
  EXPECT_EQ(m.height, m.ascent + m.descent);
  EXPECT_EQ(m.internalLeading, m.height - 16);
  EXPECT_GT(m.aveCharWidth, 4);
  EXPECT_LT(m.aveCharWidth, 12);
  c.dc.SelectFont(Arial(-32));
  EXPECT_NEAR(c.dc.GetTextExtent("WBC").cx, 2 * a.cx, 2);
  // A positive height is the cell height: ascent + descent.
  c.dc.SelectFont(Arial(30));
  EXPECT_NEAR(c.dc.GetTextMetrics().height, 30, 1);
  // Bold text is wider.
  c.dc.SelectFont(Font("Arial", -16, kFontWeightBold));
  EXPECT_GT(c.dc.GetTextExtent("WBC WBC").cx, b.cx);
}

TEST(DcText, CharacterPositionsAddUpToTheExtent) {
  Canvas c;
  c.dc.SelectFont(Arial(-16));
  for (const char* text : {"Hgb 12.5", "白细胞", "Друк"}) {
    std::vector<int> pos = c.dc.GetTextPositions(text);
    Size ext = c.dc.GetTextExtent(text);
    ASSERT_FALSE(pos.empty()) << text;
    EXPECT_EQ(pos.back(), ext.cx) << text;
    for (size_t i = 1; i < pos.size(); ++i) EXPECT_GT(pos[i], pos[i - 1]) << text << " " << i;
  }
  EXPECT_EQ(c.dc.GetTextPositions("白细胞").size(), 3u);
  EXPECT_EQ(c.dc.GetTextPositions("Hgb").front(), c.dc.GetTextExtent("H").cx);
  EXPECT_TRUE(c.dc.GetTextPositions("").empty());
}

TEST(DcText, TextAlignAndOpaqueBackground) {
  Canvas c(200, 60);
  c.dc.SelectFont(Arial(-20));
  Size ext = c.dc.GetTextExtent("Hgb");
  c.dc.SetBkColor(RGB(0, 0, 255));
  c.dc.SetTextAlign(kTaRight | kTaBottom);
  c.dc.TextOut(150, 50, "Hgb");
  Rect ink = c.Ink();
  EXPECT_EQ(ink, Rect(150 - ext.cx, 50 - ext.cy, 150, 50));  // the opaque box is the extent
  EXPECT_EQ(c.At(150 - ext.cx, 50 - ext.cy), RGB(0, 0, 255));
}

TEST(DcText, EscapementRotatesText) {
  Canvas c(100, 200);
  c.dc.SelectFont(Font("Arial", -20, 400, false, false, 900));  // 90 degrees: reads upwards
  c.dc.SetBkMode(BkMode::Transparent);
  c.dc.TextOut(50, 150, "Rotated");
  Rect ink = c.Ink();
  EXPECT_GT(ink.Height(), 3 * ink.Width());
  EXPECT_LE(ink.bottom, 151);
  EXPECT_GE(ink.left, 49);
}

TEST(DcDrawText, HorizontalAndVerticalAlignment) {
  struct Case {
    unsigned format;
    int expectLeft;    // -1: centred, -2: right-aligned
    int expectTop;     // -1: centred, -2: at the bottom
  } cases[] = {
      {kDtLeft | kDtTop | kDtSingleLine, 0, 0},
      {kDtCenter | kDtSingleLine, -1, 0},
      {kDtRight | kDtSingleLine, -2, 0},
      {kDtCenter | kDtVCenter | kDtSingleLine, -1, -1},
      {kDtRight | kDtBottom | kDtSingleLine, -2, -2},
      {kDtVCenter, 0, 0},  // vertical centring needs a single line
  };
  for (const auto& k : cases) {
    Canvas c(300, 100);
    c.dc.SelectFont(Arial(-20));
    c.dc.SetBkColor(RGB(200, 0, 0));  // the opaque box shows where the line sits
    Size ext = c.dc.GetTextExtent("Sample");
    Rect box(20, 10, 280, 90);
    c.dc.DrawText("Sample", box, k.format);
    Rect ink = c.Ink();
    int left = k.expectLeft == 0 ? 20 : k.expectLeft == -1 ? 20 + (260 - ext.cx) / 2 : 280 - ext.cx;
    int top = k.expectTop == 0 ? 10 : k.expectTop == -1 ? 10 + (80 - ext.cy) / 2 : 90 - ext.cy;
    EXPECT_NEAR(ink.left, left, 1) << std::hex << k.format;
    EXPECT_NEAR(ink.top, top, 1) << std::hex << k.format;
    EXPECT_NEAR(ink.Width(), ext.cx, 1) << std::hex << k.format;
  }
}

TEST(DcDrawText, CalcRectMeasuresWithoutDrawing) {
  Canvas c(300, 300);
  c.dc.SelectFont(Arial(-16));
  const int lineH = c.dc.GetTextMetrics().height;
  Size one = c.dc.GetTextExtent("Reference range");
  Rect r(10, 10, 200, 10);
  int h = c.dc.DrawText("Reference range", &r, kDtCalcRect | kDtSingleLine);
  EXPECT_EQ(h, lineH);
  EXPECT_EQ(r, Rect(10, 10, 10 + one.cx, 10 + lineH));
  EXPECT_EQ(c.CountNot(kWhite), 0);

  // Word break: three lines at a narrow width; the rectangle keeps to the widest line.
  Rect w(0, 0, one.cx + 2, 0);
  h = c.dc.DrawText("Reference range Reference range Reference range", &w, kDtCalcRect | kDtWordBreak);
  EXPECT_EQ(h, 3 * lineH);
  EXPECT_EQ(w.bottom, 3 * lineH);
  EXPECT_NEAR(w.right, one.cx, 1);
  // Line feeds break lines; a single-line format ignores them.
  Rect n(0, 0, 300, 0);
  EXPECT_EQ(c.dc.DrawText("a\nb\r\nc", &n, kDtCalcRect), 3 * lineH);
  n = Rect(0, 0, 300, 0);
  EXPECT_EQ(c.dc.DrawText("a\nb\r\nc", &n, kDtCalcRect | kDtSingleLine), lineH);
  // A word wider than the box widens the rectangle.
  Rect narrow(0, 0, 5, 0);
  c.dc.DrawText("Hemoglobin", &narrow, kDtCalcRect | kDtWordBreak);
  EXPECT_GT(narrow.right, 40);
  // Chinese breaks between characters.
  Rect cn(0, 0, 40, 0);
  EXPECT_GE(c.dc.DrawText("正在打印请稍候", &cn, kDtCalcRect | kDtWordBreak), 3 * lineH);
  EXPECT_EQ(c.CountNot(kWhite), 0);
}

TEST(DcDrawText, WordBreakDrawsLinesBelowEachOther) {
  Canvas c(120, 200);
  c.dc.SelectFont(Arial(-16));
  c.dc.SetBkMode(BkMode::Transparent);
  const int lineH = c.dc.GetTextMetrics().height;
  c.dc.DrawText("Printing Printing Printing", Rect(0, 0, 100, 200), kDtWordBreak);
  Rect ink = c.Ink();
  EXPECT_GT(ink.Height(), 2 * lineH);
  EXPECT_LE(ink.bottom, 3 * lineH);
  EXPECT_LE(ink.right, 100);
}

TEST(DcDrawText, EndEllipsisShortensToFit) {
  Canvas c(300, 40);
  c.dc.SelectFont(Arial(-16));
  c.dc.SetBkMode(BkMode::Transparent);
  const char* text = "A very long laboratory name that does not fit";
  Size full = c.dc.GetTextExtent(text);
  Rect box(0, 0, 120, 30);
  c.dc.DrawText(text, box, kDtSingleLine | kDtEndEllipsis | kDtNoClip);
  Rect ink = c.Ink();
  EXPECT_LE(ink.right, 120);
  EXPECT_GT(ink.right, 90);
  EXPECT_LT(full.cx, 1000);
  EXPECT_GT(full.cx, 200);
  // Fitting text is left alone, and measuring reports the shortened width.
  Rect m(0, 0, 120, 0);
  c.dc.DrawText(text, &m, kDtSingleLine | kDtEndEllipsis | kDtCalcRect);
  EXPECT_LE(m.Width(), 120);
  Rect fits(0, 0, 300, 0);
  c.dc.DrawText("Short", &fits, kDtSingleLine | kDtEndEllipsis | kDtCalcRect);
  EXPECT_EQ(fits.Width(), c.dc.GetTextExtent("Short").cx);
  // Without the flag the text is clipped to the box instead.
  Canvas d(300, 40);
  d.dc.SelectFont(Arial(-16));
  d.dc.DrawText(text, box, kDtSingleLine);
  EXPECT_EQ(d.CountNot(kWhite, Rect(120, 0, 300, 40)), 0);
}

TEST(DcDrawText, AmpersandPrefixes) {
  Canvas c(300, 40);
  c.dc.SelectFont(Arial(-16));
  auto width = [&](const char* text, unsigned fmt) {
    Rect r(0, 0, 300, 0);
    c.dc.DrawText(text, &r, fmt | kDtCalcRect | kDtSingleLine);
    return r.Width();
  };
  const int file = c.dc.GetTextExtent("File").cx;
  const int amp = c.dc.GetTextExtent("A&B").cx;
  struct Case {
    const char* text;
    unsigned fmt;
    int expect;
  } cases[] = {
      {"&File", 0, file},               // '&' removed
      {"&File", kDtNoPrefix, c.dc.GetTextExtent("&File").cx},
      {"A&&B", 0, amp},                 // "&&" is one '&'
      {"A&B", kDtNoPrefix, amp},
      {"&File", kDtHidePrefix, file},
  };
  for (const auto& k : cases) EXPECT_EQ(width(k.text, k.fmt), k.expect) << k.text << " " << k.fmt;

  // The character after '&' is underlined: more ink below the base line than without.
  auto inkBelowBaseline = [](const char* text, unsigned fmt) {
    Canvas d(100, 40);
    d.dc.SelectFont(Arial(-20));
    d.dc.SetBkMode(BkMode::Transparent);
    d.dc.DrawText(text, Rect(0, 0, 100, 40), fmt | kDtSingleLine);
    int base = d.dc.GetTextMetrics().ascent;
    return d.CountNot(kWhite, Rect(0, base + 1, 100, 40));
  };
  const int plain = inkBelowBaseline("&xyz", kDtHidePrefix);
  EXPECT_GT(inkBelowBaseline("&xyz", 0), plain);
  // Line breaks dropped from a single line do not move the underline off its character.
  EXPECT_EQ(inkBelowBaseline("\r\n&xyz", 0), inkBelowBaseline("&xyz", 0));
}

TEST(DcDrawText, TabsExpandToStops) {
  Canvas c;
  c.dc.SelectFont(Arial(-16));
  Rect a(0, 0, 500, 0), b(0, 0, 500, 0);
  c.dc.DrawText("a\tb", &a, kDtCalcRect | kDtSingleLine | kDtExpandTabs);
  c.dc.DrawText("a b", &b, kDtCalcRect | kDtSingleLine | kDtExpandTabs);
  EXPECT_GT(a.Width(), b.Width() + 2 * c.dc.GetTextMetrics().aveCharWidth);
}

TEST(DcDrawText, PrinterMappingScalesFontsAndMetrics) {
  // 7200 units to the inch on a 600-dpi device: a 10-point character height is 1000 units.
  Bitmap b = Bitmap::Create(800, 200, kWhite);
  DC dc(b);
  dc.SetMapMode(MapMode::Anisotropic);
  dc.SetWindowExt(12, 12);
  dc.SetViewportExt(1, 1);
  dc.SelectFont(Font("Arial", -1000));
  TextMetrics m = dc.GetTextMetrics();
  EXPECT_NEAR(m.height - m.internalLeading, 1000, 12);
  EXPECT_NEAR(m.height, 1117, 40);  // Liberation Sans: ascent + descent = 1.117 em
  Size ext = dc.GetTextExtent("WBC");
  dc.SetMapMode(MapMode::Text);
  dc.SelectFont(Font("Arial", -83));
  EXPECT_NEAR(dc.GetTextExtent("WBC").cx * 12, ext.cx, 40);
}

TEST(DcText, MonochromeBitmapsGetCrispBlackAndWhiteGlyphs) {
  // A 16x16 glyph cell as the thermal printer's character maker uses it.
  for (const char* ch : {"正", "Ж", "W"}) {
    Bitmap cell = Bitmap::CreateMonochrome(16, 16);
    ASSERT_TRUE(cell.IsMonochrome());
    DC dc(cell);
    dc.SelectFont(Font("黑体", -13, kFontWeightBold));
    dc.FillRect(Rect(0, 0, 16, 16), Brush::Solid(kWhite));
    dc.SetTextColor(RGB(30, 30, 30));
    dc.DrawText(ch, Rect(0, 0, 16, 16), kDtLeft | kDtTop);
    int black = 0;
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x) {
        Color c = cell.GetPixel(x, y);
        ASSERT_TRUE(c == kBlack || c == kWhite) << ch << " " << x << "," << y << " " << std::hex << c;
        black += c == kBlack;
      }
    EXPECT_GT(black, 10) << ch;
    EXPECT_LT(black, 150) << ch;
  }
  // Colours become black or white by brightness, in fills and lines alike.
  Bitmap m = Bitmap::CreateMonochrome(4, 4);
  DC dc(m);
  dc.FillRect(Rect(0, 0, 2, 4), Brush::Solid(RGB(200, 200, 200)));
  dc.SelectPen(Pen::Solid(RGB(0, 0, 255)));
  dc.MoveTo(2, 0);
  dc.LineTo(2, 4);
  EXPECT_EQ(m.GetPixel(0, 0), kWhite);
  EXPECT_EQ(m.GetPixel(2, 1), kBlack);
  EXPECT_EQ(m.GetPixel(3, 1), kBlack);  // the black it started with
  // Smoothing can be switched off on any bitmap.
  Canvas c(60, 30);
  c.dc.SetTextSmoothing(false);
  c.dc.SelectFont(Arial(-16));
  c.dc.TextOut(2, 2, "Aw");
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 60; ++x) ASSERT_TRUE(c.At(x, y) == kBlack || c.At(x, y) == kWhite);
  EXPECT_GT(c.CountNot(kWhite), 20);
}

// Signs that some faces list but draw blank (the CJK face's degree signs) still get ink: the
// character is drawn by a face whose glyph has an outline, smoothed or crisp, in every face
// the screens and printouts choose.
TEST(DcText, SignsTheChosenFaceDrawsBlankFallBackToAFaceWithInk) {
  struct Case {
    const char* face;
    const char* number;
    const char* sign;
  } cases[] = {
      {"Arial", "36.5", "℃"},
      {"宋体", "36.5", "℃"},
      {"Times New Roman", "15", "℃"},
      {"Courier New", "35", "℃"},
      {"Arial", "98.6", "℉"},
  };
  for (const auto& k : cases) {
    for (bool crisp : {false, true}) {
      Canvas c(200, 40);
      c.dc.SetTextSmoothing(!crisp);
      c.dc.SelectFont(Font(k.face, -20));
      c.dc.SetBkMode(BkMode::Transparent);
      const std::string text = std::string(k.number) + k.sign;
      c.dc.TextOut(2, 5, text);
      const int numberEnd = 2 + c.dc.GetTextExtent(k.number).cx;
      const Size ext = c.dc.GetTextExtent(text);
      EXPECT_GT(ext.cx - c.dc.GetTextExtent(k.number).cx, 8) << k.face << " " << text;
      const int signInk = c.CountNot(kWhite, Rect(numberEnd, 0, 2 + ext.cx + 2, 40));
      EXPECT_GT(signInk, 25) << k.face << " " << text << (crisp ? " crisp" : " smooth");
      // The sign stays inside the measured text, so centred and right-aligned labels hold it.
      EXPECT_LE(c.Ink().right, 2 + ext.cx + 2) << k.face << " " << text;
    }
  }
}
