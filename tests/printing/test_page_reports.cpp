// The page reports as PDFs: where each text stands, worked out from the layout rules with the
// body font's own measures (H its character height, a its average character width, W and P the
// printable page in report units).
#include <gtest/gtest.h>

#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "core/app_settings.h"
#include "pdf_words.h"
#include "platform/print/printers.h"
#include "printing/histogram_print.h"
#include "printing/r_print_helper.h"
#include "printing/reports.h"
#include "tests/support/program_folder.h"

namespace {

// A printing system with the queues a test wants; jobs are only counted.
class QueueList : public print::Spooler {
 public:
  std::vector<print::PrinterInfo> queues;
  std::vector<std::string> submitted;
  std::vector<print::PrinterInfo> List() override { return queues; }
  bool SetDefault(const std::string& name, std::string*) override {
    for (auto& q : queues) q.isDefault = q.name == name;
    return true;
  }
  int Submit(const std::string& printer, const std::string&, const std::string&, const print::SubmitOptions&,
             std::string*) override {
    submitted.push_back(printer);
    return 1;
  }
};

sys::LocalTime PrintTime() {
  sys::LocalTime t;
  t.year = 2026;
  t.month = 3;
  t.day = 4;
  return t;
}

ReportSnapshot Sample() {
  ReportSnapshot s;
  s.sampleNo = "12";
  s.testDate = "2026-12-10";
  s.testTime = "09:08:07";
  s.name = "Ann Lee";
  s.sex = "Female";
  s.age = "34";
  s.bloodTypeText = "Whole";
  s.referenceText = "General";
  s.medicalNo = "M1";
  s.bedNo = "B2";
  s.dept = "Lab";
  s.sender = "DrX";
  s.scrutator = "Op";
  s.checker = "Ver";
  for (int i = 0; i < 20; ++i) {
    s.valueTexts[i] = std::to_string(100 + i);
    s.unitTexts[i] = "fL";
    s.rangeTexts[i] = "1.0-2.0";
  }
  s.flagTexts[7] = "H";
  return s;
}

ReportSettings Settings(int language, int format, std::initializer_list<int> items) {
  ReportSettings st;
  st.language = language;
  st.printFormat = format;
  st.unitName = " City Hospital ";
  for (uint8_t& f : st.printItems) f = 0;
  for (int i : items) st.printItems[i] = 1;
  return st;
}

class PageReports : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = ::testing::TempDir() + "quorvex_page_reports_" + std::to_string(::getpid()) + "/";
    ::setenv("QUORVEX_PRINT_DIR", dir_.c_str(), 1);
    print::SetSpooler(&queues_);
    saved_ = AppSettings.LanguageIndex;
  }
  void TearDown() override {
    print::SetSpooler(nullptr);
    ::unsetenv("QUORVEX_PRINT_DIR");
    std::filesystem::remove_all(dir_);
    AppSettings.LanguageIndex = saved_;
  }
  // The measures of the body font of `points` on the page printer.
  struct Measures {
    int H = 0, a = 0, W = 0, P = 0;
  };
  static Measures Measure(int points, const std::string& face) {
    RPrintHelper helper{print::DeviceMode()};
    draw::DC* dc = helper.GetDC();
    dc->SelectFont(helper.CreatePrintFont(points, face, 700));
    const draw::TextMetrics tm = dc->GetTextMetrics();
    return {tm.height, tm.aveCharWidth, helper.GetPageWidth(), helper.GetPageHeight()};
  }
  static std::vector<PdfWord> Page(const PageReportOutcome& o, size_t page = 0) {
    const auto pages = PdfWords(o.pdf);
    return page < pages.size() ? pages[page] : std::vector<PdfWord>();
  }
  // The word stands at (x, y) report units, within a quarter point.
  static void ExpectAt(const std::vector<PdfWord>& page, const std::string& word, double x, double y, int occurrence = 0) {
    const PdfWord* w = FindWord(page, word, occurrence);
    ASSERT_NE(w, nullptr) << word;
    EXPECT_NEAR(w->xMin, UnitsToPoints(x), 0.25) << word;
    EXPECT_NEAR(w->yMin, UnitsToPoints(y), 0.25) << word;
  }
  QueueList queues_;
  std::string dir_;
  uint8_t saved_ = 0;
};

