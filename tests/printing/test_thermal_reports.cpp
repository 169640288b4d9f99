// The thermal sample reports: the rows each report sends, last row first, played against the
// same rows and commands written out by hand.
#include <gtest/gtest.h>

#include <atomic>
#include <string>

#include "core/app_settings.h"
#include "printing/histogram_print.h"
#include "printing/reports.h"
#include "printing/thermal_printer.h"
#include "recording_output.h"
#include "tests/support/program_folder.h"
#include "thermal_script.h"

namespace {

std::string Blanks(int n) { return std::string(static_cast<size_t>(n), ' '); }

sys::LocalTime PrintTime() {
  sys::LocalTime t;
  t.year = 2026;
  t.month = 3;
  t.day = 4;
  return t;
}

ReportSnapshot EnglishSample() {
  ReportSnapshot s;
  s.sampleNo = "12";
  s.testDate = "2026-12-10";
  s.testTime = "09:08:07";
  s.name = "Ann O'Lee";
  s.sex = "Female";
  s.age = "34 years";
  s.bloodTypeText = "Whole blood";
  s.referenceText = "General";
  s.medicalNo = "M1";
  s.bedNo = "B2";
  s.dept = "Lab";
  s.sender = "Dr X";
  s.scrutator = "Op";
  s.checker = "Ver";
  s.valueTexts[0] = "7.5";
  s.unitTexts[0] = "10^9/L";
  s.rangeTexts[0] = "4.0-10.0";
  s.valueTexts[7] = "4.50";
  s.unitTexts[7] = "10^12/L";
  s.rangeTexts[7] = "3.50-5.50";
  s.flagTexts[7] = "L";
  return s;
}

ReportSettings Settings(int language, int format, const std::string& unitName) {
  ReportSettings st;
  st.language = language;
  st.printFormat = format;
  st.unitName = unitName;
  for (uint8_t& f : st.printItems) f = 0;
  st.printItems[0] = 1;
  st.printItems[7] = 1;
  return st;
}

class ThermalReports : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = AppSettings.LanguageIndex;
    SetHistogramLibraryPath(support::BuiltZentilPath());
  }
  void TearDown() override {
    AppSettings.LanguageIndex = saved_;
    SetHistogramLibraryPath("");
  }
  // The bytes one report sends.
  template <class F>
  std::string Run(F report) {
    RecordingOutput out;
    report();
    return out.bytes;
  }
  // Names the first operation of `want` whose bytes do not follow in `got` (for messages).
  static std::string FirstMismatch(const std::string& got, const ThermalScript& want) {
    size_t at = 0;
    for (size_t i = 0; i < want.ops.size(); ++i) {
      ThermalScript one;
      one.ops.push_back(want.ops[i]);
      const std::string b = one.Play();
      if (got.compare(at, b.size(), b) != 0) return "operation " + std::to_string(i) + " differs";
      at += b.size();
    }
    return at == got.size() ? "same" : "more bytes after the script";
  }
  static bool Contains(const std::string& bytes, const ThermalScript& part) {
    return bytes.find(part.Play()) != std::string::npos;
  }
  support::ScratchProgramFolder folder_{"thermal_reports"};
  uint8_t saved_ = 0;
};

TEST_F(ThermalReports, EnglishSampleReportRowByRow) {
  AppSettings.LanguageIndex = 1;
  const ReportSnapshot s = EnglishSample();
  const std::string got =
      Run([&] { PrintSampleReportThermal(s, Settings(1, 1, "  City Hospital "), PrintTime()); });
  ThermalScript want;
  want.EscU(1).Spacing(0).Text(" ");
  want.Text("Print Date:  3/04/2026");
  // Items from the last selected up; name 8 bytes, value with unit 17 and range 14 characters.
  want.Text("RBC     4.50 10^12/L     3.50-5.50     L");
  want.Text("WBC     7.5 10^9/L       4.0-10.0      ");
  want.Separator().Text("Item    Result           Reference    Note").Feed(10).Separator();
  want.Text("Test Time: 2026-12-10 09:08:07");
  want.Text("Inspector: Op" + Blanks(10) + "Verifier: Ver");
  want.Text("Dept.: Lab" + Blanks(9) + "    Applicant: Dr X");
  want.Text("Medical No.: M1" + Blanks(8) + "Bed No.: B2");  // 10 bytes outside Chinese
  want.Text("Reference: General");
  want.Text("Type: Whole blood ");
  want.Text("Sex: Female" + Blanks(6) + "      Age: 34 years");
  want.Text("Name: Ann O\u2018Lee");  // the apostrophe printed as a left quotation mark
  want.Text("No.: 12" + Blanks(10) + "     ");
  want.Feed(10).Text("               Test Report");
  // 13 bytes: 1 + (46 - 13) / 2 = 17 blanks on each side.
  want.Text(Blanks(17) + "City Hospital" + Blanks(17));
  want.Feed(125).EscU(0);
  EXPECT_EQ(got, want.Play());
}

