#include "app/screens/sys_log_print.h"

#include <cstdio>

#include "core/app_settings.h"
#include "platform/print/device_mode.h"
#include "platform/print/printers.h"
#include "printing/r_print_helper.h"
#include "printing/reports.h"
#include "printing/thermal_printer.h"
#include "printing/utf8_chars.h"

namespace {

// Pads on the right with blanks to `width` characters (a character is one code point).
std::string PadRight(const std::string& s, size_t width) {
  size_t chars = 0;
  for (unsigned char c : s)
    if ((c & 0xC0) != 0x80) ++chars;
  return chars >= width ? s : s + std::string(width - chars, ' ');
}

// The report's character spacing (ESC ' ' 2).
constexpr int kLogCharSpacing = 2;

// Prints one line of the log in size 4. A line wider than the head goes out as several, the
// last first, so that it reads in its own order: plain text breaks after 38 characters, and a
// Chinese or accented character (a downloaded glyph) counts 18 dots against the head's 384.
void PrintLogLine(const std::string& text) {
  std::vector<std::string> pieces;
  SplitTextToDots(text, kLogCharSpacing, kPrinterHeadDots, &pieces);
  if (pieces.empty()) pieces.push_back(text);
  for (size_t k = pieces.size(); k-- > 0;) PrinterPrintText(pieces[k], 4, 1, 1);
}

}  // namespace

std::string SysLogPrintDateText(int language, const sys::LocalTime& t) {
  char buf[96];
  if (language == 0) std::snprintf(buf, sizeof buf, "打印日期: %4d-%.2d-%.2d", t.year, t.month, t.day);
  else
    std::snprintf(buf, sizeof buf, "%s: %.2d/%.2d/%4d",
                  PickText(language, "", "Print date", "Imp fecha", "Date impression", "Дата друку"), t.month, t.day,
                  t.year);
  return buf;
}

void PrintSysLogTextJob(const std::vector<SysLogRow>& rows, int language, const sys::LocalTime& now,
                        const std::atomic<uint8_t>& cancel) {
  PrinterSendEscU(1);
  PrinterSetCharSpacing(kLogCharSpacing);
  PrinterPrintText(" ", 16, 1, 1);
  PrinterPrintText(SysLogPrintDateText(language, now), 16, 1, 1);
  for (size_t i = rows.size(); i-- > 0;) {
    if (cancel.load()) break;
    const SysLogRow& r = rows[i];
    if (language == 4) {
      for (const std::string* s : {&r.result, &r.event, &r.time, &r.date}) PrintLogLine(*s);
      continue;
    }
    PrintLogLine(PadRight(r.event, 19) + r.result);
    PrintLogLine(PadRight(r.date, 19) + r.time);
  }
  PrinterSendDc3Pattern(3);
  switch (language) {
    case 0:
      PrinterPrintText("事件             结果", 4, 1, 1);
      PrinterPrintText("日期             时间", 4, 1, 1);
      break;
    case 2:
      PrinterPrintText("Evento            Resultado", 4, 1, 1);
      PrinterPrintText("Fecha             Hora", 4, 1, 1);
      break;
    case 3:
      PrinterPrintText("Evenement         Resultat", 4, 1, 1);
      PrinterPrintText("Date              Heure", 4, 1, 1);
      break;
    case 4:
      for (const char* s : {"Результат", "Подія", "Час", "Дата"}) PrinterPrintText(s, 4, 1, 1);
      break;
    default:
      PrinterPrintText("Event            Result", 4, 1, 1);
      PrinterPrintText("Date             Time", 4, 1, 1);
      break;
  }
  PrinterSendDc3Pattern(3);
  PrinterPrintText(PickText(language, "                日志记录", "                 Log", "                 Registro",
                            "                 Log", "           Журнал"),
                   16, 1, 1);
  PrinterFeedDots(1, 125);
  PrinterSendEscU(0);
}

bool IsSysLogDotMatrixPrinter(const std::string& name) {
  for (const char* m : {"Epson LX-300+", "Jolimark LQ-300KII", "Panasonic KX-P1121", "EPSON LQ-300+II ESC/P2"})
    if (name == m) return true;
  return false;
}

bool PrintSysLogGraphicsJob(const std::vector<SysLogRow>& rows, int language, const sys::LocalTime& now,
                            const std::atomic<uint8_t>& cancel) {
  const std::string printer = print::DefaultPrinterName();
  if (printer.empty()) return false;
  print::DeviceMode mode = print::ApplicationDeviceMode();
  if (IsSysLogDotMatrixPrinter(printer)) mode = DotMatrixPaperMode(mode, false);
  mode.printer = printer;
  RPrintHelper helper(mode);
  if (!helper.Device()) return false;
  print::PageDevice* dev = helper.Device();
  draw::DC* dc = helper.GetDC();
  if (!dc) return false;
  const std::string face = language == 0 ? "宋体" : "Arial";
  const draw::Font font = helper.CreatePrintFont(10, face, draw::kFontWeightBold);
  const draw::Font title = helper.CreatePrintFont(16, face, draw::kFontWeightBold);
  dev->StartDoc("System Log");
  dev->StartPage();
  dc->SelectFont(font);
  const int lineHeight = dc->GetTextExtent("Ag").cy * 3 / 2;
  const int width = helper.GetPageWidth();
  const int pageLines = lineHeight > 0 ? helper.GetPageHeight() / lineHeight : 40;
  const int left = width / 12;
  const int col[4] = {left, left + width * 17 / 100, left + width * 32 / 100, left + width * 55 / 100};
  dc->SelectFont(title);
  const std::string titleText = PickText(language, "日志", "Log", "Registro", "Log", "Лог");
  const int tw = dc->GetTextExtent(titleText).cx;
  dc->TextOut((width - tw) / 2, lineHeight, titleText);
  dc->SelectFont(font);
  const char* const heads[5][4] = {{"日期", "时间", "事件", "结果"},
                                   {"Date", "Time", "Event", "Result"},
                                   {"Fecha", "Hora", "Evento", "Resultado"},
                                   {"Date", "Heure", "Evenement", "Resultat"},
                                   {"Дата", "Час", "Подія", "Результат"}};
  const int l = (language >= 0 && language <= 4) ? language : 1;
  int line = 3;
  for (int c = 0; c < 4; ++c) dc->TextOut(col[c], line * lineHeight, heads[l][c]);
  ++line;
  for (size_t i = rows.size(); i-- > 0;) {
    if (cancel.load()) break;
    const SysLogRow& r = rows[i];
    const std::string* cells[4] = {&r.date, &r.time, &r.event, &r.result};
    for (int c = 0; c < 4; ++c) dc->TextOut(col[c], line * lineHeight, *cells[c]);
    ++line;
    if (line > pageLines - 3) {
      dev->EndPage();
      dev->StartPage();
      dc->SelectFont(font);
      line = 2;
    }
  }
  dc->TextOut(col[0], (line + 1) * lineHeight, SysLogPrintDateText(language, now));
  dev->EndPage();
  dev->EndDoc();
  return true;
}
