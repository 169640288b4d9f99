#include "measurement/patient/patient_input.h"

#include <cctype>
#include <climits>

#include "core/app_settings.h"
#include "core/sample_names.h"
#include "core/value_format.h"
#include "measurement/flagging.h"
#include "platform/sys/clock.h"
#include "platform/ui/message_box.h"
#include "core/person_row.h"

namespace measurement {

SampleNoCheck CheckSampleNo(const std::string& text, long long* value) {
  size_t i = 0;
  if (i < text.size() && text[i] == '-') ++i;
  if (i == text.size()) return SampleNoCheck::NotInteger;
  for (size_t k = i; k < text.size(); ++k)
    if (!std::isdigit(static_cast<unsigned char>(text[k]))) return SampleNoCheck::NotInteger;
  const long long v = SampleNoValue(text);
  if (v > 99999999LL) return SampleNoCheck::TooLarge;
  if (v <= 0) return SampleNoCheck::NotPositive;
  if (value != nullptr) *value = v;
  return SampleNoCheck::Ok;
}

std::string SampleNoCheckText(SampleNoCheck check, int language) {
  switch (check) {
    case SampleNoCheck::NotInteger:
      return PickText(language, "请输入整数样本号!", "Please input integer for sample no.!",
                      "Introduzca un numero entero para el No. de muestra!",
                      "Veuillez saisir un entier pour le No. d'echantillon!", "Введіть ціле число для номера проби!");
    case SampleNoCheck::TooLarge:
      return PickText(language, "样本号最多8位!", "Maximum 8 digits for sample no.!",
                      "Maximo 8 digitos para el No. de muestra!", "8 chiffres maximum pour le No. d'echantillon!",
                      "Номер проби – не більше 8 цифр!");
    case SampleNoCheck::NotPositive:
      return PickText(language, "样本号应大于零!", "Sample no. should be greater than zero!",
                      "El No. de muestra debe ser mayor que cero!",
                      "Le No. d'echantillon doit etre superieur a zero!", "Номер проби має бути більшим за нуль!");
    case SampleNoCheck::Ok: break;
  }
  return {};
}

unsigned SampleNoCheckIcon(SampleNoCheck check, int language) {
  if (check == SampleNoCheck::NotPositive && language != 3) return ui::MB_ICONWARNING;
  return ui::MB_ICONINFORMATION;
}

long long SampleNoValue(const std::string& text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  long long v = 0;
  for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
    if (v > (LLONG_MAX - 9) / 10) {
      v = LLONG_MAX;
      break;
    }
    v = v * 10 + (text[i] - '0');
  }
  return negative ? -v : v;
}

std::string StripLeadingZeros(const std::string& text) {
  size_t i = 0;
  while (i + 1 < text.size() && text[i] == '0') ++i;
  return text.substr(i);
}

bool StepSampleNo(const std::string& text, bool next, std::string* out) {
  const long long v = SampleNoValue(text);
  long long n;
  if (next) {
    if (v >= 99999999LL) return false;
    n = v + 1;
  } else {
    if (v - 1 <= 0) return false;
    n = v - 1;
  }
  *out = std::to_string(n);
  return true;
}

AgeCheck ReadAge(const AgeInput& in, int* years, int* months, int* days) {
  const std::string* texts[3] = {&in.years, &in.months, &in.days};
  int* outs[3] = {years, months, days};
  for (int k = 0; k < 3; ++k) {
    const std::string& t = *texts[k];
    long long v = 0;
    for (char c : t) {
      if (!std::isdigit(static_cast<unsigned char>(c))) return AgeCheck::NotANumber;
      v = v * 10 + (c - '0');
      if (v > 100000) v = 100000;
    }
    *outs[k] = static_cast<int>(v);
  }
  if (*years > 150) return AgeCheck::YearsOutOfRange;
  // The edits hold at most two digits; a month or day count beyond a byte cannot be stored.
  if (*months > 255 || *days > 255) return AgeCheck::NotANumber;
  return AgeCheck::Ok;
}

std::string AgeCheckText(int language) {
  return PickText(language, "年龄请输入1到150之间的数字!", "Please input digits between 1 and 150 for age!",
                  "Introduzca un numero entre 1 y 150 para la edad!",
                  "Veuillez saisir un nombre entre 1 et 150 pour l'age!", "Введіть для віку число від 1 до 150!");
}

int AgeFieldOfUnit(const std::string& u) {
  if (u == "岁" || u == "Y" || u == "A" || u == "Р") return 0;
  if (u == "月" || u == "M" || u == "М") return 1;
  if (u == "天" || u == "D" || u == "J" || u == "Д") return 2;
  return -1;
}