TEST_F(ThermalReports, ChineseCombinedNamesTwoRowsAndStarredNumber) {
  AppSettings.LanguageIndex = 0;
  ReportSnapshot s = EnglishSample();
  s.name = "王小明";
  s.sex = "女";
  s.age = "34 岁";
  s.bloodTypeText = "抗凝全血";
  s.referenceText = "通用";
  s.dept = "检验科";
  s.sender = "张";
  s.countMismatch = true;
  s.flagTexts[0] = "H";
  ReportSettings st = Settings(0, 5, "市医院");
  st.printItems[7] = 0;
  const std::string got = Run([&] { PrintSampleReportThermal(s, st, PrintTime()); });
  ThermalScript want;
  want.EscU(1).Spacing(0).Text(" ");
  want.Text("注: 本报告仅对所测样本负责").Text("打印日期: 2026-03-04");
  // Combined name padded to 24 bytes ("WBC白细胞" is 9), no value width, range to 24.
  want.Text("4.0-10.0" + Blanks(16) + "H");
  want.Text("WBC白细胞" + Blanks(15) + "7.5 10^9/L");
  want.Separator().Text("参考范围                提示").Text("检测参数                检测结果").Feed(10).Separator();
  want.Text("检测时间: 2026-12-10 09:08:07");
  want.Text("检测者: Op" + Blanks(10) + "    审核者: Ver");
  want.Text("科室: 检验科" + Blanks(6) + "      送检者: 张");
  want.Text("病历号: M1" + Blanks(10) + "    床号: B2");
  want.Text("样本: 抗凝全血" + Blanks(4) + "      参考值: 通用");
  want.Text("性别: 女" + Blanks(10) + "      年龄: 34 岁");
  want.Text("编号: *12" + Blanks(10) + "     姓名: 王小明");
  want.Feed(10).Text("                    检验报告单");
  want.Text(Blanks(21) + "市医院" + Blanks(21));  // 6 bytes: 1 + 20 blanks
  want.Feed(125).EscU(0);
  EXPECT_EQ(got, want.Play()) << FirstMismatch(got, want);
}

