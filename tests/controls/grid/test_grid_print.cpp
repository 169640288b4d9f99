// Printing a grid on the page device: the page set-up, the pages down and across, the
// fixed rows and columns repeated on every page, the header and footer, the margins.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "core/look.h"
#include "platform/print/page_device.h"
#include "platform/print/printers.h"
#include "tests/controls/grid/grid_window_fixture.h"

namespace {

struct NoQueues : print::Spooler {
  std::vector<print::PrinterInfo> List() override { return {}; }
  bool SetDefault(const std::string&, std::string*) override { return false; }
  int Submit(const std::string&, const std::string&, const std::string&, const print::SubmitOptions&,
             std::string* error) override {
    *error = "no queue";
    return 0;
  }
};

std::string PdfText(const std::string& path, int page) {
  const std::string cmd = "pdftotext -layout -f " + std::to_string(page) + " -l " + std::to_string(page) + " '" +
                          path + "' - 2>/dev/null";
  std::string out;
  if (FILE* p = popen(cmd.c_str(), "r")) {
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    pclose(p);
  }
  return out;
}

}  // namespace

class GridPrintTest : public GridWindowTest {
 protected:
  void SetUp() override {
    GridWindowTest::SetUp();
    dir_ = std::filesystem::temp_directory_path() / ("quorvex_grid_print_" + std::to_string(getpid()));
    std::filesystem::create_directories(dir_);
    setenv("QUORVEX_PRINT_DIR", (dir_.string() + "/").c_str(), 1);
    print::SetSpooler(&spooler_);
    host->SetWindowText("Results");
  }
  void TearDown() override {
    print::SetSpooler(nullptr);
    unsetenv("QUORVEX_PRINT_DIR");
    if (!getenv("QUORVEX_KEEP_GRID_PRINT")) std::filesystem::remove_all(dir_);
    GridWindowTest::TearDown();
  }
  print::DeviceMode Mode() const {
    print::DeviceMode m;
    m.printer = print::kPdfPrinterName;
    return m;
  }
  std::filesystem::path dir_;
  NoQueues spooler_;
};

TEST_F(GridPrintTest, MarginsAreSetTogetherAndMinusOneKeepsAValue) {
  int v[7];
  grid->GetPrintMargins(&v[0], &v[1], &v[2], &v[3], &v[4], &v[5], &v[6]);
  EXPECT_EQ(std::vector<int>(v, v + 7), (std::vector<int>{2, 2, 4, 4, 1, 1, 1}));
  grid->SetPrintMargins(-1, 3, -1, -1, -1, -1, -1);
  grid->GetPrintMargins(&v[0], &v[1], &v[2], &v[3], &v[4], &v[5], &v[6]);
  EXPECT_EQ(std::vector<int>(v, v + 7), (std::vector<int>{2, 3, 4, 4, 1, 1, 1}));
}

TEST_F(GridPrintTest, ShortGridPrintsOnOnePageWithHeaderAndFooter) {
  print::PageDevice dev(Mode());
  ASSERT_TRUE(grid->Print(&dev));
  EXPECT_EQ(grid->GetPrintPageCount(), 1);
  EXPECT_EQ(dev.Result().pages, 1);
  const std::string text = PdfText(dev.Result().pdfPath, 1);
  EXPECT_NE(text.find("Results"), std::string::npos) << text;
  EXPECT_NE(text.find("Quorvex"), std::string::npos);
  EXPECT_NE(text.find("Page 1 of 1"), std::string::npos);
  EXPECT_NE(text.find("9,5"), std::string::npos);
}

