// The thermal reports on the printer simulator's paper: the rows as the simulator reads them
// back, in the order the operator reads the strip, and a picture of each report to look at.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "core/app_settings.h"
#include "printing/histogram_print.h"
#include "printing/reports.h"
#include "recording_output.h"
#include "tests/support/program_folder.h"
#include "tools/printersim/paper.h"
#include "tools/printersim/printer.h"

namespace {

ReportSnapshot PaperSample() {
  ReportSnapshot s;
  s.sampleNo = "12";
  s.testDate = "2026-12-10";
  s.testTime = "09:08:07";
  s.name = "Ann Lee";
  s.sex = "Female";
  s.age = "34 years";
  for (int i = 0; i < 20; ++i) {
    s.valueTexts[i] = "1.5";
    s.unitTexts[i] = "fL";
    s.rangeTexts[i] = "1.0-2.0";
  }
  s.flagTexts[3] = "H";
  s.warning = "LF1 PF2 ";
  s.histograms.present = true;
  for (int i = 0; i < 256; ++i) {
    s.histograms.wbc[i] = static_cast<float>(80.0 * std::exp(-(i - 40) * (i - 40) / 120.0) + 60.0 * std::exp(-(i - 120) * (i - 120) / 500.0));
    s.histograms.rbc[i] = static_cast<float>(100.0 * std::exp(-(i - 80) * (i - 80) / 400.0));
  }
  for (int i = 0; i < 128; ++i) s.histograms.plt[i] = static_cast<float>(100.0 * std::exp(-(i - 20) * (i - 20) / 60.0));
  return s;
}

// The simulator's reading of a byte stream: the text rows and dot pages in the order the
// strip is read (the last sent on top), and the paper saved as png/<name>.png.
std::vector<std::string> ReadBack(const std::string& bytes, const std::string& name) {
  printersim::Paper paper;
  printersim::Printer printer(&paper);
  printer.EnableLog(true);
  printer.Feed(bytes);
  std::vector<std::string> rows;
  for (const std::string& l : printer.Log())
    if (l.rfind("TEXT ", 0) == 0 || l.rfind("DC2 T", 0) == 0) rows.push_back(l);
  std::reverse(rows.begin(), rows.end());
  std::filesystem::create_directories("png");
  EXPECT_TRUE(paper.SavePng("png/" + name + ".png", 1));
  return rows;
}

size_t Pages(const std::vector<std::string>& rows) {
  return static_cast<size_t>(std::count_if(rows.begin(), rows.end(), [](const std::string& r) { return r.rfind("DC2 T", 0) == 0; }));
}

std::string Trimmed(const std::string& row) {
  std::string t = row.substr(5);
  const size_t b = t.find_first_not_of(' ');
  return b == std::string::npos ? "" : t.substr(b);
}

class ReportPaper : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = AppSettings.LanguageIndex;
    SetHistogramLibraryPath(support::BuiltZentilPath());
  }
  void TearDown() override {
    AppSettings.LanguageIndex = saved_;
    SetHistogramLibraryPath("");
  }
  support::ScratchProgramFolder folder_{"report_paper"};
  uint8_t saved_ = 0;
};

TEST_F(ReportPaper, EachLanguageAndFormatReadsFromTheLaboratoryDown) {
  sys::LocalTime t;
  t.year = 2026;
  t.month = 3;
  t.day = 4;
  struct Case {
    int language, format;
    size_t pages;
    const char* title;  // the second row from the top
  } cases[] = {
      {0, 0, 3, ""}, {0, 1, 0, ""}, {0, 2, 3, ""}, {0, 3, 0, ""}, {0, 4, 3, ""}, {0, 5, 0, ""},
      {1, 0, 3, "Test Report"}, {1, 1, 0, "Test Report"}, {2, 0, 3, "Reporte de Prueba"},
      {3, 1, 0, "Rapports de tests"}, {4, 0, 3, ""},
  };
  for (const Case& c : cases) {
    AppSettings.LanguageIndex = static_cast<uint8_t>(c.language);
    ReportSettings st;
    st.language = c.language;
    st.printFormat = c.format;
    st.unitName = "City Hospital";
    RecordingOutput out;
    PrintSampleReportThermal(PaperSample(), st, t);
    const std::vector<std::string> rows =
        ReadBack(out.bytes, "thermal_report_" + std::to_string(c.language) + "_" + std::to_string(c.format));
    const std::string name = std::to_string(c.language) + "/" + std::to_string(c.format);
    ASSERT_GE(rows.size(), 3u) << name;
    EXPECT_EQ(Trimmed(rows[0]), "City Hospital") << name;
    if (*c.title) EXPECT_EQ(Trimmed(rows[1]), c.title) << name;
    EXPECT_EQ(Pages(rows), c.pages) << name;
    EXPECT_EQ(rows.back(), "TEXT  ") << name << ": the blank row ends the strip";
  }
}

TEST_F(ReportPaper, BrowserAndViewReportsOnPaper) {
  AppSettings.LanguageIndex = 1;
  sys::LocalTime t;
  t.year = 2026;
  t.month = 3;
  t.day = 4;
  ReportSettings st;
  st.language = 1;
  st.printFormat = 0;
  st.unitName = "City Hospital";
  ReportSnapshot b = PaperSample();
  b.sampleNo = "13";
  std::atomic<uint8_t> cancel{0};
  {
    RecordingOutput out;
    PrintHistoryThermal({PaperSample(), b}, st, t, cancel);
    const std::vector<std::string> rows = ReadBack(out.bytes, "thermal_history_1_0");
    EXPECT_EQ(Pages(rows), 6u);
    // Sample 13 was sent last: it is read first.
    const auto number = std::find_if(rows.begin(), rows.end(), [](const std::string& r) { return r.rfind("TEXT No.:", 0) == 0; });
    ASSERT_NE(number, rows.end());
    EXPECT_EQ(*number, "TEXT No.: 13");
  }
  {
    RecordingOutput out;
    PrintResultThermal(PaperSample(), st, t);
    const std::vector<std::string> rows = ReadBack(out.bytes, "thermal_result_1_0");
    EXPECT_EQ(Pages(rows), 3u);
    EXPECT_EQ(Trimmed(rows[0]), "City Hospital");
  }
}

}  // namespace
