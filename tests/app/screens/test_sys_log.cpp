#include <gtest/gtest.h>

#include <condition_variable>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>

#include "app/screens/sys_log_print.h"
#include "app/screens/sys_log_screen.h"
#include "controls/message_box_dlg.h"
#include "platform/ui/keys.h"
#include "platform/ui/message_box.h"
#include "platform/print/printers.h"
#include "printing/thermal_printer.h"
#include "screen_fixture.h"
#include "tools/printersim/server.h"

namespace {

// The printer's end of the line as a recording; it can hold the first write until released.
class Recorder : public ThermalOutput {
 public:
  size_t Send(const uint8_t* data, size_t len, int, bool* timedOut) override {
    std::unique_lock<std::mutex> lock(mutex_);
    cv_.wait(lock, [&] { return !hold_; });
    bytes.insert(bytes.end(), data, data + len);
    if (timedOut) *timedOut = false;
    return len;
  }
  void Hold(bool on) {
    std::lock_guard<std::mutex> lock(mutex_);
    hold_ = on;
    cv_.notify_all();
  }
  // The characters sent, without the double-width switches around each of them.
  std::string Text() {
    std::lock_guard<std::mutex> lock(mutex_);
    std::string out;
    for (size_t i = 0; i < bytes.size(); ++i) {
      if (i + 2 < bytes.size() && bytes[i] == 0x1B && bytes[i + 1] == 'w' && bytes[i + 2] <= 1) {
        i += 2;
        continue;
      }
      out += static_cast<char>(bytes[i]);
    }
    return out;
  }
  std::vector<uint8_t> bytes;

