// The X-B print-outs: the thermal one holds the chart screen on show, the page one every result;
// an empty range prints nothing and leaves the screen its results.
#include <gtest/gtest.h>

#include "core/value_format.h"
#include "printing/thermal_printer.h"
#include "qc/lj_print.h"
#include "qc/qc_print_style.h"
#include "qc/xb_qc_graph.h"
#include "qc_screen_fixture.h"
#include "recording_output.h"

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

qc::LjChartData Points(int n) {
  qc::LjChartData d;
  d.runCount = n;
  for (auto& v : d.values) v.assign(static_cast<size_t>(n), -2.0f);
  for (int i = 0; i < n; ++i) {
    d.values[0][static_cast<size_t>(i)] = static_cast<float>(i + 1);  // WBC 1..n
    d.shortDates.push_back(StrPrintf("04-%.2d", i % 28 + 1));
    d.runTimes.push_back(StrPrintf("2026-04-%.2d 08:00:00", i % 28 + 1));
  }
  d.targets[0] = 30.0f;
  d.sds[0] = 10.0f;
  d.unitName = "City Lab";
  return d;
}

TEST(XbThermalPrint, OnlyTheChartScreenOnShowInRowsOfFive) {
  RecordingOutput out;
  PrinterSetOutput(&out);
  PrinterResetState();
  qc::PrintXbChartThermal(Points(62), 3, 1, sys::LocalTime{2026, 12, 10, 9, 0, 0});  // results 51..62
  PrinterSetOutput(nullptr);
  const std::string b = Printed(out.bytes);
  EXPECT_NE(b.find("Page 3"), std::string::npos);
  // Twelve results: 58..62, then 53..57, then 51 and 52, newest rows first.
  const size_t r1 = b.find("Result:58     59     60     61     62");
  const size_t r2 = b.find("Result:53     54     55     56     57");
  const size_t r3 = b.find("Result:51     52");
  ASSERT_NE(r1, std::string::npos);
  ASSERT_NE(r2, std::string::npos);
  ASSERT_NE(r3, std::string::npos);
  EXPECT_LT(r1, r2);
  EXPECT_LT(r2, r3);
  EXPECT_EQ(b.find("Result:50"), std::string::npos);
  EXPECT_LT(b.find("Print Date: 12 / 10 / 2026"), b.find("X-B QC Graph"));
  EXPECT_LT(b.find("X-B QC Graph"), b.find("City Lab"));
  // Only WBC has a limit: one dot page.
  size_t pages = 0;
  for (size_t at = b.find(Bytes({0x12, 'T'})); at != std::string::npos; at = b.find(Bytes({0x12, 'T'}), at + 1)) ++pages;
  EXPECT_EQ(pages, 1u);
}

class XbPrintButton : public QcScreenTest {};

TEST_F(XbPrintButton, AnEmptyRangeKeepsTheScreensResultsAndAllResultsPrint) {
  Sql("insert into XBQCRunResult(TestDate,TestTime,WBC) values('2001-01-01','08:00:00',7)");
  Sql("delete from XBQCSet");
  std::string cols = "20,1,7,1";
  for (int i = 1; i < 20; ++i) cols += ",0,0";
  for (int i = 0; i < 20; ++i) cols += ",1";
  Sql("insert into XBQCSet values(" + cols + ")");
  RecordingOutput out;
  PrinterSetOutput(&out);
  qc::CXBQCGraph screen(nullptr);
  screen.SetPrintWait(true);
  std::vector<std::string> boxes;
  std::string pos;
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                          [&](ui::TestDriver& s) {
                            s.Press(qc::IDC_XBG_PRINT);
                            s.Press(qc::IDC_PRINT_RANGE);
                            s.Press(ui::IDOK);
                            boxes = DrainBoxes(s, 1000);
                            pos = s.Text(qc::IDC_XBG_POSITION);
                            s.Press(qc::IDC_XBG_PRINT);
                            s.Press(ui::IDOK);  // all records
                            s.RunUntil([&] { return s.Find(qc::IDC_XBG_PRINT)->IsWindowEnabled(); }, 3000);
                            s.Press(ui::IDCANCEL);
                          }));
  PrinterSetOutput(nullptr);
  EXPECT_EQ(boxes, (std::vector<std::string>{"No data, can not print!"}));
  EXPECT_EQ(pos, "1/1");
  EXPECT_EQ(screen.lastPrinted().runCount, 1);
  EXPECT_NE(Printed(out.bytes).find("Result:7"), std::string::npos);
}

}  // namespace