TEST_F(ThermalReports, RowVariantsByLanguageAndFormat) {
  AppSettings.LanguageIndex = 1;
  struct Case {
    const char* name;
    int language, format;
    ThermalScript part;  // rows that must go out together, in this order
  };
  ReportSnapshot s = EnglishSample();
  s.name = std::string(54, 'n');  // "Name: " + 54 = 60 characters
  const Case cases[] = {
      {"Chinese names are padded to 17 bytes; the one-row header goes without its CR", 0, 1,
       ThermalScript()
           .Text("红细胞" + Blanks(11) + "4.50 10^12/L  3.50-5.50     L")
           .Text("白细胞" + Blanks(11) + "7.5 10^9/L    4.0-10.0      ")
           .Separator()
           .Text("参数              检测结果    参考范围     提示", 4, 1, 0)},
      {"Chinese with English names", 0, 3,
       ThermalScript().Separator().Text("参数    检测结果          参考范围    提示", 4, 1, 0)},
      {"a long name row goes as its rest, then its first 45 characters", 1, 1,
       ThermalScript()
           .Text(std::string(15, 'n'))
           .Text("Name: " + std::string(39, 'n'))
           .Text("No.: 12" + Blanks(10) + "     ")},
      {"Ukrainian pairs are two rows, the lower sent first", 4, 1,
       ThermalScript()
           .Text("Норми          Замітки")
           .Text("параметр    Результат")
           .Feed(10)
           .Separator()
           .Text("Час аналізу:2026-12-10 09:08:07")
           .Text("Контролер: Ver")
           .Text("Інспектор: Op")
           .Text("Лікар: Dr X")
           .Text("Відділ: Lab")
           .Text("Номер палати: B2")
           .Text("Медичний №: M1")
           .Text("Норми: General")
           .Text("Тип зразку: Whole blood")
           .Text("Вік: 34 years")
           .Text("Стать: Female")},
      {"Spanish", 2, 1,
       ThermalScript().Text("Imp fecha:  3/04/2026").Text("RBC     4.50 10^12/L     3.50-5.50     L")},
      {"French", 3, 1, ThermalScript().Text("Date impression:03/04/2026")},
      {"French header", 3, 1, ThermalScript().Separator().Text("Element    Resultat     Referencia    Note")},
      {"Ukrainian title", 4, 1, ThermalScript().Feed(10).Text("          Звіт тесту")},
  };
  for (const Case& c : cases) {
    const std::string got = Run([&] { PrintSampleReportThermal(s, Settings(c.language, c.format, ""), PrintTime()); });
    EXPECT_TRUE(Contains(got, c.part)) << c.name;
  }
}

TEST_F(ThermalReports, NoSelectedItemLeavesOnlyTheHeaderBetweenDateAndIdentity) {
  AppSettings.LanguageIndex = 1;
  ReportSettings st = Settings(1, 3, "");
  for (uint8_t& f : st.printItems) f = 0;
  const std::string got = Run([&] { PrintSampleReportThermal(EnglishSample(), st, PrintTime()); });
  EXPECT_TRUE(Contains(got, ThermalScript()
                                .Text("Print Date:  3/04/2026")
                                .Separator()
                                .Text("Item    Result           Reference    Note")));
  // An empty laboratory name is 48 blanks, which the driver keeps and cuts into rows.
  EXPECT_TRUE(Contains(got, ThermalScript().Text("               Test Report").Text(Blanks(48)).Feed(125)));
}

TEST_F(ThermalReports, HistogramsStandBetweenItemsAndPrintDateOnlyForTheirFormats) {
  AppSettings.LanguageIndex = 1;
  ReportSnapshot s = EnglishSample();
  s.histograms.present = true;
  for (int i = 0; i < 256; ++i) s.histograms.wbc[i] = s.histograms.rbc[i] = static_cast<float>(i % 40);
  for (int i = 0; i < 128; ++i) s.histograms.plt[i] = static_cast<float>(i % 20);
  s.histograms.markers[0] = 107;
  s.histograms.markers[1] = 147;
  s.warning = "LF1 ";
  const ThermalScript histograms = ThermalScript().Then([&] {
    PrintHistogramsThermal(s.histograms.wbc, s.histograms.rbc, s.histograms.plt, "LF1 ", 0, 107, 147, 0, 0, 1);
  });
  for (int format : {0, 1, 2, 3, 4, 5}) {
    const bool with = format == 0 || format == 2 || format == 4;
    const std::string got = Run([&] { PrintSampleReportThermal(s, Settings(1, format, ""), PrintTime()); });
    const ThermalScript around = ThermalScript()
                                     .Text("Print Date:  3/04/2026")
                                     .Append(with ? histograms : ThermalScript())
                                     .Text("RBC     4.50 10^12/L     3.50-5.50     L");
    EXPECT_TRUE(Contains(got, around)) << "format " << format;
  }
  // A sample without raw data prints none, whatever the format.
  s.histograms.present = false;
  const std::string got = Run([&] { PrintSampleReportThermal(s, Settings(1, 0, ""), PrintTime()); });
  EXPECT_TRUE(Contains(got, ThermalScript()
                                .Text("Print Date:  3/04/2026")
                                .Text("RBC     4.50 10^12/L     3.50-5.50     L")));
}

