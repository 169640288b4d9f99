// The screens of the other subsystems that the menus open by class name. A subsystem whose
// screen is ready adds one line here (and its library to this folder's CMakeLists.txt):
//
//   RegisterScreen("CHistoryList", [] { CHistoryList s(nullptr); return s.DoModal(); });
//
// Until then the menus tell the operator that the function is not available yet:
// CHistoryList (results),
// CQCSel (QC menu), CServiceSel (maintenance menu), CSysSet
// (settings), CBackDoor2 (hidden maintenance menu).
#include "calibration/cali_sel.h"
#include "core/screen_registry.h"
#include "measurement/screen/sample_test.h"

void RegisterProgramScreens() {
  measurement::RegisterMeasurementScreens();  // the test screen and what it opens
  calibration::RegisterCalibrationScreens();  // the calibration menu and its screens
}
