// The Windows-printer helper: 7200 units per inch on any resolution, page size, fonts in
// points, printer administration, and a real two-page job.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/print/printers.h"
#include "printing/r_print_helper.h"

namespace {

TEST(PrintMappingTest, SevenThousandTwoHundredUnitsPerInchOnEveryAxis) {
  struct Case {
    int dpiX, dpiY;
    int winX, winY, vpX, vpY;
  } cases[] = {
      {600, 600, 12, 12, 1, 1},    {7200, 7200, 1, 1, 1, 1},  {360, 180, 20, 40, 1, 1},
      {300, 300, 24, 24, 1, 1},    {96, 96, 75, 75, 1, 1},    {1000, 1000, 36, 36, 5, 5},
      {14400, 14400, 1, 1, 2, 2},  {203, 203, 7200, 7200, 203, 203},
  };
  for (const Case& c : cases) {
    PrintMapping m;
    ASSERT_TRUE(ComputePrintMapping(c.dpiX, c.dpiY, &m)) << c.dpiX << "x" << c.dpiY;
    EXPECT_EQ(m.windowExtX, c.winX) << c.dpiX;
    EXPECT_EQ(m.windowExtY, c.winY) << c.dpiY;
    EXPECT_EQ(m.viewportExtX, c.vpX) << c.dpiX;
    EXPECT_EQ(m.viewportExtY, c.vpY) << c.dpiY;
    // One inch of logical units is exactly dpi device pixels.
    EXPECT_EQ(7200 * m.viewportExtX % m.windowExtX, 0);
    EXPECT_EQ(7200 * m.viewportExtX / m.windowExtX, c.dpiX);
    EXPECT_EQ(7200 * m.viewportExtY / m.windowExtY, c.dpiY);
    EXPECT_DOUBLE_EQ(m.xScale, static_cast<double>(c.winX) / c.vpX);
    EXPECT_DOUBLE_EQ(m.yScale, static_cast<double>(c.winY) / c.vpY);
  }
  PrintMapping m;
  EXPECT_FALSE(ComputePrintMapping(0, 600, &m));
  EXPECT_FALSE(ComputePrintMapping(600, -1, &m));
  EXPECT_EQ(m.windowExtX, 1);
  EXPECT_EQ(GreatestCommonDivisor(0, 7200), 7200);
  EXPECT_EQ(GreatestCommonDivisor(600, 7200), 600);
  EXPECT_EQ(GreatestCommonDivisor(7200, 0), 7200);
}

// A printing system with the queues a test wants.
class FakeSpooler : public print::Spooler {
 public:
  std::vector<print::PrinterInfo> queues;
  std::vector<std::string> submitted;
  std::vector<print::PrinterInfo> List() override { return queues; }
  bool SetDefault(const std::string& name, std::string* error) override {
    for (auto& q : queues) q.isDefault = q.name == name;
    return true;
  }
  int Submit(const std::string& printer, const std::string& pdfPath, const std::string&, const print::SubmitOptions&,
             std::string*) override {
    submitted.push_back(printer + " " + pdfPath);
    return 7;
  }
};

class PrintHelperTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = ::testing::TempDir() + "quorvex_print_helper_" + std::to_string(::getpid()) + "/";
    std::filesystem::remove_all(dir_);
    ::setenv("QUORVEX_PRINT_DIR", dir_.c_str(), 1);
    print::SetSpooler(&spooler_);
  }
  void TearDown() override {
    print::SetSpooler(nullptr);
    ::unsetenv("QUORVEX_PRINT_DIR");
    std::filesystem::remove_all(dir_);
  }
  print::DeviceMode A4(int dpi = 600) {
    print::DeviceMode m;
    m.dpi = dpi;
    return m;
  }
  FakeSpooler spooler_;
  std::string dir_;
};

TEST_F(PrintHelperTest, MapsLogicalUnitsToTheDevice) {
  for (int dpi : {600, 300, 360}) {
    RPrintHelper helper(A4(dpi));
    draw::DC* dc = helper.GetDC();
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(dc->GetMapMode(), draw::MapMode::Anisotropic);
    const draw::Point inch = dc->LPtoDP(draw::Point(7200, 14400));
    const draw::Point origin = dc->LPtoDP(draw::Point(0, 0));
    EXPECT_EQ(inch.x - origin.x, dpi) << dpi;
    EXPECT_EQ(inch.y - origin.y, 2 * dpi) << dpi;
    EXPECT_DOUBLE_EQ(helper.XScale(), 7200.0 / dpi);
  }
}

TEST_F(PrintHelperTest, PageSizeInLogicalUnits) {
  // A4 at 600 dpi with the device's 100-dot edges: 4761 x 6816 dots, 202 x 289 mm.
  RPrintHelper helper(A4());
  EXPECT_EQ(helper.GetPageWidth(), 57259);
  EXPECT_EQ(helper.GetPageHeight(), 81921);
  print::DeviceMode a5 = A4();
  a5.paperSize = print::kPaperA5;
  a5.orientation = print::kLandscape;
  RPrintHelper landscape(a5);
  EXPECT_GT(landscape.GetPageWidth(), landscape.GetPageHeight());
}

