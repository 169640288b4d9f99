#include "analyzer/screens/sys_close.h"

#include "core/app_settings.h"
#include "core/dialog_layout.h"
#include "platform/ui/messages.h"

namespace analyzer {

CSysClose::CSysClose(ui::Window* parent) : ProgressScreen(parent) {}

CSysClose::~CSysClose() { conn_.Disconnect(); }

bool CSysClose::OnInitDialog() {
  ui::Dialog::OnInitDialog();
  ScaleDialogLayout(this);
  OpenOwnPort({.withNumber = false, .warnInChinese = true, .logInChinese = true});
  conn_.Connect();
  const bool large = AppSettings.LayoutScale > 1.0f;
  LoadBackground(AppSettings.LanguageIndex == 0 ? (large ? "Picture/bg_ONOFF2.bmp" : "Picture/bg_ONOFF.bmp")
                                                : (large ? "Picture/bg_ONOFF_EN2.bmp" : "Picture/bg_ONOFF_EN.bmp"));
  SetProgressRange(23);
  seq_ = std::make_unique<ShutdownSequence>(*this, &conn_);
  seq_->Begin();
  Drive(seq_.get());
  return true;
}

void CSysClose::Close() { PostEnd(ui::IDOK); }

int RunShutdownScreen() {
  CSysClose screen(nullptr);
  return screen.DoModal();
}

}  // namespace analyzer
