#pragma once
// The single-result view's work on a stored result's histograms: run the algorithm library
// again on the raw record kept for the row (to draw the curves and place the library's lines),
// re-split the WBC differential at moved lines, recompute the PLT values at moved PLT lines,
// and the Adjust choices. Built on the test screen's line adjustment, with the stored row's
// own first WBC line, fit check and units.
#include <string>

#include "history/view_row.h"
#include "measurement/flagging.h"
#include "measurement/histograms.h"
#include "measurement/patient/line_adjust.h"

class CADOConn;

namespace history {

struct ViewCompute {
  bool haveRaw = false;      // the row has a raw record
  bool computed = false;     // the library ran on it: recomputation is possible
  measurement::HistogramBuffers histograms;
  unsigned char curves[3][256] = {};
  int firstBins[3] = {};
  // Marker positions shown on the charts (fL): WBC 0..3, RBC 4..5, PLT 6..7.
  float markers[8] = {15, 107, 147, 400, 25, 250, 2, 30};
  float algoWbcLines[3] = {};      // the library's WBC lines 0..2 (fL)
  float appliedWbcMarkers[2] = {}; // WBC lines 1 and 2 as last applied
  measurement::LineAdjustState adjust;  // moved lines and recomputed texts
  measurement::AdjustContext ctx;
  bool abnormal = false;
  bool differentialEdited = false;
  float originalWbc = 0.0f;
  std::string sampleNo, testDate;
  std::string shownWbc;            // the WBC value text shown
};

enum class LoadOutcome { NoRecord, Computed, LibraryFailed };

// Loads the row's raw record from `folder` and runs the library on it (blood mode, count time
// and calibration factors of the row's blood mode; no HGB). A library that cannot be loaded
// leaves nothing computed: empty curves and the default lines, and no recomputation later.
// `adjustAllowed` is the system's switch for recomputing and saving.
LoadOutcome LoadStoredHistograms(ViewCompute& vc, const ViewRow& row, CADOConn& conn, const std::string& folder,
                                 uint8_t wbcCountTenths, const measurement::LimitPairs& normal,
                                 const measurement::LimitPairs& panic, bool adjustAllowed, int language);

enum class RecomputeOutcome { Recomputed, Unfit, NotComputed, LibraryFailed, Invalidated };

// Re-splits the differential at the moved WBC lines (or, from the Adjust action, at the
// library's own lines; an Abnormal row then gets "- - -" without the library).
RecomputeOutcome ReadjustWbcDifferential(ViewCompute& vc, bool fromAdjust);
// Recomputes PLT, MPV, PDW, PCT and P-LCR at the moved PLT lines.
RecomputeOutcome RecomputePlt(ViewCompute& vc);

// A marker key: moves line `line` of `chart` one step left (direction 0) or right (1) inside
// its bounds (from the positions of the last load or save) and recomputes when allowed. The
// new position is returned in *position and is the one the state holds.
RecomputeOutcome MoveViewLine(ViewCompute& vc, int chart, int line, int direction, float* position);

// Drops the moved WBC lines and the differential recomputed at them that Enter would store:
// after Adjust - Cancel and after a differential entered by hand the WBC lines are those of the
// stored values (markers[1..2]), and Enter has nothing to store until a line moves again.
void DropPendingDifferential(ViewCompute& vc);

// The lead mark of differential row k (0..5) for the stored values the view shows again after
// Adjust - Cancel: "!" for values split at lines off the library's, "e"/"E" for a differential
// entered by hand, none for the library's own. An Abnormal row is "!" unless entered by hand or
// stored invalid (`storedInvalid`: "- - -").
std::string StoredDifferentialLead(const ViewCompute& vc, int k, bool storedInvalid);

// The six stored texts and markers the Adjust action writes (choices 1 Recover and 2 OK) and
// whether anything is to be written.
struct AdjustWrite {
  bool write = false;
  std::string texts[6];
  std::string marker2 = "0", marker3 = "0";
};
AdjustWrite AdjustChoiceTexts(ViewCompute& vc, int choice, const std::string shownValues[6],
                              const std::string shownMarks[6], const std::string& lymLabel);

// "update Person set LYMA=...,WMARKER3='..' where SampleNo='..' and TestDate='..'".
std::string DifferentialUpdateSql(const std::string texts[6], const std::string& marker2, const std::string& marker3,
                                  const std::string& sampleNo, const std::string& testDate);

}  // namespace history
