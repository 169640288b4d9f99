#include "app/screens/about_dlg.h"
#include "app/screens/dormancy_dlg.h"
#include "app/screens/screen_registry.h"
#include "app/screens/statistic_dlg.h"
#include "app/screens/sys_log_screen.h"
#include "app/screens/sys_info_sel.h"
#include "app/screens/sys_state.h"
#include "app/screens/user_logon.h"

namespace {
template <class Screen>
ScreenRunner Runner() {
  return [] {
    Screen screen(nullptr);
    return screen.DoModal();
  };
}
}  // namespace

void RegisterCoreScreens() {
  RegisterScreen("CAboutDlg", Runner<CAboutDlg>());
  RegisterScreen("CDormancyDlg", Runner<CDormancyDlg>());
  RegisterScreen("CUserLogon", Runner<CUserLogon>());
  RegisterScreen("CSysInfoSel", Runner<CSysInfoSel>());
  RegisterScreen("CSysState", Runner<CSysState>());
  RegisterScreen("CStatistic", Runner<CStatistic>());
  RegisterScreen("CSysLog", Runner<CSysLog>());
}
