#include "analyzer/screens/sys_close.h"
#include "analyzer/screens/sys_start.h"
#include "core/app_startup.h"
#include "app/screens/about_dlg.h"
#include "measurement/screen/dormancy_dlg.h"
#include "core/screen_registry.h"
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

// A screen registered before (a test's stand-in, a later library's own) is kept.
void Keep(const std::string& name, ScreenRunner run) {
  if (!IsScreenAvailable(name)) RegisterScreen(name, std::move(run));
}
}  // namespace

void RegisterCoreScreens() {
  Keep("CSysStart", [] {
    analyzer::CSysStart::SetSystemLanguageChinese(ChineseEditionFromSystemLanguage() == 1);
    analyzer::CSysStart screen(nullptr);
    return screen.DoModal();
  });
  Keep("CSysClose", Runner<analyzer::CSysClose>());
  Keep("CAboutDlg", Runner<CAboutDlg>());
  Keep("CDormancyDlg", Runner<CDormancyDlg>());
  Keep("CUserLogon", Runner<CUserLogon>());
  Keep("CSysInfoSel", Runner<CSysInfoSel>());
  Keep("CSysState", Runner<CSysState>());
  Keep("CStatistic", Runner<CStatistic>());
  Keep("CSysLog", Runner<CSysLog>());
}
