// Divider-line moves on the test screen: bounds and steps, the recomputed differential and PLT
// values against the algorithm library, invalid values, the save with Enter and the
// differential entered by hand.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <memory>

#include "algorithm/Zentil.h"
#include "core/ado_conn.h"
#include "core/value_format.h"
#include "measurement/patient/line_adjust.h"
#include "measurement/result_globals.h"
#include "patient_folder.h"
#include "tools/boardsim/blood_profile.h"

using namespace measurement;

namespace {

const std::string kStandardUnits[20] = {"10^9/L", "10^9/L", "10^9/L", "10^9/L", "%",  "%",      "%",
                                        "10^12/L", "g/L",   "%",      "fL",     "pg", "g/L",    "fL",
                                        "%",      "10^9/L", "fL",     "fL",     "%",  "%"};

HistogramBuffers CountOf(boardsim::Profile p) {
  const boardsim::CountData c = boardsim::GenerateCount(boardsim::ProfileData(p), 5.0f, false, 1, false);
  HistogramBuffers h;
  for (size_t i = 0; i < kWbcChannels; ++i) h.wbc[i] = c.wbc[i];
  for (size_t i = 0; i < kRbcChannels; ++i) h.rbc[i] = c.rbc[i];
  for (size_t i = 0; i < kPltChannels; ++i) h.plt[i] = c.plt[i];
  return h;
}

}  // namespace

TEST(LineMoveRules, BoundsStepsAndChannels) {
  const float m[8] = {15, 60, 110, 300, 25, 200, 2, 24};
  const struct {
    int chart, line;
    bool movable;
    float lower, upper;
    bool recompute;
  } cases[] = {
      {kChartWbc, 0, false, 0, 0, false}, {kChartWbc, 1, true, 35, 90, true}, {kChartWbc, 2, true, 80, 280, true},
      {kChartWbc, 3, false, 0, 0, false}, {kChartRbc, 0, true, 25, 70, false}, {kChartRbc, 1, true, 110, 250, false},
      {kChartPlt, 0, true, 2, 8, true},   {kChartPlt, 1, true, 10, 30, true},  {kChartPlt, 2, false, 0, 0, false},
      {kChartNone, 0, false, 0, 0, false},
  };
  for (const auto& c : cases) {
    const LineBounds b = LineMoveBounds(c.chart, c.line, m);
    EXPECT_EQ(b.movable, c.movable) << c.chart << "/" << c.line;
    if (!c.movable) continue;
    EXPECT_FLOAT_EQ(b.lower, c.lower);
    EXPECT_FLOAT_EQ(b.upper, c.upper);
    EXPECT_EQ(b.recompute, c.recompute);
  }
  EXPECT_FLOAT_EQ(LineStep(kChartWbc), 1.50390625f);
  EXPECT_FLOAT_EQ(LineStep(kChartRbc), 0.87890625f);
  EXPECT_FLOAT_EQ(LineStep(kChartPlt), 0.21875f);
  EXPECT_EQ(WbcLineChannel(107.8f), 68);
  EXPECT_EQ(WbcLineChannel(400.0f), 255);
  EXPECT_EQ(PltLineChannel(30.0f), 127);
  EXPECT_EQ(PltLineChannel(2.0f), 8);
  // Stepping stays inside the bounds; crossed bounds leave the line alone.
  EXPECT_FLOAT_EQ(StepLine(89.0f, 1, 1.5f, 35, 90), 90.0f);
  EXPECT_FLOAT_EQ(StepLine(36.0f, 0, 1.5f, 35, 90), 35.0f);
  EXPECT_FLOAT_EQ(StepLine(50.0f, 1, 1.5f, 35, 90), 51.5f);
  EXPECT_FLOAT_EQ(StepLine(50.0f, 1, 1.5f, 60, 40), 50.0f);
}