TEST_F(PageReports, FullPageSampleReportInEnglish) {
  const Measures m = Measure(9, "Arial");  // 10 points, one less outside Chinese
  const int W = m.W, a = m.a, H = m.H;
  const PageReportOutcome o = PrintSampleReportPage(Sample(), Settings(1, 1, {0, 7}), PrintTime());
  ASSERT_TRUE(o.printed);
  EXPECT_EQ(o.job.pages, 1);
  const auto page = Page(o);
  // Rows: first row 1 (no page header offset); laboratory name, +0.5 +1.0 title, +1.5 first patient row.
  ExpectAt(page, "Name:Ann", W / 30, 4.0 * H);
  ExpectAt(page, "Sex:", W / 3 + 16 * a, 4.0 * H);
  ExpectAt(page, "No.:", 2 * W / 3 + 5 * a, 4.0 * H);
  ExpectAt(page, "Type:", W / 30, static_cast<int>(5.2 * H));
  ExpectAt(page, "Reference:", W / 30, static_cast<int>(6.4 * H));
  // Rule 1 at 7.9, the header 0.3 below it, rule 2 1.2 further, the items 1.0 below that.
  ExpectAt(page, "Item", W / 15, static_cast<int>(8.2 * H));
  ExpectAt(page, "Result", W / 4 + 10 * a, static_cast<int>(8.2 * H));
  ExpectAt(page, "Reference", W / 2 + 10 * a, static_cast<int>(8.2 * H));
  ExpectAt(page, "Note", 3 * W / 4 + 5 * a, static_cast<int>(8.2 * H));
  // Two items share the 30 rows: 15 each.
  ExpectAt(page, "WBC", W / 15, static_cast<int>(10.4 * H));
  ExpectAt(page, "100", W / 4 + 10 * a, static_cast<int>(10.4 * H));
  ExpectAt(page, "RBC", W / 15, static_cast<int>(25.4 * H));
  ExpectAt(page, "H", 3 * W / 4 + 5 * a, static_cast<int>(25.4 * H));
  EXPECT_EQ(FindWord(page, "LYM#"), nullptr);
  // After the band: +2, rule 3, +0.5 footer, +1.5 dates.
  ExpectAt(page, "Applicant:", W / 15, static_cast<int>(42.9 * H));
  ExpectAt(page, "Inspector:", W / 2 - 10 * a, static_cast<int>(42.9 * H));
  ExpectAt(page, "Test", W / 15, static_cast<int>(44.4 * H), 1);  // the title's "Test" comes first
  ExpectAt(page, "Print", 3 * W / 4 - 5 * a, static_cast<int>(44.4 * H));
  ASSERT_NE(FindWord(page, "03/04/2026"), nullptr);
  EXPECT_EQ(FindWord(page, "注：本报告仅对所测样本负责"), nullptr);
}

TEST_F(PageReports, ChineseSampleReportPrintsThePrintDate) {
  AppSettings.LanguageIndex = 0;
  const PageReportOutcome o = PrintSampleReportPage(Sample(), Settings(0, 1, {0}), PrintTime());
  ASSERT_TRUE(o.printed);
  EXPECT_TRUE(SavePagePng(o.pdf, "page_report_0_1"));
  const auto page = Page(o);
  const PdfWord* label = FindWord(page, "打印日期:");
  ASSERT_NE(label, nullptr);
  // The word after the label on its line is the day of printing, not the day of the test.
  const PdfWord* date = nullptr;
  for (const PdfWord& w : page)
    if (std::abs(w.yMin - label->yMin) < 1.0 && w.xMin > label->xMax) date = &w;
  ASSERT_NE(date, nullptr);
  EXPECT_EQ(date->text, "2026-03-04");
  EXPECT_NE(FindWord(page, "注：本报告仅对所测样本负责"), nullptr);
}