 private:
  std::mutex mutex_;
  std::condition_variable cv_;
  bool hold_ = false;
};

const std::vector<SysLogRow> kRows = {
    {"2026-1-4", "08:00:00", "Startup", "Normal"},
    {"2026-1-4", "18:30:00", "Shut down", "Shutdown OK"},
    {"2026-1-5", "07:59:00", "Logon", "An unusually long result text for the log"},
};

class SysLogTest : public ScreenTest {
 protected:
  void SetUp() override {
    ScreenTest::SetUp();
    Sql("delete from SysLog");
    for (const SysLogRow& r : kRows)
      Sql("insert into SysLog values('" + r.date + "','" + r.time + "','" + r.event + "','" + r.result + "')");
    Sql("update SysSetting set Printer=0");
    PrinterResetState();
    PrinterSetOutput(&recorder);
    SysLogPrintPresses = 0;
    SysLogPrintCancel = 0;
  }
  void TearDown() override {
    PrinterSetOutput(nullptr);
    PrinterResetState();
    ScreenTest::TearDown();
  }
  // Runs the screen with `script`, closing it at the end.
  void Run(CSysLog& screen, const std::function<void(ui::TestDriver&)>& script) {
    bool ok = d.RunScript([&] { screen.DoModal(); }, [&](ui::TestDriver& s) {
      script(s);
      s.Press(ui::IDCANCEL);
    });
    EXPECT_TRUE(ok);
  }
  bool WaitForJobEnd(ui::TestDriver& s, int language) {
    return s.RunUntil([&] { return s.Text(IDC_SYSLOG_PRINT) == SysLogPrintText(language) && s.Enabled(ui::IDCANCEL); },
                      5000);
  }
  Recorder recorder;
};

TEST_F(SysLogTest, ListsOldestFirstAndPrintsTheGoldenThermalJob) {
  CSysLog screen;
  Run(screen, [&](ui::TestDriver& s) {
    ASSERT_EQ(screen.Grid().GetRowCount(), 4);  // the headings and three rows
    EXPECT_EQ(screen.Grid().GetItemText(1, 2), "Startup");
    EXPECT_EQ(screen.Grid().GetItemText(3, 0), "2026-1-5");
    for (int c = 0; c < 4; ++c)
      EXPECT_EQ(screen.Grid().GetItemText(0, c), (std::vector<std::string>{"Date", "Time", "Event", "Result"}[c]));
    Shot("syslog_en");
    s.Press(IDC_SYSLOG_PRINT);
    ASSERT_TRUE(WaitForJobEnd(s, 1));
    EXPECT_EQ(SysLogPrintPresses, 0);
  });
  const std::string golden = std::string(QUORVEX_TEST_DATA_DIR) + "/syslog_thermal_en.bin";
  if (std::getenv("QUORVEX_BLESS")) std::ofstream(golden, std::ios::binary).write(
      reinterpret_cast<const char*>(recorder.bytes.data()), static_cast<std::streamsize>(recorder.bytes.size()));
  std::ifstream in(golden, std::ios::binary);
  ASSERT_TRUE(in) << golden;
  const std::vector<uint8_t> expected((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(recorder.bytes, expected);
  // What the job says, in the order the printer receives it (the title last).
  const std::string text = recorder.Text();
  const size_t date = text.find("Print date: 01/05/2026");
  const size_t tail = text.find("esult text for the log");  // the long line's end goes out first
  const size_t head = text.find("Logon              An unusually long r\r");
  const size_t first = text.find("Startup            Normal");
  const size_t headings = text.find("Event            Result");
  const size_t title = text.find("                 Log");
  ASSERT_NE(date, std::string::npos);
  EXPECT_LT(date, tail);
  EXPECT_LT(tail, head);
  EXPECT_LT(head, first);
  EXPECT_LT(first, headings);
  EXPECT_LT(headings, title);
}

TEST_F(SysLogTest, ThePrinterSimulatorTakesTheJob) {
  printersim::Server server;
  ASSERT_TRUE(server.Start().ok());
  PrinterSetOutput(nullptr);
  ASSERT_EQ(PrinterOpen(server.SlavePath()), 1);
  std::atomic<uint8_t> cancel{0};
  PrintSysLogTextJob(kRows, 1, {2026, 1, 5, 8, 0, 0}, cancel);
  const std::string golden = std::string(QUORVEX_TEST_DATA_DIR) + "/syslog_thermal_en.bin";
  const long size = static_cast<long>(std::filesystem::file_size(golden));
  EXPECT_TRUE(server.WaitPrinted(size, 5000)) << server.BytesPrinted();
  EXPECT_EQ(server.BytesReceived(), size);
  std::filesystem::create_directories("png");
  EXPECT_TRUE(server.SavePng("png/syslog_paper_en.png", 2));
  PrinterClose();
  server.Stop();
}

TEST_F(SysLogTest, CancelStopsBeforeTheNextRowButKeepsHeadingsAndTitle) {
  recorder.Hold(true);
  CSysLog screen;
  Run(screen, [&](ui::TestDriver& s) {
    s.Press(IDC_SYSLOG_PRINT);
    EXPECT_EQ(s.Text(IDC_SYSLOG_PRINT), "Cancel(&C)");
    s.Press(IDC_SYSLOG_PRINT);
    EXPECT_FALSE(s.Enabled(IDC_SYSLOG_PRINT));
    recorder.Hold(false);
    ASSERT_TRUE(WaitForJobEnd(s, 1));
    EXPECT_TRUE(s.Enabled(IDC_SYSLOG_PRINT));
  });
  const std::string text = recorder.Text();
  EXPECT_EQ(text.find("Startup"), std::string::npos);
  EXPECT_NE(text.find("Event            Result"), std::string::npos);
  EXPECT_NE(text.find("                 Log"), std::string::npos);
}

TEST_F(SysLogTest, FrenchPrintTextStartsAJobEveryTime) {
  AppSettings.LanguageIndex = 3;
  CSysLog screen;
  Run(screen, [&](ui::TestDriver& s) {
    for (int job = 0; job < 2; ++job) {
      const size_t before = recorder.bytes.size();
      EXPECT_EQ(s.Text(IDC_SYSLOG_PRINT), "Imprimer(&P)");
      s.Press(IDC_SYSLOG_PRINT);
      ASSERT_TRUE(WaitForJobEnd(s, 3));
      EXPECT_GT(recorder.bytes.size(), before) << "job " << job;
    }
  });
  EXPECT_NE(recorder.Text().find("Date impression: 01/05/2026"), std::string::npos);
}

TEST_F(SysLogTest, DeleteAsksAndAFailedDeleteKeepsTheList) {
  CSysLog screen;
  Run(screen, [&](ui::TestDriver& s) {
    s.Press(IDC_SYSLOG_DELETE);
    EXPECT_EQ(s.MessageBoxText(), "Are you sure to delete the system log?");
    s.AnswerMessageBox(MessageBoxButtonForAnswer(ui::MB_OKCANCEL, ui::IDCANCEL));
    EXPECT_EQ(screen.Grid().GetRowCount(), 4);
    Sql("drop table SysLog");
    s.Press(IDC_SYSLOG_DELETE);
    s.AnswerMessageBox(MessageBoxButtonForAnswer(ui::MB_OKCANCEL, ui::IDOK));
    while (s.MessageBox()) s.AnswerMessageBox(MessageBoxButtonForAnswer(ui::MB_OK, ui::IDOK));
    EXPECT_EQ(screen.Grid().GetRowCount(), 4);
    EXPECT_EQ(screen.deleted, 0);
    Sql("create table SysLog (Date text, Time text, Event text, Result text)");
    s.Press(IDC_SYSLOG_DELETE);
    s.AnswerMessageBox(MessageBoxButtonForAnswer(ui::MB_OKCANCEL, ui::IDOK));
    EXPECT_EQ(screen.Grid().GetRowCount(), 1);
    EXPECT_EQ(screen.deleted, 1);
    s.Press(IDC_SYSLOG_DELETE);  // nothing more
    EXPECT_EQ(s.MessageBox(), nullptr);
  });
}

// A printing system without queues: the page job goes to the PDF printer, never to a real one.
class NoQueues : public print::Spooler {
 public:
  std::vector<print::PrinterInfo> List() override { return {}; }
  bool SetDefault(const std::string&, std::string*) override { return false; }
  int Submit(const std::string&, const std::string&, const std::string&, const print::SubmitOptions&,
             std::string* error) override {
    if (error) *error = "no queues";
    return 0;
  }
};

TEST_F(SysLogTest, PagePrinterJobEndsAndLeavesItsPages) {
  NoQueues spooler;
  print::SetSpooler(&spooler);
  Sql("update SysSetting set Printer=1");
  CSysLog screen;
  Run(screen, [&](ui::TestDriver& s) {
    EXPECT_EQ(screen.printKind, 1);
    s.Press(IDC_SYSLOG_PRINT);
    ASSERT_TRUE(WaitForJobEnd(s, 1));
  });
  EXPECT_TRUE(recorder.bytes.empty());  // nothing went to the thermal printer
  bool pdf = false;
  std::error_code ec;
  for (const auto& e : std::filesystem::recursive_directory_iterator(Folder(), ec))
    if (e.path().extension() == ".pdf") pdf = true;
  EXPECT_TRUE(pdf) << "no page printer output below " << Folder();
  print::SetSpooler(nullptr);
}

TEST_F(SysLogTest, ScreenshotsInFiveLanguages) {
  for (int lang = 0; lang < 5; ++lang) {
    AppSettings.LanguageIndex = static_cast<uint8_t>(lang);
    CSysLog screen;
    Run(screen, [&](ui::TestDriver&) { Shot(std::string("syslog_") + kLanguageNames[lang]); });
  }
}

}  // namespace