TEST(LineMoveRules, LowWbcRefusesAndKeysNeedShownValues) {
  const struct {
    float wbc;
    const char* unit;
    bool allowed;
  } cases[] = {
      {1.5f, "10^9/L", true},  {1.5f, "10^9/l", true},  {0.2f, "10^9/L", false}, {0.21f, "10^9/L", true},
      // 10^3/uL is the scale of 10^9/L: the same limit.
      {1.5f, "10^3/uL", true},  {0.2f, "10^3/uL", false}, {0.21f, "10^3/ul", true},
      {2.0f, "10^2/uL", false}, {2.1f, "10^2/uL", true},  {-100000.0f, "10^9/L", false},
  };
  for (const auto& c : cases) EXPECT_EQ(WbcHighEnoughToAdjust(c.wbc, c.unit), c.allowed) << c.wbc << c.unit;
  EXPECT_TRUE(KeyMoveAllowed(kChartWbc, "0.10", "0"));
  EXPECT_FALSE(KeyMoveAllowed(kChartWbc, "0.09", "300"));
  EXPECT_FALSE(KeyMoveAllowed(kChartWbc, "- - -", "300"));
  EXPECT_TRUE(KeyMoveAllowed(kChartPlt, "0", "10"));
  EXPECT_FALSE(KeyMoveAllowed(kChartPlt, "9", "9"));
  EXPECT_TRUE(KeyMoveAllowed(kChartRbc, "", ""));
}

class LineAdjust : public ::testing::Test {
 protected:
  void SetUp() override {
    UnitDecimals = {2, 1, 2, 0, 1, 1, 1, 0, 1, 1, 0, 1, 3, 1};
    SetZentilLibraryPath(BuiltZentilPath());
    Compute(boardsim::Profile::Normal);
    std::string none[20];
    InsertPersonRow("5", "2026-01-05", none);
  }
  void TearDown() override { SetZentilLibraryPath(""); }

  void Compute(boardsim::Profile p) {
    ctx.histograms = CountOf(p);
    ctx.count = CountInputs{};
    uint16_t blank = 3400, sample = 2100;
    ctx.count.hgbBlank = &blank;
    ctx.count.hgbSample = &sample;
    auto in = std::make_unique<AlgorithmInput>();
    auto r = std::make_unique<AlgorithmResult>();
    FillAlgorithmInput(*in, ctx.count, ctx.histograms);
    const ZentilStatus st = CallAlgorithmMain(*r, *in);
    ASSERT_EQ(st, ZentilStatus::Computed);
    ctx.count.hgbBlank = ctx.count.hgbSample = nullptr;
    values = TakeResult(*r, st, kStandardUnits);
    // The two movable WBC lines are the library's lines 1 and 2, the right end its line 3.
    for (int k = 1; k <= 3; ++k) values.markers[k] = static_cast<float>((r->WbcLines[k] + 1) * 1.5625);
    for (int i = 0; i < 20; ++i) ctx.units[i] = kStandardUnits[i];
    std::memcpy(ctx.markers, values.markers, sizeof ctx.markers);
    ctx.currentWbc = values.values[0];
    ctx.adjustAllowed = true;
    ctx.language = 1;
    for (int i = 0; i < 20; ++i) {
      ctx.normal.pairs[2 * i] = ctx.panic.pairs[2 * i] = -1e9f;
      ctx.normal.pairs[2 * i + 1] = ctx.panic.pairs[2 * i + 1] = 1e9f;
      CurrentResult[i] = values.values[i];
      ParameterMarks[i] = values.marks[i];
      MarkTexts[i].clear();
    }
    StartLineAdjust(state, values);
  }

  // The differential the library gives for WBC lines 1 and 2 at these positions.
  void Expected(float line1, float line2, float out[6]) {
    auto r = std::make_unique<AlgorithmResult>();
    auto in = std::make_unique<AlgorithmInput>();
    std::memset(r.get(), 0, sizeof *r);
    std::memset(in.get(), 0, sizeof *in);
    std::memcpy(r->WbcHistogram, ctx.histograms.wbc, sizeof ctx.histograms.wbc);
    r->WBC = values.originalWbc;
    const uint16_t top = static_cast<uint16_t>(WbcLineChannel(values.markers[3]));
    r->WbcLines[0] = 8;
    r->WbcLines[1] = static_cast<uint16_t>(WbcLineChannel(values.markers[1]));
    r->WbcLines[2] = static_cast<uint16_t>(WbcLineChannel(values.markers[2]));
    r->WbcLines[3] = top;
    const uint16_t lines[4] = {8, static_cast<uint16_t>(WbcLineChannel(line1)),
                               static_cast<uint16_t>(WbcLineChannel(line2)), top};
    AdjustWbcHistogram(r.get(), in.get(), lines);
    const float wbc = r->WBC;
    out[0] = RoundToDecimals(r->LymCount, UnitDecimals[0]);
    out[1] = RoundToDecimals(r->MidCount, UnitDecimals[0]);
    out[2] = RoundToDecimals(wbc - out[0] - out[1], UnitDecimals[0]);
    out[3] = RoundToDecimals(r->LymPercent, UnitDecimals[1]);
    out[4] = RoundToDecimals(r->MidPercent, UnitDecimals[1]);
    out[5] = 100.0f - out[3] - out[4];
  }

