#include "service/service_screens.h"

#include "core/screen_registry.h"
#include "service/back_door2.h"
#include "service/debug_sel.h"
#include "service/engineering_adjust.h"
#include "service/mech_check_dlg.h"
#include "service/service_sel.h"
#include "service/spit_diluent.h"

namespace service {
namespace {

template <class Screen>
ScreenRunner Runner() {
  return [] {
    Screen screen(nullptr);
    return screen.DoModal();
  };
}

}  // namespace

void RegisterServiceScreens() {
  RegisterScreen("CServiceSel", Runner<CServiceSel>());
  RegisterScreen("CSpitDiluent", Runner<CSpitDiluent>());
  RegisterScreen("CBackDoor2", Runner<CBackDoor2>());
  RegisterScreen("CMechCheckDlg", Runner<CMechCheckDlg>());
  RegisterScreen("CEngineeringAdjust", Runner<CEngineeringAdjust>());
  RegisterScreen("CDebugSel", Runner<CDebugSel>());
}

}  // namespace service
