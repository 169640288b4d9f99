// Printing from the test screen: the count's automatic report and the Print button, on the
// thermal printer and on the page printer; the buttons while a report prints and after it.
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <mutex>

#include "counted_sample.h"
#include "measurement/screen/sample_test_screen_texts.h"
#include "platform/print/printers.h"
#include "printing/print_hint_dlg.h"
#include "printing/thermal_printer.h"
#include "tools/printersim/server.h"

using namespace measurement;

namespace {

// A printer that takes the report's bytes only when the test lets it.
class HeldPrinter : public ThermalOutput {
 public:
  size_t Send(const uint8_t* data, size_t len, int, bool* timedOut) override {
    std::unique_lock<std::mutex> l(m_);
    started_ = true;
    cv_.notify_all();
    cv_.wait(l, [&] { return !hold_; });
    bytes_.append(reinterpret_cast<const char*>(data), len);
    *timedOut = false;
    return len;
  }
  void Release() {
    std::lock_guard<std::mutex> l(m_);
    hold_ = false;
    cv_.notify_all();
  }
  bool Started() {
    std::lock_guard<std::mutex> l(m_);
    return started_;
  }
  std::string Bytes() {
    std::lock_guard<std::mutex> l(m_);
    return bytes_;
  }

 private:
  std::mutex m_;
  std::condition_variable cv_;
  bool hold_ = true, started_ = false;
  std::string bytes_;
};

// What the driver sends for one row.
class RowRecorder : public ThermalOutput {
 public:
  std::string bytes;
  size_t Send(const uint8_t* data, size_t len, int, bool* timedOut) override {
    bytes.append(reinterpret_cast<const char*>(data), len);
    *timedOut = false;
    return len;
  }
};
std::string RowBytes(const std::string& row) {
  RowRecorder r;
  PrinterSetOutput(&r);
  PrinterPrintText(row, 4, 1, 1);
  PrinterSetOutput(nullptr);
  return r.bytes;
}

size_t Count(const std::string& hay, const std::string& needle) {
  size_t n = 0;
  for (size_t at = hay.find(needle); at != std::string::npos; at = hay.find(needle, at + 1)) ++n;
  return n;
}

class ScreenPrint : public CountedSampleTest {
 protected:
  void TearDown() override {
    PrinterSetOutput(nullptr);
    PrinterResetState();
    CountedSampleTest::TearDown();
  }
  static bool HintShown(ui::TestDriver& s) {
    bool shown = false;
    s.RunUntil([&] {
      ui::Window* w = s.Find(IDC_PRINT_HINT_TEXT);
      shown = w != nullptr && w->IsWindowVisible();
      return true;
    });
    return shown;
  }
};

TEST_F(ScreenPrint, CountPrintsOnTheThermalPrinterAndTheButtonPrintsTheEditedPatient) {
  Sql("update SysSetting set PrintInstant=1, Printer=0, PrintFormat=3, UnitName='Lab'");
  const std::string numberRow = RowBytes("No.: 1" + std::string(11, ' ') + "     ");
  const std::string zoeRow = RowBytes("Name: Zoe");
  HeldPrinter printer;
  PrinterSetOutput(&printer);
  CSampleTest screen(nullptr);
  bool printingAfterCount = false, hintWhilePrinting = false, hintAfter = true;
  std::vector<bool> whilePrinting, after;
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                          [&](ui::TestDriver& s) {
                            ASSERT_TRUE(WaitReady(s, screen));
                            ASSERT_TRUE(CountOne(s, screen));
                            ASSERT_TRUE(s.RunUntil([&] { return printer.Started(); }, 5000));
                            printingAfterCount = screen.reportPrinting();
                            hintWhilePrinting = HintShown(s);
                            for (int id : {IDC_MODE, IDC_RETEST, IDC_PROFILE, IDC_PRINT, IDC_EXIT, IDC_SERVICE})
                              whilePrinting.push_back(s.Enabled(id));
                            printer.Release();
                            ASSERT_TRUE(s.RunUntil([&] { return !screen.reportPrinting(); }, 60000));
                            for (int id : {IDC_MODE, IDC_RETEST, IDC_PROFILE, IDC_PRINT, IDC_EXIT, IDC_SERVICE})
                              after.push_back(s.Enabled(id));
                            hintAfter = HintShown(s);
                            // The patient is named after the count; Print reads the row again.
                            Sql("update Person set Name='Zoe' where SampleNo='1'");
                            s.Press(IDC_PRINT);
                            ASSERT_TRUE(s.RunUntil([&] { return !screen.reportPrinting(); }, 60000));
                            screen.WaitForPrintJob(30000);
                            Leave(s, screen);
                          }));
  EXPECT_TRUE(printingAfterCount);
  EXPECT_TRUE(hintWhilePrinting);
  EXPECT_FALSE(hintAfter);
  EXPECT_EQ(whilePrinting, std::vector<bool>(6, false));
  EXPECT_EQ(after, std::vector<bool>(6, true));
  const std::string bytes = printer.Bytes();
  EXPECT_EQ(Count(bytes, std::string("\x1bU\x01", 3)), 2u) << "two reports";
  EXPECT_EQ(Count(bytes, numberRow), 2u);
  EXPECT_EQ(Count(bytes, zoeRow), 1u) << "only the second report knows the name";
}

