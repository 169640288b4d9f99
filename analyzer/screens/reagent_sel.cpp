#include "analyzer/screens/reagent_sel.h"

#include "analyzer/screens/reagent_vol_dlg.h"
#include "analyzer/screens/screen_common.h"
#include "analyzer/serial_port.h"
#include "app/app_settings.h"
#include "app/dialog_layout.h"
#include "app/layout.h"
#include "app/write_log.h"
#include "platform/sys/clock.h"
#include "platform/ui/keys.h"
#include "platform/ui/messages.h"
#include "platform/ui/window_class.h"

namespace analyzer {
namespace {

ui::DialogTemplate SelTemplate() {
  ui::DialogTemplate t;
  t.cx = 300;
  t.cy = 209;
  t.style = uint32_t{ui::WS_POPUP} | ui::WS_CAPTION | ui::DS_CENTER;
  t.fontFace = "Arial";
  t.fontPoints = 9;
  const uint32_t V = ui::WS_VISIBLE, TS = ui::WS_TABSTOP;
  t.Add(ui::kClassButton, CReagentSel::kFrame1Id, "", 10, 10, 280, 130, V | ui::BS_GROUPBOX);
  t.Add(ui::kClassButton, CReagentSel::kAllId, "", 30, 28, 110, 40, V | TS);
  t.Add(ui::kClassButton, CReagentSel::kDiluentId, "", 160, 28, 110, 40, V | TS);
  t.Add(ui::kClassButton, CReagentSel::kLyseId, "", 30, 84, 110, 40, V | TS);
  t.Add(ui::kClassButton, CReagentSel::kCleanserId, "", 160, 84, 110, 40, V | TS);
  t.Add(ui::kClassButton, CReagentSel::kFrame2Id, "", 10, 146, 280, 24, V | ui::BS_GROUPBOX);
  t.Add(ui::kClassStatic, CReagentSel::kStatusId, "", 16, 154, 268, 12, V);
  t.Add(ui::kClassButton, ui::IDCANCEL, "", 220, 180, 70, 20, V | TS);
  return t;
}

}  // namespace

CReagentSel::CReagentSel(ui::Window* parent, int mode) : ui::Dialog(SelTemplate(), parent), mode_(mode) {
  runReplacement_ = [this](int selector) {
    CReagentVolDlg dlg(nullptr);
    dlg.SetReagent(static_cast<uint8_t>(selector));
    dlg.DoModal();
  };
}

CReagentSel::~CReagentSel() = default;

bool CReagentSel::OnInitDialog() {
  ui::Dialog::OnInitDialog();
  ScaleDialogLayout(this);
  const int lang = AppSettings.LanguageIndex;
  bool open = false;
  if (mode_ == 1) {
    port_ = OpenWindowBoardPort(this);
    open = port_ != nullptr;
    if (!open) {
      if (lang == 0) WriteLog("请检查前端板与主板之间的串口线！");
      ShowBox(this, PortFailedText(false, lang), lang == 0 ? BoxIcon::Warning : BoxIcon::None);
    }
  }
  op_ = std::make_unique<PrimeOperation>(*this, open);
  SetDlgItemText(kAllId, PrimeButtonText(PrimeChoice::All, lang));
  SetDlgItemText(kDiluentId, PrimeButtonText(PrimeChoice::Diluent, lang));
  SetDlgItemText(kLyseId, PrimeButtonText(PrimeChoice::Lyse, lang));
  SetDlgItemText(kCleanserId, PrimeButtonText(PrimeChoice::Cleanser, lang));
  SetDlgItemText(ui::IDCANCEL, PickText(lang, "退出(&X)", "Exit(&X)", "Salir(&X)", "Quitter(&X)", "Вихід(&X)"));
  ApplyDialogFontToChildren(this, &SharedDialogFont());
  SetTimer(kPollTimer, 1000);
  return true;
}

void CReagentSel::Send(const CommandFrame& frame) {
  if (port_) port_->QueueWrite(frame.data(), frame.size());
}

void CReagentSel::SetStatus(const std::string& text) {
  SetDlgItemText(kStatusId, text);
  Invalidate();
}

void CReagentSel::Message(const std::string& text, BoxIcon icon) { ShowBox(this, text, icon); }

void CReagentSel::OnChoice(PrimeChoice c) {
  if (mode_ == 2) {
    runReplacement_(static_cast<int>(c));
    return;
  }
  if (op_) op_->Press(c);
}

void CReagentSel::OnCancel() {
  if (op_ && !op_->TryExit()) return;
  KillTimer(kPollTimer);
  port_.reset();
  EndDialog(ui::IDCANCEL);
}

void CReagentSel::OnTimer(uintptr_t id) {
  if (id == kPollTimer && op_) op_->Poll(sys::Clock::TickMs());
}

bool CReagentSel::PreTranslateMessage(ui::Message& msg) {
  if (msg.message == ui::WM_KEYDOWN && msg.wParam == ui::VK_RETURN) return true;
  return ui::Dialog::PreTranslateMessage(msg);
}

ui::LResult CReagentSel::WindowProc(uint32_t msg, ui::WParam w, ui::LParam l) {
  if (msg == kSerialByteMessage) return op_ ? op_->OnSerialByte(static_cast<uint8_t>(w), static_cast<unsigned>(l)) : 0;
  if (msg == ui::WM_COMMAND) {
    switch (ui::LoWord(w)) {
      case kAllId: OnChoice(PrimeChoice::All); return 0;
      case kDiluentId: OnChoice(PrimeChoice::Diluent); return 0;
      case kLyseId: OnChoice(PrimeChoice::Lyse); return 0;
      case kCleanserId: OnChoice(PrimeChoice::Cleanser); return 0;
      default: break;
    }
  }
  return ui::Dialog::WindowProc(msg, w, l);
}

bool CReagentSel::OnEraseBkgnd(draw::DC& dc) {
  dc.FillSolidRect(GetClientRect(), draw::RGB(205, 213, 215));
  DrawDialogFrame(dc, this, 7);
  return true;
}

}  // namespace analyzer
