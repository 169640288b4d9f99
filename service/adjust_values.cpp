#include "service/adjust_values.h"
#include "core/sys_setting.h"

#include <cmath>
#include <cstdlib>
#include <utility>
#include <vector>

#include "core/ado_conn.h"
#include "core/app_settings.h"
#include "core/field_read.h"
#include "core/value_format.h"
#include "platform/sys/profile.h"
#include "service/service_link.h"

namespace service {
namespace {

const char* const kPotColumns[8] = {"ZYDW1", "ZYDW2", "ZYDW3", "ZYDW4", "MKDYDW1", "MKDYDW2", "MKDYDW3", "MKDYDW4"};
const char* const kParaColumns[4] = {"PARA1", "PARA2", "PARA3", "PARA4"};

std::string Seconds(double s) { return StrPrintf("%g", s); }

}  // namespace

uint8_t TenthsOf(double seconds) {
  // A small allowance so that 2.3 s gives 23 tenths although 2.3 x 10 is 22.999... in binary.
  return static_cast<uint8_t>(static_cast<long>(std::floor(seconds * 10.0 + 1e-6)) & 0xFF);
}

AdjustValues LoadAdjustValues(CADOConn& conn) {
  AdjustValues v;
  RecordsetPtr& rs = conn.OpenRecordset("Select * from EngineeringAdjust");
  if (conn.RecordsetOpen() && HasRows(*rs)) {
    int32_t x = 0;
    for (int i = 0; i < 8; ++i)
      if (ReadField(*rs, kPotColumns[i], x)) v.pot[i] = static_cast<uint8_t>(x);
    for (int i = 0; i < 4; ++i)
      if (ReadField(*rs, kParaColumns[i], x)) v.para[i] = static_cast<uint8_t>(x);
    if (ReadField(*rs, "FPRESSURE", x)) v.fpressure = static_cast<int16_t>(x);
    if (ReadField(*rs, "APRESSURE", x)) v.apressure = static_cast<int16_t>(x);
    if (ReadField(*rs, "WBCTIME", x)) v.wbcTime = static_cast<uint8_t>(x);
    if (ReadField(*rs, "RBCTIME", x)) v.rbcTime = static_cast<uint8_t>(x);
  }
  conn.CloseRecordset();
  const SysSettingRow row = LoadSysSetting(conn).row;
  TakeSetting(row.BlockTime, v.blockTime);
  TakeSetting(row.LeakTime, v.leakTime);
  return v;
}

AdjustFields FieldsOf(const AdjustValues& v) {
  AdjustFields f;
  for (int i = 0; i < 8; ++i) f.pot[i] = std::to_string(v.pot[i]);
  for (int i = 0; i < 4; ++i) f.para[i] = std::to_string(v.para[i]);
  f.startBase = std::to_string(kStartPressureBase);
  f.startOffset = std::to_string(v.fpressure - kStartPressureBase);
  f.maxBase = std::to_string(kMaxPressureBase);
  f.maxOffset = std::to_string(v.apressure - kMaxPressureBase);
  f.countTime = Seconds(v.wbcTime / 10.0);
  f.waitTime = Seconds(v.rbcTime / 10.0);
  f.blockTime = Seconds(v.blockTime);
  f.leakTime = Seconds(v.leakTime);
  return f;
}

bool CheckAdjustFields(const AdjustFields& f, AdjustValues* out, std::string* message, int lang) {
  AdjustValues v;
  auto fail = [&](const std::string& text) {
    if (message) *message = text;
    return false;
  };
  auto byteField = [&](const std::string& text, uint8_t* to, const char* integerMsg, const char* rangeMsg) {
    if (!IsIntegerText(text)) return fail(integerMsg);
    const long x = LeadingInteger(text);
    if (x < 0 || x > 255) return fail(rangeMsg);
    *to = static_cast<uint8_t>(x);
    return true;
  };
  const char* potInt = PickText(lang, "请输入电位器的整数值！", "Please input integer for potentiometer!",
                                "¡Introduzca un entero para el potenciómetro!", "Veuillez saisir un entier pour le potentiomètre!",
                                "Введіть ціле число для потенціометра!");
  const char* potRange = PickText(lang, "请输入0到255之间的电位器整数值！", "Please input a integer bewteen 0 and 255 for potentiometer!",
                                  "¡Introduzca un entero entre 0 y 255 para el potenciómetro!",
                                  "Veuillez saisir un entier entre 0 et 255 pour le potentiomètre!",
                                  "Введіть ціле число від 0 до 255 для потенціометра!");
  for (int i = 0; i < 8; ++i)
    if (!byteField(f.pot[i], &v.pot[i], potInt, potRange)) return false;
  const char* paraInt = PickText(lang, "请输入脉宽的整数值！", "Please input integer for pulse width!",
                                 "¡Introduzca un entero para el ancho de pulso!", "Veuillez saisir un entier pour la largeur d'impulsion!",
                                 "Введіть ціле число для ширини імпульсу!");
  const char* paraRange = PickText(lang, "请输入0到255之间的脉宽整数值！", "Please input a integer bewteen 0 and 255 for pulse width!",
                                   "¡Introduzca un entero entre 0 y 255 para el ancho de pulso!",
                                   "Veuillez saisir un entier entre 0 et 255 pour la largeur d'impulsion!",
                                   "Введіть ціле число від 0 до 255 для ширини імпульсу!");
  for (int i = 0; i < 4; ++i)
    if (!byteField(f.para[i], &v.para[i], paraInt, paraRange)) return false;

  const char* pressInt = PickText(lang, "请输入测试压力的整数值！", "Please input integer for test pressure!",
                                  "¡Introduzca un entero para la presión de prueba!", "Veuillez saisir un entier pour la pression de test!",
                                  "Введіть ціле число для тиску тесту!");
  const char* pressRange = PickText(lang, "测试压力超出范围！", "Test pressure is out of range!", "¡Presión de prueba fuera de rango!",
                                    "Pression de test hors limites!", "Тиск тесту поза межами!");
  long press[4];
  const std::string* pressFields[4] = {&f.startBase, &f.startOffset, &f.maxBase, &f.maxOffset};
  for (int i = 0; i < 4; ++i) {
    if (!IsIntegerText(*pressFields[i])) return fail(pressInt);
    press[i] = LeadingInteger(*pressFields[i]);
    if (press[i] < -10000 || press[i] > 10000) return fail(pressRange);
  }
  // The offsets have the bounds of their fields, and each sum must be a pressure the 16-bit
  // column and the two command bytes can carry.
  if (press[1] < -kStartPressureBase || press[1] > 5000 || press[3] < -kMaxPressureBase || press[3] > 5000)
    return fail(pressRange);
  const long start = press[0] + press[1], max = press[2] + press[3];
  if (start < 0 || start > 32767 || max < 0 || max > 32767) return fail(pressRange);
  v.fpressure = static_cast<int16_t>(start);
  v.apressure = static_cast<int16_t>(max);

  struct TimeField {
    const std::string* text;
    const char* digits[5];
    const char* range[5];
  };
  const TimeField times[4] = {
      {&f.countTime,
       {"请输入计数时间的数字！", "Please input digits for count time!", "¡Introduzca dígitos para el tiempo de recuento!",
        "Veuillez saisir des chiffres pour le temps de comptage!", "Введіть цифри для часу підрахунку!"},
       {"请输入0到25之间的计数时间！", "Please input a number bewteen 0 and 25 for count time!",
        "¡Introduzca un número entre 0 y 25 para el tiempo de recuento!",
        "Veuillez saisir un nombre entre 0 et 25 pour le temps de comptage!", "Введіть число від 0 до 25 для часу підрахунку!"}},
      {&f.waitTime,
       {"请输入计数等待时间的数字！", "Please input digits for count wait time!",
        "¡Introduzca dígitos para el tiempo de espera del recuento!",
        "Veuillez saisir des chiffres pour le temps d'attente du comptage!", "Введіть цифри для часу очікування підрахунку!"},
       {"请输入0到25之间的计数等待时间！", "Please input a number bewteen 0 and 25 for count wait time!",
        "¡Introduzca un número entre 0 y 25 para el tiempo de espera del recuento!",
        "Veuillez saisir un nombre entre 0 et 25 pour le temps d'attente du comptage!",
        "Введіть число від 0 до 25 для часу очікування підрахунку!"}},
      {&f.blockTime,
       {"请输入报警时间的数字！", "Please input digits for warn time!", "¡Introduzca dígitos para el tiempo de aviso!",
        "Veuillez saisir des chiffres pour le temps d'alerte!", "Введіть цифри для часу попередження!"},
       {"请输入0到25之间的报警时间！", "Please input a integer bewteen 0 and 25 for warn time!",
        "¡Introduzca un número entre 0 y 25 para el tiempo de aviso!",
        "Veuillez saisir un nombre entre 0 et 25 pour le temps d'alerte!", "Введіть число від 0 до 25 для часу попередження!"}},
      {&f.leakTime,
       {"请输入报警时间的数字！", "Please input digits for warn time!", "¡Introduzca dígitos para el tiempo de aviso!",
        "Veuillez saisir des chiffres pour le temps d'alerte!", "Введіть цифри для часу попередження!"},
       {"请输入0到25之间的报警时间！", "Please input a integer bewteen 0 and 25 for warn time!",
        "¡Introduzca un número entre 0 y 25 para el tiempo de aviso!",
        "Veuillez saisir un nombre entre 0 et 25 pour le temps d'alerte!", "Введіть число від 0 до 25 для часу попередження!"}},
  };
  double seconds[4];
  for (int i = 0; i < 4; ++i) {
    const TimeField& t = times[i];
    if (!ParseDecimal(*t.text, &seconds[i]))
      return fail(PickText(lang, t.digits[0], t.digits[1], t.digits[2], t.digits[3], t.digits[4]));
    if (seconds[i] < 0 || seconds[i] > 25)
      return fail(PickText(lang, t.range[0], t.range[1], t.range[2], t.range[3], t.range[4]));
  }
  v.wbcTime = TenthsOf(seconds[0]);
  v.rbcTime = TenthsOf(seconds[1]);
  v.blockTime = static_cast<float>(seconds[2]);
  v.leakTime = static_cast<float>(seconds[3]);
  if (out) *out = v;
  return true;
}

std::string AdjustUpdateSql(const AdjustValues& v) {
  return StrPrintf(
      "update EngineeringAdjust set ZYDW1=%d,ZYDW2=%d,                    ZYDW3=%d,ZYDW4=%d,MKDYDW1=%d,MKDYDW2=%d,"
      "MKDYDW3=%d,MKDYDW4=%d,\t\t\t\t\tFPRESSURE=%d,APRESSURE=%d,WBCTIME=%d,RBCTIME=%d,PARA1=%d,PARA2=%d,PARA3=%d,PARA4=%d",
      v.pot[0], v.pot[1], v.pot[2], v.pot[3], v.pot[4], v.pot[5], v.pot[6], v.pot[7], v.fpressure, v.apressure, v.wbcTime,
      v.rbcTime, v.para[0], v.para[1], v.para[2], v.para[3]);
}

std::string AdjustInsertSql(const AdjustValues& v) {
  return StrPrintf(
      "insert into EngineeringAdjust (ZYDW1,ZYDW2,ZYDW3,ZYDW4,MKDYDW1,MKDYDW2,MKDYDW3,MKDYDW4,FPRESSURE,APRESSURE,WBCTIME,"
      "RBCTIME,PARA1,PARA2,PARA3,PARA4) values(%d,%d,%d,%d,%d,%d,%d,%d,%d,%d,%d,%d,%d,%d,%d,%d)",
      v.pot[0], v.pot[1], v.pot[2], v.pot[3], v.pot[4], v.pot[5], v.pot[6], v.pot[7], v.fpressure, v.apressure, v.wbcTime,
      v.rbcTime, v.para[0], v.para[1], v.para[2], v.para[3]);
}

std::string WarningTimesSql(const AdjustValues& v) {
  return SysSettingUpdate().SetFixed("BlockTime", v.blockTime, 6).SetFixed("LeakTime", v.leakTime, 6).Sql();
}

void StoreAdjustValues(CADOConn& conn, const AdjustValues& v) {
  RecordsetPtr& rs = conn.OpenRecordset("Select * from EngineeringAdjust");
  const bool hasRow = conn.RecordsetOpen() && HasRows(*rs);
  conn.CloseRecordset();
  conn.Execute(hasRow ? AdjustUpdateSql(v) : AdjustInsertSql(v));
  conn.Execute(WarningTimesSql(v));
}

namespace {
const char* const kIniPot[8] = {"ZYDW1", "ZYDW2", "ZYDW3", "ZYDW4", "MKDYDW1", "MKDYDW2", "MKDYDW3", "MKDYDW4"};
const char* const kIniPotDefault[8] = {"33", "100", "140", "2454", "180", "75", "200", "48"};
const char* const kIniPara[4] = {"PPAR1", "PPAR2", "PPAR3", "PPAR4"};
const char* const kIniParaDefault[4] = {"3", "13", "0", "0"};
constexpr const char* kSection = "AdjustParas";
}  // namespace

bool WriteAdjustDefaults(const std::string& ini, const AdjustValues& v) {
  // One replacement of the file for every key: a power cut leaves the old set or the new one.
  std::vector<std::pair<std::string, std::string>> values;
  auto put = [&](const char* key, const std::string& value) { values.emplace_back(key, value); };
  for (int i = 0; i < 8; ++i) put(kIniPot[i], std::to_string(v.pot[i]));
  for (int i = 0; i < 4; ++i) put(kIniPara[i], std::to_string(v.para[i]));
  put("FPRESSURE", std::to_string(v.fpressure));
  put("MAXPRESSURE", std::to_string(v.apressure));
  put("COUNTTIME", StrPrintf("%.2f", v.wbcTime / 10.0));
  put("COUNTWAITTIME", StrPrintf("%.2f", v.rbcTime / 10.0));
  put("LEAKTIME", StrPrintf("%.2f", v.leakTime));
  put("BLOCKTIME", StrPrintf("%.2f", v.blockTime));
  return sys::ProfileWriteStrings(kSection, values, ini);
}

AdjustValues ReadAdjustDefaults(const std::string& ini) {
  AdjustValues v;
  auto get = [&](const char* key, const char* def) { return sys::ProfileReadString(ini, kSection, key, def, 1000); };
  for (int i = 0; i < 8; ++i) v.pot[i] = static_cast<uint8_t>(std::atoi(get(kIniPot[i], kIniPotDefault[i]).c_str()));
  for (int i = 0; i < 4; ++i) v.para[i] = static_cast<uint8_t>(std::atoi(get(kIniPara[i], kIniParaDefault[i]).c_str()));
  v.fpressure = static_cast<int16_t>(std::atoi(get("FPRESSURE", "2300").c_str()));
  v.apressure = static_cast<int16_t>(std::atoi(get("MAXPRESSURE", "2335").c_str()));
  v.wbcTime = TenthsOf(std::atof(get("COUNTTIME", "5").c_str()));
  v.rbcTime = TenthsOf(std::atof(get("COUNTWAITTIME", "0").c_str()));
  v.leakTime = static_cast<float>(std::atof(get("LEAKTIME", "0").c_str()));
  v.blockTime = static_cast<float>(std::atof(get("BLOCKTIME", "2").c_str()));
  return v;
}

AdjustValues ValuesOfUnchecked(const AdjustFields& f) {
  AdjustValues v;
  for (int i = 0; i < 8; ++i) v.pot[i] = static_cast<uint8_t>(LeadingInteger(f.pot[i]));
  for (int i = 0; i < 4; ++i) v.para[i] = static_cast<uint8_t>(LeadingInteger(f.para[i]));
  v.fpressure = static_cast<int16_t>(LeadingInteger(f.startBase) + LeadingInteger(f.startOffset));
  v.apressure = static_cast<int16_t>(LeadingInteger(f.maxBase) + LeadingInteger(f.maxOffset));
  v.wbcTime = TenthsOf(std::atof(f.countTime.c_str()));
  v.rbcTime = TenthsOf(std::atof(f.waitTime.c_str()));
  v.blockTime = static_cast<float>(std::atof(f.blockTime.c_str()));
  v.leakTime = static_cast<float>(std::atof(f.leakTime.c_str()));
  return v;
}

}  // namespace service