  PatientFolder folder;
  CADOConn conn;
  AdjustContext ctx;
  SampleValues values;
  LineAdjustState state;
};

TEST_F(LineAdjust, WbcMoveRecomputesTheDifferentialAsTheLibraryDoes) {
  float chartLine = values.markers[1];
  for (int i = 0; i < 4; ++i) ASSERT_EQ(MoveLine(state, ctx, kChartWbc, 1, 1, &chartLine), MoveOutcome::Recomputed);
  EXPECT_FLOAT_EQ(state.movedWbcLines[0], chartLine);
  float expected[6];
  Expected(chartLine, values.markers[2], expected);
  for (int k = 0; k < 6; ++k) {
    ASSERT_TRUE(state.diffValid[k]);
    EXPECT_FLOAT_EQ(state.diff[k], expected[k]) << k;
    // Written as plain numbers: "%g" of the rounded value, no fixed decimals.
    char plain[32];
    std::snprintf(plain, sizeof plain, "%g", static_cast<double>(expected[k]));
    EXPECT_EQ(state.diffShown[k], plain) << k;
    EXPECT_EQ(state.diffStored[k], std::string("!") + plain) << k;
  }
  // A wider lymphocyte area holds more cells.
  EXPECT_GT(state.diff[3], RoundToDecimals(values.values[4], 1));
  // Back the same way: the computed differential again.
  for (int i = 0; i < 4; ++i) MoveLine(state, ctx, kChartWbc, 1, 0, &chartLine);
  EXPECT_FLOAT_EQ(chartLine, values.markers[1]);
  Expected(values.markers[1], values.markers[2], expected);
  for (int k = 0; k < 6; ++k) EXPECT_FLOAT_EQ(state.diff[k], expected[k]) << k;
}

TEST_F(LineAdjust, MovesThatRecomputeNothing) {
  float line = 50.0f;
  EXPECT_EQ(MoveLine(state, ctx, kChartNone, 1, 1, &line), MoveOutcome::NoLine);
  EXPECT_EQ(MoveLine(state, ctx, kChartWbc, -1, 1, &line), MoveOutcome::NoLine);
  EXPECT_EQ(MoveLine(state, ctx, kChartWbc, 0, 1, &line), MoveOutcome::NoLine);
  EXPECT_FLOAT_EQ(line, 50.0f);
  float rbc = 60.0f;
  EXPECT_EQ(MoveLine(state, ctx, kChartRbc, 0, 1, &rbc), MoveOutcome::Moved);
  EXPECT_FLOAT_EQ(rbc, 60.0f + LineStep(kChartRbc));
  ctx.adjustAllowed = false;
  float wbcLine = values.markers[1];
  EXPECT_EQ(MoveLine(state, ctx, kChartWbc, 1, 1, &wbcLine), MoveOutcome::Moved);
  EXPECT_GT(wbcLine, values.markers[1]);
  EXPECT_FALSE(state.diffRecomputed);
  EXPECT_EQ(SaveAdjustedLines(conn, state, ctx, kChartWbc, 5, "2026-01-05").outcome, LineSaveOutcome::NotSaved);
  ctx.adjustAllowed = true;
  // Nothing recomputed yet: Enter saves nothing.
  EXPECT_EQ(SaveAdjustedLines(conn, state, ctx, kChartWbc, 5, "2026-01-05").outcome, LineSaveOutcome::NotSaved);
  // WBC 1.5 in 10^2/uL is too low to adjust; so are the PLT lines.
  ctx.currentWbc = 1.5f;
  ctx.units[0] = "10^2/uL";
  float plt = values.markers[7];
  EXPECT_EQ(MoveLine(state, ctx, kChartWbc, 1, 1, &wbcLine), MoveOutcome::Refused);
  EXPECT_EQ(MoveLine(state, ctx, kChartPlt, 1, 0, &plt), MoveOutcome::Refused);
  EXPECT_FALSE(state.diffRecomputed);
  EXPECT_FALSE(state.pltRecomputed);
  // The same WBC in 10^3/uL or 10^9/L (one scale) is adjusted.
  for (const char* unit : {"10^3/uL", "10^9/L"}) {
    ctx.units[0] = unit;
    EXPECT_EQ(MoveLine(state, ctx, kChartWbc, 1, 1, &wbcLine), MoveOutcome::Recomputed) << unit;
  }
}

