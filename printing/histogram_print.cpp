// The histogram print-outs: the library is run again on the sample's raw histograms, and its
// display curves and divider lines are drawn on the thermal printer or on a page.
#include "printing/histogram_print.h"

#include <cstring>
#include <mutex>

#include "algorithm/Zentil.h"
#include "analyzer/algorithm_input.h"
#include "core/ado_conn.h"
#include "core/field_read.h"
#include "core/param_order.h"
#include "core/value_format.h"
#include "core/write_log.h"
#include "core/zentil_binding.h"
#include "platform/sys/program_dir.h"
#include "printing/r_print_helper.h"
#include "printing/report_text.h"
#include "printing/thermal_printer.h"

namespace {

std::mutex g_mutex;
std::string g_libraryPath;
HistogramMessageHook g_hook;

std::string LibraryPath() {
  std::lock_guard<std::mutex> g(g_mutex);
  return g_libraryPath.empty() ? sys::ProgramFile(kZentilLibraryFile) : g_libraryPath;
}

void Tell(const std::string& text) {
  HistogramMessageHook hook;
  {
    std::lock_guard<std::mutex> g(g_mutex);
    hook = g_hook;
  }
  WriteLog(text);
  if (hook) hook(text);
}

int Lang(int language) { return language >= 0 && language <= 4 ? language : 1; }

// The 20 calibration factors of the blood type in display order; 1.0 without a row.
void CalibrationFactors(CADOConn& conn, int bloodType, float factors[20]) {
  for (int i = 0; i < 20; ++i) factors[i] = 1.0f;
  RecordsetPtr& rs = conn.OpenRecordset(StrPrintf("Select * from CalibrationCoef where BloodType=%d", bloodType));
  if (conn.RecordsetOpen() && HasRows(*rs))
    for (int i = 0; i < 20; ++i) ReadField(*rs, 1 + i, factors[i]);
  conn.CloseRecordset();
  ReorderParamsForDisplay(factors);
}

int ClampFirst(int channel, int count) {
  if (channel < 0) return 0;
  return channel > count ? count : channel;
}

}  // namespace

uint8_t HistogramCountTimeSetting(CADOConn& conn) {
  uint8_t setting = 5;
  RecordsetPtr& rs = conn.OpenRecordset("Select * from EngineeringAdjust");
  if (conn.RecordsetOpen() && HasRows(*rs)) {
    int64_t v = 0;
    if (ReadField(*rs, "WBCTIME", v)) setting = static_cast<uint8_t>(v & 0xFF);
  }
  conn.CloseRecordset();
  return setting;
}

void SetHistogramMessageHook(HistogramMessageHook hook) {
  std::lock_guard<std::mutex> g(g_mutex);
  g_hook = std::move(hook);
}

void SetHistogramLibraryPath(const std::string& path) {
  std::lock_guard<std::mutex> g(g_mutex);
  g_libraryPath = path;
}

