#pragma once
// CHistoryGraphics: one stored result in full: the sample and patient header, the 20 values
// with lead mark, mark and unit, the three histograms with their lines and the histogram
// flags. From here the operator steps to the previous or next result (Last, Next), moves the
// WBC and PLT lines and saves the recomputed values (arrow keys and Enter), corrects the
// differential by hand, edits the profile and prints. The screen keeps its own connection and
// the rows of the shown day.
#include <array>
#include <string>

#include "controls/static_trans.h"
#include "controls/tool_tip.h"
#include "controls/xp_button.h"
#include "controls/xp_group_box.h"
#include "core/ado_conn.h"
#include "history/history_output.h"
#include "history/view_compute.h"
#include "history/view_row.h"
#include "measurement/flagging.h"
#include "measurement/screen/graph_view.h"
#include "platform/sys/thread.h"
#include "platform/ui/dialog.h"
#include "printing/print_hint_dlg.h"

inline constexpr int IDD_HISTORY_GRAPHICS = 105;
inline constexpr int IDC_HG_LAST = 1123, IDC_HG_NEXT = 1073, IDC_HG_PROFILE = 1017, IDC_HG_PRINT = 1043,
                     IDC_HG_ADJUST = 1018, IDC_HG_WBC_NAME = 2067;
inline constexpr int IDC_HG_SAMPLE = 1014, IDC_HG_BLOOD = 1068, IDC_HG_TIME = 1061, IDC_HG_GROUP = 1569,
                     IDC_HG_NAME = 1045, IDC_HG_SEX = 1067, IDC_HG_AGE = 1028, IDC_HG_DEPT = 1071,
                     IDC_HG_POSITION = 1082, IDC_HG_WARNING = 1465;
extern const int kViewValueIds[20];
extern const int kViewMarkIds[20];
extern const int kViewUnitIds[20];
extern const int kViewLeadIds[20];  // -1: the row has none
extern const int kViewFlagIds[6];

ui::DialogTemplate HistoryGraphicsTemplate();

class CHistoryGraphics : public ui::Dialog {
 public:
  explicit CHistoryGraphics(ui::Window* parent = nullptr);

  // Set by the browser before DoModal.
  int m_totalCount = 0;
  std::string m_sampleNo;
  int m_sortStyle = 0;
  // Read by the browser afterwards: a recomputed result was stored (Adjust), values were saved.
  int m_adjustDone = 0;
  uint8_t m_dataSaved = 0;

  int m_position = 0, m_dayCount = 0, m_dayPosition = 0;

  // The actions (the buttons, keys and dialogs end in these; tests call them too).
  void OnNext();
  void OnLast();
  void OnPrint();
  // WM_PRINT_PROGRESS from the print job: 1 shows the hint, 0 gives the buttons back.
  void OnPrintProgress(int state);
  void OnProfile();
  void OnAdjust();
  void ApplyAdjustChoice(int choice);
  // Selects a chart (0 WBC, 1 RBC, 2 PLT) and its line, as touching them does.
  void SelectLine(int chart, int line);
  // An arrow key on the selected line: direction 0 left, 1 right.
  void MoveSelectedLine(int direction);
  // Enter: stores the recomputed values of the selected chart. True when the row was written.
  bool SaveSelectedLines();
  // The differential entered by hand (the percentage dialog's answer).
  bool ApplyManualDifferential(float lym, float mid, float gra);
  // The profile dialog's outcome applied to the row: `result` as the dialog returned.
  void ApplyProfile(int result, const std::string& newSampleNo, const std::string& name, const std::string& sex,
                    int age, const std::string& ageUnit, const std::string& group, const std::string& medicalNo,
                    const std::string& bedNo, const std::string& dept, const std::string& sender,
                    const std::string& scrutator, const std::string& checker);

  const history::ViewRow& Row() const { return row_; }
  const history::ViewCompute& Compute() const { return compute_; }
  std::string Text(int id) const { return GetDlgItemText(id); }
  bool RowMissing() const { return rowMissing_; }
  measurement::CGraphView& Graph(int c) { return graphs_[c]; }
  bool PrintJobRunning() const { return printJob_ != PrintJob::None; }
  bool PrintHintShown() const { return printHint_.IsShown(); }
  bool WaitForPrintJob(int64_t ms) { return printThread_.Join(ms); }

 protected:
  void DoDataExchange(ui::DataExchange& dx) override;
  bool OnInitDialog() override;
  bool OnCommand(int id, int code, ui::Window* control) override;
  bool PreTranslateMessage(ui::Message& msg) override;
  bool OnEraseBkgnd(draw::DC& dc) override;
  const draw::Brush* OnCtlColor(draw::DC& dc, ui::Window* control, int ctlType) override;
  void OnCancel() override;
  void OnMouseMove(unsigned flags, ui::Point pt) override;
  ui::LResult WindowProc(uint32_t msg, ui::WParam w, ui::LParam l) override;

 private:
  void ApplyLanguageTexts();
  void OpenDay(const std::string& date);
  void FillResultView();
  void LoadHistograms();
  void ShowCharts();
  void ShowDifferential(const std::string leads[6]);
  void ShowPlt();
  void SetLabel(int id, const std::string& text);
  void Step(bool forward);
  std::string ShownWbc() const { return row_.values[0].value; }
  // The report of the shown result as Print takes it; false when the row is not in the store.
  bool ShownReportSnapshot(ReportSnapshot* out);

  std::array<CStaticTrans, 20> values_, marks_, units_;
  std::array<CStaticTrans, 20> leads_;
  std::array<CStaticTrans, 6> flags_;
  CXPGroupBox headerFrame_, resultFrame_;
  CXPButton exit_, print_, profile_, adjust_, last_, next_;
  measurement::CGraphView graphs_[3];
  CADOConn db_;
  RecordsetPtr day_;  // the shown day's rows, held here for the screen's life
  history::ViewRow row_;
  history::ViewCompute compute_;
  measurement::LimitPairs normal_, panic_;
  uint8_t wbcCountTime_ = 5;
  uint8_t adjustSwitch_ = 0;
  int selectedChart_ = -1;
  bool rowMissing_ = false;
  uint8_t printBusy_ = 0;
  // The job printing now: a thermal one keeps Print and Exit off (the thermal printer takes
  // one report at a time), a page one only Print.
  enum class PrintJob { None, Thermal, Page };
  PrintJob printJob_ = PrintJob::None;
  history::PrintSetup printSetup_;
  PrintHintHolder printHint_;
  sys::Thread printThread_;
  CMFECToolTip toolTip_;
  bool nameTipWanted_ = false;
};
