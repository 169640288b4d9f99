#include "lis/stored_items.h"

#include "core/person_row.h"
#include <cstdio>

#include "core/ado_conn.h"
#include "core/app_settings.h"
#include "core/field_read.h"
#include "lis/text_cut.h"
#include "measurement/kept_inputs.h"
#include "measurement/patient/patient_input.h"
#include "platform/db/recordset.h"
#include "platform/db/sql_text.h"

namespace lis {

const char* const kParamColumns[20] = {"WBC", "LYMA", "MONA", "GRAA", "LYMP", "MONP", "GRAP", "RBC", "HGB", "MCHC",
                                       "MCH", "MCV", "RDWCV", "RDWSD", "HCT", "PLT", "MPV", "PDW", "PCT", "PLCR"};

UnitTable::UnitTable() {
  const char* d[20] = {"10^9/L", "10^9/L", "10^9/L", "10^9/L", "%", "%",  "%",      "10^12/L", "g/L", "g/L",
                       "pg",     "fL",     "%",      "fL",     "%", "10^9/L", "fL", "%",       "%",   "%"};
  for (int i = 0; i < 20; ++i) units[i] = d[i];
}

void UnitTable::TakeFrom(db::Recordset& rs) {
  std::string u;
  if (ReadField(rs, "WBCUnit", u))
    for (int i = 0; i < 4; ++i) units[i] = u;
  struct {
    const char* column;
    int index;
  } one[] = {{"RBCUnit", 7}, {"HGBUnit", 8}, {"MCHCUnit", 9}, {"HCTUnit", 14}, {"PLTUnit", 15}, {"PCTUnit", 18}};
  for (auto& o : one) {
    std::string v;
    if (ReadField(rs, o.column, v)) units[o.index] = v;
  }
}

void SplitResultText(const std::string& text, std::string* value, std::string* flag) {
  value->clear();
  flag->clear();
  if (text.find_first_not_of("- ") == std::string::npos) return;  // "- - -": not reportable
  std::string v = text, f;
  size_t blank = text.find(' ', 1);
  if (blank != std::string::npos) {
    v = text.substr(0, blank);
    size_t start = text.find_first_not_of(' ', blank);
    if (start != std::string::npos) {
      size_t end = text.find(' ', start);
      f = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
    }
  }
  if (!v.empty() && (v[0] == '*' || v[0] == 'e' || v[0] == 'E' || v[0] == '!')) v.erase(0, 1);
  *value = CutChars(v, 15);
  *flag = CutChars(f, 15);
}

std::string LisAgeUnit(const std::string& storedUnit) {
  if (storedUnit == "A") return "Y";
  if (storedUnit == "J") return "D";
  return storedUnit;
}

std::string SerialAgeUnit(const std::string& unit, int language) {
  const int field = measurement::AgeFieldOfUnit(unit);
  if (field < 0 || unit == measurement::AgeUnitWord(field, language)) return LisAgeUnit(unit);
  // Stored under another language: the letter, which is the same byte in every code page.
  return measurement::AgeUnitWord(field, 1);
}

bool StoredAge(CADOConn& conn, const std::string& sampleNo, const std::string& testDate, int* age, std::string* unit) {
  RecordsetPtr& rs = conn.OpenRecordset(PersonKeySql(sampleNo, testDate));
  const bool found = conn.RecordsetOpen() && rs && HasRows(*rs);
  if (found) {
    uint8_t a = 0;
    ReadField(*rs, "Age", a);
    std::string u;
    ReadField(*rs, "AgeUnit", u);
    *age = a;
    *unit = CutChars(LisAgeUnit(u), 20);
  }
  conn.CloseRecordset();
  return found;
}

std::string WholeBloodText(int l) { return PickText(l, "抗凝全血", "Whole blood", "Sangre completa", "Sang total", "Цільна кров"); }
std::string GeneralGroupText(int l) { return PickText(l, "通用", "General", "General", "Général", "Головна"); }

void ProfileFromRow(db::Recordset& rs, int language, SampleProfileRecord* p) {
  std::string s;
  if (ReadField(rs, "SampleNo", s)) p->sampleNo = CutChars(s, 50);
  std::string date, time, dt;
  const bool hasDate = ReadField(rs, "TestDate", date);
  const bool hasTime = ReadField(rs, "TestTime", time);
  if (hasDate) dt = date + " ";
  if (hasTime) dt += time;
  p->testDateTime = CutChars(dt, 20);
  s.clear();
  p->sampleType = CutChars(ReadField(rs, "BloodType", s) ? s : WholeBloodText(language), 20);
  s.clear();
  p->group = CutChars(ReadField(rs, "ReferValue", s) ? s : GeneralGroupText(language), 50);
  auto text = [&](const char* col, size_t max, std::string& to) {
    std::string v;
    if (ReadField(rs, col, v)) to = CutChars(v, max);
  };
  text("Name", 50, p->name);
  text("Sex", 20, p->sex);
  uint8_t age = 0;
  ReadField(rs, "Age", age);
  p->age = age;
  text("AgeUnit", 20, p->ageUnit);
  p->ageUnit = LisAgeUnit(p->ageUnit);
  text("MedicalNo", 20, p->medicalNo);
  text("BedNo", 20, p->bedNo);
  text("Dept", 20, p->dept);
  text("Sender", 20, p->applicant);
  text("Scrutator", 20, p->inspector);
  text("Checker", 20, p->verifier);
}

void ApplyUnits(const UnitTable& units, SampleResultTexts* t) {
  for (int i = 0; i < 20; ++i) {
    std::string u = units.units[i];
    for (char& c : u)
      if (c == '^') c = 'x';
    t->units[i] = CutChars(u, 15);
  }
}

void UnitsAndRangesFromRow(db::Recordset& rs, UnitTable& units, SampleResultTexts* t) {
  units.TakeFrom(rs);
  ApplyUnits(units, t);
  std::string ref;
  ReadField(rs, "RefText", ref);
  size_t pos = 0;
  for (int i = 0; i < 20; ++i) {
    if (ref.empty() || pos > ref.size()) {
      t->ranges[i].clear();
      continue;
    }
    size_t c = ref.find(',', pos);
    t->ranges[i] = CutChars(ref.substr(pos, c == std::string::npos ? std::string::npos : c - pos), 15);
    pos = c == std::string::npos ? ref.size() + 1 : c + 1;
  }
}

bool RowKeptForComputation(db::Recordset& rs) {
  std::string texts[20], testTime, kept;
  for (int i = 0; i < 20; ++i) ReadField(rs, kParamColumns[i], texts[i]);
  ReadField(rs, "TestTime", testTime);
  ReadField(rs, measurement::kKeptInputsColumn, kept);
  return measurement::KeptForComputation(texts, testTime, kept);
}

void TextsFromRow(db::Recordset& rs, UnitTable& units, SampleResultTexts* t) {
  UnitsAndRangesFromRow(rs, units, t);
  for (int i = 0; i < 20; ++i) {
    std::string v;
    ReadField(rs, kParamColumns[i], v);
    SplitResultText(v, &t->values[i], &t->flags[i]);
  }
}

std::string PersonKeySql(const std::string& sampleNo, const std::string& testDate) {
  return SelectPersonSql(sampleNo, testDate);
}

std::string QcValueText(double v, bool serial) {
  if (v < 0) return std::string();
  char b[64];
  std::snprintf(b, sizeof b, serial ? "%.2f" : "%g", v);
  return b;
}

}  // namespace lis
