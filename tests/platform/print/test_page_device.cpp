// Page devices: PDF documents of the right size and pages, device capabilities, the
// 7200-units-per-inch mapping, and where the finished document goes.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>

#include "platform/print/page_device.h"
#include "print_fixture.h"

using namespace print;
using draw::DeviceCap;
using printtest::PrintTest;

namespace {

// Draws `pages` pages each with a line of text, and ends the document.
int PrintPages(PageDevice& dev, const std::string& doc, int pages) {
  if (dev.StartDoc(doc) <= 0) return 0;
  for (int i = 0; i < pages; ++i) {
    dev.StartPage();
    dev.Dc().SelectFont(draw::Font("Arial", -60));
    dev.Dc().TextOut(100, 100, "Page " + std::to_string(i + 1));
    dev.EndPage();
  }
  return dev.EndDoc();
}

// Reads a binary PGM (as pdftoppm -gray writes it).
struct Gray {
  int w = 0, h = 0;
  std::vector<uint8_t> px;
  int At(int x, int y) const { return px[static_cast<size_t>(y) * w + x]; }
};
Gray ReadPgm(const std::string& path) {
  Gray g;
  std::ifstream f(path, std::ios::binary);
  std::string magic;
  int maxv = 0;
  f >> magic >> g.w >> g.h >> maxv;
  f.get();
  g.px.resize(static_cast<size_t>(g.w) * g.h);
  f.read(reinterpret_cast<char*>(g.px.data()), static_cast<std::streamsize>(g.px.size()));
  if (magic != "P5" || !f) g.w = g.h = 0;
  return g;
}

// The value of "Key:" in pdfinfo's output.
std::string Field(const std::string& info, const std::string& key) {
  size_t at = info.find("\n" + key + ":");
  if (at == std::string::npos) at = info.rfind(key + ":", 0) == 0 ? 0 : std::string::npos;
  if (at == std::string::npos) return "(no " + key + ")";
  at = info.find(':', at) + 1;
  while (at < info.size() && info[at] == ' ') ++at;
  size_t end = info.find('\n', at);
  return info.substr(at, end == std::string::npos ? std::string::npos : end - at);
}

}  // namespace

TEST_F(PrintTest, TwoPageDocumentOnThePdfPrinter) {
  PageDevice dev;  // no queues: the PDF printer is the default
  EXPECT_EQ(dev.PrinterName(), kPdfPrinterName);
  ASSERT_GT(PrintPages(dev, "Specimen", 2), 0) << dev.Result().error;
  const JobResult& r = dev.Result();
  EXPECT_TRUE(r.ok);
  EXPECT_FALSE(r.submitted);
  EXPECT_EQ(r.pages, 2);
  EXPECT_EQ(r.pdfPath.rfind(dir_ + "Specimen_", 0), 0u) << r.pdfPath;
  std::string info = Run("pdfinfo '" + r.pdfPath + "' 2>&1");
  EXPECT_EQ(Field(info, "Pages"), "2") << info;
  EXPECT_EQ(Field(info, "Page size"), "595.276 x 841.89 pts (A4)") << info;
  EXPECT_EQ(Field(info, "Title"), "Specimen") << info;
  std::string text = Run("pdftotext '" + r.pdfPath + "' - 2>&1");
  EXPECT_NE(text.find("Page 1"), std::string::npos) << text;
  EXPECT_NE(text.find("Page 2"), std::string::npos) << text;
  // A second job of the same name a moment later gets a file of its own.
  PageDevice again;
  ASSERT_GT(PrintPages(again, "Specimen", 1), 0);
  EXPECT_NE(again.Result().pdfPath, r.pdfPath);
}