TEST_F(PageReports, HalfPageItemsStart287UnitsBelowTheSecondRule) {
  const Measures m = Measure(9, "Arial");
  const int W = m.W, a = m.a, H = m.H;
  const int R = static_cast<int>(H * 0.8);
  for (int format : {2, 3}) {
    const PageReportOutcome o = PrintSampleReportPage(Sample(), Settings(1, format, {0, 15, 19}), PrintTime());
    ASSERT_TRUE(o.printed);
    const auto page = Page(o);
    // Rows: start 0.5; title 2.0; patient rows 3.5, 4.7, 5.9; rule 1 at 7.1 (1.2 in the half
    // page); header 7.4; rule 2 at 8.6.
    const int y2 = static_cast<int>(8.6 * H);
    const double first = static_cast<double>(y2 + 287) / R;
    const int resultX = format == 2 ? W / 5 + 8 * a : W / 4 + 10 * a;
    ExpectAt(page, "Item", W / 15, static_cast<int>(7.4 * H));
    ExpectAt(page, "WBC", W / 15, static_cast<int>(first * R));
    ExpectAt(page, "100", resultX, static_cast<int>(first * R));
    ExpectAt(page, "PLT", W / 15, static_cast<int>((first + 10) * R));
    ExpectAt(page, "P-LCR", W / 15, static_cast<int>((first + 20) * R));
    // The third rule right after the band, the footer half an item pitch below it.
    ExpectAt(page, "Applicant:", W / 15, static_cast<int>((first + 30 + 0.5) * R));
  }
}

TEST_F(PageReports, PageHeaderLengthMovesThePageByWholeRows) {
  const Measures m = Measure(9, "Arial");
  struct Case {
    int length;
    int rows;
  } cases[] = {{20, 0}, {21, 6 * m.P / 279 / m.H}, {70, 55 * m.P / 279 / m.H}};
  for (const Case& c : cases) {
    ReportSettings st = Settings(1, 1, {0});
    st.pageHeaderLength = c.length;
    const PageReportOutcome o = PrintSampleReportPage(Sample(), st, PrintTime());
    ExpectAt(Page(o), "Name:Ann", m.W / 30, (4.0 + c.rows) * m.H);
  }
}

TEST_F(PageReports, LongNamesGoOnTwoHalfRowsOutsideChinese) {
  const Measures m = Measure(9, "Arial");
  ReportSnapshot s = Sample();
  s.name = "Bartholomew Featherstonehaugh-Smythe III";  // with "Name:" 45 characters
  const PageReportOutcome o = PrintSampleReportPage(s, Settings(1, 1, {0}), PrintTime());
  const auto page = Page(o);
  // The first 35 characters ("Name:Bartholomew Featherstonehaugh-") 0.35 rows up, the rest 0.4 down.
  const PdfWord* head = FindWord(page, "Name:Bartholomew");
  const PdfWord* tail = FindWord(page, "Smythe");
  ASSERT_NE(head, nullptr);
  ASSERT_NE(tail, nullptr);
  EXPECT_NEAR(head->xMin, UnitsToPoints(m.W / 30), 0.25);
  EXPECT_NEAR(tail->xMin, UnitsToPoints(m.W / 30), 0.25);
  EXPECT_NEAR(tail->yMin - head->yMin, 0.75 * m.H / 100.0, 0.6);
  const PdfWord* body = FindWord(page, "Sex:");
  ASSERT_NE(body, nullptr);
  EXPECT_LT(head->yMax - head->yMin, 0.95 * (body->yMax - body->yMin)) << "drawn in the smaller font";
}