TEST_F(GridPrintTest, TallGridRepeatsTheFixedRowsAndColumnsOnEveryPage) {
  grid->SetRowCount(400);
  Shape(20, 50);
  print::PageDevice dev(Mode());
  ASSERT_TRUE(grid->Print(&dev));
  const int pages = grid->GetPrintPageCount();
  ASSERT_GT(pages, 1);
  EXPECT_EQ(dev.Result().pages, pages);
  for (int p = 1; p <= pages; ++p) {
    const std::string text = PdfText(dev.Result().pdfPath, p);
    EXPECT_NE(text.find("0,3"), std::string::npos) << "page " << p;
    EXPECT_NE(text.find("Page " + std::to_string(p) + " of " + std::to_string(pages)), std::string::npos);
  }
  // Every body row is printed on exactly one page.
  int found = 0;
  for (int p = 1; p <= pages; ++p) {
    const std::string text = PdfText(dev.Result().pdfPath, p);
    if (text.find("399,2") != std::string::npos) ++found;
    if (p == 1) {
      EXPECT_NE(text.find("1,2"), std::string::npos);
    }
  }
  EXPECT_EQ(found, 1);
}

TEST_F(GridPrintTest, PageCountFollowsTheRowsAndATallRowGetsItsOwnPage) {
  grid->SetRowCount(3);
  Shape(20, 50);
  print::PageDevice dev(Mode());
  GridPrintInfo info;
  grid->OnBeginPrinting(dev.Dc(), info);
  EXPECT_EQ(info.lastPage, 1);
  const int body = grid->GetPrintBodyHeight();
  // A row taller than a page gets one page of its own; the next row starts another.
  grid->SetRowHeight(1, body + 5);
  grid->OnBeginPrinting(dev.Dc(), info);
  EXPECT_EQ(info.lastPage, 2);
  // Wider columns make the page wider (and taller) without printing across.
  grid->SetColumnWidth(3, 2000);
  grid->OnBeginPrinting(dev.Dc(), info);
  EXPECT_EQ(grid->GetPrintPagesAcross(), 1);
  grid->SetPrintAcross(true);
  grid->OnBeginPrinting(dev.Dc(), info);
  EXPECT_GT(grid->GetPrintPagesAcross(), 1);
  EXPECT_EQ(info.lastPage % grid->GetPrintPagesAcross(), 0);
}

namespace {

// The height in points of the first word `word` on page 1, from pdftotext's word boxes.
double WordHeight(const std::string& pdf, const std::string& word) {
  const std::string cmd = "pdftotext -bbox -f 1 -l 1 '" + pdf + "' - 2>/dev/null";
  std::string out;
  if (FILE* p = popen(cmd.c_str(), "r")) {
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    pclose(p);
  }
  const std::string close = ">" + word + "</word>";
  const size_t end = out.find(close);
  if (end == std::string::npos) return 0;
  const size_t start = out.rfind("<word", end);
  double xMin = 0, yMin = 0, xMax = 0, yMax = 0;
  if (std::sscanf(out.c_str() + start, "<word xMin=\"%lf\" yMin=\"%lf\" xMax=\"%lf\" yMax=\"%lf\"", &xMin, &yMin, &xMax,
                  &yMax) != 4)
    return 0;
  return yMax - yMin;
}

}  // namespace

// The footer's font is 15 x the layout scale, truncated: 15 on a 640x480 screen, 18 on any
// other; the page number grows by 18 / 15 on the same page.
TEST_F(GridPrintTest, FooterFontFollowsTheLayoutScale) {
  if (std::system("command -v pdftotext >/dev/null 2>&1") != 0) GTEST_SKIP() << "pdftotext is not installed";
  double height[2] = {0, 0};
  const float scales[2] = {1.0f, 1.25f};
  for (int i = 0; i < 2; ++i) {
    SetLookProvider([s = scales[i]] {
      Look l;
      l.scale = s;
      return l;
    });
    print::PageDevice dev(Mode());
    ASSERT_TRUE(grid->Print(&dev));
    height[i] = WordHeight(dev.Result().pdfPath, "Page");
    ASSERT_GT(height[i], 0) << scales[i];
  }
  SetLookProvider(nullptr);
  EXPECT_NEAR(height[1] / height[0], 18.0 / 15.0, 0.03);
}
