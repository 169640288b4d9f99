// The page reports (the sample just counted, the samples picked in the results browser, the
// result of the single-result view) draw the same page: title, three patient rows, the table of
// selected parameters over a band of 30 item pitches, the histograms by print format, the
// people and the dates. What differs between them and between the full and the half page is
// collected in a PagePlan; one function draws the page.
#include <algorithm>
#include <cctype>
#include <cmath>

#include "core/value_format.h"
#include "printing/histogram_print.h"
#include "printing/r_print_helper.h"
#include "printing/report_text.h"
#include "printing/reports.h"

namespace {

enum class PageKind { Sample, History, Result };

int Lang(int language) { return language >= 0 && language <= 4 ? language : 1; }

const char* Of5(int lang, const char* zh, const char* en, const char* es, const char* fr, const char* uk) {
  const char* t[5] = {zh, en, es, fr, uk};
  return t[Lang(lang)];
}

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

}  // namespace

bool IsDotMatrixPrinter(const std::string& name) {
  static const char* const kModels[] = {"Epson LX-300+", "Jolimark LQ-300KII", "Panasonic KX-P1121",
                                        "Epson LQ-300K+II", "EPSON LQ-300+II ESC/P2"};
  const std::string n = Lower(name);
  for (const char* m : kModels)
    if (n == Lower(m)) return true;
  return false;
}

std::string NotComputedReportLine(int language) {
  return Of5(language, "结果未计算：缺少算法库",
             "Result not computed: algorithm library missing", "Resultado no calculado: falta la biblioteca",
             "Resultat non calcule : bibliotheque absente", "Результат не обчислено: немає бібліотеки");
}

print::DeviceMode DotMatrixPaperMode(const print::DeviceMode& base, bool halfPage) {
  print::DeviceMode mode = base;
  mode.paperSize = print::kPaperUser;
  mode.paperWidth = 2100;
  mode.paperLength = halfPage ? 1395 : 2790;
  return mode;
}

print::DeviceMode PageReportMode(const print::DeviceMode& base, const std::string& printerName, bool halfPage) {
  return IsDotMatrixPrinter(printerName) ? DotMatrixPaperMode(base, halfPage) : base;
}

namespace {

// Everything that differs between the page reports.
struct PagePlan {
  PageKind kind = PageKind::Sample;
  int lang = 1;
  int format = 0;
  bool half = false;  // the half-page layout (PrintFormat 2 and 3)
  bool nt = true;
  int H = 0, R = 0, a = 0;  // header pitch, item pitch, average character width
  int W = 0, P = 0;
};

std::string PrintDateText(const PagePlan& p, const sys::LocalTime& t) {
  const int l = p.lang;
  if (l == 0) return StrPrintf("打印日期: %4d-%.2d-%.2d", t.year, t.month, t.day);
  if (p.kind == PageKind::Sample) {
    const std::string date = StrPrintf("%.2d/%.2d/%d", t.month, t.day, t.year);
    return FillText(Of5(l, "", "Print Date: %s", "Imp fecha: %s", "Date impression:%s", "Дата друку:%s"), {date});
  }
  if (l == 1) return StrPrintf("Print date: %.2d/%.2d/%4d", t.month, t.day, t.year);
  const bool wide = p.kind == PageKind::History && !p.half;  // the full-page browser report
  if (l == 2) return wide ? StrPrintf("Imp fecha: %.2d/%.2d/%4d", t.month, t.day, t.year)
                          : StrPrintf("Imp fecha: %2d/%.2d/%4d", t.month, t.day, t.year);
  if (l == 3) return wide ? StrPrintf("Date impression:%2d/%.2d/%4d", t.month, t.day, t.year)
                          : StrPrintf("Date impression:%.2d/%.2d/%4d", t.month, t.day, t.year);
  return wide ? StrPrintf("Дата друку:%2d/%.2d/%4d", t.month, t.day, t.year)
              : StrPrintf("Дата друку:%.2d/%.2d/%4d", t.month, t.day, t.year);
}

const char* LongName(int i) {
  static const char* const kNames[20] = {
      "白细胞(WBC)",          "淋巴细胞(LYM#)",       "中间细胞(MID#)",        "粒细胞(GRA#)",
      "淋巴细胞百分比(LYM%)", "中间细胞百分比(MID%)", "粒细胞百分比(GRA%)",   "红细胞(RBC)",
      "血红蛋白(HGB)",        "红细胞压积(HCT)",      "红细胞平均体积(MCV)",   "平均血红蛋白含量(MCH)",
      "平均血红蛋白浓度(MCHC)", "红细胞分布宽度SD(RDW-SD)", "红细胞分布宽度CV(RDW-CV)", "血小板(PLT)",
      "血小板平均体积(MPV)",  "血小板分布宽度(PDW)",  "血小板压积(PCT)",       "大血小板比率(P-LCR)"};
  return kNames[i];
}

class PageDrawer {
 public:
  PageDrawer(RPrintHelper& helper, const PagePlan& plan, const std::string& face, int bodyPoints)
      : helper_(helper), dc_(*helper.GetDC()), p_(plan), face_(face) {
    body_ = helper.CreatePrintFont(bodyPoints, face, draw::kFontWeightBold);
    title_ = helper.CreatePrintFont(13, face, draw::kFontWeightBold);
    small_ = helper.CreatePrintFont(8, face, draw::kFontWeightBold);
    note_ = helper.CreatePrintFont(9, face, draw::kFontWeightBold);
  }

