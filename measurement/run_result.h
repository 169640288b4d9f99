#pragma once
// Result processing of one finished sample, in order: final histograms, the library call, the
// intake of values, the patient group and its ranges, marks and texts, the Person row, X-B QC
// and the raw test data. The screen shows what comes back and hands the stored result on.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/person_row.h"
#include "measurement/flagging.h"
#include "measurement/histograms.h"
#include "measurement/repeat_agreement.h"
#include "measurement/result_intake.h"
#include "measurement/result_save.h"
#include "measurement/raw_files.h"
#include "measurement/zentil_call.h"

class CADOConn;

namespace measurement {

struct RunInputs {
  CountInputs count;               // blood mode, count time, calibration, HGB readings
  CountHistograms counts[2];       // counts 1 and 2
  QuickValues quick;               // counts 1 and 2; after a third count also count 3 (set here)
  bool thirdCount = false;         // `histograms` then holds count 3
  std::string sampleNo;            // "%d" of the sample number
  std::string bloodModeText;
  std::string units[20];           // unit texts, screen order
  int language = 1;
  std::string folder;              // program folder for TD.dat and TDI.dat, ending in '/'
};

struct RunResult {
  ZentilStatus status = ZentilStatus::Computed;
  SampleValues values;
  bool stars[3] = {false, false, false};  // WBC, RBC, PLT: repeated counts still disagree
  std::string testDate, testTime;
  int groupIndex = 0;
  std::string referValue;
  LimitPairs normal, panic;
  std::string markTexts[20];       // screen order
  std::string shownTexts[20];      // value labels, screen order
  std::string storedTexts[20];     // table order
  FlagTexts flags;
  std::string refText;
  std::string rangeTexts[20];      // table order
  PersonRow row;
  // The patient columns of the sample's row, read once for the count: as found before the
  // result was stored, or as the count's insert left them.
  PersonPatient person;
  SaveStatus save = SaveStatus::Failed;
  std::string saveError;
  XbQcOutcome xb = XbQcOutcome::Off;
  TestDataWrite testData = TestDataWrite::Written;
  std::vector<std::string> logLines;  // written with WriteLog, stamped with date and time
  // What the histogram views show: the library's display curves (0-255 per channel) and the
  // first bin of each (WBC: first line minus 3, RBC and PLT: the lower line).
  uint8_t curves[3][256] = {};
  int firstBins[3] = {0, 0, 0};
  // The library computed the values: only then are they printed, sent or taken by X-B QC. A
  // result that was not computed is stored all the same, with every value "- - -" and the
  // count's inputs kept beside its raw record for a later computation.
  bool Storable() const { return status == ZentilStatus::Computed; }
  // The Person row was written: only then may the result be printed and sent.
  bool Stored() const { return save == SaveStatus::Inserted || save == SaveStatus::Updated; }
};

// The patient group of a sample: the Person row's ReferValue when it has one (its group, or 0
// for a text that names no group), else group 0 under its name in the language.
int ResolveSampleGroup(CADOConn& conn, const std::string& sampleNo, const std::string& testDate, int language,
                       std::string* referValue);
// The same from the row's patient columns already read.
int SampleGroupOf(const PersonPatient& person, int language, std::string* referValue);

// The processing in its three stages. RunAlgorithm makes the final histograms and calls the
// library (no store); LoadRunContext reads what the result needs of the store (the row's group,
// its limits) for the moment `now`; CompleteRunResult marks the values and builds the texts and
// the row (no store); StoreRunResult writes the log lines, the row, the X-B QC entry and the raw
// data.
struct RunContext {
  std::string testDate, testTime;
  PersonPatient person;
  int groupIndex = 0;
  std::string referValue;
  LimitPairs normal, panic;
};
std::unique_ptr<AlgorithmResult> RunAlgorithm(RunInputs& inputs, HistogramBuffers& histograms, RunResult& r);
// The library call on the final histograms and the intake of its values (RunAlgorithm's second
// half; also a later computation of a stored count).
std::unique_ptr<AlgorithmResult> ComputeFinalHistograms(const RunInputs& inputs, const HistogramBuffers& histograms,
                                                        RunResult& r);
RunContext LoadRunContext(CADOConn& conn, const std::string& sampleNo, const sys::LocalTime& now, int language);
// The same for a stored result of the given date and time.
RunContext LoadRunContext(CADOConn& conn, const std::string& sampleNo, const std::string& testDate,
                          const std::string& testTime, int language);
void CompleteRunResult(const RunInputs& inputs, const AlgorithmResult& result, const RunContext& context,
                       RunResult& r);
void StoreRunResult(CADOConn& conn, const RunInputs& inputs, const HistogramBuffers& histograms, XbQcState& xb,
                    RunResult& r);

// The result made ready to be shown, nothing written yet: the library call, the context read
// at this moment and the completion. `histograms` holds the last count on entry and the final
// histograms on exit; StoreRunResult with the same inputs and histograms then stores it.
RunResult PrepareRunResult(CADOConn& conn, RunInputs& inputs, HistogramBuffers& histograms);

// Runs the processing: PrepareRunResult, then StoreRunResult. A result that could not be
// computed (library or entry point missing) has every value invalid; its raw record and its row
// ("- - -" in every value column, the count's inputs kept) are stored as a computed one's are,
// so the result history can compute it later.
RunResult ProcessRunResult(CADOConn& conn, RunInputs& inputs, HistogramBuffers& histograms, XbQcState& xb);

// Hands a processed result to the LIS and to printing when their automatic switches are on.
// A result that was not computed, or whose row could not be written, goes to neither; the
// notice says why.
struct HandOffOutcome {
  bool sent = false, printed = false;
  std::string notice;
};
HandOffOutcome HandOffResult(const RunResult& r, bool printInstant, bool sendInstant, int language,
                             const ReportSnapshot& sample);
// The copy of a stored result (with the test screen's current sample and unit texts) that the
// LIS's automatic sending takes.
HandOffSnapshot MakeHandOffSnapshot(const RunResult& r);

// The row texts of the seven unit columns from the 20 unit texts (screen order).
void UnitColumnsOf(const std::string units[20], std::string out[7]);

// The age text for printing and sending: the number and the unit word of the AgeUnit code.
std::string AgeWithUnit(int age, const std::string& ageUnit, int language);

}  // namespace measurement
