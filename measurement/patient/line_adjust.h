#pragma once
// Moving the divider lines of the last result on the test screen: which line may move how far,
// the step of each chart, the recomputation of the differential (AdjustWbcHistogram) and of the
// PLT values (AlgorithmMain with the operator's PLT lines), the save of the adjusted values with
// Enter, and the differential entered by hand.
//
// The test screen keeps one LineAdjustState per shown result (StartLineAdjust after the
// intake), calls MoveLine for the arrow buttons and keys, shows what the state holds, and calls
// SaveAdjustedLines on Enter and ApplyManualDifferential after the percentage entry.
#include <string>

#include "measurement/flagging.h"
#include "measurement/histograms.h"
#include "measurement/result_intake.h"
#include "measurement/zentil_call.h"

class CADOConn;

namespace measurement {

enum AdjustChart { kChartNone = -1, kChartWbc = 0, kChartRbc = 1, kChartPlt = 2 };

// The spacing of a chart's drawn points, the step of one press (fL).
float LineStep(int chart);

// Where line `line` of `chart` may go (fL) with the marker positions of the result, and whether
// a move recomputes. `movable` false for a line index the chart does not move.
struct LineBounds {
  bool movable = false;
  float lower = 0.0f, upper = 0.0f;
  bool recompute = false;
};
LineBounds LineMoveBounds(int chart, int line, const float markers[8]);

// A line position stepped left or right and kept inside [lower, upper], as the chart keeps its
// own line; bounds that cross leave it where it is.
float StepLine(float position, int direction, float step, float lower, float upper);

// Line position (fL) to histogram channel.
int WbcLineChannel(float position);
int PltLineChannel(float position);

// Line moves are refused for a low WBC: at WBC <= 0.2 with the unit "10^9/L" or "10^3/uL" (the
// same scale; any case), at WBC <= 2.0 with any other unit. The test screen and the result
// history both decide with this.
bool WbcHighEnoughToAdjust(float wbc, const std::string& wbcUnit);
// The extra conditions of the arrow keys: the shown WBC text at least 0.1 for a WBC line, the
// shown PLT text (read as an integer) above 9 for a PLT line.
bool KeyMoveAllowed(int chart, const std::string& wbcText, const std::string& pltText);

// What the adjustment of one result works with.
struct AdjustContext {
  bool adjustAllowed = false;          // the system setting that allows recomputing and saving
  std::string units[20];               // unit texts, screen order
  LimitPairs normal, panic;            // ranges of the sample's group, screen order
  HistogramBuffers histograms;         // the final histograms of the sample
  CountInputs count;                   // for the PLT recomputation
  float markers[8] = {};               // marker positions of the result (fL)
  float currentWbc = 0.0f;             // WBC of the current result, configured unit
  int language = 1;
};

// The adjustment state of the shown result.
struct LineAdjustState {
  float computedWbc = 0.0f;            // WBC as the library computed it
  float computedWbcLines[2] = {};      // WBC markers 1 and 2 of the result
  float movedWbcLines[2] = {};
  float movedPltLines[2] = {};
  // LYM#, MID#, GRA#, LYM%, MID%, GRA% after the last recomputation.
  float diff[6] = {};
  bool diffValid[6] = {};
  std::string diffShown[6], diffMarks[6], diffStored[6];
  bool diffPlainNumbers = false;       // shown and stored as plain numbers (see WbcLineOptions)
  bool diffRecomputed = false;
  // PLT, MPV, PDW, PCT, P-LCR after the last recomputation.
  float plt[5] = {};
  bool pltValid[5] = {};
  std::string pltShown[5], pltMarks[5], pltStored[5];
  bool pltRecomputed = false;
  bool manualDiffAllowed = false;
  // Set when a WBC recomputation found no library: the screen shows it (error icon) and clears
  // it. A PLT recomputation reports the same through the library call's message hook.
  std::string libraryMessage;
};
// The state right after the intake of a result.
void StartLineAdjust(LineAdjustState& s, const SampleValues& v);
// Drops the WBC lines moved since the last save and the differential recomputed at them, so
// that Enter has nothing to store until a line moves again: after a differential entered by
// hand, the entered values stand and the lines are those of the stored row (line1, line2).
void DropPendingDifferential(LineAdjustState& s, float line1, float line2);

enum class MoveOutcome {
  NoLine,        // no chart or no line selected, or a line the chart does not move
  Moved,         // moved on the chart only
  Recomputed,    // moved and the values recomputed
  Refused,       // the WBC is too low to adjust; the chart line moved, the values did not
  LibraryFailed, // the library could not be used; the values stay as they were
};
// One press: moves line `line` of `chart` by one step to the left (direction 0) or right (1).
// `chartLine` is the chart's own copy of the line (fL); it is moved inside the bounds and the
// state's copy follows it.
MoveOutcome MoveLine(LineAdjustState& s, const AdjustContext& ctx, int chart, int line, int direction,
                     float* chartLine);

// How the WBC recomputation is set up. The test screen keeps the first line at channel 8 and
// takes whatever the library returns; the history's view hands the library's own first line
// and refuses a differential that does not fit the WBC (LYM# + MID# reaching the WBC, or LYM% +
// MID% above 100): then `unfit` is set and the state keeps its values.
struct WbcLineOptions {
  int firstLineChannel = 8;
  bool fitCheck = false;
  bool* unfit = nullptr;
  // The test screen writes the six values as plain numbers ("%g", no fixed decimals); the
  // history's view with the decimals of each parameter.
  bool plainNumbers = false;
};

// Recomputations (normally through MoveLine). They return the library status; a library that
// could not be used leaves the values as they were.
ZentilStatus ApplyWbcLines(LineAdjustState& s, const AdjustContext& ctx, const WbcLineOptions& options = {});
ZentilStatus ApplyPltLines(LineAdjustState& s, const AdjustContext& ctx);

// Marks the recomputed values not yet saved again against the ranges of `ctx` (the sample's
// group changed): what Enter then saves carries the marks of the current group.
void RemarkAdjustedValues(LineAdjustState& s, const AdjustContext& ctx);
// Enter with a line of `chart` selected.
enum class LineSaveOutcome { NotSaved, Saved, Failed };
struct LineSave {
  LineSaveOutcome outcome = LineSaveOutcome::NotSaved;
  std::string sql;
  std::string message;  // for the operator ("WBC Data saved!", or why nothing was saved)
};
// Writes the adjusted values and line positions into the row of (sampleNo, testDate). On success
// the test screen's result globals (CurrentResult, ParameterMarks, MarkTexts, MarkerPositions)
// take them unless `updateResultGlobals` is false (a stored result shown elsewhere); after a
// failed write nothing is taken and the message says the data was not saved.
LineSave SaveAdjustedLines(CADOConn& conn, const LineAdjustState& s, const AdjustContext& ctx, int chart,
                           const std::string& sampleNo, const std::string& testDate, bool updateResultGlobals = true);
// The test screen's form: its sample numbers are whole numbers.
inline LineSave SaveAdjustedLines(CADOConn& conn, const LineAdjustState& s, const AdjustContext& ctx, int chart,
                                  int sampleNo, const std::string& testDate) {
  return SaveAdjustedLines(conn, s, ctx, chart, std::to_string(sampleNo), testDate);
}

// The operator texts.
std::string LineSavedText(int chart, int language);
std::string LineSaveFailedText(int chart, int language);

// The differential entered by hand (LYM%, MID%, GRA%): recomputes the six values from the WBC of
// CurrentResult, marks them, builds their stored texts ("e" before the counts, "E" before the
// percentages) and writes them into the row. On success CurrentResult, ParameterMarks and
// MarkTexts take them.
struct ManualDiff {
  bool applied = false;     // the values were taken (WBC valid)
  bool saved = false;
  float values[6] = {};
  std::string shown[6], marks[6], stored[6];
  std::string sql;
  std::string message;      // set when the write failed
};
// Where the differential entered by hand comes from and goes to. The test screen takes the WBC
// of CurrentResult and updates the result globals; a stored result gives its own WBC
// (`useWbc`), leaves the globals alone, and resets its stored WBC lines to "0" (the library's).
struct ManualDiffOptions {
  bool useWbc = false;
  float wbc = 0.0f;
  bool updateResultGlobals = true;
  bool resetWbcMarkers = false;
};
ManualDiff ApplyManualDifferential(CADOConn& conn, const AdjustContext& ctx, float lymPercent, float midPercent,
                                   float graPercent, const std::string& sampleNo, const std::string& testDate,
                                   const ManualDiffOptions& options = {});
inline ManualDiff ApplyManualDifferential(CADOConn& conn, const AdjustContext& ctx, float lymPercent, float midPercent,
                                          float graPercent, int sampleNo, const std::string& testDate) {
  return ApplyManualDifferential(conn, ctx, lymPercent, midPercent, graPercent, std::to_string(sampleNo), testDate);
}
std::string ManualDiffFailedText(int language);

}  // namespace measurement
