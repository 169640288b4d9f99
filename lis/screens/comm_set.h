#pragma once
// CCommSet: the LIS serial port's parameters (baud rate, data bits, parity, stop bits), kept
// as list indices in the CommSet row.
#include "controls/xp_button.h"
#include "controls/xp_combo_edit.h"
#include "core/ado_conn.h"
#include "platform/ui/dialog.h"

inline constexpr int IDD_COMM_SET = 174;
inline constexpr int IDC_COMMSET_BAUD = 1322;
inline constexpr int IDC_COMMSET_DATABITS = 1323;
inline constexpr int IDC_COMMSET_PARITY = 1324;
inline constexpr int IDC_COMMSET_STOPBITS = 1325;
inline constexpr int IDC_COMMSET_BAUD_LABEL = 1685;
inline constexpr int IDC_COMMSET_DATABITS_LABEL = 1686;
inline constexpr int IDC_COMMSET_PARITY_LABEL = 1687;
inline constexpr int IDC_COMMSET_STOPBITS_LABEL = 1688;

class CCommSet : public ui::Dialog {
 public:
  explicit CCommSet(ui::Window* parent = nullptr);
  int baud = 4, dataBits = 3, parity = 0, stopBits = 0;

 protected:
  void DoDataExchange(ui::DataExchange& dx) override;
  bool OnInitDialog() override;
  void OnOK() override;
  bool PreTranslateMessage(ui::Message& msg) override;
  bool OnEraseBkgnd(draw::DC& dc) override;
  const draw::Brush* OnCtlColor(draw::DC& dc, ui::Window* control, int ctlType) override;
  void OnDestroy() override;

 private:
  CXPButton ok_, cancel_;
  CXPComboBox combos_[4];
  CADOConn conn_;
};
