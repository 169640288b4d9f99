#include "settings/settings_screens.h"

#include "core/screen_registry.h"
#include "settings/dept_set.h"
#include "settings/doctor_set.h"
#include "settings/normal_limits.h"
#include "settings/other_sys_set.h"
#include "settings/paras_unit.h"
#include "settings/pathology_limits.h"
#include "settings/set_soak_freq.h"
#include "settings/sys_set.h"

namespace settings {
namespace {
template <class Screen>
ScreenRunner Runner() {
  return [] {
    Screen s(nullptr);
    return s.DoModal();
  };
}
}  // namespace

void RegisterSettingsScreens() {
  RegisterScreen("CSysSet", Runner<CSysSet>());
  RegisterScreen("COtherSysSet", Runner<COtherSysSet>());
  RegisterScreen("CSetSoakFreq", Runner<CSetSoakFreq>());
  RegisterScreen("CNormalLimits", Runner<CNormalLimits>());
  RegisterScreen("CPathologyLimits", Runner<CPathologyLimits>());
  RegisterScreen("CParasUnit", Runner<CParasUnit>());
  RegisterScreen("CDeptSet", Runner<CDeptSet>());
  RegisterScreen("CDoctorSet", Runner<CDoctorSet>());
}

}  // namespace settings
