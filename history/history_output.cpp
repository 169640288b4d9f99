#include "history/history_output.h"

#include "core/app_settings.h"
#include "core/screen_registry.h"
#include "lis/lis_send.h"
#include "platform/ui/message_box.h"

namespace history {

bool PrintResults(ui::Window* owner, const std::vector<ResultSnapshot>& results) {
  (void)results;
  ui::MessageBox(owner, NotAvailableText(AppSettings.LanguageIndex), "", ui::MB_ICONINFORMATION);
  return false;
}

int SendResults(const CGridCtrl& grid) {
  lis::SendSource source;
  source.kind = lis::SendDataKind::Samples;
  source.grid = &grid;
  return lis::RunSendScreen(source);
}

}  // namespace history
