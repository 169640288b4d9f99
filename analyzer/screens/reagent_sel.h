#pragma once
// CReagentSel: reagent priming (mode 1) or bottle replacement (mode 2) for all reagents or
// one of them. In mode 1 the screen owns a board port and primes; in mode 2 each button opens
// the bottle volumes screen.
#include <functional>
#include <memory>

#include "analyzer/screens/board_screen.h"
#include "analyzer/sequences/prime_operation.h"
#include "controls/xp_button.h"
#include "controls/xp_group_box.h"

namespace analyzer {

class CReagentSel : public BoardScreen, public PrimeHost {
 public:
  static constexpr int kTemplateId = 341;
  static constexpr int kStatusId = 1581;
  static constexpr int kAllId = 1786, kDiluentId = 1787, kLyseId = 1788, kCleanserId = 1789;
  static constexpr int kFrame1Id = 1996, kFrame2Id = 1997;

  CReagentSel(ui::Window* parent, int mode);
  ~CReagentSel() override;

  void SetStatus(const std::string& text) override;

  ui::LResult WindowProc(uint32_t msg, ui::WParam w, ui::LParam l) override;
  PrimeOperation* operation() { return op_.get(); }
  // Mode 2: what a button opens (the tests replace it); default runs CReagentVolDlg.
  void SetReplacementRunner(std::function<void(int selector)> run) { runReplacement_ = std::move(run); }

 protected:
  void DoDataExchange(ui::DataExchange& dx) override;
  bool OnInitDialog() override;
  void OnOK() override {}
  void OnCancel() override;
  bool OnEraseBkgnd(draw::DC& dc) override;

 private:
  void OnChoice(PrimeChoice c);
  int mode_;
  std::unique_ptr<PrimeOperation> op_;
  std::function<void(int selector)> runReplacement_;
  CStaticTrans status_;
  CXPButton all_, diluent_, lyse_, cleanser_, exit_;
  CXPGroupBox frame1_, frame2_;
};

}  // namespace analyzer
