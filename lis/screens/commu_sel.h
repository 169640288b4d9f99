#pragma once
// CCommuSel: the link-type screen: serial text records or network HL7 ([COMMUNITY] Type);
// "Set up" opens the serial parameters screen or the network settings screen of the choice.
#include "controls/xp_button.h"
#include "controls/xp_combo_edit.h"
#include "platform/ui/dialog.h"

inline constexpr int IDD_COMMU_SEL = 116;
inline constexpr int IDC_COMMU_GROUP = 1917;
inline constexpr int IDC_COMMU_TYPE_LABEL = 2108;
inline constexpr int IDC_COMMU_TYPE = 2110;
inline constexpr int IDC_COMMU_SETUP = 2109;

class CCommuSel : public ui::Dialog {
 public:
  explicit CCommuSel(ui::Window* parent = nullptr);

 protected:
  void DoDataExchange(ui::DataExchange& dx) override;
  bool OnInitDialog() override;
  void OnOK() override;
  bool OnCommand(int id, int code, ui::Window* control) override;
  bool OnEraseBkgnd(draw::DC& dc) override;
  const draw::Brush* OnCtlColor(draw::DC& dc, ui::Window* control, int ctlType) override;

 private:
  void OnSetUp();
  CXPButton ok_, cancel_, setUp_;
  CXPComboBox type_;
};
