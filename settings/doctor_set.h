#pragma once
// CDoctorSet: the doctors with their department and the three roles (applicant, inspector,
// verifier) in which the patient screen offers them. Append, Modify and Delete store at once.
#include <string>
#include <vector>

#include "controls/xp_check_button.h"
#include "controls/xp_combo_edit.h"
#include "settings/numbered_list_screen.h"

inline constexpr int IDD_DOCTOR_SET = 158;
enum : int { IDC_DOC_FRAME = 1968, IDC_DOC_LIST_FRAME = 2044, IDC_DOC_GRID = 1065, IDC_DOC_KEYBOARD = 1514,
             IDC_DOC_NAME_LABEL = 1545, IDC_DOC_NAME = 1045, IDC_DOC_DEPT_LABEL = 1821, IDC_DOC_DEPT = 1071,
             IDC_DOC_APPLICANT = 1241, IDC_DOC_INSPECTOR = 1242, IDC_DOC_VERIFIER = 1243, IDC_DOC_APPEND = 1064,
             IDC_DOC_MODIFY = 1316, IDC_DOC_DELETE = 1012 };

namespace settings {
// Shows a department in the department box: the list entry equal to it, else the text itself.
void ShowDepartmentText(ui::ComboBox& box, const std::string& dept);
}  // namespace settings

class CDoctorSet : public settings::CNumberedListScreen {
 public:
  explicit CDoctorSet(ui::Window* parent = nullptr);

 protected:
  void DoDataExchange(ui::DataExchange& dx) override;
  std::vector<std::string> TypedCells() const override;
  std::vector<settings::ListColumn> Columns(int language) const override;
  settings::ListEntryTexts EntryTexts(int language) const override;
  void PrepareInputs() override;
  void SetTexts(int language) override;
  void FinishInit() override;
  void ShowRowInputs(int row) override;
  void ClearOtherInputs() override;

 private:
  void SetRoles(bool applicant, bool inspector, bool verifier);

  CXPCheckButton applicant_, inspector_, verifier_;
  CXPComboBox dept_;
};
