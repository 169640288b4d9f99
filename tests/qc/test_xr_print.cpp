// The X-R print-outs: the thermal table lines, the order in which the charts go out, the Print
// button on an incomplete file, and the page print-out as a PDF.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "core/value_format.h"
#include "platform/print/printers.h"
#include "printing/thermal_printer.h"
#include "qc/lj_chart_data.h"
#include "qc/xr_print.h"
#include "qc/xr_qc_graph.h"
#include "qc_screen_fixture.h"
#include "recording_output.h"
#include "tests/support/program_folder.h"

namespace {

std::string Printed(const std::string& bytes) {
  std::string out;
  for (size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == 0x1B && i + 2 < bytes.size() && bytes[i + 1] == 'w' && (bytes[i + 2] == 0 || bytes[i + 2] == 1)) {
      i += 2;
      continue;
    }
    out.push_back(bytes[i]);
  }
  return out;
}

qc::XrPrintData SevenGroups() {
  // WBC groups of 2: (g, g + 1) for g = 1..7, so means g + 0.5 and ranges 1; RBC all 4.5.
  std::vector<std::array<float, 20>> rows;
  std::vector<std::string> dates;
  for (int g = 1; g <= 7; ++g)
    for (int k = 0; k < 2; ++k) {
      std::array<float, 20> r{};
      r.fill(-2.0f);
      r[0] = static_cast<float>(g + k);
      r[1] = 4.5f;
      rows.push_back(r);
      dates.push_back(StrPrintf("2026-03-%.2d", g));
    }
  qc::XrPrintData d;
  EXPECT_TRUE(qc::ComputeXrStats(rows, dates, 7, 2, &d.stats));
  d.fileNo = 3;
  d.groups = 7;
  d.upper = 0;
  d.batch = "XR-3";
  d.expiry = "2031-04-09";
  d.unitName = "City Lab";
  return d;
}

TEST(XrThermalPrint, TableLinesNewestFiveFirstWithGrowingWidths) {
  const qc::XrPrintData d = SevenGroups();
  const std::vector<std::string> lines = qc::XrThermalTableLines(d.stats.params[0].groupMeans, d.stats.groupDates, 1);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0], "Result: 3.50   4.50    5.50     6.50      7.50       ");
  EXPECT_EQ(lines[1], "Date:  03-03  03-04   03-05    03-06     03-07      ");
  EXPECT_EQ(lines[2], "Result: 1.50   2.50    ");
  EXPECT_EQ(lines[3], "Date:  03-01  03-02   ");
}

TEST(XrThermalPrint, LowerParameterFirstRangeBeforeMeanTitleLast) {
  RecordingOutput out;
  PrinterSetOutput(&out);
  PrinterResetState();
  qc::PrintXrChartThermal(SevenGroups(), 1, sys::LocalTime{2026, 12, 10, 9, 0, 0});
  PrinterSetOutput(nullptr);
  const std::string b = Printed(out.bytes);
  const size_t date = b.find("Print Date: 12/10/2026");
  const size_t rbcR = b.find("RBC-R Graph"), rbcX = b.find("RBC-X Graph");
  const size_t wbcR = b.find("WBC-R Graph"), wbcX = b.find("WBC-X Graph");
  const size_t lot = b.find("Lot: XR-3 Validity: 2031-04-09");
  const size_t title = b.find("X-R QC Graph(QC 3)");
  const size_t unit = b.find("City Lab");
  ASSERT_NE(wbcX, std::string::npos);
  EXPECT_LT(date, rbcR);
  EXPECT_LT(rbcR, rbcX);
  EXPECT_LT(rbcX, wbcR);
  EXPECT_LT(wbcR, wbcX);
  EXPECT_LT(wbcX, lot);
  EXPECT_LT(lot, title);
  EXPECT_LT(title, unit);
  // WBC X limits: grand mean 4.5, mean range 1, A2(2) = 1.88: 2.62 and 6.38.
  EXPECT_NE(b.find("2.62"), std::string::npos);
  EXPECT_NE(b.find("6.38"), std::string::npos);
  // R limits: 3.267 x 1 = 3.27 and 0.
  EXPECT_NE(b.find("3.27"), std::string::npos);
}

class XrPrintButton : public QcScreenTest {
 protected:
  // Prints the complete file 3 from its chart screen onto a PDF and returns its path ("" when none).
  std::string PrintPdf(const std::string& dir) {
    std::filesystem::remove_all(dir);
    ::setenv("QUORVEX_PRINT_DIR", dir.c_str(), 1);
    print::SetSpooler(&spooler_);
    qc::XrQcFileNo = 3;
    {
      qc::CXRQCGraph screen(nullptr);
      screen.SetPrintWait(true);
      EXPECT_TRUE(d.RunScript([&] { screen.DoModal(); },
                              [&](ui::TestDriver& s) {
                                s.Press(qc::IDC_XRG_PRINT);
                                s.RunUntil([&] { return s.Find(qc::IDC_XRG_PRINT)->IsWindowEnabled(); }, 3000);
                                s.Press(ui::IDCANCEL);
                              }));
    }
    print::SetSpooler(nullptr);
    ::unsetenv("QUORVEX_PRINT_DIR");
    if (!std::filesystem::exists(dir)) return "";
    for (const auto& e : std::filesystem::directory_iterator(dir)) return e.path().string();
    return "";
  }
  struct NoQueues : print::Spooler {
    std::vector<print::PrinterInfo> List() override { return {}; }
    bool SetDefault(const std::string&, std::string*) override { return false; }
    int Submit(const std::string&, const std::string&, const std::string&, const print::SubmitOptions&, std::string*) override {
      return 0;
    }
  } spooler_;
};

