#include "printing/report_fill.h"

#include "core/person_row.h"
#include <cstdlib>
#include <cstring>
#include <vector>

#include "core/ado_conn.h"
#include "core/app_settings.h"
#include "core/field_read.h"
#include "core/param_order.h"
#include "core/sample_names.h"
#include "core/utilies.h"
#include "core/value_format.h"
#include "printing/histogram_print.h"

namespace {

const char* const kGroupPairs[10][2] = {
    {"General", "通用"},          {"Adult male", "成男"},          {"Adult female", "成女"},
    {"14-18 years", "14-18岁"},    {"6-13 years", "6-13岁"},        {"3-5 years", "3-5岁"},
    {"2 months-2 years", "2个月-2岁"}, {"8 days-1 months", "8天-1个月"}, {"First week", "第一周"},
    {"User defined", "自定义"},
};

const char* const kBloodPairs[3][2] = {
    {"Whole blood", "抗凝全血"}, {"Peripheral blood", "抗凝末梢血"}, {"Pre-diluted blood", "预稀释末梢血"}};

// English <-> Chinese for language 0 and 1; other languages keep the stored text.
std::string TranslatePair(const std::string& stored, const char* const (*pairs)[2], int count, int language) {
  if (language != 0 && language != 1) return stored;
  const int from = language == 0 ? 0 : 1, to = 1 - from;
  for (int i = 0; i < count; ++i)
    if (stored == pairs[i][from]) return pairs[i][to];
  return stored;
}

}  // namespace

std::string ReportValueText(float value, uint8_t mark, int displayIndex) {
  return mark ? std::string("- - -") : FormatValue(value, displayIndex, 0);
}

std::string ReportRangeText(float low, float high, int displayIndex) {
  if (low < -999999.0f && high > 999999.0f) return " ";
  return FormatValue(low, displayIndex, 0) + "-" + FormatValue(high, displayIndex, 0);
}

std::string ReportRangeFlag(float value, uint8_t mark, float normalLow, float normalHigh, float panicLow,
                            float panicHigh) {
  if (mark) return "";
  std::string flag;
  if (value < panicLow) flag = "L-";
  else if (value < normalLow) flag = "L";
  if (value > panicHigh) flag = "H+";
  else if (value > normalHigh) flag = "H";
  return flag;
}

void ParseResultCell(const std::string& cell, std::string* value, std::string* flag) {
  *value = cell;
  flag->clear();
  const size_t blank = cell.find(' ');
  if (blank != std::string::npos && blank >= 1) {
    std::vector<std::string> parts;
    CUtilies::SplitString(cell, ' ', parts);
    const std::string first = parts.empty() ? std::string() : parts[0];
    if (first == "-") {
      *value = "- - -";
      return;
    }
    *value = first;
    if (parts.size() > 1) *flag = parts[1];
  }
  if (!value->empty() && std::strchr("*eE!", (*value)[0]) != nullptr) value->erase(0, 1);
}

void RangeTextsFromRefText(const std::string& refText, std::string out[kReportParams]) {
  std::vector<std::string> parts;
  CUtilies::SplitString(refText, ',', parts);
  for (int i = 0; i < kReportParams; ++i) out[i] = i < static_cast<int>(parts.size()) ? parts[i] : std::string();
  ReorderParamTextsForDisplay(out);
}

std::string ReportSexText(const std::string& stored, int language) {
  if (language == 0) {
    if (stored == "Male") return "男";
    if (stored == "Female") return "女";
  } else if (language == 1) {
    if (stored == "男") return "Male";
    if (stored == "女") return "Female";
  }
  return stored;
}

std::string ReportAgeText(int age, const std::string& ageUnit, bool unitNull, int language) {
  if (age <= 0) return "";
  std::string text = std::to_string(age);
  if (unitNull) return text;
  static const char* const kYears[] = {"岁", "Y", "A", "Р"};
  static const char* const kMonths[] = {"月", "M", "М"};
  static const char* const kDays[] = {"天", "D", "J", "Д"};
  auto in = [&](const char* const* list, size_t n) {
    for (size_t i = 0; i < n; ++i)
      if (ageUnit == list[i]) return true;
    return false;
  };
  if (in(kYears, 4)) return text + PickText(language, " 岁", " years", " anos", " ans", "  років");
  if (in(kMonths, 3)) return text + PickText(language, " 个月", " months", " meses", " mois", " місяців");
  if (in(kDays, 4)) return text + PickText(language, " 天", " days", " dias", " jours", " днів");
  return text;
}

std::string ReportBloodTypeText(const std::string& stored, int language) {
  return TranslatePair(stored, kBloodPairs, 3, language);
}

std::string ReportReferenceText(const std::string& stored, bool isNull, int language) {
  if (isNull) return PickText(language, "通用", "General", "General", "Général", "Головна");
  return TranslatePair(stored, kGroupPairs, 10, language);
}

