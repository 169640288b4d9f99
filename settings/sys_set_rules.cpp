#include "settings/sys_set_rules.h"

#include "core/app_settings.h"
#include "core/value_format.h"
#include "platform/sys/host.h"
#include "settings/int_field.h"

namespace settings {

std::vector<std::string> PrintFormatEntries(int printerKind, int language) {
  if (printerKind == 1)
    return {PickText(language, "整页带直方图", "ENTIRE PAGE WITH HISTOGRAMS", "ENTIRE PAGE WITH HISTOGRAMS",
                     "ENTIRE PAGE WITH HISTOGRAMS", "ENTIRE PAGE WITH HISTOGRAMS"),
            PickText(language, "整页不带直方图", "ENTIRE PAGE WITHOUT HISTOGRAMS", "ENTIRE PAGE WITHOUT HISTOGRAMS",
                     "ENTIRE PAGE WITHOUT HISTOGRAMS", "ENTIRE PAGE WITHOUT HISTOGRAMS"),
            PickText(language, "半页带直方图", "HALF PAGE WITH HISTOGRAMS", "HALF PAGE WITH HISTOGRAMS",
                     "HALF PAGE WITH HISTOGRAMS", "HALF PAGE WITH HISTOGRAMS"),
            PickText(language, "半页不带直方图", "HALF PAGE WITHOUT HISTOGRAMS", "HALF PAGE WITHOUT HISTOGRAMS",
                     "HALF PAGE WITHOUT HISTOGRAMS", "HALF PAGE WITHOUT HISTOGRAMS")};
  if (language == 0)
    return {"中文参数名带直方图", "中文参数名不带直方图", "英文参数名带直方图",
            "英文参数名不带直方图", "中英文参数名带直方图", "中英文参数名不带直方图"};
  return {"WITH HISTOGRAMS", "WITHOUT HISTOGRAMS"};
}

int ShownFormatIndex(int printerKind, int language, int index) {
  const int count = static_cast<int>(PrintFormatEntries(printerKind, language).size());
  if (index >= 0 && index < count) return index;
  return count > 1 ? 1 : 0;
}

std::vector<std::string> LanguageEntries(bool chineseEdition) {
  std::vector<std::string> e = {"English", "Spanish", "French", "Ukrainian"};
  if (chineseEdition) e.insert(e.begin(), "简体中文");
  return e;
}

int LanguageOfEntry(int entry, bool chineseEdition) { return chineseEdition ? entry : entry + 1; }
int EntryOfLanguage(int language, bool chineseEdition) {
  const int e = chineseEdition ? language : language - 1;
  return e < 0 ? 0 : e;
}

std::string CheckSystemSettingsInput(const SystemSettingsInput& in, int lang, SystemSettingsValues* values,
                                     sys::LocalTime* when) {
  int clean = 0, standby = 0, header = 0;
  switch (CheckIntegerField(in.cleanFrequency, 1, 60, &clean)) {
    case IntFieldCheck::kNotInteger:
      return PickText(lang, "请输入整数作为清洗频率(次)！", "Please input integer for clean freq(times)!",
                      "Introduzca un entero para la frecuencia de limpieza (veces)!",
                      "Veuillez saisir un entier pour la frequence de nettoyage (fois)!",
                      "Введіть ціле число для частоти очищення (разів)!");
    case IntFieldCheck::kOutOfRange:
      return PickText(lang, "清洗频率(次)应在1到60之间！", "Clean freq(times) should be between 1 and 60!",
                      "La frecuencia de limpieza (veces) debe estar entre 1 y 60!",
                      "La frequence de nettoyage (fois) doit etre entre 1 et 60!",
                      "Частота очищення (разів) має бути від 1 до 60!");
    case IntFieldCheck::kOk: break;
  }
  switch (CheckIntegerField(in.standbyMinutes, 0, 1440, &standby)) {
    case IntFieldCheck::kNotInteger:
      return PickText(lang, "请输入整数作为待机时间(分)！", "Please input integer for standby time(mn)!",
                      "Introduzca un entero para el tiempo de espera (min)!",
                      "Veuillez saisir un entier pour le temps de veille (mn)!",
                      "Введіть ціле число для часу очікування (хв)!");
    case IntFieldCheck::kOutOfRange:
      return PickText(lang, "待机时间(分)应在0到1440之间！", "Standby time(mn) should be between 0 and 1440!",
                      "El tiempo de espera (min) debe estar entre 0 y 1440!",
                      "Le temps de veille (mn) doit etre entre 0 et 1440!",
                      "Час очікування (хв) має бути від 0 до 1440!");
    case IntFieldCheck::kOk: break;
  }
  if (in.printerKind == 1) {
    switch (CheckIntegerField(in.pageHeader, 20, 70, &header)) {
      case IntFieldCheck::kNotInteger:
        return PickText(lang, "请输入整数作为页眉(mm)！", "Please input integer for Page Header(mm)!",
                        "Introduzca un entero para el encabezado (mm)!",
                        "Veuillez saisir un entier pour l'en-tete (mm)!",
                        "Введіть ціле число для верхнього колонтитула (мм)!");
      case IntFieldCheck::kOutOfRange:
        return PickText(lang, "页眉应在20到70mm之间！", "Page Header should be between 20 and 70mm!",
                        "El encabezado debe estar entre 20 y 70mm!", "L'en-tete doit etre entre 20 et 70mm!",
                        "Верхній колонтитул має бути від 20 до 70мм!");
      case IntFieldCheck::kOk: break;
    }
  }
  // The date and time: every field a whole number and together a real moment.
  int f[6] = {};
  bool fieldsOk = true;
  for (int i = 0; i < 6; ++i)
    if (CheckIntegerField(in.clock[i], 0, 9999, &f[i]) != IntFieldCheck::kOk) fieldsOk = false;
  sys::LocalTime t;
  t.year = f[0];
  t.month = f[1];
  t.day = f[2];
  t.hour = f[3];
  t.minute = f[4];
  t.second = f[5];
  if (!fieldsOk || !sys::IsValidLocalTime(t))
    return PickText(lang, "日期或时间无效！", "The date or time is not valid!", "La fecha u hora no es valida!",
                    "La date ou l'heure n'est pas valide!", "Дата або час недійсні!");
  values->cleanFrequency = clean;
  values->standbyMinutes = standby;
  if (in.printerKind == 1) values->pageHeader = header;
  *when = t;
  return {};
}

void ClockFieldTexts(const sys::LocalTime& t, std::string out[6]) {
  out[0] = StrPrintf("%d", t.year);
  out[1] = StrPrintf("%.2d", t.month);
  out[2] = StrPrintf("%.2d", t.day);
  out[3] = StrPrintf("%.2d", t.hour);
  out[4] = StrPrintf("%.2d", t.minute);
  out[5] = StrPrintf("%.2d", t.second);
}

}  // namespace settings
