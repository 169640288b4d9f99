#pragma once
// CReagentSel: reagent priming (mode 1) or bottle replacement (mode 2) for all reagents or
// one of them. In mode 1 the screen owns a board port and primes; in mode 2 each button opens
// the bottle volumes screen.
#include <memory>

#include "analyzer/sequences/prime_operation.h"
#include "platform/ui/dialog.h"

namespace analyzer {

class CSerialPort;

class CReagentSel : public ui::Dialog, public PrimeHost {
 public:
  static constexpr int kTemplateId = 341;
  static constexpr int kStatusId = 1581;
  static constexpr int kAllId = 1786, kDiluentId = 1787, kLyseId = 1788, kCleanserId = 1789;
  static constexpr int kFrame1Id = 1996, kFrame2Id = 1997;
  static constexpr uintptr_t kPollTimer = 3;

  CReagentSel(ui::Window* parent, int mode);
  ~CReagentSel() override;

  void Send(const CommandFrame& frame) override;
  void SetStatus(const std::string& text) override;
  void Message(const std::string& text, BoxIcon icon) override;

  bool PreTranslateMessage(ui::Message& msg) override;
  ui::LResult WindowProc(uint32_t msg, ui::WParam w, ui::LParam l) override;
  PrimeOperation* operation() { return op_.get(); }
  // Mode 2: what a button opens (the tests replace it); default runs CReagentVolDlg.
  void SetReplacementRunner(std::function<void(int selector)> run) { runReplacement_ = std::move(run); }

 protected:
  bool OnInitDialog() override;
  void OnOK() override {}
  void OnCancel() override;
  void OnTimer(uintptr_t id) override;
  bool OnEraseBkgnd(draw::DC& dc) override;

 private:
  void OnChoice(PrimeChoice c);
  int mode_;
  std::unique_ptr<CSerialPort> port_;
  std::unique_ptr<PrimeOperation> op_;
  std::function<void(int selector)> runReplacement_;
};

}  // namespace analyzer