TEST_F(ThermalReports, ResultViewCountsCharactersAndEndsEveryRow) {
  AppSettings.LanguageIndex = 0;
  ReportSnapshot s = EnglishSample();
  const std::string zh = Run([&] { PrintResultThermal(s, Settings(0, 1, "市医院"), PrintTime()); });
  // Widths in characters: "白细胞" takes 3 of its 17.
  EXPECT_TRUE(Contains(zh, ThermalScript()
                               .Text("白细胞" + Blanks(14) + "7.5 10^9/L    4.0-10.0      ")
                               .Separator()
                               .Text("参数              检测结果    参考范围     提示", 4, 1, 1)));
  // Leading blanks only: (46 - 3) / 2.
  EXPECT_TRUE(Contains(zh, ThermalScript().Text("                    检验报告单").Text(Blanks(21) + "市医院").Feed(125).EscU(0)));

  AppSettings.LanguageIndex = 3;
  const std::string fr = Run([&] { PrintResultThermal(s, Settings(3, 1, ""), PrintTime()); });
  EXPECT_TRUE(Contains(fr, ThermalScript().Text("Date impression:  3/04/2026")));
  EXPECT_TRUE(Contains(fr, ThermalScript().Text("Medical No: M1" + Blanks(10) + "No de Lit: B2")));
  EXPECT_TRUE(Contains(fr, ThermalScript().Text("Temps de test: 2026-12-10 09:08:07")));
  EXPECT_TRUE(Contains(fr, ThermalScript().Feed(10).Text("            Rapports de tests")));
}

// A recorder that raises the cancel flag once a given number of writes has gone out.
class CancellingOutput : public RecordingOutput {
 public:
  std::atomic<uint8_t>* flag = nullptr;
  size_t cancelAfter = 0;
  size_t Send(const uint8_t* data, size_t len, int timeoutMs, bool* timedOut) override {
    const size_t n = RecordingOutput::Send(data, len, timeoutMs, timedOut);
    if (flag && writes.size() == cancelAfter) flag->store(1);
    return n;
  }
};

size_t WritesOf(const ThermalScript& script) {
  RecordingOutput out;
  for (const auto& op : script.ops) op();
  return out.writes.size();
}

// One English history report as the browser prints it, footer first.
ThermalScript HistoryReport(const std::string& number, const std::string& value) {
  ThermalScript r;
  r.Text("Print Date:  3/04/2026");
  r.Text("WBC     " + value + " 10^9/L" + Blanks(17 - 7 - static_cast<int>(value.size())) + "4.0-10.0      ", 2);
  r.Separator().Text("Item    Result           Reference    Note");
  r.Feed(10).Separator();
  r.Text("Test Time: 2026-12-10 09:08:07");
  r.Text("Inspector: Op" + Blanks(10) + "Verifier: Ver");
  r.Text("Dept.: Lab" + Blanks(9) + "    Applicant: Dr X");
  r.Text("Medical No.: M1" + Blanks(8) + "Bed No.: B2");
  r.Text("Reference: General").Text("Type: Whole blood");
  r.Text("Sex: Female" + Blanks(6) + "      Age: 34 years");
  r.Text("Name: Ann O'Lee");  // stored names are printed as they are
  r.Text("No.: " + number + Blanks(12 - static_cast<int>(number.size())) + "     ");
  r.Feed(10).Text("                 Test Report").Text(Blanks(48));  // an empty name: 24 + 24 blanks
  r.Feed(100);
  return r;
}

