#pragma once
// CVantoriumDlg: the main menu, the program's main window for its whole working life. Eight
// picture buttons open the screens, a small button shuts the instrument down; the status line
// shows the operator's level, the F1 hint and the clock; the 20-second clock timer also counts
// the running minutes. A fifth double-click on the background opens the hidden maintenance menu.
#include "controls/xp_button.h"
#include "platform/ui/dialog.h"

inline constexpr int IDD_VANTORIUM_DIALOG = 104;

// The menu's process-wide counters.
struct MainMenuCounters {
  int timerTicks = 0;     // 20-second ticks, up to 3
  int doubleClicks = 1;   // double-clicks on the background towards the hidden entry
  int resultsGuard = 0;   // 1 while the results list opened here runs
};
extern MainMenuCounters MainMenuState;

ui::DialogTemplate MainMenuTemplate();

class CVantoriumDlg : public ui::Dialog {
 public:
  explicit CVantoriumDlg(ui::Window* parent = nullptr);

  // Button texts, product lines and status line of the language and user level.
  void ApplyMenuTexts();

 protected:
  void DoDataExchange(ui::DataExchange& dx) override;
  bool OnInitDialog() override;
  bool PreTranslateMessage(ui::Message& msg) override;
  bool OnCommand(int id, int code, ui::Window* control) override;
  void OnTimer(uintptr_t id) override;
  bool OnEraseBkgnd(draw::DC& dc) override;
  const draw::Brush* OnCtlColor(draw::DC& dc, ui::Window* control, int ctlType) override;
  void OnLButtonDblClk(unsigned flags, ui::Point pt) override;
  ui::LResult WindowProc(uint32_t msg, ui::WParam w, ui::LParam l) override;
  void OnOK() override {}

 private:
  void OnShutdown();
  void RefreshClock();

  CXPButton shutdown_, test_, setting_, results_, service_, sysInfo_, calibration_, qc_, about_;
  draw::Font titleFont_;
  draw::Font statusFont_;
};
