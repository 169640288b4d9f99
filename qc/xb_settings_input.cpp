#include "qc/xb_settings_input.h"

#include <cstdlib>

#include "core/app_settings.h"
#include "core/value_format.h"
#include "qc/lj_settings_input.h"
#include "qc/settings_checks.h"

namespace qc {

XbInputError CheckXbSettingsInput(std::string sampleText, std::array<std::string, 40>& values,
                                  const std::array<int, 20>& chosen, int* sampleNum) {
  sampleText = TrimBlanks(sampleText);
  for (std::string& v : values) v = TrimBlanks(v);
  if (!IsTypedNumber(sampleText)) return XbInputError::SampleDigits;
  const long n = std::atol(sampleText.c_str());
  if (n < 20 || n > 200) return XbInputError::SampleRange;
  for (int p = 0; p < 20; ++p) {
    switch (CheckTargetAndLimit(values[2 * p], values[2 * p + 1], chosen[p] == 1)) {
      // A parameter under QC names neither of its two texts.
      case TargetLimitCheck::TargetDigits: return chosen[p] == 1 ? XbInputError::ChosenDigits : XbInputError::TargetDigits;
      case TargetLimitCheck::LimitDigits: return chosen[p] == 1 ? XbInputError::ChosenDigits : XbInputError::LimitDigits;
      case TargetLimitCheck::ChosenRange: return XbInputError::ChosenRange;
      case TargetLimitCheck::TargetRange: return XbInputError::TargetRange;
      case TargetLimitCheck::LimitRange: return XbInputError::LimitRange;
      case TargetLimitCheck::None: break;
    }
  }
  *sampleNum = static_cast<int>(n);
  return XbInputError::None;
}

std::string XbInputMessage(XbInputError e, int l) {
  switch (e) {
    case XbInputError::SampleDigits:
      return PickText(l, "请为样本数输入数字!", "Please input digits for sample number!", "Por favor introduzca digitos para el numero de muestras!",
                      "Veuillez saisir des chiffres pour le nombre d'echantillons!", "Будь ласка, введіть цифри для кількості зразків!");
    case XbInputError::SampleRange:
      return PickText(l, "样本数应在20到200之间!", "Please input digits between 20 and 200 for sample number!",
                      "Por favor introduzca un numero entre 20 y 200 para el numero de muestras!",
                      "Veuillez saisir un nombre entre 20 et 200 pour le nombre d'echantillons!",
                      "Будь ласка, введіть число від 20 до 200 для кількості зразків!");
    case XbInputError::ChosenDigits:
      return PickText(l, "请为质控参数的参考值和偏差值输入数字!", "Please input digits for reference and deviation value of QC parameters!",
                      "Por favor introduzca digitos para los valores de referencia y desviacion!",
                      "Veuillez saisir des chiffres pour les valeurs de reference et de deviation!",
                      "Будь ласка, введіть цифри для довідкового значення і відхилення!");
    case XbInputError::ChosenRange: return LjInputMessage(LjInputError::ChosenRange, l);
    case XbInputError::TargetDigits: return LjInputMessage(LjInputError::TargetDigits, l);
    case XbInputError::TargetRange: return LjInputMessage(LjInputError::TargetRange, l);
    case XbInputError::LimitDigits: return LjInputMessage(LjInputError::LimitDigits, l);
    case XbInputError::LimitRange: return LjInputMessage(LjInputError::LimitRange, l);
    case XbInputError::None: break;
  }
  return "";
}

std::string XbSettingsTextRecord(int sampleNum, const std::array<float, 40>& v, const std::array<std::string, 20>& u) {
  std::string r = StrPrintf("XBS,%d,", sampleNum);
  for (int p = 0; p < 20; ++p)
    r += StrPrintf("%.2f,%.2f,", static_cast<double>(v[2 * p]), static_cast<double>(v[2 * p + 1])) + u[p] + ",";
  return FinishTextRecord(r);
}

}  // namespace qc
