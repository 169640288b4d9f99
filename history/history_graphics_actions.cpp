// The single-result view's actions: Last and Next, the line keys and Enter, Adjust, the
// differential entered by hand, the profile and Print.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <strings.h>

#include "analyzer/sequences/results_purge.h"
#include "core/app_settings.h"
#include "core/field_read.h"
#include "core/sys_log.h"
#include "core/value_format.h"
#include "core/write_log.h"
#include "history/history_delete.h"
#include "history/history_globals.h"
#include "history/history_graphics.h"
#include "history/history_output.h"
#include "history/view_navigation.h"
#include "measurement/patient/adjust_graph.h"
#include "measurement/patient/patient_input.h"
#include "measurement/patient/person_info.h"
#include "measurement/patient/set_user_value.h"
#include "measurement/raw_files.h"
#include "platform/ui/app.h"
#include "platform/ui/keys.h"
#include "platform/ui/message_box.h"
#include "printing/print_job.h"

using namespace history;

void CHistoryGraphics::Step(bool forward) {
  m_dayPosition += forward ? 1 : -1;
  if (m_dayPosition < 1 || m_dayPosition > m_dayCount) {
    const std::string date = NeighbourDate(db_, row_.testDate, forward);
    if (!date.empty()) OpenDay(date);
    m_dayPosition = forward ? 1 : m_dayCount;
  }
  if (!day_->IsOpen() || !day_->SetAbsolutePosition(m_dayPosition)) return;
  m_position = StepPosition(m_position, m_totalCount, forward);
  selectedChart_ = -1;
  FillResultView();
  LoadHistograms();
}

void CHistoryGraphics::OnNext() { Step(true); }
void CHistoryGraphics::OnLast() { Step(false); }

bool CHistoryGraphics::OnCommand(int id, int code, ui::Window* control) {
  if (code == ui::BN_CLICKED) {
    switch (id) {
      case IDC_HG_NEXT: OnNext(); return true;
      case IDC_HG_LAST: OnLast(); return true;
      case IDC_HG_PROFILE: OnProfile(); return true;
      case IDC_HG_PRINT: OnPrint(); return true;
      case IDC_HG_ADJUST: OnAdjust(); return true;
      default: break;
    }
  }
  if (id == IDC_HG_WBC_NAME && code == ui::STN_DBLCLK) {
    if (row_.wbcAdjustWithAbnormal && AppSettings.UserLevel != 0) {
      float lym = 0, mid = 0, gra = 0;
      if (measurement::EnterDifferentialPercentages(this, &lym, &mid, &gra)) ApplyManualDifferential(lym, mid, gra);
    }
    return true;
  }
  return ui::Dialog::OnCommand(id, code, control);
}

void CHistoryGraphics::SelectLine(int chart, int line) {
  selectedChart_ = chart;
  if (chart >= 0 && chart < 3) graphs_[chart].Graph().SelectXAxisMarker(line);
}

void CHistoryGraphics::ShowDifferential(const std::string leads[6]) {
  const measurement::LineAdjustState& s = compute_.adjust;
  for (int k = 0; k < 6; ++k) {
    SetLabel(kViewValueIds[1 + k], s.diffShown[k]);
    SetLabel(kViewMarkIds[1 + k], s.diffMarks[k]);
    SetLabel(kViewLeadIds[1 + k], leads[k]);
  }
}

void CHistoryGraphics::ShowPlt() {
  const measurement::LineAdjustState& s = compute_.adjust;
  for (int k = 0; k < 5; ++k) {
    SetLabel(kViewValueIds[15 + k], s.pltShown[k]);
    SetLabel(kViewMarkIds[15 + k], s.pltMarks[k]);
    SetLabel(kViewLeadIds[15 + k], "!");
  }
}