TEST_F(LineAdjust, WithoutTheLibraryTheValuesStay) {
  SetZentilLibraryPath(folder.folder() + "missing/libZentil.so");
  float line = values.markers[1];
  EXPECT_EQ(MoveLine(state, ctx, kChartWbc, 1, 1, &line), MoveOutcome::LibraryFailed);
  EXPECT_EQ(state.libraryMessage, "Load Zentil.dll failed!");
  float plt = values.markers[7];
  EXPECT_EQ(MoveLine(state, ctx, kChartPlt, 1, 0, &plt), MoveOutcome::LibraryFailed);
  EXPECT_FALSE(state.diffRecomputed);
  EXPECT_FALSE(state.pltRecomputed);
  EXPECT_EQ(SaveAdjustedLines(conn, state, ctx, kChartPlt, 5, "2026-01-05").outcome, LineSaveOutcome::NotSaved);
}

TEST_F(LineAdjust, PltMoveRecomputesAndInvalidValuesStayInvalid) {
  float plt = values.markers[7];
  ASSERT_EQ(MoveLine(state, ctx, kChartPlt, 1, 0, &plt), MoveOutcome::Recomputed);
  EXPECT_FLOAT_EQ(state.movedPltLines[1], plt);
  // The same through the library directly.
  auto in = std::make_unique<AlgorithmInput>();
  auto r = std::make_unique<AlgorithmResult>();
  FillAlgorithmInput(*in, ctx.count, ctx.histograms);
  in->UserPltLower = static_cast<uint16_t>(PltLineChannel(values.markers[6]));
  in->UserPltUpper = static_cast<uint16_t>(PltLineChannel(plt));
  std::memset(r.get(), 0, sizeof *r);
  AlgorithmMain(r.get(), in.get(), nullptr);
  EXPECT_FLOAT_EQ(state.plt[0], RoundToDecimals(r->PLT, UnitDecimals[10]));
  EXPECT_FLOAT_EQ(state.plt[1], RoundToDecimals(r->MPV, UnitDecimals[11]));
  EXPECT_EQ(state.pltStored[0], "!" + FormatValue(state.plt[0], 15));

  // No platelets: the library leaves PCT, PDW and P-LCR uncomputed; even with a unit that
  // scales PCT they are shown and stored as not reportable.
  std::memset(ctx.histograms.plt, 0, sizeof ctx.histograms.plt);
  ctx.units[18] = "mL/L";
  ASSERT_EQ(MoveLine(state, ctx, kChartPlt, 1, 0, &plt), MoveOutcome::Recomputed);
  std::memset(r.get(), 0, sizeof *r);
  FillAlgorithmInput(*in, ctx.count, ctx.histograms);
  in->UserPltLower = static_cast<uint16_t>(PltLineChannel(values.markers[6]));
  in->UserPltUpper = static_cast<uint16_t>(PltLineChannel(plt));
  AlgorithmMain(r.get(), in.get(), nullptr);
  const float lib[5] = {r->PLT, r->MPV, r->PDW, r->PCT, r->PLCR};
  int invalid = 0;
  for (int k = 0; k < 5; ++k) {
    if (IsValidParamValue(lib[k])) continue;
    ++invalid;
    EXPECT_FALSE(state.pltValid[k]) << k;
    EXPECT_EQ(state.pltShown[k], "- - -") << k;
    EXPECT_EQ(state.pltStored[k], "- - -") << k;
    EXPECT_EQ(state.pltMarks[k], "") << k;
  }
  ASSERT_GE(invalid, 2);  // the fixture must exercise the invalid value
  const LineSave save = SaveAdjustedLines(conn, state, ctx, kChartPlt, 5, "2026-01-05");
  ASSERT_EQ(save.outcome, LineSaveOutcome::Saved);
  EXPECT_EQ(save.message, "PLT Data saved!");
  for (int k = 0; k < 5; ++k)
    if (!state.pltValid[k]) {
      EXPECT_EQ(ParameterMarks[15 + k], 1) << k;
      EXPECT_EQ(CurrentResult[15 + k], kInvalidParamValue) << k;
    }
  EXPECT_EQ(Scalar("select PCT from Person where SampleNo='5'"), "- - -");
  EXPECT_EQ(Scalar("select PMARKER2 from Person where SampleNo='5'"), StrPrintf("%g", static_cast<double>(plt)));
  EXPECT_FLOAT_EQ(MarkerPositions[7], plt);
}