PrintedHistograms ComputePrintedHistograms(const float wbc[256], const float rbc[256], const float plt[128],
                                           int bloodType, float wbcMarker2, float wbcMarker3, float pltMarker1,
                                           float pltMarker2) {
  analyzer::AlgorithmInputValues values;
  float calibration[20];
  {
    CADOConn conn;
    values.wbcTimeTenths = HistogramCountTimeSetting(conn);
    CalibrationFactors(conn, bloodType, calibration);
    conn.Disconnect();
  }
  analyzer::PickAlgorithmFactors(calibration, values.factors);
  values.bloodMode = bloodType;
  // The HGB value is not printed: one reading of 1 each keeps the library's HGB step harmless.
  static const uint16_t kOne[1] = {1};
  values.hgbBlank = kOne;
  values.hgbSample = kOne;
  AlgorithmInput input;
  analyzer::FillAlgorithmInput(input, values, std::span<const float, 256>(wbc, 256),
                               std::span<const float, 256>(rbc, 256), std::span<const float, 128>(plt, 128));
  AlgorithmResult result;
  std::memset(&result, 0, sizeof result);
  const ZentilCallStatus status = WithZentilEntry<AlgorithmMainProc>(
      LibraryPath(), "AlgorithmMain", [&](AlgorithmMainProc main) { main(&result, &input, nullptr); });
  if (status == ZentilCallStatus::LibraryMissing) Tell("Load Zentil.dll failed!");

  PrintedHistograms out;
  std::memcpy(out.wbc, result.WbcCurve, 256);
  std::memcpy(out.rbc, result.RbcCurve, 256);
  std::memcpy(out.plt, result.PltCurve, 128);
  for (int k = 0; k < 4; ++k) out.lines[k] = result.WbcLines[k];
  out.lines[4] = result.RbcLower;
  out.lines[5] = result.RbcUpper;
  out.lines[6] = result.PltLower;
  out.lines[7] = result.PltUpper;

  out.wbcMarkers[0] = 15.0f;
  out.wbcMarkers[1] = (out.lines[1] + 1) * 1.5625f;
  out.wbcMarkers[2] = (out.lines[2] + 1) * 1.5625f;
  out.wbcMarkers[3] = (out.lines[3] + 1) * 1.5625f;
  if (wbcMarker2 > 0 || wbcMarker3 > 0) {
    out.wbcMarkers[1] = wbcMarker2;
    out.wbcMarkers[2] = wbcMarker3;
  }
  out.rbcMarkers[0] = 25.0f;
  out.rbcMarkers[1] = (out.lines[5] + 1) * 0.9765625f;
  out.pltMarkers[0] = 2.0f;
  out.pltMarkers[1] = (out.lines[7] + 1) * 0.234375f;
  if (pltMarker1 > 0 || pltMarker2 > 0) {
    out.pltMarkers[0] = pltMarker1;
    out.pltMarkers[1] = pltMarker2;
  }
  // A WBC first line below 3 (a library that did not run) would start the curve before the
  // first channel; a line past the end leaves no curve.
  out.firstChannel[0] = ClampFirst(static_cast<int>(out.lines[0]) - 3, 256);
  out.firstChannel[1] = ClampFirst(out.lines[4], 256);
  out.firstChannel[2] = ClampFirst(out.lines[6], 128);
  return out;
}

std::string ThermalFlagsLine(const std::string& flags, int language) {
  const char* t[5] = {"直方图标记:", "Flags:", "Banderas:", "Drapeaux:", "Прапорці:"};
  return t[Lang(language)] + flags;
}

std::string PageFlagsLine(const std::string& flags, int language) {
  const char* t[5] = {"直方图标记: %s", "Flags: %s", "Banderas: %s", "Drapeaux: %s", "Прапорці: %s"};
  return FillText(t[Lang(language)], {flags});
}

// ---- thermal ----------------------------------------------------------------------------------

namespace {

void DottedMarker(int column) {
  for (int y = 0; y <= 102; y += 2) PrinterSetDot(column, y);
}

void ThermalCurve(const uint8_t* curve, int channels, int first, double x0, double step) {
  const int n = channels - first;
  int px = 0, py = 0;
  for (int i = 0; i < n; ++i) {
    const int x = static_cast<int>(x0 + i * step);
    const int y = static_cast<int>(curve[first + i] * 0.35);
    if (i > 0) PrinterDrawLine(px, py, x, y);
    px = x;
    py = y;
  }
}

void ThermalLabel(const char* letters /* last letter first */) {
  PrinterSendDc2S(1, 1);
  PrinterPrintText(std::string(1, letters[0]), 16, 1, 1);
  PrinterPrintText(std::string(1, letters[1]), 16, 1, 1);
  PrinterPrintText(std::string(1, letters[2]), 4, 1, 1);
  PrinterSendDc2V();
  PrinterClearDots();
  PrinterSendDc2U(1);
}

}  // namespace

