#include "qc/lj_settings_input.h"

#include <cstdlib>

#include "core/app_settings.h"
#include "core/utilies.h"
#include "core/value_format.h"

namespace qc {
namespace {

std::string Trim(const std::string& s) {
  const size_t a = s.find_first_not_of(" \t");
  if (a == std::string::npos) return "";
  const size_t b = s.find_last_not_of(" \t");
  return s.substr(a, b - a + 1);
}

bool InRange(const std::string& t) {
  const double v = std::strtod(t.c_str(), nullptr);
  return v >= 0.0 && v <= 999999.0;
}

}  // namespace

bool IsTypedNumber(const std::string& text) {
  return text.find(',') == std::string::npos && CUtilies::IsNumericText(text);
}

LjInputError CheckLjSettingsInput(LjSettingsInput& in, int ty, int tm, int td, std::string* expDate) {
  if (in.batch.empty()) return LjInputError::NoLot;
  in.batch = SqlSafeText(in.batch);
  if (in.year.empty() || in.month.empty() || in.day.empty()) return LjInputError::DateIncomplete;
  if (!IsTypedNumber(in.year) || !IsTypedNumber(in.month) || !IsTypedNumber(in.day)) return LjInputError::DateFormat;
  const int y = std::atoi(in.year.c_str()), m = std::atoi(in.month.c_str()), d = std::atoi(in.day.c_str());
  if (m < 1 || m > 12) return LjInputError::Month;
  if (d < 1 || d > 31) return LjInputError::Day;
  *expDate = StrPrintf("%d-%.2d-%.2d", y, m, d);
  if (y < ty || (y == ty && m < tm) || (y == ty && m == tm && d < td)) return LjInputError::Expired;
  for (std::string& v : in.values) v = Trim(v);
  for (int p = 0; p < 20; ++p) {
    const std::string& t = in.values[2 * p];
    const std::string& l = in.values[2 * p + 1];
    if (in.chosen[p] == 1) {
      if (!IsTypedNumber(t)) return LjInputError::TargetDigits;
      if (!IsTypedNumber(l)) return LjInputError::LimitDigits;
      if (!InRange(t) || !InRange(l)) return LjInputError::ChosenRange;
    } else {
      if (!t.empty() && !IsTypedNumber(t)) return LjInputError::TargetDigits;
      if (!t.empty() && !InRange(t)) return LjInputError::TargetRange;
      if (!l.empty() && !IsTypedNumber(l)) return LjInputError::LimitDigits;
      if (!l.empty() && !InRange(l)) return LjInputError::LimitRange;
    }
  }
  return LjInputError::None;
}

std::string LjInputMessage(LjInputError e, int lang) {
  switch (e) {
    case LjInputError::NoFile:
      return PickText(lang, "请选择质控文件!", "Please select a QC file!", "Por favor seleccione un archivo de QC!",
                      "Veuillez selectionner un fichier CQ!", "Будь ласка, виберіть файл КЯ!");
    case LjInputError::NoLot:
      return PickText(lang, "请输入批号!", "Please input lot number!", "Por favor introduzca el numero de lote!",
                      "Veuillez saisir le numero de lot!", "Будь ласка, введіть номер партії!");
    case LjInputError::DateIncomplete:
      return PickText(lang, "请输入完整有效的日期!", "Please input full and valid date!",
                      "Por favor introduzca una fecha completa y valida!", "Veuillez saisir une date complete et valide!",
                      "Будь ласка, введіть повну і правильну дату!");
    case LjInputError::DateFormat:
      return PickText(lang, "请输入正确的日期格式!", "Please input correct date format!",
                      "Por favor introduzca un formato de fecha correcto!", "Veuillez saisir un format de date correct!",
                      "Будь ласка, введіть дату в правильному форматі!");
    case LjInputError::Month:
      return PickText(lang, "月份应在1到12之间!", "Month should be between 1 and 12!", "El mes debe estar entre 1 y 12!",
                      "Le mois doit etre entre 1 et 12!", "Місяць має бути від 1 до 12!");
    case LjInputError::Day:
      return PickText(lang, "日应在1到31之间!", "Day should be between 1 and 31!", "El dia debe estar entre 1 y 31!",
                      "Le jour doit etre entre 1 et 31!", "День має бути від 1 до 31!");
    case LjInputError::Expired:
      return PickText(lang, "质控物已过期!", "Quality control material has expired!", "El material de control ha caducado!",
                      "Le materiel de controle a expire!", "Термін дії контрольного матеріалу закінчився!");
    case LjInputError::TargetDigits:
      return PickText(lang, "请为质控参数的参考值输入数字!", "Please input digits for reference value of QC parameters!",
                      "Por favor introduzca digitos para el valor de referencia de los parametros de QC!",
                      "Veuillez saisir des chiffres pour la valeur de reference des parametres CQ!",
                      "Будь ласка, введіть цифри для довідкового значення параметрів КЯ!");
    case LjInputError::LimitDigits:
      return PickText(lang, "请为质控参数的偏差值输入数字!", "Please input digits for deviation value of QC parameters!",
                      "Por favor introduzca digitos para el valor de desviacion de los parametros de QC!",
                      "Veuillez saisir des chiffres pour la valeur de deviation des parametres CQ!",
                      "Будь ласка, введіть цифри для значення відхилення параметрів КЯ!");
    case LjInputError::ChosenRange:
      return PickText(lang, "质控参数的参考值和偏差值应在0到999999之间!",
                      "Please input a number between 0 and 999999 for reference and deviation value of QC parameters!",
                      "Por favor introduzca un numero entre 0 y 999999 para los valores de referencia y desviacion!",
                      "Veuillez saisir un nombre entre 0 et 999999 pour les valeurs de reference et de deviation!",
                      "Будь ласка, введіть число від 0 до 999999 для довідкового значення і відхилення!");
    case LjInputError::TargetRange:
      return PickText(lang, "质控参数的参考值应在0到999999之间!",
                      "Please input a number between 0 and 999999 for reference value of QC parameters!",
                      "Por favor introduzca un numero entre 0 y 999999 para el valor de referencia!",
                      "Veuillez saisir un nombre entre 0 et 999999 pour la valeur de reference!",
                      "Будь ласка, введіть число від 0 до 999999 для довідкового значення!");
    case LjInputError::LimitRange:
      return PickText(lang, "质控参数的偏差值应在0到999999之间!",
                      "Please input a number between 0 and 999999 for deviation value of QC parameters!",
                      "Por favor introduzca un numero entre 0 y 999999 para el valor de desviacion!",
                      "Veuillez saisir un nombre entre 0 et 999999 pour la valeur de deviation!",
                      "Будь ласка, введіть число від 0 до 999999 для значення відхилення!");
    case LjInputError::None: break;
  }
  return "";
}

float StoredSettingValue(const std::string& text) {
  if (!IsTypedNumber(text)) return 0.0f;
  const float v = std::strtof(StrPrintf("%.2f", std::strtod(text.c_str(), nullptr)).c_str(), nullptr);
  return v < 0.001f ? 0.0f : v;
}

std::string SettingValueText(float v) { return v > 0.0f ? StrPrintf("%g", static_cast<double>(v)) : ""; }

}  // namespace qc

namespace qc {

std::string LjSettingsTextRecord(int fileNo, const std::string& batch, const std::string& expDate,
                                 const std::array<std::string, 40>& v, const std::array<std::string, 20>& u) {
  std::string r = "LJS," + std::to_string(fileNo) + "," + batch + "," + expDate + ",";
  for (int p = 0; p < 20; ++p) r += v[2 * p] + "," + v[2 * p + 1] + "," + u[p] + ",";
  uint16_t sum = 0;
  for (unsigned char c : r) sum = static_cast<uint16_t>(sum + c);
  return r + std::to_string(sum) + ",TRANSFER FINISH";
}

}  // namespace qc
