#pragma once
// From the counts of one control sample to one stored L-J run: whether the first two counts
// agree, the run's histograms, its 20 values as the QC file keeps them, and the storing with
// the trim of old days and the copy into the X-R file of the same number.
#include <array>
#include <string>

#include "algorithm/ZentilRecords.h"
#include "core/ado_conn.h"
#include "measurement/histograms.h"
#include "measurement/repeat_agreement.h"
#include "measurement/zentil_call.h"
#include "qc/lj_tables.h"

namespace qc {

// Counts 1 and 2 of a control: the rule the calibrator counts follow too (control_agreement.h).
measurement::DisagreementMarks CompareControlCounts(const measurement::QuickValues& q);

// The run's histograms. Two counts: the mean of counts 1 and 2. Three counts (`buffers` holds
// count 3 on entry): per channel the pair of counts whose quick values lie closest; pairs tied
// for closest are each averaged and their means averaged again.
void CombineControlCounts(const measurement::CountHistograms& c1, const measurement::CountHistograms& c2,
                          const measurement::QuickValues& q, bool thirdCount, measurement::HistogramBuffers& buffers);

// The display units of the QC screens (display order): the defaults, then ParasUnit.
void ReadQcUnits(CADOConn& conn, std::array<std::string, 20>* units);

// A computed run in display order: the value in its unit, -1 invalid, -2 not under QC.
struct ControlValues {
  std::array<float, 20> values{};
};
// The run's values from the library's result. `chosen` in display order.
ControlValues TakeControlValues(const AlgorithmResult& result, const std::array<std::string, 20>& units,
                                const std::array<int, 20>& chosen);

// The cell text of a value in the run table: "" not under QC, "-----" invalid, else "%g".
std::string RunCellText(float value);

// The run a control result is stored as (L-J and X-R tables alike): its date and time, the values
// in store order and the seven units from the display-order `units`.
LjRun ControlRun(const std::string& date, const std::string& time, const ControlValues& v,
                 const std::array<std::string, 20>& units);

// What the file's side of a stored run needs.
struct StoreContext {
  int fileNo = 0;
  std::string ljBatch, xrBatch;
  int xrGroups = 0, xrPerGroup = 0;
  int xrStored = 0;  // rows of the X-R file, raised for each run of a matching batch
};
enum class XrFeed { NotSameBatch, Stored, FileFull, AlreadyOver, Failed };

// Stores the run (display-order values, with its date, time and the seven units) into the file,
// removing the file's oldest day first while the file already holds 500 runs or more (counted
// in the data store, so each trim removes only what it must), and copies it into the X-R file
// of the same number when the batches match without regard to case and that file has room.
// All of it in one transaction: Failed (nothing stored, the X-R count unchanged) when the store
// could not be written.
XrFeed StoreControlRun(CADOConn& conn, StoreContext& ctx, const std::string& date, const std::string& time,
                       const ControlValues& v, const std::array<std::string, 20>& units);

inline constexpr int kLjRunLimit = 500;

}  // namespace qc
