// The histogram print-outs: the stored raw record of a sample, the library's curves and lines
// for the same raw data, the markers, and the thermal dot pages.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "algorithm/Zentil.h"
#include "analyzer/raw_test_data.h"
#include "core/app_settings.h"
#include "printing/histogram_print.h"
#include "printing/thermal_printer.h"
#include "recording_output.h"
#include "tests/support/program_folder.h"

namespace {

struct Raw {
  float wbc[256] = {}, rbc[256] = {}, plt[128] = {};
};

Raw Bumps() {
  Raw r;
  auto bump = [](float* h, int n, double centre, double width, double height) {
    for (int i = 0; i < n; ++i) h[i] += static_cast<float>(height * std::exp(-(i - centre) * (i - centre) / (2 * width * width)));
  };
  bump(r.wbc, 256, 35, 6, 300);
  bump(r.wbc, 256, 75, 8, 80);
  bump(r.wbc, 256, 120, 12, 200);
  bump(r.rbc, 256, 90, 14, 500);
  bump(r.plt, 128, 22, 7, 150);
  return r;
}

class HistogramPrint : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = AppSettings.ProgramFolder;
    AppSettings.ProgramFolder = folder_.folder();
    SetHistogramLibraryPath(support::BuiltZentilPath());
  }
  void TearDown() override {
    AppSettings.ProgramFolder = saved_;
    SetHistogramLibraryPath("");
    SetHistogramMessageHook({});
  }
  support::ScratchProgramFolder folder_{"histogram_print"};
  std::string saved_;
};

TEST_F(HistogramPrint, StoredRecordsAreFoundByDateAndNumber) {
  uint8_t a[2560], b[2560];
  for (int i = 0; i < 2560; ++i) {
    a[i] = static_cast<uint8_t>(i);
    b[i] = static_cast<uint8_t>(255 - i % 256);
  }
  uint8_t buffer[2560];
  std::memset(buffer, 0xAB, sizeof buffer);
  EXPECT_FALSE(ReadTestDataRecord(buffer, "2026-12-10", "7")) << "no files yet";
  EXPECT_EQ(buffer[0], 0xAB);
  ASSERT_EQ(analyzer::WriteRawRecord(AppSettings.ProgramFolder, "20261210 7", a), analyzer::RawWrite::Written);
  ASSERT_EQ(analyzer::WriteRawRecord(AppSettings.ProgramFolder, "2026121012", b), analyzer::RawWrite::Written);
  ASSERT_TRUE(ReadTestDataRecord(buffer, "2026-12-10", "7"));  // "%2d": a blank before the 7
  EXPECT_EQ(std::memcmp(buffer, a, 2560), 0);
  ASSERT_TRUE(ReadTestDataRecord(buffer, "2026-12-10", "12"));
  EXPECT_EQ(std::memcmp(buffer, b, 2560), 0);
  std::memset(buffer, 0xAB, sizeof buffer);
  EXPECT_FALSE(ReadTestDataRecord(buffer, "2026-12-11", "7"));
  EXPECT_FALSE(ReadTestDataRecord(buffer, "2026-12-10", "1")) << "no prefix match of sample 12";
  EXPECT_EQ(buffer[5], 0xAB);
  float wbc[256], rbc[256], plt[128];
  float floats[640];
  for (int i = 0; i < 640; ++i) floats[i] = static_cast<float>(i) * 0.5f;
  SplitTestDataRecord(reinterpret_cast<const uint8_t*>(floats), wbc, rbc, plt);
  EXPECT_EQ(wbc[255], 127.5f);
  EXPECT_EQ(rbc[0], 128.0f);
  EXPECT_EQ(plt[127], 319.5f);
}

