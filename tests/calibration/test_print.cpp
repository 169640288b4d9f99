// The calibration print-outs: the thermal lines foot first (the blood type last, the long
// pre-diluted name over two lines), the bytes sent to the thermal printer, and the page
// print-out as a PDF on the PDF printer.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "calibration/calibration_print.h"
#include "core/app_settings.h"
#include "platform/print/device_mode.h"
#include "platform/print/printers.h"
#include "tests/support/one_queue.h"
#include "printing/thermal_printer.h"
#include "tests/support/program_folder.h"

using namespace calibration;

namespace {

CalibrationPrintout Engineer(int bloodType, int language) {
  CalibrationPrintout p;
  p.bloodType = bloodType;
  p.language = language;
  p.now = sys::LocalTime{2026, 3, 7, 9, 30, 0, 0, 6};
  p.values = {"1.02", "0.98", "1.00", "1.10", "0.95", "1.00"};
  p.dates = {"2026-03-01", "2026-03-02", "2026-03-03", "2026-03-04", "2026-03-05", "2026-03-06"};
  return p;
}

TEST(CalibrationThermal, LinesFootFirst) {
  const std::vector<std::string> l = ThermalLines(Engineer(0, 1));
  const std::vector<std::string> expect = {
      " ",
      "Print date: 03/07/2026",
      "MPV     1.00             2026-03-06    ",
      "PLT     0.95             2026-03-05    ",
      "MCV     1.10             2026-03-04    ",
      "HGB     1.00             2026-03-03    ",
      "RBC     0.98             2026-03-02    ",
      "WBC     1.02             2026-03-01    ",
      "",
      "Item    Current coef.    Calib.Date",
      "",
      "Sample Type: Whole blood",
  };
  EXPECT_EQ(l, expect);
}

TEST(CalibrationThermal, BloodTypeLinesByLanguageAndScreen) {
  struct Case {
    int bloodType, language;
    bool percents;
    std::vector<std::string> last;  // the lines after the second separator
  } cases[] = {
      {2, 1, false, {"blood", "Sample Type: Pre-diluted peripheral"}},
      {2, 2, false, {"Pre-diluida", "Tipo de muestra: Sangre periférica"}},
      {2, 3, true, {"pre dilue", "Type: Sang périphérique"}},
      {2, 0, false, {"样本类型: 预稀释末梢血"}},
      {1, 4, false, {"Периферична кров", "Тип зразку:"}},
      {1, 1, true, {"Type: Peripheral blood"}},
  };
  for (const Case& c : cases) {
    CalibrationPrintout p = Engineer(c.bloodType, c.language);
    p.percents = c.percents;
    const std::vector<std::string> l = ThermalLines(p);
    const size_t sep = 4 + p.values.size();  // blank, date, items, separator, head, separator
    ASSERT_GT(l.size(), sep);
    EXPECT_EQ(std::vector<std::string>(l.begin() + static_cast<long>(sep + 1), l.end()), c.last)
        << c.bloodType << "/" << c.language;
  }
}

TEST(CalibrationThermal, PercentHeadAndLongValues) {
  CalibrationPrintout p = Engineer(1, 1);
  p.percents = true;
  p.values = {"100.00", "123456789012345678", "98.50", "100.00", "110.00"};
  p.dates.resize(5);
  const std::vector<std::string> l = ThermalLines(p);
  ASSERT_EQ(l.size(), 11u);
  EXPECT_EQ(l[8], "Item    Current coef.(%) Calib.Date");
  // A value longer than its field is printed whole and pushes the date along.
  EXPECT_EQ(l[5], "RBC     1234567890123456782026-03-02    ");
  EXPECT_EQ(l[2], "PLT     110.00           2026-03-05    ");
}

class Recorder : public ThermalOutput {
 public:
  size_t Send(const uint8_t* data, size_t len, int, bool* timedOut) override {
    bytes.append(reinterpret_cast<const char*>(data), len);
    if (timedOut) *timedOut = false;
    return len;
  }
  std::string bytes;
};

TEST(CalibrationThermal, BytesSent) {
  Recorder r;
  PrinterSetOutput(&r);
  PrintThermal(Engineer(0, 1));
  PrinterSetOutput(nullptr);
  const std::string& raw = r.bytes;
  ASSERT_GE(raw.size(), 10u);
  EXPECT_EQ(raw.substr(0, 3), std::string("\x1bU\x01", 3));
  EXPECT_EQ(raw.substr(3, 3), std::string("\x1b \x02", 3));
  EXPECT_EQ(raw.substr(raw.size() - 6), std::string("\x1bJ\x7d\x1bU\x00", 6));
  // The characters, without the double-width switches around each of them.
  std::string b;
  for (size_t i = 0; i < raw.size(); ++i) {
    if (i + 2 < raw.size() && raw[i] == 0x1B && raw[i + 1] == 'w' && static_cast<uint8_t>(raw[i + 2]) <= 1) {
      i += 2;
      continue;
    }
    b += raw[i];
  }
  // The lines go out in their order: the date before the items, WBC last of them, the blood
  // type last of all.
  const size_t date = b.find("03/07/2026"), mpv = b.find("MPV"), wbc = b.find("WBC"), type = b.find("Whole blood");
  ASSERT_NE(date, std::string::npos);
  ASSERT_NE(type, std::string::npos);
  EXPECT_LT(date, mpv);
  EXPECT_LT(mpv, wbc);
  EXPECT_LT(wbc, b.find("Calib.Date"));
  EXPECT_LT(b.find("Calib.Date"), type);
}

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

TEST(CalibrationPage, PdfHoldsTypeDateHeadsAndRows) {
  support::ScratchProgramFolder folder("quorvex_calprint", false);
  const AppSettingsValues saved = AppSettings;
  AppSettings.ProgramFolder = folder.folder();
  NoQueues spooler;
  print::SetSpooler(&spooler);
  CalibrationPrintout p = Engineer(1, 1);
  p.percents = true;
  p.values.resize(5);
  p.dates.resize(5);
  const bool printed = PrintPage(p);
  print::SetSpooler(nullptr);
  AppSettings = saved;
  ASSERT_TRUE(printed);
  std::string pdf;
  std::error_code ec;
  for (const auto& e : std::filesystem::recursive_directory_iterator(folder.path(), ec))
    if (e.path().extension() == ".pdf") pdf = e.path().string();
  ASSERT_FALSE(pdf.empty());
  if (std::system("command -v pdftotext >/dev/null 2>&1") != 0) GTEST_SKIP() << "pdftotext is not installed";
  ASSERT_EQ(std::system(("pdftotext -layout '" + pdf + "' '" + pdf + ".txt'").c_str()), 0);
  const std::string t = support::FileBytes(pdf + ".txt");
  for (const char* s : {"Type: Peripheral blood", "Print date: 03/07/2026", "Item", "Current coef.(%)", "Calib.Date",
                        "WBC", "PLT", "0.95", "2026-03-05"})
    EXPECT_NE(t.find(s), std::string::npos) << s << "\n" << t;
  EXPECT_EQ(t.find("MPV"), std::string::npos);
}

}  // namespace

namespace {


TEST(CalibrationPage, DotMatrixPrintersTakeTheContinuousPaper) {
  struct Case {
    const char* printer;
    bool percents;
    const char* media;
  } cases[] = {{"EPSON LX-300+", false, "Custom.210x279mm"},
               {"epson lq-300+ii esc/p2", false, "Custom.210x279mm"},
               {"Office Laser", false, "A4"},
               {"Epson LX-300+", true, "A4"}};  // the percent print-out leaves the paper alone
  support::ScratchProgramFolder folder("quorvex_calpaper", false);
  const AppSettingsValues saved = AppSettings;
  AppSettings.ProgramFolder = folder.folder();
  for (const Case& c : cases) {
    print::SetApplicationDeviceMode(print::DeviceMode{});
    OneQueue queue(c.printer);
    print::SetSpooler(&queue);
    CalibrationPrintout p = Engineer(0, 1);
    p.percents = c.percents;
    EXPECT_TRUE(PrintPage(p)) << c.printer;
    print::SetSpooler(nullptr);
    EXPECT_EQ(queue.media, std::vector<std::string>{c.media}) << c.printer;
  }
  print::SetApplicationDeviceMode(print::DeviceMode{});
  AppSettings = saved;
}

}  // namespace
