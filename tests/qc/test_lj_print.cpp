// The L-J chart print-outs: the thermal one's rows, points and order of sending, the page one as
// a PDF, and the chart screen's Print button (range, buttons, the copy it prints).
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <functional>

#include "core/value_format.h"
#include "platform/print/printers.h"
#include "printing/thermal_printer.h"
#include "qc/lj_chart_data.h"
#include "qc/lj_print.h"
#include "qc/lj_qc_graph.h"
#include "qc/qc_print_style.h"
#include "qc_screen_fixture.h"
#include "recording_output.h"

namespace {

// The printed characters: wide text goes out one character at a time between ESC w 1 and ESC w 0.
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

qc::LjChartData SevenRuns() {
  qc::LjChartData d;
  d.fileNo = 7;
  d.runCount = 7;
  d.lot = "LOT-7";
  d.expiry = "2030-05-06";
  d.unitName = "City Lab";
  for (auto& v : d.values) v.assign(7, -1.0f);
  for (int i = 0; i < 7; ++i) {
    d.values[0][i] = 7.0f + 0.25f * i;  // WBC 7.00 .. 8.50
    d.shortDates.push_back(StrPrintf("11-%.2d", i + 1));
    d.runTimes.push_back(StrPrintf("2026-11-%.2d 09:00:00", i + 1));
  }
  d.values[0][2] = -1.0f;  // run 3 without WBC
  d.targets[0] = 7.5f;
  d.sds[0] = 0.25f;
  d.targets[1] = 4.5f;  // RBC without a limit: no chart
  qc::ComputeLjStats(&d);
  qc::SetShownStats(&d);
  return d;
}

TEST(LjThermalPrint, ValueRowsGoNewestPairFirstAndSkipMissingValues) {
  const qc::LjChartData d = SevenRuns();
  const std::vector<qc::ValueRowPair> rows = qc::ThermalValueRows(d, 0, 1);
  // Six runs with a value: the newest five (runs 3 lacks one), then run 1 alone.
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].results, "Result:7.25   7.75   8.00   8.25   8.50   ");
  EXPECT_EQ(rows[0].dates, "Date:  11-02  11-04  11-05  11-06  11-07  ");
  EXPECT_EQ(rows[1].results, "Result:7.00   ");
  EXPECT_EQ(rows[1].dates, "Date:  11-01  ");
}

TEST(LjThermalPrint, ChartPointsAndCrosses) {
  // T 8, L 0.25: row = (u - 7.5) x 150 (dots per unit 150 / (4 x 0.25)); step 325 / 8 for 7 runs.
  struct Case {
    int index;
    float u;
    int column, row;
    bool cross;
  } cases[] = {
      {0, 8.0f, 5, 75, true},     // column 0 clamped to 5, on the target
      {3, 8.5f, 121, 145, true},  // exactly T + 2L: row 150 clamped, still a cross
      {4, 8.51f, 162, 145, false},
      {6, 7.4f, 243, 5, false},   // below T - 2L: clamped, no cross
      {7, 7.5f, 284, 5, true},    // exactly T - 2L
  };
  for (const Case& c : cases) {
    const qc::ChartDot p = qc::ThermalChartDot(c.index, 7, c.u, 8.0f, 0.25f);
    EXPECT_EQ(p.column, c.column) << c.u;
    EXPECT_EQ(p.row, c.row) << c.u;
    EXPECT_EQ(p.cross, c.cross) << c.u;
  }
  EXPECT_EQ(qc::ThermalChartDot(0, 1, 8.0f, 8.0f, 0.25f).column, 5);  // one run alone
}

