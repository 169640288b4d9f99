#include "history/view_compute.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <strings.h>

#include "core/app_settings.h"
#include "core/value_format.h"
#include "measurement/count_settings.h"
#include "measurement/raw_files.h"
#include "measurement/zentil_call.h"

namespace history {
namespace {

constexpr float kWbcWidth = 1.5625f, kRbcWidth = 0.9765625f, kPltWidth = 0.234375f;
const uint16_t kOneReading = 1;

bool IsInvalidText(const std::string& s) { return strcasecmp(s.c_str(), "- - -") == 0; }

}  // namespace

LoadOutcome LoadStoredHistograms(ViewCompute& vc, const ViewRow& row, CADOConn& conn, const std::string& folder,
                                 uint8_t wbcCountTenths, const measurement::LimitPairs& normal,
                                 const measurement::LimitPairs& panic, bool adjustAllowed, int language) {
  using namespace measurement;
  vc = ViewCompute{};
  vc.sampleNo = row.sampleNo;
  vc.testDate = row.testDate;
  vc.shownWbc = row.values[0].value;
  vc.abnormal = row.abnormal != 0;
  vc.differentialEdited = row.differentialEdited;
  vc.originalWbc = row.originalWbc;
  AdjustContext& c = vc.ctx;
  c.adjustAllowed = adjustAllowed;
  for (int i = 0; i < 20; ++i) c.units[i] = row.units[i];
  c.normal = normal;
  c.panic = panic;
  c.language = language;
  c.currentWbc = static_cast<float>(std::atof(row.values[0].value.c_str()));
  c.count.bloodMode = row.bloodMode;
  c.count.wbcTimeTenths = wbcCountTenths;
  c.count.hgbBlank = &kOneReading;
  c.count.hgbSample = &kOneReading;
  LoadCalibrationFactors(conn, row.bloodMode, c.count.calibration);

  LoadOutcome outcome = LoadOutcome::NoRecord;
  vc.haveRaw = ReadTestDataRecord(folder, TestDataKey(row.testDate, row.sampleNo), &vc.histograms);
  if (vc.haveRaw) {
    AlgorithmInput input;
    FillAlgorithmInput(input, c.count, vc.histograms);
    AlgorithmResult result;
    const ZentilStatus st = CallAlgorithmMain(result, input);
    if (st == ZentilStatus::Computed) {
      vc.computed = true;
      outcome = LoadOutcome::Computed;
      std::memcpy(vc.curves[0], result.WbcCurve, 256);
      std::memcpy(vc.curves[1], result.RbcCurve, 256);
      std::memcpy(vc.curves[2], result.PltCurve, 128);
      vc.firstBins[0] = static_cast<int>(result.WbcLines[0]) - 3;
      vc.firstBins[1] = result.RbcLower;
      vc.firstBins[2] = result.PltLower;
      vc.markers[0] = 15.0f;
      for (int i = 0; i < 3; ++i) vc.algoWbcLines[i] = (result.WbcLines[i] + 1) * kWbcWidth;
      vc.markers[3] = (result.WbcLines[3] + 1) * kWbcWidth;
      vc.markers[4] = 25.0f;
      vc.markers[5] = (result.RbcUpper + 1) * kRbcWidth;
      // A row saved without PLT lines shows the library's.
      vc.markers[6] = row.pltMarkers[0] > 0 ? row.pltMarkers[0] : (result.PltLower + 1) * kPltWidth;
      vc.markers[7] = row.pltMarkers[1] > 0 ? row.pltMarkers[1] : (result.PltUpper + 1) * kPltWidth;
    } else {
      outcome = LoadOutcome::LibraryFailed;
    }
  }
  if (vc.computed && row.wbcMarkers[0] > 0) {
    vc.markers[1] = row.wbcMarkers[0];
    vc.markers[2] = row.wbcMarkers[1];
  } else if (vc.computed) {
    vc.markers[1] = vc.algoWbcLines[1];
    vc.markers[2] = vc.algoWbcLines[2];
  }
  vc.appliedWbcMarkers[0] = vc.markers[1];
  vc.appliedWbcMarkers[1] = vc.markers[2];
  std::copy(vc.markers, vc.markers + 8, c.markers);
  LineAdjustState& s = vc.adjust;
  s.computedWbcLines[0] = vc.algoWbcLines[1];
  s.computedWbcLines[1] = vc.algoWbcLines[2];
  s.movedWbcLines[0] = vc.markers[1];
  s.movedWbcLines[1] = vc.markers[2];
  s.movedPltLines[0] = vc.markers[6];
  s.movedPltLines[1] = vc.markers[7];
  c.histograms = vc.histograms;
  return outcome;
}

RecomputeOutcome ReadjustWbcDifferential(ViewCompute& vc, bool fromAdjust) {
  using namespace measurement;
  if (!vc.computed) return RecomputeOutcome::NotComputed;
  if (vc.originalWbc < 0.1f) {
    float w = static_cast<float>(std::atof(vc.shownWbc.c_str()));
    if (vc.ctx.units[0] == "10^2/uL" || vc.ctx.units[0] == "10^2/mm^3") w /= 10.0f;
    vc.originalWbc = w;
  }
  LineAdjustState& s = vc.adjust;
  s.computedWbc = vc.originalWbc;
  if (fromAdjust) {
    s.movedWbcLines[0] = vc.algoWbcLines[1];
    s.movedWbcLines[1] = vc.algoWbcLines[2];
    if (vc.abnormal) {
      for (int k = 0; k < 6; ++k) {
        s.diffShown[k] = s.diffStored[k] = "- - -";
        s.diffMarks[k].clear();
        s.diffValid[k] = false;
      }
      s.diffRecomputed = true;
      return RecomputeOutcome::Invalidated;
    }
  }
  bool unfit = false;
  WbcLineOptions o;
  o.firstLineChannel = WbcLineChannel(vc.algoWbcLines[0]);
  o.fitCheck = true;
  o.unfit = &unfit;
  const ZentilStatus st = ApplyWbcLines(s, vc.ctx, o);
  if (st != ZentilStatus::Computed) return RecomputeOutcome::LibraryFailed;
  return unfit ? RecomputeOutcome::Unfit : RecomputeOutcome::Recomputed;
}

RecomputeOutcome RecomputePlt(ViewCompute& vc) {
  if (!vc.computed) return RecomputeOutcome::NotComputed;
  return measurement::ApplyPltLines(vc.adjust, vc.ctx) == measurement::ZentilStatus::Computed
             ? RecomputeOutcome::Recomputed
             : RecomputeOutcome::LibraryFailed;
}

RecomputeOutcome MoveViewLine(ViewCompute& vc, int chart, int line, int direction, float* position) {
  using namespace measurement;
  const LineBounds b = LineMoveBounds(chart, line, vc.ctx.markers);
  if (!b.movable || position == nullptr) return RecomputeOutcome::NotComputed;
  *position = StepLine(*position, direction, LineStep(chart), b.lower, b.upper);
  if (chart == kChartWbc) vc.adjust.movedWbcLines[line - 1] = *position;
  else if (chart == kChartPlt) vc.adjust.movedPltLines[line] = *position;
  if (!b.recompute || !vc.ctx.adjustAllowed) return RecomputeOutcome::NotComputed;
  // The WBC decides for both charts: a count this low is not split again.
  if (!WbcHighEnoughToAdjust(vc.ctx.currentWbc, vc.ctx.units[0])) return RecomputeOutcome::NotComputed;
  return chart == kChartWbc ? ReadjustWbcDifferential(vc, false) : RecomputePlt(vc);
}

void DropPendingDifferential(ViewCompute& vc) {
  measurement::DropPendingDifferential(vc.adjust, vc.markers[1], vc.markers[2]);
}

std::string StoredDifferentialLead(const ViewCompute& vc, int k, bool storedInvalid) {
  const char* edited = k < 3 ? "e" : "E";
  if (vc.abnormal) {
    if (storedInvalid) return "";
    return vc.differentialEdited ? edited : "!";
  }
  const bool onLibrary = std::fabs(vc.appliedWbcMarkers[0] - vc.algoWbcLines[1]) <= 0.5f &&
                         std::fabs(vc.appliedWbcMarkers[1] - vc.algoWbcLines[2]) <= 0.5f;
  if (!onLibrary) return "!";
  return vc.differentialEdited ? edited : "";
}

std::string DifferentialUpdateSql(const std::string t[6], const std::string& m2, const std::string& m3,
                                  const std::string& sampleNo, const std::string& testDate) {
  return "update Person set LYMA='" + t[0] + "',MONA='" + t[1] + "',GRAA='" + t[2] + "',LYMP='" + t[3] + "',MONP='" +
         t[4] + "',GRAP='" + t[5] + "',WMARKER2='" + m2 + "',WMARKER3='" + m3 + "' where SampleNo='" +
         SqlSafeText(sampleNo) + "' and TestDate='" + SqlSafeText(testDate) + "'";
}

AdjustWrite AdjustChoiceTexts(ViewCompute& vc, int choice, const std::string shown[6], const std::string marks[6],
                              const std::string& lymLabel) {
  AdjustWrite w;
  const float* m = vc.markers;
  const float* applied = vc.appliedWbcMarkers;
  const float* lib = vc.algoWbcLines;
  if (choice == 1) {
    if (!vc.abnormal && std::fabs(m[1] - lib[1]) < 0.1f && std::fabs(m[2] - lib[2]) < 0.1f) return w;
    if (vc.abnormal && IsInvalidText(lymLabel)) return w;
    vc.markers[1] = vc.appliedWbcMarkers[0] = lib[1];
    vc.markers[2] = vc.appliedWbcMarkers[1] = lib[2];
    std::copy(vc.markers, vc.markers + 8, vc.ctx.markers);
    const RecomputeOutcome o = ReadjustWbcDifferential(vc, true);
    if (o != RecomputeOutcome::Recomputed && o != RecomputeOutcome::Invalidated) return w;
    for (int k = 0; k < 6; ++k) {
      w.texts[k] = vc.abnormal ? "- - -" : vc.adjust.diffShown[k];
      if (!vc.abnormal && !vc.adjust.diffMarks[k].empty()) w.texts[k] += " " + vc.adjust.diffMarks[k];
    }
  } else if (choice == 2) {
    const bool moved = std::fabs(vc.adjust.movedWbcLines[0] - applied[0]) >= 0.1f ||
                       std::fabs(vc.adjust.movedWbcLines[1] - applied[1]) >= 0.1f;
    if (moved) {
      vc.markers[1] = vc.appliedWbcMarkers[0] = vc.adjust.movedWbcLines[0];
      vc.markers[2] = vc.appliedWbcMarkers[1] = vc.adjust.movedWbcLines[1];
      std::copy(vc.markers, vc.markers + 8, vc.ctx.markers);
    } else if (!(vc.abnormal && !shown[0].empty() && !IsInvalidText(lymLabel))) {
      return w;
    }
    const bool offLibrary = std::fabs(vc.markers[1] - lib[1]) > 0.5f || std::fabs(vc.markers[2] - lib[2]) > 0.5f;
    const bool bang = offLibrary || vc.abnormal;
    for (int k = 0; k < 6; ++k) {
      w.texts[k] = (bang ? "!" : "") + shown[k];
      if (!marks[k].empty()) w.texts[k] += " " + marks[k];
    }
    if (offLibrary) {
      w.marker2 = StrPrintf("%g", static_cast<double>(vc.markers[1]));
      w.marker3 = StrPrintf("%g", static_cast<double>(vc.markers[2]));
    }
  } else {
    return w;
  }
  vc.differentialEdited = false;
  w.write = true;
  return w;
}

}  // namespace history
