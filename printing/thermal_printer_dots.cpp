// The dot buffer, the page, the drawing operations and the sending of a dot page.
#include <cmath>
#include <cstring>
#include <vector>

#include "printing/thermal_printer.h"
#include "printing/thermal_printer_state.h"

using namespace thermal_detail;

namespace {

constexpr int kMaxPageWidth = kPrinterDotRowBytes * 8;  // 360
constexpr int kMaxPageHeight = kPrinterDotRows;         // 180

int g_pageWidth = 360;
int g_pageHeight = 150;
int g_printMode = 0;
uint8_t g_dots[kPrinterDotRows][kPrinterDotRowBytes];

// Sets bit `p` of buffer row `row`, where p counts from the page's right-most column.
void SetBit(int row, int p) {
  if (row < 0 || row >= kPrinterDotRows || p < 0 || p >= kMaxPageWidth) return;
  g_dots[row][p / 8] |= static_cast<uint8_t>(1u << (p % 8));
}

}  // namespace

void PrinterSetPageSize(uint16_t width, uint16_t height) {
  const int w = width < kMaxPageWidth ? width : kMaxPageWidth;
  const int h = height < kMaxPageHeight ? height : kMaxPageHeight;
  if (w != 0 && h != 0) {
    g_pageWidth = w;
    g_pageHeight = h;
  }
}

int PrinterPageWidth() { return g_pageWidth; }
int PrinterPageHeight() { return g_pageHeight; }
int PrinterPrintMode() { return g_printMode; }

int PrinterPageRowBytes() {
  const int bytes = g_pageWidth / 8;
  return bytes < kPrinterDotRowBytes ? bytes : kPrinterDotRowBytes;
}

void PrinterSetPrintMode(int mode) {
  g_printMode = mode;
  g_pageWidth = mode == 0 ? 360 : 104;
  Send({kDC2, 'Y', static_cast<uint8_t>(mode == 1 ? 1 : mode == 2 ? 2 : 0)});
}

void PrinterClearDots() {
  // A page whose width is no multiple of 8 has its left-most columns in a partly used byte;
  // that byte is cleared too, or an earlier page's dots would reappear there.
  const int bytes = (g_pageWidth + 7) / 8 < kPrinterDotRowBytes ? (g_pageWidth + 7) / 8 : kPrinterDotRowBytes;
  const int rows = g_pageHeight < kPrinterDotRows ? g_pageHeight : kPrinterDotRows;
  for (int r = 0; r < rows; ++r) std::memset(g_dots[r], 0, static_cast<size_t>(bytes));
}

void PrinterSetDot(int x, int y) {
  // Callers may hand in any coordinates (a curve point beyond the axis, an overflowing
  // value): whatever is outside the page is dropped, never written outside the buffer.
  if (g_printMode == 0) {
    if (x < 0 || x >= g_pageWidth || y < 0 || y >= g_pageHeight) return;
    SetBit(y, g_pageWidth - 1 - x);
  } else if (g_printMode == 1) {
    if (y < 0 || y >= g_pageWidth || x < 0 || x >= g_pageHeight) return;
    SetBit(x, g_pageWidth - 1 - y);
  }
}

