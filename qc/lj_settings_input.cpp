#include "qc/lj_settings_input.h"

#include <cstdlib>

#include "core/app_settings.h"
#include "core/value_format.h"

namespace qc {
namespace {

LjInputError FromExpiry(ExpiryCheck e) {
  switch (e) {
    case ExpiryCheck::Incomplete: return LjInputError::DateIncomplete;
    case ExpiryCheck::Format: return LjInputError::DateFormat;
    case ExpiryCheck::Month: return LjInputError::Month;
    case ExpiryCheck::Day: return LjInputError::Day;
    case ExpiryCheck::Expired: return LjInputError::Expired;
    case ExpiryCheck::None: break;
  }
  return LjInputError::None;
}

LjInputError FromTargetLimit(TargetLimitCheck e) {
  switch (e) {
    case TargetLimitCheck::TargetDigits: return LjInputError::TargetDigits;
    case TargetLimitCheck::LimitDigits: return LjInputError::LimitDigits;
    case TargetLimitCheck::ChosenRange: return LjInputError::ChosenRange;
    case TargetLimitCheck::TargetRange: return LjInputError::TargetRange;
    case TargetLimitCheck::LimitRange: return LjInputError::LimitRange;
    case TargetLimitCheck::None: break;
  }
  return LjInputError::None;
}

}  // namespace

LjInputError CheckLjSettingsInput(LjSettingsInput& in, int ty, int tm, int td, std::string* expDate) {
  if (in.batch.empty()) return LjInputError::NoLot;
  in.batch = SqlSafeText(in.batch);
  const ExpiryCheck date = CheckExpiryDate(in.year, in.month, in.day, ty, tm, td, expDate);
  if (date != ExpiryCheck::None) return FromExpiry(date);
  for (std::string& v : in.values) v = TrimBlanks(v);
  for (int p = 0; p < 20; ++p) {
    const TargetLimitCheck e = CheckTargetAndLimit(in.values[2 * p], in.values[2 * p + 1], in.chosen[p] == 1);
    if (e != TargetLimitCheck::None) return FromTargetLimit(e);
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
  return FinishTextRecord(r);
}

}  // namespace qc