TEST_F(ScreenPrint, TheRinseAfterACountWaitsForItsReport) {
  Sql("update SysSetting set PrintInstant=1, Printer=0, PrintFormat=1, AutoCleanTime=1");
  HeldPrinter printer;
  PrinterSetOutput(&printer);
  CSampleTest screen(nullptr);
  bool boxAtCountEnd = true;
  std::string question;
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                          [&](ui::TestDriver& s) {
                            ASSERT_TRUE(WaitReady(s, screen));
                            ASSERT_TRUE(CountOne(s, screen));
                            ASSERT_TRUE(s.RunUntil([&] { return printer.Started(); }, 5000));
                            s.RunUntil([&] { return false; }, 300);
                            boxAtCountEnd = s.MessageBox() != nullptr;
                            printer.Release();
                            ASSERT_TRUE(s.RunUntil([&] { return s.MessageBox() != nullptr; }, 10000));
                            question = s.MessageBoxText();
                            s.AnswerMessageBox(ui::IDCANCEL);
                            ASSERT_TRUE(s.RunUntil([&] { return !screen.reportPrinting(); }, 60000));
                            screen.WaitForPrintJob(30000);
                            Leave(s, screen);
                          }));
  EXPECT_FALSE(boxAtCountEnd) << "the count's end leaves the rinse to its report";
  EXPECT_EQ(question, TestScreenText(ScreenText::RinseQuestion, 1));
}

TEST_F(ScreenPrint, CountPrintsOnThePagePrinterAndGivesTheButtonsBack) {
  // The page printer: no queue, so the PDF printer takes the report into the print folder.
  const std::string dir = (folder_ / "printout").string() + "/";
  ::setenv("QUORVEX_PRINT_DIR", dir.c_str(), 1);
  Sql("update SysSetting set PrintInstant=1, Printer=1, PrintFormat=1, UnitName='Lab'");
  CSampleTest screen(nullptr);
  std::vector<bool> after;
  std::string message = "?";
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                          [&](ui::TestDriver& s) {
                            ASSERT_TRUE(WaitReady(s, screen));
                            ASSERT_TRUE(CountOne(s, screen));
                            ASSERT_TRUE(s.RunUntil([&] { return !screen.reportPrinting(); }, 60000));
                            screen.WaitForPrintJob(30000);
                            for (int id : {IDC_MODE, IDC_RETEST, IDC_PROFILE, IDC_PRINT, IDC_EXIT, IDC_SERVICE})
                              after.push_back(s.Enabled(id));
                            message = s.Text(IDC_MESSAGE);
                            Leave(s, screen);
                          }));
  ::unsetenv("QUORVEX_PRINT_DIR");
  EXPECT_EQ(after, std::vector<bool>(6, true));
  EXPECT_EQ(message, "") << "a printed report is not said to be lost";
  std::string text;
  if (std::filesystem::exists(dir))
    for (const auto& e : std::filesystem::directory_iterator(dir)) {
      FILE* p = ::popen(("pdftotext -q '" + e.path().string() + "' - 2>/dev/null").c_str(), "r");
      char buf[4096];
      size_t n;
      while (p && (n = std::fread(buf, 1, sizeof buf, p)) > 0) text.append(buf, n);
      if (p) ::pclose(p);
    }
  EXPECT_NE(text.find("Test Report"), std::string::npos);
  EXPECT_NE(text.find("No.: 1"), std::string::npos);
}

