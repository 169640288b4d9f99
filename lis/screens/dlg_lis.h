#pragma once
// CDlgLis: the network settings of the LIS link: the instrument's own address (automatic or
// fixed, with mask and gateway), the LIS server's address and port, bidirectional transfer and
// alarm forwarding ([LIS] in Setting.ini). Saving a changed address or port drops the link,
// which applies the settings and reconnects.
#include "controls/small_widgets.h"
#include "controls/xp_button.h"
#include "controls/xp_check_button.h"
#include "lis/link_settings.h"
#include "platform/ui/controls/controls.h"
#include "platform/ui/dialog.h"

inline constexpr int IDD_DLG_LIS = 115;
inline constexpr int IDC_LIS_AUTO = 1728;
inline constexpr int IDC_LIS_FIXED = 1729;
inline constexpr int IDC_LIS_OWN = 2096;
inline constexpr int IDC_LIS_MASK = 2097;
inline constexpr int IDC_LIS_GATEWAY = 2098;
inline constexpr int IDC_LIS_SERVER = 2099;
inline constexpr int IDC_LIS_PORT_LABEL = 2100;
inline constexpr int IDC_LIS_PORT = 2101;
inline constexpr int IDC_LIS_SERVER_LABEL = 2102;
inline constexpr int IDC_LIS_GATEWAY_LABEL = 2103;
inline constexpr int IDC_LIS_MASK_LABEL = 2104;
inline constexpr int IDC_LIS_OWN_LABEL = 2105;
inline constexpr int IDC_LIS_DOUBLE = 2106;
inline constexpr int IDC_LIS_WARNING = 2143;
inline constexpr int IDC_LIS_KEYBOARD = 1514;

// "The port cannot be empty" and, for a port outside 1..65535, "The port must be 1 to 65535".
std::string LisPortEmptyText(int language);
std::string LisPortRangeText(int language);
std::string LisSavedText(int language);

class CDlgLis : public ui::Dialog {
 public:
  explicit CDlgLis(ui::Window* parent = nullptr);

 protected:
  void DoDataExchange(ui::DataExchange& dx) override;
  bool OnInitDialog() override;
  void OnOK() override;
  bool OnCommand(int id, int code, ui::Window* control) override;
  bool OnEraseBkgnd(draw::DC& dc) override;
  const draw::Brush* OnCtlColor(draw::DC& dc, ui::Window* control, int ctlType) override;

 private:
  void OnAutomaticAddress();
  CXPButton ok_, cancel_;
  CBitmapKeyButton keyboard_;
  ui::IpAddress own_, mask_, gateway_, server_;
  CXPCheckButton double_, warning_;
  CXPRadioButton auto_, fixed_;
  lis::NetworkSettings settings_;
};
