#include "core/app_ui.h"

#include "core/app_settings.h"
#include "core/app_startup.h"
#include "core/db_errors.h"
#include "core/layout.h"
#include "platform/sys/shell_open.h"
#include "platform/ui/app.h"
#include "platform/ui/keys.h"
#include "platform/ui/message_box.h"
#include "platform/ui/messages.h"

void InstallDbErrorReporting() {
  SetDbErrorSink([](const std::string& text) { ui::MessageBox(nullptr, text, "", ui::MB_OK); });
  SetDbErrorWake([] { ui::PostToUiThread([] { DeliverPendingDbErrors(); }); });
}

bool OpenHelp() {
  const int language = AppSettings.LanguageIndex;
  if (RaiseForeignWindow(HelpWindowTitle(language).c_str())) return true;
  return sys::ShellOpen(HelpFilePath(language));
}

int InstallHelpKey() {
  return ui::AddPreTranslateHook([](ui::Message& msg) {
    if (msg.message == ui::WM_KEYDOWN && msg.wParam == ui::VK_F1) OpenHelp();
    return false;  // the key goes on to the screens as before
  });
}

void RemoveHelpKey(int token) { ui::RemovePreTranslateHook(token); }
