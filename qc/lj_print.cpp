#include "qc/lj_print.h"

#include <algorithm>
#include <cstring>

#include "core/app_settings.h"
#include "core/value_format.h"
#include "printing/r_print_helper.h"
#include "printing/thermal_printer.h"
#include "qc/page_printers.h"
#include "qc/qc_names.h"
#include "qc/thermal_lines.h"

namespace qc {
namespace {

std::string TitleText(int lang, int fileNo) {
  return StrPrintf(PickText(lang, "L-J质控图(质控 %d)", "L-J QC Graph(QC %d)", "Grafico L-J QC(QC %d)", "Graphique L-J CQ(CQ %d)",
                            "Графік L-J КЯ(КЯ %d)"),
                   fileNo);
}

// The display index of a chart position, for the value formatter.
int DisplayOfChart(int c) { return DisplayFromStore(kStoreFromChart[c]); }

}  // namespace

std::vector<ValueRowPair> ThermalValueRows(const LjChartData& d, int c, int lang) {
  std::vector<ValueRowPair> out;
  std::string results, dates;
  int count = 0;
  const std::string resultLabel = PickText(lang, "结果:", "Result:", "Result:", "Result:", "Result:");
  const std::string dateLabel = PickText(lang, "日期:  ", "Date:  ", "Date:  ", "Date:  ", "Date:  ");
  for (int i = d.runCount - 1; i >= 0; --i) {
    const float v = d.values[c][static_cast<size_t>(i)];
    if (v >= 0.0f) {
      results = PadRight(StrPrintf("%.2f", static_cast<double>(v)), 7) + results;
      dates = PadRight(d.shortDates[static_cast<size_t>(i)], 7) + dates;
      ++count;
    }
    if (count == 5 || (i == 0 && count > 0)) {
      out.push_back({resultLabel + results, dateLabel + dates});
      results.clear();
      dates.clear();
      count = 0;
    }
  }
  return out;
}

ChartDot ThermalChartDot(int index, int runCount, float u, float t, float l) {
  const double s = 325.0 / (runCount + 1);
  const double v = 150.0 / (4.0 * l);
  ChartDot p;
  p.column = std::clamp(static_cast<int>(index * s), 5, 320);
  p.row = std::clamp(static_cast<int>((u - (t - 2 * l)) * v), 5, 145);
  p.cross = u >= t - 2 * l && u <= t + 2 * l;
  return p;
}

void PrintLjChartThermal(const LjChartData& d, int lang, const sys::LocalTime& now) {
  PrinterSendEscU(1);
  PrinterSetCharSpacing(2);
  PrinterSetPageSize(325, 150);
  ThermalPlain(" ");
  ThermalWide(StrPrintf(PickText(lang, "打印日期: %.2d/%.2d/%4d", "Print date: %.2d/%.2d/%4d", "Fecha de impresion: %.2d/%.2d/%4d",
                          "Date d'impression: %.2d/%.2d/%4d", "Дата друку: %.2d/%.2d/%4d"),
                 now.month, now.day, now.year));
  ThermalWide(PickText(lang, "检验者:", "Inspector:", "Inspector:", "Inspecteur:", "Інспектор:"));
  ThermalWide(PickText(lang, "审核者:", "Verifier:", "Verificador:", "Verificateur:", "Перевірив:"));
  PrinterSetCharSpacing(0);
  for (int k = 3; k >= 0; --k) {
    const int c = d.chartParams[static_cast<size_t>(k)];
    const float t = d.targets[c], l = d.sds[c];
    if (!(l > 0.0f)) continue;  // no chart for a parameter without a limit (and no division by it)
    for (const ValueRowPair& p : ThermalValueRows(d, c, lang)) {
      ThermalWide(p.results);
      ThermalWide(p.dates);
    }
    PrinterFeedDots(1, 5);
    PrinterClearDots();
    for (int y : {147, 111, 74, 37, 0}) PrinterDrawLine(0, y, 325, y);
    bool first = true;
    ChartDot prev{};
    for (int i = 0; i < d.runCount; ++i) {
      const float u = d.values[c][static_cast<size_t>(i)];
      if (u < 0.0f) continue;
      const ChartDot p = ThermalChartDot(i, d.runCount, u, t, l);
      if (!first) PrinterDrawThickLine(prev.column, prev.row, p.column, p.row);
      if (p.cross) {
        PrinterDrawThickLine(p.column, p.row - 5, p.column, p.row + 5);
        PrinterDrawThickLine(p.column - 5, p.row, p.column + 5, p.row);
      }
      prev = p;
      first = false;
    }
    PrinterPrintDots(1);
    PrinterSendDc2S(1, 0);
    ThermalPlain(" ");
    ThermalPlain(FormatValue(t - l, DisplayOfChart(c), 1), 20);
    ThermalPlain(FormatValue(t, DisplayOfChart(c), 1), 20);
    ThermalPlain(FormatValue(t + l, DisplayOfChart(c), 1), 16);
    PrinterSendDc2V();
    PrinterSendDc2U(1);
    ThermalWide(kChartNames[c]);
    PrinterCarriageReturn();
  }
  PrinterFeedDots(1, 5);
  PrinterSetCharSpacing(1);
  for (int k = 3; k >= 0; --k) {
    const int c = d.chartParams[static_cast<size_t>(k)];
    ThermalWide(PadRight(kChartNames[c], 11) + PadRight(StrPrintf("%.2f", static_cast<double>(d.targets[c])), 11) +
         PadRight(StrPrintf("%.2f", static_cast<double>(d.sds[c])), 11) +
         StrPrintf("%.2f", static_cast<double>(d.shownStats[2][static_cast<size_t>(k)])));
  }
  PrinterSendDc3Pattern(3);
  ThermalWide(PickText(lang, "项目       参考值      偏差值       CV(%)", "Item       Targets     Limits       CV(%)",
                "Item       Referencia  Limites      CV(%)", "Item       Reference   Limites      CV(%)",
                "Параметр   Довідник    Відхилення   CV(%)"));
  PrinterSendDc3Pattern(3);
  PrinterSetCharSpacing(0);
  ThermalWide(StrPrintf(PickText(lang, "批号: %s 有效期: %s", "Lot: %s Validity: %s", "Lote: %s Caducidad: %s", "Lot: %s Validite: %s",
                          "Група №: %s Термін дії: %s"),
                 PadRight(d.lot, 16).c_str(), d.expiry.c_str()));
  PrinterFeedDots(1, 10);
  ThermalWide("             " + TitleText(lang, d.fileNo));
  std::string unit = d.unitName;
  unit.erase(0, unit.find_first_not_of(' '));
  unit.erase(unit.find_last_not_of(' ') + 1);
  const size_t len = unit.size();
  ThermalWide(std::string(len < 46 ? 1 + (46 - len) / 2 : 1, ' ') + unit);
  PrinterFeedDots(1, 125);
  PrinterSendEscU(0);
  PrinterSetPageSize(360, 120);
}

bool PrintLjChartPage(const LjChartData& d, int lang, const sys::LocalTime& now, bool xb) {
  RPrintHelper helper;
  if (helper.GetDefaultPrinterName().empty() || !helper.Device() || !helper.GetDC()) return false;
  print::PageDevice* dev = helper.Device();
  draw::DC* dc = helper.GetDC();
  const std::string face = lang == 0 ? "宋体" : "Arial";
  const int W = helper.GetPageWidth(), H = helper.GetPageHeight();
  const double k = helper.YScale() > 0 ? helper.YScale() : 1.0;
  const draw::Font f11 = helper.CreatePrintFont(11, face, draw::kFontWeightBold);
  dc->SelectFont(f11);
  const draw::TextMetrics tm = dc->GetTextMetrics();
  const int lh = std::max(1, static_cast<int>(0.9 * tm.height));
  const int cw = tm.aveCharWidth;
  const int m = AppSettings.PrintPageHeader > 20 ? (AppSettings.PrintPageHeader - 15) * H / 280 : 0;
  const int P = (H - m) / lh - 2;
  const int X0 = W / 15;
  const double X1 = W / 7.5, CW = 0.75 * W;
  const int C = W / 7, GX = W / 14, GW = (W - 3 * X0) / 16;
  const draw::Pen pen = draw::Pen::Solid(draw::kBlack, std::max(1, static_cast<int>(2 * k)));
  dc->SelectPen(pen);

  dev->StartDoc("Specimen");
  int line = m / lh + 2;
  dev->StartPage();
  auto newPageIf = [&](bool cond) {
    if (!cond) return;
    dev->EndPage();
    dev->StartPage();
    dc->SelectPen(pen);
    line = 0;
  };
  const draw::Font f9 = helper.CreatePrintFont(9, face, draw::kFontWeightBold);
  if (xb) {
    // The X-B print-out: its title, the product and the institution, then the charts.
    dc->SelectFont(helper.CreatePrintFont(14, face, draw::kFontWeightBold));
    const std::string title = PickText(lang, "X-B质控图", "X-B QC Graph", "Grafico X-B", "Courbes X-B", "X-B діаграма");
    dc->TextOut((W - dc->GetTextExtent(title).cx) / 2, line * lh, title);
    dc->SelectFont(f11);
    dc->TextOut(static_cast<int>(0.9 * W) - dc->GetTextExtent(AppSettings.ProductName).cx, (line + 1) * lh,
                AppSettings.ProductName);
    dc->TextOut(X0, (line + 2) * lh, d.unitName);
    line += 4;
  } else {
  dc->SelectFont(helper.CreatePrintFont(13, face, draw::kFontWeightBold));
  const std::string title = " " + TitleText(lang, d.fileNo);
  dc->TextOut((W - dc->GetTextExtent(title).cx) / 2, line * lh, title);
  line += 2;
  dc->SelectFont(f11);
  dc->TextOut(X0, line * lh, d.unitName);
  line += 1;
  dc->SelectFont(helper.CreatePrintFont(8, face, draw::kFontWeightBold));
  dc->TextOut(X0, line * lh, StrPrintf(PickText(lang, "批号: %s", "Lot: %s", "Lote: %s", "Lot: %s", "Група №: %s"), d.lot.c_str()));
  dc->TextOut(2 * W / 3, line * lh,
              StrPrintf(PickText(lang, "有效期: %s", "Validity: %s", "Caducidad: %s", "Validite: %s", "Термін дії: %s"),
                        d.expiry.c_str()));
  dc->TextOut(static_cast<int>(0.9 * W) - dc->GetTextExtent(AppSettings.ProductName).cx, line * lh, AppSettings.ProductName);
  line += 1;
  dc->SelectFont(f9);
  dc->MoveTo(X0, line * lh);
  dc->LineTo(static_cast<int>(X1 + CW), line * lh);
  const char* heads[6] = {PickText(lang, "项目", "Item", "Item", "Item", "Параметр"),
                          PickText(lang, "参考值", "Targets", "Referencia", "Reference", "Довідник"),
                          PickText(lang, "偏差值", "Limits", "Limites", "Limites", "Відхилення"),
                          PickText(lang, "平均值", "Average", "Promedio", "Moyenne", "Середнє"), "SD", "CV(%)"};
  for (int i = 0; i < 6; ++i) dc->TextOut(X0 + i * C, static_cast<int>((line + 0.2) * lh), heads[i]);
  line += 1;
  dc->MoveTo(X0, static_cast<int>((line + 0.3) * lh));
  dc->LineTo(static_cast<int>(X1 + CW), static_cast<int>((line + 0.3) * lh));
  for (int kk = 0; kk < 4; ++kk) {
    const int c = d.chartParams[static_cast<size_t>(kk)];
    const std::string cells[6] = {kChartNames[c], StrPrintf("%g", static_cast<double>(d.targets[c])),
                                  StrPrintf("%g", static_cast<double>(d.sds[c])),
                                  StrPrintf("%g", static_cast<double>(d.shownStats[0][static_cast<size_t>(kk)])),
                                  StrPrintf("%g", static_cast<double>(d.shownStats[1][static_cast<size_t>(kk)])),
                                  StrPrintf("%g", static_cast<double>(d.shownStats[2][static_cast<size_t>(kk)]))};
    for (int i = 0; i < 6; ++i) dc->TextOut(X0 + i * C, static_cast<int>((line + 0.5) * lh), cells[i]);
    line += 1;
  }
  line += 1;
  }
  const draw::Font f10 = helper.CreatePrintFont(10, face, draw::kFontWeightBold);
  const draw::Font f8 = helper.CreatePrintFont(8, face, draw::kFontWeightBold);
  dc->SelectFont(f10);
  const double s = xb ? CW / (d.runCount + 1) : CW / (std::max(d.runCount, kPointsPerScreen) + 1);
  // Dot-matrix models get smaller marks and a narrower inset of the table texts.
  const std::string printer = helper.GetDefaultPrinterName();
  const int r = static_cast<int>((HasSmallPointMarks(printer) ? 3 : 15) * k);
  for (int kk = 0; kk < 4; ++kk) {
    const int c = d.chartParams[static_cast<size_t>(kk)];
    const float T = d.targets[c], L = d.sds[c];
    if (!(L > 0.0f)) continue;
    dc->TextOut(X0, line * lh, kChartNames[c]);
    line += 1;
    newPageIf(line + 8 >= P);
    for (int g = 0; g <= 8; g += 2) {
      dc->MoveTo(static_cast<int>(X1), (line + g) * lh);
      dc->LineTo(static_cast<int>(CW + X1), (line + g) * lh);
    }
    bool first = true;
    for (int i = 0; i < d.runCount; ++i) {
      const float u = d.values[c][static_cast<size_t>(i)];
      if (u < 0.0f) continue;
      const int px = std::max(10, static_cast<int>(i * s + X1));
      int py = static_cast<int>((line + 4) * lh - (u - T) * 2 * lh / L);
      if (py > (line + 8) * lh) py = (line + 8) * lh - 10;
      if (py < line * lh) py = line * lh + 10;
      if (first) dc->MoveTo(px, py);
      else dc->LineTo(px, py);
      if (u >= T - 2 * L && u <= T + 2 * L) {
        dc->Ellipse(px - r, py - r, px + r, py + r);
        dc->MoveTo(px, py);
      }
      first = false;
    }
    dc->TextOut(X0, static_cast<int>((line + 1.5) * lh), FormatValue(T + L, DisplayOfChart(c), 1));
    dc->TextOut(X0, static_cast<int>((line + 3.5) * lh), FormatValue(T, DisplayOfChart(c), 1));
    dc->TextOut(X0, static_cast<int>((line + 5.5) * lh), FormatValue(T - L, DisplayOfChart(c), 1));
    line += 9;
    newPageIf(line >= P);
    dc->SelectFont(f8);
    int col = 0;
    const int inset = TableTextInset(printer);
    for (int i = 0; i < d.runCount; ++i) {
      const float u = d.values[c][static_cast<size_t>(i)];
      const bool newest = i == d.runCount - 1;
      if (u >= 0.0f) {
        if (col == 0) {
          dc->TextOut(GX + inset, line * lh + inset, PickText(lang, "日期", "Date   ", "Fecha  ", "Date   ", "Дата   "));
          dc->TextOut(GX + inset, (line + 1) * lh + inset, PickText(lang, "结果", "Result ", "Result ", "Result ", "Рез.   "));
          for (int j = 0; j < 3; ++j) {
            dc->MoveTo(GX, (line + j) * lh);
            dc->LineTo(GX + 16 * GW, (line + j) * lh);
          }
          for (int j = 0; j <= 16; ++j) {
            dc->MoveTo(GX + j * GW, line * lh);
            dc->LineTo(GX + j * GW, (line + 2) * lh);
          }
        }
        ++col;
        const int x = static_cast<int>(GX + (col + 0.1) * GW + inset);
        dc->TextOut(x, static_cast<int>((line + 0.1) * lh) + inset, d.shortDates[static_cast<size_t>(i)]);
        dc->TextOut(x, static_cast<int>((line + 1.1) * lh) + inset, FormatValue(u, DisplayOfChart(c), 1));
      }
      if (col > 0 && (col == 15 || newest)) {
        line += 2;
        newPageIf(line >= P);
        col = 0;
      }
    }
    dc->SelectFont(f10);
    line += 1;
  }
  dc->SelectFont(f9);
  dc->TextOut(X0, line * lh, PickText(lang, "检验者:", "Inspector:", "Inspector:", "Inspecteur:", "Інспектор:"));
  dc->TextOut(W / 2 - 10 * cw, line * lh, PickText(lang, "审核者:", "Verifier:", "Verificador:", "Verificateur:", "Перевірив:"));
  dc->TextOut(3 * W / 4 - 5 * cw, line * lh,
              StrPrintf(PickText(lang, "打印日期: %.2d/%.2d/%4d", "Print Date: %.2d/%.2d/%4d", "Fecha: %.2d/%.2d/%4d",
                                 "Date: %.2d/%.2d/%4d", "Дата друку: %.2d/%.2d/%4d"),
                        now.month, now.day, now.year));
  dev->EndPage();
  dev->EndDoc();
  return true;
}

void PrintXbChartThermal(const LjChartData& d, int page, int lang, const sys::LocalTime& now) {
  constexpr int kPer = 25;
  PrinterSendEscU(1);
  PrinterSetPageSize(325, 150);
  PrinterSetCharSpacing(2);
  ThermalPlain(" ");
  ThermalWide(StrPrintf(PickText(lang, "                     第%d页", "                     Page %d", "                   Pagina %d",
                          "                     Page %d", "          Сторінка %d"),
                 page));
  PrinterSetCharSpacing(0);
  const double step = 325.0 / kPer;
  const int start = (page - 1) * kPer, end = std::min(page * kPer, d.runCount);
  for (int k = 3; k >= 0; --k) {
    const int c = d.chartParams[static_cast<size_t>(k)];
    const float t = d.targets[c], l = d.sds[c];
    if (!(l > 0.0f)) continue;  // a parameter without a limit has no chart (and no division by it)
    const double scale = 150.0 / (4.0 * l);
    PrinterClearDots();
    if (start < end) {
      std::string results, dates;
      int count = 0;
      for (int i = end - 1; i >= start; --i) {
        const float v = d.values[c][static_cast<size_t>(i)];
        if (v >= 0.0f) {
          results = PadRight(StrPrintf("%g", static_cast<double>(v)), 7) + results;
          dates = PadRight(d.shortDates[static_cast<size_t>(i)], 7) + dates;
          ++count;
        }
        if (count == 5 || (i == start && count > 0)) {
          ThermalWide(PickText(lang, "结果：", "Result:", "Result:", "Result:", "Result:") + results);
          ThermalWide(PickText(lang, "日期：", "Date:  ", "Date:  ", "Date:  ", "Date:  ") + dates);
          results.clear();
          dates.clear();
          count = 0;
        }
      }
      bool first = true;
      int px = 0, py = 0;
      for (int i = start; i < end; ++i) {
        const float v = d.values[c][static_cast<size_t>(i)];
        if (v < 0.0f) continue;
        const int x = std::clamp(static_cast<int>((i % kPer) * step), 4, 321);
        const int y = std::clamp(static_cast<int>((v - (t - 2 * l)) * scale), 4, 146);
        if (!first) PrinterDrawThickLine(px, py, x, y);
        if (v >= t - 2 * l && v <= t + 2 * l) {
          PrinterDrawThickLine(x, y - 4, x, y + 4);
          PrinterDrawThickLine(x - 4, y, x + 4, y);
        }
        px = x;
        py = y;
        first = false;
      }
    }
    for (int y : {147, 111, 74, 37, 0}) PrinterDrawLine(0, y, 325, y);
    PrinterPrintDots(1);
    PrinterSendDc2S(1, 0);
    ThermalPlain(" ");
    ThermalPlain(StrPrintf("%g", static_cast<double>(t - l)), 20);
    ThermalPlain(StrPrintf("%g", static_cast<double>(t)), 20);
    ThermalPlain(StrPrintf("%g", static_cast<double>(t + l)), 16);
    PrinterSendDc2V();
    PrinterSendDc2U(1);
    ThermalWide(kChartNames[c]);
    PrinterCarriageReturn();
  }
  PrinterFeedDots(1, 3);
  if (lang == 0) ThermalWide(StrPrintf("打印日期: %4d-%.2d-%.2d", now.year, now.month, now.day));
  else
    ThermalWide(StrPrintf(PickText(lang, "", "Print Date: %2d / %2d / %4d", "Imp fecha: %2d/%.2d/%4d", "Date impression: %.2d/%.2d/%4d",
                            "Дата друку: %.2d/%.2d/%4d"),
                   now.month, now.day, now.year));
  PrinterFeedDots(1, 2);
  ThermalWide(PickText(lang, "                 X-B质控图", "                X-B QC Graph", "                Grafico X-B",
                "                Courbes X-B", "        X-B діаграма"));
  std::string unit = d.unitName;
  unit.erase(0, unit.find_first_not_of(' '));
  unit.erase(unit.find_last_not_of(' ') + 1);
  const std::string pad(1 + (unit.size() < 46 ? (46 - unit.size()) / 2 : 0), ' ');
  ThermalWide(pad + unit + pad);
  PrinterFeedDots(1, 125);
  PrinterSendEscU(0);
  PrinterSendDc2F(0);
  PrinterSetPageSize(360, 120);
}

}  // namespace qc
