// Printing from the result history: the browser prints the picked columns one report each, in
// column order, on the thermal printer or the page printer the system settings choose; Print
// turns into Cancel while a job runs, a cancel stops the job at the next of its points, a
// further press starts nothing, and the screen comes back whichever way the job ends. The
// single-result view prints the result it shows. Expected rows are written out from the
// stored rows of the fixture.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "history/history_globals.h"
#include "history/history_graphics.h"
#include "history/history_list.h"
#include "measurement/zentil_call.h"
#include "platform/sys/clock.h"
#include "platform/ui/input.h"
#include "printing/histogram_print.h"
#include "print_fixture.h"

using namespace history_test;

namespace {

const std::string kDate = "Print Date:  3/04/2026";  // the manual clock's day, month first
const std::string kHeader = "Item    Result           Reference    Note";

class HistoryPrintTest : public StoreTest {
 protected:
  void SetUp() override {
    StoreTest::SetUp();
    SetHistogramLibraryPath(support::BuiltZentilPath());
    sys::Clock::SetManualLocalTime(sys::LocalTime{2026, 3, 4, 10, 0, 0, 0, 3});
    dir_ = AppSettings.ProgramFolder + "printout/";
    ::setenv("QUORVEX_PRINT_DIR", dir_.c_str(), 1);
    Sql("update SysSetting set UnitName='Lab'");
  }
  void TearDown() override {
    ::unsetenv("QUORVEX_PRINT_DIR");
    PrinterSetOutput(nullptr);
    PrinterResetState();
    SetHistogramLibraryPath("");
    StoreTest::TearDown();
  }
  void UsePrinter(StripPrinter& p) {
    PrinterResetState();
    PrinterSetOutput(&p);
  }
  // Stores samples 1..n of the fixture (sample k at column n + 1 - k of the browser: newest first).
  std::vector<PrintRow> Store(int n, bool raw, int withoutWbc = 0) {
    std::vector<PrintRow> rows;
    for (int k = 1; k <= n; ++k) {
      rows.push_back(PrintRowOf(k, k != withoutWbc));
      StorePrintRow(rows.back(), k, raw);
    }
    return rows;
  }
  void Run(ui::Dialog& screen, const std::function<void(ui::TestDriver&)>& script) {
    EXPECT_TRUE(d.RunScript([&] { screen.DoModal(); }, [&](ui::TestDriver& s) {
      script(s);
      s.Press(ui::IDCANCEL);
    }, 120000));
  }
  template <class F>
  void Ui(ui::TestDriver& s, F f) {
    bool done = false;
    s.RunUntil([&] {
      if (!done) f();
      done = true;
      return true;
    });
  }
  // A tap on the heading of a result column, Ctrl held or not.
  void TapHeading(ui::TestDriver& s, CHistoryList& screen, int col, bool ctrl) {
    ui::Point p;
    Ui(s, [&] {
      draw::Rect r;
      screen.Grid().ComputeCellRect(0, col, &r);
      p = screen.Grid().ClientToScreen(ui::Point((r.left + r.right) / 2, (r.top + r.bottom) / 2));
    });
    for (auto kind : {ui::InputEvent::Kind::MouseMove, ui::InputEvent::Kind::MouseDown, ui::InputEvent::Kind::MouseUp}) {
      ui::InputEvent e;
      e.kind = kind;
      e.pt = p;
      e.ctrl = ctrl;
      ui::InjectInput(e);
      s.Settle();
    }
  }
  bool WaitJobEnd(ui::TestDriver& s, CHistoryList& screen) {
    const bool idle = s.RunUntil([&] { return !screen.PrintBusy(); }, 60000);
    return idle && screen.WaitForPrintJob(10000);
  }
  // The rows a report of `r` sends, in sending order: the browser's report, or the view's
  // (its laboratory line has no extra blank, its medical number field is 12 wide).
  static std::vector<std::string> ReportRows(const PrintRow& r, const uint8_t items[20], bool view) {
    std::vector<std::string> rows = {kDate};
    for (int i = 19; i >= 0; --i)
      if (items[i])
        rows.push_back(RTrim(Pad(kPrintParams[i].abbrev, 8) + Pad(r.values[i] + " " + r.units[i], 17) +
                             Pad(r.ranges[i], 14) + r.flags[i]));
    rows.push_back(kHeader);
    rows.push_back("Test Time: " + r.testDate + " " + r.testTime);
    rows.push_back("Inspector: " + Pad(r.scrutator, 12) + "Verifier: " + r.checker);
    rows.push_back("Dept.: " + Pad(r.dept, 12) + "    Applicant: " + r.sender);
    rows.push_back("Medical No.: " + Pad(r.medicalNo, view ? 12 : 10) + "Bed No.: " + r.bedNo);
    rows.push_back("Reference: " + r.group);
    rows.push_back(RTrim("Type: " + r.bloodType));
    rows.push_back("Sex: " + Pad(r.sex, 12) + "      Age: " + r.ageText);
    rows.push_back("Name: " + r.name);
    rows.push_back("No.: " + r.sampleNo);
    rows.push_back("                 Test Report");
    rows.push_back(std::string(view ? 21 : 22, ' ') + "Lab");
    return rows;
  }
  std::vector<bool> LockedControls(ui::TestDriver& s, CHistoryList& screen) {
    std::vector<bool> on;
    for (int id : {IDC_HL_DETAIL, IDC_HL_DELETE, IDC_HL_SELECT, IDC_HL_SEND, IDC_HL_SEARCH, int(ui::IDCANCEL)})
      on.push_back(s.Enabled(id));
    Ui(s, [&] { on.push_back(screen.Grid().IsWindowEnabled()); });
    return on;
  }
  bool HintShown(ui::TestDriver& s, CHistoryList& screen) {
    bool shown = false;
    Ui(s, [&] { shown = screen.PrintHintShown(); });
    return shown;
  }