std::string Shell(const std::string& cmd) {
  std::string out;
  FILE* p = ::popen(cmd.c_str(), "r");
  if (!p) return out;
  char buf[4096];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
  ::pclose(p);
  return out;
}

struct Word {
  double xMin, yMin, xMax, yMax;
  std::string text;
};

// The words of the first page with their boxes (points), as pdftotext finds them.
std::vector<Word> PageWords(const std::string& pdf) {
  std::vector<Word> words;
  const std::string html = Shell("pdftotext -q -bbox -f 1 -l 1 '" + pdf + "' - 2>/dev/null");
  size_t at = 0;
  while ((at = html.find("<word ", at)) != std::string::npos) {
    Word w{};
    const size_t close = html.find('>', at), end = html.find("</word>", at);
    if (close == std::string::npos || end == std::string::npos) break;
    std::sscanf(html.c_str() + at, "<word xMin=\"%lf\" yMin=\"%lf\" xMax=\"%lf\" yMax=\"%lf\"", &w.xMin, &w.yMin, &w.xMax,
                &w.yMax);
    w.text = html.substr(close + 1, end - close - 1);
    words.push_back(w);
    at = end;
  }
  return words;
}

// The X-R page print-out's table: "Date" and "Result" stand in cells of their own, ruled off
// from the first group's date and value; the two rows are ruled apart.
TEST_F(XrPrintButton, ThePageTableHasRuledCellsAndTheLabelsStandApart) {
  if (std::system("command -v pdftotext >/dev/null 2>&1 && command -v pdftoppm >/dev/null 2>&1") != 0)
    GTEST_SKIP() << "needs pdftotext and pdftoppm";
  Sql("insert into XRQCSet(QcFileNo,BatchNo,ExpDate,GroupNum,NumPerGroup) values(3,'XR-3','2030-01-01',2,2)");
  Sql("insert into XRQCRunResult(QcFileNo,TestDate,TestTime,WBC) values(3,'2026-03-01','08:00:00',7)");
  Sql("insert into XRQCRunResult(QcFileNo,TestDate,TestTime,WBC) values(3,'2026-03-01','09:00:00',9)");
  Sql("insert into XRQCRunResult(QcFileNo,TestDate,TestTime,WBC) values(3,'2026-03-02','08:00:00',8)");
  Sql("insert into XRQCRunResult(QcFileNo,TestDate,TestTime,WBC) values(3,'2026-03-02','09:00:00',8)");
  Sql("update SysSetting set Printer=1");
  const std::string dir = ::testing::TempDir() + "quorvex_xr_table_" + std::to_string(::getpid()) + "/";
  const std::string pdf = PrintPdf(dir);
  ASSERT_FALSE(pdf.empty());
  const std::vector<Word> words = PageWords(pdf);
  // The WBC-X block: "Result" and the first group's mean 8.00 on one line, "Date" and 03-01 above.
  const Word* result = nullptr;
  const Word* date = nullptr;
  for (const Word& w : words) {
    if (!result && w.text.rfind("Result", 0) == 0) result = &w;
    if (!date && w.text.rfind("Date", 0) == 0 && w.yMin > 100) date = &w;
  }
  ASSERT_NE(result, nullptr);
  ASSERT_NE(date, nullptr);
  EXPECT_EQ(result->text, "Result") << "the label runs into the first value";
  const Word* first = nullptr;
  for (const Word& w : words)
    if (w.text == "8.00" && std::abs(w.yMin - result->yMin) < 2 && w.xMin > result->xMin && (!first || w.xMin < first->xMin))
      first = &w;
  ASSERT_NE(first, nullptr);
  // Apart by more than a touch: the label's cell ends, and the value is set in from the next one.
  EXPECT_GT(first->xMin - result->xMax, 2.0) << "\"Result\" ends at " << result->xMax << " pt, the value starts at " << first->xMin;
  // The rules, on the page rasterised at 288 dpi (4 pixels a point).
  const std::string base = dir + "page";
  Shell("pdftoppm -q -r 288 -gray -f 1 -l 1 '" + pdf + "' '" + base + "'");
  std::string pgm;
  for (const auto& e : std::filesystem::directory_iterator(dir))
    if (e.path().extension() == ".pgm") pgm = e.path().string();
  ASSERT_FALSE(pgm.empty());
  const std::string img = support::FileBytes(pgm);
  int width = 0, height = 0, maxval = 0, consumed = 0;
  ASSERT_EQ(std::sscanf(img.c_str(), "P5 %d %d %d%n", &width, &height, &maxval, &consumed), 3);
  const size_t data = static_cast<size_t>(consumed) + 1;
  auto dark = [&](int x, int y) {
    if (x < 0 || y < 0 || x >= width || y >= height) return false;
    return static_cast<unsigned char>(img[data + static_cast<size_t>(y) * width + x]) < 128;
  };
  auto px = [](double pt) { return static_cast<int>(pt * 4); };
  // A vertical rule between "Result" and the first value, on the value row and on the date row.
  auto ruleBetween = [&](double x0, double x1, double yMid) {
    for (int x = px(x0) + 1; x < px(x1); ++x)
      if (dark(x, px(yMid))) return true;
    return false;
  };
  EXPECT_TRUE(ruleBetween(result->xMax, first->xMin, (result->yMin + result->yMax) / 2));
  EXPECT_TRUE(ruleBetween(date->xMax, first->xMin, (date->yMin + date->yMax) / 2));
  // A horizontal rule between the date row and the value row, under the first value.
  bool across = false;
  for (int y = px(date->yMax); y < px(result->yMin) && !across; ++y) across = dark(px((first->xMin + first->xMax) / 2), y);
  EXPECT_TRUE(across);
  std::filesystem::remove_all(dir);
}

