// The QC screens the menus open by name.
#include "core/screen_registry.h"
#include "qc/lj_qc_set.h"
#include "qc/qc_common.h"
#include "qc/qc_sel.h"
#include "qc/xr_qc_graph.h"
#include "qc/xr_qc_list.h"
#include "qc/xr_qc_set.h"
#include "qc/xr_qc_run.h"
#include "qc/xb_qc_list.h"
#include "qc/xb_qc_graph.h"
#include "qc/xb_qc_set.h"
#include "qc/lj_chart_data.h"

namespace qc {

void RegisterQcScreens() {
  RegisterScreen("CQCSel", [] {
    CQCSel menu(nullptr);
    return menu.DoModal();
  });
  // The X-R charts of the file the file choice set (XrQcFileNo).
  RegisterScreen("CXRQCGraph", [] {
    CXRQCGraph graph(nullptr);
    return graph.DoModal();
  });
  RegisterScreen("CXRQCList", [] {
    CXRQCList list(nullptr);
    list.QcFileNo = XrQcFileNo;
    return list.DoModal();
  });
  RegisterScreen("CXRQCRun", [] {
    CXRQCRun run(nullptr);
    run.QcFileNo = static_cast<uint8_t>(XrQcFileNo);
    return run.DoModal();
  });
  RegisterScreen("CXBQCList", [] {
    CXBQCList list(nullptr);
    return list.DoModal();
  });
  RegisterScreen("CXBQCGraph", [] {
    CXBQCGraph graph(nullptr);
    return graph.DoModal();
  });
  RegisterScreen("CXBQcSet", [] {
    CXBQcSet settings(nullptr);
    return settings.DoModal();
  });
  RegisterScreen("CXRQCSet", [] {
    CXRQCSet settings(nullptr);
    return settings.DoModal();
  });
  RegisterScreen("CLJQCSet", [] {
    CLJQCSet settings(nullptr);
    return settings.DoModal();
  });
}

}  // namespace qc
