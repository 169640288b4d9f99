#pragma once
// CSetUserValue: the three percentages of the WBC differential entered by hand (LYM%, MID%,
// GRA%, summing to 100). One dialog for the whole program: the test screen opens it for the
// result just counted and the history's view for a stored result; both read the accepted
// values from m_resultLym, m_resultMid and m_resultGra after IDOK.
#include "controls/small_widgets.h"
#include "controls/xp_button.h"
#include "controls/xp_group_box.h"
#include "platform/ui/dialog.h"

inline constexpr int IDD_SET_USER_VALUE = 507;
inline constexpr int IDC_SUV_FRAME = 1917;
inline constexpr int IDC_SUV_LYM = 1654;
inline constexpr int IDC_SUV_MID = 1655;
inline constexpr int IDC_SUV_GRA = 2056;
inline constexpr int IDC_SUV_KEYBOARD = 1514;

ui::DialogTemplate SetUserValueTemplate();

namespace measurement {

// The fills made when the operator leaves a field (0 LYM%, 1 MID%, 2 GRA%): a field counts as
// not entered while it is 0; each fill is 100 minus the two others, 0 when that is not positive.
void FillPercentagesOnLeave(int field, float v[3]);
// OK: a single missing field is filled; true when the three are at least 0 and sum to 100
// (within 0.0001).
bool AcceptPercentages(float v[3]);
// "Inputs invalid, sum of the classified percentage is not equal to 100% " in the language.
const char* PercentSumText(int language);

// Runs the dialog (parent may be null); true with the three accepted percentages.
bool EnterDifferentialPercentages(ui::Window* parent, float* lym, float* mid, float* gra);

}  // namespace measurement

class CSetUserValue : public ui::Dialog {
 public:
  explicit CSetUserValue(ui::Window* parent = nullptr);

  float m_lymPercent = 0.0f, m_midPercent = 0.0f, m_graPercent = 0.0f;
  float m_resultLym = 0.0f, m_resultMid = 0.0f, m_resultGra = 0.0f;

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