TEST_F(HistogramPrint, CurvesAndLinesAreTheLibrarysForTheSameRawData) {
  support::ExecSql("update EngineeringAdjust set WBCTIME=95");
  support::ExecSql("update CalibrationCoef set WBC=1.1, HGB=1.2, RBC=1.3, MCV=1.4, PLT=1.5, MPV=1.6 where BloodType=2");
  const Raw raw = Bumps();
  // The library run as the print-outs describe it, filled field by field here.
  AlgorithmInput in;
  std::memset(&in, 0, sizeof in);
  static const uint16_t one[1] = {1};
  in.HgbBlankReadings = one;
  in.HgbSampleReadings = one;
  in.HgbReadingCount = 1;
  in.BloodMode = 1;
  in.WbcDilution = 337.72f;
  in.RbcDilution = 21476.0f;
  in.WbcRateDivisor = 25.6f;
  in.RbcRateDivisor = 10.4f;
  in.WbcCountTime = in.RbcCountTime = 9.0f;  // 95 / 10 in whole seconds
  in.WbcFactor = 1.1f;
  in.HgbFactor = 1.2f;
  in.RbcFactor = 1.3f;
  in.McvFactor = 1.4f;
  in.PltFactor = 1.5f;
  in.MpvFactor = 1.6f;
  std::memcpy(in.WbcHistogram, raw.wbc, sizeof raw.wbc);
  std::memcpy(in.RbcHistogram, raw.rbc, sizeof raw.rbc);
  std::memcpy(in.PltHistogram, raw.plt, sizeof raw.plt);
  static AlgorithmResult r;
  std::memset(&r, 0, sizeof r);
  AlgorithmMain(&r, &in, nullptr);

  const PrintedHistograms p = ComputePrintedHistograms(raw.wbc, raw.rbc, raw.plt, 2, 0, 0, 0, 0);
  EXPECT_EQ(std::memcmp(p.wbc, r.WbcCurve, 256), 0);
  EXPECT_EQ(std::memcmp(p.rbc, r.RbcCurve, 256), 0);
  EXPECT_EQ(std::memcmp(p.plt, r.PltCurve, 128), 0);
  const uint16_t lines[8] = {r.WbcLines[0], r.WbcLines[1], r.WbcLines[2], r.WbcLines[3],
                             r.RbcLower,    r.RbcUpper,    r.PltLower,    r.PltUpper};
  for (int k = 0; k < 8; ++k) EXPECT_EQ(p.lines[k], lines[k]) << k;
  EXPECT_FLOAT_EQ(p.wbcMarkers[0], 15.0f);
  EXPECT_FLOAT_EQ(p.wbcMarkers[1], (lines[1] + 1) * 1.5625f);
  EXPECT_FLOAT_EQ(p.wbcMarkers[2], (lines[2] + 1) * 1.5625f);
  EXPECT_FLOAT_EQ(p.wbcMarkers[3], (lines[3] + 1) * 1.5625f);
  EXPECT_FLOAT_EQ(p.rbcMarkers[1], (lines[5] + 1) * 0.9765625f);
  EXPECT_FLOAT_EQ(p.pltMarkers[0], 2.0f);
  EXPECT_FLOAT_EQ(p.pltMarkers[1], (lines[7] + 1) * 0.234375f);
  EXPECT_EQ(p.firstChannel[0], std::max(0, lines[0] - 3));
  EXPECT_EQ(p.firstChannel[1], lines[4]);
  EXPECT_EQ(p.firstChannel[2], lines[6]);
}

TEST_F(HistogramPrint, CallersMarkersAndAMissingLibrary) {
  const Raw raw = Bumps();
  struct Case {
    float w2, w3, p1, p2;
    bool wbcReplaced, pltReplaced;
  } cases[] = {{0, 0, 0, 0, false, false}, {110, 0, 0, 25, true, true}, {0, 150, 3, 0, true, true}};
  for (const Case& c : cases) {
    const PrintedHistograms p = ComputePrintedHistograms(raw.wbc, raw.rbc, raw.plt, 0, c.w2, c.w3, c.p1, c.p2);
    if (c.wbcReplaced) {
      EXPECT_EQ(p.wbcMarkers[1], c.w2);
      EXPECT_EQ(p.wbcMarkers[2], c.w3);
    } else {
      EXPECT_FLOAT_EQ(p.wbcMarkers[1], (p.lines[1] + 1) * 1.5625f);
    }
    if (c.pltReplaced) {
      EXPECT_EQ(p.pltMarkers[0], c.p1);
      EXPECT_EQ(p.pltMarkers[1], c.p2);
    } else {
      EXPECT_EQ(p.pltMarkers[0], 2.0f);
    }
  }
  std::vector<std::string> told;
  SetHistogramMessageHook([&](const std::string& t) { told.push_back(t); });
  SetHistogramLibraryPath(folder_.folder() + "missing/libZentil.so");
  const PrintedHistograms p = ComputePrintedHistograms(raw.wbc, raw.rbc, raw.plt, 0, 0, 0, 0, 0);
  EXPECT_EQ(told, std::vector<std::string>{"Load Zentil.dll failed!"});
  // Zeroed result: channel 0 lines, and the WBC curve starts at channel 0, not at -3.
  EXPECT_EQ(p.firstChannel[0], 0);
  EXPECT_FLOAT_EQ(p.wbcMarkers[1], 1.5625f);
  EXPECT_FLOAT_EQ(p.rbcMarkers[1], 0.9765625f);
  EXPECT_FLOAT_EQ(p.pltMarkers[1], 0.234375f);
}

