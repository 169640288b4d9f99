#pragma once
// CHistoryListFind: the search conditions of the results browser (sample number, name, sex,
// medical and bed number, department, a date range). On OK it builds the WHERE text, checks on
// its own connection that rows match and returns the text and their count.
#include <string>

#include "controls/small_widgets.h"
#include "controls/xp_button.h"
#include "controls/xp_combo_edit.h"
#include "controls/xp_group_box.h"
#include "core/ado_conn.h"
#include "history/history_search.h"
#include "platform/ui/dialog.h"

inline constexpr int IDD_HISTORY_FIND = 138;
inline constexpr int IDC_HF_SAMPLE = 1066, IDC_HF_NAME = 1045, IDC_HF_SEX = 1067, IDC_HF_MEDICAL = 1069,
                     IDC_HF_BED = 1070, IDC_HF_DEPT = 1071;
inline constexpr int IDC_HF_START_Y = 1033, IDC_HF_START_M = 1034, IDC_HF_START_D = 1035, IDC_HF_END_Y = 1036,
                     IDC_HF_END_M = 1037, IDC_HF_END_D = 1038;
inline constexpr int IDC_HF_KEYBOARD = 1514, IDC_HF_FRAME = 1937, IDC_HF_DATE_FRAME = 1936;
// The year, month and day labels beside the start and the end date lists.
inline constexpr int kSearchDateUnitIds[6] = {1698, 1395, 1396, 1699, 1398, 1399};

class CHistoryListFind : public ui::Dialog {
 public:
  explicit CHistoryListFind(ui::Window* parent = nullptr);

  std::string defaultEndDate;  // "YYYY-MM-DD" preset into the end date
  history::SearchFields fields;
  std::string condition;       // after OK
  int recordCount = 0;         // after OK

  // OK's work without the window: false (with the message shown) when the dialog stays open.
  bool Accept();

 protected:
  void DoDataExchange(ui::DataExchange& dx) override;
  bool OnInitDialog() override;
  void OnOK() override;
  bool OnCommand(int id, int code, ui::Window* control) override;
  bool OnEraseBkgnd(draw::DC& dc) override;
  const draw::Brush* OnCtlColor(draw::DC& dc, ui::Window* control, int ctlType) override;

 private:
  CXPButton ok_, cancel_;
  CBitmapKeyButton keyboard_;
  CXPGroupBox frame_, dateFrame_;
  CXPComboBox combos_[8];
  CADOConn conn_;
};
