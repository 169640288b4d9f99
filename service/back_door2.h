#pragma once
// CBackDoor2: the service tools screen, opened by the fifth double-click on the main menu:
// the file explorer, data backup and recovery, and the two software updaters.
#include "controls/xp_button.h"
#include "controls/xp_group_box.h"
#include "platform/ui/dialog.h"
#include "service/service_tools.h"

namespace service {

class CBackDoor2 : public ui::Dialog, public ToolsHost {
 public:
  static constexpr int kTemplateId = 306;
  static constexpr int kExplorerId = 1542, kRecoveryId = 1596, kBackupId = 1595;
  static constexpr int kUpdateBackId = 1623, kUpdateFrontId = 1624;
  static constexpr int kOuterFrameId = 1952, kInnerFrameId = 1919;

  explicit CBackDoor2(ui::Window* parent = nullptr);

  void UpdateLabels();

  void Info(const std::string& text) override;
  bool AskOkCancel(const std::string& text) override;
  void RunShutdown() override;
  void Quit() override;

 protected:
  bool OnInitDialog() override;
  void DoDataExchange(ui::DataExchange& dx) override;
  bool OnCommand(int id, int code, ui::Window* control) override;
  void OnOK() override {}
  bool OnEraseBkgnd(draw::DC& dc) override;

 private:
  CXPButton buttons_[5], exit_;
  CXPGroupBox outer_, inner_;
};

}  // namespace service