void PrintHistogramsThermal(const float wbc[256], const float rbc[256], const float plt[128], const std::string& flags,
                            int bloodType, float wbcMarker2, float wbcMarker3, float pltMarker1, float pltMarker2,
                            int language) {
  PrinterPrintText(ThermalFlagsLine(flags, language), 4, 1, 1);
  const PrintedHistograms h =
      ComputePrintedHistograms(wbc, rbc, plt, bloodType, wbcMarker2, wbcMarker3, pltMarker1, pltMarker2);
  PrinterFeedDots(1, 5);
  PrinterSetCharSpacing(0);
  // The curves need the full 360-dot page; another print-out may have left a smaller one.
  const int savedWidth = PrinterPageWidth(), savedHeight = PrinterPageHeight();
  PrinterSetPageSize(360, 150);

  const double pltDots = 359.0 / 30.0;
  PrinterPrintText(" 0      5      10      15     20      25    30", 0, 0, 1);
  PrinterClearDots();
  PrinterDrawHistogramAxes(2);
  for (float m : h.pltMarkers) DottedMarker(static_cast<int>(m * pltDots));
  {
    const int n = 128 - h.firstChannel[2];
    if (n > 0) ThermalCurve(h.plt, 128, h.firstChannel[2], 2 * pltDots, (28.0 / n) * pltDots);
  }
  PrinterPrintDots(1);
  ThermalLabel("TLP");
  PrinterCarriageReturn();

  PrinterPrintText(" 0       50       100      150      200    250", 0, 0, 1);
  PrinterClearDots();
  PrinterDrawHistogramAxes(1);
  DottedMarker(35);
  DottedMarker(static_cast<int>(h.rbcMarkers[1] * 1.436));
  {
    const int n = 256 - h.firstChannel[1];
    if (n > 0) ThermalCurve(h.rbc, 256, h.firstChannel[1], 35.9, (225.0 / n) * 1.436);
  }
  PrinterPrintDots(1);
  ThermalLabel("CBR");
  PrinterCarriageReturn();

  PrinterPrintText(" 0    50   100   150  200   250   300  350 400", 0, 0, 1);
  PrinterClearDots();
  PrinterDrawHistogramAxes(0);
  DottedMarker(13);
  for (int k = 1; k < 4; ++k) DottedMarker(static_cast<int>(h.wbcMarkers[k] * 0.8975));
  ThermalCurve(h.wbc, 256, h.firstChannel[0], 13.4625, 1.50390625 * 0.8975);
  PrinterPrintDots(1);
  ThermalLabel("CBW");
  PrinterFeedDots(1, 5);

  PrinterSetPageSize(static_cast<uint16_t>(savedWidth), static_cast<uint16_t>(savedHeight));
}

// ---- page -------------------------------------------------------------------------------------

