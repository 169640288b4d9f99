// The screens of the other subsystems that the menus open by class name. A subsystem whose
// screen is ready adds its registration here (and its library to this folder's CMakeLists.txt).
// Until then the menus tell the operator that the function is not available yet:
// CQCSel (QC menu), CCaliSel (calibration menu).
#include "app/screens/bak_recover.h"
#include "core/screen_registry.h"
#include "history/history_list.h"
#include "lis/screens/lis_screens.h"
#include "measurement/screen/sample_test_screen.h"
#include "printing/print_items_set.h"
#include "service/service_screens.h"
#include "service/service_tools.h"
#include "settings/settings_screens.h"

void RegisterProgramScreens() {
  measurement::RegisterMeasurementScreens();  // the test screen and what it opens
  RegisterScreen("CHistoryList", [] {
    CHistoryList s(nullptr);
    return s.DoModal();
  });
  // The print templates, opened by the settings screen.
  RegisterScreen("CPrintItemsSet", [] {
    CPrintItemsSet s(nullptr);
    return s.DoModal();
  });
  service::RegisterServiceScreens();  // maintenance, diluent instruction, service tools
  service::SetBackupRunner([](int mode) {
    CBakRecover dlg(nullptr);
    dlg.mode = mode;
    return dlg.DoModal();
  });
  settings::RegisterSettingsScreens();  // the settings screen and what it opens
  lis::RegisterLisScreens();            // the LIS and communication settings, the send screen
}