TEST_F(PrintTest, PaperSizesAndOrientation) {
  struct Case {
    const char* name;
    DeviceMode mode;
    const char* pdfinfoSize;
    int physicalWidthDots;
  } cases[] = {
      {"A4", {"", kPaperA4}, "595.276 x 841.89 pts", 4961},
      {"A5", {"", kPaperA5}, "419.528 x 595.276 pts", 3496},
      {"Letter", {"", kPaperLetter}, "612 x 792 pts", 5100},
      {"dot-matrix user paper", {"", kPaperUser, 2100, 2790}, "595.276 x 790.866 pts", 4961},
      {"half sheet", {"", kPaperUser, 2100, 1395}, "595.276 x 395.433 pts", 4961},
      {"A4 landscape", {"", kPaperA4, 0, 0, kLandscape}, "841.89 x 595.276 pts", 7016},
      {"nonsense user size is A4", {"", kPaperUser, 0, -5}, "595.276 x 841.89 pts", 4961},
  };
  for (const auto& k : cases) {
    PageDevice dev(k.mode);
    EXPECT_EQ(dev.GetDeviceCaps(DeviceCap::PhysicalWidth), k.physicalWidthDots) << k.name;
    ASSERT_GT(PrintPages(dev, k.name, 1), 0) << k.name << ": " << dev.Result().error;
    std::string info = Run("pdfinfo '" + dev.Result().pdfPath + "' 2>&1");
    EXPECT_EQ(Field(info, "Page size").rfind(k.pdfinfoSize, 0), 0u) << k.name << "\n" << info;
  }
  EXPECT_EQ(MediaName(DeviceMode{"", kPaperUser, 2100, 2790}), "Custom.210x279mm");
  EXPECT_EQ(MediaName(DeviceMode{"", kPaperA5}), "A5");
}

TEST_F(PrintTest, DeviceCapabilitiesOfA4At600Dpi) {
  PageDevice dev;
  EXPECT_EQ(dev.GetDeviceCaps(DeviceCap::LogPixelsX), 600);
  EXPECT_EQ(dev.GetDeviceCaps(DeviceCap::LogPixelsY), 600);
  EXPECT_EQ(dev.GetDeviceCaps(DeviceCap::PhysicalWidth), 4961);
  EXPECT_EQ(dev.GetDeviceCaps(DeviceCap::PhysicalHeight), 7016);
  EXPECT_EQ(dev.GetDeviceCaps(DeviceCap::PhysicalOffsetX), 100);
  EXPECT_EQ(dev.GetDeviceCaps(DeviceCap::PhysicalOffsetY), 100);
  EXPECT_EQ(dev.GetDeviceCaps(DeviceCap::HorzRes), 4761);
  EXPECT_EQ(dev.GetDeviceCaps(DeviceCap::VertRes), 6816);
  EXPECT_EQ(dev.GetDeviceCaps(DeviceCap::HorzSize), 202);  // printable millimetres
  EXPECT_EQ(dev.GetDeviceCaps(DeviceCap::VertSize), 289);
  EXPECT_EQ(dev.GetDeviceCaps(DeviceCap::Technology), 2);
}