  std::string dir_;
};

const uint8_t kAllItems[20] = {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};

TEST_F(HistoryPrintTest, BrowserPrintsThePickedColumnsInOrderWithEveryValue) {
  Sql("update SysSetting set Printer=0, PrintFormat=1");
  // The default template leaves out MCV and RDW-CV (P12 and P13 in the stored order).
  Sql("update PrintItemsSet set P12=0, P13=0 where IsDefault=1");
  const std::vector<PrintRow> rows = Store(5, false, /*withoutWbc=*/1);
  StripPrinter printer;
  UsePrinter(printer);
  CHistoryList screen;
  Run(screen, [&](ui::TestDriver& s) {
    // Columns 5, 2, 1 and 4 picked, in that order: samples 1, 4, 5 and 2; column 3 (sample 3)
    // is not among them.
    TapHeading(s, screen, 5, false);
    TapHeading(s, screen, 2, true);
    TapHeading(s, screen, 1, true);
    TapHeading(s, screen, 4, true);
    ASSERT_EQ(screen.SelectedColumns(), (std::vector<int>{1, 2, 4, 5}));
    s.Press(IDC_HL_PRINT);
    ASSERT_TRUE(WaitJobEnd(s, screen));
    EXPECT_EQ(s.Text(IDC_HL_PRINT), "Print");
    // A job that ended by itself: the next press prints again, it does not cancel.
    s.Press(IDC_HL_PRINT);
    ASSERT_TRUE(WaitJobEnd(s, screen));
  });
  uint8_t items[20];
  std::copy(kAllItems, kAllItems + 20, items);
  items[10] = items[14] = 0;
  // In column order: samples 5, 4 and 2; sample 1 has no WBC and gets no report.
  std::vector<std::string> run = {""};
  for (int k : {5, 4, 2}) {
    const std::vector<std::string> report = ReportRows(rows[k - 1], items, false);
    run.insert(run.end(), report.begin(), report.end());
  }
  std::vector<std::string> want = run;
  want.insert(want.end(), run.begin(), run.end());
  const std::vector<std::string> log = StripLog(printer.Bytes());
  EXPECT_EQ(TextRows(log), want);
  EXPECT_EQ(CountPrefix(log, "ESC U 1"), 2u);
  EXPECT_EQ(CountPrefix(log, "ESC U 0"), 2u);
  EXPECT_EQ(CountPrefix(log, "DC2 T"), 0u) << "print format 1 has no histograms";
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log.back(), "ESC U 0");
}