void CHistoryGraphics::MoveSelectedLine(int direction) {
  if (selectedChart_ < 0) return;
  measurement::CGraphView& view = graphs_[selectedChart_];
  const int line = view.GetSelectedMarker();
  if (line < 0) return;
  if (!measurement::KeyMoveAllowed(selectedChart_, GetDlgItemText(kViewValueIds[0]), GetDlgItemText(kViewValueIds[15])))
    return;
  CXGraphAxis& axis = view.Graph().GetXAxis(0);
  if (line >= axis.GetAxisMarkerCount()) return;
  float position = static_cast<float>(axis.GetAxisMarker(line).value);
  const RecomputeOutcome o = MoveViewLine(compute_, selectedChart_, line, direction, &position);
  // The chart shows the position the state holds, clamped alike.
  view.Graph().SetAxisMarkerValue(line, position);
  view.RedrawChart();
  if (o == RecomputeOutcome::LibraryFailed) {
    ui::MessageBox(this, measurement::kZentilLoadFailedText, "", ui::MB_ICONERROR);
    return;
  }
  if (o != RecomputeOutcome::Recomputed) return;
  if (selectedChart_ == 0) {
    const std::string bang[6] = {"!", "!", "!", "!", "!", "!"};
    ShowDifferential(bang);
  } else if (selectedChart_ == 2) {
    ShowPlt();
  }
}

bool CHistoryGraphics::SaveSelectedLines() {
  if (selectedChart_ != 0 && selectedChart_ != 2) return false;
  const measurement::LineSave saved = measurement::SaveAdjustedLines(
      db_, compute_.adjust, compute_.ctx, selectedChart_, row_.sampleNo, row_.testDate, false);
  if (saved.outcome == measurement::LineSaveOutcome::NotSaved) return false;
  if (saved.outcome == measurement::LineSaveOutcome::Failed) {
    ui::MessageBox(this, saved.message, "", ui::MB_ICONERROR);
    return false;
  }
  const measurement::LineAdjustState& s = compute_.adjust;
  if (selectedChart_ == 0) {
    // The stored lines are the applied ones now: Adjust - Cancel comes back to them.
    compute_.markers[1] = compute_.ctx.markers[1] = compute_.appliedWbcMarkers[0] = s.movedWbcLines[0];
    compute_.markers[2] = compute_.ctx.markers[2] = compute_.appliedWbcMarkers[1] = s.movedWbcLines[1];
    for (int k = 0; k < 6; ++k) {
      ShownResultValues[1 + k] = s.diffShown[k];
      ShownResultMarks[1 + k] = s.diffMarks[k];
    }
  } else {
    compute_.markers[6] = compute_.ctx.markers[6] = s.movedPltLines[0];
    compute_.markers[7] = compute_.ctx.markers[7] = s.movedPltLines[1];
    for (int k = 0; k < 5; ++k) {
      ShownResultValues[15 + k] = s.pltShown[k];
      ShownResultMarks[15 + k] = s.pltMarks[k];
    }
  }
  m_dataSaved = 1;
  ui::MessageBox(this, saved.message, "", ui::MB_ICONINFORMATION);
  return true;
}

bool CHistoryGraphics::PreTranslateMessage(ui::Message& msg) {
  if (msg.message == ui::WM_KEYDOWN) {
    if (msg.wParam == ui::VK_ESCAPE || msg.wParam == ui::VK_SPACE) return true;
    if (msg.wParam == ui::VK_RETURN) {
      if (selectedChart_ == 0 && graphs_[0].GetSelectedMarker() < 0) return ui::Dialog::PreTranslateMessage(msg);
      SaveSelectedLines();
      return true;
    }
    if (msg.wParam == ui::VK_LEFT || msg.wParam == ui::VK_RIGHT) {
      if (selectedChart_ >= 0 && graphs_[selectedChart_].GetSelectedMarker() >= 0) {
        MoveSelectedLine(msg.wParam == ui::VK_LEFT ? 0 : 1);
        return true;
      }
    }
  }
  if (msg.message == ui::WM_LBUTTONDOWN) {
    for (int c = 0; c < 3; ++c)
      if (graphs_[c].IsWindow() && graphs_[c].GetWindowRect().Contains(msg.pt)) selectedChart_ = c;
  }
  return ui::Dialog::PreTranslateMessage(msg);
}

