#pragma once
// CStop: the stop-use screen of the maintenance menu. OK advances the procedure (drain, rinse in
// distilled water, drain) and the last acknowledgement switches the PC off; Cancel leaves
// before the procedure starts, or after a step the board did not acknowledge.
#include <memory>

#include "analyzer/sequences/stop_use_sequence.h"
#include "app/ado_conn.h"
#include "platform/ui/dialog.h"

namespace analyzer {

class CSerialPort;
// The board port reserved for the stop-use screen: opened when it opens, closed when it ends.
CSerialPort& StopUsePort();

class CStop : public ui::Dialog, public StopUseHost {
 public:
  static constexpr int kTemplateId = 277;
  static constexpr int kPromptId = 1059;
  static constexpr int kFrameId = 2031;
  static constexpr int kCornerId = 8;
  static constexpr uintptr_t kPollTimer = 3;

  explicit CStop(ui::Window* parent = nullptr);
  ~CStop() override;

  void Send(const CommandFrame& frame) override;
  void SetPrompt(const std::string& text) override;
  void EnableOk(bool enable) override;
  void EnableCancel(bool enable) override;
  void Message(const std::string& text, BoxIcon icon) override;
  void ShutdownPc() override;
  void Close() override;

  ui::LResult WindowProc(uint32_t msg, ui::WParam w, ui::LParam l) override;
  StopUseSequence* sequence() { return seq_.get(); }

 protected:
  bool OnInitDialog() override;
  void OnOK() override;
  void OnCancel() override;
  void OnTimer(uintptr_t id) override;
  bool OnEraseBkgnd(draw::DC& dc) override;

 private:
  CADOConn conn_;
  std::unique_ptr<StopUseSequence> seq_;
};

}  // namespace analyzer
