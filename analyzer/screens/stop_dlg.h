#pragma once
// CStop: the stop-use screen of the maintenance menu. OK advances the procedure (drain, rinse in
// distilled water, drain) and the last acknowledgement switches the PC off; Cancel leaves
// before the procedure starts, or after a step the board did not acknowledge.
#include <memory>

#include "analyzer/screens/board_screen.h"
#include "analyzer/sequences/stop_use_sequence.h"
#include "core/ado_conn.h"
#include "controls/xp_button.h"
#include "controls/xp_group_box.h"

namespace analyzer {

// The board port reserved for the stop-use screen: opened when it opens, closed when it ends.
CSerialPort& StopUsePort();

class CStop : public BoardScreen, public StopUseHost {
 public:
  static constexpr int kTemplateId = 277;
  static constexpr int kPromptId = 1059;
  static constexpr int kFrameId = 2031;
  static constexpr int kCornerId = 8;

  explicit CStop(ui::Window* parent = nullptr);
  ~CStop() override;

  void SetPrompt(const std::string& text) override;
  void EnableOk(bool enable) override;
  void EnableCancel(bool enable) override;
  void ShutdownPc() override;
  void Close() override;

  StopUseSequence* sequence() { return seq_.get(); }

 protected:
  void DoDataExchange(ui::DataExchange& dx) override;
  bool OnInitDialog() override;
  void OnOK() override;
  void OnCancel() override;
  bool OnEraseBkgnd(draw::DC& dc) override;
  const draw::Brush* OnCtlColor(draw::DC& dc, ui::Window* control, int ctlType) override;

 private:
  CADOConn conn_;
  std::unique_ptr<StopUseSequence> seq_;
  CStaticTrans prompt_;
  CXPGroupBox frame_;
  CXPButton ok_, cancel_, corner_;
};

}  // namespace analyzer
