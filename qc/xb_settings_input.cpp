#include "qc/xb_settings_input.h"

#include <cstdlib>

#include "core/app_settings.h"
#include "core/value_format.h"
#include "qc/lj_settings_input.h"

namespace qc {
namespace {

std::string Trim(std::string s) {
  s.erase(0, s.find_first_not_of(" \t"));
  s.erase(s.find_last_not_of(" \t") + 1);
  return s;
}

bool InRange(const std::string& t) {
  const double v = std::strtod(t.c_str(), nullptr);
  return v >= 0.0 && v <= 999999.0;
}

}  // namespace

XbInputError CheckXbSettingsInput(std::string sampleText, std::array<std::string, 40>& values,
                                  const std::array<int, 20>& chosen, int* sampleNum) {
  sampleText = Trim(sampleText);
  for (std::string& v : values) v = Trim(v);
  if (!IsTypedNumber(sampleText)) return XbInputError::SampleDigits;
  const long n = std::atol(sampleText.c_str());
  if (n < 20 || n > 200) return XbInputError::SampleRange;
  for (int p = 0; p < 20; ++p) {
    const std::string& t = values[2 * p];
    const std::string& l = values[2 * p + 1];
    if (chosen[p] == 1) {
      if (!IsTypedNumber(t) || !IsTypedNumber(l)) return XbInputError::ChosenDigits;
      if (!InRange(t) || !InRange(l)) return XbInputError::ChosenRange;
    } else {
      if (!t.empty() && !IsTypedNumber(t)) return XbInputError::TargetDigits;
      if (!t.empty() && !InRange(t)) return XbInputError::TargetRange;
      if (!l.empty() && !IsTypedNumber(l)) return XbInputError::LimitDigits;
      if (!l.empty() && !InRange(l)) return XbInputError::LimitRange;
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
  uint16_t sum = 0;
  for (unsigned char c : r) sum = static_cast<uint16_t>(sum + c);
  return r + std::to_string(sum) + ",TRANSFER FINISH";
}

}  // namespace qc
