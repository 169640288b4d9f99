#include "measurement/screen/sample_report.h"

#include "core/person_row.h"
#include <cstring>

#include "core/ado_conn.h"
#include "core/app_settings.h"
#include "core/field_read.h"
#include "measurement/run_result.h"
#include "printing/report_fill.h"

namespace measurement {

bool ReadSampleTexts(CADOConn& conn, const std::string& sampleNo, const std::string& testDate, int language,
                     CurrentSampleRecord& rec, int* group) {
  for (std::string* f : {&rec.Name, &rec.Sex, &rec.Age, &rec.BloodType, &rec.MedicalNo, &rec.BedNo, &rec.Dept,
                         &rec.Sender, &rec.Scrutator, &rec.Checker})
    f->clear();
  rec.SampleNo = sampleNo;
  rec.TestDate = testDate;
  RecordsetPtr& rs = conn.OpenRecordset(SelectPersonSql(sampleNo, testDate));
  const bool found = conn.RecordsetOpen() && HasRows(*rs);
  std::string refer;
  if (found) {
    ReadField(*rs, "Name", rec.Name);
    ReadField(*rs, "Sex", rec.Sex);
    uint8_t age = 0;
    std::string unit;
    ReadField(*rs, "AgeUnit", unit);
    if (ReadField(*rs, "Age", age) && age > 0) rec.Age = AgeWithUnit(age, unit, language);
    ReadField(*rs, "BloodType", rec.BloodType);
    ReadField(*rs, "MedicalNo", rec.MedicalNo);
    ReadField(*rs, "BedNo", rec.BedNo);
    ReadField(*rs, "Dept", rec.Dept);
    ReadField(*rs, "Sender", rec.Sender);
    ReadField(*rs, "Scrutator", rec.Scrutator);
    ReadField(*rs, "Checker", rec.Checker);
    ReadField(*rs, "ReferValue", refer);
  }
  conn.CloseRecordset();
  if (!refer.empty()) {
    for (int k = 0; k < kGroupCount; ++k)
      for (int l = 0; l < 5; ++l)
        if (refer == GroupName(k, l)) *group = k;
    rec.ReferValue = refer;
  } else {
    rec.ReferValue = GroupName(*group, language);
  }
  return found;
}

ReportSnapshot SampleReportSnapshot(const CurrentSampleRecord& rec, const float values[20], const uint8_t marks[20],
                                    const std::string flags[20], const std::string units[20],
                                    const LimitPairs& normal, const HistogramBuffers& histograms,
                                    const std::string& warning, const float markers[8], int bloodMode,
                                    bool countMismatch) {
  ReportSnapshot s;
  s.sampleNo = rec.SampleNo;
  s.testDate = rec.TestDate;
  s.testTime = rec.TestTime;
  s.countMismatch = countMismatch;
  s.name = rec.Name;
  s.sex = rec.Sex;
  s.age = rec.Age;
  s.bloodTypeText = rec.BloodType;
  s.referenceText = rec.ReferValue;
  s.medicalNo = rec.MedicalNo;
  s.bedNo = rec.BedNo;
  s.dept = rec.Dept;
  s.sender = rec.Sender;
  s.scrutator = rec.Scrutator;
  s.checker = rec.Checker;
  s.bloodMode = bloodMode;
  for (int i = 0; i < 20; ++i) {
    s.valueTexts[i] = ReportValueText(values[i], marks[i], i);
    s.flagTexts[i] = marks[i] ? std::string() : flags[i];
    s.unitTexts[i] = units[i];
    s.rangeTexts[i] = ReportRangeText(normal.pairs[2 * i], normal.pairs[2 * i + 1], i);
  }
  s.warning = warning;
  s.histograms.present = true;
  std::memcpy(s.histograms.wbc, histograms.wbc, sizeof s.histograms.wbc);
  std::memcpy(s.histograms.rbc, histograms.rbc, sizeof s.histograms.rbc);
  std::memcpy(s.histograms.plt, histograms.plt, sizeof s.histograms.plt);
  // WMARKER2, WMARKER3 (WBC lines 2 and 3) and PMARKER1, PMARKER2 (the PLT lines).
  s.histograms.markers[0] = markers[1];
  s.histograms.markers[1] = markers[2];
  s.histograms.markers[2] = markers[6];
  s.histograms.markers[3] = markers[7];
  return s;
}

}  // namespace measurement
