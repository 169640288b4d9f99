#include "qc/xr_print.h"

#include <algorithm>
#include <cmath>

#include "core/app_settings.h"
#include "core/value_format.h"
#include "printing/r_print_helper.h"
#include "printing/thermal_printer.h"
#include "qc/page_printers.h"
#include "qc/qc_names.h"
#include "qc/thermal_lines.h"

namespace qc {
namespace {

std::string Limit(double x) { return StrPrintf("%.2f", std::floor(x * 100 + 0.5) / 100); }

std::string ChartTitle(int lang, int c, bool range) {
  const std::string name = kChartNames[c];
  switch (lang) {
    case 0: return name + (range ? "-R图" : "-X图");
    case 2: return StrPrintf(range ? "Grafico R %s" : "Grafico X %s", name.c_str());
    case 3: return StrPrintf(range ? "Courbes R %s" : "Courbes X %s", name.c_str());
    case 4: return name + (range ? "-R графік" : "-X графік");
    default: return name + (range ? "-R Graph" : "-X Graph");
  }
}

// The span of a chart: low, high, and the rows (of 150) of its limit lines.
struct Span {
  double low, high, centre, upper, lower, half;  // half: a quarter of the height in value units
  double aboveQuarters = 1, belowQuarters = 1;
};
Span SpanOf(const XrParamStats& s, bool range) {
  Span sp{};
  if (!range) {
    sp.centre = s.grandMean;
    sp.half = s.a2Rbar;
    sp.upper = s.uclX;
    sp.lower = s.lclX;
  } else {
    const double a = s.meanRange - s.lclR, b = s.uclR - s.meanRange, m = a > b ? a : b;
    sp.centre = s.meanRange;
    sp.half = m;
    sp.upper = s.uclR;
    sp.lower = s.lclR;
    sp.aboveQuarters = m != 0 ? b / m : 1;
    sp.belowQuarters = m != 0 ? a / m : 1;
  }
  sp.low = sp.centre - 2 * sp.half;
  sp.high = sp.centre + 2 * sp.half;
  return sp;
}

}  // namespace

std::vector<std::string> XrThermalTableLines(const std::vector<float>& values, const std::vector<std::string>& dates,
                                             int lang) {
  std::vector<std::string> out;
  const std::string dateLabel = PickText(lang, "日期：", "Date:  ", "Date:  ", "Date:  ", "Date:  ");
  const std::string resultLabel = PickText(lang, "结果：", "Result: ", "Result: ", "Result: ", "Result: ");
  std::vector<int> chunk;
  auto flush = [&] {
    std::reverse(chunk.begin(), chunk.end());  // oldest on the left
    std::string v = resultLabel, d = dateLabel;
    for (size_t k = 0; k < chunk.size(); ++k) {
      const size_t width = 7 + k;
      std::string vt = values[chunk[k]] < 0 ? "" : StrPrintf("%.2f", static_cast<double>(values[chunk[k]]));
      std::string dt = static_cast<size_t>(chunk[k]) < dates.size() ? dates[chunk[k]] : "";
      vt.resize(std::max(vt.size(), width), ' ');
      dt.resize(std::max(dt.size(), width), ' ');
      v += vt;
      d += dt;
    }
    out.push_back(v);
    out.push_back(d);
    chunk.clear();
  };
  for (int g = static_cast<int>(values.size()) - 1; g >= 0; --g) {
    chunk.push_back(g);
    if (chunk.size() == 5 || g == 0) flush();
  }
  return out;
}

void PrintXrChartThermal(const XrPrintData& d, int lang, const sys::LocalTime& now) {
  PrinterSendEscU(1);
  PrinterSetPageSize(325, 150);
  ThermalPlain(" ");
  if (lang == 0) ThermalWide(StrPrintf("打印日期: %4d-%.2d-%.2d", now.year, now.month, now.day));
  else
    ThermalWide(StrPrintf(PickText(lang, "", "Print Date: %2d/%.2d/%4d", "Imp fecha: %2d/%.2d/%4d", "Date impression: %.2d/%.2d/%4d",
                            "Дата друку: %.2d/%.2d/%4d"),
                   now.month, now.day, now.year));
  ThermalWide(PickText(lang, "检验者：", "Inspector:", "Inspector:", "Inspecteur:", "Інспектор:"));
  ThermalWide(PickText(lang, "审核者：", "Verifier:", "Verificante:", "Controleur:", "Контролер:"));
  PrinterSetCharSpacing(0);
  const double step = d.groups > 0 ? 325.0 / d.groups : 0.0;
  for (int c : {d.upper + 1, d.upper}) {
    const XrParamStats& s = d.stats.params[c];
    for (bool range : {true, false}) {
      const std::vector<float>& values = range ? s.groupRanges : s.groupMeans;
      for (const std::string& line : XrThermalTableLines(values, d.stats.groupDates, lang)) ThermalWide(line);
      PrinterFeedDots(1, 5);
      PrinterClearDots();
      const Span sp = SpanOf(s, range);
      const double scale = sp.half != 0 ? 150.0 / (4 * sp.half) : 0.0;
      if (!range) {
        for (int y : {0, 37, 74, 111, 147}) PrinterDrawLine(0, y, 325, y);
      } else {
        for (int y : {147, 0, 74, static_cast<int>(74 + 37 * sp.aboveQuarters), static_cast<int>(74 - 37 * sp.belowQuarters)})
          PrinterDrawLine(0, y, 325, y);
      }
      int px = 0, py = 0;
      bool first = true;
      for (size_t g = 0; g < values.size(); ++g) {
        const double v = values[g];
        if (v < 0) continue;  // a group without a usable value has no point
        const int x = std::clamp(static_cast<int>(g * step), 5, 320);
        const int y = std::clamp(static_cast<int>((v - sp.low) * scale), 5, 145);
        if (!first) PrinterDrawThickLine(px, py, x, y);
        first = false;
        if (v >= sp.low && v <= sp.high) {
          PrinterDrawThickLine(x - 5, y, x + 5, y);
          PrinterDrawThickLine(x, y - 5, x, y + 5);
        }
        px = x;
        py = y;
      }
      PrinterPrintDots(1);
      PrinterSendDc2S(1, 0);
      ThermalPlain(" ");
      ThermalPlain(Limit(sp.lower), 20);
      ThermalPlain(Limit(sp.centre), 20);
      ThermalPlain(Limit(sp.upper), 16);
      PrinterSendDc2V();
      PrinterSendDc2U(1);
      ThermalWide(ChartTitle(lang, c, range));
      PrinterCarriageReturn();
    }
  }
  PrinterSetCharSpacing(0);
  if (lang == 4) {
    ThermalWide(StrPrintf("Термін дії: %s", d.expiry.c_str()));
    ThermalWide(StrPrintf("Група №: %s", d.batch.c_str()));
  } else {
    ThermalWide(StrPrintf(PickText(lang, "批号: %s 有效期: %s", "Lot: %s Validity: %s", "Lote: %s Caducidad: %s", "Lot: %s Validite: %s", ""),
                   d.batch.c_str(), d.expiry.c_str()));
  }
  PrinterFeedDots(1, 10);
  ThermalWide(StrPrintf(PickText(lang, "              X-R质控图(质控%d)", "                X-R QC Graph(QC %d)", "                Grafico X-R(QC %d)",
                          "                Courbes X-R(CQ %d)", "     X-R КЯ графік(КЯ %d)"),
                 d.fileNo));
  std::string unit = d.unitName;
  unit.erase(0, unit.find_first_not_of(" \t"));
  unit.erase(unit.find_last_not_of(" \t") + 1);
  ThermalWide(std::string(1 + (unit.size() < 46 ? (46 - unit.size()) / 2 : 0), ' ') + unit);
  PrinterFeedDots(1, 100);
  PrinterSendEscU(0);
  PrinterSetPageSize(360, 120);
}

bool PrintXrChartPage(const XrPrintData& d, int lang, const sys::LocalTime& now) {
  RPrintHelper helper;
  if (helper.GetDefaultPrinterName().empty() || !helper.Device() || !helper.GetDC()) return false;
  print::PageDevice* dev = helper.Device();
  draw::DC* dc = helper.GetDC();
  const std::string face = lang == 0 ? "宋体" : "Arial";
  const int W = helper.GetPageWidth(), H = helper.GetPageHeight();
  const double k = helper.YScale() > 0 ? helper.YScale() : 1.0;
  const draw::Font f11 = helper.CreatePrintFont(11, face, draw::kFontWeightBold);
  const draw::Font f10 = helper.CreatePrintFont(10, face, draw::kFontWeightBold);
  const draw::Font f13 = helper.CreatePrintFont(13, face, draw::kFontWeightBold);
  const draw::Font f8 = helper.CreatePrintFont(8, face, draw::kFontWeightBold);
  const std::string printer = helper.GetDefaultPrinterName();
  const int inset = TableTextInset(printer);
  dc->SelectFont(f11);
  const int h = std::max(1, static_cast<int>(0.9 * dc->GetTextMetrics().height));
  const int cw = dc->GetTextMetrics().aveCharWidth;
  const int top = AppSettings.PrintPageHeader > 20 ? (AppSettings.PrintPageHeader - 15) * H / 279 : 0;
  int line = top / h + 2;
  const int X0 = W / 15;
  const double BX = W / 7.5, BW = 0.75 * W;
  const int P = (H - top) / h - 2;
  const draw::Pen pen = draw::Pen::Solid(draw::kBlack, std::max(1, static_cast<int>(2 * k)));
  dev->StartDoc("Specimen");
  dev->StartPage();
  dc->SelectPen(pen);
  auto newPageIf = [&](bool cond) {
    if (!cond) return;
    dev->EndPage();
    dev->StartPage();
    dc->SelectPen(pen);
    line = 0;
  };
  dc->SelectFont(f13);
  const std::string title = StrPrintf(PickText(lang, "X-R质控图(质控%d)", "X-R QC Graph(QC %d)", " Grafico X-R(QC %d)",
                                               "Courbes X-R(CQ %d)", "X-R КЯ графік(КЯ %d)"),
                                      d.fileNo);
  dc->TextOut((W - dc->GetTextExtent(title).cx) / 2, line * h, title);
  dc->SelectFont(f11);
  dc->TextOut(static_cast<int>(0.9 * W) - dc->GetTextExtent(AppSettings.ProductName).cx, (line + 1) * h, AppSettings.ProductName);
  dc->TextOut(X0, (line + 2) * h, d.unitName);
  dc->SelectFont(f10);
  dc->TextOut(X0, (line + 3) * h, StrPrintf(PickText(lang, "批号: %s", "Lot: %s", "Lote: %s", "Lot: %s", "Група №: %s"), d.batch.c_str()));
  dc->TextOut(W / 2 + 2 * cw, (line + 3) * h,
              StrPrintf(PickText(lang, "有效期: %s", "Validity: %s", "Periodo de validacion: %s", "Validite: %s", "Термін дії: %s"),
                        d.expiry.c_str()));
  line += 4;
  const int GW = (W - 3 * X0) / 15;
  for (int c : {d.upper, d.upper + 1}) {
    const XrParamStats& s = d.stats.params[c];
    for (bool range : {false, true}) {
      const std::vector<float>& values = range ? s.groupRanges : s.groupMeans;
      const Span sp = SpanOf(s, range);
      newPageIf(line + 12 >= P);
      dc->TextOut(X0, line * h, ChartTitle(lang, c, range));
      line += 1;
      const int boxTop = line * h, boxBottom = (line + 8) * h;
      const int rows[5] = {0, range ? static_cast<int>(4 - 2 * sp.aboveQuarters) : 2, 4,
                           range ? static_cast<int>(4 + 2 * sp.belowQuarters) : 6, 8};
      for (int r : rows) {
        dc->MoveTo(static_cast<int>(BX), (line + r) * h);
        dc->LineTo(static_cast<int>(BX + BW), (line + r) * h);
      }
      dc->TextOut(X0, (line + 1) * h, Limit(sp.upper));
      dc->TextOut(X0, (line + 3) * h, Limit(sp.centre));
      dc->TextOut(X0, (line + 5) * h, Limit(sp.lower));
      bool first = true;
      for (size_t g = 0; g < values.size(); ++g) {
        const double v = values[g];
        if (v < 0) continue;
        int x = static_cast<int>(BX + g * BW / (d.groups + 1));
        int y = sp.half != 0 ? static_cast<int>(boxBottom - (v - sp.low) * 8 * h / (4 * sp.half)) : boxBottom;
        x = std::clamp(x, static_cast<int>(BX) + 10, static_cast<int>(BX + BW) - 10);
        y = std::clamp(y, boxTop + 10, boxBottom - 10);
        if (first) dc->MoveTo(x, y);
        else dc->LineTo(x, y);
        if (v >= sp.low && v <= sp.high) {
          const int rr = static_cast<int>((HasSmallPointMarks(printer) ? 3 : 15) * k);
          dc->Ellipse(x - rr, y - rr, x + rr, y + rr);
          dc->MoveTo(x, y);
        }
        first = false;
      }
      line += 9;
      // The table in ruled cells, the label in a cell of its own and each text set in from the
      // top-left corner of its cell, as the other chart print-outs have it.
      dc->SelectFont(f8);
      const draw::BkMode mode = dc->SetBkMode(draw::BkMode::Transparent);  // the texts never cover a rule
      for (size_t g0 = 0; g0 < values.size(); g0 += 15) {
        newPageIf(line + 2 >= P);
        const int cells = static_cast<int>(std::min<size_t>(15, values.size() - g0)) + 1;
        for (int j = 0; j < 3; ++j) {
          dc->MoveTo(X0, (line + j) * h);
          dc->LineTo(X0 + cells * GW, (line + j) * h);
        }
        for (int j = 0; j <= cells; ++j) {
          dc->MoveTo(X0 + j * GW, line * h);
          dc->LineTo(X0 + j * GW, (line + 2) * h);
        }
        dc->TextOut(X0 + inset, line * h + inset, PickText(lang, "日期 ", "Date  ", "Date  ", "Date  ", "Date  "));
        dc->TextOut(X0 + inset, (line + 1) * h + inset, PickText(lang, "结果 ", "Result", "Result", "Result", "Result"));
        for (size_t g = g0; g < std::min(values.size(), g0 + 15); ++g) {
          const int x = X0 + static_cast<int>((static_cast<double>(g - g0) + 1.1) * GW) + inset;
          dc->TextOut(x, line * h + inset, g < d.stats.groupDates.size() ? d.stats.groupDates[g] : "");
          dc->TextOut(x, (line + 1) * h + inset, values[g] < 0 ? "" : StrPrintf("%.2f", static_cast<double>(values[g])));
        }
        line += 2;
      }
      dc->SetBkMode(mode);
      dc->SelectFont(f10);
      line += 1;
    }
  }
  dc->SelectFont(f10);
  dc->TextOut(X0, line * h, PickText(lang, "检验者：", "Inspector:", "Inspector:", "Inspecteur:", "Інспектор:"));
  dc->TextOut(W / 2 - 10 * cw, line * h, PickText(lang, "审核者：", "Verifier:", "Verificante:", "Controleur:", "Контролер:"));
  dc->TextOut(3 * W / 4 - 5 * cw, line * h,
              StrPrintf(PickText(lang, "打印日期: %.2d/%.2d/%4d", "Print Date: %2d/%.2d/%4d", "Imp fecha: %2d/%.2d/%4d",
                                 "Date impression: %2d/%.2d/%4d", "Дата друку: %2d/%.2d/%4d"),
                        now.month, now.day, now.year));
  dev->EndPage();
  dev->EndDoc();
  return true;
}

}  // namespace qc