namespace {

std::string UserLevelText(int level, int l) {
  switch (level) {
    case 1: return PickText(l, "管理员", "Administrator", "Administrador", "Administrateur", "Адміністратор");
    case 2: return PickText(l, "工程师", "Engineer", "Ingeniero", "Ingenieur", " Інженер");
    case 3: return PickText(l, "生产", "Factory", "Fabrica", "Factory", "Виробництво");
    default: return PickText(l, "普通用户", "General User", "Usuario General", "Utilisateur standard", "Звичайний користувач");
  }
}

}  // namespace

void CHistoryGraphics::OnAdjust() {
  CAdjustGraph dlg(this);
  dlg.DoModal();
  ApplyAdjustChoice(dlg.answer);
}

void CHistoryGraphics::ApplyAdjustChoice(int choice) {
  const int l = AppSettings.LanguageIndex;
  if (choice == 0) {
    // Back to the lines and values last stored; the recomputation at the moved lines is
    // dropped, so a later Enter stores nothing.
    compute_.markers[1] = compute_.appliedWbcMarkers[0];
    compute_.markers[2] = compute_.appliedWbcMarkers[1];
    std::copy(compute_.markers, compute_.markers + 8, compute_.ctx.markers);
    DropPendingDifferential(compute_);
    const bool shownInvalid = strcasecmp(GetDlgItemText(kViewValueIds[1]).c_str(), "- - -") == 0;
    const bool storedInvalid = strcasecmp(ShownResultValues[1].c_str(), "- - -") == 0;
    for (int k = 0; k < 6; ++k) {
      SetLabel(kViewValueIds[1 + k], ShownResultValues[1 + k]);
      SetLabel(kViewMarkIds[1 + k], ShownResultMarks[1 + k]);
      if (!(compute_.abnormal && shownInvalid))
        SetLabel(kViewLeadIds[1 + k], StoredDifferentialLead(compute_, k, storedInvalid));
    }
    ShowCharts();
    return;
  }
  std::string shown[6], marks[6];
  for (int k = 0; k < 6; ++k) {
    shown[k] = GetDlgItemText(kViewValueIds[1 + k]);
    marks[k] = GetDlgItemText(kViewMarkIds[1 + k]);
  }
  const AdjustWrite w = AdjustChoiceTexts(compute_, choice, shown, marks, GetDlgItemText(kViewValueIds[1]));
  if (!w.write) return;
  if (db_.Execute(DifferentialUpdateSql(w.texts, w.marker2, w.marker3, row_.sampleNo, row_.testDate)) != 1) {
    ui::MessageBox(this, measurement::LineSaveFailedText(0, l), "", ui::MB_ICONERROR);
    return;
  }
  const std::string event = choice == 1 ? PickText(l, "恢复", "Recover", "Recupérese", "Récupérez", "Відновити")
                                        : PickText(l, "调整", "Adjust", "Ajuste", "Ajuster", "Налаштувати");
  WriteSysLog(db_, event,
              row_.testDate + "###" + row_.sampleNo + "###" + UserLevelText(AppSettings.UserLevel, l));
  m_adjustDone = 1;
  std::string leads[6];
  for (int k = 0; k < 6; ++k) {
    leads[k] = w.texts[k].rfind("!", 0) == 0 ? "!" : "";
    const history::ShownValue v = SplitShownValue(1 + k, w.texts[k]);
    SetLabel(kViewValueIds[1 + k], v.value);
    SetLabel(kViewMarkIds[1 + k], v.mark);
    SetLabel(kViewLeadIds[1 + k], leads[k]);
    ShownResultValues[1 + k] = v.value;
    ShownResultMarks[1 + k] = v.mark;
  }
  ShowCharts();
}

