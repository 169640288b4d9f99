#include "lis/screens/lis_screens.h"

#include "core/screen_registry.h"
#include "lis/lis_send.h"
#include "lis/screens/comm_set.h"
#include "lis/screens/commu_sel.h"
#include "lis/screens/dlg_lis.h"
#include "lis/screens/ser_send.h"

namespace lis {

int RunSendScreen(const SendSource& source) {
  CSerSend s(nullptr, source);
  return s.DoModal();
}

void RegisterLisScreens() {
  RegisterScreen("CCommuSel", [] { CCommuSel s(nullptr); return s.DoModal(); });
  RegisterScreen("CCommSet", [] { CCommSet s(nullptr); return s.DoModal(); });
  RegisterScreen("CDlgLis", [] { CDlgLis s(nullptr); return s.DoModal(); });
  // Without an opener's grid the screen sends all stored samples.
  RegisterScreen("CSerSend", [] { return RunSendScreen(SendSource{}); });
}

}  // namespace lis
