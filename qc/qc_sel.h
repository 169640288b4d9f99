#pragma once
// CQCSel: the QC menu, a tab control with one page per QC method (L-J, X-B, X-R) whose buttons
// open the method's screens. The main menu runs it by name.
#include <memory>

#include "controls/xp_button.h"
#include "controls/xp_tab_spin.h"
#include "platform/ui/dialog.h"

namespace qc {

inline constexpr int IDD_QC_SEL = 328;
inline constexpr int IDC_QC_TAB = 1771;
// The page buttons.
inline constexpr int IDC_LJ_SETTINGS = 1772, IDC_LJ_RUN = 1773, IDC_LJ_LIST = 1774, IDC_LJ_GRAPH = 1776;
inline constexpr int IDC_XB_SETTINGS = 1776, IDC_XB_LIST = 1777, IDC_XB_GRAPH = 1778;
inline constexpr int IDC_XR_SETTINGS = 1779, IDC_XR_RUN = 1780, IDC_XR_LIST = 1781, IDC_XR_GRAPH = 1782;

class CQCSelPage;

class CQCSel : public ui::Dialog {
 public:
  explicit CQCSel(ui::Window* parent = nullptr);
  ~CQCSel() override;
  // The page of tab 0, 1, 2.
  CQCSelPage& page(int i) { return *pages_[i]; }
  void SelectTab(int index);

 protected:
  void DoDataExchange(ui::DataExchange& dx) override;
  bool OnInitDialog() override;
  ui::LResult OnNotify(int id, ui::NotifyHeader* header) override;
  bool PreTranslateMessage(ui::Message& msg) override;
  bool OnEraseBkgnd(draw::DC& dc) override;

 private:
  CXPButton exit_;
  CXPTabCtrl tab_;
  std::unique_ptr<CQCSelPage> pages_[3];
};

// One page of the menu: kind 0 L-J, 1 X-B, 2 X-R.
class CQCSelPage : public ui::Dialog {
 public:
  explicit CQCSelPage(int kind);
  int kind() const { return kind_; }

 protected:
  bool OnInitDialog() override;
  bool OnCommand(int id, int code, ui::Window* control) override;
  bool PreTranslateMessage(ui::Message& msg) override;

 private:
  int kind_;
  CXPButton buttons_[4];
};

}  // namespace qc