TEST_F(HistoryPrintTest, CancelStopsTheJobAtEachOfItsPointsAndGivesTheScreenBack) {
  Sql("update SysSetting set Printer=0, PrintFormat=0");
  Store(2, /*raw=*/true);
  struct Case {
    const char* where;
    std::string trigger;  // Cancel is pressed while this is going out
    size_t dates, dotPages, wbcRows, numberRows;
  };
  const std::string hospital = std::string(22, ' ') + "Lab" + std::string(22, ' ');
  const Case cases[] = {
      {"before the first sample", ThermalRowBytes(" "), 0, 0, 0, 0},
      {"after the print date", ThermalRowBytes(kDate), 1, 0, 0, 0},
      {"after the histograms", std::string("\x12T"), 1, 3, 0, 0},
      {"after the column header", ThermalRowBytes(kHeader), 1, 3, 1, 0},
      {"before the next sample", ThermalRowBytes(hospital), 1, 3, 1, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.where);
    StripPrinter printer;
    printer.HoldAt(c.trigger);
    UsePrinter(printer);
    CHistoryList screen;
    std::vector<bool> locked, cancelling, after;
    bool hintWhile = false, hintAfter = true, printOnAfterCancel = true, printOnAfter = false;
    std::string captionWhile, captionAfter;
    uint8_t flagAfterCancel = 0;
    Run(screen, [&](ui::TestDriver& s) {
      Ui(s, [&] { screen.ApplySelection(1, 2); });  // samples 2 and 1
      s.Press(IDC_HL_PRINT);
      ASSERT_TRUE(s.RunUntil([&] { return printer.Held(); }, 60000));
      captionWhile = s.Text(IDC_HL_PRINT);
      locked = LockedControls(s, screen);
      hintWhile = HintShown(s, screen);
      s.Press(IDC_HL_PRINT);  // Cancel
      printOnAfterCancel = s.Enabled(IDC_HL_PRINT);
      flagAfterCancel = history::PrintCancelFlag.load();
      printer.Release();
      ASSERT_TRUE(WaitJobEnd(s, screen));
      captionAfter = s.Text(IDC_HL_PRINT);
      printOnAfter = s.Enabled(IDC_HL_PRINT);
      after = LockedControls(s, screen);
      hintAfter = HintShown(s, screen);
      // One page of results: paging stays off.
      EXPECT_FALSE(s.Enabled(IDC_HL_PAGE_DOWN));
      EXPECT_FALSE(s.Enabled(IDC_HL_PAGE_UP));
    });
    EXPECT_EQ(captionWhile, "Cancel");
    EXPECT_EQ(locked, std::vector<bool>(7, false));
    EXPECT_TRUE(hintWhile);
    EXPECT_FALSE(printOnAfterCancel) << "cancel is asked once; the button waits for the job's end";
    EXPECT_EQ(flagAfterCancel, 1);
    EXPECT_EQ(captionAfter, "Print");
    EXPECT_TRUE(printOnAfter);
    EXPECT_EQ(after, std::vector<bool>(7, true));
    EXPECT_FALSE(hintAfter);
    const std::vector<std::string> log = StripLog(printer.Bytes());
    const std::vector<std::string> text = TextRows(log);
    EXPECT_EQ(CountPrefix(text, "Print Date:"), c.dates);
    EXPECT_EQ(CountPrefix(log, "DC2 T"), c.dotPages);
    EXPECT_EQ(CountPrefix(text, "WBC "), c.wbcRows);
    EXPECT_EQ(CountPrefix(text, "No.:"), c.numberRows);
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.front(), "ESC U 1");
    EXPECT_EQ(log.back(), "ESC U 0") << "every way out closes the report mode";
  }
}

TEST_F(HistoryPrintTest, AFurtherPressWhileAJobRunsStartsNothing) {
  Sql("update SysSetting set Printer=0, PrintFormat=1");
  Store(3, false);
  StripPrinter printer;
  printer.HoldAt(ThermalRowBytes(kDate));
  UsePrinter(printer);
  CHistoryList screen;
  Run(screen, [&](ui::TestDriver& s) {
    Ui(s, [&] { screen.ApplySelection(1, 3); });
    s.Press(IDC_HL_PRINT);
    ASSERT_TRUE(s.RunUntil([&] { return printer.Held(); }, 60000));
    s.Press(IDC_HL_PRINT);  // asks the job to stop
    // A press that still comes (the button says Cancel, the request was made) starts no job.
    Ui(s, [&] { screen.OnPrint(); });
    EXPECT_TRUE(screen.PrintBusy());
    EXPECT_EQ(history::PrintCancelFlag.load(), 1);
    printer.Release();
    ASSERT_TRUE(WaitJobEnd(s, screen));
  });
  const std::vector<std::string> log = StripLog(printer.Bytes());
  EXPECT_EQ(CountPrefix(log, "ESC U 1"), 1u);
  EXPECT_EQ(CountPrefix(TextRows(log), "Print Date:"), 1u);
  EXPECT_EQ(CountPrefix(TextRows(log), "No.:"), 0u);
}

