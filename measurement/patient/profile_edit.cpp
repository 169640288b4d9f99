#include "measurement/patient/profile_edit.h"

#include "core/ado_conn.h"
#include "core/app_settings.h"
#include "core/field_read.h"
#include "core/param_order.h"
#include "measurement/flagging.h"
#include "measurement/patient/patient_input.h"
#include "measurement/patient/reflag.h"
#include "measurement/result_globals.h"
#include "platform/ui/controls/controls.h"
#include "core/person_row.h"

namespace measurement {
namespace {

bool Run(CADOConn& conn, ProfileApplied& a, const std::string& sql) {
  a.sql.push_back(sql);
  const bool ok = conn.Execute(sql) == 1;
  if (ok) a.rowWritten = true;
  else a.failed = true;
  return ok;
}

}  // namespace

bool IsLongName(const std::string& name) { return ui::Utf8Length(name) > 10; }

void ResultIndicators(const bool stars[3], std::string out[20]) {
  for (int i = 0; i < 20; ++i) out[i].clear();
  const int at[3] = {0, 7, 15};
  for (int k = 0; k < 3; ++k)
    if (stars[k]) out[at[k]] = kDisagreementIndicator;
}

void RemarkShownResult(CADOConn& conn, int groupIndex, const std::string indicators[20], std::string texts[20],
                       std::string* refText) {
  const LimitPairs normal = LoadNormalLimits(conn, groupIndex);
  const LimitPairs panic = LoadPathologyLimits(conn, groupIndex);
  MarkValues(CurrentResult, ParameterMarks, normal, panic, MarkTexts);
  for (int i = 0; i < 20; ++i)
    texts[i] = StoredValueText(CurrentResult[i], i, ParameterMarks[i] != 1, indicators[i], MarkTexts[i]);
  ReorderParamTextsForStore(texts);
  BuildReferenceTexts(normal, refText, nullptr);
}

ProfileApplied ApplyProfileOutcome(CADOConn& conn, ProfileScreenState& s, const ProfileOutcome& o,
                                   const std::string& testDate, int language) {
  ProfileApplied a;
  const int r = o.result;
  if (r == 1) {
    s.sampleNoText = o.callerSampleNo;
    s.nextSampleNo = static_cast<int>(SampleNoValue(o.callerSampleNo));
    s.sampleNumberEntered = true;
    s.hasResult = false;
    if (o.retestConfirmed) s.retestRequested = true;
    a.clearResultDisplay = true;
    a.numberChosen = true;
  }
  if (r == 1 || r == 2) {
    s.shownSampleNo = s.sampleNoText;
    s.groupIndex = o.patientGroupIndex;
    s.header.name = o.name;
    s.header.sex = o.sex;
    s.header.age = HeaderAgeText(o.years, o.months, o.days, language);
    s.header.referValue = o.groupText;
    s.header.medicalNo = o.medicalNo;
    s.header.bedNo = o.bedNo;
    s.header.dept = o.dept;
    s.header.sender = o.applicant;
    s.header.scrutator = o.inspector;
    s.header.checker = o.verifier;
  }
  if (r == 2) {
    PatientColumns p;
    p.sampleNo = s.sampleNoText;
    p.name = o.name;
    p.sex = o.sex;
    AgeToStore(o.years, o.months, o.days, language, &p.age, &p.ageUnit);
    p.referValue = o.groupText;
    p.medicalNo = o.medicalNo;
    p.bedNo = o.bedNo;
    p.dept = o.dept;
    p.sender = o.applicant;
    p.scrutator = o.inspector;
    p.checker = o.verifier;
    // The marks and range text follow the group only when the row took the group.
    const bool saved = Run(conn, a, PatientUpdateSql(p, testDate));
    if (saved && s.hasResult && o.regrouped) {
      std::string texts[20], refText;
      RemarkShownResult(conn, s.groupIndex, s.indicators, texts, &refText);
      a.remarked = true;
      Run(conn, a, ValueTextsUpdateSql(texts, s.sampleNoText, testDate, ",RefText='" + SqlSafeText(refText) + "'"));
    }
    if (s.retestRequested) a.clearResultDisplay = true;
  }
  if (r == 0) {
    if (o.summaryValid) {
      s.header.name = o.summaryName;
      s.header.sex = o.summarySex;
      s.header.age = o.summaryAge;
      s.header.referValue = o.summaryGroup;
      s.groupIndex = GroupIndexFromText(o.summaryGroup);
    }
    const std::string number = s.shownSampleNo;
    RecordsetPtr& rs = conn.OpenRecordset(SelectPersonSql(number, testDate));
    const bool exists = conn.RecordsetOpen() && HasRows(*rs);
    bool hasWbc = false;
    if (exists) {
      db::Recordset& row = *rs;
      if (!o.summaryValid) {
        s.header.name = " ";
        s.header.sex = " ";
        ReadField(row, "Name", s.header.name);
        ReadField(row, "Sex", s.header.sex);
        int64_t age = 0;
        if (ReadField(row, "Age", age)) {
          std::string unit;
          ReadField(row, "AgeUnit", unit);
          s.header.age = StoredAgeText(static_cast<int>(age & 0xFF), unit, language);
        }
        s.header.referValue.clear();
        ReadField(row, "ReferValue", s.header.referValue);
        s.groupIndex = GroupIndexFromText(s.header.referValue);
      }
      hasWbc = !row.Field("WBC").IsNull();
    }
    conn.CloseRecordset();
    if (exists && hasWbc) {
      if (s.hasResult) {
        std::string texts[20], refText;
        RemarkShownResult(conn, s.groupIndex, s.indicators, texts, &refText);
        a.remarked = true;
        if (s.retestRequested)
          Run(conn, a,
              UpdatePersonSql("RefText='" + SqlSafeText(refText) + "'", number, testDate, "Update"));
        else
          Run(conn, a,
              ValueTextsUpdateSql(texts, number, testDate, ",RefText='" + SqlSafeText(refText) + "'", "Update"));
      } else {
        // The screen shows no result of this sample (another sample's values, or none): its
        // stored texts are re-marked instead, so no other sample's values reach this row.
        const ReflagOutcome f =
            ReflagStoredResult(conn, number, testDate, s.header.referValue, s.groupIndex);
        if (f.done) a.rowWritten = true;
        else a.failed = true;
      }
    }
    if (s.retestRequested) a.clearResultDisplay = true;
  }
  s.longName = IsLongName(s.header.name);
  return a;
}

}  // namespace measurement
