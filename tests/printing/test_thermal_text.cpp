// Text printing: splitting into rows, the order rows and characters go out, glyph numbering.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/app_settings.h"
#include "printing/thermal_printer.h"
#include "recording_output.h"

namespace {

constexpr int ESC = 0x1B, DC2 = 0x12, CR = 0x0D;

std::string Repeat(const std::string& s, int n) {
  std::string r;
  for (int i = 0; i < n; ++i) r += s;
  return r;
}

const std::string kZhong = "中";  // one double-column character

TEST(ThermalText, SplitTextToWidth) {
  struct Case {
    const char* name;
    std::string text;
    int width;
    std::vector<std::string> pieces;
  };
  const std::string a47 = std::string(47, 'a');
  const Case cases[] = {
      {"empty text gives no piece", "", 48, {}},
      {"short text is one piece", "abc", 48, {"abc"}},
      {"47 plain characters fit", a47, 48, {a47}},
      {"48 plain characters make two pieces", a47 + "b", 48, {a47, "b"}},
      {"95 plain characters", a47 + a47 + "c", 48, {a47, a47, "c"}},
      {"24 double characters make one piece of 48 columns", Repeat(kZhong, 24), 48, {Repeat(kZhong, 24)}},
      {"25 double characters", Repeat(kZhong, 25), 48, {Repeat(kZhong, 24), kZhong}},
      {"a plain character after 23 double ones ends the piece", Repeat(kZhong, 23) + "ab", 48,
       {Repeat(kZhong, 23) + "a", "b"}},
      {"a double character may reach the width", "a" + kZhong + "b", 3, {"a" + kZhong, "b"}},
      {"code 128 counts one column", "\xC2\x80\xC2\x80\xC2\x80", 3, {"\xC2\x80\xC2\x80", "\xC2\x80"}},
      {"blanks are kept", "   ", 48, {"   "}},
      {"width 1 still advances", "abc", 1, {"a", "b", "c"}},
      {"width 0 still advances", "ab", 0, {"a", "b"}},
      {"negative width still advances", kZhong + "x", -5, {kZhong, "x"}},
  };
  for (const Case& c : cases) {
    std::vector<std::string> pieces = {"left over"};
    SplitTextToWidth(c.text, &pieces, static_cast<int8_t>(c.width));
    EXPECT_EQ(pieces, c.pieces) << c.name;
  }
}

// Across the 384-dot head a plain character takes 8 dots and a glyph 16, each plus the spacing.
TEST(ThermalText, SplitTextToDots) {
  struct Case {
    const char* name;
    std::string text;
    int spacing;
    std::vector<std::string> pieces;
  };
  const std::string a38 = std::string(38, 'a');
  const Case cases[] = {
      {"empty text gives no piece", "", 2, {}},
      {"38 plain characters at spacing 2 fill 380 dots", a38, 2, {a38}},
      {"the 39th would end at 390", a38 + "b", 2, {a38, "b"}},
      {"48 plain characters without spacing fill 384 dots", std::string(48, 'c'), 0, {std::string(48, 'c')}},
      {"21 glyphs at spacing 2 fill 378 dots", Repeat(kZhong, 21), 2, {Repeat(kZhong, 21)}},
      {"the 22nd would end at 396", Repeat(kZhong, 22), 2, {Repeat(kZhong, 21), kZhong}},
      {"a glyph after 37 plain characters (370 dots) starts the next piece", std::string(37, 'd') + kZhong, 2,
       {std::string(37, 'd'), kZhong}},
      {"after 36 (360 dots) it still fits", std::string(36, 'd') + kZhong, 2, {std::string(36, 'd') + kZhong}},
      {"code 128 is a plain character: 380 dots", std::string(37, 'e') + "\xC2\x80", 2, {std::string(37, 'e') + "\xC2\x80"}},
      {"a character wider than the head still makes a piece", kZhong + "f", 400, {kZhong, "f"}},
  };
  for (const Case& c : cases) {
    std::vector<std::string> pieces = {"left over"};
    SplitTextToDots(c.text, c.spacing, kPrinterHeadDots, &pieces);
    EXPECT_EQ(pieces, c.pieces) << c.name;
  }
}

std::string Header(int n) { return Bytes({DC2, 'G', 1, DC2, 'F', 0, ESC, 'A', n}); }
std::string Plain(const std::string& s, bool wide) {
  std::string r;
  for (char ch : s) r += wide ? Bytes({ESC, 'w', 1}) + ch + Bytes({ESC, 'w', 0}) : std::string(1, ch);
  return r;
}

TEST(ThermalText, RowsGoOutLastPieceFirst) {
  struct Case {
    const char* name;
    std::string text;
    int n, d, finalCr;
    std::string expected;
  };
  const std::string a47 = std::string(47, 'a');
  const Case cases[] = {
      {"empty text, final CR", "", 4, 1, 1, Header(4) + Bytes({CR})},
      {"empty text, no final CR", "", 16, 0, 0, Header(16)},
      {"blanks only are printed unchanged", "  ", 4, 1, 1, Header(4) + Plain("  ", true) + Bytes({CR})},
      {"trailing white space is dropped", "ab \t\r\n ", 0, 0, 1, Header(0) + "ab" + Bytes({CR})},
      {"leading blanks stay", "  ab", 0, 0, 0, Header(0) + "  ab"},
      {"double width wraps each character", "Hi", 4, 1, 1, Header(4) + Plain("Hi", true) + Bytes({CR})},
      {"48 characters: the 48th first, then CR, then the first 47", a47 + "Z", 0, 0, 1,
       Header(0) + "Z" + Bytes({CR}) + a47 + Bytes({CR})},
      {"code 128 goes out as a plain byte", "\xC2\x80", 0, 0, 0, Header(0) + Bytes({0x80})},
  };
  for (const Case& c : cases) {
    RecordingOutput out;
    PrinterPrintText(c.text, static_cast<uint8_t>(c.n), static_cast<uint8_t>(c.d), c.finalCr);
    EXPECT_EQ(out.bytes, c.expected) << c.name;
  }
}

// Walks a recorded stream and lists the glyph codes defined and printed, in order.
struct GlyphUse {
  std::vector<int> defined, printed;
  std::string plain;  // the plain bytes between the commands
};
GlyphUse ScanGlyphs(const std::string& s) {
  GlyphUse g;
  size_t i = 9;  // after the DC2 G, DC2 F, ESC A header
  auto at = [&](size_t k) { return static_cast<uint8_t>(s[k]); };
  while (i < s.size()) {
    if (at(i) == ESC && at(i + 1) == '+' && at(i + 2) == 'w') {
      g.defined.push_back(at(i + 3));
      i += 36;
    } else if (at(i) == DC2 && at(i + 1) == 'O') {
      g.printed.push_back(at(i + 15));
      i += 18;
    } else if (at(i) == ESC && at(i + 1) == 'w') {
      i += 3;
    } else {
      g.plain.push_back(s[i]);
      ++i;
    }
  }
  return g;
}

TEST(ThermalText, GlyphsAreNumberedFrom34InEachCall) {
  RecordingOutput out;
  PrinterPrintText(kZhong + "a" + kZhong + "Å", 0, 1, 0);
  GlyphUse g = ScanGlyphs(out.bytes);
  EXPECT_EQ(g.defined, (std::vector<int>{34, 35, 36}));
  EXPECT_EQ(g.printed, g.defined);
  EXPECT_EQ(g.plain, "a");
  // With double width every glyph is followed by ESC w 0.
  const std::string firstGlyph = out.bytes.substr(9, 36 + 18 + 3);
  EXPECT_EQ(firstGlyph.substr(36 + 6, 3), Bytes({ESC, 'w', 1}));
  EXPECT_EQ(firstGlyph.substr(36 + 18), Bytes({ESC, 'w', 0}));

  out.Clear();
  PrinterPrintText(kZhong, 0, 0, 0);
  g = ScanGlyphs(out.bytes);
  EXPECT_EQ(g.defined, std::vector<int>{34}) << "the next call starts again at 34";
  EXPECT_EQ(out.bytes.size(), 9u + 36 + 18) << "no ESC w 0 without double width";
}

TEST(ThermalText, GlyphCodesFollowTheSendingOrderAndWrap) {
  RecordingOutput out;
  // 30 double characters: pieces of 24 and 6; the piece of 6 goes out first.
  std::string text = Repeat("一", 24) + Repeat("二", 6);
  PrinterPrintText(text, 0, 0, 0);
  GlyphUse g = ScanGlyphs(out.bytes);
  ASSERT_EQ(g.defined.size(), 30u);
  EXPECT_EQ(g.defined.front(), 34);
  EXPECT_EQ(g.defined[6], 40);
  EXPECT_EQ(g.plain, Bytes({CR})) << "one CR between the two pieces";
  // The first glyph sent is "二", the seventh "一".
  uint8_t er[32], yi[32];
  PrinterRenderGlyph(U'二', AppSettings.LanguageIndex, er);
  PrinterRenderGlyph(U'一', AppSettings.LanguageIndex, yi);
  EXPECT_NE(std::string(er, er + 32), std::string(yi, yi + 32));

  out.Clear();
  PrinterPrintText(Repeat(kZhong, 224), 0, 0, 0);
  g = ScanGlyphs(out.bytes);
  ASSERT_EQ(g.defined.size(), 224u);
  EXPECT_EQ(g.defined[221], 255);
  EXPECT_EQ(g.defined[222], 0) << "the code is a byte and wraps after 255";
  EXPECT_EQ(g.defined[223], 1);
}

int InkDots(const uint8_t glyph[32]) {
  int n = 0;
  for (int i = 0; i < 32; ++i) n += __builtin_popcount(glyph[i]);
  return n;
}

TEST(ThermalText, GlyphRendering) {
  uint8_t g[32];
  for (int language : {0, 1}) {
    PrinterRenderGlyph(U'中', language, g);
    EXPECT_GT(InkDots(g), 20) << "language " << language;
    EXPECT_LT(InkDots(g), 200) << "language " << language;
    PrinterRenderGlyph(U'Ж', language, g);
    EXPECT_GT(InkDots(g), 10) << "language " << language;
  }
  PrinterRenderGlyph(U'\u00A0', 1, g);
  EXPECT_EQ(InkDots(g), 0) << "a no-break space has no ink";

  // The vertical stroke of 中 sits in the middle columns: bit layout is column 0 in the
  // highest bit of byte 2r.
  PrinterRenderGlyph(U'中', 0, g);
  int middle = 0, edge = 0;
  for (int r = 0; r < 16; ++r) {
    const unsigned row = (static_cast<unsigned>(g[2 * r]) << 8) | g[2 * r + 1];
    if (row & (0x8000u >> 6) || row & (0x8000u >> 7) || row & (0x8000u >> 5)) ++middle;
    if (row & 0x0001u) ++edge;
  }
  EXPECT_GE(middle, 10);
  EXPECT_LE(edge, 2);
}

}  // namespace
