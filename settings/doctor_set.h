#pragma once
// CDoctorSet: the doctors with their department and the three roles (applicant, inspector,
// verifier) in which the patient screen offers them. Append, Modify and Delete store at once.
#include <string>
#include <vector>

#include "controls/grid/grid_ctrl.h"
#include "controls/xp_button.h"
#include "controls/xp_check_button.h"
#include "controls/xp_combo_edit.h"
#include "controls/xp_group_box.h"
#include "core/ado_conn.h"
#include "platform/ui/dialog.h"
#include "settings/numbered_list.h"

inline constexpr int IDD_DOCTOR_SET = 158;
enum : int { IDC_DOC_FRAME = 1968, IDC_DOC_LIST_FRAME = 2044, IDC_DOC_GRID = 1065, IDC_DOC_KEYBOARD = 1514,
             IDC_DOC_NAME_LABEL = 1545, IDC_DOC_NAME = 1045, IDC_DOC_DEPT_LABEL = 1821, IDC_DOC_DEPT = 1071,
             IDC_DOC_APPLICANT = 1241, IDC_DOC_INSPECTOR = 1242, IDC_DOC_VERIFIER = 1243, IDC_DOC_APPEND = 1064,
             IDC_DOC_MODIFY = 1316, IDC_DOC_DELETE = 1012 };

namespace settings {
// Shows a department in the department box: the list entry equal to it, else the text itself.
void ShowDepartmentText(ui::ComboBox& box, const std::string& dept);
}  // namespace settings

class CDoctorSet : public ui::Dialog {
 public:
  explicit CDoctorSet(ui::Window* parent = nullptr);

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
  void FillDoctorGrid();
  std::vector<std::string> RoleLetters() const;
  void SetRoles(bool applicant, bool inspector, bool verifier);
  void OnAppend();
  void OnModify();
  void OnDelete();
  int Box(const std::string& text, unsigned type);

  std::vector<settings::NumberedRow> rows_;
  CGridCtrl grid_;
  draw::Font gridFont_;
  CXPGroupBox frame_, listFrame_;
  CXPCheckButton applicant_, inspector_, verifier_;
  CXPComboBox dept_;
  CXPButton append_, modify_, delete_, exit_;
  ui::Button keyboard_;
  CADOConn conn_;
};