// The thermal printer on the printer simulator's line, out of paper or unplugged: the count
// goes on, and the operator reads which sample's report did not print, in the message line and
// in the system log. With paper back the next report prints and nothing is said.
TEST_F(ScreenPrint, AReportThatDidNotPrintIsToldAndTheCountGoesOn) {
  Sql("update SysSetting set PrintInstant=1, Printer=0, PrintFormat=1");
  for (const bool unplug : {false, true}) {
    SCOPED_TRACE(unplug ? "unplugged" : "paper out");
    Sql("delete from Person");
    Sql("delete from SysLog");
    printersim::Server server;
    ASSERT_TRUE(server.Start().ok());
    ASSERT_EQ(PrinterOpen(server.SlavePath()), 1);
    PrinterSetWriteTimeout(300);
    CSampleTest screen(nullptr);
    bool counted = false, countedAgain = false;
    std::string message, messageAfter;
    long printedBefore = 0, printedAfter = 0;
    ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                            [&](ui::TestDriver& s) {
                              ASSERT_TRUE(WaitReady(s, screen));
                              if (unplug) server.Stop();
                              else server.SetPaperOut(true);
                              counted = CountOne(s, screen);
                              ASSERT_TRUE(s.RunUntil([&] { return !screen.reportPrinting(); }, 60000));
                              screen.WaitForPrintJob(30000);
                              s.RunUntil([&] { return false; }, 100);
                              message = s.Text(IDC_MESSAGE);
                              if (!unplug) {
                                server.SetPaperOut(false);
                                printedBefore = server.BytesPrinted();
                                countedAgain = CountOne(s, screen);
                                ASSERT_TRUE(s.RunUntil([&] { return !screen.reportPrinting(); }, 60000));
                                screen.WaitForPrintJob(30000);
                                s.RunUntil([&] { return false; }, 100);
                                messageAfter = s.Text(IDC_MESSAGE);
                                // The simulator takes the bytes on a thread of its own: give it
                                // time to read what the port has written.
                                s.RunUntil([&] { return server.BytesPrinted() > printedBefore; }, 10000);
                                printedAfter = server.BytesPrinted();
                              }
                              Leave(s, screen);
                            }));
    PrinterClose();
    EXPECT_TRUE(counted);
    EXPECT_EQ(message, "The report of sample 1 was not printed");
    EXPECT_EQ(Scalar("select count(*) from SysLog where Result='The report of sample 1 was not printed'"), "1");
    EXPECT_EQ(Scalar("select count(*) from Person where WBC is not null"), unplug ? "1" : "2");
    if (!unplug) {
      EXPECT_TRUE(countedAgain);
      EXPECT_EQ(messageAfter, "");
      EXPECT_GT(printedAfter, printedBefore);
      EXPECT_EQ(Scalar("select count(*) from SysLog where Result like '%sample 2%'"), "0");
    }
  }
}

}  // namespace
