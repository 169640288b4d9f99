#pragma once
// CDeptSet: the hospital's departments. Append, Modify and Delete store at once; Exit closes.
#include <string>
#include <vector>

#include "controls/grid/grid_ctrl.h"
#include "controls/xp_button.h"
#include "controls/xp_group_box.h"
#include "core/ado_conn.h"
#include "platform/ui/dialog.h"
#include "settings/numbered_list.h"

inline constexpr int IDD_DEPT_SET = 157;
enum : int { IDC_DEPT_FRAME = 1970, IDC_DEPT_LIST_FRAME = 2043, IDC_DEPT_GRID = 1062, IDC_DEPT_LABEL = 1821,
             IDC_DEPT_NAME = 1071, IDC_DEPT_KEYBOARD = 1514, IDC_DEPT_APPEND = 1064, IDC_DEPT_MODIFY = 1316,
             IDC_DEPT_DELETE = 1012 };

class CDeptSet : public ui::Dialog {
 public:
  explicit CDeptSet(ui::Window* parent = nullptr);

  CGridCtrl& Grid() { return grid_; }
  const std::vector<settings::NumberedRow>& Rows() const { return rows_; }

 protected:
  void DoDataExchange(ui::DataExchange& dx) override;
  bool OnInitDialog() override;
  bool PreTranslateMessage(ui::Message& msg) override;
  bool OnCommand(int id, int code, ui::Window* control) override;
  ui::LResult OnNotify(int id, ui::NotifyHeader* header) override;
  bool OnEraseBkgnd(draw::DC& dc) override;
  const draw::Brush* OnCtlColor(draw::DC& dc, ui::Window* control, int ctlType) override;
  void OnDestroy() override;

 private:
  void FillDepartmentGrid();
  void OnAppend();
  void OnModify();
  void OnDelete();
  int Box(const std::string& text, unsigned type);

  std::vector<settings::NumberedRow> rows_;
  CGridCtrl grid_;
  draw::Font gridFont_;
  CXPGroupBox frame_, listFrame_;
  CXPButton append_, modify_, delete_, exit_;
  ui::Button keyboard_;
  CADOConn conn_;
};
