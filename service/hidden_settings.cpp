#include "service/hidden_settings.h"
#include "core/sys_setting.h"

#include <thread>
#include <utility>
#include <vector>

#include "core/ado_conn.h"
#include "core/app_settings.h"
#include "core/field_read.h"
#include "core/value_format.h"
#include "core/write_log.h"
#include "measurement/mid_results.h"
#include "analyzer/sequences/process_values.h"
#include "analyzer/sequences/soak_reminder.h"
#include "platform/sys/profile.h"
#include "printing/r_print_helper.h"
#include "printing/thermal_printer.h"
#include "service/service_link.h"

namespace service {

std::string ReviseUpdateSql(float v, analyzer::ReagentVolumes& vols) {
  const float r = vols.ReviseVol;
  bool lyse = false, cleanser = false;
  if (v > r) {
    if (!vols.LyseReserveCounting) {
      vols.LyseReviseVol = v;
      lyse = true;
    }
    if (!vols.CleanserReserveCounting) {
      vols.CleanerReviseVol = v;
      cleanser = true;
    }
  } else if (v < r) {
    if (vols.LyseReviseVol > v) {
      vols.LyseReviseVol = v;
      vols.LyseReserveCounting = 0;
      lyse = true;
    }
    if (vols.CleanerReviseVol > v) {
      vols.CleanerReviseVol = v;
      vols.CleanserReserveCounting = 0;
      cleanser = true;
    }
  } else {
    return {};
  }
  SysSettingUpdate u;
  u.SetFixed2("ReviseVol", v);
  if (lyse) u.SetFixed2("LyseReviseVol", vols.LyseReviseVol);
  if (cleanser) u.SetFixed2("CleanerReviseVol", vols.CleanerReviseVol);
  return u.Sql();
}

std::string CoefficientText(float value) { return StrPrintf("%g", value); }

analyzer::ReagentCoefficients ReadShownCoefficients(const std::string& ini) {
  return analyzer::ReadReagentCoefficients(ini);
}

HiddenSaveResult SaveHiddenSettings(const HiddenInputs& in, CADOConn* conn, const std::string& ini, int lang) {
  HiddenSaveResult res;
  double d[3], v = 0;
  const std::string* texts[3] = {&in.dil, &in.lys, &in.cle};
  for (int i = 0; i < 3; ++i) {
    if (!ParseDecimal(*texts[i], &d[i])) {
      res.message = PickText(lang, "请输入数字作为试剂系数！", "Please input a number for the reagent coefficients!",
                             "¡Introduzca un número para los coeficientes de reactivo!",
                             "Veuillez saisir un nombre pour les coefficients de réactif!",
                             "Введіть число для коефіцієнтів реагентів!");
      return res;
    }
  }
  if (!ParseDecimal(in.revise, &v)) {
    res.message = PickText(lang, "请输入数字作为试剂修正量！", "Please input a number for the reagent correction amount!",
                           "¡Introduzca un número para la cantidad de corrección de reactivo!",
                           "Veuillez saisir un nombre pour la quantité de correction du réactif!",
                           "Введіть число для величини корекції реагенту!");
    return res;
  }
  if (v < 0) {
    res.message = PickText(lang, "试剂修正量不能小于0", "Reagent correction amount can not be less than 0",
                           "La cantidad de corrección de reactivo no puede ser menor que 0",
                           "La quantité de correction du réactif ne peut pas être inférieure à 0",
                           "Величина корекції реагенту не може бути меншою за 0");
    return res;
  }
  // An amount the field cannot show, or a float cannot keep to the hundredth, is refused: an
  // infinite amount would keep the reagent alarm from ever coming.
  if (!(v <= kMaxReviseVol)) {
    res.message = PickText(lang, "试剂修正量必须在0到9999.99之间", "Reagent correction amount must be between 0 and 9999.99",
                           "La cantidad de corrección de reactivo debe estar entre 0 y 9999.99",
                           "La quantité de correction du réactif doit être comprise entre 0 et 9999.99",
                           "Величина корекції реагенту має бути від 0 до 9999.99");
    return res;
  }
  // The coefficients: each outside 0.8 to 1.21 (compared in double precision after the
  // conversion to float) becomes 1.0.
  float k[3];
  for (int i = 0; i < 3; ++i) {
    const float f = static_cast<float>(d[i]);
    const double fd = f;
    k[i] = (fd < 0.8 || fd > 1.21) ? 1.0f : f;
  }
  // The three coefficients go to the settings file in one replacement (a power cut leaves all
  // old or all new), then the correction amount to the store; the values in force change only
  // with what was saved, and a failure is said, never "Data saved!".
  const char* keys[3] = {"DIL", "LYS", "CLE"};
  std::vector<std::pair<std::string, std::string>> coefTexts;
  for (int i = 0; i < 3; ++i) coefTexts.emplace_back(keys[i], StrPrintf("%.2f", k[i]));
  std::string why;
  if (!sys::ProfileWriteStrings("ReagentCalcCoef", coefTexts, ini, &why)) {
    WriteLog("Saving the reagent coefficients failed: " + why, "");
    res.message = NotSavedText(lang);
    return res;
  }
  analyzer::ReagentCoefficients& rc = analyzer::Reagents().coefficients();
  rc.dil = k[0];
  rc.lys = k[1];
  rc.cle = k[2];
  res.dil = k[0];
  res.lys = k[1];
  res.cle = k[2];

  analyzer::ReagentVolumes& vols = analyzer::Reagents().volumes();
  analyzer::ReagentVolumes next = vols;
  const float amount = static_cast<float>(v);
  const std::string sql = ReviseUpdateSql(amount, next);
  next.ReviseVol = amount;
  if (conn != nullptr) {
    const bool stored = (sql.empty() || conn->Execute(sql) == 1) &&
                        SysSettingUpdate().Set("IsOpenSoakTips", analyzer::Soak.IsOpenSoakTips).Execute(*conn);
    if (!stored) {
      res.message = NotSavedText(lang);
      return res;
    }
  }
  vols = next;
  res.saved = true;
  res.message = DataSavedText(lang);
  return res;
}

bool ToggleMidResults() {
  measurement::ShowMidResults = measurement::ShowMidResults ? 0 : 1;
  return measurement::ShowMidResults != 0;
}

bool ToggleSoakTips(CADOConn* conn, const sys::LocalTime& t) {
  if (analyzer::Soak.IsOpenSoakTips == 1) {
    analyzer::Soak.IsOpenSoakTips = 0;
    analyzer::Soak.DeviceTestTimes = 0;
    if (conn) SysSettingUpdate().Set("DeviceTestTimes", 0).Execute(*conn);
    return false;
  }
  analyzer::Soak.IsOpenSoakTips = 1;
  analyzer::Soak.SoakDaysStartDate = analyzer::SoakStartDateText(t);
  if (conn) SysSettingUpdate().SetText("SoakDaysStartDate", analyzer::Soak.SoakDaysStartDate).Execute(*conn);
  return true;
}

bool HistogramAdjustOn(CADOConn* conn) {
  if (!conn) return false;
  uint8_t on = 0;
  TakeSetting(LoadSysSetting(*conn).row.IsOpenAjustHistogram, on);
  return on == 1;
}

bool ToggleHistogramAdjust(CADOConn* conn) {
  const int next = HistogramAdjustOn(conn) ? 0 : 1;
  if (conn) SysSettingUpdate().Set("IsOpenAjustHistogram", next).Execute(*conn);
  return next == 1;
}

TestPageText MakeTestPageText(int lang, const sys::LocalTime& now) {
  TestPageText t;
  t.language = lang;
  t.productName = AppSettings.ProductName;
  t.pageHeaderMm = AppSettings.PrintPageHeader;
  const char* label = lang == 4 ? "Дата друку:" : "Print date:";
  t.dateLine = StrPrintf("%s%.2d/%.2d/%4d %.2d:%.2d", label, now.month, now.day, now.year, now.hour, now.minute);
  t.welcome = PickText(lang, "欢迎使用本产品！", "Welcome to use the product!", "¡Bienvenido al uso del producto!",
                       "Bienvenue dans l'utilisation du produit!", "Ласкаво просимо до використання продукту!");
  return t;
}

int OutsideFirstLine(int pageHeaderMm, int pageHeight, int lineHeight) {
  const int top = pageHeaderMm <= 20 ? 0 : (pageHeaderMm - 15) * pageHeight / 279;
  return (lineHeight > 0 ? top / lineHeight : 0) + 2;
}

void StartOutsidePrinterTest(const TestPageText& text) {
  std::thread([text] {
    RPrintHelper helper;
    print::PageDevice* dev = helper.Device();
    draw::DC* dc = helper.GetDC();
    if (!dev || !dc || dev->StartDoc("printer") <= 0) return;
    dev->StartPage();
    const int w = helper.GetPageWidth(), h = helper.GetPageHeight();
    const draw::Font font = helper.CreatePrintFont(14, text.language == 0 ? "宋体" : "Arial", 700);
    const draw::Font old = dc->SelectFont(font);
    const int lh = dc->GetTextMetrics().height;
    const int n = OutsideFirstLine(text.pageHeaderMm, h, lh);
    const std::string lines[3] = {text.productName, text.dateLine, text.welcome};
    for (int k = 0; k < 3; ++k) dc->TextOut(w / 15, lh * (n + k), lines[k]);
    dc->SelectFont(old);
    dev->EndPage();
    dev->EndDoc();
  }).detach();
}

void PrintInsidePrinterTest(const TestPageText& text) {
  PrinterSendEscU(1);
  PrinterSetCharSpacing(1);
  if (text.language == 4) {
    PrinterPrintText("використання продукту!", 16, 1, 1);
    PrinterPrintText("Ласкаво просимо до", 16, 1, 1);
  } else {
    PrinterPrintText(text.welcome, 16, 1, 1);
  }
  PrinterPrintText(text.dateLine, 16, 1, 1);
  PrinterPrintText(text.productName, 16, 1, 1);
  PrinterSendEscU(0);
  PrinterFeedDots(1, 100);
}

}  // namespace service
