#include "settings/limit_tables.h"

#include <cstdlib>

#include "core/ado_conn.h"
#include "core/app_settings.h"
#include "core/field_read.h"
#include "core/param_order.h"
#include "core/utilies.h"
#include "core/value_format.h"
#include "lis/text_records.h"
#include "measurement/flagging.h"

namespace settings {

const char* const kLimitColumns[40] = {
    "WBCL",  "WBCH",  "LYMAL", "LYMAH", "MONAL",  "MONAH",  "GRAAL",  "GRAAH",  "LYMPL", "LYMPH",
    "MONPL", "MONPH", "GRAPL", "GRAPH", "RBCL",   "RBCH",   "HGBL",   "HGBH",   "MCHCL", "MCHCH",
    "MCHL",  "MCHH",  "MCVL",  "MCVH",  "RDWCVL", "RDWCVH", "RDWSDL", "RDWSDH", "HCTL",  "HCTH",
    "PLTL",  "PLTH",  "MPVL",  "MPVH",  "PDWL",   "PDWH",   "PCTL",   "PCTH",   "PLCRL", "PLCRH"};

namespace {

// Display names in table order, as the LIS records carry them.
const char* const kTableOrderNames[20] = {"WBC",    "LYM#",   "MID#", "GRA#", "LYM%", "MID%", "GRA%",
                                          "RBC",    "HGB",    "MCHC", "MCH",  "MCV",  "RDW-CV", "RDW-SD",
                                          "HCT",    "PLT",    "MPV",  "PDW",  "PCT",  "P-LCR"};

std::string Trim(const std::string& s) {
  const size_t a = s.find_first_not_of(" \t");
  if (a == std::string::npos) return {};
  const size_t b = s.find_last_not_of(" \t");
  return s.substr(a, b - a + 1);
}

// Screen-order pairs into table order, without touching the caller's array.
void ToTableOrder(const float pairs[40], float out[40]) {
  for (int i = 0; i < 40; ++i) out[i] = pairs[i];
  ReorderLimitPairsForStore(out);
}

}  // namespace

const char* LimitTableName(LimitTable table) {
  return table == LimitTable::kNormal ? "NormalLimits" : "PathologyLimits";
}

std::string SettingSavedText(int language) {
  return PickText(language, "设置数据已保存！", "Setting data saved!", "Datos de configuracion guardados!",
                  "Donnees de parametrage enregistrees!", "Дані налаштувань збережено!");
}

bool LoadLimitsOfGroup(CADOConn& conn, LimitTable table, int kind, float pairs[40]) {
  return measurement::ReadStoredLimits(conn, LimitTableName(table), kind, pairs);
}

std::string CheckLimitEntries(const std::string texts[40], int language, float pairs[40]) {
  std::string t[40];
  for (int i = 0; i < 40; ++i) t[i] = Trim(texts[i]);
  for (int i = 0; i < 40; ++i)
    if (t[i].size() > 8)
      return PickText(language, "上下限的最大长度为8！", "The max length of upper and lower limit is 8!",
                      "La longitud maxima de los limites es 8!", "La longueur maximale des limites est 8!",
                      "Максимальна довжина меж - 8!");
  // A comma passes the number check but is no part of a number here: refused with the digits.
  for (int i = 0; i < 40; ++i)
    if (!CUtilies::IsNumericText(t[i]) || t[i].find(',') != std::string::npos)
      return PickText(language, "请输入数字作为上下限！", "Please input digits for upper and lower limit!",
                      "Introduzca digitos para los limites!", "Veuillez saisir des chiffres pour les limites!",
                      "Введіть цифри для меж!");
  float v[40];
  for (int i = 0; i < 40; ++i) {
    v[i] = static_cast<float>(std::strtod(t[i].c_str(), nullptr));
    if (v[i] < 0.0f || v[i] > 999999.0f)
      return PickText(language, "请输入0到999999之间的数字作为上下限！",
                      "Please input a number between 0 and 999999 for upper and lower limit!",
                      "Introduzca un numero entre 0 y 999999 para los limites!",
                      "Veuillez saisir un nombre entre 0 et 999999 pour les limites!",
                      "Введіть число від 0 до 999999 для меж!");
  }
  for (int p = 0; p < 20; ++p)
    if (!(v[2 * p + 1] > v[2 * p]))
      return PickText(language, "下限应小于上限！", "The lower limit should be less than upper limit!",
                      "El limite inferior debe ser menor que el superior!",
                      "La limite inferieure doit etre inferieure a la limite superieure!",
                      "Нижня межа має бути меншою за верхню!");
  for (int i = 0; i < 40; ++i) pairs[i] = v[i];
  return {};
}

bool SaveLimitsOfGroup(CADOConn& conn, LimitTable table, int kind, const float pairs[40], bool rowExists) {
  float t[40];
  ToTableOrder(pairs, t);
  std::string sql;
  if (!rowExists) {
    sql = StrPrintf("insert into %s(Kind", LimitTableName(table));
    for (const char* c : kLimitColumns) sql += std::string(",") + c;
    sql += StrPrintf(") values(%d", kind);
    for (float v : t) sql += StrPrintf(",%.2f", v);
    sql += ")";
  } else {
    sql = StrPrintf("update %s set ", LimitTableName(table));
    for (int i = 0; i < 40; ++i) sql += StrPrintf("%s%s=%.2f", i ? "," : "", kLimitColumns[i], t[i]);
    sql += StrPrintf(" where Kind=%d", kind);
  }
  return conn.Execute(sql) == 1;
}

void LoadLimitUnitTexts(CADOConn& conn, std::string u[20]) {
  for (int i = 0; i < 20; ++i) u[i] = "%";
  u[0] = u[1] = u[2] = u[3] = "10^9/L";
  u[7] = "10^12/L";
  u[8] = u[12] = "g/L";
  u[10] = u[13] = u[16] = "fL";
  u[11] = "pg";
  u[15] = "10^9/L";
  RecordsetPtr& rs = conn.OpenRecordset("Select * from ParasUnit");
  if (conn.RecordsetOpen() && HasRows(*rs)) {
    std::string s;
    if (ReadField(*rs, "WBC", s)) u[0] = u[1] = u[2] = u[3] = s;
    if (ReadField(*rs, "RBC", s)) u[7] = s;
    if (ReadField(*rs, "HGB", s)) u[8] = s;
    if (ReadField(*rs, "HCT", s)) u[9] = s;
    if (ReadField(*rs, "MCHC", s)) u[12] = s;
    if (ReadField(*rs, "PLT", s)) u[15] = s;
    if (ReadField(*rs, "PCT", s)) u[18] = s;
  }
  conn.CloseRecordset();
}

std::string LimitsTextRecord(LimitTable table, const std::string& groupName, const std::string units[20],
                             const float pairs[40], int language) {
  std::string u[20];
  for (int i = 0; i < 20; ++i) u[i] = units[i];
  ReorderParamTextsForStore(u);
  float t[40];
  ToTableOrder(pairs, t);
  lis::TextRecord r(table == LimitTable::kNormal ? "Normal" : "Panic");
  r.Add(groupName);
  for (int p = 0; p < 20; ++p)
    r.Add(kTableOrderNames[p]).Add(u[p]).Add(StrPrintf("%.2f", t[2 * p])).Add(StrPrintf("%.2f", t[2 * p + 1]));
  return r.WithChecksumAndFinish(language);
}

}  // namespace settings
