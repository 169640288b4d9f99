#include "history/view_row.h"

#include <cstdlib>
#include <strings.h>

#include "core/app_settings.h"
#include "core/field_read.h"
#include "core/sample_names.h"
#include "measurement/kept_inputs.h"
#include "measurement/patient/line_adjust.h"
#include "platform/db/recordset.h"

namespace history {

const char* const kDefaultUnits[20] = {"10^9/L", "10^9/L", "10^9/L",  "10^9/L", "%",   "%",  "%",
                                       "10^12/L", "g/L",   "%",       "fL",     "pg",  "g/L", "fL",
                                       "%",      "10^9/L", "fL",      "%",      "%",   "%"};
const char* const kFlagCodes[6] = {"LF1", "LF2", "LF3", "LF4", "PF1", "PF2"};

namespace {

// The lead marks a row can carry.
const char* LeadMarks(int row) {
  if (row == 0 || row == 7) return "*";
  if (row >= 1 && row <= 3) return "e!";
  if (row >= 4 && row <= 6) return "E!";
  if (row >= 15) return "*!";
  return "";
}

// Person value columns in the order the view reads them, and the display row of each.
const char* const kReadColumns[20] = {"WBC",  "LYMA", "MONA", "GRAA",  "LYMP",  "MONP", "GRAP",
                                      "RBC",  "HGB",  "MCHC", "MCH",   "MCV",   "RDWCV", "RDWSD",
                                      "HCT",  "PLT",  "MPV",  "PDW",   "PCT",   "PLCR"};
const int kReadRows[20] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 12, 11, 10, 14, 13, 9, 15, 16, 17, 18, 19};

std::string Text(db::Recordset& rs, const char* column) {
  std::string s;
  ReadField(rs, column, s);
  return s;
}

bool IsNullField(db::Recordset& rs, const char* column) { return rs.Field(column).IsNull(); }

}  // namespace

ShownValue SplitShownValue(int row, const std::string& stored) {
  ShownValue v;
  std::string t = stored;
  const std::string leads = LeadMarks(row);
  if (!t.empty() && leads.find(t[0]) != std::string::npos && strcasecmp(t.c_str(), "- - -") != 0) {
    v.lead = t.substr(0, 1);
    t.erase(0, 1);
  }
  const size_t blank = t.find(' ');
  if (blank != std::string::npos && blank > 0 && strcasecmp(t.c_str(), "- - -") != 0) {
    v.value = t.substr(0, blank);
    const size_t b = t.find_first_not_of(' ', blank);
    if (b != std::string::npos) {
      const size_t e = t.find(' ', b);
      v.mark = t.substr(b, e == std::string::npos ? std::string::npos : e - b);
    }
  } else {
    v.value = t;
  }
  return v;
}

std::string ShownSex(const std::string& s, int l) {
  if (l == 0 && s == "Male") return "男";
  if (l == 0 && s == "Female") return "女";
  if (l == 1 && s == "男") return "Male";
  if (l == 1 && s == "女") return "Female";
  return s;
}

std::string ShownBloodType(const std::string& s, bool isNull, int l) {
  if (isNull) return BloodModeText(0, l);
  if (l == 0 || l == 1)
    for (int c = 0; c < 3; ++c)
      if (s == BloodModeText(c, 0) || s == BloodModeText(c, 1)) return BloodModeText(c, l);
  return s;
}

std::string ShownGroup(const std::string& s, bool isNull, int l) {
  if (isNull) return ReferenceGroupText(0, l);
  if (l == 0 || l == 1)
    for (int k = 0; k < kReferenceGroupCount; ++k)
      if (s == ReferenceGroupText(k, 0) || s == ReferenceGroupText(k, 1)) return ReferenceGroupText(k, l);
  return s;
}

std::string AgeText(bool hasAge, int age, const std::string& u, int l) {
  if (!hasAge) return "";
  std::string t = std::to_string(age);
  if (u == "岁" || u == "Y" || u == "A" || u == "Р")
    t += PickText(l, " 岁", " years", " anos", " ans", "  років");
  else if (u == "月" || u == "M" || u == "М")
    t += PickText(l, " 个月", " months", " meses", " mois", " місяців");
  else if (u == "天" || u == "D" || u == "J" || u == "Д")
    t += PickText(l, " 天", " days", " dias", " jours", " днів");
  return t;
}