TEST_F(PageReports, DotMatrixPaperIsTheJobsOwn) {
  const std::string longName(120, 'Q');
  struct Case {
    std::string printer;
    int format;
    int paperSize, length;
  } cases[] = {
      {"epson lx-300+", 1, print::kPaperUser, 2790},
      {"EPSON LQ-300+II ESC/P2", 3, print::kPaperUser, 1395},
      {"Jolimark LQ-300KII", 0, print::kPaperUser, 2790},
      {"Office Laser", 1, print::kPaperA4, 0},
      {longName, 1, print::kPaperA4, 0},  // a name longer than any buffer still prints
  };
  const print::DeviceMode before = print::ApplicationDeviceMode();
  for (const Case& c : cases) {
    queues_.queues = {{c.printer, "", "", true, false}};
    queues_.submitted.clear();
    const PageReportOutcome o = PrintSampleReportPage(Sample(), Settings(1, c.format, {0}), PrintTime());
    EXPECT_TRUE(o.printed) << c.printer;
    EXPECT_EQ(o.mode.paperSize, c.paperSize) << c.printer;
    if (c.length) {
      EXPECT_EQ(o.mode.paperWidth, 2100) << c.printer;
      EXPECT_EQ(o.mode.paperLength, c.length) << c.printer;
    }
    EXPECT_EQ(queues_.submitted, std::vector<std::string>{c.printer});
    // The application's settings are untouched: the next job starts from the same paper.
    EXPECT_EQ(print::ApplicationDeviceMode().paperSize, before.paperSize);
    EXPECT_EQ(print::ApplicationDeviceMode().paperLength, before.paperLength);
  }
}

TEST_F(PageReports, HistoryPagesOnePerSampleUntilCancelled) {
  const Measures m = Measure(9, "Arial");
  ReportSnapshot a = Sample(), b = Sample();
  b.sampleNo = "13";
  b.valueTexts[0] = "777";
  std::atomic<uint8_t> cancel{0};
  PageReportOutcome o = PrintHistoryPage({a, b}, Settings(1, 1, {0}), PrintTime(), cancel);
  ASSERT_TRUE(o.printed);
  EXPECT_EQ(o.job.pages, 2);
  const auto pages = PdfWords(o.pdf);
  ASSERT_EQ(pages.size(), 2u);
  // The browser's full page: start row 2, title +1.0, patient rows +2.0 then 1.5 apart.
  ExpectAt(pages[0], "Name:", m.W / 30, 5.5 * m.H);
  ExpectAt(pages[1], "13", 2 * m.W / 3 + 5 * m.a + (FindWord(pages[1], "13")->xMin - FindWord(pages[1], "No.:")->xMin) * 100, 5.5 * m.H);
  // Rows 1.5 apart down to rule 1 at 10.0; the header +0.4, rule 2 +1.2, the items +0.4.
  ExpectAt(pages[1], "777", m.W / 4 + 10 * m.a, static_cast<int>(12.0 * m.H));
  EXPECT_NE(FindWord(pages[0], "03/04/2026"), nullptr);  // "Print date: %.2d/%.2d/%4d"

  cancel = 1;
  o = PrintHistoryPage({a, b}, Settings(1, 1, {0}), PrintTime(), cancel);
  EXPECT_TRUE(o.cancelled);
  EXPECT_EQ(o.reports, 0);
}

TEST_F(PageReports, ResultViewAndBrowserTextsDifferWhereTheirReportsDo) {
  AppSettings.LanguageIndex = 3;
  std::atomic<uint8_t> cancel{0};
  const auto history = Page(PrintHistoryPage({Sample()}, Settings(3, 3, {0}), PrintTime(), cancel));
  const auto result = Page(PrintResultPage(Sample(), Settings(3, 3, {0}), PrintTime()));
  EXPECT_NE(FindWord(history, "No:"), nullptr);
  EXPECT_NE(FindWord(result, "No.:"), nullptr);
  EXPECT_NE(FindWord(history, "impression:03/04/2026"), nullptr);
  EXPECT_NE(FindWord(result, "impression:03/04/2026"), nullptr);
  const auto fullHistory = Page(PrintHistoryPage({Sample()}, Settings(3, 1, {0}), PrintTime(), cancel));
  EXPECT_NE(FindWord(fullHistory, "impression:", 0), nullptr);
  EXPECT_NE(FindWord(fullHistory, "3/04/2026"), nullptr) << "\"%2d\" month on the browser's full page";
}