// The dot pages of a thermal print-out: each DC2 'T' 1 w h page as rows of w bytes.
std::vector<std::vector<std::string>> DotPages(const std::string& bytes, int* width, int* height) {
  std::vector<std::vector<std::string>> pages;
  for (size_t at = bytes.find("\x12T\x01"); at != std::string::npos; at = bytes.find("\x12T\x01", at + 1)) {
    const int w = static_cast<uint8_t>(bytes[at + 3]);
    const int h = static_cast<uint8_t>(bytes[at + 4]) + 256 * static_cast<uint8_t>(bytes[at + 5]);
    *width = w;
    *height = h;
    std::vector<std::string> rows;
    size_t p = at + 6;
    for (int r = 0; r < h && p + w <= bytes.size(); ++r, p += w) rows.push_back(bytes.substr(p, w));
    pages.push_back(rows);
  }
  return pages;
}

// The columns with ink in one row of a 360-dot page (column x is bit (359 - x) mod 8 of byte
// (359 - x) div 8).
std::set<int> Columns(const std::string& row) {
  std::set<int> cols;
  for (size_t j = 0; j < row.size(); ++j)
    for (int k = 0; k < 8; ++k)
      if (static_cast<uint8_t>(row[j]) & (1 << k)) cols.insert(359 - static_cast<int>(j * 8 + k));
  return cols;
}

TEST_F(HistogramPrint, ThermalPagesCarryTheMarkersOnEverySecondRowOnTheirOwnPageSize) {
  // Without the library every curve lies on its axis, so only the axis and the markers show above it.
  SetHistogramMessageHook([](const std::string&) {});
  SetHistogramLibraryPath(folder_.folder() + "missing/libZentil.so");
  const Raw raw = Bumps();
  RecordingOutput out;
  PrinterSetPageSize(104, 60);  // left behind by another print-out
  PrintHistogramsThermal(raw.wbc, raw.rbc, raw.plt, "LF1 ", 0, 107, 147, 2, 30, 1);
  EXPECT_EQ(PrinterPageWidth(), 104) << "the page size is put back";
  EXPECT_EQ(PrinterPageHeight(), 60);
  int w = 0, h = 0;
  const auto pages = DotPages(out.bytes, &w, &h);
  ASSERT_EQ(pages.size(), 3u);
  EXPECT_EQ(w, 45);
  EXPECT_EQ(h, 150);
  // PLT: markers 2 and 30 fL at 359/30 dots per fL; RBC: 25 fL fixed at 35 and the upper line
  // (channel 0: 0.977 fL, column 1); WBC: 15 fL at 13, 107 and 147 fL at 0.8975 dots per fL, the
  // last line (channel 0) at column 1. Column 0 is the vertical axis.
  const std::set<int> expected[3] = {{0, 23, 359}, {0, 1, 35}, {0, 1, 13, 96, 131}};
  for (int p = 0; p < 3; ++p) {
    ASSERT_GE(pages[p].size(), 103u);
    EXPECT_EQ(Columns(pages[p][50]), expected[p]) << "page " << p;
    EXPECT_EQ(Columns(pages[p][102]), expected[p]) << "page " << p;
    EXPECT_EQ(Columns(pages[p][51]), std::set<int>{0}) << "page " << p;
    EXPECT_EQ(Columns(pages[p][104]), std::set<int>{0}) << "page " << p;
  }
  // The flags line goes first.
  RecordingOutput flags;
  PrinterPrintText("Flags:LF1 ", 4, 1, 1);
  EXPECT_EQ(out.bytes.compare(0, flags.bytes.size(), flags.bytes), 0);
}

}  // namespace