TEST_F(HistoryPrintTest, PrintTurnsIntoCancelInEachLanguage) {
  Sql("update SysSetting set Printer=0, PrintFormat=1");
  Store(2, false);
  const struct {
    int language;
    const char *print, *cancel;
  } cases[] = {{0, "打印", "取消"},
               {1, "Print", "Cancel"},
               {2, "Imprimir", "Cancelar"},
               {3, "Imprimer", "Annuler"},
               {4, "Друк", "Відміна"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.language);
    AppSettings.LanguageIndex = static_cast<uint8_t>(c.language);
    StripPrinter printer;
    printer.HoldAt(ThermalRowBytes(" "));
    UsePrinter(printer);
    CHistoryList screen;
    std::string idle, running, ended;
    uint8_t flag = 0;
    Run(screen, [&](ui::TestDriver& s) {
      idle = s.Text(IDC_HL_PRINT);
      Ui(s, [&] { screen.ApplySelection(1, 2); });
      s.Press(IDC_HL_PRINT);
      ASSERT_TRUE(s.RunUntil([&] { return printer.Held(); }, 60000));
      running = s.Text(IDC_HL_PRINT);
      s.Press(IDC_HL_PRINT);
      flag = history::PrintCancelFlag.load();
      printer.Release();
      ASSERT_TRUE(WaitJobEnd(s, screen));
      ended = s.Text(IDC_HL_PRINT);
    });
    EXPECT_EQ(idle, c.print);
    EXPECT_EQ(running, c.cancel);
    EXPECT_EQ(flag, 1) << "the Cancel caption of the language is known as Cancel";
    EXPECT_EQ(ended, c.print);
    EXPECT_EQ(TextRows(StripLog(printer.Bytes())), std::vector<std::string>{""}) << "cancelled before the first report";
  }
}

TEST_F(HistoryPrintTest, ASingleColumnWithoutResultsIsRefusedAndPrintStaysUsable) {
  Sql("update SysSetting set Printer=0, PrintFormat=1");
  const std::vector<PrintRow> rows = Store(2, false, /*withoutWbc=*/1);
  StripPrinter printer;
  UsePrinter(printer);
  CHistoryList screen;
  Run(screen, [&](ui::TestDriver& s) {
    Ui(s, [&] { screen.ApplySelection(2, 2); });  // sample 1
    s.Press(IDC_HL_PRINT);
    EXPECT_EQ(s.MessageBoxText(), "This sample has no test data!");
    s.AnswerMessageBox(ui::IDOK);
    EXPECT_FALSE(screen.PrintBusy());
    EXPECT_EQ(s.Text(IDC_HL_PRINT), "Print");
    EXPECT_TRUE(printer.Bytes().empty());
    // The next press prints the next choice.
    Ui(s, [&] { screen.ApplySelection(1, 1); });  // sample 2
    s.Press(IDC_HL_PRINT);
    ASSERT_TRUE(WaitJobEnd(s, screen));
  });
  const std::vector<std::string> text = TextRows(StripLog(printer.Bytes()));
  EXPECT_EQ(CountPrefix(text, "No.:"), 1u);
  EXPECT_EQ(CountPrefix(text, "Name: " + rows[1].name), 1u);
}

