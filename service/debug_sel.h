#pragma once
// CDebugSel: the engineers' debug screen. It owns the board port while it is open and hosts
// two pages on one tab control: the engineering debug page ("Tab 1"), which gets every byte the
// board sends, and the hidden settings page ("Tab 2"). A page closes the screen.
#include <memory>

#include "analyzer/screens/board_screen.h"
#include "controls/xp_tab_spin.h"
#include "service/back_door.h"
#include "service/service_page.h"

namespace service {

class CDebugSel : public analyzer::BoardScreen {
 public:
  static constexpr int kTemplateId = 362;
  static constexpr int kTabId = 1900;

  explicit CDebugSel(ui::Window* parent = nullptr);
  ~CDebugSel() override;

  CService* page1() { return page1_.get(); }
  CBackDoor* page2() { return page2_.get(); }
  // Shows the page of tab `index` as a change of the tab's selection does.
  void SelectTab(int index);

 protected:
  bool OnInitDialog() override;
  void DoDataExchange(ui::DataExchange& dx) override;
  ui::LResult OnNotify(int id, ui::NotifyHeader* header) override;
  void OnOK() override {}
  void OnCancel() override {}
  bool OnEraseBkgnd(draw::DC& dc) override;

 private:
  CXPTabCtrl tab_;
  std::unique_ptr<CService> page1_;
  std::unique_ptr<CBackDoor> page2_;
};

}  // namespace service