void PrintHistogramsGdi(const float wbc[256], const float rbc[256], const float plt[128], int layout,
                        RPrintHelper& helper, float firstLine, const std::string& flags, int bloodType, int lineHeight,
                        float wbcMarker2, float wbcMarker3, float pltMarker1, float pltMarker2, int language) {
  const PrintedHistograms h =
      ComputePrintedHistograms(wbc, rbc, plt, bloodType, wbcMarker2, wbcMarker3, pltMarker1, pltMarker2);
  if (layout != 0 && layout != 1) return;
  draw::DC* dc = helper.GetDC();
  if (!dc) return;
  const int W = helper.GetPageWidth();
  const draw::TextMetrics tm = dc->GetTextMetrics();
  const int c = tm.aveCharWidth;
  const double H = lineHeight > 0 ? lineHeight : tm.height;
  const int penWidth = static_cast<int>(2 * helper.YScale());
  const draw::Pen solid(draw::PenStyle::Solid, penWidth, draw::kBlack);
  const draw::Pen dashed(draw::PenStyle::Dash, penWidth, draw::kBlack);
  const int boxW = W / 4;
  auto Y = [&](double row) { return static_cast<int>(row * H); };

  struct Box {
    const char* label;
    int x;
    double labelRow, top, base, tick;
    double range;
    int intervals;
    const uint8_t* curve;
    int channels, first;
    double start, span;
    std::vector<float> markers;
    const char* const* numbers;
    int numberCount;
  };
  static const char* const kWbcNumbers[] = {"0", "50", "100", "150", "200", "250", "300", "350", "400"};
  static const char* const kRbcNumbers[] = {"0", "50", "100", "150", "200", "250"};
  static const char* const kPltNumbers[] = {"0", "5", "10", "15", "20", "25", "30"};
  const double y0 = layout == 1 ? firstLine + 0.2 : firstLine;
  Box boxes[3] = {
      {"WBC", 0, 0, 0, 0, 0, 400.0, 8, h.wbc, 256, h.firstChannel[0], 15.0, 385.0,
       {h.wbcMarkers[0], h.wbcMarkers[1], h.wbcMarkers[2], h.wbcMarkers[3]}, kWbcNumbers, 9},
      {"RBC", 0, 0, 0, 0, 0, 250.0, 5, h.rbc, 256, h.firstChannel[1], 25.0, 225.0,
       {h.rbcMarkers[0], h.rbcMarkers[1]}, kRbcNumbers, 6},
      {"PLT", 0, 0, 0, 0, 0, 30.0, 6, h.plt, 128, h.firstChannel[2], 2.0, 28.0, {h.pltMarkers[0], h.pltMarkers[1]},
       kPltNumbers, 7},
  };
  for (int b = 0; b < 3; ++b) {
    Box& box = boxes[b];
    if (layout == 1) {
      box.x = 3 * W / 5 + 6 * c;
      const double base = y0 + 7.0 * b;
      box.labelRow = base;
      box.top = base + 1;
      box.base = base + 5;
      box.tick = base + 5.3;
    } else {
      box.x = b == 0 ? W / 15 : b == 1 ? W / 15 + W / 4 + W / 16 : W / 15 + W / 2 + W / 8;
      box.labelRow = y0 - 1;
      box.top = y0;
      box.base = y0 + 4;
      box.tick = y0 + 4.3;
    }
  }
  for (const Box& box : boxes) {
    dc->ExtTextOut(box.x, Y(box.labelRow), 0, nullptr, box.label);
    const draw::Pen old = dc->SelectPen(solid);
    dc->MoveTo(box.x, Y(box.top));
    dc->LineTo(box.x, Y(box.base));
    dc->MoveTo(box.x, Y(box.base));
    dc->LineTo(box.x + boxW, Y(box.base));
    for (int k = 0; k <= box.intervals; ++k) {
      const int x = box.x + k * boxW / box.intervals;
      dc->MoveTo(x, Y(box.base));
      dc->LineTo(x, Y(box.tick));
    }
    const double s = boxW / box.range;
    dc->SelectPen(dashed);
    for (float m : box.markers) {
      const int x = static_cast<int>(box.x + m * s);
      dc->MoveTo(x, Y(box.top));
      dc->LineTo(x, Y(box.base));
    }
    dc->SelectPen(solid);
    const int n = box.channels - box.first;
    for (int i = 0; i < n; ++i) {
      const int x = static_cast<int>(box.x + box.start * s + i * (box.span / n) * s);
      const int y = static_cast<int>(Y(box.base) - box.curve[box.first + i] * 4.0 * H / 320.0);
      if (i == 0) dc->MoveTo(x, y);
      else dc->LineTo(x, y);
    }
    dc->SelectPen(old);
  }
  for (int b = 0; b < 3; ++b) {
    const Box& box = boxes[b];
    for (int k = 0; k < box.numberCount; ++k) {
      const int x = k == 0 ? box.x : box.x + k * boxW / box.intervals - c;
      dc->ExtTextOut(x, Y(box.tick), 0, nullptr, box.numbers[k]);
    }
    dc->ExtTextOut(box.x + boxW + (b == 2 ? 2 : 3) * c, Y(box.tick), 0, nullptr, "fL");
  }
  const int flagsX = layout == 1 ? boxes[0].x : W / 15;
  const double flagsRow = layout == 1 ? y0 + 21 : y0 + 6;
  dc->ExtTextOut(flagsX, Y(flagsRow), 0, nullptr, PageFlagsLine(flags, language));
}
