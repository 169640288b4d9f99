#include "calibration/calibration_print.h"

#include <cctype>

#include "platform/print/device_mode.h"
#include "platform/print/printers.h"

#include "calibration/calibration_texts.h"
#include "core/app_settings.h"
#include "core/value_format.h"
#include "printing/r_print_helper.h"
#include "printing/reports.h"
#include "printing/thermal_printer.h"

namespace calibration {

namespace {

const char* const kItemNames[6] = {"WBC", "RBC", "HGB", "MCV", "PLT", "MPV"};

std::string Pad(const std::string& s, size_t width) {
  size_t chars = 0;
  for (unsigned char c : s)
    if ((c & 0xC0) != 0x80) ++chars;
  return chars >= width ? s : s + std::string(width - chars, ' ');
}

std::string HeadLine(bool percents, int lang) {
  if (percents)
    return PickText(lang, "项目    当前系数(%)     校准日期", "Item    Current coef.(%) Calib.Date",
                    "Elemento Coef. actual(%)  Fecha calib.", "Elément Coef. actuel(%)  Date calib.",
                    "Параметр Поточний коеф.(%) Дата калібр.");
  return PickText(lang, "项目    当前系数         校准日期", "Item    Current coef.    Calib.Date",
                  "Elemento Coef. actual     Fecha calib.", "Elément Coef. actuel     Date calib.",
                  "Параметр Поточний коеф.  Дата калібр.");
}

std::string TypeLabel(bool percents, int lang) {
  if (percents) return PickText(lang, "类型: ", "Type: ", "Tipo: ", "Type: ", "Тип: ");
  return PickText(lang, "样本类型: ", "Sample Type: ", "Tipo de muestra: ", "Type d'échantillon: ", "Тип зразку: ");
}

}  // namespace

std::string PrintDateText(int lang, const sys::LocalTime& t) {
  if (lang == 0) return StrPrintf("打印日期: %4d-%.2d-%.2d", t.year, t.month, t.day);
  if (lang == 3) return StrPrintf("Date impression: %2d/%.2d/%4d", t.day, t.month, t.year);
  if (lang == 2) return StrPrintf("Fecha impresión: %.2d/%.2d/%4d", t.day, t.month, t.year);
  if (lang == 4) return StrPrintf("Дата друку: %.2d/%.2d/%4d", t.day, t.month, t.year);
  return StrPrintf("Print date: %.2d/%.2d/%4d", t.month, t.day, t.year);
}

std::string ItemLine(const std::string& name, const std::string& value, const std::string& date) {
  return Pad(name, 8) + Pad(value, 17) + Pad(date, 14);
}

std::vector<std::string> ThermalLines(const CalibrationPrintout& p) {
  const int lang = p.language;
  std::vector<std::string> lines;
  lines.push_back(" ");
  lines.push_back(PrintDateText(lang, p.now));
  for (size_t i = p.values.size(); i-- > 0;)
    lines.push_back(ItemLine(kItemNames[i], p.values[i], i < p.dates.size() ? p.dates[i] : ""));
  lines.push_back("");
  lines.push_back(HeadLine(p.percents, lang));
  lines.push_back("");
  const std::string label = TypeLabel(p.percents, lang);
  if (lang == 4) {
    // Ukrainian: the name on a line of its own below its label.
    lines.push_back(BloodTypeName(p.bloodType, lang));
    lines.push_back(label.substr(0, label.find_last_not_of(' ') + 1));
  } else if (p.bloodType == 2 && lang != 0) {
    // The long pre-diluted name goes over two lines: its tail is sent (printed) below.
    const char* head = PickText(lang, "", "Pre-diluted peripheral", "Sangre periférica", "Sang périphérique", "");
    const char* tail = PickText(lang, "", "blood", "Pre-diluida", "pre dilue", "");
    lines.push_back(tail);
    lines.push_back(label + head);
  } else {
    lines.push_back(label + BloodTypeName(p.bloodType, lang));
  }
  return lines;
}

void PrintThermal(const CalibrationPrintout& p) {
  PrinterSendEscU(1);
  PrinterSetCharSpacing(2);
  const std::vector<std::string> lines = ThermalLines(p);
  const size_t firstItem = 2, lastItem = 2 + p.values.size();
  for (size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].empty()) {
      PrinterSendDc3Pattern(3);
      continue;
    }
    const uint8_t pitch = (i >= firstItem && i < lastItem) ? 0 : 16;
    PrinterPrintText(lines[i], pitch, 1, 1);
  }
  PrinterFeedDots(1, 125);
  PrinterSendEscU(0);
}

bool PrintPage(const CalibrationPrintout& p) {
  if (!p.percents && IsDotMatrixPrinter(print::DefaultPrinterName()))
    print::SetApplicationDeviceMode(DotMatrixPaperMode(print::ApplicationDeviceMode(), false));
  RPrintHelper helper;
  if (helper.GetDefaultPrinterName().empty() || !helper.Device()) return false;
  draw::DC* dc = helper.GetDC();
  if (!dc) return false;
  print::PageDevice* dev = helper.Device();
  const int lang = p.language;
  const int W = helper.GetPageWidth(), H = helper.GetPageHeight();
  const int header = AppSettings.PrintPageHeader;
  const int top = header <= 20 ? 0 : (header - 15) * H / 279;
  const draw::Font font = helper.CreatePrintFont(11, lang == 0 ? "宋体" : "Arial", 700);
  dev->StartDoc("Specimen");
  dev->StartPage();
  dc->SelectFont(font);
  const int h = dc->GetTextExtent("Ag").cy > 0 ? dc->GetTextExtent("Ag").cy : 1;
  const int c = dc->GetTextExtent("x").cx > 0 ? dc->GetTextExtent("x").cx : 1;
  double line = top / h + 4;
  auto y = [&](double l) { return static_cast<int>(l * h); };
  dc->TextOut(W / 15, y(line), TypeLabel(p.percents, lang) + BloodTypeName(p.bloodType, lang));
  dc->TextOut(W / 2 + 2 * c, y(line), PrintDateText(lang, p.now));
  line += 2;
  const draw::Pen pen(draw::PenStyle::Solid, 2, draw::RGB(0, 0, 0));
  dc->SelectPen(pen);
  dc->MoveTo(W / 20, y(line));
  dc->LineTo(W - W / 20, y(line));
  line += 0.4;
  const int valueX = W / 4 + 10 * c;
  const std::string valueHead = std::string(TextOf(CaliText::CurrentCoef, lang)) + (p.percents ? "(%)" : "");
  const int dateX = valueX + dc->GetTextExtent(valueHead).cx + 15 * c;
  dc->TextOut(W / 20, y(line), TextOf(CaliText::Item, lang));
  dc->TextOut(valueX, y(line), valueHead);
  dc->TextOut(dateX, y(line), TextOf(CaliText::CalibDate, lang));
  line += 1;
  dc->MoveTo(W / 20, y(line));
  dc->LineTo(W - W / 20, y(line));
  line += 0.4;
  for (size_t i = 0; i < p.values.size(); ++i) {
    dc->TextOut(W / 20, y(line), kItemNames[i]);
    dc->TextOut(valueX, y(line), p.values[i]);
    if (i < p.dates.size()) dc->TextOut(dateX, y(line), p.dates[i]);
    line += 1.5;
  }
  dev->EndPage();
  dev->EndDoc();
  return true;
}

}  // namespace calibration