TEST_F(PrintTest, InchSquareAt7200UnitsPerInchLandsOnTheRightDots) {
  PageDevice dev;
  draw::DC& dc = dev.Dc();
  // What the report helper does before the document starts: the mapping and a saved state.
  dc.SetMapMode(draw::MapMode::Anisotropic);
  dc.SetWindowExt(12, 12);
  dc.SetViewportExt(1, 1);
  const int saved = dc.SaveDC();
  ASSERT_GT(dev.StartDoc("Square"), 0);
  dev.StartPage();
  dc.FillRect(draw::Rect(7200, 7200, 14400, 14400), draw::Brush::Solid(draw::kBlack));
  dc.SelectPen(draw::Pen::Solid(draw::kBlack, 24));
  dc.MoveTo(0, 21600);
  dc.LineTo(7200, 21600);
  dev.EndPage();
  ASSERT_GT(dev.EndDoc(), 0) << dev.Result().error;
  EXPECT_TRUE(dc.RestoreDC(saved));

  // Rendered at 100 dpi: the printable area starts 100 dots (1/6 inch) into the sheet, the
  // square one inch further and one inch wide.
  const std::string png = dir_ + "square";
  Run("pdftoppm -r 100 -gray -singlefile '" + dev.Result().pdfPath + "' '" + png + "'");
  Gray g = ReadPgm(png + ".pgm");
  ASSERT_EQ(g.w, 827);
  ASSERT_EQ(g.h, 1170);
  const double start = 100.0 / 6 + 100;  // 116.7
  EXPECT_LT(g.At(static_cast<int>(start) + 2, static_cast<int>(start) + 2), 64);
  EXPECT_LT(g.At(static_cast<int>(start + 100) - 2, static_cast<int>(start + 100) - 2), 64);
  EXPECT_GT(g.At(static_cast<int>(start) - 2, static_cast<int>(start) + 50), 192);
  EXPECT_GT(g.At(static_cast<int>(start + 100) + 2, static_cast<int>(start) + 50), 192);
  EXPECT_GT(g.At(static_cast<int>(start) + 50, static_cast<int>(start) - 2), 192);
  // The line 3 inches down, from the printable area's left edge for an inch.
  const int lineY = static_cast<int>(100.0 / 6 + 300);
  int dark = 0;
  for (int dy = -2; dy <= 2; ++dy) dark += g.At(60, lineY + dy) < 128;
  EXPECT_GE(dark, 1);
  EXPECT_GT(g.At(140, lineY), 192);
}

TEST_F(PrintTest, JobsGoToTheDefaultQueue) {
  spooler_.queues = {{"Laser", "Office laser", "", true, false}, {"Epson LX-300+", "", "", false, false}};
  DeviceMode mode;
  mode.paperSize = kPaperUser;
  mode.paperWidth = 2100;
  mode.paperLength = 2790;
  mode.copies = 2;
  PageDevice dev(mode);
  EXPECT_EQ(dev.PrinterName(), "Laser");
  int id = PrintPages(dev, "Specimen", 1);
  EXPECT_EQ(id, 42);
  const JobResult& r = dev.Result();
  EXPECT_TRUE(r.ok && r.submitted);
  EXPECT_EQ(r.jobId, 42);
  EXPECT_TRUE(r.pdfPath.empty());  // the spool copy is removed once the queue has it
  ASSERT_EQ(spooler_.jobs.size(), 1u);
  EXPECT_EQ(spooler_.jobs[0].printer, "Laser");
  EXPECT_EQ(spooler_.jobs[0].title, "Specimen");
  EXPECT_EQ(spooler_.jobs[0].media, "Custom.210x279mm");
  EXPECT_EQ(spooler_.jobs[0].copies, 2);
  EXPECT_TRUE(spooler_.jobs[0].fileExisted);
  EXPECT_NE(access(spooler_.jobs[0].path.c_str(), F_OK), 0);
}

TEST_F(PrintTest, RefusedJobIsKeptAndReported) {
  spooler_.queues = {{"Laser", "", "", true, false}};
  spooler_.refuse = true;
  PageDevice dev;
  EXPECT_EQ(PrintPages(dev, "Specimen", 1), 0);
  const JobResult& r = dev.Result();
  EXPECT_FALSE(r.ok);
  EXPECT_NE(r.error.find("printer is offline"), std::string::npos) << r.error;
  ASSERT_FALSE(r.pdfPath.empty());
  EXPECT_EQ(access(r.pdfPath.c_str(), R_OK), 0);  // nothing lost
}

