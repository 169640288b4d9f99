// The three thermal sample reports (the sample just counted, the samples picked in the results
// browser, the result of the single-result view) share one row structure; the differences are
// the texts of a few rows, how widths are counted and a few margins, all chosen by the kind.
// The printer stacks rows upwards, so everything is sent last row first.
#include <atomic>

#include "core/value_format.h"
#include "printing/histogram_print.h"
#include "printing/report_text.h"
#include "printing/reports.h"
#include "printing/thermal_printer.h"

namespace {

enum class Kind { Sample, History, Result };

int Lang(int language) { return language >= 0 && language <= 4 ? language : 1; }

const char* Of5(int lang, const char* zh, const char* en, const char* es, const char* fr, const char* uk) {
  const char* t[5] = {zh, en, es, fr, uk};
  return t[Lang(lang)];
}

void Row(const std::string& text, uint8_t n = 4, int finalCr = 1) { PrinterPrintText(text, n, 1, finalCr); }

bool Cancelled(const std::atomic<uint8_t>* cancel) { return cancel && cancel->load() != 0; }

std::string PrintDateLine(Kind kind, int lang, const sys::LocalTime& t) {
  if (lang == 0) return StrPrintf("打印日期: %4d-%.2d-%.2d", t.year, t.month, t.day);
  if (lang == 2) return StrPrintf("Imp fecha: %2d/%.2d/%4d", t.month, t.day, t.year);
  if (kind == Kind::Result) {
    if (lang == 3) return StrPrintf("Date impression: %2d/%.2d/%4d", t.month, t.day, t.year);
    if (lang == 4) return StrPrintf("Дата друку: %2d/%.2d/%4d", t.month, t.day, t.year);
  } else {
    if (lang == 3) return StrPrintf("Date impression:%.2d/%.2d/%4d", t.month, t.day, t.year);
    if (lang == 4) return StrPrintf("Дата друку:%.2d/%.2d/%4d", t.month, t.day, t.year);
  }
  return StrPrintf("Print Date: %2d/%.2d/%4d", t.month, t.day, t.year);
}

// Names, widths and row shape of the item rows.
struct ItemPlan {
  int names;  // 0 Chinese, 1 abbreviation, 2 abbreviation + Chinese
  size_t nameWidth, valueWidth, rangeWidth;
  bool twoRows;
};

ItemPlan PlanOf(int lang, int format) {
  if (lang == 0) {
    if (format <= 1) return {0, 17, 14, 14, false};
    if (format <= 3) return {1, 8, 17, 14, false};
    return {2, 24, 0, 24, true};
  }
  return {1, 8, 17, 14, false};
}

std::string ItemName(int names, int i) {
  if (names == 0) return ReportParamChinese(i);
  if (names == 1) return ReportParamAbbrev(i);
  return std::string(ReportParamAbbrev(i)) + ReportParamChinese(i);
}

// Pads a field of the identity block: ANSI bytes, or characters for the result view.
std::string PadField(Kind kind, const std::string& text, size_t width) {
  return kind == Kind::Result ? PadChars(text, width) : PadBytes(text, width);
}

void SendItemRows(Kind kind, const ReportSnapshot& s, const ReportSettings& st, int lang) {
  const ItemPlan plan = PlanOf(lang, st.printFormat);
  const uint8_t n = (kind == Kind::History && lang != 0) ? 2 : 4;
  for (int i = kReportParams - 1; i >= 0; --i) {
    if (!st.printItems[i]) continue;
    const std::string name = PadField(kind, ItemName(plan.names, i), plan.nameWidth);
    std::string value = s.valueTexts[i] + " " + s.unitTexts[i];
    if (plan.valueWidth) value = PadChars(value, plan.valueWidth);
    const std::string range = PadChars(s.rangeTexts[i], plan.rangeWidth);
    if (plan.twoRows) {
      Row(range + s.flagTexts[i], n);
      Row(name + value, n);
    } else {
      Row(name + value + range + s.flagTexts[i], n);
    }
  }
}

void SendColumnHeader(Kind kind, int lang, int format) {
  if (lang == 0) {
    if (format >= 4) {
      Row("参考范围                提示");
      Row("检测参数                检测结果");
      return;
    }
    // Sent without its final CR, except by the result view, which ends every row.
    const int cr = kind == Kind::Result ? 1 : 0;
    Row(format <= 1 ? "参数              检测结果    参考范围     提示" : "参数    检测结果          参考范围    提示", 4, cr);
    return;
  }
  if (lang == 4) {
    if (kind == Kind::History) {
      Row("Норми           Замітки");
      Row("Пункт           Результат");
    } else {
      Row("Норми          Замітки");
      Row("параметр    Результат");
    }
    return;
  }
  if (lang == 3) {
    Row(kind == Kind::History ? "Element    Resultat      Reference    Note" : "Element    Resultat     Referencia    Note");
    return;
  }
  Row(lang == 2 ? "Item    Resultado       Referencia    Nota" : "Item    Result           Reference    Note");
}

// A row of two fields: one row in most languages, two in Ukrainian (the lower sent first).
void PairRow(int lang, const std::string& oneRow, const std::string& upper, const std::string& lower) {
  if (lang == 4) {
    Row(lower);
    Row(upper);
  } else {
    Row(oneRow);
  }
}

void SendIdentityRows(Kind kind, const ReportSnapshot& s, int lang) {
  const std::string dateTime = s.testDate + " " + s.testTime;
  if (kind == Kind::Sample)
    Row(FillText(Of5(lang, "检测时间: %s", "Test Time: %s", "Test Hora: %s", "Temps de test:%s", "Час аналізу:%s"),
                 {dateTime}));
  else
    Row(FillText(Of5(lang, "检测时间: %s", "Test Time: %s", "Test Hora: %s", "Temps de test: %s", "Час аналізу: %s"),
                 {dateTime}));

  const std::string scrutator = PadField(kind, s.scrutator, 12);
  PairRow(lang,
          FillText(Of5(lang, "检测者: %s    审核者: %s", "Inspector: %sVerifier: %s", "Inspector: %sVerificador: %s",
                       "Inspecteur: %sControleur: %s", ""),
                   {scrutator, s.checker}),
          "Інспектор: " + s.scrutator, "Контролер: " + s.checker);

  const std::string dept = PadField(kind, s.dept, 12);
  PairRow(lang,
          FillText(Of5(lang, "科室: %s      送检者: %s", "Dept.: %s    Applicant: %s", "Dept.: %s   Solicitante: %s",
                       "Dept.: %s   Traitant: %s", ""),
                   {dept, s.sender}),
          "Відділ: " + s.dept, "Лікар: " + s.sender);

  const std::string medical = PadField(kind, s.medicalNo, (lang == 0 || kind == Kind::Result) ? 12 : 10);
  PairRow(lang,
          FillText(Of5(lang, "病历号: %s    床号: %s", "Medical No.: %sBed No.: %s", "Medico No.: %sCama No.: %s",
                       "Medical No: %sNo de Lit: %s", ""),
                   {medical, s.bedNo}),
          "Медичний №: " + s.medicalNo, "Номер палати: " + s.bedNo);

  const std::string type = PadField(kind, s.bloodTypeText, 12);
  if (lang == 0) {
    Row(FillText("样本: %s      参考值: %s", {type, s.referenceText}));
  } else {
    const char* typeLabel = Of5(lang, "", "Type: ", "Tipo de muestra: ",
                                kind == Kind::History ? "Type d'échantillon: " : "Type d'echantillon: ", "Тип зразку: ");
    Row(Of5(lang, "", "Reference: ", "Referencia: ", "Reference: ", "Норми: ") + s.referenceText);
    Row(typeLabel + type);
  }

  const std::string sex = PadField(kind, s.sex, 12);
  if (lang == 4) {
    const bool tight = kind == Kind::History;
    Row((tight ? "Вік:" : "Вік: ") + s.age);
    Row((tight ? "Стать:" : "Стать: ") + sex);
  } else {
    Row(FillText(Of5(lang, "性别: %s      年龄: %s", "Sex: %s      Age: %s", "Sexo: %s    Edad: %s",
                     "Sexe: %s     Age: %s", ""),
                 {sex, s.age}));
  }

  std::string name = s.name;
  if (kind == Kind::Sample) {
    // The printer's character set has no straight apostrophe glyph of its own in names.
    std::string q;
    for (char c : name) q += c == '\'' ? std::string("\u2018") : std::string(1, c);
    name = q;
  }
  if (lang != 0) {
    const char* label = Of5(lang, "", "Name: %s", "Nombre: %s", "Nom: %s", kind == Kind::Sample ? "Ім'я: %s" : "Имя: %s");
    const std::string line = FillText(label, {name});
    if (ReportCharCount(line) > 48) {
      Row(TailChars(line, 45));
      Row(HeadChars(line, 45));
    } else {
      Row(line);
    }
  }

  const std::string number = PadChars(s.sampleNo, 12);
  const bool star = kind == Kind::Sample && s.countMismatch;
  if (lang == 0)
    Row(FillText(star ? "编号: *%s     姓名: %s" : "编号: %s      姓名: %s", {number, name}));
  else if (lang == 4)
    Row(FillText(star ? "Номер: *%s     " : "Номер: %s     ", {number}));
  else
    Row(FillText(star ? "No.: *%s     " : "No.: %s     ", {number}));
}

std::string TitleRow(Kind kind, int lang) {
  switch (kind) {
    case Kind::Sample:
      return Of5(lang, "                    检验报告单", "               Test Report", "           Reporte de Prueba",
                 "           Rapports de tests", "          Звіт тесту");
    case Kind::History:
      return Of5(lang, "                    检验报告单", "                 Test Report",
                 "             Reporte de Prueba", "             Rapports de tests", "            Звіт тесту");
    case Kind::Result:
    default:
      return Of5(lang, "                    检验报告单", "                 Test Report", "            Reporte de Prueba",
                 "            Rapports de tests", "           Звіт тесту");
  }
}

// The laboratory's name centred on the 48-column row.
std::string HospitalRow(Kind kind, const std::string& unitName) {
  const std::string name = TrimBlanks(unitName);
  if (kind == Kind::Result) {
    const size_t n = ReportCharCount(name);
    return std::string(n < 46 ? (46 - n) / 2 : 0, ' ') + name;
  }
  const size_t n = ReportAnsiBytes(name);
  const std::string side(1 + (n < 46 ? (46 - n) / 2 : 0), ' ');
  return side + name + side;
}

// One report, from its footer up to its title; false when `cancel` stopped it.
bool SendThermalReport(Kind kind, const ReportSnapshot& s, const ReportSettings& st, const sys::LocalTime& t,
                       const std::atomic<uint8_t>* cancel) {
  const int lang = Lang(st.language);
  if (lang == 0) Row("注: 本报告仅对所测样本负责");
  Row(PrintDateLine(kind, lang, t));
  if (Cancelled(cancel)) return false;
  const int f = st.printFormat;
  if ((f == 0 || f == 2 || f == 4) && s.histograms.present)
    PrintHistogramsThermal(s.histograms.wbc, s.histograms.rbc, s.histograms.plt, s.warning, s.bloodMode,
                           s.histograms.markers[0], s.histograms.markers[1], s.histograms.markers[2],
                           s.histograms.markers[3], lang);
  if (Cancelled(cancel)) return false;
  SendItemRows(kind, s, st, lang);
  PrinterSendDc3Pattern(3);
  SendColumnHeader(kind, lang, f);
  if (Cancelled(cancel)) return false;
  PrinterFeedDots(1, 10);
  PrinterSendDc3Pattern(3);
  if (s.notComputed) Row(NotComputedReportLine(lang));  // under the identity rows
  SendIdentityRows(kind, s, lang);
  PrinterFeedDots(1, 10);
  Row(TitleRow(kind, lang));
  Row(HospitalRow(kind, st.unitName));
  PrinterFeedDots(1, kind == Kind::History ? 100 : 125);
  return true;
}

void SendSingleReport(Kind kind, const ReportSnapshot& s, const ReportSettings& st, const sys::LocalTime& t) {
  PrinterSendEscU(1);
  PrinterSetCharSpacing(0);
  Row(" ");
  SendThermalReport(kind, s, st, t, nullptr);
  PrinterSendEscU(0);
}

}  // namespace

