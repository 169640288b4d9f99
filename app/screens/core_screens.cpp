#include "app/screens/about_dlg.h"
#include "app/screens/dormancy_dlg.h"
#include "app/screens/screen_registry.h"
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
}
