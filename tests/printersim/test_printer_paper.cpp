// The simulated printer turns the driver's byte stream into paper.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/ui/draw/bitmap.h"
#include "printing/thermal_printer.h"
#include "tools/printersim/paper.h"
#include "tools/printersim/printer.h"

namespace {

using printersim::Paper;
using printersim::Printer;

// Lets the driver write straight into a simulated printer.
class ToPrinter : public ThermalOutput {
 public:
  explicit ToPrinter(Printer* p) : printer_(p) {
    PrinterResetState();
    PrinterSetOutput(this);
  }
  ~ToPrinter() override {
    PrinterSetOutput(nullptr);
    PrinterResetState();
  }
  size_t Send(const uint8_t* data, size_t len, int, bool* timedOut) override {
    printer_->Feed(data, len);
    *timedOut = false;
    return len;
  }

 private:
  Printer* printer_;
};

std::string B(std::initializer_list<int> v) {
  std::string s;
  for (int x : v) s.push_back(static_cast<char>(x));
  return s;
}

// Ink between the given paper rows (from the bottom) and columns.
int Ink(const Paper& p, int x0, int x1, int r0, int r1) {
  int n = 0;
  for (int r = r0; r < r1; ++r)
    for (int x = x0; x < x1; ++x) n += p.Dot(x, r);
  return n;
}

// An arrow pointing up, as the driver hands glyphs over: byte 2r columns 0-7, 2r+1 columns
// 8-15, left-most column in the highest bit.
void ArrowGlyph(uint8_t g[32]) {
  for (int r = 0; r < 16; ++r) {
    unsigned bits = 0;
    if (r < 8) {
      for (int x = 7 - r; x <= 8 + r; ++x) bits |= 0x8000u >> x;
    } else {
      bits = 0x0180u;
    }
    g[2 * r] = static_cast<uint8_t>(bits >> 8);
    g[2 * r + 1] = static_cast<uint8_t>(bits & 0xFF);
  }
}

// A known print-out that needs no font: glyphs, a histogram page, a separator and feeds.
void PrintKnownStream() {
  PrinterSendEscU(1);
  PrinterFeedDots(1, 10);
  PrinterSendDc3Pattern(3);
  PrinterSetPageSize(360, 60);
  PrinterClearDots();
  PrinterDrawHistogramAxes(0);
  for (int x = 0; x < 300; x += 2) PrinterDrawThickLine(x, 10 + (x * x) % 40, x + 2, 10 + ((x + 2) * (x + 2)) % 40);
  PrinterPrintDots(1);
  uint8_t arrow[32];
  ArrowGlyph(arrow);
  PrinterDefineGlyph(34, arrow);
  PrinterPrintGlyph(34, 0);
  PrinterPrintGlyph(34, 1);
  PrinterSendEscSmallW(0);
  PrinterCarriageReturn();
  PrinterFeedDots(1, 5);
  PrinterSetPageSize(325, 40);
  PrinterClearDots();
  PrinterDrawLine(0, 0, 0, 40);
  PrinterDrawLine(324, 0, 324, 40);
  PrinterDrawLine(0, 0, 325, 40);
  PrinterPrintDots(1);
  PrinterFeedDots(1, 16);
  PrinterSendEscU(0);
}

bool SamePixels(const draw::Bitmap& a, const draw::Bitmap& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x)
      if (a.GetPixel(x, y) != b.GetPixel(x, y)) return false;
  return true;
}

TEST(PrinterSimPaper, AKnownStreamGivesTheExpectedPicture) {
  Paper paper;
  Printer printer(&paper);
  {
    ToPrinter to(&printer);
    PrintKnownStream();
  }
  const std::string golden = std::string(QUORVEX_TEST_DATA_DIR) + "/known_stream.png";
  const std::string got = ::testing::TempDir() + "printersim_known_stream.png";
  ASSERT_TRUE(paper.SavePng(got));
  if (std::getenv("QUORVEX_UPDATE_GOLDEN")) {
    ASSERT_TRUE(paper.SavePng(golden));
  }
  std::string err;
  draw::Bitmap want = draw::Bitmap::LoadFile(golden, &err);
  ASSERT_TRUE(want) << err;
  draw::Bitmap have = draw::Bitmap::LoadFile(got, &err);
  ASSERT_TRUE(have) << err;
  EXPECT_TRUE(SamePixels(want, have)) << "compare " << got << " with " << golden;
  EXPECT_EQ(have.Width(), printersim::kPaperDots);
  EXPECT_EQ(have.Height(), 10 + 3 + 16 + 60 + 32 + 5 + 40 + 16) << "the double-size glyph makes a 32-row line";
}

TEST(PrinterSimPaper, DotPagesStandOnTheirFirstRowWithColumnZeroOnTheLeft) {
  Paper paper;
  Printer printer(&paper);
  ToPrinter to(&printer);
  PrinterSetPageSize(360, 20);
  PrinterSetDot(0, 0);
  PrinterSetDot(359, 19);
  PrinterSetDot(100, 7);
  PrinterPrintDots(1);
  EXPECT_EQ(paper.Height(), 20);
  EXPECT_TRUE(paper.Dot(0, 0));
  EXPECT_TRUE(paper.Dot(359, 19));
  EXPECT_TRUE(paper.Dot(100, 7));
  EXPECT_EQ(Ink(paper, 0, printersim::kPaperDots, 0, 20), 3);

  // A narrow page goes in rows of its width in whole bytes: 325 dots are 40 bytes, so the page's
  // columns 5..324 reach the paper (column p = 324 - x in bit p mod 8 of byte p div 8) and its
  // five left-most columns do not.
  paper.Clear();
  PrinterSetPageSize(325, 10);
  PrinterClearDots();
  PrinterDrawLine(0, 0, 0, 10);
  PrinterDrawLine(5, 0, 5, 10);
  PrinterPrintDots(1);
  EXPECT_EQ(Ink(paper, 0, printersim::kPaperDots, 0, 10), 10);
  EXPECT_EQ(Ink(paper, 0, 1, 0, 10), 10) << "column 5 of a 325-dot page is the first of a 40-byte row";
}

