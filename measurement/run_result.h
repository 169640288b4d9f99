#pragma once
// Result processing of one finished sample, in order: final histograms, the library call, the
// intake of values, the patient group and its ranges, marks and texts, the Person row, X-B QC
// and the raw test data. The screen shows what comes back and hands the stored result on.
#include <cstdint>
#include <string>
#include <vector>

#include "measurement/flagging.h"
#include "measurement/histograms.h"
#include "measurement/repeat_agreement.h"
#include "measurement/result_intake.h"
#include "measurement/result_save.h"
#include "measurement/test_data_files.h"
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
  SaveStatus save = SaveStatus::Failed;
  std::string saveError;
  XbQcOutcome xb = XbQcOutcome::Off;
  TestDataWrite testData = TestDataWrite::Written;
  std::vector<std::string> logLines;  // written with WriteLog, stamped with date and time
  // What the histogram views show: the library's display curves (0-255 per channel) and the
  // first bin of each (WBC: first line minus 3, RBC and PLT: the lower line).
  uint8_t curves[3][256] = {};
  int firstBins[3] = {0, 0, 0};
  // The library computed the values, so they may be stored.
  bool Storable() const { return status == ZentilStatus::Computed; }
  // The Person row was written: only then may the result be printed and sent.
  bool Stored() const { return save == SaveStatus::Inserted || save == SaveStatus::Updated; }
};

// The patient group of a sample: the Person row's ReferValue when it has one (its group, or 0
// for a text that names no group), else group 0 under its name in the language.
int ResolveSampleGroup(CADOConn& conn, const std::string& sampleNo, const std::string& testDate, int language,
                       std::string* referValue);

// Runs the processing. `histograms` holds the last count on entry and the final histograms on
// exit. A result that could not be computed (library or entry point missing) has every value
// invalid and is not stored anywhere: an earlier result of the sample number stays as it was.
RunResult ProcessRunResult(CADOConn& conn, RunInputs& inputs, HistogramBuffers& histograms, XbQcState& xb);

// Hands a processed result to the LIS and to printing when their automatic switches are on.
// A result that was not stored (not computed, or the row could not be written) goes to
// neither; the notice says why.
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

// The reagent shortage line (diluent below 30 mL, lyse below 5 mL, cleanser below 10 mL), empty
// when nothing is short.
std::string ReagentShortageText(float diluent, float lyse, float cleanser, int language);

// The age text for printing and sending: the number and the unit word of the AgeUnit code.
std::string AgeWithUnit(int age, const std::string& ageUnit, int language);

}  // namespace measurement

namespace measurement {

// The start-up blank count: computed without HGB, with whole-blood constants. High when WBC is
// above 0.2, RBC above 0.03, PLT above 10 or HCT above 0.5 (before unit conversion), or any of
// them invalid; an uncomputed blank counts as high.
struct BlankCheck {
  ZentilStatus status = ZentilStatus::Computed;
  SampleValues values;  // HGB set to 0.0, converted into the units
  bool high = false;
};
BlankCheck CheckStartupBlank(const CountInputs& inputs, const HistogramBuffers& blank, const std::string* units);
// "本底值偏大", "High blank value" ... and the Chinese log line of a high blank.
std::string HighBlankText(int language);
inline constexpr const char* kHighBlankLogLine = "开机本底值大。请重测,如果依然超出范围，请清洗计数池或检测相关部件";

}  // namespace measurement