const char* AgeUnitWord(int field, int language) {
  switch (field) {
    case 0: return PickText(language, "岁", "Y", "A", "A", "Р");
    case 1: return PickText(language, "月", "M", "M", "M", "М");
    case 2: return PickText(language, "天", "D", "D", "J", "Д");
  }
  return "";
}

void AgeToStore(int years, int months, int days, int language, int* age, std::string* unit) {
  const int v[3] = {years, months, days};
  for (int k = 0; k < 3; ++k)
    if (v[k] > 0) {
      *age = v[k];
      *unit = AgeUnitWord(k, language);
      return;
    }
  *age = 0;
  unit->clear();
}

const char* AgeSuffix(int field, int language, bool headerForm) {
  switch (field) {
    case 0: return PickText(language, " 岁", " years", " anos", " ans", "  років");
    case 1:
      return PickText(language, headerForm ? " 个月" : " 月", " months", " meses", " mois", " місяців");
    case 2: return PickText(language, " 天", " days", " dias", " jours", " днів");
  }
  return "";
}

namespace {
std::string AgeText(int years, int months, int days, int language, bool headerForm) {
  const int v[3] = {years, months, days};
  for (int k = 0; k < 3; ++k)
    if (v[k] > 0) return std::to_string(v[k]) + AgeSuffix(k, language, headerForm);
  return {};
}
}  // namespace

std::string SummaryAgeText(int y, int m, int d, int language) { return AgeText(y, m, d, language, false); }
std::string HeaderAgeText(int y, int m, int d, int language) { return AgeText(y, m, d, language, true); }

std::string StoredAgeText(int age, const std::string& unit, int language) {
  age &= 0xFF;
  if (age == 0) return " ";
  const int field = AgeFieldOfUnit(unit);
  std::string t = std::to_string(age);
  if (field >= 0) t += AgeSuffix(field, language, true);
  return t;
}

std::string TranslateSex(const std::string& s, int language) {
  if (language == 0) {
    if (s == "Male") return "男";
    if (s == "Female") return "女";
  } else if (language == 1) {
    if (s == "男") return "Male";
    if (s == "女") return "Female";
  }
  return s;
}

std::string TranslateGroupName(const std::string& s, int language) {
  if (language != 0 && language != 1) return s;
  for (int k = 0; k < kGroupCount; ++k)
    if (s == GroupName(k, 0) || s == GroupName(k, 1)) return GroupName(k, language);
  return s;
}

std::string PatientUpdateSql(const PatientColumns& p, const std::string& testDate, const std::string& keySampleNo) {
  // A changed sample number is found by the row's old number and written as the new one.
  const bool renumber = !keySampleNo.empty() && keySampleNo != p.sampleNo;
  return UpdatePersonSql((renumber ? "SampleNo='" + SqlSafeText(p.sampleNo) + "'," : std::string()) + "Name='" +
                             SqlSafeText(p.name) + "',Sex='" + SqlSafeText(p.sex) + "',Age=" + std::to_string(p.age) +
                             ",AgeUnit='" + SqlSafeText(p.ageUnit) + "',ReferValue='" + SqlSafeText(p.referValue) +
                             "',MedicalNo='" + SqlSafeText(p.medicalNo) + "',BedNo='" + SqlSafeText(p.bedNo) +
                             "',Dept='" + SqlSafeText(p.dept) + "',Sender='" + SqlSafeText(p.sender) +
                             "',Scrutator='" + SqlSafeText(p.scrutator) + "',Checker='" + SqlSafeText(p.checker) + "'",
                         renumber ? keySampleNo : p.sampleNo, testDate);
}

std::string PatientInsertSql(const PatientColumns& p, const std::string& testDate, const std::string& testTime,
                             const std::string& bloodType) {
  auto q = [](const std::string& s) { return "'" + SqlSafeText(s) + "'"; };
  return "insert into Person(SampleNo,TestDate,TestTime,Name,Sex,Age,AgeUnit,BloodType,ReferValue,MedicalNo,"
         "BedNo,Dept,Sender,Scrutator,Checker) values(" +
         q(p.sampleNo) + "," + q(testDate) + "," + q(testTime) + "," + q(p.name) + "," + q(p.sex) + "," +
         std::to_string(p.age) + "," + q(p.ageUnit) + "," + q(bloodType) + "," + q(p.referValue) + "," +
         q(p.medicalNo) + "," + q(p.bedNo) + "," + q(p.dept) + "," + q(p.sender) + "," + q(p.scrutator) + "," +
         q(p.checker) + ")";
}

const char* BloodTypeName(unsigned code, int language) {
  return BloodModeText(code > 2 ? 0 : static_cast<int>(code), language);
}

std::string TodayText() { return StoredDateToday(); }

std::string NowTimeText() { return StoredTimeNow(); }

}  // namespace measurement