TEST_F(PrintHelperTest, FontsInPoints) {
  RPrintHelper helper(A4());
  draw::Font f = helper.CreatePrintFont(10, "Arial", 700);
  EXPECT_EQ(f.height, -1000);
  EXPECT_EQ(f.weight, 700);
  EXPECT_EQ(f.face, "Arial");
  EXPECT_FALSE(f.italic || f.underline || f.strikeOut);
  EXPECT_EQ(helper.CreatePrintFont(12, "Arial", -1).weight, 400);

  draw::DC* dc = helper.GetDC();
  dc->SelectFont(draw::Font("Times New Roman", -500));
  EXPECT_EQ(helper.CreatePrintFont(9, "", 400).face, "Times New Roman") << "empty face keeps the DC's face";

  // A 10-point font really is 10 points: its character height is about 1000 units.
  dc->SelectFont(f);
  const draw::TextMetrics tm = dc->GetTextMetrics();
  EXPECT_NEAR(tm.height - tm.internalLeading, 1000, 60);
}

TEST_F(PrintHelperTest, PrinterAdministration) {
  spooler_.queues = {{"Lab_Laser", "HP", "Room 2", true, false}, {"Ward_Inkjet", "", "", false, false}};
  RPrintHelper helper(A4());
  std::vector<print::PrinterInfo> list;
  EXPECT_EQ(helper.EnumLocalPrinters(&list), 3) << "the two queues and the PDF printer";
  ASSERT_EQ(list.size(), 3u);
  EXPECT_EQ(list[0].name, "Lab_Laser");
  EXPECT_EQ(helper.EnumLocalPrinters(nullptr), 0);

  // The name only fits a buffer longer than it; the size needed is reported either way.
  char buf[64];
  int size = 9;  // "Lab_Laser" has 9 bytes: no room for the terminating zero
  EXPECT_EQ(helper.GetDefaultPrinterName(buf, &size), 0);
  EXPECT_EQ(size, 10);
  EXPECT_EQ(helper.GetDefaultPrinterName(buf, &size), 1);
  EXPECT_STREQ(buf, "Lab_Laser");
  EXPECT_EQ(size, 10);
  size = 5;
  EXPECT_EQ(helper.GetDefaultPrinterName(nullptr, &size), 0);
  EXPECT_EQ(size, 10);

  EXPECT_EQ(helper.SetDefaultPrinter(nullptr), 0);
  EXPECT_EQ(helper.SetDefaultPrinter("No_Such_Printer"), 0);
  EXPECT_EQ(helper.GetDefaultPrinterName(), "Lab_Laser");
  EXPECT_EQ(helper.SetDefaultPrinter("Ward_Inkjet"), 1);
  EXPECT_EQ(helper.GetDefaultPrinterName(), "Ward_Inkjet");
  EXPECT_EQ(helper.SetDefaultPrinter(print::kPdfPrinterName), 1);
}

std::string ReadFile(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::stringstream s;
  s << f.rdbuf();
  return s.str();
}

std::string PdfText(const std::string& pdf, int page) {
  const std::string cmd = "pdftotext -q -f " + std::to_string(page) + " -l " + std::to_string(page) + " '" + pdf + "' - 2>/dev/null";
  FILE* p = ::popen(cmd.c_str(), "r");
  if (!p) return "";
  std::string out;
  char buf[512];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
  ::pclose(p);
  return out;
}

TEST_F(PrintHelperTest, ATwoPageJobWithoutAPrinterBecomesAPdf) {
  // No queue: the default printer is the PDF printer.
  RPrintHelper helper;
  ASSERT_NE(helper.GetDC(), nullptr);
  EXPECT_EQ(helper.GetDefaultPrinterName(), print::kPdfPrinterName);
  print::PageDevice* dev = helper.Device();
  ASSERT_GT(dev->StartDoc("Sample report"), 0);
  draw::DC* dc = helper.GetDC();
  const int pageWidth = helper.GetPageWidth();
  for (const char* text : {"First page 12", "Second page 34"}) {
    ASSERT_GT(dev->StartPage(), 0);
    dc->SelectFont(helper.CreatePrintFont(12, "Arial", 700));
    dc->TextOut(pageWidth / 10, 7200, text);
    dc->MoveTo(0, 9000);
    dc->LineTo(pageWidth, 9000);
    ASSERT_GT(dev->EndPage(), 0);
  }
  ASSERT_GT(dev->EndDoc(), 0) << dev->Result().error;
  const print::JobResult& r = dev->Result();
  EXPECT_TRUE(r.ok);
  EXPECT_FALSE(r.submitted);
  EXPECT_EQ(r.pages, 2);
  ASSERT_FALSE(r.pdfPath.empty());
  EXPECT_EQ(r.pdfPath.rfind(dir_, 0), 0u) << r.pdfPath;
  const std::string pdf = ReadFile(r.pdfPath);
  EXPECT_EQ(pdf.rfind("%PDF", 0), 0u);
  EXPECT_NE(pdf.find("/Count 2"), std::string::npos);
  if (std::system("command -v pdftotext >/dev/null 2>&1") == 0) {
    EXPECT_NE(PdfText(r.pdfPath, 1).find("First page 12"), std::string::npos);
    EXPECT_NE(PdfText(r.pdfPath, 2).find("Second page 34"), std::string::npos);
  }
}

TEST_F(PrintHelperTest, AJobOnAQueueIsSubmitted) {
  spooler_.queues = {{"Lab_Laser", "", "", true, false}};
  RPrintHelper helper;
  print::PageDevice* dev = helper.Device();
  ASSERT_GT(dev->StartDoc("QC chart"), 0);
  dev->StartPage();
  helper.GetDC()->TextOut(720, 720, "x");
  dev->EndPage();
  EXPECT_EQ(dev->EndDoc(), 7);
  ASSERT_EQ(spooler_.submitted.size(), 1u);
  EXPECT_EQ(spooler_.submitted[0].rfind("Lab_Laser ", 0), 0u);
}

}  // namespace
