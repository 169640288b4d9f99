#include "resources/skin/skin_pictures.h"

#include <cmath>
#include <filesystem>

#include "platform/ui/draw/dc.h"
#include "resources/skin/skin_canvas.h"

namespace skin {
namespace {

constexpr draw::Color kDeep = draw::RGB(0, 76, 120);       // the skin's frame blue
constexpr draw::Color kMist = draw::RGB(205, 213, 215);    // the screens' light grey
constexpr draw::Color kCell = draw::RGB(178, 34, 52);      // a red cell
constexpr draw::Color kCellRim = draw::RGB(120, 16, 32);
constexpr draw::Color kWhiteCell = draw::RGB(232, 236, 240);

// A red blood cell seen from above: a disc, darker at the rim, pale in its dimple.
void Cell(draw::DC& dc, int cx, int cy, int r) {
  dc.SelectPen(draw::Pen::Solid(kCellRim, std::max(1, r / 8)));
  dc.SelectBrush(draw::Brush::Solid(kCell));
  dc.Ellipse(cx - r, cy - r, cx + r, cy + r);
  const int d = r / 2;
  dc.SelectPen(draw::Pen::NullPen());
  dc.SelectBrush(draw::Brush::Solid(draw::RGB(206, 84, 96)));
  dc.Ellipse(cx - d, cy - d, cx + d, cy + d);
}

// A white cell: a pale disc with a lobed nucleus.
void WhiteCell(draw::DC& dc, int cx, int cy, int r) {
  dc.SelectPen(draw::Pen::Solid(draw::RGB(150, 160, 190), std::max(1, r / 10)));
  dc.SelectBrush(draw::Brush::Solid(kWhiteCell));
  dc.Ellipse(cx - r, cy - r, cx + r, cy + r);
  dc.SelectPen(draw::Pen::NullPen());
  dc.SelectBrush(draw::Brush::Solid(draw::RGB(96, 72, 150)));
  const int n = r / 3;
  dc.Ellipse(cx - r / 2 - n, cy - n, cx - r / 2 + n, cy + n);
  dc.Ellipse(cx - n, cy - r / 3 - n, cx + n, cy - r / 3 + n);
  dc.Ellipse(cx + r / 2 - n, cy - n, cx + r / 2 + n, cy + n);
}

}  // namespace

draw::Bitmap PaintStartupPicture(int width, int height, bool chinese) {
  draw::Bitmap bmp = draw::Bitmap::Create(width, height, kMist);
  if (bmp.IsNull()) return bmp;
  const int band = height * 62 / 100;  // the upper part with the artwork
  {
    Canvas c(bmp);
    c.VGradient(0, 0, width, band, draw::RGB(0, 60, 98), draw::RGB(36, 116, 158));
    c.VGradient(0, band, width, height, Shade(kMist, 0.25), kMist);
    c.HLine(0, width, band, draw::RGB(120, 170, 196));
    c.HLine(0, width, band + 1, Shade(kMist, 0.4));
  }
  draw::DC dc(bmp);
  const double s = width / 640.0;
  auto px = [s](double v) { return static_cast<int>(std::lround(v * s)); };
  // Cells drifting across the right of the band.
  Cell(dc, px(470), px(88), px(34));
  Cell(dc, px(548), px(150), px(26));
  Cell(dc, px(420), px(170), px(20));
  Cell(dc, px(590), px(62), px(16));
  WhiteCell(dc, px(520), px(232), px(30));
  Cell(dc, px(600), px(250), px(14));
  // A histogram's curve along the bottom of the band.
  dc.SelectPen(draw::Pen::Solid(draw::RGB(150, 200, 224), std::max(1, px(2))));
  const int base = band - px(14);
  dc.MoveTo(px(40), base);
  for (int x = 0; x <= 300; x += 4) {
    const double t = x / 300.0;
    const double y = 70 * std::exp(-std::pow((t - 0.22) / 0.07, 2)) + 46 * std::exp(-std::pow((t - 0.62) / 0.16, 2));
    dc.LineTo(px(40 + x), base - px(y));
  }
  // The product name and what it is.
  dc.SetBkMode(draw::BkMode::Transparent);
  dc.SetTextColor(draw::kWhite);
  dc.SelectFont(draw::Font("Arial", -px(54), draw::kFontWeightBold));
  draw::Rect name(px(40), px(60), px(400), px(130));
  dc.DrawText("QX-4150", &name, draw::kDtLeft | draw::kDtSingleLine | draw::kDtVCenter);
  dc.SelectFont(draw::Font(chinese ? "SimHei" : "Arial", -px(chinese ? 24 : 20)));
  dc.SetTextColor(draw::RGB(214, 232, 242));
  draw::Rect line(px(42), px(134), px(420), px(170));
  dc.DrawText(chinese ? "全自动血细胞分析仪" : "Auto Hematology Analyzer", &line,
              draw::kDtLeft | draw::kDtSingleLine | draw::kDtVCenter);
  return bmp;
}

draw::Bitmap PaintLogo() {
  constexpr int kW = 96, kH = 36;
  draw::Bitmap bmp = draw::Bitmap::Create(kW, kH, kMist);
  if (bmp.IsNull()) return bmp;
  {
    Canvas c(bmp);
    c.RoundedFace(0, 0, kW, kH, 6, draw::RGB(20, 98, 142), kDeep, draw::RGB(0, 50, 82), draw::RGB(90, 150, 186));
  }
  draw::DC dc(bmp);
  Cell(dc, 17, 18, 11);
  dc.SetBkMode(draw::BkMode::Transparent);
  dc.SetTextColor(draw::kWhite);
  dc.SelectFont(draw::Font("Arial", -15, draw::kFontWeightBold));
  draw::Rect text(32, 0, kW - 4, kH);
  dc.DrawText("QX-4150", &text, draw::kDtCenter | draw::kDtSingleLine | draw::kDtVCenter);
  return bmp;
}

bool WritePictures(const std::string& programFolder, std::string* error) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::path root(programFolder);
  fs::create_directories(root / "Picture", ec);
  if (!ec) fs::create_directories(root / "ProduceInfo", ec);
  if (ec) {
    if (error) *error = "cannot create the picture folders below " + programFolder + ": " + ec.message();
    return false;
  }
  struct Picture {
    const char* file;
    int width, height;
    bool chinese;
  };
  const Picture pictures[] = {{"Picture/bg_ONOFF.bmp", 640, 480, true},
                              {"Picture/bg_ONOFF2.bmp", 800, 600, true},
                              {"Picture/bg_ONOFF_EN.bmp", 640, 480, false},
                              {"Picture/bg_ONOFF_EN2.bmp", 800, 600, false}};
  for (const Picture& p : pictures) {
    const draw::Bitmap bmp = PaintStartupPicture(p.width, p.height, p.chinese);
    if (bmp.IsNull() || !bmp.SaveBmp((root / p.file).string(), error)) {
      if (error && error->empty()) *error = std::string("cannot write ") + p.file;
      return false;
    }
  }
  const draw::Bitmap logo = PaintLogo();
  if (logo.IsNull() || !logo.SaveBmp((root / "ProduceInfo/Logo.bmp").string(), error)) {
    if (error && error->empty()) *error = "cannot write ProduceInfo/Logo.bmp";
    return false;
  }
  return true;
}

}  // namespace skin
