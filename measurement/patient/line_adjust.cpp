#include "measurement/patient/line_adjust.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <strings.h>

#include "core/ado_conn.h"
#include "core/app_settings.h"
#include "core/value_format.h"
#include "core/write_log.h"
#include "measurement/result_globals.h"
#include "platform/sys/dynlib.h"
#include "core/person_row.h"

namespace measurement {
namespace {

bool Usable(float v) { return IsValidParamValue(v) && std::isfinite(v); }

float Round(float v, int displayIndex) {
  const int slot = DecimalSlotOfDisplayIndex(displayIndex);
  return RoundToDecimals(v, slot < 0 ? 0 : UnitDecimals[slot]);
}

std::string MarkOf(const AdjustContext& ctx, int i, float v) {
  return RangeMark(v, ctx.normal.pairs[2 * i], ctx.normal.pairs[2 * i + 1], ctx.panic.pairs[2 * i],
                   ctx.panic.pairs[2 * i + 1]);
}

std::string Fmt(float v) { return StrPrintf("%g", static_cast<double>(v)); }

// The marks and stored texts of the recomputed differential against the ranges of `ctx`.
void MarkDiff(LineAdjustState& s, const AdjustContext& ctx) {
  for (int k = 0; k < 6; ++k) {
    const int i = k + 1;
    const bool ok = s.diffValid[k];
    s.diffMarks[k] = ok ? MarkOf(ctx, i, s.diff[k]) : std::string();
    if (s.diffPlainNumbers && ok)
      s.diffStored[k] = "!" + s.diffShown[k] + (s.diffMarks[k].empty() ? "" : " " + s.diffMarks[k]);
    else
      s.diffStored[k] = StoredValueText(s.diff[k], i, ok, "!", s.diffMarks[k]);
  }
}

void MarkPlt(LineAdjustState& s, const AdjustContext& ctx) {
  for (int k = 0; k < 5; ++k) {
    const int i = 15 + k;
    const bool ok = s.pltValid[k];
    s.pltMarks[k] = ok ? MarkOf(ctx, i, s.plt[k]) : std::string();
    s.pltStored[k] = StoredValueText(s.plt[k], i, ok, "!", s.pltMarks[k]);
  }
}

}  // namespace

void RemarkAdjustedValues(LineAdjustState& s, const AdjustContext& ctx) {
  if (s.diffRecomputed) MarkDiff(s, ctx);
  if (s.pltRecomputed) MarkPlt(s, ctx);
}

float LineStep(int chart) {
  switch (chart) {
    case kChartWbc: return 385.0f / 256.0f;
    case kChartRbc: return 225.0f / 256.0f;
    case kChartPlt: return 28.0f / 128.0f;
  }
  return 0.0f;
}

LineBounds LineMoveBounds(int chart, int line, const float m[8]) {
  LineBounds b;
  if (chart == kChartWbc && line == 1) b = {true, m[0] + 20.0f, m[2] - 20.0f, true};
  else if (chart == kChartWbc && line == 2) b = {true, m[1] + 20.0f, m[3] - 20.0f, true};
  else if (chart == kChartRbc && line == 0) b = {true, 25.0f, 70.0f, false};
  else if (chart == kChartRbc && line == 1) b = {true, 110.0f, 250.0f, false};
  else if (chart == kChartPlt && line == 0) b = {true, 2.0f, 8.0f, true};
  else if (chart == kChartPlt && line == 1) b = {true, 10.0f, 30.0f, true};
  return b;
}

float StepLine(float position, int direction, float step, float lower, float upper) {
  if (!std::isfinite(step) || std::isnan(lower) || std::isnan(upper) || lower > upper) return position;
  const double v = static_cast<double>(position) + (direction == 0 ? -step : step);
  return static_cast<float>(std::clamp(v, static_cast<double>(lower), static_cast<double>(upper)));
}

int WbcLineChannel(float position) { return static_cast<int>(position * 256.0f / 400.0f + 0.5f - 1.0f); }
int PltLineChannel(float position) { return static_cast<int>(position * 128.0f / 30.0f + 0.5f - 1.0f); }

bool WbcHighEnoughToAdjust(float wbc, const std::string& unit) {
  if (!Usable(wbc)) return false;
  if (strcasecmp(unit.c_str(), "10^9/L") == 0 || strcasecmp(unit.c_str(), "10^3/uL") == 0) return wbc > 0.2f;
  return wbc > 2.0f;
}

bool KeyMoveAllowed(int chart, const std::string& wbcText, const std::string& pltText) {
  if (chart == kChartWbc) return std::atof(wbcText.c_str()) >= 0.1;
  if (chart == kChartPlt) return std::atoi(pltText.c_str()) > 9;
  return true;
}

void StartLineAdjust(LineAdjustState& s, const SampleValues& v) {
  s = LineAdjustState{};
  s.computedWbc = v.originalWbc;
  s.computedWbcLines[0] = s.movedWbcLines[0] = v.markers[1];
  s.computedWbcLines[1] = s.movedWbcLines[1] = v.markers[2];
  s.movedPltLines[0] = v.markers[6];
  s.movedPltLines[1] = v.markers[7];
  s.manualDiffAllowed = v.manualDiffAllowed;
}

MoveOutcome MoveLine(LineAdjustState& s, const AdjustContext& ctx, int chart, int line, int direction,
                     float* chartLine) {
  if (chart == kChartNone || line < 0 || chartLine == nullptr) return MoveOutcome::NoLine;
  const LineBounds b = LineMoveBounds(chart, line, ctx.markers);
  if (!b.movable) return MoveOutcome::NoLine;
  *chartLine = StepLine(*chartLine, direction, LineStep(chart), b.lower, b.upper);
  if (!b.recompute || !ctx.adjustAllowed) return MoveOutcome::Moved;
  if (!WbcHighEnoughToAdjust(ctx.currentWbc, ctx.units[0])) return MoveOutcome::Refused;
  // The screen's copy is the chart's line: at a bound both stay put, so the recomputed values
  // always belong to the line the operator sees.
  ZentilStatus st;
  if (chart == kChartWbc) {
    s.movedWbcLines[line - 1] = *chartLine;
    WbcLineOptions options;
    options.plainNumbers = true;
    st = ApplyWbcLines(s, ctx, options);
  } else {
    s.movedPltLines[line] = *chartLine;
    st = ApplyPltLines(s, ctx);
  }
  return st == ZentilStatus::Computed ? MoveOutcome::Recomputed : MoveOutcome::LibraryFailed;
}

ZentilStatus ApplyWbcLines(LineAdjustState& s, const AdjustContext& ctx, const WbcLineOptions& options) {
  if (options.unfit) *options.unfit = false;
  AlgorithmInput input;
  AlgorithmResult result;
  std::memset(&input, 0, sizeof input);
  std::memset(&result, 0, sizeof result);
  std::memcpy(result.WbcHistogram, ctx.histograms.wbc, sizeof ctx.histograms.wbc);
  result.WBC = s.computedWbc;
  const uint16_t top = static_cast<uint16_t>(WbcLineChannel(ctx.markers[3]));
  const uint16_t first = static_cast<uint16_t>(options.firstLineChannel);
  result.WbcLines[0] = first;
  result.WbcLines[1] = static_cast<uint16_t>(WbcLineChannel(s.computedWbcLines[0]));
  result.WbcLines[2] = static_cast<uint16_t>(WbcLineChannel(s.computedWbcLines[1]));
  result.WbcLines[3] = top;
  const uint16_t lines[4] = {first, static_cast<uint16_t>(WbcLineChannel(s.movedWbcLines[0])),
                             static_cast<uint16_t>(WbcLineChannel(s.movedWbcLines[1])), top};
  const ZentilStatus st = CallAdjustWbcHistogram(result, input, lines);
  // Without the library nothing was recomputed: the shown values stay, never zeros.
  if (st == ZentilStatus::LibraryMissing) s.libraryMessage = kZentilLoadFailedText;
  if (st != ZentilStatus::Computed) return st;

  float wbc = result.WBC;
  float v[6] = {result.LymCount, result.MidCount, result.GraCount,
                result.LymPercent, result.MidPercent, result.GraPercent};
  const std::string& unit = ctx.units[0];
  if (Usable(wbc) && (unit == "10^2/uL" || unit == "10^2/mm^3")) {
    wbc *= 10.0f;
    for (int k = 0; k < 3; ++k)
      if (Usable(v[k])) v[k] *= 10.0f;
  }
  for (int k = 0; k < 6; ++k)
    if (Usable(v[k])) v[k] = Round(v[k], k + 1);
  // A split whose lymphocytes and mid cells already make up the whole count leaves nothing for
  // the granulocytes: the values on the screen stay.
  if (options.fitCheck && Usable(wbc) && (v[0] + v[1] >= wbc || v[3] + v[4] > 100.0f)) {
    if (options.unfit) *options.unfit = true;
    return st;
  }
  if (Usable(wbc)) {
    if (Usable(v[0]) && Usable(v[1])) v[2] = Round(wbc - v[0] - v[1], 3);
    if (Usable(v[3]) && Usable(v[4])) v[5] = 100.0f - v[3] - v[4];
  }
  s.diffPlainNumbers = options.plainNumbers;
  for (int k = 0; k < 6; ++k) {
    const int i = k + 1;
    const bool ok = Usable(v[k]);
    s.diff[k] = ok ? v[k] : kInvalidParamValue;
    s.diffValid[k] = ok;
    s.diffShown[k] = s.diffPlainNumbers && ok ? Fmt(s.diff[k]) : ShownValueText(s.diff[k], i, ok);
  }
  MarkDiff(s, ctx);
  s.diffRecomputed = true;
  return st;
}

ZentilStatus ApplyPltLines(LineAdjustState& s, const AdjustContext& ctx) {
  AlgorithmInput input;
  FillAlgorithmInput(input, ctx.count, ctx.histograms);
  input.UserPltLower = static_cast<uint16_t>(PltLineChannel(s.movedPltLines[0]));
  input.UserPltUpper = static_cast<uint16_t>(PltLineChannel(s.movedPltLines[1]));
  AlgorithmResult result;
  const ZentilStatus st = CallAlgorithmMain(result, input);
  if (st != ZentilStatus::Computed) return st;

  // PLT, MPV, PDW, PCT, P-LCR at display positions 15 to 19.
  float v[5] = {result.PLT, result.MPV, result.PDW, result.PCT, result.PLCR};
  if (Usable(v[0]) && (ctx.units[15] == "10^4/uL" || ctx.units[15] == "10^4/mm^3")) v[0] /= 10.0f;
  if (Usable(v[3]) && ctx.units[18] == "mL/L") v[3] *= 10.0f;
  for (int k = 0; k < 5; ++k) {
    const int i = 15 + k;
    const bool ok = Usable(v[k]);
    s.plt[k] = ok ? Round(v[k], i) : kInvalidParamValue;
    s.pltValid[k] = ok;
    s.pltShown[k] = ShownValueText(s.plt[k], i, ok);
  }
  MarkPlt(s, ctx);
  s.pltRecomputed = true;
  return st;
}

std::string LineSavedText(int chart, int language) {
  if (chart == kChartPlt)
    return PickText(language, "PLT 数据已保存!", "PLT Data saved!", "PLT Datos guardados!",
                    "PLT Donnees sauvegardees!", "PLT Дані збережено!");
  return PickText(language, "WBC 数据已保存!", "WBC Data saved!", "WBC Datos guardados!", "WBC Donnees sauvegardees!",
                  "WBC Дані збережено!");
}

std::string LineSaveFailedText(int chart, int language) {
  const std::string head = chart == kChartPlt ? "PLT " : "WBC ";
  return head + PickText(language, "数据保存失败!", "Data could not be saved!", "No se pudieron guardar los datos!",
                         "Les donnees n'ont pas pu etre sauvegardees!", "Не вдалося зберегти дані!");
}

LineSave SaveAdjustedLines(CADOConn& conn, const LineAdjustState& s, const AdjustContext& ctx, int chart,
                           const std::string& sampleNo, const std::string& testDate, bool updateResultGlobals) {
  LineSave out;
  if (!ctx.adjustAllowed || (chart != kChartWbc && chart != kChartPlt)) return out;
  if (chart == kChartWbc && !s.diffRecomputed) return out;
  if (chart == kChartPlt && !s.pltRecomputed) return out;
  const std::string where = " where " + PersonKeyWhere(sampleNo, testDate);
  if (chart == kChartWbc) {
    static const char* const cols[6] = {"LYMA", "MONA", "GRAA", "LYMP", "MONP", "GRAP"};
    out.sql = "update Person set ";
    for (int k = 0; k < 6; ++k) out.sql += std::string(k ? "," : "") + cols[k] + "='" + s.diffStored[k] + "'";
    out.sql += ",WMARKER2='" + Fmt(s.movedWbcLines[0]) + "',WMARKER3='" + Fmt(s.movedWbcLines[1]) + "'" + where;
  } else {
    static const char* const cols[5] = {"PLT", "MPV", "PDW", "PCT", "PLCR"};
    out.sql = "update Person set ";
    for (int k = 0; k < 5; ++k) out.sql += std::string(k ? "," : "") + cols[k] + "='" + s.pltStored[k] + "'";
    out.sql += ",PMARKER1='" + Fmt(s.movedPltLines[0]) + "',PMARKER2='" + Fmt(s.movedPltLines[1]) + "'" + where;
  }
  if (conn.Execute(out.sql) != 1) {
    out.outcome = LineSaveOutcome::Failed;
    out.message = LineSaveFailedText(chart, ctx.language);
    return out;
  }
  out.outcome = LineSaveOutcome::Saved;
  out.message = LineSavedText(chart, ctx.language);
  if (!updateResultGlobals) return out;
  if (chart == kChartWbc) {
    MarkerPositions[1] = s.movedWbcLines[0];
    MarkerPositions[2] = s.movedWbcLines[1];
    for (int k = 0; k < 6; ++k) {
      CurrentResult[k + 1] = s.diff[k];
      ParameterMarks[k + 1] = s.diffValid[k] ? 0 : 1;
      MarkTexts[k + 1] = s.diffMarks[k];
    }
  } else {
    MarkerPositions[6] = s.movedPltLines[0];
    MarkerPositions[7] = s.movedPltLines[1];
    for (int k = 0; k < 5; ++k) {
      CurrentResult[15 + k] = s.plt[k];
      ParameterMarks[15 + k] = s.pltValid[k] ? 0 : 1;
      MarkTexts[15 + k] = s.pltMarks[k];
    }
  }
  return out;
}

std::string ManualDiffFailedText(int language) {
  return PickText(language, "手工分类数据保存失败!", "The entered differential could not be saved!",
                  "No se pudo guardar el diferencial introducido!",
                  "Le differentiel saisi n'a pas pu etre sauvegarde!", "Не вдалося зберегти введену формулу!");
}

void DropPendingDifferential(LineAdjustState& s, float line1, float line2) {
  s.movedWbcLines[0] = line1;
  s.movedWbcLines[1] = line2;
  s.diffRecomputed = false;
  for (int k = 0; k < 6; ++k) {
    s.diffShown[k].clear();
    s.diffMarks[k].clear();
    s.diffStored[k].clear();
    s.diffValid[k] = false;
  }
}

ManualDiff ApplyManualDifferential(CADOConn& conn, const AdjustContext& ctx, float lymP, float midP, float graP,
                                   const std::string& sampleNo, const std::string& testDate,
                                   const ManualDiffOptions& options) {
  ManualDiff out;
  const float wbc = options.useWbc ? options.wbc : CurrentResult[0];
  const bool wbcReportable = options.useWbc || ParameterMarks[0] != 1;
  if (!Usable(wbc) || !wbcReportable || !Usable(lymP) || !Usable(midP) || !Usable(graP)) return out;
  float* v = out.values;
  v[3] = lymP;
  v[4] = midP;
  v[5] = graP;
  v[0] = Round(wbc * lymP / 100.0f, 1);
  v[1] = Round(wbc * midP / 100.0f, 2);
  v[2] = wbc - v[0] - v[1];
  v[3] = Round(v[3], 4);
  v[4] = Round(v[4], 5);
  v[5] = 100.0f - v[3] - v[4];
  out.applied = true;
  static const char* const cols[6] = {"LYMA", "MONA", "GRAA", "LYMP", "MONP", "GRAP"};
  out.sql = "update Person set ";
  for (int k = 0; k < 6; ++k) {
    const int i = k + 1;
    out.marks[k] = MarkOf(ctx, i, v[k]);
    out.shown[k] = ShownValueText(v[k], i, true);
    out.stored[k] = StoredValueText(v[k], i, true, k < 3 ? "e" : "E", out.marks[k]);
    out.sql += std::string(k ? "," : "") + cols[k] + "='" + out.stored[k] + "'";
  }
  if (options.resetWbcMarkers) out.sql += ",WMARKER2='0',WMARKER3='0'";
  out.sql += " where " + PersonKeyWhere(sampleNo, testDate);
  if (conn.Execute(out.sql) != 1) {
    out.message = ManualDiffFailedText(ctx.language);
    return out;
  }
  out.saved = true;
  if (!options.updateResultGlobals) return out;
  for (int k = 0; k < 6; ++k) {
    CurrentResult[k + 1] = v[k];
    ParameterMarks[k + 1] = 0;
    MarkTexts[k + 1] = out.marks[k];
  }
  return out;
}

}  // namespace measurement