TEST_F(ThermalReports, HistoryListStopsAtEachCancelPoint) {
  AppSettings.LanguageIndex = 1;
  ReportSnapshot a = EnglishSample(), b = EnglishSample();
  b.sampleNo = "13";
  b.valueTexts[0] = "8.25";
  ReportSettings st = Settings(1, 1, "");
  st.printItems[7] = 0;
  const std::vector<ReportSnapshot> samples = {a, b};
  const ThermalScript start = ThermalScript().EscU(1).Spacing(0).Text(" ");
  const ThermalScript end = ThermalScript().EscU(0);

  // Uncancelled: both reports between one start and one end.
  {
    std::atomic<uint8_t> cancel{0};
    const std::string got = Run([&] { EXPECT_EQ(PrintHistoryThermal(samples, st, PrintTime(), cancel), 2); });
    const ThermalScript want =
        ThermalScript().Append(start).Append(HistoryReport("12", "7.5")).Append(HistoryReport("13", "8.25")).Append(end);
    EXPECT_EQ(got, want.Play()) << FirstMismatch(got, want);
  }
  // The report of sample 13 cut at its cancel points: after the print date, after the column
  // header; and before it starts.
  const ThermalScript first = ThermalScript().Append(start).Append(HistoryReport("12", "7.5"));
  const ThermalScript b13 = HistoryReport("13", "8.25");
  struct Cut {
    const char* name;
    size_t opsOfSecond;  // how many of its operations went out before the flag was seen
  } cuts[] = {{"before the second sample", 0}, {"after its print date", 1}, {"after its column header", 4}};
  for (const Cut& c : cuts) {
    ThermalScript prefix = first;
    for (size_t i = 0; i < c.opsOfSecond; ++i) prefix.ops.push_back(b13.ops[i]);
    std::atomic<uint8_t> cancel{0};
    std::string got;
    {
      CancellingOutput out;
      out.flag = &cancel;
      out.cancelAfter = WritesOf(prefix);
      PrinterSetOutput(&out);
      PrintHistoryThermal(samples, st, PrintTime(), cancel);
      got = out.bytes;
    }
    const ThermalScript want = ThermalScript().Append(prefix).Append(end);
    EXPECT_EQ(got, want.Play()) << c.name << ": " << FirstMismatch(got, want);
  }
  // Nothing picked: the start, one blank row and the end.
  std::atomic<uint8_t> cancel{0};
  const std::string none = Run([&] { PrintHistoryThermal({}, st, PrintTime(), cancel); });
  EXPECT_EQ(none, ThermalScript().Append(start).Append(end).Play());
}

}  // namespace

// A sample counted without the algorithm library and not computed since: its report says so in
// a row of its own under the identity rows, in the report's language; the rest stays as it is.
TEST_F(ThermalReports, UncomputedResultSaysSoUnderTheIdentity) {
  AppSettings.LanguageIndex = 1;
  ReportSnapshot s = EnglishSample();
  s.valueTexts[0] = s.valueTexts[7] = "- - -";
  s.flagTexts[7] = "";
  s.notComputed = true;
  const std::string got = Run([&] { PrintSampleReportThermal(s, Settings(1, 1, "Lab"), PrintTime()); });
  ThermalScript want;
  want.EscU(1).Spacing(0).Text(" ");
  want.Text("Print Date:  3/04/2026");
  want.Text("RBC     - - - 10^12/L    3.50-5.50     ");
  want.Text("WBC     - - - 10^9/L     4.0-10.0      ");
  want.Separator().Text("Item    Result           Reference    Note").Feed(10).Separator();
  want.Text("Result not computed: algorithm library missing");
  const std::string identity = want.Play();
  EXPECT_EQ(got.compare(0, identity.size(), identity), 0) << FirstMismatch(got, want);

  const struct {
    int language;
    const char* line;
  } lines[] = {{0, "结果未计算：缺少算法库"},
               {1, "Result not computed: algorithm library missing"},
               {2, "Resultado no calculado: falta la biblioteca"},
               {3, "Resultat non calcule : bibliotheque absente"},
               {4, "Результат не обчислено: немає бібліотеки"}};
  std::atomic<uint8_t> go{0};
  for (const auto& l : lines) {
    AppSettings.LanguageIndex = static_cast<uint8_t>(l.language);
    ThermalScript row;
    row.Text(l.line);
    for (bool kept : {true, false}) {
      ReportSnapshot k = s;
      k.notComputed = kept;
      const std::string sample = Run([&] { PrintSampleReportThermal(k, Settings(l.language, 1, "Lab"), PrintTime()); });
      const std::string history =
          Run([&] { PrintHistoryThermal({k}, Settings(l.language, 1, "Lab"), PrintTime(), go); });
      EXPECT_EQ(Contains(sample, row), kept) << l.line;
      EXPECT_EQ(Contains(history, row), kept) << l.line;
    }
  }
}
