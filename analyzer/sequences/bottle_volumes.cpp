#include "analyzer/sequences/bottle_volumes.h"

#include <cstdlib>

#include "analyzer/reagent.h"
#include "core/ado_conn.h"
#include "core/app_settings.h"
#include "core/value_format.h"
#include "platform/sys/clock.h"
#include "core/sys_setting.h"

namespace analyzer {

bool IsVolumeText(const std::string& text) {
  size_t b = text.find_first_not_of(" \t");
  if (b == std::string::npos) return false;
  size_t e = text.find_last_not_of(" \t");
  // A negative volume is a number (out of range), not a typing error.
  if (text[b] == '-') ++b;
  if (b > e) return false;
  int digits = 0, points = 0;
  for (size_t i = b; i <= e; ++i) {
    const char c = text[i];
    if (c >= '0' && c <= '9') {
      ++digits;
    } else if (c == '.') {
      if (++points > 1) return false;
    } else {
      return false;
    }
  }
  return digits > 0 && e - b < 32;
}

BottleCheck CheckBottleVolumes(const std::string texts[3], int selector, float litres[3]) {
  for (int i = 0; i < 3; ++i)
    if (!IsVolumeText(texts[i])) return BottleCheck::NotNumeric;
  for (int i = 0; i < 3; ++i) litres[i] = std::strtof(texts[i].c_str(), nullptr);
  for (int i = 0; i < 3; ++i) {
    if (selector != 0 && selector != i + 1) continue;
    if (!(litres[i] > 0.0f && litres[i] <= 100.0f)) return BottleCheck::OutOfRange;
  }
  return BottleCheck::Ok;
}

std::string BottleCheckMessage(BottleCheck c, int lang) {
  if (c == BottleCheck::NotNumeric)
    return PickText(lang, "试剂量请输入数字！", "Please input digits for reagent vol.!",
                    "¡Introduzca dígitos para el volumen de reactivo!", "Veuillez saisir des chiffres pour le vol. de réactif!",
                    "Введіть цифри для об'єму реагенту!");
  if (c == BottleCheck::OutOfRange)
    return PickText(lang, "试剂量应在0到100之间！", "Reagent vol. should be between 0 and 100!",
                    "¡El vol. de reactivo debe estar entre 0 y 100!", "Le vol. de réactif doit être compris entre 0 et 100!",
                    "Об'єм реагенту має бути від 0 до 100!");
  return {};
}

std::string BottleVolumesSql(int selector, const float l[3], const std::string& date) {
  static const char* const kColumns[3][3] = {{"NewDiluentVol", "DiluentVol", "DiluentReplDate"},
                                             {"NewLyseVol", "LyseVol", "LyseReplDate"},
                                             {"NewCleanerVol", "CleanerVol", "CleanerReplDate"}};
  if (selector < 0 || selector > 3) return {};
  // All three bottles (0) or one (1 diluent, 2 lyse, 3 cleanser): new litres, the full volume in
  // millilitres, the date of the change.
  const int first = selector == 0 ? 0 : selector - 1, last = selector == 0 ? 2 : selector - 1;
  SysSettingUpdate u;
  for (int i = first; i <= last; ++i) u.SetFixed2(kColumns[i][0], l[i]);
  for (int i = first; i <= last; ++i) u.SetFixed2(kColumns[i][1], l[i] * 1000.0f);
  for (int i = first; i <= last; ++i) u.SetText(kColumns[i][2], date);
  return u.Sql();
}

bool StoreBottleVolumes(CADOConn& conn, int selector, const float litres[3]) {
  const sys::LocalTime t = sys::Clock::Now();
  const std::string sql = BottleVolumesSql(selector, litres, StrPrintf("%d-%d-%d", t.year, t.month, t.day));
  if (sql.empty() || !conn.Execute(sql)) return false;
  ReagentVolumes& v = Reagents().volumes();
  if (selector == 0 || selector == 1) v.DiluentVol = litres[0] * 1000.0f;
  if (selector == 0 || selector == 2) v.LyseVol = litres[1] * 1000.0f;
  if (selector == 0 || selector == 3) v.CleanerVol = litres[2] * 1000.0f;
  return true;
}

}  // namespace analyzer