void PrinterDrawLine(int x1, int y1, int x2, int y2) {
  if (x1 == x2) {
    const int y0 = y1 < y2 ? y1 : y2;
    const int n = std::abs(y2 - y1);
    for (int i = 0; i < n; ++i) PrinterSetDot(x1, y0 + i);
    return;
  }
  const float k = static_cast<float>(y2 - y1) / static_cast<float>(x2 - x1);
  if (k >= -1.0f && k <= 1.0f) {
    // Shallow: step along x from the end with the smaller x.
    int x = x1 < x2 ? x1 : x2;
    int y = x1 < x2 ? y1 : y2;
    const int n = std::abs(x2 - x1);
    if (k >= 0.0f) {
      float e = -0.5f;
      for (int i = 0; i < n; ++i) {
        PrinterSetDot(x, y);
        e += k;
        ++x;
        if (e >= 0.0f) {
          e -= 1.0f;
          ++y;
        }
      }
    } else {
      float e = 0.5f;
      for (int i = 0; i < n; ++i) {
        PrinterSetDot(x, y);
        e += k;
        ++x;
        if (e <= 0.0f) {
          e += 1.0f;
          --y;
        }
      }
    }
    return;
  }
  // Steep: step along y from the end with the smaller y.
  int x = y1 < y2 ? x1 : x2;
  int y = y1 < y2 ? y1 : y2;
  const int n = std::abs(y2 - y1);
  const float s = 1.0f / k;
  if (k > 1.0f) {
    float e = -0.5f;
    for (int i = 0; i < n; ++i) {
      PrinterSetDot(x, y);
      e += s;
      ++y;
      if (e >= 0.0f) {
        e -= 1.0f;
        ++x;
      }
    }
  } else {
    float e = 0.5f;
    for (int i = 0; i < n; ++i) {
      PrinterSetDot(x, y);
      e += s;
      ++y;
      if (e <= 0.0f) {
        e += 1.0f;
        --x;
      }
    }
  }
}

void PrinterDrawThickLine(int x1, int y1, int x2, int y2) {
  PrinterDrawLine(x1, y1, x2, y2);
  bool steep = x1 == x2;
  if (!steep) {
    const float k = static_cast<float>(y2 - y1) / static_cast<float>(x2 - x1);
    steep = std::fabs(k) >= 1.0f;
  }
  if (steep) {
    PrinterDrawLine(x1 + 1, y1, x2 + 1, y2);
  } else {
    PrinterDrawLine(x1, y1 + 1, x2, y2 + 1);
  }
}

void PrinterDrawHistogramAxes(int kind) {
  const int W = g_pageWidth;
  const int H = g_pageHeight;
  if (g_printMode == 0) {
    PrinterDrawLine(0, 0, 0, H - 8);
    PrinterDrawLine(0, 0, W, 0);
    int intervals = 0;
    switch (kind) {
      case 0: intervals = 8; break;
      case 1: intervals = 5; break;
      case 2: intervals = 6; break;
      default: return;
    }
    const int step = W / intervals;
    for (int i = 0; i < intervals; ++i) PrinterDrawLine(i * step, 0, i * step, 5);
    PrinterDrawLine(W, 0, W, 5);  // the closing tick lies just beyond the page
  } else if (g_printMode == 1) {
    const int g = ((120 - W) * 3) / 2;
    const int b = g + W;
    for (int x : {0, b, 2 * b}) PrinterDrawLine(x, 0, x, H - 8);
    PrinterDrawLine(0, H - 8, W, H - 8);
    PrinterDrawLine(b, H - 8, g + 2 * W, H - 8);
    PrinterDrawLine(2 * b, H - 8, 360, H - 8);
  }
}

void PrinterPrintDots(uint8_t m) {
  const int w = PrinterPageRowBytes();
  const int h = g_pageHeight < kPrinterDotRows ? g_pageHeight : kPrinterDotRows;
  // The header announces h rows of w bytes: the printer takes that many bytes as dots, so the
  // page goes whole or not at all. w is the width in whole bytes, the format the firmware reads.
  ThermalBeginCommand();
  Send({kDC2, 'T', m, static_cast<uint8_t>(w), static_cast<uint8_t>(h % 256), static_cast<uint8_t>(h / 256)});
  for (int r = 0; r < h; ++r) PrinterWrite(g_dots[r], w);
  ThermalEndCommand();
}

const uint8_t* PrinterDotRow(int row) {
  if (row < 0 || row >= kPrinterDotRows) return nullptr;
  return g_dots[row];
}

void ThermalResetDotState() {
  g_pageWidth = 360;
  g_pageHeight = 150;
  g_printMode = 0;
  std::memset(g_dots, 0, sizeof g_dots);
}

void PrinterResetState() {
  ThermalResetDotState();
  ThermalResetPortState();
}
