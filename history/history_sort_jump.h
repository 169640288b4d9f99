#pragma once
// Two small dialogs no screen opens: CHistorySort edits the browser's sort style in the system
// settings, CHistoryJump asks for a position number.
#include <string>

#include "controls/small_widgets.h"
#include "controls/xp_button.h"
#include "controls/xp_group_box.h"
#include "core/ado_conn.h"
#include "platform/ui/dialog.h"

inline constexpr int IDD_HISTORY_SORT = 311;
inline constexpr int IDD_HISTORY_JUMP = 162;
inline constexpr int IDC_HSORT_TIME = 1061, IDC_HSORT_NUMBER = 1066;
inline constexpr int IDC_HJUMP_LABEL = 1700, IDC_HJUMP_EDIT = 1077, IDC_HJUMP_KEYBOARD = 1514;
inline constexpr int IDC_HSORT_FRAME = 1979, IDC_HSORT_BAND = 1978;

namespace history {
// "update SysSetting set HistoryListSortStyle = %d".
std::string SortStyleUpdateSql(int sortStyle);
// The jump position's checks: Enter accepts 1..500; OK accepts 1..maxPosition (an empty text
// reads as 0 and closes).
bool JumpEnterAccepted(int position);
bool JumpOkAccepted(const std::string& text, int maxPosition, int* position);
}  // namespace history

class CHistorySort : public ui::Dialog {
 public:
  explicit CHistorySort(ui::Window* parent = nullptr);
  int sortStyle = 0;

 protected:
  void DoDataExchange(ui::DataExchange& dx) override;
  bool OnInitDialog() override;
  void OnOK() override;
  void OnCancel() override;

 private:
  CXPButton ok_, cancel_;
  CXPGroupBox band_;
  CADOConn conn_;
};

class CHistoryJump : public ui::Dialog {
 public:
  explicit CHistoryJump(ui::Window* parent = nullptr);
  int position = 0;
  int maxPosition = 500;

 protected:
  bool OnInitDialog() override;
  void OnOK() override;
  bool OnCommand(int id, int code, ui::Window* control) override;
  bool PreTranslateMessage(ui::Message& msg) override;

 private:
  CXPButton ok_, cancel_;
  CBitmapKeyButton keyboard_;
};
