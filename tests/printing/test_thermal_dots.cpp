// The dot buffer: page size, dot addressing, lines, histogram axes and the bytes of a page.
#include <gtest/gtest.h>

#include <climits>
#include <set>
#include <utility>

#include "printing/thermal_printer.h"
#include "recording_output.h"

namespace {

using Dot = std::pair<int, int>;

// Every dot set on the page, read back through the documented addressing (mode 0).
std::set<Dot> DotsOnPage() {
  std::set<Dot> dots;
  const int w = PrinterPageWidth();
  for (int y = 0; y < PrinterPageHeight(); ++y) {
    const uint8_t* row = PrinterDotRow(y);
    for (int x = 0; x < w; ++x) {
      const int p = w - 1 - x;
      if (row[p / 8] & (1u << (p % 8))) dots.insert({x, y});
    }
  }
  return dots;
}

// True when no bit is set anywhere in the buffer outside the page.
bool NothingOutsidePage() {
  const int w = PrinterPageWidth(), h = PrinterPageHeight();
  for (int r = 0; r < kPrinterDotRows; ++r) {
    const uint8_t* row = PrinterDotRow(r);
    for (int p = 0; p < kPrinterDotRowBytes * 8; ++p) {
      const bool set = row[p / 8] & (1u << (p % 8));
      if (set && (r >= h || p >= w)) return false;
    }
  }
  return true;
}

TEST(ThermalDots, PageSize) {
  struct Case {
    int w, h, expectW, expectH;
  } cases[] = {
      {400, 200, 360, 180}, {325, 150, 325, 150}, {360, 120, 360, 120},
      {0, 100, 360, 150},   {100, 0, 360, 150},  {65535, 65535, 360, 180},
  };
  for (const Case& c : cases) {
    RecordingOutput out;
    PrinterSetPageSize(static_cast<uint16_t>(c.w), static_cast<uint16_t>(c.h));
    EXPECT_EQ(PrinterPageWidth(), c.expectW) << c.w << "x" << c.h;
    EXPECT_EQ(PrinterPageHeight(), c.expectH) << c.w << "x" << c.h;
    EXPECT_TRUE(out.bytes.empty());
  }
}

TEST(ThermalDots, DotAddressing) {
  struct Case {
    int pageW, mode, x, y;
    int row, byte, bit;  // row -1: nothing is set
  } cases[] = {
      {360, 0, 0, 0, 0, 44, 7},
      {360, 0, 359, 0, 0, 0, 0},
      {360, 0, 351, 7, 7, 1, 0},
      {360, 0, 350, 179, -1, 0, 0},  // beyond the 150-row page
      {360, 0, 360, 0, -1, 0, 0},
      {360, 0, 368, 0, -1, 0, 0},    // would land before the row's first byte
      {360, 0, -1, 0, -1, 0, 0},
      {325, 0, 0, 0, 0, 40, 4},
      {325, 0, 324, 3, 3, 0, 0},
      {104, 1, 10, 0, 10, 12, 7},    // axes swapped: row x, p = 103 - y
      {104, 1, 0, 103, 0, 0, 0},
      {104, 1, 0, 104, -1, 0, 0},
  };
  for (const Case& c : cases) {
    RecordingOutput out;
    if (c.mode) PrinterSetPrintMode(c.mode);
    PrinterSetPageSize(static_cast<uint16_t>(c.pageW), 150);
    PrinterSetDot(c.x, c.y);
    int setCount = 0, row = -1, byte = 0, bit = 0;
    for (int r = 0; r < kPrinterDotRows; ++r) {
      for (int b = 0; b < kPrinterDotRowBytes; ++b) {
        for (int i = 0; i < 8; ++i) {
          if (PrinterDotRow(r)[b] & (1u << i)) {
            ++setCount;
            row = r, byte = b, bit = i;
          }
        }
      }
    }
    const std::string what = "page " + std::to_string(c.pageW) + " mode " + std::to_string(c.mode) + " dot (" +
                             std::to_string(c.x) + "," + std::to_string(c.y) + ")";
    if (c.row < 0) {
      EXPECT_EQ(setCount, 0) << what;
      continue;
    }
    EXPECT_EQ(setCount, 1) << what;
    EXPECT_EQ(row, c.row) << what;
    EXPECT_EQ(byte, c.byte) << what;
    EXPECT_EQ(bit, c.bit) << what;
  }
}

TEST(ThermalDots, DotsAnywhereOutsideThePageAreIgnored) {
  RecordingOutput out;
  const int extremes[] = {INT_MIN, -100000, -361, -9, -8, -1, 150, 180, 181, 359 + 8, 360, 368, 1000, INT_MAX};
  for (int mode : {0, 1, 2}) {
    PrinterResetState();
    if (mode) PrinterSetPrintMode(mode);
    for (int a : extremes) {
      for (int b : extremes) {
        PrinterSetDot(a, b);
        PrinterSetDot(a, 5);
        PrinterSetDot(5, b);
      }
    }
    EXPECT_TRUE(NothingOutsidePage()) << "mode " << mode;
    // Lines running far off the page set only what lies on it.
    PrinterDrawLine(-500, -20, 900, 400);
    PrinterDrawThickLine(10, -1000, 10, 1000);
    PrinterDrawHistogramAxes(0);  // mode 1 draws panels reaching x = 360
    EXPECT_TRUE(NothingOutsidePage()) << "mode " << mode;
  }
  PrinterResetState();
  PrinterSetPrintMode(2);
  PrinterSetDot(3, 3);
  for (int r = 0; r < kPrinterDotRows; ++r)
    for (int b = 0; b < kPrinterDotRowBytes; ++b) ASSERT_EQ(PrinterDotRow(r)[b], 0) << "mode 2 sets no dots";
}

std::set<Dot> Dots(std::initializer_list<Dot> l) { return std::set<Dot>(l); }

TEST(ThermalDots, Lines) {
  struct Case {
    const char* name;
    int x1, y1, x2, y2;
    std::set<Dot> dots;
  } cases[] = {
      {"vertical, upwards", 10, 20, 10, 5, {}},  // filled below: (10,5)..(10,19)
      {"horizontal stops before the end", 0, 0, 4, 0, Dots({{0, 0}, {1, 0}, {2, 0}, {3, 0}})},
      {"horizontal from the right", 4, 2, 0, 2, Dots({{0, 2}, {1, 2}, {2, 2}, {3, 2}})},
      {"a single point line sets nothing", 7, 7, 7, 7, {}},
      {"diagonal", 0, 0, 3, 3, Dots({{0, 0}, {1, 1}, {2, 2}})},
      {"shallow rising", 0, 0, 4, 2, Dots({{0, 0}, {1, 1}, {2, 1}, {3, 2}})},
      {"shallow falling", 0, 2, 4, 0, Dots({{0, 2}, {1, 1}, {2, 1}, {3, 0}})},
      {"falling diagonal", 0, 3, 3, 0, Dots({{0, 3}, {1, 2}, {2, 1}})},
      {"steep rising", 0, 0, 2, 4, Dots({{0, 0}, {1, 1}, {1, 2}, {2, 3}})},
      {"steep falling", 2, 0, 0, 4, Dots({{2, 0}, {1, 1}, {1, 2}, {0, 3}})},
      {"steep, given from the far end", 0, 4, 2, 0, Dots({{2, 0}, {1, 1}, {1, 2}, {0, 3}})},
  };
  for (Case& c : cases) {
    RecordingOutput out;
    if (std::string(c.name) == "vertical, upwards")
      for (int y = 5; y < 20; ++y) c.dots.insert({10, y});
    PrinterDrawLine(c.x1, c.y1, c.x2, c.y2);
    EXPECT_EQ(DotsOnPage(), c.dots) << c.name;
    EXPECT_TRUE(out.bytes.empty());
  }
}

TEST(ThermalDots, ThickLines) {
  struct Case {
    const char* name;
    int x1, y1, x2, y2;
    std::set<Dot> dots;
  } cases[] = {
      {"vertical gets a copy to the right", 3, 0, 3, 2, Dots({{3, 0}, {3, 1}, {4, 0}, {4, 1}})},
      {"shallow gets a copy above", 0, 0, 3, 0, Dots({{0, 0}, {1, 0}, {2, 0}, {0, 1}, {1, 1}, {2, 1}})},
      {"45 degrees counts as steep", 0, 0, 2, 2, Dots({{0, 0}, {1, 1}, {1, 0}, {2, 1}})},
  };
  for (const Case& c : cases) {
    RecordingOutput out;
    PrinterDrawThickLine(c.x1, c.y1, c.x2, c.y2);
    EXPECT_EQ(DotsOnPage(), c.dots) << c.name;
  }
}

TEST(ThermalDots, HistogramAxes) {
  struct Case {
    int kind;
    std::vector<int> ticks;
  } cases[] = {
      {0, {0, 45, 90, 135, 180, 225, 270, 315}},
      {1, {0, 72, 144, 216, 288}},
      {2, {0, 60, 120, 180, 240, 300}},
      {7, {}},
  };
  for (const Case& c : cases) {
    RecordingOutput out;
    PrinterDrawHistogramAxes(c.kind);
    std::set<Dot> expected;
    for (int y = 0; y < 142; ++y) expected.insert({0, y});
    for (int x = 0; x < 360; ++x) expected.insert({x, 0});
    for (int t : c.ticks)
      for (int y = 0; y < 5; ++y) expected.insert({t, y});
    EXPECT_EQ(DotsOnPage(), expected) << "kind " << c.kind;
  }
}

TEST(ThermalDots, ClearKeepsNothingOfThePage) {
  RecordingOutput out;
  PrinterSetPageSize(325, 150);
  PrinterDrawHistogramAxes(0);
  ASSERT_FALSE(DotsOnPage().empty());
  PrinterClearDots();
  EXPECT_TRUE(DotsOnPage().empty()) << "the left-most columns sit in the partly used byte 40";
}

TEST(ThermalDots, PrintDotsSendsTheExactPage) {
  RecordingOutput out;
  PrinterSetPageSize(360, 150);
  PrinterSetDot(0, 0);
  PrinterSetDot(359, 149);
  PrinterPrintDots(1);
  ASSERT_EQ(out.bytes.size(), 6u + 150 * 45);
  EXPECT_EQ(out.bytes.substr(0, 6), Bytes({0x12, 'T', 1, 45, 150, 0}));
  EXPECT_EQ(out.writes.size(), 151u) << "the command, then one write per row";
  std::string expectedRows(150 * 45, '\0');
  expectedRows[44] = static_cast<char>(0x80);           // (0, 0): row 0, byte 44, bit 7
  expectedRows[149 * 45 + 0] = static_cast<char>(0x01);  // (359, 149): row 149, byte 0, bit 0
  EXPECT_EQ(out.bytes.substr(6), expectedRows);

  // Sending keeps the buffer.
  out.Clear();
  PrinterPrintDots(0);
  EXPECT_EQ(out.bytes.substr(6), expectedRows);
  EXPECT_EQ(out.bytes.substr(0, 6), Bytes({0x12, 'T', 0, 45, 150, 0}));
}

TEST(ThermalDots, ANarrowPageIsSentInWholeBytesOfItsWidth) {
  // 325 dots: rows of 325 div 8 = 40 bytes, "DC2 'T' m 40 150 0", as the printer reads them.
  // Column x lives at p = 324 - x: x = 324 is bit 0 of byte 0, x = 5 bit 7 of byte 39; the
  // five left-most columns (bits of byte 40) are not part of the page sent.
  RecordingOutput out;
  PrinterSetPageSize(325, 150);
  PrinterClearDots();
  PrinterSetDot(324, 0);
  PrinterSetDot(5, 1);
  PrinterSetDot(0, 2);
  PrinterPrintDots(1);
  ASSERT_EQ(out.bytes.size(), 6u + 150 * 40);
  EXPECT_EQ(out.bytes.substr(0, 6), Bytes({0x12, 'T', 1, 40, 150, 0}));
  EXPECT_EQ(out.writes.size(), 151u) << "the command, then one write per row";
  std::string expectedRows(150 * 40, '\0');
  expectedRows[0] = static_cast<char>(0x01);
  expectedRows[40 + 39] = static_cast<char>(0x80);
  EXPECT_EQ(out.bytes.substr(6), expectedRows);
  PrinterSetPageSize(360, 300);  // height clamped to 180 rows, two-byte height
  out.Clear();
  PrinterPrintDots(1);
  EXPECT_EQ(out.bytes.substr(0, 6), Bytes({0x12, 'T', 1, 45, 180, 0}));
}

}  // namespace