  void Draw(const ReportSnapshot& s, const ReportSettings& st, const sys::LocalTime& printTime, double startRow);

 private:
  int Y(double row, int unit) const { return static_cast<int>(row * unit); }
  void Text(int x, int y, const std::string& t) { dc_.ExtTextOut(x, y, 0, nullptr, t); }
  void Centred(int y, const std::string& t) { Text((p_.W - dc_.GetTextExtent(t).cx) / 2, y, t); }
  void Rule(int y, int x1) {
    const draw::Pen old = dc_.SelectPen(draw::Pen(draw::PenStyle::Solid, static_cast<int>(2 * helper_.YScale()), draw::kBlack));
    dc_.MoveTo(x1, y);
    dc_.LineTo(p_.W - x1, y);
    dc_.SelectPen(old);
  }
  void Histograms(const ReportSnapshot& s, int layout, double row) {
    PrintHistogramsGdi(s.histograms.wbc, s.histograms.rbc, s.histograms.plt, layout, helper_, static_cast<float>(row),
                       s.warning, s.bloodMode, p_.H, s.histograms.markers[0], s.histograms.markers[1],
                       s.histograms.markers[2], s.histograms.markers[3], p_.lang);
  }
  void PatientRows(const ReportSnapshot& s, double& row);

  RPrintHelper& helper_;
  draw::DC& dc_;
  PagePlan p_;
  std::string face_;
  draw::Font body_, title_, small_, note_;
};

void PageDrawer::PatientRows(const ReportSnapshot& s, double& row) {
  const int l = p_.lang, W = p_.W, a = p_.a, H = p_.H;
  const bool zh = l == 0;
  const int x1 = zh ? W / 15 : W / 30;
  const int x2 = zh ? W / 3 + 8 * a : W / 3 + 16 * a;
  const int x3 = (zh && p_.kind != PageKind::Result) ? 2 * W / 3 : 2 * W / 3 + 5 * a;
  const bool sample = p_.kind == PageKind::Sample;
  double step = 1.5;
  if (sample) step = p_.nt ? 1.2 : 1.5;
  else if (p_.half) step = (p_.kind == PageKind::History) == p_.nt ? 1.5 : 1.2;

  // Row 1: name, sex, sample number.
  const std::string name = FillText(
      sample ? Of5(l, "姓名: %s", "Name:%s", "Nombre:%s", "Nom: %s", "Ім'я: %s")
             : Of5(l, "姓名: %s", "Name: %s", "Nombre: %s", "Nom: %s", "Ім'я: %s"),
      {s.name});
  int y = Y(row, H);
  if (!zh && ReportCharCount(name) > 40) {
    dc_.SelectFont(small_);
    Text(W / 30, static_cast<int>(y - 0.35 * H), HeadChars(name, 35));
    Text(W / 30, static_cast<int>(y + 0.4 * H), TailChars(name, 35));
    dc_.SelectFont(body_);
  } else {
    Text(x1, y, name);
  }
  Text(x2, y, FillText(Of5(l, "性别: %s", "Sex: %s", "Sexo: %s", "Sexe: %s", "Стать: %s"), {s.sex}));
  const char* number = "";
  if (sample)
    number = s.countMismatch ? Of5(l, "样本编号: *%s", "No.: *%s", "No.: *%s", "No.: *%s", "Номер: *%s")
                             : Of5(l, "样本编号: %s", "No.: %s", "No.: %s", "No.: %s", "Номер: %s");
  else if (p_.kind == PageKind::History)
    number = Of5(l, "样本编号: %s", "No.: %s", "No.: %s", "No: %s", "Номер образца: %s");
  else
    number = Of5(l, "样本编号: %s", "No.: %s", "No.: %s", "No.: %s", "Номер образца: %s");
  Text(x3, y, FillText(number, {s.sampleNo}));
  row += step;

  // Row 2: sample type, age, medical number.
  y = Y(row, H);
  Text(x1, y, FillText(Of5(l, "样本类型: %s", "Type: %s", "Tipo: %s", "Type: %s", "Тип зразку: %s"), {s.bloodTypeText}));
  Text(x2, y, FillText(Of5(l, "年龄: %s", "Age: %s", "Edad: %s", "Age: %s", "Вік: %s"), {s.age}));
  Text(x3, y,
       FillText(Of5(l, "病历号: %s", "Medical No.: %s", "Medico No.: %s", "Medical No: %s", "Медичний №: %s"),
                {s.medicalNo}));
  row += step;

  // Row 3: reference group, department, bed number.
  y = Y(row, H);
  Text(x1, y,
       FillText(Of5(l, "参考值: %s", "Reference: %s", "Referencia: %s", "Reference: %s", "Норми: %s"), {s.referenceText}));
  Text(x2, y, FillText(Of5(l, "科室: %s", "Dept.: %s", "Dept.: %s", "Dept.: %s", "Відділ: %s"), {s.dept}));
  Text(x3, y,
       FillText(Of5(l, "床号: %s", "Bed No.: %s", "Cama No.: %s", "No de Lit: %s", "Номер палати: %s"), {s.bedNo}));
}

void PageDrawer::Draw(const ReportSnapshot& s, const ReportSettings& st, const sys::LocalTime& printTime,
                      double startRow) {
  const int l = p_.lang, W = p_.W, a = p_.a, H = p_.H, R = p_.R;
  const bool zh = l == 0, sample = p_.kind == PageKind::Sample;
  double row = startRow;

  // Title block.
  dc_.SelectFont(title_);
  const std::string unitName = TrimBlanks(st.unitName);
  if (!zh) {
    Centred(Y(row, H), unitName);
    row += 0.5;
  }
  row += 1.0;
  Centred(Y(row, H), zh ? unitName + "检验报告单"
                        : std::string(Of5(l, "", "Test Report", "Reporte de Prueba", "Rapports de tests", "Звіт тесту")));
  dc_.SelectFont(body_);
  row += (sample || p_.half) ? 1.5 : 2.0;
  if (s.notComputed) {
    Centred(Y(row, H), NotComputedReportLine(l));
    row += 1.2;
  }

  PatientRows(s, row);
  row += p_.half ? 1.2 : 1.5;

  // The two rules around the table header.
  const int ruleX = (zh || (p_.kind == PageKind::History && !p_.half)) ? W / 20 : W / 30;
  Rule(Y(row, H), ruleX);
  row += (sample || p_.half) ? 0.3 : 0.4;
  const bool narrow = p_.format == 2;
  const int cols[4] = {W / 15, narrow ? (zh ? W / 5 + 14 * a : W / 5 + 8 * a) : W / 4 + 10 * a,
                       narrow ? (zh ? 2 * W / 5 + 8 * a : 2 * W / 5 + 4 * a) : W / 2 + 10 * a,
                       narrow ? 3 * W / 5 + a : 3 * W / 4 + 5 * a};
  const int hy = Y(row, H);
  Text(cols[0], hy, Of5(l, "检测参数", "Item", "Item", "Element", "параметр"));
  Text(cols[1], hy, Of5(l, "检测结果", "Result", "Resultado", "Resultat", "Результат"));
  Text(cols[2], hy, Of5(l, "参考范围", "Reference", "Referencia", "Reference", "Норми"));
  Text(cols[3], hy, Of5(l, "提示", "Note", "Nota", "Note", "Замітки"));
  row += 1.2;
  const int y2 = Y(row, H);
  Rule(y2, ruleX);

  // Items: 30 item pitches shared by the selected parameters.
  int unit = H;
  if (p_.half) {
    if (p_.format == 2 && s.histograms.present) Histograms(s, 1, row + 1.0);
    unit = R;
    row = static_cast<double>(y2 + 287) / R;
  } else {
    row += sample ? 1.0 : 0.4;
  }
  int n = 0;
  for (int i = 0; i < kReportParams; ++i) n += st.printItems[i] ? 1 : 0;
  if (n == 0 && !p_.half) row += 30.0;
  for (int i = 0; i < kReportParams; ++i) {
    if (!st.printItems[i]) continue;
    const int y = Y(row, unit);
    Text(cols[0], y, zh ? LongName(i) : ReportParamAbbrev(i));
    Text(cols[1], y, s.valueTexts[i] + " " + s.unitTexts[i]);
    Text(cols[2], y, s.rangeTexts[i]);
    Text(cols[3], y, s.flagTexts[i]);
    row += 30.0 / n;
  }

  if (!p_.half) {
    if (p_.format == 0) {
      if (s.histograms.present) {
        row += 2.0;
        Histograms(s, 0, row);
        row += 6.0;
      } else if (p_.kind == PageKind::Result) {
        row += 2.0;  // the view's report keeps the gap of a missing record
      }
    }
    row += 2.0;
  }
  Rule(Y(row, unit), sample ? ruleX : W / 20);
  row += (sample || p_.half) ? 0.5 : 1.0;

  // Footer.
  int y = Y(row, unit);
  Text(W / 15, y, FillText(Of5(l, "送检者: %s", "Applicant: %s", "Solicitante: %s", "Traitant: %s", "Лікар: %s"), {s.sender}));
  Text(W / 2 - 10 * a, y,
       FillText(Of5(l, "检测者: %s", "Inspector: %s", "Inspector: %s", "Inspecteur: %s", "Інспектор: %s"), {s.scrutator}));
  Text(3 * W / 4 - 5 * a, y,
       FillText(Of5(l, "审核者: %s", "Verifier: %s", "Verificador: %s", "Controleur: %s", "Контролер: %s"), {s.checker}));
  row += 1.5;
  y = Y(row, unit);
  const std::string testTime =
      sample ? FillText(Of5(l, "检测时间: %s %s", "Test Time: %s %s", "Test Hora: %s %s", "Temps de test:%s %s",
                            "Час аналізу:%s %s"),
                        {s.testDate, s.testTime})
             : FillText(Of5(l, "检测时间: %s", "Test Time: %s", "Test Hora: %s", "Temps de test: %s", "Час аналізу: %s"),
                        {s.testDate + " " + s.testTime});
  Text(W / 15, y, testTime);
  Text(3 * W / 4 - 5 * a, y, PrintDateText(p_, printTime));
  row += 1.5;
  if (zh) {
    dc_.SelectFont(note_);
    Text(W / 15, Y(row, unit), "注：本报告仅对所测样本负责");
    dc_.SelectFont(body_);
  }
}

// Runs one page job: the paper of the printer, the fonts and pitches, one page per snapshot.
PageReportOutcome RunPageJob(PageKind kind, const std::vector<ReportSnapshot>& samples, const ReportSettings& st,
                             const sys::LocalTime& printTime, const std::atomic<uint8_t>* cancel,
                             const print::DeviceMode& base) {
  PageReportOutcome out;
  const int lang = Lang(st.language);
  const bool half = st.printFormat >= 2;
  const std::string printer = base.printer.empty() ? print::DefaultPrinterName() : base.printer;
  if (printer.empty()) {
    out.noPrinter = true;
    return out;
  }
  const bool dotMatrix = IsDotMatrixPrinter(printer);
  // The paper is this job's own: the application's settings stay as they are.
  out.mode = PageReportMode(base, printer, half);
  out.mode.printer = printer;
  RPrintHelper helper(out.mode);
  draw::DC* dc = helper.GetDC();
  if (!dc) {
    out.noPrinter = true;
    return out;
  }
  PagePlan plan;
  plan.kind = kind;
  plan.lang = lang;
  plan.format = st.printFormat;
  plan.half = half;
  plan.nt = st.ntPlatform;
  plan.W = helper.GetPageWidth();
  plan.P = helper.GetPageHeight();
  const std::string face = lang == 0 ? "宋体" : "Arial";
  int points = (dotMatrix && !half) ? 11 : 10;
  if (lang != 0) points -= 1;
  {
    const draw::Font body = helper.CreatePrintFont(points, face, draw::kFontWeightBold);
    const draw::Font old = dc->SelectFont(body);
    const draw::TextMetrics tm = dc->GetTextMetrics();
    dc->SelectFont(old);
    plan.H = tm.height;
    plan.a = tm.aveCharWidth;
  }
  plan.R = plan.H;
  if (half) {
    if (dotMatrix) {
      plan.H = static_cast<int>(plan.H * (lang == 0 ? 0.85 : 0.8));
      plan.R = static_cast<int>(plan.H * (Lower(printer) == Lower("Epson LX-300+") ? 0.85 : 0.9));
    } else {
      plan.R = static_cast<int>(plan.H * 0.8);
    }
  }
  if (plan.H <= 0 || plan.R <= 0) {
    out.noPrinter = true;
    return out;
  }
  const int top = st.pageHeaderLength > 20 ? (st.pageHeaderLength - 15) * plan.P / 279 : 0;
  double start = top / plan.H;  // whole header pitches
  start += half ? 0.5 : (kind == PageKind::Sample ? 1.0 : 2.0);

  print::PageDevice* dev = helper.Device();
  dev->StartDoc("Specimen");
  const int saved = dc->SaveDC();
  for (const ReportSnapshot& s : samples) {
    if (cancel && cancel->load()) {
      out.cancelled = true;
      break;
    }
    dev->StartPage();
    PageDrawer drawer(helper, plan, face, points);
    drawer.Draw(s, st, printTime, start);
    dev->EndPage();
    ++out.reports;
  }
  dc->RestoreDC(saved);
  dev->EndDoc();
  out.job = dev->Result();
  out.pdf = dev->PdfBytes();
  out.printed = out.job.pages > 0;
  return out;
}

}  // namespace

PageReportOutcome PrintSampleReportPage(const ReportSnapshot& sample, const ReportSettings& settings,
                                        const sys::LocalTime& printTime, const print::DeviceMode& base) {
  return RunPageJob(PageKind::Sample, {sample}, settings, printTime, nullptr, base);
}

PageReportOutcome PrintHistoryPage(const std::vector<ReportSnapshot>& samples, const ReportSettings& settings,
                                   const sys::LocalTime& printTime, const std::atomic<uint8_t>& cancel,
                                   const print::DeviceMode& base) {
  return RunPageJob(PageKind::History, samples, settings, printTime, &cancel, base);
}

PageReportOutcome PrintResultPage(const ReportSnapshot& sample, const ReportSettings& settings,
                                  const sys::LocalTime& printTime, const print::DeviceMode& base) {
  return RunPageJob(PageKind::Result, {sample}, settings, printTime, nullptr, base);
}
