#pragma once
// CQCPrintStyle: before a QC print-out, all stored results or the results of a date range.
#include <string>

#include "controls/xp_button.h"
#include "controls/xp_check_button.h"
#include "platform/sys/clock.h"
#include "platform/ui/controls/controls.h"
#include "platform/ui/dialog.h"

namespace qc {

inline constexpr int IDD_QC_PRINT_STYLE = 114;
inline constexpr int IDC_PRINT_ALL = 1259, IDC_PRINT_RANGE = 1260;
inline constexpr int IDC_PRINT_START = 1262, IDC_PRINT_END = 1264;

// The day `days` before `t` (same time of day).
sys::LocalTime DaysBefore(const sys::LocalTime& t, int days);
// Whether OK may close: a range is refused when its start lies after its end (full date and
// time compared); printing all records has no range to check.
bool PrintRangeAccepted(int rangeChoice, const sys::LocalTime& start, const sys::LocalTime& end);
// "%d-%.2d-%.2d" of the date.
std::string RangeDateText(const sys::LocalTime& t);

class CQCPrintStyle : public ui::Dialog {
 public:
  explicit CQCPrintStyle(ui::Window* parent = nullptr);
  int rangeChoice = 0;  // 0 all records, 1 a date range
  sys::LocalTime start, end;

 protected:
  bool OnInitDialog() override;
  bool OnCommand(int id, int code, ui::Window* control) override;
  void OnOK() override;
  bool PreTranslateMessage(ui::Message& msg) override;
  const draw::Brush* OnCtlColor(draw::DC& dc, ui::Window* control, int ctlType) override;

 private:
  void SetChoice(int choice);
  CXPRadioButton all_, range_;
  CXPButton ok_, cancel_;
};

}  // namespace qc