bool ViewAdjustEnabled(const std::string& wbcText, const std::string& unit) {
  return measurement::WbcHighEnoughToAdjust(static_cast<float>(std::atof(wbcText.c_str())), unit);
}

void WarningFlags(const std::string& warning, bool flags[6]) {
  for (int i = 0; i < 6; ++i) flags[i] = !warning.empty() && warning.find(kFlagCodes[i]) != std::string::npos;
}

ViewRow ReadViewRow(db::Recordset& rs, int l) {
  ViewRow r;
  for (int i = 0; i < 20; ++i) r.units[i] = kDefaultUnits[i];
  r.sampleNo = Text(rs, "SampleNo");
  r.testDate = Text(rs, "TestDate");
  r.testTime = Text(rs, "TestTime");
  r.dateTime = IsNullField(rs, "TestTime") ? "" : r.testDate + " " + r.testTime;
  r.name = Text(rs, "Name");
  r.sex = ShownSex(Text(rs, "Sex"), l);
  int age = 0;
  const bool hasAge = ReadField(rs, "Age", age);
  r.age = AgeText(hasAge, age, Text(rs, "AgeUnit"), l);
  const std::string blood = Text(rs, "BloodType");
  r.bloodType = ShownBloodType(blood, IsNullField(rs, "BloodType"), l);
  const std::string group = Text(rs, "ReferValue");
  r.referValue = ShownGroup(group, IsNullField(rs, "ReferValue"), l);
  r.referenceGroup = ReferenceGroupCodeOr(group, 0);
  r.medicalNo = Text(rs, "MedicalNo");
  r.bedNo = Text(rs, "BedNo");
  r.dept = Text(rs, "Dept");
  r.sender = Text(rs, "Sender");
  r.scrutator = Text(rs, "Scrutator");
  r.checker = Text(rs, "Checker");
  std::string unit;
  if (ReadField(rs, "WBCUnit", unit))
    for (int i = 0; i < 4; ++i) r.units[i] = unit;
  int16_t abnormal = 0;
  ReadField(rs, "Abnormal", abnormal);
  r.abnormal = abnormal;
  ReadField(rs, "OriginalWbc", r.originalWbc);
  const char* unitColumns[6] = {"RBCUnit", "HGBUnit", "MCHCUnit", "HCTUnit", "PLTUnit", "PCTUnit"};
  const int unitRows[6] = {7, 8, 12, 9, 15, 18};
  for (int k = 0; k < 6; ++k)
    if (ReadField(rs, unitColumns[k], unit)) r.units[unitRows[k]] = unit;
  std::string stored[20];
  for (int k = 0; k < 20; ++k) {
    const int row = kReadRows[k];
    stored[k] = Text(rs, kReadColumns[k]);
    r.values[row] = SplitShownValue(row, stored[k]);
  }
  r.keptForComputation = measurement::KeptForComputation(stored, r.testTime, Text(rs, measurement::kKeptInputsColumn));
  r.differentialEdited = r.values[1].lead == "e";
  r.adjustEnabled = ViewAdjustEnabled(r.values[0].value, r.units[0]);
  r.wbcAdjustWithAbnormal = r.adjustEnabled && r.abnormal != 0;
  r.warning = Text(rs, "Warning");
  WarningFlags(r.warning, r.flags);
  r.bloodMode = BloodTypeCodeOr(blood, 0);
  if (r.bloodMode > 2) r.bloodMode = 0;
  r.refText = Text(rs, "RefText");
  ReadField(rs, "WMARKER2", r.wbcMarkers[0]);
  ReadField(rs, "WMARKER3", r.wbcMarkers[1]);
  ReadField(rs, "PMARKER1", r.pltMarkers[0]);
  ReadField(rs, "PMARKER2", r.pltMarkers[1]);
  return r;
}

}  // namespace history