TEST(LjThermalPrint, FootFirstTitleLastAndOnlyChartsWithALimit) {
  RecordingOutput out;
  PrinterSetOutput(&out);
  PrinterResetState();
  qc::PrintLjChartThermal(SevenRuns(), 1, sys::LocalTime{2026, 12, 10, 9, 30, 0});
  PrinterSetOutput(nullptr);
  const std::string b = Printed(out.bytes);
  EXPECT_EQ(b.rfind(Bytes({0x1B, 'U', 1}), 0), 0u);  // ESC U 1 first
  const size_t date = b.find("Print date: 12/10/2026");
  const size_t inspector = b.find("Inspector:");
  const size_t table = b.find("Item       Targets     Limits       CV(%)");
  const size_t lot = b.find("Lot: LOT-7            Validity: 2030-05-06");
  const size_t title = b.find("L-J QC Graph(QC 7)");
  const size_t unit = b.find("City Lab");
  ASSERT_NE(date, std::string::npos);
  ASSERT_NE(title, std::string::npos);
  EXPECT_LT(date, inspector);
  EXPECT_LT(inspector, table);
  EXPECT_LT(table, lot);
  EXPECT_LT(lot, title);
  EXPECT_LT(title, unit);
  // One chart (WBC); RBC has no limit, HGB and PLT neither: one dot page.
  size_t pages = 0;
  for (size_t at = b.find(Bytes({0x12, 'T'})); at != std::string::npos; at = b.find(Bytes({0x12, 'T'}), at + 1)) ++pages;
  EXPECT_EQ(pages, 1u);
  // The table keeps all four rows: RBC's with its target and no limit.
  EXPECT_NE(b.find("RBC        4.50       0.00       0.00"), std::string::npos);
  EXPECT_NE(b.find("Result:7.25   7.75   8.00   8.25   8.50"), std::string::npos);
  EXPECT_EQ(b.substr(b.size() - 3), Bytes({0x1B, 'U', 0}));
}

TEST(LjPagePrint, APdfWithTheTitleTableAndValueGrids) {
  const std::string dir = ::testing::TempDir() + "quorvex_lj_print_" + std::to_string(::getpid()) + "/";
  std::filesystem::remove_all(dir);
  ::setenv("QUORVEX_PRINT_DIR", dir.c_str(), 1);
  struct NoQueues : print::Spooler {
    std::vector<print::PrinterInfo> List() override { return {}; }
    bool SetDefault(const std::string&, std::string*) override { return false; }
    int Submit(const std::string&, const std::string&, const std::string&, const print::SubmitOptions&,
               std::string*) override {
      return 0;
    }
  } spooler;
  print::SetSpooler(&spooler);
  qc::LjChartData d = SevenRuns();
  ASSERT_TRUE(qc::PrintLjChartPage(d, 1, sys::LocalTime{2026, 12, 10, 9, 30, 0}));
  print::SetSpooler(nullptr);
  ::unsetenv("QUORVEX_PRINT_DIR");
  std::vector<std::filesystem::path> pdfs;
  for (const auto& e : std::filesystem::directory_iterator(dir)) pdfs.push_back(e.path());
  ASSERT_EQ(pdfs.size(), 1u);
  if (std::system("command -v pdftotext >/dev/null 2>&1") == 0) {
    const std::string cmd = "pdftotext -q '" + pdfs[0].string() + "' - 2>/dev/null";
    std::string text;
    FILE* p = ::popen(cmd.c_str(), "r");
    char buf[512];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) text.append(buf, n);
    ::pclose(p);
    for (const char* s : {"L-J QC Graph(QC 7)", "City Lab", "Lot: LOT-7", "Validity: 2030-05-06", "Average", "Inspector:",
                          "Print Date: 12/10/2026", "11-07", "8.5"})
      EXPECT_NE(text.find(s), std::string::npos) << s;
  }
  std::filesystem::remove_all(dir);
}

class LjPrintButton : public QcScreenTest {};