TEST_F(HistoryPrintTest, BrowserPrintsOnePagePerPickedSampleOnThePagePrinter) {
  Sql("update SysSetting set Printer=1, PrintFormat=1");
  const std::vector<PrintRow> rows = Store(3, false);
  StripPrinter printer;
  UsePrinter(printer);
  CHistoryList screen;
  Run(screen, [&](ui::TestDriver& s) {
    TapHeading(s, screen, 3, false);  // sample 1
    TapHeading(s, screen, 1, true);   // sample 3
    s.Press(IDC_HL_PRINT);
    ASSERT_TRUE(WaitJobEnd(s, screen));
    EXPECT_EQ(s.Text(IDC_HL_PRINT), "Print");
    EXPECT_TRUE(s.Enabled(IDC_HL_DETAIL));
  });
  EXPECT_TRUE(printer.Bytes().empty()) << "nothing goes to the thermal printer";
  const std::vector<std::string> pages = PdfPages(dir_);
  ASSERT_EQ(pages.size(), 2u);
  const int order[2] = {3, 1};
  for (int p = 0; p < 2; ++p) {
    const PrintRow& r = rows[order[p] - 1];
    SCOPED_TRACE("page " + std::to_string(p + 1));
    EXPECT_NE(pages[p].find("Name: " + r.name), std::string::npos);
    EXPECT_NE(pages[p].find("No.: " + r.sampleNo), std::string::npos);
    EXPECT_NE(pages[p].find("Bed No.: " + r.bedNo), std::string::npos);
    for (int i = 0; i < 20; ++i) {
      EXPECT_NE(pages[p].find(r.values[i] + " " + r.units[i]), std::string::npos) << kPrintParams[i].abbrev;
      EXPECT_NE(pages[p].find(r.ranges[i]), std::string::npos) << kPrintParams[i].abbrev;
    }
  }
}

class ViewPrintTest : public HistoryPrintTest {
 protected:
  void Open(CHistoryGraphics& view, const std::string& sampleNo, int total,
            const std::function<void(ui::TestDriver&)>& script) {
    view.m_totalCount = total;
    view.m_sampleNo = sampleNo;
    history::HistorySelectedTestDate = "2026-02-10";
    Run(view, script);
  }
  bool WaitViewJobEnd(ui::TestDriver& s, CHistoryGraphics& view) {
    const bool idle = s.RunUntil([&] { return !view.PrintJobRunning(); }, 60000);
    return idle && view.WaitForPrintJob(10000);
  }
};

TEST_F(ViewPrintTest, ViewPrintsTheShownResultOnTheThermalPrinter) {
  Sql("update SysSetting set Printer=0, PrintFormat=1");
  const std::vector<PrintRow> rows = Store(3, false);
  StripPrinter printer;
  printer.HoldAt(ThermalRowBytes(" "));
  UsePrinter(printer);
  CHistoryGraphics view;
  bool printWhile = true, exitWhile = true, nextWhile = false, hintWhile = false, hintAfter = true;
  bool printAfter = false, exitAfter = false;
  Open(view, "2", 3, [&](ui::TestDriver& s) {
    ASSERT_EQ(view.Text(IDC_HG_SAMPLE), "2");
    s.Press(IDC_HG_PRINT);
    ASSERT_TRUE(s.RunUntil([&] { return printer.Held(); }, 60000));
    printWhile = s.Enabled(IDC_HG_PRINT);
    exitWhile = s.Enabled(ui::IDCANCEL);
    nextWhile = s.Enabled(IDC_HG_NEXT);
    Ui(s, [&] { hintWhile = view.PrintHintShown(); });
    // A press that comes while the report goes out starts nothing.
    Ui(s, [&] { view.OnPrint(); });
    printer.Release();
    ASSERT_TRUE(WaitViewJobEnd(s, view));
    printAfter = s.Enabled(IDC_HG_PRINT);
    exitAfter = s.Enabled(ui::IDCANCEL);
    Ui(s, [&] { hintAfter = view.PrintHintShown(); });
    // The next result, printed in its turn.
    s.Press(IDC_HG_NEXT);
    ASSERT_EQ(view.Text(IDC_HG_SAMPLE), "3");
    s.Press(IDC_HG_PRINT);
    ASSERT_TRUE(WaitViewJobEnd(s, view));
  });
  EXPECT_FALSE(printWhile);
  EXPECT_FALSE(exitWhile) << "the thermal printer takes one report at a time";
  EXPECT_TRUE(nextWhile);
  EXPECT_TRUE(hintWhile);
  EXPECT_TRUE(printAfter);
  EXPECT_TRUE(exitAfter);
  EXPECT_FALSE(hintAfter);
  std::vector<std::string> want;
  for (int k : {2, 3}) {
    want.push_back("");
    const std::vector<std::string> report = ReportRows(rows[k - 1], kAllItems, true);
    want.insert(want.end(), report.begin(), report.end());
  }
  const std::vector<std::string> log = StripLog(printer.Bytes());
  EXPECT_EQ(TextRows(log), want);
  EXPECT_EQ(CountPrefix(log, "ESC U 1"), 2u);
}