bool CHistoryGraphics::ApplyManualDifferential(float lym, float mid, float gra) {
  measurement::ManualDiffOptions o;
  o.useWbc = true;
  o.wbc = static_cast<float>(std::atof(ShownWbc().c_str()));
  o.updateResultGlobals = false;
  o.resetWbcMarkers = true;
  const measurement::ManualDiff m =
      measurement::ApplyManualDifferential(db_, compute_.ctx, lym, mid, gra, row_.sampleNo, row_.testDate, o);
  if (!m.saved) {
    if (!m.message.empty()) ui::MessageBox(this, m.message, "", ui::MB_ICONERROR);
    return false;
  }
  for (int k = 0; k < 6; ++k) {
    SetLabel(kViewValueIds[1 + k], m.shown[k]);
    SetLabel(kViewMarkIds[1 + k], m.marks[k]);
    SetLabel(kViewLeadIds[1 + k], k < 3 ? "e" : "E");
    ShownResultValues[1 + k] = m.shown[k];
    ShownResultMarks[1 + k] = m.marks[k];
  }
  compute_.markers[1] = compute_.appliedWbcMarkers[0] = compute_.algoWbcLines[1];
  compute_.markers[2] = compute_.appliedWbcMarkers[1] = compute_.algoWbcLines[2];
  std::copy(compute_.markers, compute_.markers + 8, compute_.ctx.markers);
  compute_.differentialEdited = true;
  // The entered values stand for the library's lines: a split at lines moved before the entry
  // is not stored by a later Enter.
  DropPendingDifferential(compute_);
  m_dataSaved = 1;
  ShowCharts();
  return true;
}

void CHistoryGraphics::ApplyProfile(int result, const std::string& newNo, const std::string& name,
                                    const std::string& sex, int age, const std::string& ageUnit,
                                    const std::string& group, const std::string& medicalNo, const std::string& bedNo,
                                    const std::string& dept, const std::string& sender, const std::string& scrutator,
                                    const std::string& checker) {
  const std::string oldNo = row_.sampleNo, date = row_.testDate;
  if (result > 0 && !newNo.empty()) {
    measurement::PatientColumns p;
    p.sampleNo = newNo;
    p.name = name;
    p.sex = sex;
    p.age = age;
    p.ageUnit = ageUnit;
    p.referValue = group;
    p.medicalNo = medicalNo;
    p.bedNo = bedNo;
    p.dept = dept;
    p.sender = sender;
    p.scrutator = scrutator;
    p.checker = checker;
    const bool renumber = newNo != oldNo;
    bool ok = true;
    if (renumber) {
      // The profile dialog may have left a profile-only row under the new number; the result
      // row takes the number instead, so that one goes. A new number that already holds a
      // result is not taken.
      const std::string where = " where SampleNo='" + SqlSafeText(newNo) + "' and TestDate='" + SqlSafeText(date) + "'";
      RecordsetPtr& rs = db_.OpenRecordset("select * from Person" + where + " and coalesce(WBC,'')<>''");
      const bool taken = db_.RecordsetOpen() && HasRows(*rs);
      db_.CloseRecordset();
      if (taken) {
        ok = false;
        ui::MessageBox(this, measurement::LineSaveFailedText(0, AppSettings.LanguageIndex).substr(4), "",
                       ui::MB_ICONEXCLAMATION);
      } else {
        db_.Execute("delete from Person" + where);
      }
    }
    if (ok && renumber) {
      // The raw record follows the result to its new number, written there before the row moves.
      std::string why;
      if (RenumberResult(db_, AppSettings.ProgramFolder, date, oldNo, newNo, measurement::PatientUpdateSql(p, date, oldNo),
                         &why)) {
        m_dataSaved = 1;
      } else {
        WriteLog("Renumbering sample " + oldNo + " to " + newNo + " failed: " + why, "");
        ui::MessageBox(this, measurement::LineSaveFailedText(0, AppSettings.LanguageIndex).substr(4), "",
                       ui::MB_ICONEXCLAMATION);
      }
    } else if (ok && result == 2) {
      db_.Execute(measurement::PatientUpdateSql(p, date, oldNo));
      m_dataSaved = 1;
    }
  }
  // The day's rows are read again (a row's fields are read when the cursor comes onto it), and
  // the shown row is found again under the number it has now.
  const std::string shownNo = m_dataSaved && !newNo.empty() ? newNo : oldNo;
  OpenDay(date);
  for (int pos = 1; pos <= m_dayCount && day_->SetAbsolutePosition(pos); ++pos) {
    std::string no;
    ReadField(*day_, "SampleNo", no);
    if (no == shownNo) {
      m_dayPosition = pos;
      break;
    }
  }
  day_->SetAbsolutePosition(std::min(std::max(m_dayPosition, 1), std::max(m_dayCount, 1)));
  FillResultView();
  LoadHistograms();
}

