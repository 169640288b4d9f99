#pragma once
// CHistorySel: asks for a start and an end column of the browser's page; the browser then
// selects that run of results.
#include <string>

#include "controls/small_widgets.h"
#include "controls/xp_button.h"
#include "controls/xp_group_box.h"
#include "platform/ui/dialog.h"

inline constexpr int IDD_HISTORY_SEL = 163;
inline constexpr int IDC_HS_START = 1078;
inline constexpr int IDC_HS_END = 1079;
inline constexpr int IDC_HS_FRAME = 1976;
inline constexpr int IDC_HS_START_LABEL = 1701;
inline constexpr int IDC_HS_END_LABEL = 1702;
inline constexpr int IDC_HS_KEYBOARD = 1514;

namespace history {

enum class RangeError { None, NotInteger, OutOfRange, Reversed };
// Checks the two texts: whole numbers, each 1..100, the start not after the end.
RangeError CheckColumnRange(const std::string& start, const std::string& end, int* startColumn, int* endColumn);
std::string RangeErrorText(RangeError e, int language);

}  // namespace history

class CHistorySel : public ui::Dialog {
 public:
  explicit CHistorySel(ui::Window* parent = nullptr);
  int startColumn = 1;
  int endColumn = 1;

 protected:
  void DoDataExchange(ui::DataExchange& dx) override;
  bool OnInitDialog() override;
  void OnOK() override;
  bool OnCommand(int id, int code, ui::Window* control) override;
  bool OnEraseBkgnd(draw::DC& dc) override;
  const draw::Brush* OnCtlColor(draw::DC& dc, ui::Window* control, int ctlType) override;

 private:
  CXPGroupBox frame_;
  CXPButton ok_, cancel_;
  CBitmapKeyButton keyboard_;
};
