#pragma once
// CService: the engineering debug page ("Tab 1" of the debug screen). It drives the board with
// the debug commands and runs the repeat test through the debug screen's port; the debug
// screen hands it every byte the board sends.
#include <functional>
#include <memory>

#include "controls/static_trans.h"
#include "controls/small_widgets.h"
#include "controls/xp_button.h"
#include "controls/xp_group_box.h"
#include "controls/xp_tab_spin.h"
#include "core/ado_conn.h"
#include "platform/ui/dialog.h"
#include "service/engineering_debug.h"

namespace service {

class CService : public ui::Dialog, public DebugPageHost {
 public:
  static constexpr int kTemplateId = 302;
  static constexpr int kSwitchIds[3] = {1597, 1598, 1624};
  static constexpr int kStepFieldIds[4] = {1601, 1609, 1612, 1615};
  static constexpr int kStepSpinIds[4] = {1619, 1620, 1621, 1622};
  static constexpr int kStepButtonIds[4] = {1602, 1616, 1617, 1618};
  // The radio pairs (direction 0, direction 1) of the X motor, Z motor, injector and pump.
  static constexpr int kDirectionIds[4][2] = {{1605, 1606}, {1607, 1608}, {1610, 1611}, {1613, 1614}};
  static constexpr int kNeedleFieldIds[5] = {1623, 1625, 1626, 1627, 1628};
  static constexpr int kNeedleSendIds[5] = {1629, 1630, 1631, 1632, 1633};
  static constexpr int kResetId = 1793, kTestCountId = 1850, kTestStartId = 1851, kTestStopId = 1853;
  static constexpr int kKeyboardId = 1514, kTargetId = 1827, kDeviationId = 1829, kPressureSendId = 1531;
  static constexpr int kPressureId = 1828, kPollTimeId = 1061;
  static constexpr uintptr_t kPollTimer = 1;

  // `link` sends the frames (the debug screen); `close` ends the debug screen.
  CService(analyzer::BoardHost& link, std::function<void()> close);
  ~CService() override;

  EngineeringDebug* logic() { return logic_.get(); }
  bool Create(ui::Window* parent) { return CreateModeless(parent); }

  // DebugPageHost
  void Send(const analyzer::CommandFrame& frame) override { link_.Send(frame); }
  void Message(const std::string& text, analyzer::BoxIcon icon) override;
  void ClosePrompt() override;
  void SetSwitchCaption(int which, bool on) override;
  void EnableSwitches(bool enable) override;
  void EnableTestStart(bool enable) override;
  void EnablePressureSend(bool enable) override;
  void EnableExit(bool enable) override;
  void ShowPressure(const std::string& text) override;
  void ShowPollTime(const std::string& text) override;
  void StartPoll() override;
  void StopPoll() override;
  void SetTestCount(const std::string& text) override;
  void ResetExitFields() override;
  void ClosePage() override;

 protected:
  bool OnInitDialog() override;
  void DoDataExchange(ui::DataExchange& dx) override;
  bool OnCommand(int id, int code, ui::Window* control) override;
  bool PreTranslateMessage(ui::Message& msg) override;
  void OnOK() override {}
  void OnCancel() override;
  void OnTimer(uintptr_t id) override;
  const draw::Brush* OnCtlColor(draw::DC& dc, ui::Window* control, int ctlType) override;
  bool OnEraseBkgnd(draw::DC& dc) override;

 private:
  void SetTexts();
  NeedleTexts Needles() const;
  int Direction(int motor) const;

  analyzer::BoardHost& link_;
  std::function<void()> close_;
  CADOConn conn_;
  std::unique_ptr<EngineeringDebug> logic_;
  CXPButton buttons_[18];
  CXPButton exit_;
  CBitmapKeyButton keyboard_;
  CStaticTrans pressure_, pollTime_;
  CTSpinButtonCtrl spins_[4];
};

}  // namespace service
