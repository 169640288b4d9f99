#pragma once
// CSerSend: the send screen. Opened by the results browser (samples) and the QC lists with their
// grid; the operator picks "Selected Data" or "All Data" and presses Send; the senders report on
// the progress bar, the status line and the buttons.
#include <memory>

#include "analyzer/serial_port.h"
#include "controls/static_trans.h"
#include "controls/xp_button.h"
#include "controls/xp_check_button.h"
#include "core/ado_conn.h"
#include "lis/lis_send.h"
#include "lis/send_runs.h"
#include "platform/ui/controls/controls.h"
#include "platform/ui/dialog.h"

inline constexpr int IDD_SER_SEND = 110;
inline constexpr int IDC_SEND_STATUS = 1004;
inline constexpr int IDC_SEND_SELECTED = 1038;
inline constexpr int IDC_SEND_ALL = 1039;
inline constexpr int IDC_SEND_PROGRESS = 1390;
inline constexpr int IDC_SEND_EXIT = 1530;
inline constexpr int IDC_SEND_SEND = 1531;
inline constexpr int IDC_SEND_GROUP_TOP = 2003;
inline constexpr int IDC_SEND_GROUP_BOTTOM = 2002;

class CSerSend : public ui::Dialog, public lis::SendPanel {
 public:
  CSerSend(ui::Window* parent, const lis::SendSource& source);
  ~CSerSend() override;

  static int BloodTypeCode(const std::string& text) { return lis::BloodTypeCode(text); }
  int SendScope = 0;  // 0 selected data, 1 all data
  bool PortOpen() const { return portOpen_; }
  const lis::RunOutcome& LastOutcome() const { return last_; }

  // SendPanel
  void EnableSend(bool on) override;
  void EnableExit(bool on) override;
  void SetStatus(const std::string& text) override;
  void SetSendCaption(const std::string& text) override;
  void SetProgressRange(int upper) override;
  void SetProgress(int pos) override;
  void Message(const std::string& text, int icon) override;

 protected:
  void DoDataExchange(ui::DataExchange& dx) override;
  bool OnInitDialog() override;
  void OnCancel() override;
  bool OnCommand(int id, int code, ui::Window* control) override;
  bool PreTranslateMessage(ui::Message& msg) override;
  bool OnEraseBkgnd(draw::DC& dc) override;

 private:
  void OnSend();
  lis::SendSource source_;
  CStaticTrans status_;
  CXPButton exit_, send_;
  ui::ProgressBar progress_;
  CXPRadioButton selected_, all_;
  std::unique_ptr<analyzer::CSerialPort> port_;
  bool portOpen_ = false;
  CADOConn conn_;
  lis::RunOutcome last_;
};