TEST_F(LjPrintButton, ARangePrintsItsOwnCopyWithTheButtonsOffWhileItRuns) {
  const sys::LocalTime now = sys::Clock::Now();
  const std::string old = qc::RangeDateText(qc::DaysBefore(now, 40));
  Sql("insert into LJQCSet(QcFileNo,BatchNo,ExpDate,WBCRV,WBCLV) values(4,'L4','2099-01-01',7.5,0.25)");
  Sql("insert into LJQCRunResult(QcFileNo,TestDate,TestTime,WBC) values(4,'" + old + "','08:00:00',7.0)");
  Sql("insert into LJQCRunResult(QcFileNo,TestDate,TestTime,WBC) values(4,'" + old + "','09:00:00',7.2)");
  Sql("insert into LJQCRunResult(QcFileNo,TestDate,TestTime,WBC) values(4,'" + Today() + "','08:00:00',7.6)");
  RecordingOutput out;
  bool printEnabledWhilePrinting = true, exitEnabledWhilePrinting = true;
  qc::LjQcChartFileNo = 4;
  qc::CLJQCGraph screen(nullptr);
  screen.SetPrintWait(true);
  struct Probe : ThermalOutput {
    std::function<void()> first;
    ThermalOutput* next;
    size_t Send(const uint8_t* data, size_t len, int ms, bool* timedOut) override {
      if (first) {
        first();
        first = nullptr;
      }
      return next->Send(data, len, ms, timedOut);
    }
  } probe;
  probe.next = &out;
  int screenRuns = 0;
  bool enabledAfter = false;
  std::vector<std::string> emptyRange;
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                          [&](ui::TestDriver& s) {
                            probe.first = [&] {
                              printEnabledWhilePrinting = s.Find(qc::IDC_LJG_PRINT)->IsWindowEnabled();
                              exitEnabledWhilePrinting = s.Find(ui::IDCANCEL)->IsWindowEnabled();
                            };
                            PrinterSetOutput(&probe);
                            s.Press(qc::IDC_LJG_PRINT);
                            s.Press(qc::IDC_PRINT_RANGE);
                            s.Press(ui::IDOK);
                            s.RunUntil([&] { return s.Find(qc::IDC_LJG_PRINT)->IsWindowEnabled(); }, 3000);
                            enabledAfter = s.Find(qc::IDC_LJG_PRINT)->IsWindowEnabled();
                            screenRuns = qc::LjQcChart.runCount;
                            s.Press(ui::IDCANCEL);
                          }));
  PrinterSetOutput(nullptr);
  EXPECT_FALSE(printEnabledWhilePrinting);
  EXPECT_FALSE(exitEnabledWhilePrinting);
  EXPECT_TRUE(enabledAfter);
  EXPECT_EQ(screen.lastPrinted().runCount, 1);  // the last 30 days hold today's run only
  EXPECT_EQ(screenRuns, 3);                     // the screen keeps all runs
  EXPECT_NE(Printed(out.bytes).find("Result:7.60"), std::string::npos);
  EXPECT_EQ(Printed(out.bytes).find("7.20"), std::string::npos);
}

TEST_F(LjPrintButton, AnEmptyRangePrintsNothingAndAReversedRangeIsRefused) {
  Sql("insert into LJQCRunResult(QcFileNo,TestDate,TestTime,WBC) values(5,'2001-01-01','08:00:00',7.0)");
  RecordingOutput out;
  PrinterSetOutput(&out);
  qc::LjQcChartFileNo = 5;
  qc::CLJQCGraph screen(nullptr);
  screen.SetPrintWait(true);
  std::vector<std::string> boxes;
  int screenRuns = 0;
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                          [&](ui::TestDriver& s) {
                            s.Press(qc::IDC_LJG_PRINT);
                            s.Press(qc::IDC_PRINT_RANGE);
                            s.Press(ui::IDOK);
                            boxes = DrainBoxes(s, 1000);
                            screenRuns = qc::LjQcChart.runCount;
                            s.Press(ui::IDCANCEL);
                          }));
  PrinterSetOutput(nullptr);
  EXPECT_EQ(boxes, (std::vector<std::string>{"No data, can not print!"}));
  EXPECT_EQ(screenRuns, 1);
  EXPECT_TRUE(out.bytes.empty());
  // The range check itself: only a range is checked, equal times pass, a later start is refused.
  const sys::LocalTime a{2026, 12, 10, 9, 0, 0}, b{2026, 12, 11, 8, 0, 0};
  EXPECT_TRUE(qc::PrintRangeAccepted(1, a, b));
  EXPECT_TRUE(qc::PrintRangeAccepted(1, a, a));
  EXPECT_FALSE(qc::PrintRangeAccepted(1, b, a));
  EXPECT_TRUE(qc::PrintRangeAccepted(0, b, a));
  EXPECT_EQ(qc::RangeDateText(qc::DaysBefore(sys::LocalTime{2026, 3, 1}, 30)), "2026-01-30");
}

}  // namespace
