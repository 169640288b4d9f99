// The QC screens the menus open by name.
#include "core/screen_registry.h"
#include "qc/lj_qc_set.h"
#include "qc/qc_common.h"
#include "qc/qc_sel.h"

namespace qc {

void RegisterQcScreens() {
  RegisterScreen("CQCSel", [] {
    CQCSel menu(nullptr);
    return menu.DoModal();
  });
  RegisterScreen("CLJQCSet", [] {
    CLJQCSet settings(nullptr);
    return settings.DoModal();
  });
}

}  // namespace qc
