#include "core/sample_names.h"

#include "core/app_settings.h"

namespace {

// Chinese, English, Spanish, French, Ukrainian. Control has no Ukrainian name of its own in the
// stored rows; "Контроль" is its Ukrainian text.
const char* const kBloodModes[kBloodModeCount][5] = {
    {"抗凝全血", "Whole blood", "Sangre completa", "Sang total", "Цільна кров"},
    {"抗凝末梢血", "Peripheral blood", "Sangre periferica", "Sang peripherique", "Капілярна кров"},
    {"预稀释末梢血", "Pre-diluted blood", "Sangre Pre-diluida", "Sang pre dilue", "Передрозвед. кап. кров"},
    {"质控品", "Control", "Controle", "Controle", "Контроль"},
};

const char* const kGroups[kReferenceGroupCount][5] = {
    {"通用", "General", "General", "General", "Головна"},
    {"成男", "Adult male", "Adulto Masculino", "Adulte homme", "Дорослий чоловік"},
    {"成女", "Adult female", "Adulto Femenino", "Adulte femme", "Доросла жінка"},
    {"14-18岁", "14-18 years", "14-18 anos", "14-18 ans", "14-18 років"},
    {"6-13岁", "6-13 years", "6-13 anos", "6-13 ans", "6-13 років"},
    {"3-5岁", "3-5 years", "3-5 anos", "3-5 ans", "3-5 років"},
    {"2个月-2岁", "2 months-2 years", "2 meses-2 anos", "2 mois-2 ans", "2 місяці – 2 роки"},
    {"8天-1个月", "8 days-1 months", "8 dias-1 meses", "8 jours-1 mois", "8 днів – 1 місяці"},
    {"第一周", "First week", "Primera semana", "Premiere Semaine", "Перший тиждень"},
    {"自定义", "User defined", "Usuario definido", "Utilisateur defini", "Визначається користувачем"},
};

// Rows written before the table was shared carry this French name of group 0.
constexpr const char* kOldFrenchGeneral = "Général";

int Lang(int language) { return language < 0 || language > 4 ? 1 : language; }

}  // namespace

const char* BloodModeText(int code, int language) {
  if (code < 0 || code >= kBloodModeCount) code = 0;
  return kBloodModes[code][Lang(language)];
}

const char* ReferenceGroupText(int kind, int language) {
  if (kind < 0 || kind >= kReferenceGroupCount) kind = 0;
  return kGroups[kind][Lang(language)];
}

int BloodTypeCodeOr(const std::string& text, int fallback) {
  for (int c = 0; c < kBloodModeCount; ++c)
    for (int l = 0; l < 5; ++l)
      if (text == kBloodModes[c][l]) return c;
  return fallback;
}

int ReferenceGroupCodeOr(const std::string& text, int fallback) {
  if (text == kOldFrenchGeneral) return 0;
  for (int k = 0; k < kReferenceGroupCount; ++k)
    for (int l = 0; l < 5; ++l)
      if (text == kGroups[k][l]) return k;
  return fallback;
}

int BloodTypeCodeFromText(std::string text) { return BloodTypeCodeOr(text, 0); }
int ReferenceGroupCodeFromText(std::string text) { return ReferenceGroupCodeOr(text, 0); }