TEST_F(ViewPrintTest, ViewPrintsTheShownResultOnThePagePrinter) {
  Sql("update SysSetting set Printer=1, PrintFormat=2");
  const std::vector<PrintRow> rows = Store(2, true);
  StripPrinter printer;
  UsePrinter(printer);
  CHistoryGraphics view;
  Open(view, "1", 2, [&](ui::TestDriver& s) {
    s.Press(IDC_HG_PRINT);
    ASSERT_TRUE(WaitViewJobEnd(s, view));
    EXPECT_TRUE(s.Enabled(IDC_HG_PRINT));
  });
  EXPECT_TRUE(printer.Bytes().empty());
  const std::vector<std::string> pages = PdfPages(dir_);
  ASSERT_EQ(pages.size(), 1u);
  const PrintRow& r = rows[0];
  EXPECT_NE(pages[0].find("Name: " + r.name), std::string::npos);
  EXPECT_NE(pages[0].find("No.: " + r.sampleNo), std::string::npos);
  for (int i = 0; i < 20; ++i) EXPECT_NE(pages[0].find(r.values[i] + " " + r.units[i]), std::string::npos) << i;
}

TEST_F(ViewPrintTest, AKeptCountPrintsNoNumberWhileTheLibraryIsMissing) {
  // A count stored while the algorithm library could not be used: every value "- - -" and the
  // count's inputs kept. Without the library the view neither computes it nor prints a number,
  // and its report says under the identity rows that the result was not computed.
  Sql("update SysSetting set Printer=0, PrintFormat=1");
  PrintRow r = PrintRowOf(1);
  for (int i = 0; i < 20; ++i) {
    r.cells[i] = r.values[i] = "- - -";
    r.flags[i].clear();
  }
  StorePrintRow(r, 1, true);
  Sql("update Person set CountInputs='time=" + r.testTime + " mode=0 wbct=50 hgb=3400/1200 f=1,1,1,1,1,1 stars=000'");
  measurement::SetZentilLibraryPath("/nonexistent/libZentil.so");
  SetHistogramLibraryPath("/nonexistent/libZentil.so");
  StripPrinter printer;
  UsePrinter(printer);
  CHistoryGraphics view;
  Open(view, "1", 1, [&](ui::TestDriver& s) {
    for (int i = 0; i < 5 && s.MessageBox() != nullptr; ++i) s.AnswerMessageBox(ui::IDOK);
    s.Press(IDC_HG_PRINT);
    for (int i = 0; i < 5 && s.RunUntil([&] { return s.MessageBox() != nullptr || !view.PrintJobRunning(); }, 60000) &&
                    s.MessageBox() != nullptr;
         ++i)
      s.AnswerMessageBox(ui::IDOK);
    ASSERT_TRUE(WaitViewJobEnd(s, view));
  });
  EXPECT_EQ(Scalar("select CountInputs is not null from Person"), "1");
  std::vector<std::string> want = {""};
  std::vector<std::string> report = ReportRows(r, kAllItems, true);
  const auto header = std::find(report.begin(), report.end(), "Item    Result           Reference    Note");
  ASSERT_NE(header, report.end());
  report.insert(header + 1, "Result not computed: algorithm library missing");
  want.insert(want.end(), report.begin(), report.end());
  EXPECT_EQ(TextRows(StripLog(printer.Bytes())), want);
}

TEST_F(ViewPrintTest, AResultWithoutValuesIsNotPrinted) {
  Sql("update SysSetting set Printer=0, PrintFormat=1");
  Store(2, false, /*withoutWbc=*/1);
  StripPrinter printer;
  UsePrinter(printer);
  CHistoryGraphics view;
  Open(view, "1", 2, [&](ui::TestDriver& s) {
    s.Press(IDC_HG_PRINT);
    EXPECT_EQ(s.MessageBoxText(), "This sample has no test data!");
    s.AnswerMessageBox(ui::IDOK);
    EXPECT_FALSE(view.PrintJobRunning());
  });
  EXPECT_TRUE(printer.Bytes().empty());
}

}  // namespace