TEST(PrinterSimPaper, TextLinesGlyphsAndFeeds) {
  Paper paper;
  Printer printer(&paper);
  printer.EnableLog(true);
  ToPrinter to(&printer);

  PrinterCarriageReturn();  // an empty line still feeds one line
  EXPECT_EQ(paper.Height(), 16);
  PrinterFeedDots(1, 10);
  EXPECT_EQ(paper.Height(), 26);
  PrinterFeedDots(0, 6);
  EXPECT_EQ(paper.Position(), 20);
  PrinterFeedDots(1, 6);

  paper.Clear();
  PrinterPrintText("AB", 4, 0, 1);  // line of 16 rows, 4 rows of line spacing
  EXPECT_EQ(paper.Height(), 20);
  EXPECT_GT(Ink(paper, 0, 8, 0, 16), 5) << "A";
  EXPECT_GT(Ink(paper, 8, 16, 0, 16), 5) << "B";
  EXPECT_EQ(Ink(paper, 16, printersim::kPaperDots, 0, 20), 0);
  EXPECT_EQ(printer.Log().back(), "TEXT AB");

  paper.Clear();
  PrinterPrintText("A", 0, 1, 1);  // double size: 32 rows
  EXPECT_EQ(paper.Height(), 32);

  // A glyph: the wire's bit 0 is the left-most column.
  paper.Clear();
  uint8_t g[32] = {};
  g[0] = 0x80;   // row 0, column 0
  g[31] = 0x01;  // row 15, column 15
  PrinterDefineGlyph(40, g);
  PrinterPrintGlyph(40, 0);
  PrinterCarriageReturn();
  EXPECT_TRUE(paper.Dot(0, 15)) << "top-left of the glyph";
  EXPECT_TRUE(paper.Dot(15, 0)) << "bottom-right of the glyph";
  EXPECT_EQ(Ink(paper, 0, printersim::kPaperDots, 0, paper.Height()), 2);

  // Text with downloaded glyphs prints both kinds side by side.
  paper.Clear();
  PrinterPrintText("a中b", 0, 0, 1);
  EXPECT_GT(Ink(paper, 8, 24, 0, 16), 20) << "the glyph follows the first character";
  EXPECT_GT(Ink(paper, 24, 32, 0, 16), 3);

  // A long row reads in its own order: its first 47 characters on top, the rest below.
  paper.Clear();
  PrinterPrintText(std::string(47, '-') + "X", 0, 0, 1);
  EXPECT_EQ(paper.Height(), 32);
  EXPECT_GT(Ink(paper, 0, 8, 16, 32), 0) << "the first 47 characters are the upper line";
  EXPECT_GT(Ink(paper, 40, 48, 16, 32), 0);
  EXPECT_GT(Ink(paper, 0, 8, 0, 16), 5) << "the X is the lower line";
  EXPECT_EQ(Ink(paper, 8, printersim::kPaperDots, 0, 16), 0);
}

TEST(PrinterSimPaper, SeparatorAndUnknownOrBrokenCommands) {
  Paper paper;
  Printer printer(&paper);
  {
    ToPrinter to(&printer);
    PrinterSendDc3Pattern(3);
  }
  EXPECT_EQ(paper.Height(), 3 + 16);
  EXPECT_EQ(Ink(paper, 0, printersim::kPaperDots, 0, 3), 3 * 192) << "24 dashes of 8 dots, 3 rows";

  // Commands the printer does not know, and a separator cut short, do not derail it.
  paper.Clear();
  printer.Feed(B({0x1B, 'Z', 0x12, 'Q', 0x13, '(', 'A', 'X', 0x13, 0x0D}));
  EXPECT_EQ(paper.Height(), 16) << "the CR after the broken commands still prints";
  paper.Clear();
  std::string broken = B({0x13, '(', 'A', 'C', 'V'}) + std::string(48, '\xFF') + "+PPx";
  printer.Feed(broken + B({0x1B, 'J', 7}));
  EXPECT_EQ(paper.Height(), 23) << "'x' ends the separator, prints as text; ESC J 7 then feeds";
  // A dot page announced with no rows prints nothing, and text goes on.
  paper.Clear();
  printer.Feed(B({0x12, 'T', 1, 0, 10, 0, 0x12, 'T', 1, 45, 0, 0, 'A', 0x0D}));
  EXPECT_EQ(paper.Height(), 16);
}

TEST(PrinterSimPaper, LongSessionsStayBounded) {
  Paper paper(200);
  Printer printer(&paper);
  for (int i = 0; i < 100; ++i) printer.Feed(B({'A', 0x0D}));
  EXPECT_LE(paper.Height(), 200);
  EXPECT_GT(Ink(paper, 0, 8, paper.Height() - 16, paper.Height()), 5) << "the newest line is kept";
  // A dot page of 65535 rows is taken without holding it.
  std::string page = B({0x12, 'T', 1, 1, 0xFF, 0xFF});
  page += std::string(65535, '\x01');
  printer.Feed(page);
  EXPECT_LE(paper.Height(), 400);
}

}  // namespace
