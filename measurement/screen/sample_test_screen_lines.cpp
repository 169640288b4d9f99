// The test screen's divider lines: selecting a chart, moving its selected line with the arrow
// buttons and keys, showing the recomputed values, saving them with Enter, and the
// differential entered by hand. The rules and the recomputation are the line-adjustment
// module's; this file only wires them to the controls.
#include <algorithm>
#include <cstdlib>

#include "measurement/patient/profile_edit.h"
#include "measurement/patient/set_user_value.h"
#include "measurement/result_globals.h"
#include "measurement/screen/sample_globals.h"
#include "measurement/screen/sample_test_screen.h"
#include "measurement/screen/sample_test_screen_texts.h"
#include "platform/ui/keys.h"
#include "platform/ui/message_box.h"

namespace measurement {

void CSampleTest::StartAdjustment(const RunResult& r, const CountInputs& count) {
  StartLineAdjust(adjust_, r.values);
  AdjustContext& c = adjustCtx_;
  c.adjustAllowed = isOpenAjustHistogram_ != 0;
  for (int i = 0; i < 20; ++i) c.units[i] = UnitTexts[i];
  c.normal = r.normal;
  c.panic = r.panic;
  c.histograms = cycle_.histograms();
  c.count = count;
  std::copy(MarkerPositions, MarkerPositions + 8, c.markers);
  c.currentWbc = CurrentResult[0];
  c.language = Language();
  groupIndex_ = r.groupIndex;
  ResultIndicators(r.stars, indicators_);
  // Only a result that is on the screen and in its row can be adjusted and saved.
  adjustable_ = r.Storable() && r.Stored();
  adjustSampleNo_ = std::atoi(r.row.sampleNo.c_str());
  adjustDate_ = r.testDate;
}

void CSampleTest::StopAdjustment() {
  adjustable_ = false;
  adjust_.manualDiffAllowed = false;
}

void CSampleTest::SelectChartAt(ui::Point pt) {
  for (int c = 0; c < 3; ++c) {
    if (graphs_[c].IsWindow() && graphs_[c].GetWindowRect().Contains(pt)) {
      selectedChart_ = c;
      return;
    }
  }
}

void CSampleTest::OnMarker(int direction, bool key) {
  if (selectedChart_ == kChartNone) return;
  CGraphView& view = graphs_[selectedChart_];
  const int line = view.GetSelectedMarker();
  if (line < 0) return;
  if (key && !KeyMoveAllowed(selectedChart_, GetDlgItemText(kValueIds[0]), GetDlgItemText(kValueIds[15]))) return;
  CXGraphAxis& axis = view.Graph().GetXAxis(0);
  if (line >= axis.GetAxisMarkerCount()) return;
  // The bounds follow the marker positions of the result as last saved.
  std::copy(MarkerPositions, MarkerPositions + 8, adjustCtx_.markers);
  adjustCtx_.currentWbc = CurrentResult[0];
  AdjustContext ctx = adjustCtx_;
  ctx.adjustAllowed = adjustCtx_.adjustAllowed && adjustable_;
  float position = static_cast<float>(axis.GetAxisMarker(line).value);
  const MoveOutcome outcome = MoveLine(adjust_, ctx, selectedChart_, line, direction, &position);
  if (outcome == MoveOutcome::NoLine) return;
  view.Graph().SetAxisMarkerValue(line, position);
  view.RedrawChart();
  switch (outcome) {
    case MoveOutcome::Recomputed: ShowRecomputed(selectedChart_); break;
    case MoveOutcome::LibraryFailed:
      // The PLT path has already told the operator through the library call's own message.
      if (!adjust_.libraryMessage.empty()) {
        const std::string text = adjust_.libraryMessage;
        adjust_.libraryMessage.clear();
        Box(text, ui::MB_ICONERROR);
      }
      break;
    default: break;
  }
}

void CSampleTest::ShowRecomputed(int chart) {
  if (chart == kChartWbc) {
    for (int k = 0; k < 6; ++k) {
      SetText(kValueIds[1 + k], adjust_.diffShown[k]);
      SetText(kMarkIds[1 + k], adjust_.diffMarks[k]);
      SetText(kIndicatorIds[1 + k], "!");
    }
  } else if (chart == kChartPlt) {
    for (int k = 0; k < 5; ++k) {
      SetText(kValueIds[15 + k], adjust_.pltShown[k]);
      SetText(kMarkIds[15 + k], adjust_.pltMarks[k]);
      SetText(kIndicatorIds[15 + k], "!");
    }
  }
}

bool CSampleTest::OnEnterKey() {
  const int line = selectedChart_ == kChartNone ? -1 : graphs_[selectedChart_].GetSelectedMarker();
  // A WBC chart without a selected line lets Enter through, past the dialog's default button.
  if (selectedChart_ == kChartWbc && line < 0) return false;
  if (selectedChart_ == kChartNone || line < 0 || !adjustable_) return true;
  const LineSave saved =
      SaveAdjustedLines(db_, adjust_, adjustCtx_, selectedChart_, adjustSampleNo_, adjustDate_);
  if (saved.outcome == LineSaveOutcome::Saved) {
    const int first = selectedChart_ == kChartWbc ? 1 : 15, count = selectedChart_ == kChartWbc ? 6 : 5;
    for (int i = first; i < first + count; ++i) indicators_[i] = "!";
  }
  if (!saved.message.empty())
    Box(saved.message, saved.outcome == LineSaveOutcome::Saved ? ui::MB_ICONINFORMATION : ui::MB_ICONERROR);
  return true;
}

void CSampleTest::EditDifferential() {
  if (!adjust_.manualDiffAllowed || !adjustable_) return;
  float lym = 0.0f, mid = 0.0f, gra = 0.0f;
  // The program's one percentage entry, unless a test put its own in place.
  const bool entered = differentialEntry_ ? differentialEntry_(&lym, &mid, &gra)
                                          : EnterDifferentialPercentages(this, &lym, &mid, &gra);
  if (!entered) return;
  adjustCtx_.language = Language();
  const ManualDiff m = ApplyManualDifferential(db_, adjustCtx_, lym, mid, gra, adjustSampleNo_, adjustDate_);
  if (!m.saved) {
    // Nothing entered reaches the screen unless the row holds it too.
    if (!m.message.empty()) Box(m.message, ui::MB_ICONERROR);
    return;
  }
  // The entered values stand: WBC lines moved and not saved go back to the stored ones, and a
  // later Enter has no recomputed split to write over them.
  DropPendingDifferential(adjust_, MarkerPositions[1], MarkerPositions[2]);
  graphs_[0].SetMarkers(false, MarkerPositions[0], MarkerPositions[1], MarkerPositions[2]);
  for (int k = 0; k < 6; ++k) {
    indicators_[1 + k] = k < 3 ? "e" : "E";
    SetText(kIndicatorIds[1 + k], indicators_[1 + k]);
    SetText(kValueIds[1 + k], m.shown[k]);
    SetText(kMarkIds[1 + k], m.marks[k]);
  }
}

}  // namespace measurement