TEST_F(PrintTest, DocumentAndPageOrderIsChecked) {
  PageDevice dev;
  EXPECT_EQ(dev.StartPage(), 0);
  EXPECT_EQ(dev.EndPage(), 0);
  EXPECT_EQ(dev.EndDoc(), 0);
  ASSERT_GT(dev.StartDoc("Empty"), 0);
  EXPECT_EQ(dev.StartDoc("Twice"), 0);
  EXPECT_EQ(dev.EndDoc(), 0);  // no pages: nothing is printed, and it says so
  EXPECT_FALSE(dev.Result().error.empty());
  EXPECT_TRUE(dev.Result().pdfPath.empty());
  ASSERT_GT(dev.StartDoc("Aborted"), 0);
  dev.StartPage();
  dev.Dc().TextOut(0, 0, "x");
  EXPECT_GT(dev.AbortDoc(), 0);
  EXPECT_FALSE(dev.Result().ok);
  // An open page is ended by EndDoc; the device can be used again after a failure.
  ASSERT_GT(dev.StartDoc("Open page"), 0);
  dev.StartPage();
  EXPECT_GT(dev.EndDoc(), 0);
  EXPECT_EQ(dev.Result().pages, 1);
  std::string ls = Run("ls '" + dir_ + "'");
  EXPECT_EQ(ls.find("Aborted"), std::string::npos) << ls;
  EXPECT_EQ(ls.find("Empty"), std::string::npos) << ls;
}

TEST_F(PrintTest, UnsafeDocumentNamesMakeSafeFileNames) {
  PageDevice dev;
  ASSERT_GT(PrintPages(dev, "../../etc/x y", 1), 0);
  const std::string& p = dev.Result().pdfPath;
  EXPECT_EQ(p.rfind(dir_, 0), 0u) << p;
  EXPECT_EQ(p.find('/', dir_.size()), std::string::npos) << p;
  PageDevice cn;
  ASSERT_GT(PrintPages(cn, "样本报告", 1), 0);
  EXPECT_NE(cn.Result().pdfPath.find("样本报告_"), std::string::npos);
}

TEST_F(PrintTest, PrinterListAndDefault) {
  // No queues at all: only the PDF printer, and it is the default.
  auto list = ListPrinters();
  ASSERT_EQ(list.size(), 1u);
  EXPECT_TRUE(list[0].pdf && list[0].isDefault);
  EXPECT_EQ(DefaultPrinterName(), kPdfPrinterName);
  EXPECT_EQ(DefaultDeviceEntry(), std::string(kPdfPrinterName) + ",PDF,PrintOut");

  spooler_.queues = {{"Laser", "", "", false, false}, {"Inkjet", "", "", true, false}};
  EXPECT_EQ(DefaultPrinterName(), "Inkjet");
  std::string err;
  EXPECT_FALSE(SetDefaultPrinter("No such printer", &err));
  EXPECT_FALSE(err.empty());
  EXPECT_FALSE(SetDefaultPrinter("", &err));
  ASSERT_TRUE(SetDefaultPrinter("Laser", &err)) << err;
  EXPECT_EQ(DefaultPrinterName(), "Laser");
  EXPECT_TRUE(spooler_.queues[0].isDefault);
  ASSERT_TRUE(SetDefaultPrinter(kPdfPrinterName, &err));
  EXPECT_EQ(DefaultPrinterName(), kPdfPrinterName);
  list = ListPrinters();
  ASSERT_EQ(list.size(), 3u);
  EXPECT_EQ(list[2].name, kPdfPrinterName);
  EXPECT_TRUE(list[2].isDefault);
  EXPECT_FALSE(list[0].isDefault || list[1].isDefault);
  // A chosen queue that disappears gives way to the system's default.
  ASSERT_TRUE(SetDefaultPrinter("Laser", &err));
  spooler_.queues.erase(spooler_.queues.begin());
  spooler_.queues[0].isDefault = true;
  EXPECT_EQ(DefaultPrinterName(), "Inkjet");
}

TEST_F(PrintTest, RealPrintingSystemWithoutServerStillHasThePdfPrinter) {
  print::SetSpooler(nullptr);
  setenv("CUPS_SERVER", "/nonexistent/cups.sock", 1);
  auto list = ListPrinters();
  unsetenv("CUPS_SERVER");
  ASSERT_FALSE(list.empty());
  EXPECT_EQ(list.back().name, kPdfPrinterName);
}