TEST_F(PageReports, HistogramsBelowTheFullTableAndBesideTheNarrowOne) {
  support::ScratchProgramFolder folder("page_histograms");
  SetHistogramLibraryPath(support::BuiltZentilPath());
  const Measures m = Measure(9, "Arial");
  const int W = m.W, a = m.a, H = m.H;
  ReportSnapshot s = Sample();
  s.histograms.present = true;
  for (int i = 0; i < 128; ++i) s.histograms.wbc[i] = s.histograms.rbc[i] = s.histograms.plt[i] = static_cast<float>(i % 30);
  s.warning = "LF1 ";
  {
    // Format 0: one item over the 30 rows from 10.4, then +2: the band starts at row 42.4, its
    // labels one row above it, the flags six rows below it.
    const PageReportOutcome o = PrintSampleReportPage(s, Settings(1, 0, {0}), PrintTime());
    EXPECT_TRUE(SavePagePng(o.pdf, "page_report_1_0"));
    const auto page = Page(o);
    ExpectAt(page, "WBC", W / 15, static_cast<int>(41.4 * H), 1);
    ExpectAt(page, "RBC", W / 15 + W / 4 + W / 16, static_cast<int>(41.4 * H));
    ExpectAt(page, "PLT", W / 15 + W / 2 + W / 8, static_cast<int>(41.4 * H));
    ExpectAt(page, "Flags:", W / 15, static_cast<int>(48.4 * H));
    // The band takes 6 rows and 2 more before the third rule; the footer 0.5 below it.
    ExpectAt(page, "Applicant:", W / 15, static_cast<int>(50.9 * H));
  }
  {
    // Format 2: stacked on the right from one row below the second rule (8.6) + 0.2.
    const PageReportOutcome o = PrintSampleReportPage(s, Settings(1, 2, {0}), PrintTime());
    EXPECT_TRUE(SavePagePng(o.pdf, "page_report_1_2"));
    const auto page = Page(o);
    const int x = 3 * W / 5 + 6 * a;
    ExpectAt(page, "WBC", x, static_cast<int>(9.8 * H), 1);  // the item row's "WBC" comes first
    ExpectAt(page, "RBC", x, static_cast<int>(16.8 * H));
    ExpectAt(page, "PLT", x, static_cast<int>(23.8 * H));
    ExpectAt(page, "Flags:", x, static_cast<int>(30.8 * H));
  }
  {
    // Format 1 and 3 draw none.
    const auto page = Page(PrintSampleReportPage(s, Settings(1, 3, {0}), PrintTime()));
    EXPECT_EQ(FindWord(page, "Flags:"), nullptr);
  }
  SetHistogramLibraryPath("");
}

}  // namespace

// The page report of a result that was not computed carries the line that says so between the
// title and the patient rows, which move down by 1.2 rows; every other report stays as it was.
TEST_F(PageReports, UncomputedResultSaysSoUnderTheTitle) {
  const Measures m = Measure(9, "Arial");
  const int W = m.W, H = m.H;
  ReportSnapshot s = Sample();
  for (std::string& v : s.valueTexts) v = "- - -";
  s.notComputed = true;
  const PageReportOutcome sample = PrintSampleReportPage(s, Settings(1, 1, {0, 7}), PrintTime());
  ASSERT_TRUE(sample.printed);
  auto page = Page(sample);
  const PdfWord* line = FindWord(page, "computed:");
  ASSERT_NE(line, nullptr);
  EXPECT_NEAR(line->yMin, UnitsToPoints(4.0 * H), 0.25);
  ASSERT_NE(FindWord(page, "missing"), nullptr);
  ExpectAt(page, "Name:Ann", W / 30, static_cast<int>(5.2 * H));

  std::atomic<uint8_t> go{0};
  const PageReportOutcome history = PrintHistoryPage({s}, Settings(1, 1, {0, 7}), PrintTime(), go);
  ASSERT_TRUE(history.printed);
  EXPECT_NE(FindWord(Page(history), "computed:"), nullptr);
  const PageReportOutcome result = PrintResultPage(s, Settings(1, 2, {0, 7}), PrintTime());
  ASSERT_TRUE(result.printed);
  EXPECT_NE(FindWord(Page(result), "computed:"), nullptr);
  s.notComputed = false;
  const PageReportOutcome computed = PrintResultPage(s, Settings(1, 2, {0, 7}), PrintTime());
  EXPECT_EQ(FindWord(Page(computed), "computed:"), nullptr);
}