void CHistoryGraphics::OnProfile() {
  CPersonInfo dlg(1, this, static_cast<unsigned>(row_.bloodMode), 1);
  dlg.CallerSampleNo = row_.sampleNo;
  dlg.ProfileTestDate = row_.testDate;
  const int result = dlg.DoModal();
  int age = 0;
  std::string unit;
  const int l = AppSettings.LanguageIndex;
  if (dlg.AgeYears > 0) {
    age = dlg.AgeYears;
    unit = PickText(l, "岁", "Y", "A", "A", "Р");
  } else if (dlg.AgeMonths > 0) {
    age = dlg.AgeMonths;
    unit = PickText(l, "月", "M", "M", "M", "М");
  } else if (dlg.AgeDays > 0) {
    age = dlg.AgeDays;
    unit = PickText(l, "天", "D", "D", "J", "Д");
  }
  ApplyProfile(result, dlg.CallerSampleNo, dlg.PatientName, dlg.PatientSex, age, unit, dlg.PatientGroupText,
               dlg.MedicalNoText, dlg.BedNoText, dlg.DeptText, dlg.ApplicantText, dlg.InspectorText,
               dlg.VerifierText);
}

bool CHistoryGraphics::ShownReportSnapshot(ReportSnapshot* out) {
  // The stored row gives the patient texts, units, ranges, flags text, lines and raw
  // histograms (the view's lines are the stored ones until a save stores new ones); the values
  // and marks are those the view shows.
  StoredSampleColumn column;
  column.sampleNo = row_.sampleNo;
  column.testDate = row_.testDate;
  column.notComputed = row_.keptForComputation;  // shown while the library still cannot be used
  for (int i = 0; i < 20; ++i) {
    column.results[i] = ShownResultValues[i];
    if (!ShownResultMarks[i].empty()) column.results[i] += " " + ShownResultMarks[i];
  }
  return LoadStoredSnapshot(db_, column, AppSettings.LanguageIndex, out) == StoredSnapshot::Loaded;
}

void CHistoryGraphics::OnPrint() {
  // One job at a time from this screen.
  if (printBusy_ || printJob_ != PrintJob::None) return;
  const int l = AppSettings.LanguageIndex;
  const char* noData = PickText(l, "此样本没有测试数据！", "This sample has no test data!",
                                "Esta muestra no tiene datos de test!", "Cet echantillon n'a pas de donnees!",
                                "У цього зразка немає даних про аналіз");
  if (ShownResultValues[0].empty()) {
    ui::MessageBox(this, noData, "", ui::MB_ICONEXCLAMATION);
    return;
  }
  printBusy_ = 1;
  ReportSnapshot result;
  if (!ShownReportSnapshot(&result)) {
    // The row is gone from the store: nothing a report could stand on.
    ui::MessageBox(this, noData, "", ui::MB_ICONEXCLAMATION);
    printBusy_ = 0;
    return;
  }
  PrintOrder order;
  order.printer = printSetup_.printer;
  order.settings = HistoryReportSettings(printSetup_, PrintItemSelection, l);
  order.printTime = sys::Clock::Now();
  if (printThread_.IsRunning()) printThread_.Join();  // the last job's thread is on its way out
  if (StartPrintJob(printThread_, Handle(), [result, order] { PrintShownResult(result, order); })) {
    printJob_ = order.printer == 0 ? PrintJob::Thermal : PrintJob::Page;
    print_.EnableWindow(false);
    if (printJob_ == PrintJob::Thermal) exit_.EnableWindow(false);
  }
  ui::RemoveMouseMessages(this);
  printBusy_ = 0;
}

void CHistoryGraphics::OnPrintProgress(int state) {
  if (state == 1) {
    printHint_.Show();
    return;
  }
  if (state != 0) return;
  printHint_.Hide();
  printJob_ = PrintJob::None;
  print_.EnableWindow(true);
  exit_.EnableWindow(true);
}

ui::LResult CHistoryGraphics::WindowProc(uint32_t msg, ui::WParam w, ui::LParam l) {
  if (msg == WM_PRINT_PROGRESS) {
    OnPrintProgress(static_cast<int>(w));
    return 0;
  }
  return ui::Dialog::WindowProc(msg, w, l);
}
