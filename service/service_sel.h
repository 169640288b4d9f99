#pragma once
// CServiceSel: the maintenance menu. Fourteen buttons run the fluidic operations one at a time
// on the menu's own board port, start the concentrated-cleanser soak, and open the reagent,
// stop-use, mechanics check, engineering adjustment and debug screens; the port is given up
// while a screen that talks to the board runs, and opened again when it returns.
#include <functional>
#include <memory>
#include <string>

#include "analyzer/screens/board_screen.h"
#include "controls/static_trans.h"
#include "controls/xp_button.h"
#include "controls/xp_group_box.h"
#include "core/ado_conn.h"
#include "service/maintenance_menu.h"

namespace service {

class CServiceSel : public analyzer::BoardScreen, public MaintenanceHost {
 public:
  static constexpr int kTemplateId = 340;
  static constexpr int kCountdownId = 1060, kProgressId = 1581;
  static constexpr int kPrimeId = 1787, kDrainChambersId = 1785, kCleanChambersId = 1788, kDrainPipelineId = 1786;
  static constexpr int kBackFlushId = 1784, kPulseId = 1798, kRemoveBlockageId = 1797, kResetId = 1793;
  static constexpr int kSoakId = 1790, kReplaceId = 1795, kStopUseId = 1794, kMechanicsId = 1791;
  static constexpr int kDebugId = 1796, kAdjustId = 1792;
  static constexpr int kOuterFrameId = 1918, kInnerFrameId = 1919;
  static constexpr uintptr_t kSoakTimer = 1, kQueryTimer = 2;

  explicit CServiceSel(ui::Window* parent = nullptr);
  ~CServiceSel() override;

  void SetProgress(const std::string& text) override;
  void SetCountdown(const std::string& text) override;
  bool AskOkCancel(const std::string& text) override;
  void StartSoakTimer() override;
  void StopSoakTimer() override;

  MaintenanceMenu* menu() { return menu_.get(); }
  // How a child screen is run (by class name); tests replace it. Default: RunScreen, with the
  // reagent screens of the analyzer run directly.
  void SetChildRunner(std::function<int(const std::string&)> run) { runChild_ = std::move(run); }

 protected:
  void DoDataExchange(ui::DataExchange& dx) override;
  bool OnInitDialog() override;
  bool OnCommand(int id, int code, ui::Window* control) override;
  void OnOK() override {}
  void OnCancel() override;
  void OnTimer(uintptr_t id) override;
  void KillScreenTimers() override;
  bool OnEraseBkgnd(draw::DC& dc) override;
  const draw::Brush* OnCtlColor(draw::DC& dc, ui::Window* control, int ctlType) override;

 private:
  void ApplyLanguageTexts();
  // Gives the port up around a child screen that talks to the board.
  void HandOver(const std::string& screen);
  int RunChild(const std::string& screen);

  CADOConn conn_;
  std::unique_ptr<MaintenanceMenu> menu_;
  std::function<int(const std::string&)> runChild_;
  CStaticTrans countdown_, progress_;
  CXPButton buttons_[14];
  CXPGroupBox outer_, inner_;
  CXPButton exit_;
};

// The button ids of the menu in the order of its grid.
extern const int kServiceSelButtons[14];

}  // namespace service
