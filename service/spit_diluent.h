#pragma once
// CSpitDiluent: the instruction shown while the opener (the test or calibration screen)
// dispenses diluent for a pre-dilution on the analyzer's aspirate key. It sends nothing
// itself; the opener leaves its dispensing mode whenever the screen returns.
#include "controls/xp_button.h"
#include "controls/xp_group_box.h"
#include "platform/ui/dialog.h"

namespace service {

class CSpitDiluent : public ui::Dialog {
 public:
  static constexpr int kTemplateId = 342;
  static constexpr int kFrameId = 2032, kTextId = 1581;

  explicit CSpitDiluent(ui::Window* parent = nullptr);

  static std::string InstructionText(int language);
  // Moves the instruction down so that its wrapped lines stand in the middle of the label.
  void CentreInstruction();

 protected:
  void DoDataExchange(ui::DataExchange& dx) override;
  bool OnInitDialog() override;
  bool OnEraseBkgnd(draw::DC& dc) override;
  const draw::Brush* OnCtlColor(draw::DC& dc, ui::Window* control, int ctlType) override;

 private:
  CXPGroupBox frame_;
  CXPButton exit_;
};

}  // namespace service