void PrintSampleReportThermal(const ReportSnapshot& sample, const ReportSettings& settings,
                              const sys::LocalTime& printTime) {
  SendSingleReport(Kind::Sample, sample, settings, printTime);
}

void PrintResultThermal(const ReportSnapshot& sample, const ReportSettings& settings, const sys::LocalTime& printTime) {
  SendSingleReport(Kind::Result, sample, settings, printTime);
}

int PrintHistoryThermal(const std::vector<ReportSnapshot>& samples, const ReportSettings& settings,
                        const sys::LocalTime& printTime, const std::atomic<uint8_t>& cancel) {
  PrinterSendEscU(1);
  PrinterSetCharSpacing(0);
  Row(" ");
  int started = 0;
  for (const ReportSnapshot& s : samples) {
    if (cancel.load()) break;
    ++started;
    if (!SendThermalReport(Kind::History, s, settings, printTime, &cancel)) break;
  }
  PrinterSendEscU(0);
  return started;
}

void PrintSnapshotHistogramsThermal(const ReportSnapshot& s, const ReportSettings& settings) {
  if (!s.histograms.present) return;
  PrintHistogramsThermal(s.histograms.wbc, s.histograms.rbc, s.histograms.plt, s.warning, s.bloodMode,
                         s.histograms.markers[0], s.histograms.markers[1], s.histograms.markers[2],
                         s.histograms.markers[3], settings.language);
}
