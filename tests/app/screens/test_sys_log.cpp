#include <gtest/gtest.h>

#include <condition_variable>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <optional>

#include "app/screens/sys_log_print.h"
#include "app/screens/sys_log_screen.h"
#include "controls/message_box_dlg.h"
#include "platform/ui/keys.h"
#include "platform/ui/message_box.h"
#include "platform/print/device_mode.h"
#include "platform/print/printers.h"
#include "tests/support/one_queue.h"
#include "printing/thermal_printer.h"
#include "screen_fixture.h"
#include "tools/printersim/paper.h"
#include "tools/printersim/printer.h"
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

// A Chinese character goes to the printer as a downloaded 16-dot glyph, 18 dots with the
// report's spacing of 2, against 10 for a plain one; the head is 384 dots wide. A log line
// with Chinese text that runs past the head is cut where it still fits, and its parts are
// sent last first, so the strip reads the line in order and the printer never wraps it.
TEST_F(SysLogTest, ChineseRowsAreCutToTheHeadAndReadInOrder) {
  AppSettings.LanguageIndex = 0;
  const std::vector<SysLogRow> rows = {
      {"2026-1-6", "09:00:00", "开机 Startup", "试剂不足 reagent low 请更换稀释液 now"},
      {"2026-1-6", "09:30:00", "关机", "正常"},
  };
  std::atomic<uint8_t> cancel{0};
  PrintSysLogTextJob(rows, 0, {2026, 1, 6, 10, 0, 0}, cancel);
  printersim::Paper paper;
  printersim::Printer printer(&paper);
  printer.EnableLog(true);
  printer.Feed(std::string(recorder.bytes.begin(), recorder.bytes.end()));
  // The printed lines, top of the strip first; a glyph shows as "[gNN]", here as '#'.
  std::vector<std::string> lines;
  for (const std::string& l : printer.Log()) {
    if (l.rfind("TEXT ", 0) != 0) continue;
    std::string t;
    for (size_t i = 5; i < l.size(); ++i) {
      if (l.compare(i, 2, "[g") == 0) {
        t += '#';
        i = l.find(']', i);
      } else {
        t += l[i];
      }
    }
    lines.insert(lines.begin(), t);
  }
  // Every character of the row, in order, between its date line and the next row's.
  auto squeeze = [](const std::string& t) {
    std::string out;
    for (char c : t)
      if (c != ' ') out += c;
    return out;
  };
  std::string joined;
  bool inRow = false;
  for (const std::string& t : lines) {
    if (t.rfind("2026-1-6", 0) == 0) {
      if (inRow) break;
      inRow = t.find("09:00:00") != std::string::npos;
      continue;
    }
    if (inRow) joined += squeeze(t);
  }
  EXPECT_EQ(joined, "##Startup####reagentlow######now");
  // The padded event takes 2 x 18 + 17 x 10 = 206 dots, "试剂不足" 72 more, " reagent l" 100:
  // 378; the "o" would end at 388, past the head, so the second printed line starts there.
  bool cutAfterL = false;
  for (const std::string& t : lines) cutAfterL |= t == "ow ###### now";
  EXPECT_TRUE(cutAfterL) << ::testing::PrintToString(lines);
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

TEST_F(SysLogTest, NoKeyOrTapBlanksOrEditsALogRow) {
  CSysLog screen;
  std::string printed;
  Run(screen, [&](ui::TestDriver& s) {
    CGridCtrl& g = screen.Grid();
    draw::Point p;
    s.RunUntil([&] {
      draw::Rect r;
      if (!g.ComputeCellRect(2, 2, &r)) return false;
      p = g.ClientToScreen(draw::Point((r.left + r.right) / 2, (r.top + r.bottom) / 2));
      return true;
    });
    s.ClickAt(p);
    ASSERT_TRUE(g.IsCellSelected(2, 2));
    s.Key(ui::VK_DELETE);
    s.Key('X', false, true);  // cut
    s.Type("x");
    s.Key(ui::VK_F2);
    s.DoubleClickAt(p);
    s.Type("y");
    for (int r = 1; r <= 3; ++r) {
      const SysLogRow& want = kRows[static_cast<size_t>(r - 1)];
      EXPECT_EQ(g.GetItemText(r, 0), want.date);
      EXPECT_EQ(g.GetItemText(r, 1), want.time);
      EXPECT_EQ(g.GetItemText(r, 2), want.event);
      EXPECT_EQ(g.GetItemText(r, 3), want.result);
    }
    s.Press(IDC_SYSLOG_PRINT);
    ASSERT_TRUE(WaitForJobEnd(s, 1));
  });
  EXPECT_NE(recorder.Text().find("Shut down          Shutdown OK"), std::string::npos);
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

// The grid's font follows the system's language, not the screen's: a Chinese system gets
// "宋体" 14 x scale (Arial 16 x scale on the old platform), Ukrainian Arial 15 x scale anywhere;
// otherwise the screens' own font, Arial 16 x scale (the grid's own font made rows too small to
// read).
TEST_F(SysLogTest, GridFontFollowsTheSystemLanguageAndUkrainian) {
  const char* savedEnv = std::getenv("LC_ALL");
  const std::string saved = savedEnv ? savedEnv : "";
  CGridCtrl fresh;
  const draw::Font own = *fresh.GetDefaultCell(false, false)->GetFont();
  auto font = [](const char* face, int height, int weight, int charset) {
    draw::Font f(face, height, weight);
    f.charset = charset;
    return f;
  };
  const struct {
    int language;
    const char* system;
    uint8_t platform;
    std::optional<draw::Font> want;  // none: the grid's own font
  } cases[] = {
      {4, "en_US.UTF-8", 1, font("Arial", 18, 400, 1)},  // 15 x 1.25 = 18.75
      {4, "zh_CN.UTF-8", 1, font("Arial", 18, 400, 1)},
      {0, "zh_CN.UTF-8", 1, font("宋体", 17, 0, 0)},     // 14 x 1.25 = 17.5
      {1, "zh_CN.UTF-8", 0, font("Arial", 20, 0, 0)},    // 16 x 1.25
      {0, "en_US.UTF-8", 1, font("Arial", 20, 400, 0)},  // 16 x 1.25
      {1, "en_US.UTF-8", 1, font("Arial", 20, 400, 0)},
  };
  for (const auto& c : cases) {
    setenv("LC_ALL", c.system, 1);
    AppSettings.LanguageIndex = static_cast<uint8_t>(c.language);
    AppSettings.PlatformFlag = c.platform;
    CSysLog screen;
    Run(screen, [&](ui::TestDriver&) {
      const draw::Font* f = screen.Grid().GetDefaultCell(false, false)->GetFont();
      ASSERT_NE(f, nullptr);
      EXPECT_EQ(*f, c.want ? *c.want : own) << c.language << " " << c.system << " " << int(c.platform) << ": "
                                            << f->face << " " << f->height << " " << f->weight;
    });
  }
  if (savedEnv) setenv("LC_ALL", saved.c_str(), 1);
  else unsetenv("LC_ALL");
}


// The log's page print-out knows four dot-matrix printers by their exact names and gives them
// the continuous paper; any other name, another letter case included, keeps the usual sheet.
TEST_F(SysLogTest, DotMatrixPrintersNamedExactlyGetTheContinuousPaper) {
  const struct {
    const char* printer;
    const char* media;
  } cases[] = {{"Epson LX-300+", "Custom.210x279mm"},
               {"Jolimark LQ-300KII", "Custom.210x279mm"},
               {"Panasonic KX-P1121", "Custom.210x279mm"},
               {"EPSON LQ-300+II ESC/P2", "Custom.210x279mm"},
               {"EPSON LX-300+", "A4"},
               {"Epson LQ-300K+II", "A4"},
               {"Office Laser", "A4"}};
  for (const auto& c : cases) {
    print::SetApplicationDeviceMode(print::DeviceMode{});
    OneQueue queue(c.printer);
    print::SetSpooler(&queue);
    std::atomic<uint8_t> cancel{0};
    EXPECT_TRUE(PrintSysLogGraphicsJob(kRows, 1, {2026, 1, 5, 8, 0, 0}, cancel)) << c.printer;
    print::SetSpooler(nullptr);
    EXPECT_EQ(queue.media, std::vector<std::string>{c.media}) << c.printer;
  }
  print::SetApplicationDeviceMode(print::DeviceMode{});
}

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
