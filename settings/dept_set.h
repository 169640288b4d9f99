#pragma once
// CDeptSet: the hospital's departments. Append, Modify and Delete store at once; Exit closes.
#include <string>
#include <vector>

#include "settings/numbered_list_screen.h"

inline constexpr int IDD_DEPT_SET = 157;
enum : int { IDC_DEPT_FRAME = 1970, IDC_DEPT_LIST_FRAME = 2043, IDC_DEPT_GRID = 1062, IDC_DEPT_LABEL = 1821,
             IDC_DEPT_NAME = 1071, IDC_DEPT_KEYBOARD = 1514, IDC_DEPT_APPEND = 1064, IDC_DEPT_MODIFY = 1316,
             IDC_DEPT_DELETE = 1012 };

class CDeptSet : public settings::CNumberedListScreen {
 public:
  explicit CDeptSet(ui::Window* parent = nullptr);

 protected:
  std::vector<std::string> TypedCells() const override;
  std::vector<settings::ListColumn> Columns(int language) const override;
  settings::ListEntryTexts EntryTexts(int language) const override;
  void SetTexts(int language) override;
};