TEST_F(LineAdjust, EnterSavesTheDifferentialAndTheLines) {
  ctx.normal.pairs[2 * 4] = 99.0f;  // LYM% low limit: every value is low
  float line = values.markers[1];
  MoveLine(state, ctx, kChartWbc, 1, 1, &line);
  ASSERT_TRUE(state.diffRecomputed);
  EXPECT_EQ(state.diffMarks[3], "L");
  const LineSave save = SaveAdjustedLines(conn, state, ctx, kChartWbc, 5, "2026-01-05");
  ASSERT_EQ(save.outcome, LineSaveOutcome::Saved);
  EXPECT_EQ(save.message, "WBC Data saved!");
  EXPECT_EQ(Scalar("select LYMP from Person where SampleNo='5'"), "!" + FormatValue(state.diff[3], 4) + " L");
  EXPECT_EQ(Scalar("select LYMA from Person where SampleNo='5'"), state.diffStored[0]);
  EXPECT_EQ(Scalar("select WMARKER2 from Person where SampleNo='5'"), StrPrintf("%g", static_cast<double>(line)));
  EXPECT_FLOAT_EQ(MarkerPositions[1], line);
  EXPECT_FLOAT_EQ(CurrentResult[4], state.diff[3]);
  EXPECT_EQ(MarkTexts[4], "L");
}

TEST_F(LineAdjust, AFailedSaveIsReportedAndChangesNothing) {
  float line = values.markers[1];
  MoveLine(state, ctx, kChartWbc, 1, 1, &line);
  const float before = CurrentResult[4];
  const float marker = MarkerPositions[1];
  Exec("alter table Person rename to PersonGone");
  for (int chart : {kChartWbc, kChartPlt}) {
    if (chart == kChartPlt) {
      float plt = values.markers[7];
      MoveLine(state, ctx, kChartPlt, 1, 0, &plt);
    }
    const LineSave save = SaveAdjustedLines(conn, state, ctx, chart, 5, "2026-01-05");
    EXPECT_EQ(save.outcome, LineSaveOutcome::Failed);
    EXPECT_NE(save.message, LineSavedText(chart, 1));
    EXPECT_EQ(save.message, LineSaveFailedText(chart, 1));
  }
  EXPECT_FLOAT_EQ(CurrentResult[4], before);
  EXPECT_FLOAT_EQ(MarkerPositions[1], marker);
  const ManualDiff m = ApplyManualDifferential(conn, ctx, 30, 10, 60, 5, "2026-01-05");
  EXPECT_TRUE(m.applied);
  EXPECT_FALSE(m.saved);
  EXPECT_EQ(m.message, ManualDiffFailedText(1));
  EXPECT_FLOAT_EQ(CurrentResult[4], before);
}

TEST_F(LineAdjust, DifferentialEnteredByHand) {
  CurrentResult[0] = 5.0f;
  ctx.normal.pairs[2 * 1 + 1] = 1.0f;  // LYM# high limit
  const ManualDiff m = ApplyManualDifferential(conn, ctx, 30, 10, 60, 5, "2026-01-05");
  ASSERT_TRUE(m.saved);
  const float expected[6] = {1.5f, 0.5f, 3.0f, 30.0f, 10.0f, 60.0f};
  const char* stored[6] = {"e1.50 H", "e0.50", "e3.00", "E30.0", "E10.0", "E60.0"};
  const char* cols[6] = {"LYMA", "MONA", "GRAA", "LYMP", "MONP", "GRAP"};
  for (int k = 0; k < 6; ++k) {
    EXPECT_FLOAT_EQ(m.values[k], expected[k]) << k;
    EXPECT_EQ(m.stored[k], stored[k]) << k;
    EXPECT_EQ(Scalar(std::string("select ") + cols[k] + " from Person where SampleNo='5'"), stored[k]);
    EXPECT_FLOAT_EQ(CurrentResult[k + 1], expected[k]);
    EXPECT_EQ(ParameterMarks[k + 1], 0);
  }
  EXPECT_EQ(MarkTexts[1], "H");
  // Without a WBC there is nothing to split.
  CurrentResult[0] = kInvalidParamValue;
  EXPECT_FALSE(ApplyManualDifferential(conn, ctx, 30, 10, 60, 5, "2026-01-05").applied);
}