int BloodModeFromText(const std::string& text) { return BloodTypeCodeFromText(text); }

void DefaultReportUnits(std::string out[kReportParams]) {
  static const char* const kUnits[kReportParams] = {"10^9/L", "10^9/L", "10^9/L", "10^9/L", "%",  "%",     "%",
                                                    "10^12/L", "g/L",   "%",      "fL",     "pg", "g/L",   "fL",
                                                    "%",      "10^9/L", "fL",     "%",      "%",  "%"};
  for (int i = 0; i < kReportParams; ++i) out[i] = kUnits[i];
}

StoredSnapshot LoadStoredSnapshot(CADOConn& conn, const StoredSampleColumn& column, int language,
                                  ReportSnapshot* out) {
  RecordsetPtr& rs = conn.OpenRecordset(SelectPersonSql(column.sampleNo, column.testDate));
  if (!conn.RecordsetOpen()) return StoredSnapshot::QueryFailed;
  if (!HasRows(*rs)) {
    conn.CloseRecordset();
    return StoredSnapshot::NoRow;
  }
  ReportSnapshot s;
  s.sampleNo = column.sampleNo;
  s.testDate = column.testDate;
  ReadField(*rs, "TestDate", s.testDate);
  ReadField(*rs, "TestTime", s.testTime);
  ReadField(*rs, "Name", s.name);
  std::string sex;
  ReadField(*rs, "Sex", sex);
  s.sex = ReportSexText(sex, language);
  uint8_t age = 0;
  ReadField(*rs, "Age", age);
  std::string ageUnit;
  const bool unitSet = ReadField(*rs, "AgeUnit", ageUnit);
  s.age = ReportAgeText(age, ageUnit, !unitSet, language);
  std::string blood;
  ReadField(*rs, "BloodType", blood);
  s.bloodMode = BloodModeFromText(blood);
  s.bloodTypeText = ReportBloodTypeText(blood, language);
  std::string refer;
  const bool referSet = ReadField(*rs, "ReferValue", refer);
  s.referenceText = ReportReferenceText(refer, !referSet, language);
  ReadField(*rs, "MedicalNo", s.medicalNo);
  ReadField(*rs, "BedNo", s.bedNo);
  ReadField(*rs, "Dept", s.dept);
  ReadField(*rs, "Sender", s.sender);
  ReadField(*rs, "Scrutator", s.scrutator);
  ReadField(*rs, "Checker", s.checker);
  ReadField(*rs, "Warning", s.warning);
  std::string refText = " , , , , , , , , , , , , , , , , , , , , ";
  ReadField(*rs, "RefText", refText);
  RangeTextsFromRefText(refText, s.rangeTexts);
  const char* const markerColumns[4] = {"WMARKER2", "WMARKER3", "PMARKER1", "PMARKER2"};
  for (int m = 0; m < 4; ++m) ReadField(*rs, markerColumns[m], s.histograms.markers[m]);
  DefaultReportUnits(s.unitTexts);
  std::string unit;
  if (ReadField(*rs, "WBCUnit", unit))
    for (int i = 0; i < 4; ++i) s.unitTexts[i] = unit;
  const struct {
    const char* column;
    int index;
  } unitColumns[] = {{"RBCUnit", 7}, {"HGBUnit", 8}, {"HCTUnit", 9}, {"MCHCUnit", 12}, {"PLTUnit", 15}, {"PCTUnit", 18}};
  for (const auto& u : unitColumns)
    if (ReadField(*rs, u.column, unit)) s.unitTexts[u.index] = unit;
  conn.CloseRecordset();
  for (int i = 0; i < kReportParams; ++i) ParseResultCell(column.results[i], &s.valueTexts[i], &s.flagTexts[i]);
  s.notComputed = column.notComputed;
  uint8_t record[2560];
  if (ReadTestDataRecord(record, s.testDate, s.sampleNo)) {
    SplitTestDataRecord(record, s.histograms.wbc, s.histograms.rbc, s.histograms.plt);
    s.histograms.present = true;
  }
  *out = s;
  return StoredSnapshot::Loaded;
}

std::vector<ReportSnapshot> LoadHistorySnapshots(CADOConn& conn, const std::vector<StoredSampleColumn>& columns,
                                                 int language, const std::atomic<uint8_t>* cancel) {
  std::vector<ReportSnapshot> out;
  for (const StoredSampleColumn& c : columns) {
    if (cancel && cancel->load()) break;
    if (c.sampleNo.empty()) break;
    if (c.results[0].empty()) continue;
    ReportSnapshot s;
    if (LoadStoredSnapshot(conn, c, language, &s) == StoredSnapshot::Loaded) out.push_back(std::move(s));
  }
  return out;
}
