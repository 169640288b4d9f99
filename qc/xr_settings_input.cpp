#include "qc/xr_settings_input.h"

#include <cstdlib>

#include "core/app_settings.h"
#include "core/value_format.h"
#include "qc/lj_settings_input.h"
#include "qc/settings_checks.h"

namespace qc {

XrInputError CheckXrSettingsInput(XrSettingsInput& in, int ty, int tm, int td, std::string* expDate, int* groups,
                                  int* perGroup) {
  in.batch = TrimBlanks(SqlSafeText(in.batch));
  if (in.batch.empty()) return XrInputError::NoLot;
  if (in.batch.find(',') != std::string::npos) return XrInputError::LotComma;
  switch (CheckExpiryDate(in.year, in.month, in.day, ty, tm, td, expDate)) {
    case ExpiryCheck::Incomplete: return XrInputError::DateIncomplete;
    case ExpiryCheck::Format: return XrInputError::DateFormat;
    case ExpiryCheck::Month: return XrInputError::Month;
    case ExpiryCheck::Day: return XrInputError::Day;
    case ExpiryCheck::Expired: return XrInputError::Expired;
    case ExpiryCheck::None: break;
  }
  if (!IsTypedNumber(in.groups)) return XrInputError::GroupDigits;
  if (!IsTypedNumber(in.perGroup)) return XrInputError::SampleDigits;
  // Whole numbers as typed: a large number is not folded into a byte that happens to pass.
  const long g = std::atol(in.groups.c_str()), n = std::atol(in.perGroup.c_str());
  if (g < 2 || n < 2) return XrInputError::AtLeastTwo;
  if (g > 60) return XrInputError::MaxGroups;
  if (n > 10) return XrInputError::MaxSamples;
  *groups = static_cast<int>(g);
  *perGroup = static_cast<int>(n);
  return XrInputError::None;
}

std::string XrInputMessage(XrInputError e, int l) {
  switch (e) {
    case XrInputError::NoLot:
      return PickText(l, "请输入批号!", "Please input batch number!", "Por favor introduzca el numero de lote!",
                      "Veuillez saisir le numero de lot!", "Будь ласка, введіть номер партії!");
    case XrInputError::LotComma:
      return PickText(l, "批号不能含有逗号!", "The batch number may not contain a comma!", "El numero de lote no puede contener una coma!",
                      "Le numero de lot ne peut pas contenir de virgule!", "Номер партії не може містити кому!");
    case XrInputError::DateIncomplete: return LjInputMessage(LjInputError::DateIncomplete, l);
    case XrInputError::DateFormat: return LjInputMessage(LjInputError::DateFormat, l);
    case XrInputError::Month:
      return PickText(l, "月份应在1到12之间!", "Month should between 1 and 12!", "El mes debe estar entre 1 y 12!",
                      "Le mois doit etre entre 1 et 12!", "Місяць має бути від 1 до 12!");
    case XrInputError::Day:
      return PickText(l, "日应在1到31之间!", "Day should between 1 and 31!", "El dia debe estar entre 1 y 31!",
                      "Le jour doit etre entre 1 et 31!", "День має бути від 1 до 31!");
    case XrInputError::Expired: return LjInputMessage(LjInputError::Expired, l);
    case XrInputError::GroupDigits:
      return PickText(l, "请为组数输入数字!", "Please input digits for group number!", "Por favor introduzca digitos para el numero de grupos!",
                      "Veuillez saisir des chiffres pour le nombre de groupes!", "Будь ласка, введіть цифри для кількості груп!");
    case XrInputError::SampleDigits:
      return PickText(l, "请为每组样本数输入数字!", "Please input digits for sample number of each group!",
                      "Por favor introduzca digitos para el numero de muestras de cada grupo!",
                      "Veuillez saisir des chiffres pour le nombre d'echantillons par groupe!",
                      "Будь ласка, введіть цифри для кількості зразків у групі!");
    case XrInputError::AtLeastTwo:
      return PickText(l, "组数至少为2,每组至少有2个平行样本!",
                      "Group number should be at least 2 and there should be at least 2 parallel samples in each group!",
                      "El numero de grupos debe ser al menos 2 y cada grupo debe tener al menos 2 muestras!",
                      "Il faut au moins 2 groupes et au moins 2 echantillons paralleles par groupe!",
                      "Має бути щонайменше 2 групи і щонайменше 2 паралельні зразки в кожній групі!");
    case XrInputError::MaxGroups:
      return PickText(l, "最多60组!", "Max 60 groups!", "Maximo 60 grupos!", "60 groupes au maximum!", "Максимум 60 груп!");
    case XrInputError::MaxSamples:
      return PickText(l, "每组最多10个平行样本!", "Max 10 parallel samples in each group!", "Maximo 10 muestras paralelas por grupo!",
                      "10 echantillons paralleles au maximum par groupe!", "Максимум 10 паралельних зразків у групі!");
    case XrInputError::None: break;
  }
  return "";
}

std::string XrSettingsTextRecord(int fileNo, const std::string& batch, const std::string& expDate, int groups,
                                 int perGroup, const std::array<std::string, 20>& u) {
  std::string r = StrPrintf("XRS,%d,", fileNo) + batch + "," + expDate + "," + StrPrintf("%d,%d,", groups, perGroup);
  for (const std::string& unit : u) r += unit + ",";
  return FinishTextRecord(r);
}

}  // namespace qc