TEST_F(XrPrintButton, AnIncompleteFileIsNotPrintedAndACompleteOneBecomesAPdf) {
  Sql("insert into XRQCSet(QcFileNo,BatchNo,ExpDate,GroupNum,NumPerGroup) values(3,'XR-3','2030-01-01',2,2)");
  Sql("insert into XRQCRunResult(QcFileNo,TestDate,TestTime,WBC) values(3,'2026-03-01','08:00:00',1)");
  Sql("update SysSetting set Printer=1, UnitName='City Lab'");
  const std::string dir = ::testing::TempDir() + "quorvex_xr_print_" + std::to_string(::getpid()) + "/";
  std::filesystem::remove_all(dir);
  ::setenv("QUORVEX_PRINT_DIR", dir.c_str(), 1);
  struct NoQueues : print::Spooler {
    std::vector<print::PrinterInfo> List() override { return {}; }
    bool SetDefault(const std::string&, std::string*) override { return false; }
    int Submit(const std::string&, const std::string&, const std::string&, const print::SubmitOptions&, std::string*) override {
      return 0;
    }
  } spooler;
  print::SetSpooler(&spooler);
  qc::XrQcFileNo = 3;
  std::vector<std::string> warned;
  {
    qc::CXRQCGraph screen(nullptr);
    screen.SetPrintWait(true);
    ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                            [&](ui::TestDriver& s) {
                              s.Press(qc::IDC_XRG_PRINT);
                              warned = DrainBoxes(s);
                              s.Press(ui::IDCANCEL);
                            }));
  }
  EXPECT_EQ(warned, (std::vector<std::string>{"QC tests is not equal to number of groups multiplied by sample number of each group!"}));
  EXPECT_FALSE(std::filesystem::exists(dir) && !std::filesystem::is_empty(dir));
  Sql("insert into XRQCRunResult(QcFileNo,TestDate,TestTime,WBC) values(3,'2026-03-01','09:00:00',3)");
  Sql("insert into XRQCRunResult(QcFileNo,TestDate,TestTime,WBC) values(3,'2026-03-02','08:00:00',2)");
  Sql("insert into XRQCRunResult(QcFileNo,TestDate,TestTime,WBC) values(3,'2026-03-02','09:00:00',2)");
  bool enabledAfter = false;
  {
    qc::CXRQCGraph screen(nullptr);
    screen.SetPrintWait(true);
    ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                            [&](ui::TestDriver& s) {
                              s.Press(qc::IDC_XRG_PRINT);
                              s.RunUntil([&] { return s.Find(qc::IDC_XRG_PRINT)->IsWindowEnabled(); }, 3000);
                              enabledAfter = s.Find(qc::IDC_XRG_PRINT)->IsWindowEnabled();
                              s.Press(ui::IDCANCEL);
                            }));
  }
  print::SetSpooler(nullptr);
  ::unsetenv("QUORVEX_PRINT_DIR");
  EXPECT_TRUE(enabledAfter);
  std::vector<std::filesystem::path> pdfs;
  if (std::filesystem::exists(dir))
    for (const auto& e : std::filesystem::directory_iterator(dir)) pdfs.push_back(e.path());
  ASSERT_EQ(pdfs.size(), 1u);
  if (std::system("command -v pdftotext >/dev/null 2>&1") == 0) {
    std::string text;
    FILE* p = ::popen(("pdftotext -q '" + pdfs[0].string() + "' - 2>/dev/null").c_str(), "r");
    char buf[512];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) text.append(buf, n);
    ::pclose(p);
    for (const char* s : {"X-R QC Graph(QC 3)", "City Lab", "Lot: XR-3", "WBC-X Graph", "RBC-R Graph", "3.88", "0.12", "03-02",
                          "Inspector:"})
      EXPECT_NE(text.find(s), std::string::npos) << s;
  }
  std::filesystem::remove_all(dir);
}

}  // namespace
