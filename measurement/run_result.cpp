#include "measurement/run_result.h"

#include <cstdio>
#include <cstring>
#include <memory>

#include "core/ado_conn.h"
#include "core/app_settings.h"
#include "core/field_read.h"
#include "core/param_order.h"
#include "core/value_format.h"
#include "core/write_log.h"
#include "measurement/kept_inputs.h"
#include "measurement/patient/patient_input.h"
#include "measurement/screen/sample_globals.h"
#include "platform/sys/clock.h"
#include "core/person_row.h"

namespace measurement {

int ResolveSampleGroup(CADOConn& conn, const std::string& sampleNo, const std::string& testDate, int language,
                       std::string* referValue) {
  return SampleGroupOf(ReadPersonPatient(conn, sampleNo, testDate), language, referValue);
}

int SampleGroupOf(const PersonPatient& person, int language, std::string* referValue) {
  if (person.found && person.ReferValue) {
    if (referValue) *referValue = *person.ReferValue;
    // A text that names no group is flagged as General, never as the group of another sample.
    return GroupIndexFromText(*person.ReferValue);
  }
  if (referValue) *referValue = GroupName(0, language);
  return 0;
}

void UnitColumnsOf(const std::string units[20], std::string out[7]) {
  static const int kIndex[7] = {0, 7, 8, 12, 9, 15, 18};  // WBC RBC HGB MCHC HCT PLT PCT
  for (int i = 0; i < 7; ++i) out[i] = units[kIndex[i]];
}

std::unique_ptr<AlgorithmResult> RunAlgorithm(RunInputs& in, HistogramBuffers& h, RunResult& r) {
  // 1. Final histograms.
  if (in.thirdCount) {
    const CountValues third = ComputeCountValues(in.count, h);
    in.quick.values[CountWbc][2] = third.wbc;
    in.quick.values[CountRbc][2] = third.rbc;
    in.quick.values[CountPlt][2] = third.plt;
    CombineThreeCounts(in.counts[0], in.counts[1], in.quick, h, r.stars);
  } else {
    MeanOfTwoCounts(in.counts[0], in.counts[1], h);
  }

  // 2-4. The library call and the intake.
  return ComputeFinalHistograms(in, h, r);
}

std::unique_ptr<AlgorithmResult> ComputeFinalHistograms(const RunInputs& in, const HistogramBuffers& h, RunResult& r) {
  auto input = std::make_unique<AlgorithmInput>();
  auto result = std::make_unique<AlgorithmResult>();
  FillAlgorithmInput(*input, in.count, h);
  r.status = CallAlgorithmMain(*result, *input);
  r.values = TakeResult(*result, r.status, in.units);
  return result;
}

RunContext LoadRunContext(CADOConn& conn, const std::string& sampleNo, const sys::LocalTime& now, int language) {
  return LoadRunContext(conn, sampleNo, StoredDateText(now), StoredTimeText(now), language);
}

RunContext LoadRunContext(CADOConn& conn, const std::string& sampleNo, const std::string& testDate,
                          const std::string& testTime, int language) {
  RunContext c;
  c.testDate = testDate;
  c.testTime = testTime;
  c.person = ReadPersonPatient(conn, sampleNo, c.testDate);
  c.groupIndex = SampleGroupOf(c.person, language, &c.referValue);
  c.normal = LoadNormalLimits(conn, c.groupIndex);
  c.panic = LoadPathologyLimits(conn, c.groupIndex);
  return c;
}

void CompleteRunResult(const RunInputs& in, const AlgorithmResult& result, const RunContext& ctx, RunResult& r) {
  r.testDate = ctx.testDate;
  r.testTime = ctx.testTime;
  r.person = ctx.person;
  r.groupIndex = ctx.groupIndex;
  r.referValue = ctx.referValue;
  r.normal = ctx.normal;
  r.panic = ctx.panic;

  // Ranges and marks.
  MarkValues(r.values.values, r.values.marks, r.normal, r.panic, r.markTexts);
  if (r.status == ZentilStatus::Computed) {
    r.flags = BuildFlagTexts(result);
    for (int i = 0; i < 256; ++i) {
      r.curves[0][i] = result.WbcCurve[i];
      r.curves[1][i] = result.RbcCurve[i];
      r.curves[2][i] = result.PltCurve[i];
    }
    r.firstBins[0] = static_cast<int>(result.WbcLines[0]) - 3;
    r.firstBins[1] = result.RbcLower;
    r.firstBins[2] = result.PltLower;
  }

  // Value texts: the indicator of disagreeing counts stands before the value.
  static const int kStarChannelOf[20] = {0, -1, -1, -1, -1, -1, -1, 1, -1, -1, -1, -1, -1, -1, -1, 2, -1, -1, -1, -1};
  for (int i = 0; i < 20; ++i) {
    const bool reportable = r.values.marks[i] == 0;
    const int ch = kStarChannelOf[i];
    const std::string indicator = ch >= 0 && r.stars[ch] ? kDisagreementIndicator : "";
    r.shownTexts[i] = ShownValueText(r.values.values[i], i, reportable);
    r.storedTexts[i] = StoredValueText(r.values.values[i], i, reportable, indicator, r.markTexts[i]);
  }
  ReorderParamTextsForStore(r.storedTexts);
  BuildReferenceTexts(r.normal, &r.refText, r.rangeTexts);

  if (!r.flags.chineseDescription.empty()) r.logLines.push_back(FlagLogLine(in.sampleNo, r.flags.chineseDescription));
  if (r.stars[0] || r.stars[1] || r.stars[2]) r.logLines.push_back(ThirdCountLogLine(in.sampleNo));

  // The Person row.
  PersonRow& row = r.row;
  row.sampleNo = in.sampleNo;
  row.testDate = r.testDate;
  row.testTime = r.testTime;
  row.bloodType = in.bloodModeText;
  row.referValue = r.referValue;
  // A row found by the read keeps the group it had then; one that was not found gets the group
  // its insert would have written.
  row.referValueAsRead = r.person.found ? r.person.ReferValue : std::optional<std::string>(r.referValue);
  for (int i = 0; i < 20; ++i) row.values[i] = r.storedTexts[i];
  row.warning = r.flags.warning;
  UnitColumnsOf(in.units, row.units);
  row.refText = r.refText;
  row.originalWbc = r.values.originalWbc;
  row.markers[0] = r.values.markers[1];
  row.markers[1] = r.values.markers[2];
  row.markers[2] = r.values.markers[6];
  row.markers[3] = r.values.markers[7];
}

void StoreRunResult(CADOConn& conn, const RunInputs& in, const HistogramBuffers& h, XbQcState& xb, RunResult& r) {
  const std::string stamp = r.testDate + " " + r.testTime;
  for (const std::string& line : r.logLines) WriteLog(line, stamp);
  // A count the library could not compute is kept all the same: its raw record, and a row whose
  // values are all "- - -" and which holds the count's other inputs, so that it can be computed
  // from the result history once the library is back. Nothing of it is a number to print or send.
  if (!r.Storable()) {
    r.row.keptInputs = KeptInputsText(KeepInputs(in.count, r.stars, r.testTime));
    // No WBC and no lines were computed: the columns keep what "none" reads as.
    r.row.originalWbc = 0.0f;
    for (float& m : r.row.markers) m = 0.0f;
  }
  // The raw record goes first (its data, then its index entry), so a stored row always has its
  // histograms: a power cut after it leaves at most a record without a row, which the next
  // count of the number overwrites. A raw record that cannot be written stores no row: the
  // result would be one that cannot be re-adjusted or reprinted with its histograms.
  std::string error;
  r.testData = WriteTestDataRecord(in.folder, TestDataKey(r.testDate, in.sampleNo), h, &error);
  if (r.testData != TestDataWrite::Written) {
    // Named after the file that failed: the index or the data file.
    r.saveError = (r.testData == TestDataWrite::IndexFailed ? "TDI.dat: " : "TD.dat: ") + error;
    WriteLog(r.saveError, stamp);
    r.save = SaveStatus::Failed;
    r.xb = XbQcOutcome::Failed;
    NoticeHandOff(NotSavedText(in.language));
    return;
  }

  r.save = SavePersonRow(conn, r.row, &r.saveError);
  if (r.save == SaveStatus::Inserted) r.person = InsertedPersonPatient(r.row.referValue);

  // X-B QC takes only complete results that were stored. A row that could not be written is
  // said at once, whether or not the result would have been printed or sent.
  if (r.save == SaveStatus::Failed) {
    r.xb = XbQcOutcome::Failed;
    WriteLog("Person: " + r.saveError, stamp);
    NoticeHandOff(NotSavedText(in.language));
  } else if (!r.Storable()) {
    r.xb = XbQcOutcome::Incomplete;
  } else {
    r.xb = AddXbQcRow(conn, xb, r.values.values, r.values.incomplete, r.testDate, r.testTime, r.row.units);
  }
}

RunResult PrepareRunResult(CADOConn& conn, RunInputs& in, HistogramBuffers& h) {
  RunResult r;
  const std::unique_ptr<AlgorithmResult> result = RunAlgorithm(in, h, r);
  const RunContext ctx = LoadRunContext(conn, in.sampleNo, sys::Clock::Now(), in.language);
  CompleteRunResult(in, *result, ctx, r);
  return r;
}

RunResult ProcessRunResult(CADOConn& conn, RunInputs& in, HistogramBuffers& h, XbQcState& xb) {
  RunResult r = PrepareRunResult(conn, in, h);
  StoreRunResult(conn, in, h, xb, r);
  return r;
}

HandOffSnapshot MakeHandOffSnapshot(const RunResult& r) {
  HandOffSnapshot s;
  s.sampleNo = CurrentSample.SampleNo.empty() ? r.row.sampleNo : CurrentSample.SampleNo;
  s.testDate = r.testDate;
  s.testTime = r.testTime;
  s.name = CurrentSample.Name;
  s.sex = CurrentSample.Sex;
  s.age = CurrentSample.Age;
  s.sampleType = CurrentSample.BloodType.empty() ? r.row.bloodType : CurrentSample.BloodType;
  s.referGroup = r.referValue;
  s.medicalNo = CurrentSample.MedicalNo;
  s.bedNo = CurrentSample.BedNo;
  s.dept = CurrentSample.Dept;
  s.sender = CurrentSample.Sender;
  s.scrutator = CurrentSample.Scrutator;
  s.checker = CurrentSample.Checker;
  for (int i = 0; i < 20; ++i) {
    s.values[i] = r.values.marks[i] != 0 || !IsValidParamValue(r.values.values[i]) ? std::string()
                                                                                   : FormatValue(r.values.values[i], i);
    s.units[i] = UnitTexts[i];
    s.flags[i] = r.markTexts[i];
    s.ranges[i] = r.rangeTexts[i];
  }
  ReorderParamTextsForStore(s.values);
  ReorderParamTextsForStore(s.units);
  ReorderParamTextsForStore(s.flags);
  std::memcpy(s.curves, r.curves, sizeof s.curves);
  for (int i = 0; i < 8; ++i) s.lines[i] = r.values.markers[i];
  s.warning = r.flags.warning;
  return s;
}

HandOffOutcome HandOffResult(const RunResult& r, bool printInstant, bool sendInstant, int language,
                             const ReportSnapshot& sample) {
  HandOffOutcome o;
  if (!printInstant && !sendInstant) return o;
  if (!r.Stored() || !r.Storable()) {
    // Said once for both: the screen must not suggest that an unsaved or uncomputed result went
    // out. A lost row is the greater news: a kept count whose row failed is said to be unsaved.
    const std::string text =
        r.Storable() || r.save == SaveStatus::Failed ? NotSavedText(language) : NotComputedText(language);
    o.notice = text;
    WriteLog(text);
    NoticeHandOff(text);
    return o;
  }
  if (sendInstant) {
    const HandOffSnapshot snapshot = MakeHandOffSnapshot(r);
    o.sent = HandOff(HandOffKind::Send, true, language, sample, &snapshot);
  }
  if (printInstant) o.printed = HandOff(HandOffKind::Print, true, language, sample);
  return o;
}

std::string AgeWithUnit(int age, const std::string& unit, int language) {
  const int field = AgeFieldOfUnit(unit);
  return std::to_string(age) + (field >= 0 ? AgeSuffix(field, language, true) : "");
}

}  // namespace measurement
