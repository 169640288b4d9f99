// Word-broken text draws the same pixels however its lines are found: a paragraph that fits
// its box draws as the single line it is, and a table of label texts in the five languages,
// box widths and formats matches the regression guard recorded before the line breaking was
// made faster.
#include <gtest/gtest.h>

#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "canvas.h"

using namespace draw;
using drawtest::Canvas;

namespace {

struct TextCase {
  const char* face;
  int height;
  const char* text;
};

// Texts as the screens' labels, buttons and message boxes show them.
const TextCase kTexts[] = {
    {"Arial", -16, "WBC"},
    {"Arial", -16, "10^9/L"},
    {"Arial", -18, "7.45"},
    {"Arial", -14, "Sample No.: 12345"},
    {"Arial", -14, "Ready"},
    {"Arial", -14, "Please wait, printing the report......"},
    {"Arial", -14, "The diluent is running low.\r\nReplace the container, then press OK."},
    {"Arial", -14, "&Print"},
    {"Arial", -14, "Name:\tSmith   "},
    {"Arial", -12, "Imprimiendo los resultados del paciente"},
    {"Arial", -12, "Veuillez patienter pendant l'impression du rapport"},
    {"Arial", -12, "Друк результатів пацієнта, зачекайте"},
    {"宋体", -16, "正在打印，请稍候......"},
    {"宋体", -14, "白细胞计数 10^9/L"},
    {"Arial", -14, "Averyveryverylongwordthatcannotbreak anywhere"},
    {"Arial", -14, "Two  spaces  between\n\nand an empty paragraph"},
};

const int kWidths[] = {36, 80, 150, 400};

const unsigned kFormats[] = {
    kDtWordBreak | kDtLeft,
    kDtWordBreak | kDtCenter,
    kDtWordBreak | kDtRight | kDtExpandTabs,
    kDtWordBreak | kDtCenter | kDtNoPrefix,
    kDtWordBreak | kDtLeft | kDtEndEllipsis,
};

std::uint64_t PixelHash(const Bitmap& b) {
  std::uint64_t h = 0xCBF29CE484222325ull;
  for (int y = 0; y < b.Height(); ++y) {
    const std::uint8_t* row = b.Data() + static_cast<std::ptrdiff_t>(y) * b.Stride();
    for (int i = 0; i < b.Width() * 4; ++i) h = (h ^ row[i]) * 0x100000001B3ull;
  }
  return h;
}

// One case drawn on a fresh canvas: black text on white, or white on a dark opaque background.
std::string DrawCase(std::size_t t, int width, unsigned format, bool opaque) {
  Canvas c(width + 20, 120);
  c.dc.SelectFont(Font(kTexts[t].face, kTexts[t].height));
  c.dc.SetBkMode(opaque ? BkMode::Opaque : BkMode::Transparent);
  c.dc.SetBkColor(RGB(20, 40, 90));
  c.dc.SetTextColor(opaque ? kWhite : kBlack);
  Rect r(10, 5, 10 + width, 115);
  const int height = c.dc.DrawText(kTexts[t].text, &r, format);
  Rect calc(0, 0, width, 0);
  c.dc.DrawText(kTexts[t].text, &calc, format | kDtCalcRect);
  char line[128];
  std::snprintf(line, sizeof(line), "%zu,%d,%u,%d,%d,%d,%d,%016" PRIx64, t, width, format, opaque ? 1 : 0,
                height, calc.Width(), calc.Height(), PixelHash(c.bmp));
  return line;
}

const std::string kGuard = std::string(QUORVEX_TEST_DATA_DIR) + "/regression_guard_word_break.csv";

}  // namespace

TEST(WordBreakPixels, AParagraphThatFitsDrawsAsItsSingleLine) {
  // Texts without line breaks or trailing blanks that fit a 400-pixel box.
  const std::size_t fitting[] = {0, 1, 2, 3, 4, 5, 9, 10, 11, 12, 13};
  for (std::size_t t : fitting) {
    for (unsigned align : {kDtLeft, kDtCenter, kDtRight}) {
      Canvas broken(420, 60), single(420, 60);
      for (Canvas* c : {&broken, &single}) {
        c->dc.SelectFont(Font(kTexts[t].face, kTexts[t].height));
        c->dc.SetBkMode(BkMode::Transparent);
      }
      Rect r1(10, 5, 410, 55), r2 = r1;
      broken.dc.DrawText(kTexts[t].text, &r1, kDtWordBreak | align);
      single.dc.DrawText(kTexts[t].text, &r2, kDtSingleLine | align);
      ASSERT_GT(single.CountNot(kWhite), 0) << kTexts[t].text;
      EXPECT_EQ(PixelHash(broken.bmp), PixelHash(single.bmp)) << kTexts[t].text << " align " << align;
    }
  }
}

TEST(WordBreakPixels, LabelTextsMatchTheRegressionGuard) {
  // QUORVEX_RECORD_REGRESSION_GUARD=1 rewrites the table. It was recorded once, from the line
  // breaking that built a fresh layout per paint, and is not to be recorded again after a change.
  std::vector<std::string> lines;
  for (std::size_t t = 0; t < std::size(kTexts); ++t)
    for (int w : kWidths)
      for (unsigned f : kFormats)
        for (bool opaque : {false, true}) lines.push_back(DrawCase(t, w, f, opaque));
  if (std::getenv("QUORVEX_RECORD_REGRESSION_GUARD") != nullptr) {
    std::ofstream out(kGuard);
    out << "# Regression guard: word-broken text drawn before the line breaking used the layout\n"
           "# cache. text,width,format,opaque,returned height,calculated width,calculated height,"
           "FNV-1a of the pixels\n";
    for (const std::string& l : lines) out << l << '\n';
  }
  std::ifstream in(kGuard);
  ASSERT_TRUE(in.good()) << kGuard;
  std::vector<std::string> recorded;
  std::string l;
  while (std::getline(in, l))
    if (!l.empty() && l[0] != '#') recorded.push_back(l);
  ASSERT_EQ(recorded.size(), lines.size());
  for (std::size_t i = 0; i < lines.size(); ++i) EXPECT_EQ(recorded[i], lines[i]);
}
